#include "screens/skin_image.h"

#include "screens/jpeg_decode.h"

#include <cstdint>
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

} // namespace

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
