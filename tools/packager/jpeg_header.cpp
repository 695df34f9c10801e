#include "jpeg_header.h"

namespace {

unsigned Get16(const std::string& bytes, size_t at) {
    return unsigned(static_cast<unsigned char>(bytes[at])) << 8 |
           static_cast<unsigned char>(bytes[at + 1]);
}

bool IsStandalone(unsigned marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

bool IsFrameHeader(unsigned marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::string ReadFrame(const std::string& bytes, size_t at, unsigned length, JpegInfo* info) {
    if (length < 8) {
        return "has a truncated frame header";
    }
    info->height = int(Get16(bytes, at + 5));
    info->width = int(Get16(bytes, at + 7));
    info->components = static_cast<unsigned char>(bytes[at + 9]);
    if (length != 8 + 3 * unsigned(info->components)) {
        return "has a frame header of the wrong length";
    }
    if (info->width == 0 || info->height == 0) {
        return "has no width or height";
    }
    if (info->components != 1 && info->components != 3) {
        return "is neither grey nor colour (" + std::to_string(info->components) + " components)";
    }
    return "";
}

} // namespace

std::string ReadJpegHeader(const std::string& bytes, JpegInfo* info) {
    if (bytes.size() < 4 || Get16(bytes, 0) != 0xFFD8) {
        return "is not a JPEG file";
    }
    size_t at = 2;
    for (;;) {
        // Markers may be padded with any number of 0xFF bytes.
        while (at + 1 < bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF &&
               static_cast<unsigned char>(bytes[at + 1]) == 0xFF) {
            ++at;
        }
        if (at + 2 > bytes.size()) {
            return "ends before its frame header";
        }
        if (static_cast<unsigned char>(bytes[at]) != 0xFF) {
            return "is damaged: no marker where one belongs";
        }
        unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        if (IsStandalone(marker)) {
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) {
            return "has no frame header";
        }
        if (at + 4 > bytes.size()) {
            return "ends before its frame header";
        }
        unsigned length = Get16(bytes, at + 2);
        if (length < 2 || at + 2 + length > bytes.size()) {
            return "ends inside a marker segment";
        }
        if (IsFrameHeader(marker)) {
            if (marker > 0xC2) {
                return "uses a coding the wrapper cannot decode (lossless or arithmetic)";
            }
            return ReadFrame(bytes, at, length, info);
        }
        at += 2 + length;
    }
}
