#include "harness.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace harness {

namespace {

void PutBigEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

void PutChunk(std::vector<unsigned char>& out, const char* type,
              const std::vector<unsigned char>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    PutBigEndian(out, uint32_t(crc));
}

} // namespace

int Screenshot::CountOtherThan(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            n += At(x, y) != colour;
        }
    }
    return n;
}

int Screenshot::CountDifferences(const Screenshot& other, const RECT& area) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            n += At(x, y) != other.At(x, y);
        }
    }
    return n;
}

int Screenshot::CountNear(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = At(x, y);
            n += std::abs(GetRValue(c) - GetRValue(colour)) <= 12 &&
                 std::abs(GetGValue(c) - GetGValue(colour)) <= 12 &&
                 std::abs(GetBValue(c) - GetBValue(colour)) <= 12;
        }
    }
    return n;
}

int Area(const RECT& r) {
    return (r.right - r.left) * (r.bottom - r.top);
}

// Reads what the screen shows: another process's window cannot be asked to
// draw itself into our context.
Screenshot CaptureClient(HWND window) {
    Screenshot shot;
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    shot.width = client.right;
    shot.height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    int stride = (shot.width * 3 + 3) & ~3;
    shot.pixels.resize(size_t(shot.width) * shot.height * 3);
    for (int y = 0; y < shot.height; ++y) {
        memcpy(&shot.pixels[size_t(y) * shot.width * 3],
               static_cast<unsigned char*>(bits) + size_t(y) * stride, size_t(shot.width) * 3);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

void SavePng(const Screenshot& shot, const std::string& path) {
    std::vector<unsigned char> raw;
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < shot.width; ++x) {
            const unsigned char* p = &shot.pixels[(size_t(y) * shot.width + x) * 3];
            raw.push_back(p[2]);
            raw.push_back(p[1]);
            raw.push_back(p[0]);
        }
    }
    std::vector<unsigned char> packed(compressBound(uLong(raw.size())));
    uLongf packedSize = uLongf(packed.size());
    compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6);
    packed.resize(packedSize);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBigEndian(header, uint32_t(shot.width));
    PutBigEndian(header, uint32_t(shot.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f != nullptr) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}

} // namespace harness
