#include "game/game_process.h"

#include "game/game_windows.h"
#include "settings/game_record.h"

namespace {

void CloseIfSet(HANDLE& handle) {
    if (handle != nullptr) {
        CloseHandle(handle);
        handle = nullptr;
    }
}

// Each close message waits at most half a second on a game that does not answer.
void SendToGameWindow(UINT message, WPARAM wParam) {
    DWORD_PTR ignored;
    SendMessageTimeoutA(FindGameWindows(), message, wParam, 0, SMTO_ABORTIFHUNG, 500, &ignored);
}

} // namespace

void ResetGameProcess() {
    GameRecord& record = GetGameRecord();
    // The record is the only holder of these handles: drop them for good.
    CloseIfSet(record.gameProcess.hProcess);
    CloseIfSet(record.gameProcess.hThread);
    record.gameProcess = PROCESS_INFORMATION{};
    record.gameMainWindow = nullptr;
    record.gameExitCode = 0;
    ForgetGameWindows();
}

void LaunchGame() {
    ResetGameProcess();
    GameRecord& record = GetGameRecord();
    char commandLine[2048];
    wsprintfA(commandLine, "\"%s\" %s", record.gameExeName,
              record.commandTail != nullptr ? record.commandTail : "");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    CreateProcessA(record.gameExeName, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                   record.startDirectory, &startup, &record.gameProcess);
}

bool IsGameRunning() {
    GameRecord& record = GetGameRecord();
    if (record.gameProcess.hProcess == nullptr) {
        return false;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(record.gameProcess.hProcess, &code) || code == STILL_ACTIVE) {
        return true;
    }
    ResetGameProcess();
    record.gameExitCode = code;
    return false;
}

DWORD GetGameExitCode() {
    return GetGameRecord().gameExitCode;
}

bool WaitWhileGameRuns(DWORD ms) {
    for (DWORD polls = ms / 10;; --polls) {
        if (!IsGameRunning()) {
            return false;
        }
        if (polls == 0) {
            return true;
        }
        Sleep(10);
    }
}

void CloseGame() {
    SendToGameWindow(WM_CLOSE, 0);
    WaitWhileGameRuns(2000);
    const struct {
        UINT message;
        WPARAM wParam;
    } escalation[] = {{WM_SYSCOMMAND, SC_CLOSE}, {WM_QUIT, 0}, {WM_DESTROY, 0}};
    for (const auto& step : escalation) {
        if (IsGameRunning()) {
            SendToGameWindow(step.message, step.wParam);
            WaitWhileGameRuns(1000);
        }
    }
    GameRecord& record = GetGameRecord();
    if (record.gameProcess.hProcess != nullptr) {
        TerminateProcess(record.gameProcess.hProcess, 0xFFFFFFFF);
    }
}

void SuspendGame() {
    if (HANDLE thread = GetGameRecord().gameProcess.hThread) {
        SuspendThread(thread);
    }
}

void ResumeGame() {
    if (HANDLE thread = GetGameRecord().gameProcess.hThread) {
        ResumeThread(thread);
    }
}
