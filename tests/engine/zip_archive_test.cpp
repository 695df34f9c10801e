#include "engine/zip_archive.h"

#include "temp_folder.h"
#include "zip_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using zip::Get16;
using zip::Get32;

// The entry's whole content, or "<none>" when it cannot be opened.
std::string ReadEntry(CZipArchive& archive, const char* name, uint32_t flags = 0) {
    CFileStream stream;
    if (!stream.Attach(archive.OpenEntry(name, flags), 0)) {
        return "<none>";
    }
    std::string bytes(stream.GetSize(), '\0');
    bytes.resize(stream.Read(bytes.data(), uint32_t(bytes.size())));
    return bytes;
}

void WriteEntry(CZipArchive& archive, const char* name, const std::string& data) {
    CFileStream stream;
    ASSERT_TRUE(stream.Attach(archive.OpenEntry(name, kOpenCreate | kOpenWrite), 0));
    ASSERT_EQ(stream.Write(data.data(), uint32_t(data.size())), data.size());
}

const unsigned char* U(const std::string& s, size_t at = 0) {
    return reinterpret_cast<const unsigned char*>(s.data()) + at;
}

const std::vector<ZipItem> kThree = {
    {"Alpha.txt", "first entry"}, {"sub/Beta.bin", std::string("b\0e\xFFta", 6)}, {"gamma", ""}};

class Zip : public testing::Test {
  protected:
    std::string Make(const std::string& bytes, const std::string& file = "a.zip") {
        temp.Write(file, bytes);
        return temp.Path(file);
    }
    TempFolder temp;
};

TEST_F(Zip, BothEndSignaturesOpenAndLookupsIgnoreCase) {
    for (uint32_t signature : {zip::kEndSignature, zip::kAlternateEndSignature}) {
        SCOPED_TRACE(signature);
        std::string path = Make(BuildZip(kThree, signature));
        for (bool lazy : {false, true}) {
            CZipArchive archive;
            ASSERT_TRUE(archive.Open(path.c_str(), false, "", lazy, 0));
            EXPECT_EQ(ReadEntry(archive, "ALPHA.TXT"), "first entry");
            EXPECT_EQ(ReadEntry(archive, "Sub/beta.BIN"), kThree[1].data);
            EXPECT_EQ(ReadEntry(archive, "gamma"), "");
            EXPECT_EQ(ReadEntry(archive, "missing"), "<none>");
            EXPECT_EQ(ReadEntry(archive, ""), "<none>");
            EXPECT_EQ(archive.GetCount(), 3u);
            EXPECT_EQ(archive.GetEndSignature(), signature);
        }
    }
}

TEST_F(Zip, PrefixMustLeadTheFolderPart) {
    std::string path = Make(BuildZip(kThree));
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), false, "Data/", false, 0));
    EXPECT_EQ(ReadEntry(archive, "data/alpha.txt"), "first entry");
    EXPECT_EQ(ReadEntry(archive, "DATA\\sub/Beta.bin"), "<none>");
    EXPECT_EQ(ReadEntry(archive, "Data/sub/Beta.bin"), kThree[1].data);
    // The stored name alone fails at the folder check.
    EXPECT_EQ(ReadEntry(archive, "Alpha.txt"), "<none>");
    EXPECT_EQ(ReadEntry(archive, "Dat/Alpha.txt"), "<none>");
    // A prefix that starts with a slash counts as none.
    ASSERT_TRUE(archive.Open(path.c_str(), false, "/x/", false, 0));
    EXPECT_EQ(ReadEntry(archive, "alpha.txt"), "first entry");
}

TEST_F(Zip, ArchiveWithCommentOrNoDirectoryOffsetIsWalked) {
    std::string commented = BuildZip(kThree, zip::kAlternateEndSignature, "channel build 7");
    std::string unknownOffset = BuildZip(kThree);
    zip::Put32(reinterpret_cast<unsigned char*>(&unknownOffset[unknownOffset.size() - 6]),
               0xFFFFFFFF);
    for (const std::string& bytes : {commented, unknownOffset}) {
        CZipArchive archive;
        ASSERT_TRUE(archive.Open(Make(bytes).c_str(), false, "", false, 0));
        EXPECT_EQ(ReadEntry(archive, "sub/beta.bin"), kThree[1].data);
        EXPECT_EQ(ReadEntry(archive, "alpha.txt"), "first entry");
    }
}

