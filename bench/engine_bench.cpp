// The engine beside what it could be replaced with: the heap, std::string,
// zlib's own CRC and compression, and the archive's lookup.
#include "bench_util.h"
#include "engine/file_buf.h"
#include "engine/file_stream.h"
#include "engine/memory_buf.h"
#include "engine/pool.h"
#include "engine/str.h"
#include "engine/zip_archive.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

volatile uintptr_t sink;

// Allocates and frees blocks of mixed small sizes in a stack pattern.
template <typename Alloc, typename Free> void SmallBlocks(Alloc alloc, Free release) {
    static const size_t sizes[] = {12, 24, 40, 64, 100, 16, 32, 8};
    void* blocks[64];
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 64; ++i) {
            blocks[i] = alloc(sizes[i % 8]);
        }
        for (int i = 63; i >= 0; --i) {
            release(blocks[i], sizes[i % 8]);
        }
    }
    sink = uintptr_t(blocks[0]);
}

void Pools() {
    double pool = bench::TimeMs([] {
        SmallBlocks([](size_t n) { return PoolAlloc(n); },
                    [](void* p, size_t n) { PoolFree(p, n); });
    });
    double heap = bench::TimeMs([] {
        SmallBlocks([](size_t n) { return std::malloc(n); }, [](void* p, size_t) { std::free(p); });
    });
    bench::Figure("pool: 12,800 small alloc+free", pool, "ms", "malloc/free", heap);
}

void Strings() {
    CStr text("The quick brown fox jumps over the lazy dog");
    std::string plain("The quick brown fox jumps over the lazy dog");
    double shared = bench::TimeMs(
        [&] {
            for (int i = 0; i < 10000; ++i) {
                CStr copy(text);
                sink = uintptr_t(copy.GetText());
            }
        },
        15);
    double copied = bench::TimeMs(
        [&] {
            for (int i = 0; i < 10000; ++i) {
                std::string copy(plain);
                sink = uintptr_t(copy.data());
            }
        },
        15);
    bench::Figure("CStr: 10,000 copies", shared, "ms", "std::string copies", copied);
}

std::vector<unsigned char> Data(size_t n) {
    std::vector<unsigned char> bytes(n);
    uint32_t x = 12345;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245 + 12345;
        // Text-like: compressible but not trivially so.
        bytes[i] = static_cast<unsigned char>("etaoin shrdlu\n"[(x >> 16) % 14]);
    }
    return bytes;
}

void Crc() {
    std::vector<unsigned char> bytes = Data(1 << 20);
    unsigned char* block = static_cast<unsigned char*>(std::malloc(bytes.size()));
    std::memcpy(block, bytes.data(), bytes.size());
    CMemoryFileBuf buffer(block, uint32_t(bytes.size()));
    double ours = bench::TimeMs([&] {
        buffer.SeekAbsolute(0);
        sink = ComputeCrc32(buffer);
    });
    double zlib = bench::TimeMs([&] { sink = crc32(0, bytes.data(), uInt(bytes.size())); });
    bench::Figure("ComputeCrc32: 1 MB", ours, "ms", "zlib crc32", zlib);
}

void Compressed() {
    std::vector<unsigned char> bytes = Data(1 << 20);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "bench-compressed.dat";
    double write = bench::TimeMs(
        [&] {
            CFileStream stream;
            stream.Open(path.c_str(), kOpenCompressed | kOpenWrite);
            stream.Write(bytes.data(), uint32_t(bytes.size()));
            stream.Close();
        },
        9);
    double read = bench::TimeMs(
        [&] {
            CFileStream stream;
            stream.Open(path.c_str(), kOpenCompressed | kOpenRead);
            sink = stream.GetSize();
        },
        9);
    // Fresh buffers each time, as the engine's own reads and writes take.
    double rawWrite = bench::TimeMs(
        [&] {
            std::vector<unsigned char> packed(compressBound(uLong(bytes.size())));
            uLongf packedSize = uLongf(packed.size());
            compress2(packed.data(), &packedSize, bytes.data(), uLong(bytes.size()), 6);
            FILE* f = std::fopen(path.c_str(), "wb");
            std::fwrite(packed.data(), 1, packedSize, f);
            std::fclose(f);
        },
        9);
    double rawRead = bench::TimeMs(
        [&] {
            std::vector<unsigned char> packed(compressBound(uLong(bytes.size())));
            std::vector<unsigned char> back(bytes.size());
            FILE* f = std::fopen(path.c_str(), "rb");
            size_t got = std::fread(packed.data(), 1, packed.size(), f);
            std::fclose(f);
            uLongf backSize = uLongf(back.size());
            uncompress(back.data(), &backSize, packed.data(), uLong(got));
        },
        9);
    bench::Figure("compressed file write: 1 MB", write, "ms", "compress2 + fwrite", rawWrite);
    bench::Figure("compressed file read: 1 MB", read, "ms", "fread + uncompress", rawRead);
    DeleteFileA(path.c_str());
}

void Archive(const char* archivePath) {
    double open = bench::TimeMs(
        [&] {
            CZipArchive archive;
            archive.Open(archivePath, false, "", false, 0);
            sink = archive.GetCount();
        },
        9);
    CZipArchive archive;
    archive.Open(archivePath, false, "", false, 0);
    double lookup = bench::TimeMs(
        [&] {
            for (int i = 0; i < 1000; ++i) {
                char name[32];
                std::snprintf(name, sizeof name, "entry%05d.txt", (i * 7919) % 10000);
                CZipEntryFileBuf* entry = archive.OpenEntry(name, 0);
                sink = uintptr_t(entry);
                delete entry;
            }
        },
        9);
    bench::Figure("zip: open a 10,000-entry archive", open, "ms", "(no baseline)", open);
    bench::Figure("zip: 1,000 lookups + entry opens", lookup, "ms", "(no baseline)", lookup);
}

} // namespace

int main() {
    Pools();
    Strings();
    Crc();
    Compressed();
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string archive = path;
    archive = archive.substr(0, archive.find_last_of('\\') + 1) + "bench-10000.zip";
    Archive(archive.c_str());
    return 0;
}
