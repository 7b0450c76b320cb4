// kolbrix-tool solve: a search for a way to win a level, over the game's own rules (shell/solver.h).
//
//   solve LEVEL [--data DIR] [--difficulty D] [--seed N] [--budget SECONDS] [--out FILE.keys] [--progress]
//
// The level is set up as `play` sets it up (seed N, default 1; difficulty D, default 0: the level as it is), and
// searched for at most SECONDS (default 60) of real time. A key script found is replayed with `play`'s own replay
// before the answer is given, and written to FILE when asked. --progress reports the search on standard error
// about four times a second. The last line on standard output is the answer as JSON.
//
// Exit codes: 0 solved, 1 the budget ran out, 2 a wrong command line or a level that does not load, 4 the level
// cannot be won (every reachable state was explored, or the walls shut a flag or every exit away).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/replay.h"
#include "shell/solver.h"
#include "sound/sound.h"
#include "tools/tool/arguments.h"
#include "tools/tool/headless_play.h"

namespace {

struct SolveArguments : LevelArguments {
    std::string out;
    double budget = 60;
    bool progress = false;
};

constexpr const char* Usage =
    "usage: kolbrix-tool solve LEVEL [--data DIR] [--difficulty D] [--seed N] [--budget SECONDS] [--out FILE.keys]\n"
    "                              [--progress]\n";

bool ParseArguments(int argc, char** argv, SolveArguments& args) {
    for (int i = 1; i < argc; ++i) {
        const int shared = ReadLevelArgument(argc, argv, i, args);
        if (shared < 0) return false;
        if (shared > 0) continue;
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--out" && hasValue) {
            args.out = argv[++i];
        } else if (arg == "--budget" && hasValue) {
            if (!ParseInteger(argv[++i], 1, 86400, n)) return false;
            args.budget = static_cast<double>(n);
        } else if (arg == "--progress") {
            args.progress = true;
        } else {
            return false;
        }
    }
    return args.levels == 1;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

constexpr double Fps = 60;

}  // namespace

int ToolSolve(int argc, char** argv) {
    SolveArguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (!SetUpHeadlessPlay(args.level, args.dataFolder, args.seed, args.difficulty, Fps)) {
        std::fprintf(stderr, "kolbrix-tool solve: cannot load the level %s\n", args.level.c_str());
        return 2;
    }
    SolveOptions options;
    options.budgetSeconds = args.budget;
    options.fps = Fps;
    const ReplayDevice device = HeadlessReplayDevice();
    options.hold = device.hold;
    options.setClock = device.setClock;
    options.now = RealSeconds;
    options.variants = DefaultSolveVariants;
    if (const char* tune = std::getenv("KOLBRIX_SOLVE_TUNE")) {
        options.variants.clear();
        std::sscanf(tune, "%d %lf %lf %lf %lf %d", &options.segmentFrames, &options.estimateWeight,
                    &options.positionBucket, &options.speedBucket, &options.moverBucket, &options.statesPerPlace);
    }
    if (args.progress)
        options.progress = [](const SolveProgress& progress) {
            std::fprintf(stderr, "%s\n", ProgressLine(progress).c_str());
            std::fflush(stderr);
        };
    RealSeconds();
    const SolveResult result = SolveLevel(options);
    const double limit = level.timeLimit;     // as the difficulty made it when play began
    const SolveProgress& last = result.last;
    const std::string figures = ",\"states\":" + std::to_string(last.states) + ",\"frames simulated\":" +
                                std::to_string(last.frames) + ",\"search seconds\":" + Number(last.seconds) + "}";

    if (result.outcome == SolveOutcome::NotWinnable) {
        std::printf("{\"result\":\"not winnable\",\"by\":\"%s\"%s\n", result.provedByCells ? "walls" : "search",
                    figures.c_str());
        CloseAudio();
        return 4;
    }
    if (result.outcome == SolveOutcome::OutOfBudget) {
        std::fprintf(stderr, "kolbrix-tool solve: no way found within %.0f s (%lld states explored)\n", args.budget,
                     static_cast<long long>(last.states));
        std::printf("{\"result\":\"budget\"%s\n", figures.c_str());
        CloseAudio();
        return 1;
    }

    // The answer is checked by the replay that `play` runs, from a level set up afresh.
    SetUpHeadlessPlay(args.level, args.dataFolder, args.seed, args.difficulty, Fps);
    ReplayOptions replay;
    replay.fps = Fps;
    const ReplayResult check = RunReplay(result.script, replay, device);
    CloseAudio();
    if (!check.completed) {
        std::fprintf(stderr, "kolbrix-tool solve: the keys found did not win when replayed\n");
        std::printf("{\"result\":\"budget\",\"replay\":\"failed\"%s\n", figures.c_str());
        return 1;
    }
    if (!args.out.empty()) {
        const std::string text = "# Found by kolbrix-tool solve: seed " + std::to_string(args.seed) +
                                 ", difficulty " + std::to_string(args.difficulty) + ", " +
                                 Number(result.levelSeconds) + " s of play.\n" + FormatInputScript(result.script);
        if (!PlatformWriteFileAtomic(args.out, text)) {
            std::fprintf(stderr, "kolbrix-tool solve: cannot write %s\n", args.out.c_str());
            return 2;
        }
    }
    std::printf("{\"result\":\"solved\",\"frames\":%lld,\"seconds\":%s,\"limit\":%s%s\n",
                static_cast<long long>(result.scriptFrames), Number(result.levelSeconds).c_str(),
                Number(limit > 0 ? limit : 0).c_str(), figures.c_str());
    return 0;
}
