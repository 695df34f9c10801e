#include "screens/skin_image.h"

#include "screens/jpeg_decode.h"

#include "engine/file_stream.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>

CSkinImage backgroundImage;
CSkinImage buttonNormalImage;
CSkinImage buttonHoverImage;
CSkinImage buttonPressedImage;

namespace {

struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

// A memory drawing context with one bitmap selected, restored on the way out.
class SelectedBitmap {
  public:
    explicit SelectedBitmap(HBITMAP bitmap)
        : dc(CreateCompatibleDC(nullptr)), previous(SelectObject(dc, bitmap)) {}
    ~SelectedBitmap() {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;

    HDC dc;

  private:
    HGDIOBJ previous;
};

struct OwnedBitmap {
    HBITMAP handle;
    ~OwnedBitmap() {
        if (handle != nullptr) {
            DeleteObject(handle);
        }
    }
};

} // namespace

uint32_t BlendPixel(uint32_t a, uint32_t b, uint32_t weight) {
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int32_t from = int32_t((a >> shift) & 0xFF);
        int32_t to = int32_t((b >> shift) & 0xFF);
        result |= uint32_t(from + (to - from) * int32_t(weight) / 255) << shift;
    }
    return result;
}

bool CSkinImage::LoadFromFile(const char* path) {
    Release();
    FileHandle file{
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = GetFileSize(file.handle, nullptr);
    if (size == INVALID_FILE_SIZE || size > INT32_MAX) {
        return false;
    }
    // An empty file still gets a block, so that it reaches the decoder.
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size != 0 ? size : 1]);
    if (!bytes) {
        return false;
    }
    DWORD read = 0;
    if (!ReadFile(file.handle, bytes.get(), size, &read, nullptr)) {
        return false;
    }
    bitmap = CreateBitmapFromJpeg(bytes.get(), static_cast<int32_t>(read));
    return true;
}

bool CSkinImage::Draw(HDC dc, RECT& rect) {
    if (rect.right == rect.left && rect.bottom == rect.top) {
        SIZE size = GetSize();
        rect.right = size.cx;
        rect.bottom = size.cy;
    }
    if (bitmap == nullptr) {
        return true;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, bitmap);
    BitBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0,
           SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return true;
}

SIZE CSkinImage::GetSize() const {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(info), &info) == 0) {
        return SIZE{0, 0};
    }
    return SIZE{info.bmWidth, info.bmHeight};
}

bool CSkinImage::Release() {
    if (bitmap == nullptr) {
        return false;
    }
    bool deleted = DeleteObject(bitmap) != 0;
    bitmap = nullptr;
    return deleted;
}

bool CSkinImage::LoadFromStream(CFileStream& stream) {
    Release();
    uint32_t size = stream.GetSize();
    if (size == 0 || size > INT32_MAX) {
        return false;
    }
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size]);
    if (!bytes) {
        return false;
    }
    uint32_t read = stream.Read(bytes.get(), size);
    if (read == 0) {
        return false;
    }
    bitmap = CreateBitmapFromJpeg(bytes.get(), static_cast<int32_t>(read));
    return bitmap != nullptr;
}

bool CSkinImage::PasteOnto(const CSkinImage& source, int32_t x, int32_t y) {
    if (bitmap == nullptr || source.bitmap == nullptr) {
        return true;
    }
    SIZE size = source.GetSize();
    SelectedBitmap from(source.bitmap);
    SelectedBitmap to(bitmap);
    BitBlt(to.dc, x, y, size.cx, size.cy, from.dc, 0, 0, SRCCOPY);
    return true;
}

HBITMAP CSkinImage::CopyTo32(uint32_t** pixels) const {
    *pixels = nullptr;
    SIZE size = GetSize();
    if (size.cx == 0 || size.cy == 0) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(size.cx) * DWORD(size.cy) * 4;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy == nullptr) {
        return nullptr;
    }
    {
        SelectedBitmap from(bitmap);
        SelectedBitmap to(copy);
        BitBlt(to.dc, 0, 0, size.cx, size.cy, from.dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    *pixels = static_cast<uint32_t*>(bits);
    return copy;
}

bool CSkinImage::BlendMasked(const CSkinImage& logo, const CSkinImage& mask, int32_t x, int32_t y) {
    SIZE size = logo.GetSize();
    SIZE maskSize = mask.GetSize();
    uint32_t* logoPixels = nullptr;
    uint32_t* maskPixels = nullptr;
    uint32_t* backPixels = nullptr;
    OwnedBitmap logoCopy{logo.CopyTo32(&logoPixels)};
    OwnedBitmap maskCopy{mask.CopyTo32(&maskPixels)};
    // Only its size matters: it receives the background under the logo.
    OwnedBitmap backCopy{logo.CopyTo32(&backPixels)};
    if (bitmap == nullptr || logoPixels == nullptr || maskPixels == nullptr ||
        backPixels == nullptr || maskSize.cx < size.cx || maskSize.cy < size.cy) {
        return true;
    }
    {
        SelectedBitmap from(bitmap);
        SelectedBitmap to(backCopy.handle);
        BitBlt(to.dc, 0, 0, size.cx, size.cy, from.dc, x, y, SRCCOPY);
    }
    GdiFlush();
    for (int32_t row = 0; row < size.cy; ++row) {
        for (int32_t column = 0; column < size.cx; ++column) {
            uint32_t m = maskPixels[row * maskSize.cx + column];
            uint32_t weight = std::max(m & 0xFF, (m >> 16) & 0xFF);
            uint32_t& l = logoPixels[row * size.cx + column];
            l = BlendPixel(backPixels[row * size.cx + column], l, weight);
        }
    }
    SelectedBitmap from(logoCopy.handle);
    SelectedBitmap to(bitmap);
    BitBlt(to.dc, x, y, size.cx, size.cy, from.dc, 0, 0, SRCCOPY);
    return true;
}
