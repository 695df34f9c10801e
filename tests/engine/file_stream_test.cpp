#include "engine/file_stream.h"

#include "engine/memory_buf.h"
#include "engine/paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string Bytes(uint32_t count, uint32_t seed = 0) {
    std::string bytes(count, '\0');
    uint32_t x = seed * 2654435761u + 12345;
    for (char& b : bytes) {
        x = x * 1103515245u + 12345;
        b = char(x >> 16);
    }
    return bytes;
}

std::string ReadAll(CFileStream& stream) {
    std::string bytes(stream.GetSize(), '\0');
    stream.SeekAbsolute(0);
    bytes.resize(stream.Read(bytes.data(), uint32_t(bytes.size())));
    return bytes;
}

// Runs each test in a fresh folder that is also the current directory, with
// relative names taken in its "base" subfolder, so that the base folder and
// the name unchanged lead to different files.
class Streams : public testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(temp.Path());
        std::filesystem::create_directory("base");
        SetBaseFolder("base");
    }
    void TearDown() override {
        SetBaseFolder(".");
        std::filesystem::current_path(previous);
    }
    TempFolder temp;
    std::filesystem::path previous;
};

TEST_F(Streams, EmptyAndMissingNamesFail) {
    CFileStream stream;
    EXPECT_FALSE(stream.Open("", kOpenRead));
    EXPECT_FALSE(stream.Open(nullptr, kOpenRead));
    EXPECT_FALSE(stream.Open("missing.txt", kOpenRead));
    EXPECT_FALSE(stream.Open("missing.txt", kOpenRead | kOpenWrite));
    EXPECT_FALSE(stream.Open("missing.txt", 0));
    EXPECT_FALSE(std::filesystem::exists("missing.txt"));
    EXPECT_EQ(stream.GetBuffer(), nullptr);
}

TEST_F(Streams, RelativeNamesTryTheBaseFolderFirst) {
    temp.Write("f.txt", "current");
    temp.Write("base/f.txt", "base");
    CFileStream stream;
    ASSERT_TRUE(stream.Open("f.txt", kOpenRead));
    EXPECT_EQ(ReadAll(stream), "base");
    EXPECT_EQ(stream.GetFlags() & (kOpenNameUnchanged | kOpenAbsolute), 0u);
    EXPECT_STREQ(stream.GetName().GetText(), "f.txt");
    stream.Close();

    std::filesystem::remove("base/f.txt");
    ASSERT_TRUE(stream.Open("f.txt", kOpenRead));
    EXPECT_EQ(ReadAll(stream), "current");

    // With the name unchanged the base folder is not tried.
    temp.Write("base/g.txt", "base");
    EXPECT_FALSE(stream.Open("g.txt", kOpenRead | kOpenNameUnchanged));
}

TEST_F(Streams, AbsoluteNamesAreOpenedUnchanged) {
    temp.Write("abs.txt", "absolute");
    std::string absolute = temp.Path("abs.txt");
    CFileStream stream;
    ASSERT_TRUE(stream.Open(absolute.c_str(), kOpenRead));
    EXPECT_EQ(ReadAll(stream), "absolute");
    EXPECT_EQ(stream.GetFlags(), kOpenRead | kOpenNameUnchanged | kOpenAbsolute);
}

TEST_F(Streams, WriteWithoutCreateNeedsTheFileAndCreateEmptiesIt) {
    CFileStream stream;
    EXPECT_FALSE(stream.Open("new.bin", kOpenWrite));
    EXPECT_FALSE(stream.Open("new.bin", kOpenRead | kOpenWrite));
    EXPECT_FALSE(std::filesystem::exists("base/new.bin"));

    temp.Write("base/old.bin", "0123456789");
    ASSERT_TRUE(stream.Open("old.bin", kOpenRead | kOpenWrite));
    EXPECT_EQ(stream.GetSize(), 10u);
    EXPECT_EQ(stream.Write("ab", 2), 2u);
    stream.Close();
    EXPECT_EQ(temp.Read("base/old.bin"), "ab23456789");

    ASSERT_TRUE(stream.Open("old.bin", kOpenCreate | kOpenWrite));
    EXPECT_EQ(stream.GetSize(), 0u);
    stream.Close();
    EXPECT_EQ(temp.Read("base/old.bin"), "");
}

