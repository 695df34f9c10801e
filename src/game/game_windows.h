// The game's windows: found by enumeration, since the wrapper owns none of
// them, and the switch between the game in front and the wrapper in front.
#pragma once

#include "engine/arrays.h"

#include <cstdint>
#include <windows.h>

// Every visible window the game has shown since its process fields were reset.
CPointerArray<HWND__, NeverDelete<HWND__>>& GetGameWindows();
void ForgetGameWindows();

// The game's main window as last found; null when none has been seen.
HWND FindGameWindows();
bool IsGameInForeground();
void ShowWrapper();
void ShowGame();
void KeepGameInFront();

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM generation);
BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM processId);
