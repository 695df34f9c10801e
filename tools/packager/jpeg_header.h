// Reads a JPEG's frame header without decoding it, so the packager can tell
// on any host whether a file is a JPEG the wrapper's decoder takes and its size.
#pragma once

#include <string>

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
};

// Empty when bytes hold a JPEG frame header the wrapper can decode
// (baseline, extended or progressive; grey or colour), otherwise the problem.
std::string ReadJpegHeader(const std::string& bytes, JpegInfo* info);