TEST_F(Streams, CreateMakesMissingFoldersOnlyWhenAsked) {
    CFileStream stream;
    EXPECT_FALSE(stream.Open("a/b/c.txt", kOpenCreate | kOpenWrite));
    ASSERT_TRUE(stream.Open("a/b/c.txt", kOpenCreate | kOpenWrite | kOpenCreateFolders));
    EXPECT_EQ(stream.Write("xyz", 3), 3u);
    stream.Close();
    EXPECT_EQ(temp.Read("base/a/b/c.txt"), "xyz");
}

TEST_F(Streams, ClearReadOnlyOnlyWhenAsked) {
    temp.Write("base/ro.txt", "locked");
    SetReadOnly("base/ro.txt", true);
    CFileStream stream;
    stream.Open("ro.txt", kOpenRead | kOpenWrite);
    stream.Close();
    EXPECT_TRUE(IsReadOnly("base/ro.txt"));
    ASSERT_TRUE(stream.Open("ro.txt", kOpenRead | kOpenWrite | kOpenClearReadOnly));
    EXPECT_FALSE(IsReadOnly("base/ro.txt"));
    EXPECT_EQ(stream.Write("L", 1), 1u);
    stream.Close();
    EXPECT_EQ(temp.Read("base/ro.txt"), "Locked");
}

TEST_F(Streams, FullNamesThatDoNotFitFail) {
    CFileStream stream;
    std::string longName(300, 'n');
    EXPECT_FALSE(stream.Open(longName.c_str(), kOpenCreate | kOpenWrite));
    EXPECT_FALSE(stream.Open(longName.c_str(), kOpenRead));
    std::string longAbsolute = temp.Path(longName);
    EXPECT_FALSE(stream.Open(longAbsolute.c_str(), kOpenCreate | kOpenWrite));
    // The base folder, a slash and 254 characters are one too many.
    std::string edge(254, 'e');
    EXPECT_FALSE(stream.Open(edge.c_str(), kOpenCreate | kOpenWrite));
}

TEST_F(Streams, ClosedStreamsAnswerHarmlessly) {
    CFileStream stream;
    char byte = 0;
    uint32_t value = 7;
    CStr line;
    EXPECT_EQ(stream.Read(&byte, 1), 0u);
    EXPECT_EQ(stream.Write(&byte, 1), 0u);
    EXPECT_FALSE(stream.SeekAbsolute(0));
    EXPECT_FALSE(stream.SeekRelative(1));
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.GetSize(), 0u);
    stream.SetLength(4);
    EXPECT_FALSE(stream.ReadLine(line));
    EXPECT_FALSE(stream.ReadInt32(&value));
    EXPECT_FALSE(stream.CopyWithin(0, 1, 1));
    EXPECT_TRUE(stream.Close());
}

TEST_F(Streams, SizesPositionsAndLength) {
    CFileStream stream;
    ASSERT_TRUE(stream.Open("sized.bin", kOpenCreate | kOpenWrite | kOpenRead));
    EXPECT_EQ(stream.Write("0123456789", 10), 10u);
    ASSERT_TRUE(stream.SeekAbsolute(3));
    EXPECT_EQ(stream.GetSize(), 10u);
    EXPECT_EQ(stream.Tell(), 3);
    ASSERT_TRUE(stream.SeekRelative(2));
    char c = 0;
    EXPECT_EQ(stream.Read(&c, 1), 1u);
    EXPECT_EQ(c, '5');

    stream.SetLength(4);
    EXPECT_EQ(stream.GetSize(), 4u);
    stream.SetLength(6);
    EXPECT_EQ(ReadAll(stream), std::string("0123\0\0", 6));
}

TEST_F(Streams, Int32IsLittleEndianAndShortReadsFail) {
    CFileStream stream;
    ASSERT_TRUE(stream.Open("ints.bin", kOpenCreate | kOpenWrite | kOpenRead));
    EXPECT_TRUE(stream.WriteInt32(0x12345678u));
    EXPECT_EQ(stream.Write("\xAA\xBB\xCC", 3), 3u);
    ASSERT_TRUE(stream.SeekAbsolute(0));
    uint32_t value = 0;
    EXPECT_TRUE(stream.ReadInt32(&value));
    EXPECT_EQ(value, 0x12345678u);
    value = 99;
    EXPECT_FALSE(stream.ReadInt32(&value));
    EXPECT_EQ(value, 0u);
    stream.Close();
    EXPECT_EQ(temp.Read("base/ints.bin"), "\x78\x56\x34\x12\xAA\xBB\xCC");
}