TEST_F(Zip, DataStartsAfterTheCentralRecordsLengths) {
    // The local header claims a longer extra field than the central record.
    CZipArchive archive;
    ASSERT_TRUE(
        archive.Open(Make(BuildZip({{"e", "DATA", 0, "xyzw"}})).c_str(), false, "", false, 0));
    EXPECT_EQ(ReadEntry(archive, "e"), "xyzw");
}

TEST_F(Zip, ReadsAreCutAndSeeksStayInsideTheEntry) {
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(Make(BuildZip({{"four", "1234"}, {"next", "NEXT"}})).c_str(), false,
                             "", false, 0));
    CFileStream stream;
    ASSERT_TRUE(stream.Attach(archive.OpenEntry("four", 0), 0));
    char buffer[10] = {};
    EXPECT_EQ(stream.Read(buffer, 10), 4u);
    EXPECT_EQ(std::string(buffer, 4), "1234");
    EXPECT_EQ(stream.Read(buffer, 10), 0u);
    EXPECT_TRUE(stream.SeekAbsolute(4));
    EXPECT_EQ(stream.Tell(), 4);
    EXPECT_FALSE(stream.SeekAbsolute(5));
    EXPECT_TRUE(stream.SeekAbsolute(1));
    EXPECT_FALSE(stream.SeekRelative(3));
    EXPECT_FALSE(stream.SeekRelative(-2));
    EXPECT_TRUE(stream.SeekRelative(2));
    EXPECT_EQ(stream.Read(buffer, 10), 1u);
    EXPECT_EQ(buffer[0], '4');
    // An entry with its own handle reads the same bytes.
    CFileStream own;
    ASSERT_TRUE(own.Attach(archive.OpenEntry("next", kOpenOwnHandle), 0));
    EXPECT_EQ(own.Read(buffer, 10), 4u);
    EXPECT_EQ(std::string(buffer, 4), "NEXT");
}

TEST_F(Zip, WritesInPlaceStopAtTheEntryEnd) {
    std::string path = Make(BuildZip({{"four", "1234"}, {"next", "NEXT"}}));
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), true, "", false, kOpenWrite));
    {
        CFileStream stream;
        ASSERT_TRUE(stream.Attach(archive.OpenEntry("four", kOpenWrite), 0));
        ASSERT_TRUE(stream.SeekAbsolute(2));
        EXPECT_EQ(stream.Write("abcdef", 6), 2u);
        stream.SetLength(9);
        EXPECT_EQ(stream.GetSize(), 4u);
    }
    EXPECT_EQ(ReadEntry(archive, "next"), "NEXT");
    CZipArchive again;
    ASSERT_TRUE(again.Open(path.c_str(), false, "", false, 0));
    EXPECT_EQ(ReadEntry(again, "four"), "12ab");
    EXPECT_EQ(ReadEntry(again, "next"), "NEXT");
}

TEST_F(Zip, RewrittenEntryMovesLastWithItsCrc) {
    std::vector<ZipItem> items = {{"a.txt", "AAAA"},
                                  {"b.txt", "BBBBBBBB", 0, "", "", "a comment"},
                                  {"c.txt", "CC", 0, "ex", "ex"}};
    for (uint32_t signature : {zip::kEndSignature, zip::kAlternateEndSignature}) {
        for (const char* target : {"A.TXT", "b.txt", "c.txt"}) {
            SCOPED_TRACE(target);
            std::string path = Make(BuildZip(items, signature));
            {
                CZipArchive archive;
                ASSERT_TRUE(archive.Open(path.c_str(), true, "", true, 0));
                WriteEntry(archive, target, "rewritten, and longer than before");
            }
            std::string bytes = temp.Read("a.zip");
            ASSERT_GE(bytes.size(), 22u);
            const unsigned char* end = U(bytes, bytes.size() - 22);
            EXPECT_EQ(Get32(end), signature);
            EXPECT_EQ(Get16(end + 10), 3u);
            uint32_t start = Get32(end + 16);
            EXPECT_EQ(start + Get32(end + 12), bytes.size() - 22);
            // The last central record is the rewritten entry, with a true CRC.
            uint32_t at = start;
            uint32_t lastOffset = 0;
            uint32_t lastCrc = 0;
            for (int i = 0; i < 3; ++i) {
                ASSERT_EQ(Get32(U(bytes, at)), zip::kCentralSignature);
                EXPECT_EQ(Get16(U(bytes, at + 32)), 0u);
                lastCrc = Get32(U(bytes, at + 16));
                lastOffset = Get32(U(bytes, at + 42));
                at += 46 + Get16(U(bytes, at + 28)) + Get16(U(bytes, at + 30));
            }
            EXPECT_EQ(at, start + Get32(end + 12));
            uint32_t nameLength = Get16(U(bytes, lastOffset + 26));
            EXPECT_TRUE(bytes.compare(lastOffset + 30, nameLength, target) == 0 ||
                        std::string(target) == "A.TXT");
            EXPECT_EQ(lastCrc, Crc32("rewritten, and longer than before"));
            EXPECT_EQ(Get32(U(bytes, lastOffset + 14)), lastCrc);

            CZipArchive again;
            ASSERT_TRUE(again.Open(path.c_str(), false, "", false, 0));
            for (const ZipItem& item : items) {
                bool rewritten =
                    item.name == "a.txt" ? std::string(target) == "A.TXT" : item.name == target;
                EXPECT_EQ(ReadEntry(again, item.name.c_str()),
                          rewritten ? "rewritten, and longer than before" : item.data);
            }
        }
    }
}

