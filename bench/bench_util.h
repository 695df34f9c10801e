// Timing helpers shared by the benchmarks: a monotonic clock, medians and one
// output line per figure with its ratio to the baseline of the same run.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

inline double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// The median time of one call of f, in milliseconds, over runs repetitions of
// batch calls each.
template <typename F> double TimeMs(F f, int runs = 15, int batch = 1) {
    std::vector<double> samples;
    for (int r = 0; r < runs; ++r) {
        double start = NowMs();
        for (int i = 0; i < batch; ++i) {
            f();
        }
        samples.push_back((NowMs() - start) / batch);
    }
    return Median(samples);
}

inline void Figure(const char* name, double value, const char* unit, const char* baselineName,
                   double baseline) {
    std::printf("%-34s %10.4f %-3s  baseline %-28s %10.4f %-3s  ratio %.2f\n", name, value, unit,
                baselineName, baseline, unit, baseline != 0 ? value / baseline : 0.0);
    std::fflush(stdout);
}

inline void Figure(const char* name, double value, const char* unit, const char* goal) {
    std::printf("%-34s %10.4f %-3s  goal %s\n", name, value, unit, goal);
    std::fflush(stdout);
}

} // namespace bench
