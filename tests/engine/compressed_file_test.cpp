#include "engine/compressed_file.h"

#include "engine/file_stream.h"
#include "engine/memory_buf.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

namespace {

uint32_t LoadUint32(const std::string& bytes, size_t at) {
    return uint32_t((unsigned char)bytes[at]) | uint32_t((unsigned char)bytes[at + 1]) << 8 |
           uint32_t((unsigned char)bytes[at + 2]) << 16 |
           uint32_t((unsigned char)bytes[at + 3]) << 24;
}

std::string Uint32(uint32_t v) {
    return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// zlib's streaming inflate, independent of the one-call uncompress we use.
std::string Inflate(const std::string& stream) {
    z_stream z{};
    EXPECT_EQ(inflateInit(&z), Z_OK);
    std::string out;
    char chunk[4096];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = uInt(stream.size());
    int result = Z_OK;
    while (result == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(chunk);
        z.avail_out = sizeof chunk;
        result = inflate(&z, Z_NO_FLUSH);
        out.append(chunk, sizeof chunk - z.avail_out);
    }
    EXPECT_EQ(result, Z_STREAM_END);
    EXPECT_EQ(z.avail_in, 0u);
    inflateEnd(&z);
    return out;
}

// A block made with zlib's streaming deflate at level 9.
std::string IndependentBlock(const std::string& data) {
    z_stream z{};
    EXPECT_EQ(deflateInit(&z, 9), Z_OK);
    std::string out(deflateBound(&z, uLong(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return std::string(1, '\1') + Uint32(uint32_t(out.size())) + Uint32(uint32_t(data.size())) +
           out;
}

std::string Text(uint32_t lines) {
    std::string text;
    for (uint32_t i = 0; i < lines; ++i) {
        text += "line " + std::to_string(i) + " of some compressible text\r\n";
    }
    return text;
}

std::string ReadAll(CFileStream& stream) {
    std::string bytes(stream.GetSize(), '\0');
    stream.SeekAbsolute(0);
    bytes.resize(stream.Read(bytes.data(), uint32_t(bytes.size())));
    return bytes;
}

bool WriteCompressed(const std::string& path, const std::string& data) {
    CFileStream writer;
    if (!writer.Open(path.c_str(), kOpenCompressed | kOpenWrite)) {
        return false;
    }
    EXPECT_TRUE(writer.GetBuffer()->IsMemoryBuffer());
    EXPECT_EQ(writer.Write(data.data(), uint32_t(data.size())), data.size());
    return writer.Close();
}

TEST(CompressedFile, RoundTripAndIndependentReader) {
    TempFolder temp;
    for (uint32_t lines : {0u, 1u, 5000u}) {
        SCOPED_TRACE(lines);
        std::string data = Text(lines);
        std::string path = temp.Path("packed.dat");
        ASSERT_TRUE(WriteCompressed(path, data));

        std::string file = temp.Read("packed.dat");
        ASSERT_GE(file.size(), kCompressedHeaderSize);
        EXPECT_EQ(file[0], '\1');
        EXPECT_EQ(LoadUint32(file, 1), file.size() - kCompressedHeaderSize);
        EXPECT_EQ(LoadUint32(file, 5), data.size());
        EXPECT_EQ(Inflate(file.substr(kCompressedHeaderSize)), data);
        if (lines > 100) {
            EXPECT_LT(file.size(), data.size() / 4);
        }

        CFileStream reader;
        ASSERT_TRUE(reader.Open(path.c_str(), kOpenCompressed | kOpenRead));
        ASSERT_NE(reader.GetBuffer(), nullptr);
        EXPECT_TRUE(reader.GetBuffer()->IsMemoryBuffer());
        EXPECT_EQ(reader.GetSize(), data.size());
        EXPECT_EQ(ReadAll(reader), data);
    }
}

TEST(CompressedFile, ReadsABlockFromAnIndependentWriter) {
    TempFolder temp;
    std::string data = Text(300);
    temp.Write("other.dat", IndependentBlock(data));
    CFileStream reader;
    ASSERT_TRUE(reader.Open(temp.Path("other.dat").c_str(), kOpenCompressed | kOpenRead));
    EXPECT_EQ(ReadAll(reader), data);
    CStr line;
    reader.SeekAbsolute(0);
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_STREQ(line.GetText(), "line 0 of some compressible text");
}

TEST(CompressedFile, FilesWithoutTheMarkerReadPlainly) {
    TempFolder temp;
    for (const std::string& plain :
         {std::string("plain text"), std::string(), std::string("\2xyz")}) {
        temp.Write("plain.txt", plain);
        CFileStream reader;
        ASSERT_TRUE(reader.Open(temp.Path("plain.txt").c_str(), kOpenCompressed | kOpenRead));
        EXPECT_FALSE(reader.GetBuffer()->IsMemoryBuffer());
        EXPECT_EQ(reader.Tell(), 0);
        EXPECT_EQ(ReadAll(reader), plain);
    }
}

TEST(CompressedFile, DamagedBlocksFailToOpen) {
    TempFolder temp;
    std::string data = Text(50);
    std::string good = IndependentBlock(data);
    std::string stream = good.substr(kCompressedHeaderSize);
    uint32_t c = uint32_t(stream.size());
    uint32_t n = uint32_t(data.size());
    std::string flipped = stream;
    flipped[flipped.size() / 2] ^= 0x55;
    struct Row {
        const char* label;
        std::string bytes;
    };
    const Row rows[] = {
        {"marker only", "\1"},
        {"short header", std::string("\1", 1) + Uint32(c)},
        {"size too large", "\1" + Uint32(c) + Uint32(n + 1) + stream},
        {"size too small", "\1" + Uint32(c) + Uint32(n - 1) + stream},
        {"size beyond any heap", "\1" + Uint32(c) + Uint32(0xFFFFFFFFu) + stream},
        {"stream cut short", "\1" + Uint32(c) + Uint32(n) + stream.substr(0, c / 2)},
        {"compressed size beyond the file", "\1" + Uint32(0xFFFFFFF0u) + Uint32(n) + stream},
        {"no stream at all", "\1" + Uint32(0) + Uint32(n)},
        {"corrupt stream", "\1" + Uint32(c) + Uint32(n) + flipped},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        temp.Write("bad.dat", row.bytes);
        CFileStream reader;
        EXPECT_FALSE(reader.Open(temp.Path("bad.dat").c_str(), kOpenCompressed | kOpenRead));
        EXPECT_EQ(reader.GetBuffer(), nullptr);
    }
    temp.Write("good.dat", good);
    CFileStream reader;
    EXPECT_TRUE(reader.Open(temp.Path("good.dat").c_str(), kOpenCompressed | kOpenRead));
}

TEST(CompressedFile, WritingReplacesTheWholeFile) {
    TempFolder temp;
    temp.Write("packed.dat", std::string(100000, 'x'));
    ASSERT_TRUE(WriteCompressed(temp.Path("packed.dat"), "short"));
    std::string file = temp.Read("packed.dat");
    EXPECT_EQ(file.size(), kCompressedHeaderSize + LoadUint32(file, 1));
    EXPECT_EQ(Inflate(file.substr(kCompressedHeaderSize)), "short");
}

TEST(CompressedFile, CloseReportsATargetThatCannotBeWritten) {
    TempFolder temp;
    EXPECT_FALSE(WriteCompressed(temp.Path("no/such/folder/packed.dat"), "lost"));
}

TEST(CompressedFile, CompressAndWriteBlock) {
    std::string data = Text(20);
    unsigned char* block = nullptr;
    uint32_t size = Compress(&block, data.data(), uint32_t(data.size()), 6);
    ASSERT_NE(size, 0u);
    EXPECT_EQ(Inflate(std::string(reinterpret_cast<char*>(block), size)), data);
    std::free(block);

    CFileStream memory;
    ASSERT_TRUE(memory.Attach(new CMemoryFileBuf(), kOpenRead | kOpenWrite));
    EXPECT_TRUE(WriteCompressedBlock(memory, data.data(), uint32_t(data.size()), 1));
    memory.SeekAbsolute(0);
    unsigned char* expanded = nullptr;
    uint32_t expandedSize = 0;
    ASSERT_EQ(ReadCompressedBlock(memory, &expanded, &expandedSize), CompressedBlock::Expanded);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(expanded), expandedSize), data);
    std::free(expanded);
}

} // namespace
