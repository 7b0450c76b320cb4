// The main menu idling in a real window: CPU use and frame intervals while the menu waits for a key over its live
// background level, against the plain busy wait of the frame pacing as the reference, in the same run. Drawing
// goes through the system's OpenGL (under Xvfb that is Mesa's software renderer, where drawing itself costs CPU).
// Goal: under half of one core, every frame interval at most 18 ms.
// Needs an X display (make bench runs it under Xvfb when there is none).
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/files.h"
#include "base/message.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "shell/menu.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

struct Result {
    double cpuShare = 0;        // CPU seconds per wall-clock second (1.0 = one whole core)
    double minInterval = 0, maxInterval = 0, meanInterval = 0;
    int frames = 0;
};

Result Summarise(std::vector<double>& intervals, double cpu, double wall) {
    Result r;
    r.cpuShare = cpu / wall;
    intervals.erase(intervals.begin());     // the first interval starts before the loop
    r.frames = static_cast<int>(intervals.size());
    r.minInterval = *std::min_element(intervals.begin(), intervals.end());
    r.maxInterval = *std::max_element(intervals.begin(), intervals.end());
    double sum = 0;
    for (double i : intervals) sum += i;
    r.meanInterval = sum / static_cast<double>(intervals.size());
    return r;
}

// The reference: read the timer until the minimum interval has passed, then present an empty frame.
Result BusyWait(double seconds) {
    std::vector<double> intervals;
    const double cpu0 = CpuSeconds(), wall0 = PlatformClock();
    lastFrameTime = wall0;
    double previous = wall0;
    while (PlatformClock() - wall0 < seconds) {
        while (PlatformClock() - lastFrameTime < MinFrameInterval) {
        }
        lastFrameTime = PlatformClock();
        ClearFrame();
        PlatformPresent();
        intervals.push_back(lastFrameTime - previous);
        previous = lastFrameTime;
        PlatformReadKey();
    }
    return Summarise(intervals, CpuSeconds() - cpu0, PlatformClock() - wall0);
}

// The menu as the game runs it: the lines built, then passes of its wait, each a whole frame.
Result MenuIdle(double seconds) {
    std::vector<double> intervals;
    EnterMainMenu();
    const double cpu0 = CpuSeconds(), wall0 = PlatformClock();
    double previous = lastFrameTime;
    BuildMenuLines();
    while (PlatformClock() - wall0 < seconds) {
        bool tick = false;
        const std::string key = MenuWaitPass(tick);
        intervals.push_back(lastFrameTime - previous);
        previous = lastFrameTime;
        if (tick || !key.empty()) BuildMenuLines();
    }
    return Summarise(intervals, CpuSeconds() - cpu0, PlatformClock() - wall0);
}

void Print(const char* name, const Result& r) {
    std::printf("%-28s cpu %5.1f%% of one core, %d frames, interval min %.4f s, mean %.4f s, max %.4f s\n", name,
                r.cpuShare * 100, r.frames, r.minInterval, r.meanInterval, r.maxInterval);
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Sdl, argc, argv);
    SetProgramFolder(KOLBRIX_GAME_DIR);
    SetDefaultSettings();
    Fullscreen = 0;
    ScreenWidth = 1024;
    ScreenHeight = 768;
    SoundOn = MusicOn = QuotesOn = 0;
    MessageState = -1;
    Startup();
    MessageState = 0;
    FirstRun = 0;
    std::printf("menu_idle: %dx%d %s\n", ActiveWidth, ActiveHeight, ActiveFullscreen ? "full screen" : "window");
    const double seconds = 5.0;
    const Result reference = BusyWait(seconds);
    const Result menu = MenuIdle(seconds);
    Print("busy wait (reference)", reference);
    Print("main menu (game)", menu);
    std::printf("cpu ratio menu / reference: %.3f\n", menu.cpuShare / reference.cpuShare);
    std::printf("goal: under 50%% of one core (%s), every interval at most 18 ms (%s)\n",
                menu.cpuShare < 0.5 ? "met" : "missed", menu.maxInterval <= 0.018 ? "met" : "missed");
    PlatformExit(0);
}
