// The engine's compressed file: one block of a marker byte 1, the compressed
// size C and the uncompressed size N (32-bit little-endian), then a zlib
// stream of C bytes.
#pragma once

#include <cstdint>

class CFileStream;

constexpr unsigned char kCompressedMarker = 1;
constexpr uint32_t kCompressedHeaderSize = 9;

// Compresses count bytes into a new heap block stored in *output (release it
// with free in every case). Returns the compressed size, 0 on failure.
uint32_t Compress(unsigned char** output, const void* data, uint32_t count, int level);

// Writes count bytes as one compressed block; false when compressing or
// writing failed.
bool WriteCompressedBlock(CFileStream& stream, const void* data, uint32_t count, int level);

enum class CompressedBlock {
    None,     // no marker: the file is not compressed
    Expanded, // *data holds exactly *size bytes (release with free)
    Damaged,  // a marker, but the block does not expand to its stated size
};

// Reads the compressed block at the stream's position.
CompressedBlock ReadCompressedBlock(CFileStream& stream, unsigned char** data, uint32_t* size);
