// A picture of the skin held as a GDI bitmap, and the four process-wide
// images the screens draw: the background and the three button faces.
#pragma once

#include <windows.h>

#include <cstdint>

class CFileStream;

class CSkinImage {
  public:
    CSkinImage() = default;
    ~CSkinImage() { Release(); }
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // False when the file cannot be read; a file that does not decode gives
    // true and an empty image.
    bool LoadFromFile(const char* path);
    // The whole of an open stream, positioned at its start, decoded as JPEG;
    // true exactly when a bitmap resulted.
    bool LoadFromStream(CFileStream& stream);

    // Copies all of source with its top-left corner at (x, y), clipped to this image.
    bool PasteOnto(const CSkinImage& source, int32_t x, int32_t y);
    // Blends logo in at (x, y), weighted per pixel by the larger of the
    // mask's red and blue: 0 keeps this image, 255 shows the logo.
    bool BlendMasked(const CSkinImage& logo, const CSkinImage& mask, int32_t x, int32_t y);
    // A new 32-bit top-down copy (blue, green, red, 0); the caller deletes
    // the bitmap. Null for an empty image.
    HBITMAP CopyTo32(uint32_t** pixels) const;

    // Copies the image's top-left part into rect on dc. For an empty rect
    // (right == left, bottom == top) right and bottom become the image's
    // width and height. An empty image draws nothing.
    bool Draw(HDC dc, RECT& rect);

    // 0 by 0 for an empty image.
    SIZE GetSize() const;

    // False when there was nothing to release.
    bool Release();

    bool IsEmpty() const { return bitmap == nullptr; }

  private:
    HBITMAP bitmap = nullptr;
};

// Per channel a + (b - a) * weight / 255; the fourth byte is 0.
uint32_t BlendPixel(uint32_t a, uint32_t b, uint32_t weight);

extern CSkinImage backgroundImage;
extern CSkinImage buttonNormalImage;
extern CSkinImage buttonHoverImage;
extern CSkinImage buttonPressedImage;
