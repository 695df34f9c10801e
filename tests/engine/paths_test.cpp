#include "engine/paths.h"

#include "engine/str.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

namespace {

#ifdef _WIN32
constexpr bool kSeparatorIsBackslash = true;
#else
// On POSIX a backslash is part of a file name to the system.
constexpr bool kSeparatorIsBackslash = false;
#endif

TEST(Paths, FileNamePart) {
    struct Row {
        const char* path;
        const char* name;
    };
    const Row rows[] = {{"a\\b/c.txt", "c.txt"},
                        {"a/b\\c.txt", "c.txt"},
                        {"plain.txt", "plain.txt"},
                        {"dir/", ""},
                        {"", ""},
                        {"\\x", "x"}};
    for (const Row& row : rows) {
        EXPECT_STREQ(FileNamePart(row.path), row.name) << row.path;
    }
    EXPECT_STREQ(FileNamePart(static_cast<const char*>(nullptr)), "In Path Name Null!");

    char path[] = "a/b/c.jpg";
    CutToFolder(path);
    EXPECT_STREQ(path, "a/b/");
    char bare[] = "c.jpg";
    CutToFolder(bare);
    EXPECT_STREQ(bare, "");
}

TEST(Paths, SplitPath) {
    struct Row {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Row rows[] = {{"a/b/c.txt", "a/b", "c.txt"},
                        {"a\\b\\c.txt", "a\\b", "c.txt"},
                        {"c.txt", "", "c.txt"},
                        {"/c.txt", "", "c.txt"},
                        {"a/", "a", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        CStr folder("stale");
        CStr name("stale");
        SplitPath(row.path, &folder, &name);
        EXPECT_STREQ(folder.GetText(), row.folder);
        EXPECT_STREQ(name.GetText(), row.name);
        CStr onlyName;
        SplitPath(row.path, nullptr, &onlyName);
        EXPECT_STREQ(onlyName.GetText(), row.name);
    }
}

TEST(Paths, AppendPathPart) {
    struct Row {
        const char* buffer;
        const char* part;
        const char* result;
        size_t partAt;
    };
    const Row rows[] = {{"dir\\", "x", "dir\\x", 4},
                        {"dir", "x", "dir/x", 4},
                        {"", "x", "x", 0},
                        {"dir/", "x", "dir/x", 4}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.buffer);
        char buffer[kPathBufferSize];
        std::strcpy(buffer, row.buffer);
        char* at = AppendPathPart(buffer, sizeof buffer, row.part);
        EXPECT_STREQ(buffer, row.result);
        EXPECT_EQ(at, buffer + row.partAt);
        char joined[kPathBufferSize];
        EXPECT_NE(JoinPath(joined, sizeof joined, row.buffer, row.part), nullptr);
        EXPECT_STREQ(joined, row.result);
    }

    // A part that does not fit leaves the buffer as it was.
    char small[8] = "abc";
    EXPECT_EQ(AppendPathPart(small, sizeof small, "defg"), nullptr);
    EXPECT_STREQ(small, "abc");
    EXPECT_NE(AppendPathPart(small, sizeof small, "def"), nullptr);
    EXPECT_STREQ(small, "abc/def");

    char trailing[] = "a/b/";
    StripTrailingSeparator(trailing);
    EXPECT_STREQ(trailing, "a/b");
    StripTrailingSeparator(trailing);
    EXPECT_STREQ(trailing, "a/b");
}

TEST(Paths, HexToBytes) {
    unsigned char out[4] = {0x55, 0x55, 0x55, 0x55};
    HexToBytes(out, "0aFF", 4);
    EXPECT_EQ(out[0], 0x0A);
    EXPECT_EQ(out[1], 0xFF);
    EXPECT_EQ(out[2], 0x55);
    HexToBytes(out, "123456", 2);
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1], 0x34);
    EXPECT_EQ(out[2], 0x55);
    HexToBytes(out, "abc", 4); // an odd digit at the end is ignored
    EXPECT_EQ(out[0], 0xAB);
    EXPECT_EQ(out[1], 0x34);
}

TEST(Paths, DuplicateText) {
    EXPECT_EQ(DuplicateText(nullptr), nullptr);
    const char original[] = "copy me";
    char* copy = DuplicateText(original);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, original);
    std::free(copy);
}

TEST(Paths, CreateDirectoryPath) {
    TempFolder temp;
    // Mixed separators, as a base folder joined with a Windows-style name gives them.
    std::string chain = temp.Path("one") + "/two" + (kSeparatorIsBackslash ? "\\" : "/") + "three/";
    EXPECT_TRUE(CreateDirectoryPath(chain.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(temp.Path("one/two/three")));
    // Every attempt fails on a folder that is there already.
    EXPECT_FALSE(CreateDirectoryPath(chain.c_str()));
    EXPECT_FALSE(CreateDirectoryPath(temp.Path("one").c_str()));
    EXPECT_TRUE(CreateDirectoryPath((temp.Path("one") + "/four").c_str()));

    // Not below a file, and not past the path buffer.
    temp.Write("file", "x");
    EXPECT_FALSE(CreateDirectoryPath((temp.Path("file") + "/sub").c_str()));
    std::string tooLong = temp.Path(std::string(300, 'd'));
    EXPECT_FALSE(CreateDirectoryPath(tooLong.c_str()));
}

TEST(Paths, ExistenceAndReadOnly) {
    TempFolder temp;
    std::string file = temp.Path("f.txt");
    EXPECT_FALSE(FileExists(file.c_str()));
    EXPECT_FALSE(IsReadOnly(file.c_str()));
    SetReadOnly(file.c_str(), true); // nothing to change
    EXPECT_FALSE(FileExists(file.c_str()));

    temp.Write("f.txt", "data");
    EXPECT_TRUE(FileExists(file.c_str()));
    std::filesystem::create_directory(temp.Path("folder"));
    EXPECT_TRUE(FileExists(temp.Path("folder").c_str()));
    EXPECT_FALSE(IsReadOnly(file.c_str()));
    SetReadOnly(file.c_str(), true);
    EXPECT_TRUE(IsReadOnly(file.c_str()));
    SetReadOnly(file.c_str(), false);
    EXPECT_FALSE(IsReadOnly(file.c_str()));
    EXPECT_EQ(temp.Read("f.txt"), "data");
}

uint16_t DosDate(std::time_t t) {
    std::tm* utc = std::gmtime(&t);
    return uint16_t(((utc->tm_year - 80) << 9) | ((utc->tm_mon + 1) << 5) | utc->tm_mday);
}

TEST(Paths, DosDateTimeNowIsTheCurrentUtcTime) {
    std::time_t before = std::time(nullptr);
    uint16_t date = 0;
    uint16_t time = 0;
    GetDosDateTimeNow(&date, &time);
    std::time_t after = std::time(nullptr);
    EXPECT_TRUE(date == DosDate(before) || date == DosDate(after));
    std::tm* utc = std::gmtime(&before);
    int seconds = (time >> 11) * 3600 + ((time >> 5) & 63) * 60 + (time & 31) * 2;
    int expected = utc->tm_hour * 3600 + utc->tm_min * 60 + utc->tm_sec;
    // DOS time counts in steps of two seconds.
    int difference = std::abs(seconds - expected);
    EXPECT_LE(std::min(difference, 86400 - difference), 3 + int(after - before));
}

} // namespace
