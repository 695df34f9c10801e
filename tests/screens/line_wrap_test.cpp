#include "screens/line_wrap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Every character 10 pixels wide and 13 high, like a fixed-pitch font.
constexpr int kCharWidth = 10;
constexpr int kLineHeight = 13;

struct Line {
    int32_t top;
    std::string text;
    bool operator==(const Line& other) const { return top == other.top && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
    return out << "{" << line.top << ", \"" << line.text << "\"}";
}

struct WrapResult {
    std::vector<Line> lines;
    int32_t height;
};

WrapResult Wrap(const char* text, int32_t maxWidth) {
    WrapResult result;
    result.height = WrapLines(
        text, static_cast<int32_t>(std::strlen(text)), maxWidth,
        [](const char*, int32_t count) {
            return TextExtent{static_cast<uint16_t>(count * kCharWidth),
                              static_cast<uint16_t>(count > 0 ? kLineHeight : 0)};
        },
        [&](const char* line, int32_t count, int32_t top) {
            result.lines.push_back({top, std::string(line, static_cast<size_t>(count))});
        });
    return result;
}

struct WrapCase {
    const char* name;
    const char* text;
    int32_t maxWidth;
    std::vector<Line> lines;
};

constexpr int32_t h = kLineHeight;

TEST(WrapLines, BreaksAtSpacesLineFeedsAndLongWords) {
    const WrapCase cases[] = {
        {"third word wraps", "one two three", 80, {{0, "one two "}, {h, "three"}}},
        {"everything fits", "one two three", 130, {{0, "one two three"}}},
        {"line feed without a space before it splits the last word off",
         "one two\nthree",
         1000,
         {{0, "one "}, {h, "two"}, {2 * h, "three"}}},
        {"line feed after a space", "one two \nthree", 1000, {{0, "one two "}, {h, "three"}}},
        {"long word is cut where it stops fitting",
         "abcdefghij",
         45,
         {{0, "abcd"}, {h, "efgh"}, {2 * h, "ij"}}},
        {"long word after a short one", "a bcdefg", 40, {{0, "a "}, {h, "bcde"}, {2 * h, "fg"}}},
        {"trailing space and line feed add no line", "one two \n", 1000, {{0, "one two "}}},
        {"blank line written as a space",
         "one \n \ntwo",
         1000,
         {{0, "one "}, {h, " "}, {2 * h, "two"}}},
        {"last line keeps exactly what follows the break",
         "ab \ncd e",
         1000,
         {{0, "ab "}, {h, "cd e"}}},
        {"empty text", "", 100, {}},
        // These would never end if a line could be left without a character.
        {"empty line", "one\n\ntwo", 1000, {{0, "one"}, {2 * h, "two"}}},
        {"text beginning with a line feed", "\none", 1000, {{h, "one"}}},
        {"width narrower than one character", "abc", 5, {{0, "a"}, {h, "b"}, {2 * h, "c"}}},
        {"zero width with spaces", "a b", 0, {{0, "a"}, {h, " "}, {2 * h, "b"}}},
    };
    for (const WrapCase& c : cases) {
        SCOPED_TRACE(c.name);
        WrapResult result = Wrap(c.text, c.maxWidth);
        EXPECT_EQ(result.lines, c.lines);
        int32_t expectedHeight = c.lines.empty() ? 0 : c.lines.back().top + h;
        EXPECT_EQ(result.height, expectedHeight);
    }
}

TEST(WrapLines, LinesAdvanceByTheTallestHeightSoFar) {
    // Capital letters measure taller; the height never shrinks back.
    std::vector<int32_t> tops;
    int32_t total = WrapLines(
        "AB \nab \ncd", 10, 1000,
        [](const char* text, int32_t count) {
            bool tall = count > 0 && text[0] >= 'A' && text[0] <= 'Z';
            return TextExtent{static_cast<uint16_t>(count * kCharWidth),
                              static_cast<uint16_t>(tall ? 20 : 13)};
        },
        [&](const char*, int32_t, int32_t top) { tops.push_back(top); });
    EXPECT_EQ(tops, (std::vector<int32_t>{0, 20, 40}));
    EXPECT_EQ(total, 60);
}

} // namespace
