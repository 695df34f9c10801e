#include "screens/line_wrap.h"

namespace {

int32_t LineLength(const char* text, int32_t start, int32_t length) {
    int32_t end = start;
    while (end < length && text[end] != '\n') {
        ++end;
    }
    return end - start;
}

// A piece may end a line when it has no space before its last character,
// or when that last character is a space.
bool EndsAtBreak(const char* piece, int32_t count) {
    if (count > 0 && piece[count - 1] == ' ') {
        return true;
    }
    for (int32_t i = 0; i + 1 < count; ++i) {
        if (piece[i] == ' ') {
            return false;
        }
    }
    return true;
}

} // namespace

int32_t WrapLines(const char* text, int32_t length, int32_t maxWidth,
                  const MeasureFunction& measure, const LineFunction& emit) {
    int32_t pos = 0;
    int32_t lineHeight = 0;
    int32_t total = 0;
    int32_t count = LineLength(text, pos, length);
    while (pos < length) {
        if (count == 0) {
            // An empty line is as tall as a space, even as the first line.
            TextExtent extent = measure(" ", 1);
            if (extent.height > lineHeight) {
                lineHeight = extent.height;
            }
        }
        while (count > 0) {
            TextExtent extent = measure(text + pos, count);
            if (extent.height > lineHeight) {
                lineHeight = extent.height;
            }
            bool fits = extent.width <= static_cast<uint32_t>(maxWidth);
            bool reachesEnd = pos + count == length;
            // Too narrow for even one character: take it anyway, so every line advances.
            if ((fits && (reachesEnd || EndsAtBreak(text + pos, count))) || count == 1) {
                break;
            }
            --count;
        }
        if (count > 0) {
            emit(text + pos, count, total);
        }
        pos += count;
        if (pos < length && text[pos] == '\n') {
            ++pos;
        }
        count = LineLength(text, pos, length);
        total += lineHeight;
    }
    return total;
}
