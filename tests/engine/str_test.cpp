#include "engine/str.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Units(const CStr& s) {
    std::string out;
    for (uint32_t i = 0; i < s.GetLength(); ++i) {
        out += std::to_string(s.GetAt(i)) + " ";
    }
    return out;
}

TEST(CStr, CopiesShareUntilOneIsChanged) {
    CStr first("hello");
    CStr copy(first);
    CStr assigned;
    assigned = first;
    EXPECT_EQ(copy.GetText(), first.GetText());
    EXPECT_EQ(assigned.GetText(), first.GetText());

    copy.SetAt(0, 'j');
    EXPECT_STREQ(first.GetText(), "hello");
    EXPECT_STREQ(copy.GetText(), "jello");
    EXPECT_NE(copy.GetText(), first.GetText());
    EXPECT_EQ(assigned.GetText(), first.GetText());

    // Writing through a buffer pointer also gives the writer its own buffer.
    char* text = assigned.GetBuffer(0);
    text[0] = 'c';
    EXPECT_STREQ(first.GetText(), "hello");
    EXPECT_STREQ(assigned.GetText(), "cello");
}

TEST(CStr, ClearDropsASharedBufferAndKeepsAnOwnOne) {
    CStr empty;
    CStr shared("abcdef");
    CStr other(shared);
    shared.Clear();
    EXPECT_TRUE(shared.IsEmpty());
    EXPECT_EQ(shared.GetText(), empty.GetText());
    EXPECT_EQ(shared.GetCapacity(), 0u);
    EXPECT_STREQ(other.GetText(), "abcdef");

    CStr own("abcdef");
    const char* buffer = own.GetText();
    own.Clear();
    EXPECT_TRUE(own.IsEmpty());
    EXPECT_EQ(own.GetCapacity(), 6u);
    EXPECT_EQ(own.GetFreeSpace(), 6u);
    own.Append("xyz");
    EXPECT_STREQ(own.GetText(), "xyz");
    EXPECT_EQ(own.GetText(), buffer);
}

TEST(CStr, MidStaysInsideTheText) {
    struct Row {
        uint32_t start, count;
        const char* expected;
    };
    const Row rows[] = {
        {3, 10, "def"},         {6, 1, ""}, {7, 1, ""}, {0, 0, ""}, {1, 2, "bc"}, {0, 6, "abcdef"},
        {2, 0xFFFFFFFF, "cdef"}};
    const CStr text("abcdef");
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.start) + "," + std::to_string(row.count));
        CStr part = text.Mid(row.start, row.count);
        EXPECT_STREQ(part.GetText(), row.expected);
        EXPECT_FALSE(part.IsWide());
    }
    CStr wide("xyz");
    wide.SetAt(0, 0x263A);
    CStr part = wide.Mid(0, 2);
    EXPECT_TRUE(part.IsWide());
    EXPECT_EQ(Units(part), "9786 121 ");
}

TEST(CStr, CompareFoldsCase) {
    CStr wideA("A");
    wideA.Widen();
    CStr wideBracket("[");
    wideBracket.Widen();
    struct Row {
        CStr a, b;
        int sign;
    };
    const Row rows[] = {
        {CStr("ABC"), CStr("abd"), -1},
        {CStr(), CStr("a"), -1},
        {CStr("a"), CStr(), 1},
        {CStr(), CStr(), 0},
        {CStr("abc"), CStr("ABC"), 0},
        {CStr("ab"), CStr("abc"), -1},
        {CStr("\xE9"), CStr("e"), 1},
        // Two narrow strings fold to lower case: 'a' sorts after '['.
        {CStr("A"), CStr("["), 1},
        // As soon as one is wide they fold to upper case: 'A' sorts before '['.
        {wideA, CStr("["), -1},
        {CStr("A"), wideBracket, -1},
        {wideA, CStr("a"), 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.a.IsWide() ? "wide " : "") + row.a.GetText() + " vs " +
                     row.b.GetText());
        int result = row.a.Compare(row.b);
        EXPECT_EQ((result > 0) - (result < 0), row.sign);
    }
    EXPECT_EQ(wideA.Compare(CStr("[")), 'A' - '[');
    EXPECT_EQ(CStr("A").Compare(CStr("[")), 1);
}

TEST(CStr, SetAtWidens) {
    CStr text("xy");
    CStr before(text);
    text.SetAt(0, 0x100);
    EXPECT_TRUE(text.IsWide());
    EXPECT_EQ(text.GetLength(), 2u);
    EXPECT_EQ(Units(text), "256 121 ");
    EXPECT_FALSE(before.IsWide());
    EXPECT_STREQ(before.GetText(), "xy");

    // Widening keeps the room that the index points into.
    CStr roomy("ab");
    roomy.GetBuffer(10);
    roomy.SetAt(2, 'c');
    roomy.SetAt(3, 0);
    roomy.SetAt(8, 0x4E2D);
    EXPECT_TRUE(roomy.IsWide());
    EXPECT_GE(roomy.GetCapacity(), 10u);
    EXPECT_EQ(roomy.GetAt(8), 0x4E2D);
    EXPECT_EQ(Units(roomy), "97 98 99 ");
}

