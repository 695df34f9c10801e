#include "test_jpeg.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

#include <jpeglib.h>

Bytes EncodeJpeg(int width, int height, JpegKind kind, const PixelFunction& pixel) {
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&compressor, &out, &outSize);
    compressor.image_width = static_cast<JDIMENSION>(width);
    compressor.image_height = static_cast<JDIMENSION>(height);
    int components = kind == JpegKind::Grey ? 1 : kind == JpegKind::Cmyk ? 4 : 3;
    compressor.input_components = components;
    compressor.in_color_space = kind == JpegKind::Grey   ? JCS_GRAYSCALE
                                : kind == JpegKind::Cmyk ? JCS_CMYK
                                                         : JCS_RGB;
    jpeg_set_defaults(&compressor);
    if (kind == JpegKind::Rgb) {
        jpeg_set_colorspace(&compressor, JCS_RGB);
    }
    jpeg_set_quality(&compressor, 100, TRUE);
    for (int c = 0; c < compressor.num_components; ++c) {
        compressor.comp_info[c].h_samp_factor = 1;
        compressor.comp_info[c].v_samp_factor = 1;
    }
    jpeg_start_compress(&compressor, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * components);
    while (compressor.next_scanline < compressor.image_height) {
        int y = static_cast<int>(compressor.next_scanline);
        for (int x = 0; x < width; ++x) {
            pixel(x, y, &row[static_cast<size_t>(x) * components]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    Bytes bytes(out, out + outSize);
    std::free(out);
    return bytes;
}

Bytes EncodeSolidRgb(int width, int height, unsigned char red, unsigned char green,
                     unsigned char blue) {
    return EncodeJpeg(width, height, JpegKind::Rgb, [=](int, int, unsigned char* samples) {
        samples[0] = red;
        samples[1] = green;
        samples[2] = blue;
    });
}

std::string WriteTempFile(const char* name, const Bytes& bytes) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path =
        std::string(folder) + "screens_" + std::to_string(GetCurrentProcessId()) + "_" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file != nullptr) {
        if (!bytes.empty()) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
        }
        std::fclose(file);
    }
    return path;
}
