// The wrapper as a process: what it adds before the game starts, what it
// costs while the game runs, and its memory on the post-game screen.
#include "bench_util.h"
#include "harness.h"

#include <psapi.h>

#include <cstdlib>
#include <string>

using namespace harness;

namespace {

// Waits with a short poll for the game's first log line.
bool WaitForGameStart(const Install& install, double timeoutMs = 10000) {
    double start = bench::NowMs();
    std::string log = install.Path("game_log.txt");
    while (GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (bench::NowMs() - start > timeoutMs) {
            return false;
        }
        Sleep(0);
    }
    return true;
}

void StartUp() {
    Install install;
    install.PrepareForGame();
    install.CopyBuilt("minimal_launcher.exe", "Launcher.exe");
    std::vector<double> direct;
    std::vector<double> launched;
    std::vector<double> wrapped;
    for (int run = 0; run < 15; ++run) {
        DeleteFileA(install.Path("game_log.txt").c_str());
        double start = bench::NowMs();
        {
            Process game(install.Path("GameWrapper.QXG"), "--no-window --exit-after 50",
                         install.Folder());
            if (WaitForGameStart(install)) {
                direct.push_back(bench::NowMs() - start);
            }
            game.WaitForExit();
        }
        DeleteFileA(install.Path("game_log.txt").c_str());
        start = bench::NowMs();
        {
            Process launcher(install.Path("Launcher.exe"), "--no-window --exit-after 50",
                             install.Folder());
            if (WaitForGameStart(install)) {
                launched.push_back(bench::NowMs() - start);
            }
            Sleep(100);
        }
        DeleteFileA(install.Path("game_log.txt").c_str());
        start = bench::NowMs();
        {
            Wrapper wrapper(install, "--no-window --exit-after 50");
            if (WaitForGameStart(install)) {
                wrapped.push_back(bench::NowMs() - start);
            }
        }
    }
    double d = bench::Median(direct);
    double l = bench::Median(launched);
    double w = bench::Median(wrapped);
    bench::Figure("start-up: wrapper to game started", w, "ms", "game started directly", d);
    bench::Figure("start-up: added by the wrapper", w - d, "ms", "under 20 ms");
    // One process more is the floor: a launcher that only starts the game.
    bench::Figure("start-up: wrapper to game started", w, "ms", "a bare launcher", l);
    bench::Figure("start-up: the wrapper's own part", w - l, "ms", "under 20 ms");
}

// Under Wine another process's times read as zero; its host process's
// /proc entry, found by the program's unique name, has them.
std::string FindHostProcStat(const std::string& exeName) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
    std::string result;
    if (search == INVALID_HANDLE_VALUE) {
        return result;
    }
    do {
        std::string name = found.cFileName;
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::string folder = "Z:\\proc\\" + name + "\\";
        if (ReadFileText(folder + "cmdline").find(exeName) != std::string::npos) {
            result = folder + "stat";
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return result;
}

double CpuMs(HANDLE process, const std::string& procStat) {
    if (!procStat.empty()) {
        std::string stat = ReadFileText(procStat);
        size_t at = stat.rfind(')') + 2;
        double ticks[15] = {};
        for (int field = 3; field <= 15 && at < stat.size(); ++field) {
            ticks[field - 1] = std::strtod(stat.c_str() + at, nullptr);
            at = stat.find(' ', at) + 1;
        }
        return (ticks[13] + ticks[14]) * 10.0; // utime + stime, 100 ticks a second
    }
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

void WhileTheGameRuns() {
    char name[64];
    std::snprintf(name, sizeof name, "CpuBench%lu.exe", GetCurrentProcessId());
    Install install(name);
    install.PrepareForGame();
    Wrapper wrapper(install, "--exit-after 40000");
    WaitForGameStart(install);
    PumpMessages(2000);
    std::string procStat = FindHostProcStat(name);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, wrapper.Id());
    double cpuStart = CpuMs(process, procStat);
    double start = bench::NowMs();
    PumpMessages(10000);
    double share = (CpuMs(process, procStat) - cpuStart) / (bench::NowMs() - start) * 100.0;
    bench::Figure("wrapper CPU while the game runs", share, "%", "under 1 % of a core");
    // A thread message the loop never takes must not make it spin.
    PostThreadMessageA(wrapper.MainThreadId(), WM_QUIT, 0, 0);
    cpuStart = CpuMs(process, procStat);
    start = bench::NowMs();
    PumpMessages(5000);
    share = (CpuMs(process, procStat) - cpuStart) / (bench::NowMs() - start) * 100.0;
    bench::Figure("... with a WM_QUIT posted", share, "%", "under 1 % of a core");
    CloseHandle(process);
}

double PeakWorkingSetMb(DWORD processId) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    return double(counters.PeakWorkingSetSize) / 1048576;
}

void PostGameMemory() {
    Install install;
    install.PrepareForGame();
    double wrapper = 0;
    {
        Wrapper running(install, "--exit-after 200");
        running.WaitForPostGame();
        PumpMessages(2000);
        wrapper = PeakWorkingSetMb(running.Id());
    }
    // The floor under Wine: the fixture game, a program with one window.
    Process game(install.Path("GameWrapper.QXG"), "--exit-after 3000", install.Folder());
    PumpMessages(2000);
    bench::Figure("peak working set, post-game screen", wrapper, "MB", "a one-window program",
                  PeakWorkingSetMb(game.Id()));
}

} // namespace

int main(int argc, char** argv) {
    std::string only = argc > 1 ? argv[1] : "";
    if (only.empty() || only == "startup") {
        StartUp();
    }
    if (only.empty() || only == "cpu") {
        WhileTheGameRuns();
    }
    if (only.empty() || only == "memory") {
        PostGameMemory();
    }
    return 0;
}
