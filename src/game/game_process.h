// The game's process: launch, running test, exit code, suspension around the
// exit question, and the polite-then-firm close at shutdown.
#pragma once

#include <windows.h>

void ResetGameProcess();
void LaunchGame();
bool IsGameRunning();
DWORD GetGameExitCode();
// Polls every 10 ms; true when the game still runs after about ms milliseconds.
bool WaitWhileGameRuns(DWORD ms);
void CloseGame();
void SuspendGame();
void ResumeGame();
