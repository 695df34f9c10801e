// Fits an arbitrary text into lines with a fake measurer. Input: two bytes of
// width (little-endian, signed), one byte choosing the character metrics,
// then the text.
#include "screens/line_wrap.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Metrics {
    uint32_t scale;
    uint32_t height;
};

// Widths vary by character so that breaks land in many places.
TextExtent Measure(const Metrics& metrics, const char* text, int32_t count) {
    uint32_t width = 0;
    uint32_t height = 0;
    for (int32_t i = 0; i < count; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        width = std::min<uint32_t>(width + (c % 7) * metrics.scale, 0xFFFF);
        height = std::max<uint32_t>(height, metrics.height + c % 3);
    }
    return TextExtent{uint16_t(width), uint16_t(height)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The screens fit a few hundred characters at most, and fitting measures
    // ever shorter pieces of the rest, so far longer texts only cost time.
    if (size < 3 || size > 512 + 3) {
        return 0;
    }
    auto maxWidth = int32_t(int16_t(uint16_t(data[0] | data[1] << 8)));
    Metrics metrics{uint32_t(data[2] & 15), uint32_t(data[2] >> 4)};
    // A heap copy of exactly the text, so that reading past it is caught.
    auto length = int32_t(size - 3);
    auto* text = static_cast<char*>(std::malloc(size_t(length) + 1));
    if (text == nullptr) {
        return 0;
    }
    std::memcpy(text, data + 3, size_t(length));
    const char* end = text + length;

    auto measure = [&](const char* piece, int32_t count) {
        bool inText = piece >= text && count > 0 && count <= end - piece;
        if (!inText && !(count == 1 && piece[0] == ' ')) {
            std::abort();
        }
        return Measure(metrics, piece, count);
    };
    std::string emitted;
    const char* next = text;
    int32_t lastTop = -1;
    auto emit = [&](const char* line, int32_t count, int32_t top) {
        // Lines come in order, each at least one character, never overlapping.
        if (line < next || count <= 0 || count > end - line || top < lastTop) {
            std::abort();
        }
        bool fits = Measure(metrics, line, count).width <= uint32_t(maxWidth);
        if (!fits && count != 1) {
            std::abort();
        }
        emitted.append(line, size_t(count));
        next = line + count;
        lastTop = top;
    };
    int32_t total = WrapLines(text, length, maxWidth, measure, emit);

    // Every character but the line feeds lands in exactly one line.
    std::string expected(text, size_t(length));
    expected.erase(std::remove(expected.begin(), expected.end(), '\n'), expected.end());
    if (emitted != expected || total < 0 || total < lastTop) {
        std::abort();
    }
    std::free(text);
    return 0;
}
