// Frame pacing: CPU use and frame intervals of an idle screen (the splash/menu loop: DrawFrame + sleep 0 + input
// polling) in a real window, against the plain busy wait as the reference, in the same run.
// Needs an X display (make bench runs it under Xvfb when there is none).
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/idle_measure.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "shell/settings.h"

namespace {

// The idle loop of a screen, as the splash screen and the menu run it.
IdleResult IdleLoop(double seconds, bool busyWait) {
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
            PlatformPresent();      // an empty frame: nothing queued, and no wait for the swap
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
    return SummariseIdle(intervals, CpuSeconds() - cpu0, PlatformClock() - wall0);
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
    IdleResult reference = IdleLoop(seconds, true);
    IdleResult paced = IdleLoop(seconds, false);
    PrintIdle("busy wait (reference)", reference);
    PrintIdle("sleep, then spin (game)", paced);
    std::printf("cpu ratio game / reference: %.3f\n", paced.cpuShare / reference.cpuShare);
    PlatformExit(0);
}
