// Measuring an idle screen: the process's CPU time against the wall clock, and the intervals between frames.
// Shared by the benchmarks of idle loops.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

struct IdleResult {
    double cpuShare = 0;        // CPU seconds per wall-clock second (1.0 = one whole core)
    double minInterval = 0, maxInterval = 0, meanInterval = 0;
    int frames = 0;
};

// The first interval starts before the loop and is left out.
inline IdleResult SummariseIdle(std::vector<double> intervals, double cpuSeconds, double wallSeconds) {
    IdleResult r;
    r.cpuShare = cpuSeconds / wallSeconds;
    if (!intervals.empty()) intervals.erase(intervals.begin());
    if (intervals.empty()) return r;
    r.frames = static_cast<int>(intervals.size());
    r.minInterval = *std::min_element(intervals.begin(), intervals.end());
    r.maxInterval = *std::max_element(intervals.begin(), intervals.end());
    double sum = 0;
    for (double i : intervals) sum += i;
    r.meanInterval = sum / static_cast<double>(intervals.size());
    return r;
}

inline void PrintIdle(const char* name, const IdleResult& r) {
    std::printf("%-28s cpu %5.1f%% of one core, %d frames, interval min %.4f s, mean %.4f s, max %.4f s\n", name,
                r.cpuShare * 100, r.frames, r.minInterval, r.meanInterval, r.maxInterval);
}
