// JPEG files the tests make themselves with libjpeg's encoder.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// Samples of pixel (x, y): one for greyscale, three for RGB, four for CMYK.
using PixelFunction = std::function<void(int x, int y, unsigned char* samples)>;

// Rgb is stored as RGB, so flat areas decode to exactly their colour; YCbCr
// is what cameras and image editors write.
enum class JpegKind { Rgb, YCbCr, Grey, Cmyk };

// Quality 100 without chroma subsampling.
Bytes EncodeJpeg(int width, int height, JpegKind kind, const PixelFunction& pixel);

Bytes EncodeSolidRgb(int width, int height, unsigned char red, unsigned char green,
                     unsigned char blue);

// Writes bytes to a fresh file in the temporary folder and returns its path.
std::string WriteTempFile(const char* name, const Bytes& bytes);
