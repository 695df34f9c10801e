// The scripted tour of the demo install: plays the wrapped game from outside
// as a person would (mouse messages to the windows, closing the game's
// window), takes a screenshot at each step and checks what the screen shows.
// With --quick it closes the post-game window instead of waiting for the
// countdown. Prints each screenshot's path and the wrapper's exit code.
#include "harness.h"
#include "marbles_palette.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace harness;

namespace {

constexpr char kGameClass[] = "MarblesGame";
constexpr char kWrapperClass[] = "TarvelGameWrapper";
constexpr COLORREF kLogoCentre = RGB(255, 200, 60);
constexpr int kLogoCentreX = 9 + 122; // Brand X and Y of the demo settings
constexpr int kLogoCentreY = 22 + 60;
constexpr COLORREF kMenuBackground = RGB(20, 24, 48);
constexpr COLORREF kMenuButtonRim = RGB(60, 90, 160);
constexpr POINT kOtherGames{639, 488};
constexpr POINT kMenuBack{360, 460};

void Say(const std::string& text) {
    std::printf("tour: %s\n", text.c_str());
    std::fflush(stdout);
}

// Thrown out of the tour so that the processes it started are ended on the way out.
struct StepFailed {
    std::string step;
};

void Expect(bool condition, const std::string& step) {
    if (!condition) {
        throw StepFailed{step};
    }
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class Camera {
  public:
    Camera(const std::string& parent, const std::string& name)
        : folder(parent + "\\" + name + "\\") {
        CreateDirectoryA(parent.c_str(), nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void Take(HWND window, const char* name) {
        std::string path = folder + std::to_string(++count) + "-" + name + ".png";
        SavePng(CaptureClient(window), path);
        std::printf("screenshot: %s\n", path.c_str());
        std::fflush(stdout);
    }

  private:
    std::string folder;
    int count = 0;
};

void Click(HWND window, POINT at) {
    LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageA(window, WM_MOUSEMOVE, 0, where);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    PostMessageA(window, WM_LBUTTONUP, 0, where);
}

int ScoreInTitle(HWND game) {
    char title[256] = "";
    GetWindowTextA(game, title, sizeof title);
    const char* score = std::strstr(title, "Score ");
    return score != nullptr ? std::atoi(score + 6) : -1;
}

bool IsMarbleColour(COLORREF colour) {
    for (COLORREF kind : marbles::kPalette) {
        if (colour == kind) {
            return true;
        }
    }
    return false;
}

// A point inside a marble the screen shows, as a player's eye finds one.
bool FindMarble(const Screenshot& shot, POINT* found) {
    for (int y = marbles::kHudHeight; y + 12 < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (IsMarbleColour(shot.At(x, y))) {
                *found = POINT{x, y + 10}; // the top of the disc, then further in
                return true;
            }
        }
    }
    return false;
}

int MarblePixels(const Screenshot& shot) {
    int count = 0;
    for (int y = marbles::kHudHeight; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            count += IsMarbleColour(shot.At(x, y));
        }
    }
    return count;
}

bool GameShown(HWND game) {
    Screenshot shot = CaptureClient(game);
    POINT marble;
    return shot.width == marbles::kFieldWidth && shot.At(2, 2) == marbles::kHudColour &&
           FindMarble(shot, &marble);
}

// Pops marbles until the title counts one, retrying when a marble vanishes first.
bool PopAMarble(HWND game) {
    return WaitUntil(
        [&] {
            POINT marble;
            if (FindMarble(CaptureClient(game), &marble)) {
                PostMessageA(game, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(marble.x, marble.y));
                PostMessageA(game, WM_LBUTTONUP, 0, MAKELPARAM(marble.x, marble.y));
                WaitUntil([&] { return ScoreInTitle(game) > 0; }, 500);
            }
            return ScoreInTitle(game) > 0;
        },
        15000);
}

int DarkPixels(const Screenshot& shot, const RECT& area) {
    int dark = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            COLORREF c = shot.At(x, y);
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 128;
        }
    }
    return dark;
}

// The logo merged into the background and a frame drawn: the title is written.
bool PostGameShown(HWND wrapper) {
    Screenshot shot = CaptureClient(wrapper);
    return shot.width == 720 && shot.height == 540 &&
           Near(shot.At(kLogoCentreX, kLogoCentreY), kLogoCentre, 24) &&
           shot.At(5, 5) != kMenuBackground && DarkPixels(shot, RECT{460, 30, 690, 60}) > 20;
}

bool MenuShown(HWND wrapper) {
    Screenshot shot = CaptureClient(wrapper);
    return shot.width == 720 && shot.At(5, 5) == kMenuBackground &&
           shot.At(kMenuBack.x - 68, kMenuBack.y - 18) == kMenuButtonRim;
}

HWND WrapperWindow(const Process& wrapper) {
    std::vector<HWND> windows = wrapper.Windows(kWrapperClass);
    return windows.empty() ? nullptr : windows.front();
}

void Tour(bool quick) {
    std::string install = BuildFolder() + "Marbles\\";
    Camera camera(BuildFolder() + "screenshots", quick ? "demo-quick" : "demo");

    Say("starting " + install + "Marbles.exe");
    Process wrapper(install + "Marbles.exe", "", install);

    HWND game = nullptr;
    Expect(WaitUntil(
               [&] {
                   std::vector<HWND> games = FindWindowsOfClass(kGameClass);
                   game = games.empty() ? nullptr : games.front();
                   return game != nullptr && GameShown(game);
               },
               20000),
           "the game's window shows with a marble");
    Expect(PopAMarble(game), "a click on a marble scores");
    Say("the game runs; a click popped a marble (score " + std::to_string(ScoreInTitle(game)) +
        ")");
    // Four of the smallest marbles or fewer big ones: the field fills up again.
    Expect(WaitUntil([&] { return MarblePixels(CaptureClient(game)) > 3500; }), "new marbles come");
    camera.Take(game, "game");

    PostMessageA(game, WM_CLOSE, 0, 0);
    Say("closed the game's window");
    HWND window = nullptr;
    Expect(WaitUntil(
               [&] {
                   window = WrapperWindow(wrapper);
                   return !IsWindow(game) && window != nullptr && PostGameShown(window);
               },
               15000),
           "the post-game screen shows with the channel logo");
    Say("the post-game screen shows with the channel logo");
    camera.Take(window, "post-game");

    Click(window, kOtherGames);
    Expect(WaitUntil([&] { return MenuShown(window); }), "Other Games opens the demo menu");
    Say("pressed Other Games: the demo menu shows");
    camera.Take(window, "other-games");

    Click(window, kMenuBack);
    Expect(WaitUntil([&] { return PostGameShown(window); }),
           "Back returns to the post-game screen");
    Say("pressed Back: the post-game screen is back");
    camera.Take(window, "post-game-again");

    if (quick) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        Say("closed the post-game window");
    } else {
        Say("waiting for the countdown to close the wrapper");
    }
    DWORD code = wrapper.WaitForExit(quick ? 15000 : 40000);
    Expect(code != STILL_ACTIVE, "the wrapper ends");
    std::printf("exit code: %lu\n", code);
    std::fflush(stdout);
    Expect(code == 0, "the wrapper ends with the game's exit code 0");
    Say("done");
}

} // namespace

int main(int argc, char** argv) {
    try {
        Tour(argc > 1 && std::strcmp(argv[1], "--quick") == 0);
    } catch (const StepFailed& failed) {
        std::fprintf(stderr, "tour: FAILED: %s\n", failed.step.c_str());
        return 1;
    }
    return 0;
}
