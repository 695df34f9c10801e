// Field access for the ZIP format: little-endian numbers at named offsets
// and the record signatures the engine reads and writes.
#pragma once

#include <cstdint>

namespace zip {

constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kEndSignature = 0x06054B50;
// The engine's own end record: the bytes 54 51 05 06.
constexpr uint32_t kAlternateEndSignature = 0x06055154;

constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralRecordSize = 46;
constexpr uint32_t kEndRecordSize = 22;

// Offsets in the local file header.
constexpr uint32_t kLocalVersionNeeded = 4;
constexpr uint32_t kLocalCrc = 14;
constexpr uint32_t kLocalCompressedSize = 18;
constexpr uint32_t kLocalUncompressedSize = 22;
constexpr uint32_t kLocalNameLength = 26;
constexpr uint32_t kLocalExtraLength = 28;

// Offsets in the central directory record.
constexpr uint32_t kCentralVersionMadeBy = 4;
constexpr uint32_t kCentralVersionNeeded = 6;
constexpr uint32_t kCentralFlags = 8;
constexpr uint32_t kCentralMethod = 10;
constexpr uint32_t kCentralTime = 12;
constexpr uint32_t kCentralDate = 14;
constexpr uint32_t kCentralCrc = 16;
constexpr uint32_t kCentralCompressedSize = 20;
constexpr uint32_t kCentralUncompressedSize = 24;
constexpr uint32_t kCentralNameLength = 28;
constexpr uint32_t kCentralExtraLength = 30;
constexpr uint32_t kCentralCommentLength = 32;
constexpr uint32_t kCentralLocalOffset = 42;

// Offsets in the end of central directory record.
constexpr uint32_t kEndDiskEntries = 8;
constexpr uint32_t kEndTotalEntries = 10;
constexpr uint32_t kEndDirectorySize = 12;
constexpr uint32_t kEndDirectoryOffset = 16;

inline bool IsEndSignature(uint32_t signature) {
    return signature == kEndSignature || signature == kAlternateEndSignature;
}

inline uint16_t Get16(const unsigned char* p) {
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t Get32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline void Put16(unsigned char* p, uint32_t value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
}

inline void Put32(unsigned char* p, uint32_t value) {
    Put16(p, value);
    Put16(p + 2, value >> 16);
}

} // namespace zip