TEST(CStr, AssignAndAppend) {
    CStr s;
    s.Assign("abcdef", 3);
    EXPECT_STREQ(s.GetText(), "abc");
    s.Assign("xy", 5); // stops at the zero and fills the rest with zeros
    EXPECT_STREQ(s.GetText(), "xy");
    EXPECT_EQ(s.GetCapacity(), 5u);
    s.Assign(nullptr);
    EXPECT_TRUE(s.IsEmpty());

    CStr own("abc");
    own.Append(own.GetText());
    EXPECT_STREQ(own.GetText(), "abcabc");
    own.Append(own);
    EXPECT_STREQ(own.GetText(), "abcabcabcabc");
    own.Append(own.GetText() + 9, 2);
    EXPECT_STREQ(own.GetText(), "abcabcabcabcab");
    own.Assign(own.GetText() + 3, 3);
    EXPECT_STREQ(own.GetText(), "abc");

    CStr wide("z");
    wide.SetAt(0, 0x3A9);
    CStr narrow("ab");
    narrow.Append(wide);
    EXPECT_TRUE(narrow.IsWide());
    EXPECT_EQ(Units(narrow), "97 98 937 ");
    narrow.Append("\xE9!");
    EXPECT_EQ(Units(narrow), "97 98 937 233 33 ");

    // A count beyond the other text takes only the text.
    CStr shortText("ab");
    CStr target("x");
    target.Append(shortText, 50);
    EXPECT_STREQ(target.GetText(), "xab");
    CStr fromEmpty;
    fromEmpty.Append(shortText, 1);
    EXPECT_STREQ(fromEmpty.GetText(), "a");
}

TEST(CStr, DirectBufferWriting) {
    CStr line("old");
    CStr keep(line);
    char* text = line.PrepareBuffer(20);
    EXPECT_GE(line.GetCapacity(), 20u);
    std::snprintf(text, 21, "%s", "written directly");
    line.ReleaseBuffer(7);
    EXPECT_STREQ(line.GetText(), "written");
    line.GetBuffer(0)[3] = 0;
    line.ReleaseBuffer(-1);
    EXPECT_STREQ(line.GetText(), "wri");
    EXPECT_STREQ(keep.GetText(), "old");
}

uint32_t Estimate(const char* format, ...) {
    va_list args;
    va_start(args, format);
    uint32_t n = EstimateFormatLength(format, args);
    va_end(args);
    return n;
}

TEST(CStr, EstimateFormatLength) {
    struct Row {
        const char* label;
        uint32_t estimate, expected;
    };
    const Row rows[] = {
        {"%s items / ab", Estimate("%s items", "ab"), 8},
        {"%5d / 3", Estimate("%5d", 3), 32},
        {"%-40s / ab", Estimate("%-40s", "ab"), 40},
        {"%.3s / abcdef", Estimate("%.3s", "abcdef"), 3},
        {"100%%", Estimate("100%%"), 4},
        {"%c", Estimate("%c", 'x'), 1},
        {"%i %u", Estimate("%i %u", 1, 2u), 65},
        {"%f", Estimate("%f", 1.5), 64},
        {"%p", Estimate("%p", static_cast<void*>(nullptr)), 10},
        {"%#d", Estimate("%#d", 1), 34},
        {"%*d / 40", Estimate("%*d", 40, 1), 40},
        {"%.*s / 2", Estimate("%.*s", 2, "abcdef"), 2},
        {"%ld", Estimate("%ld", 5L), 32},
        {"%s%s", Estimate("%s%s", "abc", "de"), 5},
        {"abc% (ends inside)", Estimate("abc%"), 3},
        {"%x", Estimate("%x", 255), 0},
        // The unsupported conversion still takes its argument.
        {"%x%s", Estimate("%x%s", 255, "abcd"), 4},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.estimate, row.expected) << row.label;
    }
}

TEST(CStr, FormatNeverWritesPastTheBuffer) {
    CStr s("previous text");
    s.Format("%x", 0xDEADBEEFu);
    EXPECT_STREQ(s.GetText(), "deadbeef");
    s.Format("%s=%x;%s", "key", 255u, "end");
    EXPECT_STREQ(s.GetText(), "key=ff;end");
    s.Format("%.0f", 1e300);
    EXPECT_EQ(s.GetLength(), 301u);
    s.Format("%s: %d", "count", -2147483647 - 1);
    EXPECT_STREQ(s.GetText(), "count: -2147483648");
    s.Format("");
    EXPECT_TRUE(s.IsEmpty());

    CStr id("id:");
    id.AppendFormat("%08x|%o", 0xABCDu, 8u);
    EXPECT_STREQ(id.GetText(), "id:0000abcd|10");
    id.AppendFormat(" %s", "tail");
    EXPECT_STREQ(id.GetText(), "id:0000abcd|10 tail");
}

TEST(CStr, FormatMayReadItsOwnText) {
    CStr s("abc");
    s.Format("%s-%s", s.GetText(), s.GetText());
    EXPECT_STREQ(s.GetText(), "abc-abc");
    s.AppendFormat("+%s", s.GetText());
    EXPECT_STREQ(s.GetText(), "abc-abc+abc-abc");
}

TEST(CStr, FormattedTextIsNarrow) {
    CStr s("w");
    s.SetAt(0, 0x100);
    s.AppendFormat("%d", 42);
    EXPECT_TRUE(s.IsWide());
    EXPECT_EQ(Units(s), "256 52 50 ");
    s.Format("%d", 7);
    EXPECT_FALSE(s.IsWide());
    EXPECT_STREQ(s.GetText(), "7");
}

} // namespace
