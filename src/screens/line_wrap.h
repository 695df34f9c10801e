// Breaking a text into lines that fit a width, independent of how the
// characters are measured or drawn.
#pragma once

#include <cstdint>
#include <functional>

struct TextExtent {
    uint16_t width;
    uint16_t height;
};

// Measures count characters from text.
using MeasureFunction = std::function<TextExtent(const char* text, int32_t count)>;
// Receives each line: its first character, its length and its offset from
// the top of the paragraph.
using LineFunction = std::function<void(const char* text, int32_t count, int32_t top)>;

// Lines end at "\n" and otherwise after the last space that lets them fit
// within maxWidth; a word wider than the width is cut at its last character
// that fits, and every line but an empty one keeps at least one character.
// A line advances by the tallest height measured so far. Returns the total
// height.
int32_t WrapLines(const char* text, int32_t length, int32_t maxWidth,
                  const MeasureFunction& measure, const LineFunction& emit);
