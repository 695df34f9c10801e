// Skin decoding beside a plain libjpeg decode, and one post-game frame
// beside the copy of the back buffer to the window alone.
#include "bench_util.h"
#include "harness.h"
#include "screens/back_buffer.h"
#include "screens/jpeg_decode.h"
#include "screens/play_screens.h"
#include "screens/screen_controller.h"
#include "screens/skin_image.h"
#include "settings/game_record.h"
#include "shell/main_window.h"

#include <jpeglib.h>

#include <string>
#include <vector>

namespace {

volatile uintptr_t sink;

std::string Skin(const char* name) {
    return harness::BuildFolder() + "skin\\" + name;
}

// libjpeg's own memory source into one buffer, no conversion.
void PlainDecode(const std::string& bytes, std::vector<unsigned char>& out) {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    size_t stride = size_t(info.output_width) * info.output_components;
    out.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
}

void Decoding() {
    for (const char* name : {"Background.jpg", "button_normal.jpg"}) {
        std::string bytes = harness::ReadFileText(Skin(name));
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        double ours = bench::TimeMs(
            [&] {
                BgrBlock block;
                sink = DecodeJpegToBgr(data, int32_t(bytes.size()), block);
            },
            21);
        // Into a fresh buffer each time, as every decode of ours is.
        double plain = bench::TimeMs(
            [&] {
                std::vector<unsigned char> out;
                PlainDecode(bytes, out);
                sink = out.size();
            },
            21);
        std::string figure = std::string("DecodeJpegToBgr: ") + name;
        bench::Figure(figure.c_str(), ours, "ms", "libjpeg plain decode", plain);
    }
}

void Frame() {
    std::string folder = harness::BuildFolder();
    CreateDirectoryA((folder + "TarvelArcade").c_str(), nullptr);
    harness::WriteFileText(folder + "TarvelArcade\\QOX_002.wdt",
                           "Application Name=Marble Quest\r\n");
    GetGameRecord();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FrameBench";
    RegisterClassA(&windowClass);
    mainWindow = CreateWindowExA(0, "FrameBench", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 720, 540,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ScreenController& c = GetScreenController();
    c.clientWidth = 720;
    c.clientHeight = 540;
    CreateBackBuffer(c, mainWindow);
    backgroundImage.LoadFromFile(Skin("Background.jpg").c_str());
    buttonNormalImage.LoadFromFile(Skin("button_normal.jpg").c_str());
    buttonHoverImage.LoadFromFile(Skin("button_hover.jpg").c_str());
    buttonPressedImage.LoadFromFile(Skin("button_pressed.jpg").c_str());
    SetScreen(PostGameScreen);
    double frame = bench::TimeMs(
        [&] {
            c.clockRemainder = 0;
            c.clockLast = timeGetTime() - 20;
            Tick();
            GdiFlush();
        },
        101);
    double present = bench::TimeMs(
        [&] {
            Present(c, mainWindow);
            GdiFlush();
        },
        101);
    bench::Figure("post-game frame: draw + present", frame, "ms", "present alone", present);
    DestroyWindow(mainWindow);
}

} // namespace

int main() {
    Decoding();
    Frame();
    return 0;
}
