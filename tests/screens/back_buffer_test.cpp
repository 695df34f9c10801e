#include "screens/back_buffer.h"
#include "screens/skin_image.h"
#include "test_jpeg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>

namespace {

// A visible top-level window of a given client size, and a controller of
// its own so each case starts from no back buffer.
class BackBufferTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "BackBufferTestWindow";
        RegisterClassA(&windowClass);
        RECT outer{0, 0, 720, 540};
        AdjustWindowRect(&outer, WS_POPUP, FALSE);
        window = CreateWindowExA(0, "BackBufferTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                 nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (controller.backBufferBitmap != nullptr) {
            DeleteObject(controller.backBufferBitmap);
        }
        DestroyWindow(window);
    }

    HWND window = nullptr;
    ScreenController controller{};
};

struct GeometryCase {
    int32_t clientWidth;
    int32_t clientHeight;
    int bitmapWidth;
    int32_t stride;
};

TEST_F(BackBufferTest, WidthIsRoundedSoRowsAlign) {
    const GeometryCase cases[] = {
        {720, 540, 720, 2160},
        {718, 540, 720, 2160},
        {1, 2, 4, 12},
    };
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.clientWidth);
        controller.clientWidth = c.clientWidth;
        controller.clientHeight = c.clientHeight;
        CreateBackBuffer(controller, window);
        ASSERT_NE(controller.backBufferBitmap, nullptr);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectA(controller.backBufferBitmap, sizeof(section), &section),
                  static_cast<int>(sizeof(section)));
        EXPECT_EQ(section.dsBm.bmWidth, c.bitmapWidth);
        EXPECT_EQ(section.dsBm.bmHeight, c.clientHeight);
        EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
        EXPECT_EQ(controller.backBufferStride, c.stride);
        EXPECT_EQ(section.dsBm.bmWidthBytes, c.stride);
        EXPECT_EQ(controller.backBufferPixels, section.dsBm.bmBits);
    }
}

TEST_F(BackBufferTest, FirstRowInMemoryIsTheTopRow) {
    controller.clientWidth = 720;
    controller.clientHeight = 540;
    CreateBackBuffer(controller, window);
    ASSERT_NE(controller.backBufferPixels, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, controller.backBufferBitmap);
    SetPixel(dc, 1, 0, RGB(10, 20, 30));
    SelectObject(dc, previous);
    DeleteDC(dc);
    const unsigned char* pixel = controller.backBufferPixels + 3;
    EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2]}), (std::vector<int>{30, 20, 10}));
}

TEST_F(BackBufferTest, RecreatingDeletesTheOldBitmap) {
    controller.clientWidth = 720;
    controller.clientHeight = 540;
    CreateBackBuffer(controller, window);
    HBITMAP first = controller.backBufferBitmap;
    ASSERT_NE(first, nullptr);
    CreateBackBuffer(controller, window);
    EXPECT_NE(controller.backBufferBitmap, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u);
}

TEST_F(BackBufferTest, BufferThatCannotBeMadeLeavesNothingToDrawInto) {
    controller.clientWidth = 720;
    controller.clientHeight = 540;
    CreateBackBuffer(controller, window);
    HBITMAP first = controller.backBufferBitmap;
    // A minimised window reports an empty client area.
    controller.clientWidth = 0;
    controller.clientHeight = 0;
    CreateBackBuffer(controller, window);
    EXPECT_EQ(controller.backBufferBitmap, nullptr);
    EXPECT_EQ(controller.backBufferPixels, nullptr);
    EXPECT_EQ(controller.backBufferStride, 0);
    EXPECT_EQ(GetObjectType(first), 0u);
    Present(controller, window);
}

TEST_F(BackBufferTest, PresentCopiesTheClientArea) {
    controller.clientWidth = 720;
    controller.clientHeight = 540;
    CreateBackBuffer(controller, window);
    ASSERT_NE(controller.backBufferPixels, nullptr);
    std::memset(controller.backBufferPixels, 0x40,
                static_cast<size_t>(controller.backBufferStride) * 540);
    Present(controller, window);
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0x40, 0x40, 0x40));
    EXPECT_EQ(GetPixel(dc, 719, 539), RGB(0x40, 0x40, 0x40));
    ReleaseDC(window, dc);
}

TEST_F(BackBufferTest, BackgroundIsDrawnAtItsOwnSize) {
    std::string path = WriteTempFile("background.jpg", EncodeSolidRgb(64, 48, 0, 0, 255));
    ASSERT_TRUE(backgroundImage.LoadFromFile(path.c_str()));
    DeleteFileA(path.c_str());
    controller.clientWidth = 720;
    controller.clientHeight = 540;
    CreateBackBuffer(controller, window);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, controller.backBufferBitmap);
    DrawBackground(dc);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 63, 47), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 64, 47), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 63, 48), RGB(0, 0, 0));
    SelectObject(dc, previous);
    DeleteDC(dc);
    backgroundImage.Release();
}

} // namespace
