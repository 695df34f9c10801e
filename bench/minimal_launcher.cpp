// The least a launcher can do: start the game with its command-line tail.
// Its start-up time is the floor the wrapper's is measured against.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandTail, int) {
    char commandLine[2048];
    std::snprintf(commandLine, sizeof commandLine, "\"GameWrapper.QXG\" %s", commandTail);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA("GameWrapper.QXG", commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
