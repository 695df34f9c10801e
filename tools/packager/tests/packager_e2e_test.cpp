// A folder made by the packager, run under the real wrapper: the game starts
// and the post-game screen shows the channel's logo where the settings put it.
#include "harness.h"
#include "screens/test_jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace harness;

namespace {

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

TEST(PackagerE2E, PackagedGameRunsAndShowsTheBranding) {
    Install install;
    std::string logo = install.Path("logo.jpg");
    Bytes red = EncodeSolidRgb(245, 120, 255, 0, 0);
    WriteFileText(logo, std::string(red.begin(), red.end()));
    std::string build = BuildFolder();
    std::string out = install.Path("package");
    std::string args = "--game " + Quoted(build + "fixture_game.exe") +
                       " --name Puzzle --id 1001 --channel 7 --brand-x 100 --skin " +
                       Quoted(build + "flat-skin") + " --logo " + Quoted(logo) + " --services " +
                       Quoted(build + "fixture_services.dll") + " --out " + Quoted(out);
    Process packager(build + "packager.exe", args, install.Folder());
    ASSERT_EQ(packager.WaitForExit(), 0u);

    // The package replaces the install's files, so the harness runs it.
    namespace fs = std::filesystem;
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
        fs::path target = fs::path(install.Folder()) / fs::relative(entry.path(), out);
        if (entry.is_directory()) {
            fs::create_directories(target);
        } else {
            ASSERT_TRUE(CopyFileA(entry.path().string().c_str(), target.string().c_str(), FALSE))
                << target;
        }
    }
    Wrapper wrapper(install, "--exit-after 300");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr) << wrapper.WaitForMessageBox(1000).text;
    Screenshot shot = CaptureClient(window);
    EXPECT_TRUE(Near(shot.At(160, 80), RGB(255, 0, 0)));
    EXPECT_TRUE(Near(shot.At(99, 80), RGB(0, 0, 128)));
    EXPECT_TRUE(Near(shot.At(160, 150), RGB(0, 0, 128)));
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_NE(wrapper.WaitForExit(), STILL_ACTIVE);
}

} // namespace
