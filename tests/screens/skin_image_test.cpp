#include "message_box_watcher.h"
#include "screens/jpeg_decode.h"
#include "screens/skin_image.h"
#include "test_jpeg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>

namespace {

// The pixels of a bitmap as GDI holds them.
struct DibView {
    const unsigned char* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

DibView ViewOf(HBITMAP bitmap) {
    DIBSECTION section{};
    DibView view;
    if (GetObjectA(bitmap, sizeof(section), &section) == sizeof(section)) {
        view.bits = static_cast<const unsigned char*>(section.dsBm.bmBits);
        view.width = section.dsBm.bmWidth;
        view.height = section.dsBm.bmHeight;
        view.stride = section.dsBm.bmWidthBytes;
    }
    return view;
}

// Red above blue, split on a block boundary so each half stays flat.
const PixelFunction redOverBlue = [](int, int y, unsigned char* rgb) {
    rgb[0] = y < 8 ? 255 : 0;
    rgb[1] = 0;
    rgb[2] = y < 8 ? 0 : 255;
};

class SkinImageTest : public ::testing::Test {
  protected:
    MessageBoxWatcher boxes;
    CSkinImage image;
};

TEST_F(SkinImageTest, DecodesToBlueGreenRedTopRowFirst) {
    // YCbCr cannot carry full red exactly in 8 bits.
    const struct {
        JpegKind kind;
        int tolerance;
    } cases[] = {{JpegKind::Rgb, 0}, {JpegKind::YCbCr, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tolerance);
        Bytes jpeg = EncodeJpeg(16, 16, c.kind, redOverBlue);
        BgrBlock block;
        ASSERT_TRUE(DecodeJpegToBgr(jpeg.data(), static_cast<int32_t>(jpeg.size()), block));
        ASSERT_EQ(block.width, 16);
        ASSERT_EQ(block.height, 16);
        const unsigned char* top = block.pixels.get();
        const unsigned char* bottom = top + 15 * 16 * 3 + 15 * 3;
        const int red[] = {0, 0, 255};
        const int blue[] = {255, 0, 0};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(top[i], red[i], c.tolerance) << "top-left byte " << i;
            EXPECT_NEAR(bottom[i], blue[i], c.tolerance) << "bottom-right byte " << i;
        }
    }
}

TEST_F(SkinImageTest, BitmapIsTopDownWithRowsPaddedByZeros) {
    Bytes jpeg = EncodeSolidRgb(245, 3, 255, 0, 0);
    HBITMAP bitmap = CreateBitmapFromJpeg(jpeg.data(), static_cast<int32_t>(jpeg.size()));
    ASSERT_NE(bitmap, nullptr);
    DibView view = ViewOf(bitmap);
    ASSERT_NE(view.bits, nullptr);
    EXPECT_EQ(view.width, 245);
    EXPECT_EQ(view.height, 3);
    EXPECT_EQ(view.stride, 736);
    for (int y = 0; y < 3; ++y) {
        const unsigned char* row = view.bits + y * view.stride;
        EXPECT_EQ((std::vector<int>{row[732], row[733], row[734], row[735]}),
                  (std::vector<int>{0, 0, 255, 0}))
            << "row " << y;
    }
    DeleteObject(bitmap);
}

TEST_F(SkinImageTest, LoadsAFileAndDrawsIt) {
    std::string path =
        WriteTempFile("red_blue.jpg", EncodeJpeg(16, 16, JpegKind::Rgb, redOverBlue));
    ASSERT_TRUE(image.LoadFromFile(path.c_str()));
    SIZE size = image.GetSize();
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 16);

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(GetDC(nullptr), 40, 40);
    HGDIOBJ previous = SelectObject(dc, target);
    RECT rect{0, 0, 0, 0};
    EXPECT_TRUE(image.Draw(dc, rect));
    EXPECT_EQ(rect.right, 16);
    EXPECT_EQ(rect.bottom, 16);
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 12, 12), RGB(0, 0, 255));

    RECT placed{20, 20, 28, 36};
    EXPECT_TRUE(image.Draw(dc, placed));
    EXPECT_EQ(GetPixel(dc, 27, 21), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 27, 35), RGB(0, 0, 255));
    EXPECT_NE(GetPixel(dc, 28, 21), RGB(255, 0, 0)) << "drew past the rectangle";
    SelectObject(dc, previous);
    DeleteObject(target);
    DeleteDC(dc);

    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(image.Release());
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_FALSE(image.Release());
    DeleteFileA(path.c_str());
}

