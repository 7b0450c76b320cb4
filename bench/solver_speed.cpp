// The solver's speed: frames simulated a second by the search (restoring snapshots, playing segments, bucketing and
// keeping the states found) against the same level played straight through with unseen frames and nothing saved:
// the solution the search found, played again and again (or, for a level not solved in the time, keys changing every
// few frames). The search's cost per frame should stay within 2x of the straight play's. Shipped levels of the
// build's program folder; processor time.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/message.h"
#include "gfx/pack_textures.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/level_load.h"
#include "shell/replay.h"
#include "shell/solver.h"
#include "tiles/catalogue.h"

namespace {

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

bool Load(const std::string& path) {
    HeadlessReset();
    SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
    LoadTexturePackNames();
    TakeCatalogueDefaults();
    MessageState = 0;
    playRun = PlayRun{};
    SeedRandom(1);
    const bool loaded = LoadLevel(path);
    MessageState = 0;
    return loaded;
}

// Frames played straight from the start with `script` (or, when it is empty, the keys going right, left, nothing
// and down in turn every 6 frames), over and over: the level starts again when it is won or the script ends; the
// play itself restarts after a lost ball. Processor seconds per frame.
double StraightSecondsPerFrame(const std::string& path, const List<InputSegment>& script, std::int64_t frames) {
    std::vector<std::vector<int>> keys;
    for (const InputSegment& segment : script)
        for (std::int64_t f = 0; f < segment.frames; ++f) keys.push_back(segment.held);
    if (keys.empty())
        for (int code : {int(ScanRight), int(ScanLeft), 0, int(ScanDown)})
            for (int f = 0; f < 6; ++f) keys.push_back({code});
    double seconds = 0;
    for (std::int64_t played = 0; played < frames;) {
        Load(path);
        const double startClock = PlatformClock();
        BeginPlay();
        const double t = ProcessorSeconds();
        for (size_t f = 0; f < keys.size() && played < frames; ++f, ++played) {
            for (int code : ScriptScanCodes()) Headless.held[code] = false;
            for (int code : keys[f]) Headless.held[code] = true;
            if (PlayReplayFrame(startClock, 60, [](double seconds) { Headless.clock = seconds; }) ||
                level.winCounter != 0)
                break;
        }
        seconds += ProcessorSeconds() - t;
        EndPlay();
    }
    return seconds / static_cast<double>(frames);
}

double WallSeconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Headless, argc, argv);
    const char* levels[] = {"lvlpckEpisode 1/007.kbx", "lvlpckEpisode 2/003.kbx", "lvlpckEpisode 3/001.kbx",
                            "lvlpckClassic/003.kbx"};
    const double budget = 4;
    std::printf("Solver speed (processor time; the search for up to %.0f s of real time)\n\n", budget);
    std::printf("%-26s  %14s  %14s  %12s  %6s  %s\n", "level", "straight us/f", "search us/f", "frames/s", "ratio",
                "answer");
    double worst = 0;
    for (const char* name : levels) {
        const std::string path = std::string(KOLBRIX_GAME_DIR) + "/" + name;
        Load(path);
        SolveOptions options;
        options.budgetSeconds = budget;
        options.variants = DefaultSolveVariants;
        options.hold = [](int code, bool held) { Headless.held[code] = held; };
        options.setClock = [](double seconds) { Headless.clock = seconds; };
        options.now = WallSeconds;
        const double t = ProcessorSeconds();
        const SolveResult result = SolveLevel(options);
        const double searchSeconds = ProcessorSeconds() - t;
        const double search = searchSeconds / static_cast<double>(std::max<std::int64_t>(1, result.last.frames));
        const double straight = StraightSecondsPerFrame(
            path, result.outcome == SolveOutcome::Solved ? result.script : List<InputSegment>{}, 60000);
        const double ratio = search / straight;
        worst = std::max(worst, ratio);
        std::printf("%-26s  %14.2f  %14.2f  %12.0f  %5.2fx  %s\n", name, straight * 1e6, search * 1e6, 1.0 / search,
                    ratio, result.outcome == SolveOutcome::Solved ? "solved" : "not yet");
    }
    std::printf("\nGoal: the search's cost per frame within 2x of straight play: worst %.2fx, %s\n", worst,
                worst <= 2 ? "met" : "not met");
    return 0;
}
