// In-process set-up for game controller tests: a settings file beside the
// test program, a wrapper window of our own and the fixture game to start.
#pragma once

#include <windows.h>

#include <string>

// Creates the game record (once per process) and points it at the fixture
// game with the given command-line tail, started in the build folder.
void PrepareGame(const char* commandTail);

// A visible top-level window standing in for the wrapper's.
HWND EnsureWrapperWindow();

// Ends whatever game the record still holds.
void EndGameHard();

std::string GameLog();
void ClearGameLog();
