// JPEG data held in memory, decoded with libjpeg into blue-green-red pixels
// and GDI bitmaps.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <windows.h>

struct jpeg_decompress_struct;

struct FreeDeleter {
    void operator()(unsigned char* p) const { std::free(p); }
};

// Width x height x 3 bytes, top row first, rows packed, each pixel blue,
// green, red.
struct BgrBlock {
    std::unique_ptr<unsigned char, FreeDeleter> pixels;
    int32_t width = 0;
    int32_t height = 0;
};

// False when the data does not decode to an RGB image (the block stays empty).
// The first library warning of the image, such as a file cut short, is shown
// in a "JPEG Error" box and decoding goes on.
bool DecodeJpegToBgr(const unsigned char* data, int32_t length, BgrBlock& block);

// A 24-bit top-down DIB section of the decoded image, rows padded with zero
// bytes to 4-byte multiples; null when the data does not decode.
HBITMAP CreateBitmapFromJpeg(const unsigned char* data, int32_t length);

// Makes data the decompressor's input; the source never suspends and ends a
// cut file with an inserted end-of-image marker.
void AttachJpegMemorySource(jpeg_decompress_struct* decompressor, const unsigned char* data,
                            int32_t length);