TEST_F(Zip, RewriteNeedsAWritableArchiveAndNoOpenEntry) {
    std::string path = Make(BuildZip(kThree));
    CZipArchive readOnly;
    ASSERT_TRUE(readOnly.Open(path.c_str(), false, "", false, 0));
    EXPECT_EQ(readOnly.OpenEntry("alpha.txt", kOpenCreate | kOpenWrite), nullptr);

    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), true, "", false, 0));
    for (uint32_t readerFlags : {0u, kOpenOwnHandle}) {
        CFileStream reader;
        ASSERT_TRUE(reader.Attach(archive.OpenEntry("gamma", readerFlags), 0));
        EXPECT_EQ(archive.OpenEntry("alpha.txt", kOpenCreate | kOpenWrite), nullptr);
    }
    EXPECT_EQ(temp.Read("a.zip"), BuildZip(kThree));
    WriteEntry(archive, "alpha.txt", "new");
    EXPECT_EQ(ReadEntry(archive, "alpha.txt"), "new");
    EXPECT_EQ(ReadEntry(archive, "sub/beta.bin"), kThree[1].data);
}

TEST_F(Zip, AppendedEntryFollowsTheOthers) {
    // A long directory and a short new entry: no bytes of the old directory
    // may be taken for the entry's data.
    std::vector<ZipItem> items;
    for (int i = 0; i < 20; ++i) {
        items.push_back({"entry-with-a-long-name-" + std::to_string(i), std::to_string(i)});
    }
    std::string path = Make(BuildZip(items));
    {
        CFileStream stream;
        ASSERT_TRUE(stream.Open((path + ";added/New.txt").c_str(), kOpenCreate | kOpenWrite));
        EXPECT_EQ(stream.Write("xy", 2), 2u);
        EXPECT_EQ(stream.Tell(), 2);
        EXPECT_EQ(stream.GetSize(), 2u);
    }
    EXPECT_FALSE(temp.Read("a.zip").find("added/New.txt") == std::string::npos);
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(path.c_str(), false, "", false, 0));
    EXPECT_EQ(archive.GetCount(), 21u);
    EXPECT_EQ(archive.GetEndSignature(), zip::kAlternateEndSignature);
    EXPECT_EQ(ReadEntry(archive, "ADDED/new.txt"), "xy");
    EXPECT_EQ(ReadEntry(archive, "entry-with-a-long-name-19"), "19");

    CFileStream refused;
    EXPECT_FALSE(refused.Open((temp.Path("missing.zip") + ";x").c_str(), kOpenCreate | kOpenWrite));
    EXPECT_FALSE(
        refused.Open((path + ";" + std::string(256, 'n')).c_str(), kOpenCreate | kOpenWrite));
}

TEST_F(Zip, AppenderRefusesDirectoriesOutsideTheFile) {
    std::string good = BuildZip(kThree);
    for (uint32_t size : {0xFFFFFFF0u, uint32_t(good.size())}) {
        std::string bytes = good;
        zip::Put32(reinterpret_cast<unsigned char*>(&bytes[bytes.size() - 10]), size);
        std::string path = Make(bytes);
        CFileStream stream;
        EXPECT_FALSE(stream.Open((path + ";x").c_str(), kOpenCreate | kOpenWrite));
        EXPECT_EQ(temp.Read("a.zip"), bytes);
    }
}

