#include "engine/zip_append.h"

#include <cstring>

using namespace zip;

namespace {

// The end record's fields as offsets into the 18 bytes after its signature.
constexpr uint32_t At(uint32_t endOffset) {
    return endOffset - 4;
}

} // namespace

CZipAppendFileBuf::~CZipAppendFileBuf() {
    CZipAppendFileBuf::Close();
}

bool CZipAppendFileBuf::Open(const char* archiveName, const char* newEntryName) {
    Close();
    size_t nameLength = std::strlen(newEntryName);
    if (nameLength > kMaxEntryName) {
        return false;
    }
    std::memcpy(entryName, newEntryName, nameLength + 1);
    if (!inner.Open(archiveName, kOpenNameUnchanged | kOpenRead | kOpenWrite)) {
        return false;
    }
    uint32_t size = inner.GetSize();
    uint32_t signature = 0;
    if (size < kEndRecordSize || !inner.SeekAbsolute(size - kEndRecordSize) ||
        !inner.ReadInt32(&signature) || !IsEndSignature(signature) ||
        inner.Read(endRecord, sizeof endRecord) != sizeof endRecord) {
        inner.Close();
        return false;
    }
    // The directory must lie before the end record and the count must have
    // room for one more, or the archive is not one this can extend.
    uint32_t directorySize = Get32(endRecord + At(kEndDirectorySize));
    uint32_t directoryOffset = Get32(endRecord + At(kEndDirectoryOffset));
    uint32_t directoryLimit = size - kEndRecordSize;
    if (directorySize > directoryLimit || directoryOffset > directoryLimit - directorySize ||
        Get16(endRecord + At(kEndTotalEntries)) == 0xFFFF) {
        inner.Close();
        return false;
    }
    oldDirectory.resize(directorySize);
    unsigned char header[kLocalHeaderSize] = {};
    Put32(header, kLocalSignature);
    Put16(header + kLocalVersionNeeded, 10);
    Put16(header + kLocalNameLength, uint32_t(nameLength));
    localHeaderOffset = directoryOffset;
    dataStart = directoryOffset + kLocalHeaderSize + uint32_t(nameLength);
    if (!inner.SeekAbsolute(directoryOffset) ||
        inner.Read(oldDirectory.data(), directorySize) != directorySize ||
        !inner.SeekAbsolute(directoryOffset) ||
        inner.Write(header, sizeof header) != sizeof header ||
        inner.Write(entryName, uint32_t(nameLength)) != nameLength) {
        inner.Close();
        return false;
    }
    // The old directory is in memory now; without the cut its bytes would
    // count as the new entry's data when less than that is written.
    inner.SetLength(dataStart);
    open = true;
    return true;
}

uint32_t CZipAppendFileBuf::Write(const void* data, uint32_t count) {
    return open ? inner.Write(data, count) : 0;
}

uint32_t CZipAppendFileBuf::Read(void* data, uint32_t count) {
    return open ? inner.Read(data, count) : 0;
}

bool CZipAppendFileBuf::SeekRelative(int32_t delta) {
    return open && inner.SeekRelative(delta);
}

bool CZipAppendFileBuf::SeekAbsolute(uint32_t position) {
    return open && inner.SeekAbsolute(dataStart + position);
}

int32_t CZipAppendFileBuf::Tell() {
    return open ? inner.Tell() - int32_t(dataStart) : -1;
}

uint32_t CZipAppendFileBuf::GetSize() {
    return open ? inner.GetSize() - dataStart : 0;
}

void CZipAppendFileBuf::SetLength(uint32_t size) {
    if (open) {
        inner.SetLength(dataStart + size);
    }
}

bool CZipAppendFileBuf::WriteLocalHeader(uint32_t length, uint32_t crc) {
    unsigned char header[kLocalHeaderSize] = {};
    Put32(header, kLocalSignature);
    Put16(header + kLocalVersionNeeded, 10);
    Put32(header + kLocalCrc, crc);
    Put32(header + kLocalCompressedSize, length);
    Put32(header + kLocalUncompressedSize, length);
    Put16(header + kLocalNameLength, uint32_t(std::strlen(entryName)));
    return inner.SeekAbsolute(localHeaderOffset) &&
           inner.Write(header, sizeof header) == sizeof header;
}

void CZipAppendFileBuf::Close() {
    if (!open) {
        return;
    }
    uint32_t length = GetSize();
    // Readers check the CRC, so the entry carries the real one.
    uint32_t crc = ComputeCrc32(*this);
    open = false;
    uint32_t nameLength = uint32_t(std::strlen(entryName));
    uint32_t directoryStart = dataStart + length;
    unsigned char record[kCentralRecordSize] = {};
    Put32(record, kCentralSignature);
    Put16(record + kCentralVersionMadeBy, 42);
    Put16(record + kCentralVersionNeeded, 10);
    Put32(record + kCentralCrc, crc);
    Put32(record + kCentralCompressedSize, length);
    Put32(record + kCentralUncompressedSize, length);
    Put16(record + kCentralNameLength, nameLength);
    Put32(record + kCentralLocalOffset, localHeaderOffset);

    unsigned char end[kEndRecordSize];
    Put32(end, kAlternateEndSignature);
    std::memcpy(end + 4, endRecord, sizeof endRecord);
    Put16(end + kEndDiskEntries, Get16(end + kEndDiskEntries) + 1u);
    Put16(end + kEndTotalEntries, Get16(end + kEndTotalEntries) + 1u);
    Put32(end + kEndDirectorySize,
          Get32(end + kEndDirectorySize) + kCentralRecordSize + nameLength);
    Put32(end + kEndDirectoryOffset, directoryStart);

    uint32_t directorySize = uint32_t(oldDirectory.size());
    if (WriteLocalHeader(length, crc) && inner.SeekAbsolute(directoryStart) &&
        inner.Write(oldDirectory.data(), directorySize) == directorySize &&
        inner.Write(record, sizeof record) == sizeof record &&
        inner.Write(entryName, nameLength) == nameLength) {
        inner.Write(end, sizeof end);
    }
    inner.Close();
    oldDirectory.clear();
    oldDirectory.shrink_to_fit();
}
