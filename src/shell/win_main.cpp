// The wrapper's entry point: single-instance guard, services start-up, the
// main window, the main loop and shutdown.
#include "game/game_process.h"
#include "screens/play_screens.h"
#include "screens/screen_controller.h"
#include "services/services_host.h"
#include "settings/game_record.h"
#include "settings/settings.h"
#include "shell/main_window.h"

#include <cstdio>

namespace {

const char* const kMutexName = "TarvelWrapperRunningMutex";
const char* const kClassName = "TarvelGameWrapper";

bool AnotherWrapperRuns() {
    HANDLE existing = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kMutexName);
    if (existing == nullptr) {
        return false;
    }
    CloseHandle(existing);
    return true;
}

void RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WrapperWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "MAINICON");
    windowClass.hIconSm = LoadIconA(instance, "MAINICON");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExA(&windowClass);
}

void WriteErrorReport(const char* text) {
    FILE* report = std::fopen("QO_Error.txt", "w");
    if (report == nullptr) {
        return;
    }
    std::fputs(text, report);
    std::fclose(report);
}

void ShowSystemError(DWORD error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                   reinterpret_cast<char*>(&text), 0, nullptr);
    MessageBoxA(nullptr, text != nullptr ? text : "", "Error", MB_ICONINFORMATION);
    LocalFree(text);
}

HWND CreateMainWindow() {
    RECT rect;
    if (!GetExpectedWindowRect(rect)) {
        ShowSystemError(GetLastError());
        rect = RECT{0, 0, kClientWidth, kClientHeight};
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    POINT at = CentreOnWorkArea(width, height);
    return CreateWindowExA(0, kClassName, GetApplicationName(), kMainWindowStyle, at.x, at.y, width,
                           height, nullptr, nullptr, appInstance, nullptr);
}

void RunMainLoop() {
    ScreenController& controller = GetScreenController();
    while (!controller.quitRequested) {
        MSG message;
        while (PeekMessageA(&message, mainWindow, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        // Sleep until a message arrives or the next 20 ms step is due; a
        // message already looked at (a thread's WM_QUIT) does not wake it.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, MillisecondsToNextStep(), QS_ALLINPUT);
        Tick();
    }
}

void Shutdown() {
    CloseGame();
    QO_ShutDown();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
    if (AnotherWrapperRuns()) {
        MessageBoxA(nullptr,
                    "You currently have another game running.\n\nIf you wish to run this one, "
                    "please close the other one first.",
                    "Game Already Running", MB_OK);
        return -1;
    }
    CreateMutexA(nullptr, FALSE, kMutexName);

    RegisterWindowClass(instance);
    appInstance = instance;

    if (QO_Initialize(GetApplicationId(), GetApplicationName(), GetDeveloperChannelId(), 0) != 0) {
        MessageBoxA(nullptr, "There was an error initializing the application. It will now exit.",
                    "Application Error", MB_OK);
        WriteErrorReport(QO_GetLastErrorInformation());
        return 0;
    }

    mainWindow = CreateMainWindow();
    if (mainWindow == nullptr) {
        return 0;
    }
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);

    GetGameRecord().commandTail = commandTail;

    if (!InitScreens()) {
        return 0;
    }
    RunMainLoop();
    Shutdown();
    return int(GetGameExitCode());
}
