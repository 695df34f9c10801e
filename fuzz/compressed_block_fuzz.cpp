// Reads arbitrary bytes as the engine's compressed file, both directly and
// through a stream opened for compressed reading.
#include "engine/compressed_file.h"
#include "engine/file_stream.h"
#include "engine/memory_buf.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

CMemoryFileBuf* CopyIntoBuffer(const uint8_t* data, size_t size) {
    auto* block = static_cast<unsigned char*>(std::malloc(size != 0 ? size : 1));
    if (block == nullptr) {
        return nullptr;
    }
    if (size != 0) {
        std::memcpy(block, data, size);
    }
    return new CMemoryFileBuf(block, uint32_t(size));
}

void ReadDirectly(const uint8_t* data, size_t size) {
    CFileStream stream;
    if (!stream.Attach(CopyIntoBuffer(data, size), kOpenRead)) {
        return;
    }
    unsigned char* expanded = reinterpret_cast<unsigned char*>(1);
    uint32_t expandedSize = 1;
    CompressedBlock result = ReadCompressedBlock(stream, &expanded, &expandedSize);
    bool marked = size != 0 && data[0] == kCompressedMarker;
    if ((result == CompressedBlock::None) == marked) {
        std::abort();
    }
    if (result != CompressedBlock::Expanded) {
        if (expanded != nullptr || expandedSize != 0) {
            std::abort();
        }
        return;
    }
    // Every byte of the block is ours to read; the sanitizer checks the reach.
    volatile unsigned char sink = 0;
    for (uint32_t i = 0; i < expandedSize; ++i) {
        sink = sink ^ expanded[i];
    }
    std::free(expanded);
}

void ReadThroughStream(const uint8_t* data, size_t size) {
    CMemoryFileBuf* memory = CopyIntoBuffer(data, size);
    if (memory == nullptr) {
        return;
    }
    CStr name = BufferName(memory);
    CFileStream stream;
    if (!stream.Open(name.GetText(), kOpenRead | kOpenCompressed)) {
        return;
    }
    unsigned char chunk[512];
    uint32_t total = 0;
    for (uint32_t got; (got = stream.Read(chunk, sizeof chunk)) != 0;) {
        total += got;
    }
    if (total != stream.GetSize()) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) {
        return 0;
    }
    ReadDirectly(data, size);
    ReadThroughStream(data, size);
    return 0;
}
