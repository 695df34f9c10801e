#include "screens/screen_controller.h"

#include "game/game_windows.h"
#include "screens/back_buffer.h"
#include "screens/buttons.h"
#include "screens/text.h"
#include "services/services_host.h"
#include "settings/settings.h"
#include "shell/main_window.h"

#include <cstdlib>
#include <mmsystem.h>

namespace {

constexpr int32_t kFrameStep = 20;
constexpr char kBuildLabel[] = "Build 159";

ScreenController* controller = nullptr;

void DestroyScreenController() {
    controller->buttons.FreeStorage();
}

void Send(ScreenProc screen, ScreenMessageType type, HDC dc, uint32_t elapsed) {
    screen(GetScreenController(), ScreenMessage{type, dc, elapsed});
}

// Moves a wrapper of the right size back onto the work area when it was
// dragged off to the left or top.
void CheckPosition() {
    RECT actual;
    RECT expected;
    GetWindowRect(mainWindow, &actual);
    if (!GetExpectedWindowRect(expected) || IsIconic(mainWindow)) {
        return;
    }
    int width = expected.right - expected.left;
    int height = expected.bottom - expected.top;
    if (actual.right - actual.left == width && actual.bottom - actual.top == height &&
        actual.left >= 0 && actual.top >= 0) {
        return;
    }
    POINT at = CentreOnWorkArea(width, height);
    MoveWindow(mainWindow, at.x > 0 ? at.x : 0, at.y > 0 ? at.y : 0, width, height, TRUE);
}

// Background, screen, buttons and build label into the back buffer, then
// the whole back buffer to the window.
void DrawFrame(ScreenController& c, uint32_t elapsed) {
    HDC windowDC = GetDC(mainWindow);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HGDIOBJ previous = SelectObject(memoryDC, c.backBufferBitmap);
    frameDC = memoryDC;
    DrawBackground(frameDC);
    Send(c.screenProc, ScreenDraw, frameDC, elapsed);
    if (!c.menuSessionActive) {
        for (uint32_t i = 0; i < c.buttons.count; ++i) {
            c.buttons[i]->Draw(frameDC);
        }
    }
    SetBkMode(frameDC, TRANSPARENT);
    DrawTextAt(frameDC, GetBuildX(), GetBuildY(), kBuildLabel, int32_t(sizeof kBuildLabel - 1), 6,
               GetFontColorBuild());
    SelectObject(memoryDC, previous);
    DeleteDC(memoryDC);
    frameDC = nullptr;
    ReleaseDC(mainWindow, windowDC);
    Present(c, mainWindow);
}

// The services module draws the next frame of its menu session; the first
// frame after a paint is told that the window no longer shows the last one.
void MenuSessionFrame() {
    ScreenController& c = GetScreenController();
    int32_t continuity = c.repaintPending ? 0 : 1;
    c.repaintPending = false;
    QO_DrawNextFrameIntoBuffer(c.backBufferPixels, c.backBufferStride, 3, continuity);
    if (QO_IsTheMenuSessionComplete()) {
        c.menuSessionActive = false;
    }
}

} // namespace

HDC frameDC = nullptr;

ScreenController& GetScreenController() {
    if (controller == nullptr) {
        controller = new ScreenController{};
        std::atexit(DestroyScreenController);
    }
    return *controller;
}

uint32_t StepClockAt(ScreenController& c, uint32_t now) {
    uint32_t previous = c.clockLast;
    c.clockLast = now;
    if (previous == 0) {
        return 0;
    }
    c.clockRemainder += int32_t(now - previous);
    if (c.clockRemainder < kFrameStep) {
        return 0;
    }
    int32_t released = c.clockRemainder - c.clockRemainder % kFrameStep;
    c.clockRemainder %= kFrameStep;
    return uint32_t(released);
}

uint32_t StepClock() {
    return StepClockAt(GetScreenController(), timeGetTime());
}

uint32_t MillisecondsToNextStep() {
    ScreenController& c = GetScreenController();
    if (c.clockLast == 0) {
        return 0;
    }
    int32_t due = kFrameStep - c.clockRemainder - int32_t(timeGetTime() - c.clockLast);
    return due > 0 ? uint32_t(due) : 0;
}

void SetScreen(ScreenProc next) {
    ScreenController& c = GetScreenController();
    if (c.screenProc != nullptr) {
        Send(c.screenProc, ScreenLeave, nullptr, 0);
    }
    c.screenProc = next;
    Send(next, ScreenEnter, nullptr, 0);
}

void Tick() {
    uint32_t elapsed = StepClock();
    if (elapsed == 0) {
        return;
    }
    KeepGameInFront();
    ScreenController& c = GetScreenController();
    bool visible = IsWindowVisible(mainWindow) != 0;
    if (visible && FindGameWindows() != nullptr) {
        if (IsGameInForeground()) {
            ShowWrapper();
        } else {
            CheckPosition();
        }
    }
    if (c.menuSessionActive) {
        // The session owns the window: the screen stands still meanwhile.
        if (IsGameInForeground()) {
            ShowWrapper();
        }
        MenuSessionFrame();
        Present(c, mainWindow);
        return;
    }
    Send(c.screenProc, ScreenTick, nullptr, elapsed);
    if (visible && c.backBufferBitmap != nullptr) {
        DrawFrame(c, elapsed);
    }
}
