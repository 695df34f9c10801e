#include "engine/memory_buf.h"

#include "engine/file_stream.h"
#include "engine/str.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

unsigned char* HeapCopy(const std::string& bytes) {
    auto* block = static_cast<unsigned char*>(std::malloc(bytes.size() + 1));
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

std::string Contents(CMemoryFileBuf& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.GetData()), buffer.GetSize());
}

TEST(MemoryFileBuf, GrowsByHalfAndAtLeastFour) {
    CMemoryFileBuf buffer;
    EXPECT_EQ(buffer.GetCapacity(), 0u);
    std::vector<uint32_t> capacities;
    for (int i = 0; i < 135; ++i) {
        char byte = char(i);
        ASSERT_EQ(buffer.Write(&byte, 1), 1u);
        if (capacities.empty() || capacities.back() != buffer.GetCapacity()) {
            capacities.push_back(buffer.GetCapacity());
        }
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{4, 8, 12, 18, 27, 40, 60, 90, 135}));
    EXPECT_EQ(buffer.GetSize(), 135u);
    for (uint32_t i = 0; i < 135; ++i) {
        EXPECT_EQ(buffer.GetData()[i], i);
    }
    // A large write takes exactly what it needs.
    std::string big(1000, 'b');
    buffer.Write(big.data(), 1000);
    EXPECT_EQ(buffer.GetCapacity(), 1135u);
}

TEST(MemoryFileBuf, WritesAndReadsAroundTheEnd) {
    CMemoryFileBuf buffer;
    char out[16] = {};
    EXPECT_EQ(buffer.Read(out, 4), 0u);
    EXPECT_EQ(buffer.Write("abcde", 5), 5u);
    EXPECT_TRUE(buffer.SeekAbsolute(2));
    EXPECT_EQ(buffer.Write("0123456789", 10), 10u);
    EXPECT_EQ(buffer.GetSize(), 12u);
    EXPECT_EQ(buffer.Tell(), 12);
    EXPECT_EQ(Contents(buffer), "ab0123456789");

    EXPECT_TRUE(buffer.SeekRelative(-4));
    EXPECT_EQ(buffer.Read(out, 16), 4u);
    EXPECT_EQ(std::string(out, 4), "6789");
    EXPECT_EQ(buffer.Read(out, 16), 0u);

    // Writing past the end leaves a gap and moves the end.
    EXPECT_TRUE(buffer.SeekAbsolute(20));
    EXPECT_EQ(buffer.Read(out, 1), 0u);
    EXPECT_EQ(buffer.Write("z", 1), 1u);
    EXPECT_EQ(buffer.GetSize(), 21u);
    EXPECT_EQ(buffer.GetData()[20], 'z');

    // A position and count past 4 GiB write nothing.
    EXPECT_TRUE(buffer.SeekAbsolute(0xFFFFFFF0u));
    EXPECT_EQ(buffer.Write(out, 16), 0u);
    EXPECT_EQ(buffer.GetSize(), 21u);
}

TEST(MemoryFileBuf, ReadLineRules) {
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"ab\r\ncd", {"ab", "cd"}},
        {"ab\n\rcd", {"ab", "", "cd"}},
        {"ab\rcd\n", {"ab", "cd"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\n\n", {"", ""}},
        {"last", {"last"}},
        {"", {}},
    };
    int index = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(index++);
        CMemoryFileBuf buffer(HeapCopy(row.bytes), uint32_t(row.bytes.size()));
        CStr line("stale");
        for (const std::string& expected : row.lines) {
            ASSERT_TRUE(buffer.ReadLine(line));
            EXPECT_EQ(std::string(line.GetText()), expected);
        }
        EXPECT_FALSE(buffer.ReadLine(line));
        EXPECT_FALSE(buffer.ReadLine(line));
    }
}

TEST(MemoryFileBuf, DetachDataHandsOverTheBlock) {
    auto* buffer = new CMemoryFileBuf();
    buffer->Write("kept", 4);
    unsigned char* block = buffer->DetachData();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(buffer->GetSize(), 0u);
    EXPECT_EQ(buffer->GetCapacity(), 0u);
    EXPECT_EQ(buffer->GetData(), nullptr);
    delete buffer; // must not free the block
    EXPECT_EQ(std::memcmp(block, "kept", 4), 0);
    std::free(block);
}

TEST(MemoryFileBuf, ReadDirectStaysInsideTheData) {
    CMemoryFileBuf buffer(HeapCopy("abcdef"), 6);
    EXPECT_TRUE(buffer.HasDirectAccess());
    const unsigned char* at = buffer.ReadDirect(4);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(std::memcmp(at, "abcd", 4), 0);
    EXPECT_EQ(buffer.Tell(), 4);
    EXPECT_EQ(buffer.ReadDirect(3), nullptr);
    EXPECT_EQ(buffer.Tell(), 4);
    at = buffer.ReadDirect(2);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(*at, 'e');
    buffer.SeekAbsolute(100);
    EXPECT_EQ(buffer.ReadDirect(0), nullptr);
}

TEST(MemoryFileBuf, ResetAndAttachData) {
    CMemoryFileBuf buffer(HeapCopy("old"), 3);
    buffer.Reset(32);
    EXPECT_EQ(buffer.GetSize(), 0u);
    EXPECT_EQ(buffer.GetCapacity(), 32u);
    buffer.Write("new", 3);
    EXPECT_EQ(buffer.GetCapacity(), 32u);
    buffer.AttachData(HeapCopy("attached"), 8);
    EXPECT_EQ(buffer.Tell(), 0);
    EXPECT_EQ(Contents(buffer), "attached");
    buffer.SetLength(2); // a memory buffer has no file to cut
    EXPECT_EQ(buffer.GetSize(), 8u);
}

TEST(MemoryFileBuf, LoadFileIntoMemory) {
    TempFolder temp;
    temp.Write("data.bin", std::string("a\0b", 3));
    std::string path = temp.Path("data.bin");
    CMemoryFileBuf* loaded = LoadFileIntoMemory(path.c_str(), kOpenRead);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Contents(*loaded), std::string("a\0b", 3));
    delete loaded;
    EXPECT_EQ(LoadFileIntoMemory(temp.Path("missing").c_str(), kOpenRead), nullptr);
}

} // namespace
