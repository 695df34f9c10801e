#include "harness.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace harness {

namespace {

std::string Win32Message(const char* what) {
    return std::string(what) + " failed: " + SystemErrorText(GetLastError());
}

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "harness: %s\n", Win32Message(what).c_str());
        std::abort();
    }
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && IsWindowVisible(window) &&
        std::string(name) == search->className) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::string WindowText(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (GetTickCount() - start < ms);
}

std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, LANG_USER_DEFAULT, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text != nullptr ? text : "";
    LocalFree(text);
    return result;
}

std::string BuildFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadTextModeFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    Check(bool(out), ("writing " + path).c_str());
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string DefaultSettings() {
    return "Application Name=Marble Quest\r\n"
           "Application ID=4242\r\n"
           "Developer Channel ID=77\r\n";
}

Install::Install(const std::string& wrapperName) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    static unsigned serial = 0;
    char name[64];
    std::snprintf(name, sizeof name, "wrapper-test-%lu-%u\\", GetCurrentProcessId(), ++serial);
    folder = std::string(temp) + name;
    RemoveTree(folder);
    Check(CreateDirectoryA(folder.c_str(), nullptr), "CreateDirectory");
    Check(CreateDirectoryA(Path("TarvelArcade").c_str(), nullptr), "CreateDirectory");
    wrapperPath = Path(wrapperName);
    CopyBuilt("GameWrapper.exe", wrapperName);
    WriteSettings(DefaultSettings());
}

Install::~Install() {
    RemoveTree(folder);
}

void Install::WriteSettings(const std::string& text) {
    WriteFileText(Path("TarvelArcade\\QOX_002.wdt"), text);
}

void Install::RemoveSettings() {
    DeleteFileA(Path("TarvelArcade\\QOX_002.wdt").c_str());
}

void Install::UseServices(const std::string& builtName) {
    CopyBuilt(builtName, "TarvelArcade\\TarvelArcade.dll");
}

void Install::ScriptServices(const std::string& lines) {
    WriteFileText(Path("TarvelArcade\\fixture.txt"), lines);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileText(path));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Install::ServicesLog() const {
    return ReadLines(Path("TarvelArcade\\fixture_log.txt"));
}

void Install::UseSkin(const std::string& builtFolder) {
    for (const char* name :
         {"Background.jpg", "button_normal.jpg", "button_hover.jpg", "button_pressed.jpg"}) {
        CopyBuilt(builtFolder + "\\" + name, std::string("TarvelArcade\\") + name);
    }
}

void Install::UseGame(const std::string& name) {
    CopyBuilt("fixture_game.exe", name);
}

std::vector<std::string> Install::GameLog() const {
    return ReadLines(Path("game_log.txt"));
}

void Install::PrepareForGame() {
    UseServices();
    UseSkin();
    std::string wrapper = wrapperPath.substr(folder.size());
    UseGame(wrapper.substr(0, wrapper.size() - 3) + "QXG");
}

void PostMouse(HWND window, UINT message, int x, int y) {
    PostMessageA(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    PumpMessages(150);
}

void Click(HWND window, int x, int y) {
    PostMouse(window, WM_MOUSEMOVE, x, y);
    PostMouse(window, WM_LBUTTONDOWN, x, y);
    PostMouse(window, WM_LBUTTONUP, x, y);
}

void ClickOtherGames(HWND window) {
    Click(window, 639, 488);
}

HWND WaitForGameWindow() {
    HWND game = nullptr;
    WaitUntil([&] {
        std::vector<HWND> found = FindWindowsOfClass("FixtureGame");
        game = found.empty() ? nullptr : found.front();
        return game != nullptr;
    });
    return game;
}

HANDLE OpenGameProcess(HWND game) {
    DWORD id = 0;
    GetWindowThreadProcessId(game, &id);
    return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
}

std::vector<std::string> LinesStarting(const std::vector<std::string>& lines,
                                       const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    return !LinesStarting(lines, prefix).empty();
}

std::vector<HWND> FindWindowsOfClass(const char* className) {
    std::vector<HWND> found;
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window != nullptr;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        if (IsWindowVisible(window)) {
            found.push_back(window);
        }
    }
    return found;
}

void Install::CopyBuilt(const std::string& builtName, const std::string& relative) {
    Check(CopyFileA((BuildFolder() + builtName).c_str(), Path(relative).c_str(), FALSE),
          ("copying " + builtName).c_str());
}

Process::Process(const std::string& exePath, const std::string& arguments,
                 const std::string& startFolder) {
    std::string commandLine = "\"" + exePath + "\"";
    if (!arguments.empty()) {
        commandLine += " " + arguments;
    }
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    // Everything the program starts belongs to the job and ends with it,
    // so a failed test leaves no game behind.
    job = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    Check(CreateProcessA(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                         nullptr, startFolder.empty() ? nullptr : startFolder.c_str(), &startup,
                         &info),
          ("starting " + exePath).c_str());
    AssignProcessToJobObject(job, info.hProcess);
    ResumeThread(info.hThread);
}

Process::~Process() {
    if (IsRunning()) {
        TerminateProcess(info.hProcess, 0xDEAD);
        WaitForSingleObject(info.hProcess, 5000);
    }
    TerminateJobObject(job, 0xDEAD);
    CloseHandle(job);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

bool Process::IsRunning() const {
    return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> Process::Windows(const char* className) const {
    WindowSearch search{info.dwProcessId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Process::WaitForWindow(const char* className, DWORD timeoutMs) const {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            std::vector<HWND> found = Windows(className);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr || !IsRunning();
        },
        timeoutMs);
    return window;
}

MessageBoxSeen Process::WaitForMessageBox(DWORD timeoutMs) const {
    MessageBoxSeen box;
    box.window = WaitForWindow("#32770", timeoutMs);
    if (box.window != nullptr) {
        box.caption = WindowText(box.window);
        char text[4096] = "";
        GetDlgItemTextA(box.window, 0xFFFF, text, sizeof text);
        box.text = text;
    }
    return box;
}

void Process::Answer(const MessageBoxSeen& box, int answer) const {
    // Never WM_CLOSE: a closed box answers IDCANCEL whatever its buttons.
    PostMessageA(GetDlgItem(box.window, answer), BM_CLICK, 0, 0);
    WaitUntil(
        [&] { return !IsWindow(box.window) || !IsWindowVisible(box.window) || !IsRunning(); });
}

DWORD Process::WaitForExit(DWORD timeoutMs) const {
    if (WaitForSingleObject(info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info.hProcess, &code);
    return code;
}

Wrapper::Wrapper(const Install& installed, const std::string& arguments,
                 const std::string& startFolder)
    : Process(installed.WrapperPath(), arguments,
              startFolder.empty() ? installed.Folder() : startFolder),
      install(installed) {}

HWND Wrapper::WaitForPostGame(int gameRuns) const {
    WaitUntil([&] {
        int ended = 0;
        for (const std::string& line : install.GameLog()) {
            ended += line == "exit";
        }
        return ended >= gameRuns || !IsRunning();
    });
    if (WaitForMainWindow() == nullptr) {
        return nullptr;
    }
    PumpMessages(300);
    return WaitForMainWindow();
}

} // namespace harness
