// The one object that drives the wrapper's window: frame clock, current
// screen, the flags shared by window procedure, main loop and menu session,
// the back buffer and the buttons.
#pragma once

#include "engine/arrays.h"

#include <cstdint>
#include <windows.h>

struct Button;
struct ScreenController;

enum ScreenMessageType : uint32_t {
    ScreenEnter = 0,
    ScreenTick = 1,
    ScreenDraw = 2,
    ScreenLeave = 3
};

struct ScreenMessage {
    ScreenMessageType type;
    HDC dc;
    uint32_t elapsed;
};

using ScreenProc = void (*)(ScreenController& controller, ScreenMessage message);

struct ScreenController {
    bool menuSessionActive;
    bool repaintPending;
    bool quitRequested;
    RECT savedGameRect;
    bool gameMinimised;
    bool gameToFrontPending;
    float closeCountdown;
    uint32_t clockLast;
    int32_t clockRemainder;
    int32_t clientHeight;
    int32_t clientWidth;
    HBITMAP backBufferBitmap;
    int32_t backBufferStride;
    unsigned char* backBufferPixels;
    CPointerArray<Button> buttons;
    ScreenProc screenProc;
    bool brandingShown;

    // The button list; input is ignored while a menu session owns the window.
    uint32_t AddButton(Button* button);
    void ClearButtons();
    void OnMouseMove(int32_t x, int32_t y);
    void OnMouseDown(int32_t x, int32_t y);
    void OnMouseUp(int32_t x, int32_t y);

    // Button actions and the post-game buttons.
    void StartGame();
    void OpenOtherGamesMenu();
    void AddPlayGameButton();
    void AddOtherGamesButton();
};

// The memory drawing context that holds the back buffer while a frame is
// drawn; null at every other time.
extern HDC frameDC;

// Constructs the controller on first use; its exit-time destructor frees the
// button list's storage.
ScreenController& GetScreenController();

// The milliseconds the clock releases at time now: 0 or a multiple of 20.
uint32_t StepClockAt(ScreenController& controller, uint32_t now);
uint32_t StepClock();
// How long the main loop may wait before the clock has a step to release.
uint32_t MillisecondsToNextStep();

void SetScreen(ScreenProc next);

// One frame step of the main loop.
void Tick();
