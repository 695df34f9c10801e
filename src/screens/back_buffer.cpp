#include "screens/back_buffer.h"

#include "screens/skin_image.h"
#include "services/services_host.h"

namespace {

// More rectangles than any menu changes in one frame: a module that reports
// an absurd count must not hold the wrapper in one frame.
constexpr int32_t kMaxSessionRects = 1024;

// Copies the rectangles the services module changed, asking for their
// number again before each one; each is clipped to the client area.
void PresentSessionRects(const ScreenController& controller, HDC windowDC, HDC memoryDC) {
    for (int32_t i = 0; i < kMaxSessionRects && i < QO_GetNumberOfRectsToUpdate(); ++i) {
        QoRect r = QO_GetUpdateRect(i);
        RECT area{r.left < 0 ? 0 : r.left, r.top < 0 ? 0 : r.top,
                  r.right > controller.clientWidth ? controller.clientWidth : r.right,
                  r.bottom > controller.clientHeight ? controller.clientHeight : r.bottom};
        if (area.right > area.left && area.bottom > area.top) {
            BitBlt(windowDC, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   memoryDC, area.left, area.top, SRCCOPY);
        }
    }
}

} // namespace

void CreateBackBuffer(ScreenController& controller, HWND window) {
    if (controller.backBufferBitmap != nullptr) {
        DeleteObject(controller.backBufferBitmap);
    }
    controller.backBufferBitmap = nullptr;
    controller.backBufferPixels = nullptr;
    controller.backBufferStride = 0;

    int32_t width = controller.clientWidth;
    while (width % 4 != 0) {
        ++width;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -controller.clientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HDC dc = GetDC(window);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    ReleaseDC(window, dc);
    if (bitmap == nullptr || pixels == nullptr) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
        return;
    }
    controller.backBufferBitmap = bitmap;
    controller.backBufferPixels = static_cast<unsigned char*>(pixels);
    controller.backBufferStride = 3 * width;
}

void DrawBackground(HDC dc) {
    SIZE size = backgroundImage.GetSize();
    RECT rect{0, 0, size.cx, size.cy};
    backgroundImage.Draw(dc, rect);
}

void Present(ScreenController& controller, HWND window) {
    if (controller.backBufferBitmap == nullptr) {
        return;
    }
    HDC windowDC = GetDC(window);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(memoryDC, controller.backBufferBitmap);
    if (controller.menuSessionActive) {
        PresentSessionRects(controller, windowDC, memoryDC);
    } else {
        BitBlt(windowDC, 0, 0, controller.clientWidth, controller.clientHeight, memoryDC, 0, 0,
               SRCCOPY);
    }
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    ReleaseDC(window, windowDC);
}