// Damaged archives: each must fail to open or give no entry, never crash.
TEST_F(Zip, DamagedArchivesFailCleanly) {
    std::string good = BuildZip(kThree);
    std::vector<std::pair<std::string, std::string>> cases;
    for (size_t cut = 0; cut < good.size(); cut += 3) {
        cases.push_back({"cut at " + std::to_string(cut), good.substr(0, cut)});
    }
    auto patched = [&](const char* what, size_t at, uint32_t value, int width) {
        std::string bytes = good;
        auto* p = reinterpret_cast<unsigned char*>(&bytes[at]);
        width == 2 ? zip::Put16(p, value) : zip::Put32(p, value);
        cases.push_back({what, bytes});
    };
    size_t end = good.size() - 22;
    size_t start = Get32(U(good, end + 16));
    patched("bad end signature", end, 0x06054B51, 4);
    patched("bad central signature", start, 0x02014B51, 4);
    patched("count too large", end + 10, 4, 2);
    patched("count too small", end + 10, 2, 2);
    patched("directory past the end", end + 16, uint32_t(good.size() + 100), 4);
    patched("directory at the end record", end + 16, uint32_t(end), 4);
    patched("local offset past the end", start + 42, 0x7FFFFFF0, 4);
    patched("entry overlapping the next", start + 42, 2, 4);
    patched("size past the directory", start + 20, 5000, 4);
    patched("sizes differ", start + 24, 3, 4);
    patched("name of 65535", start + 28, 0xFFFF, 2);
    patched("extra past the end", start + 30, 0xFFFF, 2);
    {
        std::string walked = good;
        zip::Put32(reinterpret_cast<unsigned char*>(&walked[end + 16]), 0xFFFFFFFF);
        zip::Put32(reinterpret_cast<unsigned char*>(&walked[18]), 0x7FFFFFF0);
        cases.push_back({"walk with a huge local size", walked});
        zip::Put32(reinterpret_cast<unsigned char*>(&walked[18]), 11);
        zip::Put16(reinterpret_cast<unsigned char*>(&walked[start + 28]), 0xFFFF);
        cases.push_back({"walk with a huge central name", walked});
    }
    cases.push_back({"empty name", BuildZip({{"", "data"}})});
    cases.push_back({"not a zip", std::string(100, 'x')});

    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        std::string path = Make(bytes);
        CZipArchive archive;
        if (!archive.Open(path.c_str(), true, "", false, 0)) {
            continue;
        }
        for (const ZipItem& item : kThree) {
            std::string read = ReadEntry(archive, item.name.c_str());
            EXPECT_TRUE(read == "<none>" || read == item.data) << read.size();
        }
        EXPECT_EQ(ReadEntry(archive, ""), "<none>");
    }
}

TEST_F(Zip, MissingArchiveFailsQuietly) {
    CZipArchive archive;
    EXPECT_FALSE(archive.Open(temp.Path("none.zip").c_str(), false, "", false, 0));
    EXPECT_TRUE(archive.Open(temp.Path("none.zip").c_str(), false, "", true, 0));
}

TEST_F(Zip, EmptyArchiveHasNoEntries) {
    CZipArchive archive;
    ASSERT_TRUE(archive.Open(Make(BuildZip({})).c_str(), true, "", false, 0));
    EXPECT_EQ(archive.GetCount(), 0u);
    EXPECT_EQ(ReadEntry(archive, "x"), "<none>");
}

#ifndef _WIN32
// The boxes become lines on standard error natively.
TEST(ZipDeathTest, CompressedEntryAndLazyFailureEndTheProcess) {
    TempFolder temp;
    temp.Write("c.zip", BuildZip({{"plain", "p"}, {"packed", "zz", 8}}));
    std::string path = temp.Path("c.zip");
    std::string compressed = "\\[Compressed Zip File Found\\] " + path +
                             " has been created using an unsupported type of compression\\.  All "
                             "zip archives must be created with compression set to none or a "
                             "type of compression supported by the game engine\\.\n";
    EXPECT_EXIT(
        {
            CZipArchive archive;
            archive.Open(path.c_str(), false, "", false, 0);
        },
        testing::ExitedWithCode(255), compressed);

    temp.Write("bad.zip", "not an archive at all, not even close to one");
    std::string bad = temp.Path("bad.zip");
    EXPECT_EXIT(
        {
            CZipArchive archive;
            archive.Open(bad.c_str(), false, "", true, 0);
            archive.OpenEntry("x", 0);
        },
        testing::ExitedWithCode(255),
        "\\[FATAL ERROR IN ZIP\\] There is something wrong with " + bad +
            "\\.  It may be an empty or damaged archive\\.\n");
}
#endif

} // namespace