TEST_F(Streams, CopyWithinMovesTowardTheStart) {
    std::string bytes;
    for (int i = 0; i < 20; ++i) {
        bytes += char(i);
    }
    temp.Write("base/move.bin", bytes);
    CFileStream stream;
    ASSERT_TRUE(stream.Open("move.bin", kOpenRead | kOpenWrite));
    EXPECT_FALSE(stream.CopyWithin(10, 0, 5));
    EXPECT_EQ(ReadAll(stream), bytes);
    EXPECT_TRUE(stream.CopyWithin(3, 3, 5));
    EXPECT_TRUE(stream.CopyWithin(0, 10, 5));
    std::string expected = bytes;
    expected.replace(0, 5, bytes.substr(10, 5));
    EXPECT_EQ(ReadAll(stream), expected);
    EXPECT_FALSE(stream.CopyWithin(0, 18, 5)); // runs past the end

    // Overlapping moves larger than one work area.
    std::string large = Bytes(200000, 1);
    temp.Write("base/large.bin", large);
    ASSERT_TRUE(stream.Open("large.bin", kOpenRead | kOpenWrite));
    EXPECT_TRUE(stream.CopyWithin(1000, 71000, 129000));
    expected = large;
    expected.replace(1000, 129000, large.substr(71000, 129000));
    EXPECT_EQ(ReadAll(stream), expected);
}

TEST_F(Streams, Crc32MatchesZlib) {
    for (uint32_t size : {0u, 1u, 1000u, 65536u, 200001u}) {
        SCOPED_TRACE(size);
        std::string bytes = Bytes(size, size);
        temp.Write("base/crc.bin", bytes);
        uLong expected = crc32(0L, Z_NULL, 0);
        expected = crc32(expected, reinterpret_cast<const Bytef*>(bytes.data()), uInt(size));
        CFileStream disk;
        ASSERT_TRUE(disk.Open("crc.bin", kOpenRead));
        EXPECT_EQ(ComputeCrc32(*disk.GetBuffer()), uint32_t(expected));
        CFileStream memory;
        ASSERT_TRUE(memory.Open("crc.bin", kOpenRead | kOpenIntoMemory));
        EXPECT_EQ(ComputeCrc32(*memory.GetBuffer()), uint32_t(expected));
    }
}

