// End-to-end harness: lays out a temporary install of the wrapper, starts
// it as a real process, reads and answers its message boxes and returns its
// full 32-bit exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// The folder the test executable and every built program live in.
std::string BuildFolder();

std::string ReadFileText(const std::string& path);
// Reads in text mode, undoing the line-end translation of a file written so.
std::string ReadTextModeFile(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// A fresh install folder: the wrapper, its "TarvelArcade" folder with a
// settings file and, when asked, a services module. Removed when destroyed.
class Install {
  public:
    explicit Install(const std::string& wrapperName = "GameWrapper.exe");
    ~Install();
    Install(const Install&) = delete;
    Install& operator=(const Install&) = delete;

    const std::string& Folder() const { return folder; } // ends in a backslash
    std::string Path(const std::string& relative) const { return folder + relative; }
    const std::string& WrapperPath() const { return wrapperPath; }

    void WriteSettings(const std::string& text);
    void RemoveSettings();
    // Copies a built module (default: the scriptable fixture) as TarvelArcade.dll.
    void UseServices(const std::string& builtName = "fixture_services.dll");
    void ScriptServices(const std::string& lines);
    // The calls the fixture module logged, one per line.
    std::vector<std::string> ServicesLog() const;
    void CopyBuilt(const std::string& builtName, const std::string& relative);
    // A skin's four pictures from a folder of the build into "TarvelArcade".
    void UseSkin(const std::string& builtFolder = "skin");
    // The fixture game under the given name beside the wrapper.
    void UseGame(const std::string& name);
    // What the fixture game logged, one entry per line.
    std::vector<std::string> GameLog() const;
    // A wrapper ready to run a game: services module, skin and the game as
    // the wrapper's name with the extension QXG.
    void PrepareForGame();

  private:
    std::string folder;
    std::string wrapperPath;
};

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// A running wrapper (or any program) started by the test.
class Process {
  public:
    Process(const std::string& exePath, const std::string& arguments,
            const std::string& startFolder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD Id() const { return info.dwProcessId; }
    DWORD MainThreadId() const { return info.dwThreadId; }
    bool IsRunning() const;

    // The first visible top-level window of the class, or null after the time-out.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 10000) const;
    // Every visible top-level window of the class that belongs to the process.
    std::vector<HWND> Windows(const char* className) const;

    // The next message box; window is null when none came within the time-out.
    MessageBoxSeen WaitForMessageBox(DWORD timeoutMs = 10000) const;
    // Presses the button with the answer's id and waits for the box to go
    // or the process to end.
    void Answer(const MessageBoxSeen& box, int answer) const;

    // Waits for the end; returns the 32-bit exit code, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs = 15000) const;

  private:
    PROCESS_INFORMATION info{};
    HANDLE job = nullptr;
};

// Runs the wrapper of an install from its folder.
class Wrapper : public Process {
  public:
    explicit Wrapper(const Install& install, const std::string& arguments = "",
                     const std::string& startFolder = "");
    HWND WaitForMainWindow(DWORD timeoutMs = 10000) const {
        return WaitForWindow("TarvelGameWrapper", timeoutMs);
    }
    // The wrapper back on its post-game screen, drawn, after the fixture game
    // logged the end of its run number gameRuns (0: no game was started).
    // The window the wrapper shows for a moment at start-up does not count.
    HWND WaitForPostGame(int gameRuns = 1) const;

  private:
    const Install& install;
};

// Waits about ms milliseconds while answering messages sent to this thread,
// so that no window of the program under test waits on the test.
void PumpMessages(DWORD ms);

// Polls until the condition holds or the time runs out; returns the last result.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs = 10000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) {
            return condition();
        }
        PumpMessages(10);
    }
    return true;
}

// The client area of a window as the screen shows it: 24-bit pixels, rows
// top first, blue-green-red.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;

    COLORREF At(int x, int y) const {
        const unsigned char* p = &pixels[(size_t(y) * width + x) * 3];
        return RGB(p[2], p[1], p[0]);
    }
    // Pixels in the rectangle that differ from the colour.
    int CountOtherThan(const RECT& area, COLORREF colour) const;
    // Pixels in the rectangle that differ from another shot.
    int CountDifferences(const Screenshot& other, const RECT& area) const;
    // Pixels in the rectangle within 12 of the colour in every channel, so
    // that JPEG's small errors on a flat colour still count.
    int CountNear(const RECT& area, COLORREF colour) const;
};

Screenshot CaptureClient(HWND window);
// Writes the shot as a PNG file, so a person can look at it.
void SavePng(const Screenshot& shot, const std::string& path);

int Area(const RECT& r);

// Posts one mouse message at a client point and gives the program time for it.
void PostMouse(HWND window, UINT message, int x, int y);
// Move, press and release at a client point.
void Click(HWND window, int x, int y);
// The post-game screen's second button.
void ClickOtherGames(HWND window);

// The fixture game's first visible window, waiting for it; null after the time-out.
HWND WaitForGameWindow();
// The process of a window, for waiting on it and reading its exit code.
HANDLE OpenGameProcess(HWND game);

// Log lines that start with prefix.
std::vector<std::string> LinesStarting(const std::vector<std::string>& lines,
                                       const std::string& prefix);
bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix);

// Visible top-level windows of a class, of any process.
std::vector<HWND> FindWindowsOfClass(const char* className);

// The lines of a text file.
std::vector<std::string> ReadLines(const std::string& path);

// A settings text of CRLF lines with an application name and ids.
std::string DefaultSettings();

// The system's description of an error code, as FormatMessage gives it.
std::string SystemErrorText(DWORD error);

} // namespace harness