TEST_F(SkinImageTest, CutFileShowsOneBoxPerDecodeAndStillLoads) {
    Bytes jpeg = EncodeJpeg(64, 64, JpegKind::Rgb, [](int x, int y, unsigned char* rgb) {
        rgb[0] = static_cast<unsigned char>(x * 4);
        rgb[1] = static_cast<unsigned char>(y * 4);
        rgb[2] = static_cast<unsigned char>((x ^ y) * 4);
    });
    jpeg.resize(jpeg.size() / 2);
    std::string path = WriteTempFile("cut.jpg", jpeg);

    ASSERT_TRUE(image.LoadFromFile(path.c_str()));
    EXPECT_EQ(image.GetSize().cx, 64);
    EXPECT_EQ(image.GetSize().cy, 64);
    std::vector<AnsweredBox> shown = boxes.Boxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "JPEG Error");
    EXPECT_EQ(shown[0].text, "Premature end of JPEG file");

    ASSERT_TRUE(image.LoadFromFile(path.c_str()));
    EXPECT_FALSE(image.IsEmpty());
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    DeleteFileA(path.c_str());
}

TEST_F(SkinImageTest, GreyscaleBecomesGreyBlueGreenRed) {
    Bytes jpeg =
        EncodeJpeg(8, 8, JpegKind::Grey, [](int, int, unsigned char* grey) { grey[0] = 128; });
    BgrBlock block;
    ASSERT_TRUE(DecodeJpegToBgr(jpeg.data(), static_cast<int32_t>(jpeg.size()), block));
    ASSERT_EQ(block.width, 8);
    const unsigned char* last = block.pixels.get() + (8 * 8 - 1) * 3;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(last[i], 128, 1) << "sample " << i;
    }
}

// Files that exist but give no picture: the load succeeds with an empty image
// and nothing is shown.
struct UndecodableCase {
    const char* name;
    Bytes bytes;
};

Bytes WithHugeFrame() {
    // 65500 x 21859 x 3 bytes wraps a 32-bit size to a few hundred kilobytes.
    Bytes jpeg = EncodeSolidRgb(8, 8, 0, 255, 0);
    for (size_t i = 0; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = 21859 >> 8;
            jpeg[i + 6] = 21859 & 0xFF;
            jpeg[i + 7] = 65500 >> 8;
            jpeg[i + 8] = 65500 & 0xFF;
            break;
        }
    }
    return jpeg;
}

TEST_F(SkinImageTest, FilesThatDoNotDecodeGiveAnEmptyImageSilently) {
    const UndecodableCase cases[] = {
        {"empty", {}},
        {"text", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
        {"cmyk", EncodeJpeg(8, 8, JpegKind::Cmyk,
                            [](int, int, unsigned char* s) { std::memset(s, 40, 4); })},
        {"frame too large for memory", WithHugeFrame()},
    };
    for (const UndecodableCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(
            image.LoadFromFile(WriteTempFile("red.jpg", EncodeSolidRgb(4, 4, 255, 0, 0)).c_str()));
        ASSERT_FALSE(image.IsEmpty());
        std::string path = WriteTempFile("undecodable.jpg", c.bytes);
        EXPECT_TRUE(image.LoadFromFile(path.c_str()));
        EXPECT_TRUE(image.IsEmpty());
        EXPECT_EQ(image.GetSize().cx, 0);
        EXPECT_EQ(image.GetSize().cy, 0);
        DeleteFileA(path.c_str());
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SkinImageTest, MissingFileFailsAndLeavesTheImageEmpty) {
    std::string path = WriteTempFile("present.jpg", EncodeSolidRgb(4, 4, 255, 0, 0));
    ASSERT_TRUE(image.LoadFromFile(path.c_str()));
    DeleteFileA(path.c_str());
    EXPECT_FALSE(image.LoadFromFile(path.c_str()));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SkinImageTest, EmptyImageDrawsNothing) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateCompatibleBitmap(GetDC(nullptr), 8, 8);
    HGDIOBJ previous = SelectObject(dc, target);
    RECT all{0, 0, 8, 8};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT rect{0, 0, 8, 8};
    EXPECT_TRUE(image.Draw(dc, rect));
    EXPECT_EQ(GetPixel(dc, 4, 4), RGB(255, 255, 255));
    SelectObject(dc, previous);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST(SampleSkin, LoadsAtItsSizes) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe, std::strrchr(exe, '\\') + 1);
    const struct {
        const char* file;
        int width;
        int height;
    } faces[] = {{"Background.jpg", 720, 540},
                 {"button_normal.jpg", 110, 32},
                 {"button_hover.jpg", 110, 32},
                 {"button_pressed.jpg", 110, 32}};
    for (const auto& face : faces) {
        CSkinImage skin;
        ASSERT_TRUE(skin.LoadFromFile((folder + "skin\\" + face.file).c_str())) << face.file;
        EXPECT_EQ(skin.GetSize().cx, face.width) << face.file;
        EXPECT_EQ(skin.GetSize().cy, face.height) << face.file;
    }
}

} // namespace
