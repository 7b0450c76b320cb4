// Frame pacing: CPU use and frame intervals of an idle screen (the splash/menu loop: DrawFrame + sleep 0 + input
// polling) in a real window, against the plain busy wait as the reference, in the same run.
// Needs an X display (make bench runs it under Xvfb when there is none).
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "gfx/display.h"
#include "platform/platform.h"
#include "shell/settings.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

struct Result {
    double cpuShare;            // CPU seconds per wall-clock second (1.0 = one whole core)
    double minInterval, maxInterval, meanInterval;
    int frames;
};

// The idle loop of a screen, as the splash screen and the menu run it.
Result IdleLoop(double seconds, bool busyWait) {
    std::vector<double> intervals;
    double cpu0 = CpuSeconds();
    double wall0 = PlatformClock();
    lastFrameTime = wall0;
    double previous = wall0;
    while (PlatformClock() - wall0 < seconds) {
        if (busyWait) {
            // The reference: read the timer until the minimum interval has passed.
            while (PlatformClock() - lastFrameTime < MinFrameInterval) {
            }
            frameTime = PlatformClock() - lastFrameTime;
            lastFrameTime = PlatformClock();
            ClearFrame();
            PlatformPresent();
        } else {
            DrawFrame();
        }
        intervals.push_back(lastFrameTime - previous);
        previous = lastFrameTime;
        PlatformSleep0();
        int x, y, b;
        PlatformMouse(x, y, b);
        PlatformReadKey();
    }
    double wall = PlatformClock() - wall0;
    Result r{};
    r.cpuShare = (CpuSeconds() - cpu0) / wall;
    intervals.erase(intervals.begin());     // the first interval starts before the loop
    r.frames = static_cast<int>(intervals.size());
    r.minInterval = *std::min_element(intervals.begin(), intervals.end());
    r.maxInterval = *std::max_element(intervals.begin(), intervals.end());
    double sum = 0;
    for (double i : intervals) sum += i;
    r.meanInterval = sum / intervals.size();
    return r;
}

void Print(const char* name, const Result& r) {
    std::printf("%-28s cpu %5.1f%% of one core, %d frames, interval min %.4f s, mean %.4f s, max %.4f s\n", name,
                r.cpuShare * 100, r.frames, r.minInterval, r.meanInterval, r.maxInterval);
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Sdl, argc, argv);
    ActiveWidth = 1024;
    ActiveHeight = 768;
    if (!SetDisplayMode(1024, 768, 32, 0)) {
        std::printf("frame_pacing: no display\n");
        return 1;
    }
    SetSwapInterval(0);
    const double seconds = 4.0;
    Result reference = IdleLoop(seconds, true);
    Result paced = IdleLoop(seconds, false);
    Print("busy wait (reference)", reference);
    Print("sleep, then spin (game)", paced);
    std::printf("cpu ratio game / reference: %.3f\n", paced.cpuShare / reference.cpuShare);
    PlatformExit(0);
}
