// A picture of the skin held as a GDI bitmap, and the four process-wide
// images the screens draw: the background and the three button faces.
#pragma once

#include <windows.h>

class CSkinImage {
  public:
    CSkinImage() = default;
    ~CSkinImage() { Release(); }
    CSkinImage(const CSkinImage&) = delete;
    CSkinImage& operator=(const CSkinImage&) = delete;

    // False when the file cannot be read; a file that does not decode gives
    // true and an empty image.
    bool LoadFromFile(const char* path);

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

extern CSkinImage backgroundImage;
extern CSkinImage buttonNormalImage;
extern CSkinImage buttonHoverImage;
extern CSkinImage buttonPressedImage;
