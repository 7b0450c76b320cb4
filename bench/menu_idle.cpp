// The main menu idling in a real window: CPU use and frame intervals while the menu waits for a key over its live
// background level, against the plain busy wait of the frame pacing as the reference, in the same run. Drawing
// goes through the system's OpenGL (under Xvfb that is Mesa's software renderer, where drawing itself costs CPU).
// Goal: under half of one core, every frame interval at most 18 ms.
// Needs an X display (make bench runs it under Xvfb when there is none).
#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/files.h"
#include "bench/idle_measure.h"
#include "base/message.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "shell/menu.h"
#include "shell/settings.h"
#include "shell/startup.h"

namespace {

// The reference: read the timer until the minimum interval has passed, then present an empty frame.
IdleResult BusyWait(double seconds) {
    std::vector<double> intervals;
    const double cpu0 = CpuSeconds(), wall0 = PlatformClock();
    lastFrameTime = wall0;
    double previous = wall0;
    while (PlatformClock() - wall0 < seconds) {
        while (PlatformClock() - lastFrameTime < MinFrameInterval) {
        }
        lastFrameTime = PlatformClock();
        ClearFrame();
        PlatformPresent();      // an empty frame: nothing queued, and no wait for the swap
        intervals.push_back(lastFrameTime - previous);
        previous = lastFrameTime;
        PlatformReadKey();
    }
    return SummariseIdle(intervals, CpuSeconds() - cpu0, PlatformClock() - wall0);
}

// The menu as the game runs it: the lines built, then passes of its wait, each a whole frame.
IdleResult MenuIdle(double seconds) {
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
    return SummariseIdle(intervals, CpuSeconds() - cpu0, PlatformClock() - wall0);
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
    const IdleResult reference = BusyWait(seconds);
    const IdleResult menu = MenuIdle(seconds);
    PrintIdle("busy wait (reference)", reference);
    PrintIdle("main menu (game)", menu);
    std::printf("cpu ratio menu / reference: %.3f\n", menu.cpuShare / reference.cpuShare);
    std::printf("goal: under 50%% of one core (%s), every interval at most 18 ms (%s)\n",
                menu.cpuShare < 0.5 ? "met" : "missed", menu.maxInterval <= 0.018 ? "met" : "missed");
    PlatformExit(0);
}
