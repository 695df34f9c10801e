#include "engine/compressed_file.h"

#include "engine/file_stream.h"

#include <cstdlib>
#include <zlib.h>

namespace {

constexpr uint64_t kMaxDeflateRatio = 1032;

} // namespace

uint32_t Compress(unsigned char** output, const void* data, uint32_t count, int level) {
    // The room must also cover zlib's own bound, which is larger for tiny inputs.
    uint64_t capacity = uint64_t(count) * 101 / 100 + 12;
    uint64_t bound = compressBound(uLong(count));
    if (capacity < bound) {
        capacity = bound;
    }
    *output = capacity <= UINT32_MAX ? static_cast<unsigned char*>(std::malloc(size_t(capacity)))
                                     : nullptr;
    if (*output == nullptr) {
        return 0;
    }
    uLongf written = uLongf(capacity);
    int result = compress2(*output, &written, static_cast<const Bytef*>(data), uLong(count), level);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_NEED_DICT) {
        return 0;
    }
    return uint32_t(written);
}

bool WriteCompressedBlock(CFileStream& stream, const void* data, uint32_t count, int level) {
    unsigned char* block = nullptr;
    uint32_t compressed = Compress(&block, data, count, level);
    bool written = stream.Write(&kCompressedMarker, 1) == 1 && stream.WriteInt32(compressed) &&
                   stream.WriteInt32(count) && stream.Write(block, compressed) == compressed;
    std::free(block);
    return compressed != 0 && written;
}

CompressedBlock ReadCompressedBlock(CFileStream& stream, unsigned char** data, uint32_t* size) {
    *data = nullptr;
    *size = 0;
    unsigned char marker = 0;
    if (stream.Read(&marker, 1) != 1 || marker != kCompressedMarker) {
        return CompressedBlock::None;
    }
    uint32_t compressed = 0;
    uint32_t expanded = 0;
    if (!stream.ReadInt32(&compressed) || !stream.ReadInt32(&expanded)) {
        return CompressedBlock::Damaged;
    }
    // A stated size beyond the file is damage, not a reason for a huge block.
    int32_t at = stream.Tell();
    uint32_t fileSize = stream.GetSize();
    if (compressed == 0 || at < 0 || uint32_t(at) > fileSize ||
        compressed > fileSize - uint32_t(at)) {
        return CompressedBlock::Damaged;
    }
    // Deflate cannot expand more than 1032 to 1, so a larger stated size
    // is damage too, found before its block is asked for.
    if (uint64_t(expanded) > uint64_t(compressed) * kMaxDeflateRatio) {
        return CompressedBlock::Damaged;
    }
    auto* input = static_cast<unsigned char*>(std::malloc(compressed));
    auto* output = static_cast<unsigned char*>(std::malloc(expanded != 0 ? expanded : 1));
    bool ok = input != nullptr && output != nullptr && stream.Read(input, compressed) == compressed;
    if (ok) {
        uLongf length = expanded;
        ok = uncompress(output, &length, input, compressed) == Z_OK && length == expanded;
    }
    std::free(input);
    if (!ok) {
        std::free(output);
        return CompressedBlock::Damaged;
    }
    *data = output;
    *size = expanded;
    return CompressedBlock::Expanded;
}
