// kolbrix-tool fairness: how a level plays for a person (shell/fairness.h).
//
//   fairness LEVEL [--solution FILE.keys] [--data DIR] [--difficulty D] [--seed N] [--runs R] [--budget SECONDS]
//            [--replan SECONDS]
//
// The solution is FILE, or the solver's (within SECONDS, default 60) when none is given. It is played R times
// (default 20; 0 measures the window alone) with every key change up to 6 frames (100 ms) early or late, at random
// from seed N (default 1), the solver re-planning for up to 2 s (or --replan SECONDS) after an error that the rest
// of the plan does not survive. The answer, one line of JSON: the runs won, the narrowest timing window of the
// solution (the frames, of the 30 either side, at which its hardest key change can come and still win) and the frame
// of that change.
//
// Exit codes: 0 measured, 1 no solution (the one given does not win, or none was found), 2 a wrong command line or
// a level that does not load.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "shell/fairness.h"
#include "shell/replay.h"
#include "shell/solver.h"
#include "sound/sound.h"
#include "tools/tool/arguments.h"
#include "tools/tool/headless_play.h"

namespace {

struct FairnessArguments : LevelArguments {
    std::string solution;
    std::int32_t runs = 20;
    double budget = 60;
    double replan = 2;
};

constexpr const char* Usage =
    "usage: kolbrix-tool fairness LEVEL [--solution FILE.keys] [--data DIR] [--difficulty D] [--seed N] [--runs R]\n"
    "                                 [--budget SECONDS] [--replan SECONDS]\n";

bool ParseArguments(int argc, char** argv, FairnessArguments& args) {
    for (int i = 1; i < argc; ++i) {
        const int shared = ReadLevelArgument(argc, argv, i, args);
        if (shared < 0) return false;
        if (shared > 0) continue;
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--solution" && hasValue) {
            args.solution = argv[++i];
        } else if (arg == "--runs" && hasValue) {
            if (!ParseInteger(argv[++i], 0, 10000, n)) return false;
            args.runs = static_cast<std::int32_t>(n);
        } else if (arg == "--budget" && hasValue) {
            if (!ParseInteger(argv[++i], 1, 86400, n)) return false;
            args.budget = static_cast<double>(n);
        } else if (arg == "--replan" && hasValue) {
            if (!ParseInteger(argv[++i], 1, 600, n)) return false;
            args.replan = static_cast<double>(n);
        } else {
            return false;
        }
    }
    return args.levels == 1;
}

constexpr double Fps = 60;

}  // namespace

int ToolFairness(int argc, char** argv) {
    FairnessArguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    List<InputSegment> solution;
    if (!args.solution.empty()) {
        std::string text, error;
        if (!PlatformReadFile(args.solution, text)) {
            std::fprintf(stderr, "kolbrix-tool fairness: cannot read %s\n", args.solution.c_str());
            return 2;
        }
        if (!ParseInputScript(text, solution, error)) {
            std::fprintf(stderr, "kolbrix-tool fairness: %s: %s\n", args.solution.c_str(), error.c_str());
            return 2;
        }
    }
    if (!SetUpHeadlessPlay(args.level, args.dataFolder, args.seed, args.difficulty, Fps)) {
        std::fprintf(stderr, "kolbrix-tool fairness: cannot load the level %s\n", args.level.c_str());
        return 2;
    }
    const ReplayDevice device = HeadlessReplayDevice();
    RealSeconds();
    std::string source = "given";
    if (args.solution.empty()) {
        SolveOptions solve;
        solve.budgetSeconds = args.budget;
        solve.fps = Fps;
        solve.hold = device.hold;
        solve.setClock = device.setClock;
        solve.now = RealSeconds;
        const SolveResult found = SolveLevel(solve);
        if (found.outcome != SolveOutcome::Solved) {
            std::fprintf(stderr, "kolbrix-tool fairness: the solver found no way within %.0f s\n", args.budget);
            std::printf("{\"result\":\"no solution\"}\n");
            CloseAudio();
            return 1;
        }
        solution = found.script;
        source = "solver";
        SetUpHeadlessPlay(args.level, args.dataFolder, args.seed, args.difficulty, Fps);
    }

    FairnessOptions options;
    options.runs = args.runs;
    options.replanSeconds = args.replan;
    options.seed = args.seed;
    options.fps = Fps;
    options.hold = device.hold;
    options.setClock = device.setClock;
    options.now = RealSeconds;
    const FairnessResult result = MeasureFairness(solution, options);
    CloseAudio();
    if (!result.solutionWins) {
        std::fprintf(stderr, "kolbrix-tool fairness: the solution does not win the level\n");
        std::printf("{\"result\":\"no solution\"}\n");
        return 1;
    }
    std::printf("{\"result\":\"measured\",\"solution\":\"%s\",\"runs\":%d,\"won\":%d,\"replans\":%d,"
                "\"narrowest window\":%d,\"at frame\":%lld,\"key changes\":%d,\"seconds\":%.1f}\n",
                source.c_str(), result.runs, result.won, result.replans, result.narrowestWindow,
                static_cast<long long>(result.narrowestAt), result.changes, RealSeconds());
    return 0;
}
