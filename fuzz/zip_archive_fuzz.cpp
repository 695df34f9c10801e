// Opens arbitrary bytes as a zip archive held in memory and reads every
// entry of its directory to the end.
#include "engine/file_stream.h"
#include "engine/memory_buf.h"
#include "engine/zip_archive.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A compressed entry ends the process through the fatal box by design, which
// the fuzzer would count as a crash: such inputs are left alone.
bool MayNameCompressedEntry(const uint8_t* data, size_t size) {
    for (size_t i = 0; size >= zip::kCentralMethod + 2 && i <= size - (zip::kCentralMethod + 2);
         ++i) {
        if (zip::Get32(data + i) == zip::kCentralSignature &&
            zip::Get16(data + i + zip::kCentralMethod) != 0) {
            return true;
        }
    }
    return false;
}

void ReadEntry(CZipArchive& archive, const char* entryName) {
    CZipEntryFileBuf* buffer = archive.OpenEntry(entryName, 0);
    if (buffer == nullptr) {
        return;
    }
    CFileStream stream;
    if (!stream.Attach(buffer, kOpenRead)) {
        std::abort();
    }
    uint32_t size = stream.GetSize();
    unsigned char chunk[512];
    uint32_t total = 0;
    for (uint32_t got; (got = stream.Read(chunk, sizeof chunk)) != 0;) {
        total += got;
    }
    // The directory promised exactly this many bytes inside the file.
    if (total != size || stream.Tell() != int32_t(size)) {
        std::abort();
    }
    if (size != 0 && (!stream.SeekAbsolute(size - 1) || stream.Read(chunk, 2) != 1)) {
        std::abort();
    }
}

// Names are looked up again in capitals, as callers may spell them.
void ReadArchive(const uint8_t* data, size_t size, const char* prefix) {
    auto* block = static_cast<unsigned char*>(std::malloc(size != 0 ? size : 1));
    if (block == nullptr) {
        return;
    }
    if (size != 0) {
        std::memcpy(block, data, size);
    }
    auto* memory = new CMemoryFileBuf(block, uint32_t(size));
    CStr name = BufferName(memory);
    CZipArchive archive;
    // The archive's stream takes the buffer over, and frees it even when the open fails.
    if (!archive.Open(name.GetText(), false, prefix, false, 0)) {
        return;
    }
    for (uint32_t i = 0; i < archive.GetCount(); ++i) {
        std::string entryName = archive.GetEntryName(i);
        ReadEntry(archive, entryName.c_str());
        for (char& c : entryName) {
            c = char(std::toupper(static_cast<unsigned char>(c)));
        }
        ReadEntry(archive, entryName.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX || MayNameCompressedEntry(data, size)) {
        return 0;
    }
    ReadArchive(data, size, nullptr);
    ReadArchive(data, size, "Data/");
    return 0;
}
