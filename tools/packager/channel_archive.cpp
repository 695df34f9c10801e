#include "channel_archive.h"

#include "engine/file_buf.h"
#include "engine/file_stream.h"
#include "engine/zip_archive.h"
#include "engine/zip_format.h"

#include <fstream>

bool WriteStoredArchive(const std::string& path, const ArchiveEntries& entries) {
    {
        // An archive of no entries is its end record alone; the engine's
        // appender then adds each entry in front of it.
        unsigned char endRecord[zip::kEndRecordSize] = {};
        zip::Put32(endRecord, zip::kAlternateEndSignature);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(endRecord), sizeof endRecord);
        if (!out) {
            return false;
        }
    }
    for (const auto& entry : entries) {
        CFileStream stream;
        if (!stream.Open((path + ";" + entry.first).c_str(), kOpenCreate | kOpenWrite)) {
            return false;
        }
        uint32_t size = uint32_t(entry.second.size());
        if (stream.Write(entry.second.data(), size) != size || !stream.Close()) {
            return false;
        }
    }
    return true;
}

bool ReadArchiveEntry(const std::string& path, const char* entryName, std::string* bytes) {
    CZipArchive archive;
    if (!archive.Open(path.c_str(), false, "", false, 0)) {
        return false;
    }
    CFileStream stream;
    if (!stream.Attach(archive.OpenEntry(entryName, 0), 0)) {
        return false;
    }
    bytes->resize(stream.GetSize());
    uint32_t size = uint32_t(bytes->size());
    return stream.Read(&(*bytes)[0], size) == size;
}