TEST_F(Streams, ReadLineBreakRules) {
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
    };
    std::string longLine = Bytes(300, 3);
    for (char& c : longLine) {
        c = char('a' + (unsigned char)c % 26);
    }
    std::string edge(78, 'q'); // its CR ends the first read, its LF is past it
    const Row rows[] = {
        {"one\r\ntwo\n", {"one", "two"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb", {"a", "b"}},
        {"a\r\r\nb\n", {"a", "b"}},
        {"a\r\n\nb\n", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"last line", {"last line"}},
        {"", {}},
        {"\n", {""}},
        {longLine + "\nx", {longLine, "x"}},
        {longLine, {longLine}},
        {edge + "\r\nnext", {edge, "next"}},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(index++);
        temp.Write("base/lines.txt", row.bytes);
        CFileStream stream;
        ASSERT_TRUE(stream.Open("lines.txt", kOpenRead));
        CStr line("stale");
        for (const std::string& expected : row.lines) {
            ASSERT_TRUE(stream.ReadLine(line));
            EXPECT_EQ(std::string(line.GetText()), expected);
        }
        EXPECT_FALSE(stream.ReadLine(line));
        EXPECT_TRUE(line.IsEmpty());
        EXPECT_FALSE(stream.ReadLine(line));
    }
}

TEST_F(Streams, WholeFileIntoMemoryClosesTheFile) {
    temp.Write("base/whole.bin", "whole file");
    CFileStream stream;
    ASSERT_TRUE(stream.Open("whole.bin", kOpenRead | kOpenIntoMemory));
    ASSERT_NE(stream.GetBuffer(), nullptr);
    EXPECT_TRUE(stream.GetBuffer()->IsMemoryBuffer());
    EXPECT_EQ(stream.GetFlags(), kOpenRead | kOpenIntoMemory);
    // The disk file is closed already, so it can go while the stream reads on.
    EXPECT_TRUE(std::filesystem::remove("base/whole.bin"));
    EXPECT_EQ(ReadAll(stream), "whole file");
    EXPECT_FALSE(stream.Open("whole.bin", kOpenRead | kOpenIntoMemory));
}

TEST_F(Streams, NoDiskFileFlag) {
    temp.Write("base/f.txt", "x");
    CFileStream stream;
    EXPECT_FALSE(stream.Open("f.txt", kOpenRead | kOpenNoDiskFile));
    EXPECT_FALSE(stream.Open("f.txt", kOpenWrite | kOpenNoDiskFile));
}

TEST_F(Streams, ArchiveAppendNamesDoNotBecomeDiskFiles) {
    CFileStream stream;
    EXPECT_FALSE(stream.Open("archive.zip;entry.txt", kOpenCreate | kOpenWrite));
    EXPECT_FALSE(std::filesystem::exists("base/archive.zip;entry.txt"));
}

TEST_F(Streams, BufferNamesOpenOnlyLiveUnheldBuffers) {
    auto* block = static_cast<unsigned char*>(std::malloc(5));
    std::memcpy(block, "in me", 5);
    auto* buffer = new CMemoryFileBuf(block, 5);
    CStr name = BufferName(buffer);
    EXPECT_EQ(std::strncmp(name.GetText(), "~CFileBuf 0x", 12), 0);
    EXPECT_EQ(name.GetLength(), 12 + 2 * sizeof(void*));

    CFileStream holder;
    ASSERT_TRUE(holder.Open(name.GetText(), kOpenRead));
    EXPECT_EQ(holder.GetBuffer(), buffer);
    EXPECT_EQ(ReadAll(holder), "in me");
    // Held by one stream, the buffer is not handed to a second one.
    CFileStream second;
    EXPECT_FALSE(second.Open(name.GetText(), kOpenRead));
    holder.Close(); // deletes the buffer

    // The same name now names nothing alive.
    EXPECT_FALSE(second.Open(name.GetText(), kOpenRead));

    int notABuffer = 0;
    CStr bogus = BufferName(reinterpret_cast<const CFileBuf*>(&notABuffer));
    EXPECT_FALSE(second.Open(bogus.GetText(), kOpenRead));
    EXPECT_FALSE(second.Open("~CFileBuf 0xZZZZZZZZZZZZZZZZ", kOpenRead));
    EXPECT_FALSE(second.Open("~CFileBuf 0x1234", kOpenRead));

    // Digits may be lower case.
    auto* lower = new CMemoryFileBuf();
    CStr lowerName = BufferName(lower);
    for (uint32_t i = 12; i < lowerName.GetLength(); ++i) {
        char c = char(lowerName.GetAt(i));
        lowerName.SetAt(i, uint16_t(c >= 'A' && c <= 'F' ? c + 32 : c));
    }
    EXPECT_TRUE(second.Open(lowerName.GetText(), kOpenRead));
    EXPECT_EQ(second.GetBuffer(), lower);
}

} // namespace

namespace {

TEST(StreamAttach, ABufferHasOneOwner) {
    CFileStream owner;
    CFileStream other;
    EXPECT_FALSE(owner.Attach(nullptr, kOpenRead));
    auto* buffer = new CMemoryFileBuf();
    ASSERT_TRUE(owner.Attach(buffer, kOpenRead | kOpenWrite));
    EXPECT_TRUE(buffer->IsAttached());
    EXPECT_FALSE(other.Attach(buffer, kOpenRead));
    EXPECT_EQ(other.GetBuffer(), nullptr);
    // Attaching the buffer it holds again only changes the flags.
    EXPECT_TRUE(owner.Attach(buffer, kOpenRead));
    EXPECT_EQ(owner.GetFlags(), kOpenRead);
    EXPECT_EQ(owner.Write("x", 1), 1u);
    EXPECT_EQ(owner.GetSize(), 1u);
}

} // namespace
