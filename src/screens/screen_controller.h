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
};

// Constructs the controller on first use; its exit-time destructor frees the
// button list's storage.
ScreenController& GetScreenController();
