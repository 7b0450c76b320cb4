// The level solver on small levels built from sources: it finds a way where there is one, and the keys it returns
// win when replayed from a fresh load; it answers "not winnable" where the walls shut the exit or a flag away, and
// where the search runs out of states without a win.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "play/level_source.h"
#include "shell/fairness.h"
#include "shell/level_load.h"
#include "shell/solver.h"
#include "tests/play/built_level.h"

namespace {

namespace fs = std::filesystem;

struct SmallLevel {
    const char* name;
    const char* map;            // walls (s), exit (E), flags (F), bombs (B); the ball starts at the first 'o'
    const char* cracks;         // a second map of cracks (%), or ""
    SolveOutcome expected;
    bool byWalls;               // NotWinnable: proved by the map of cells, without a search
};

const SmallLevel SmallLevels[] = {
    {"roll to the exit",
     "|sssssssss\n"
     "|s.......s\n"
     "|so.....Es\n"
     "|sssssssss\n",
     "", SolveOutcome::Solved, false},
    {"a flag behind the ball first",
     "|ssssssssssss\n"
     "|s..........s\n"
     "|sF...o....Es\n"
     "|ssssssssssss\n",
     "", SolveOutcome::Solved, false},
    {"down a shaft and along",
     "|ssssssssss\n"
     "|so.......s\n"
     "|ssss.sssss\n"
     "|s........s\n"
     "|sE.......s\n"
     "|ssssssssss\n",
     "", SolveOutcome::Solved, false},
    {"a bomb for a cracked wall",
     "|ssssssssss\n"
     "|s....s...s\n"
     "|soB..s..Es\n"
     "|ssssssssss\n",
     "|\n|\n|.....%\n", SolveOutcome::Solved, false},
    {"the exit walled in",
     "|ssssssssss\n"
     "|s.....s.ss\n"
     "|so...sEs.s\n"
     "|ssssssssss\n",
     "", SolveOutcome::NotWinnable, true},
    {"a flag walled in",
     "|ssssssssss\n"
     "|s.....sss.\n"
     "|so...EsFs.\n"
     "|ssssssssss\n",
     "", SolveOutcome::NotWinnable, true},
    {"the exit on a ledge out of reach",
     "|ssssssssss\n"
     "|s......E.s\n"
     "|s......sss\n"
     "|s........s\n"
     "|so.......s\n"
     "|ssssssssss\n",
     "", SolveOutcome::NotWinnable, false},
};

void PrintTo(const SmallLevel& level, std::ostream* out) { *out << level.name; }

// The source of a small level: its map, with the ball where the 'o' is.
std::string SourceOf(const SmallLevel& small, const std::string& timeLimit = "30") {
    std::string map = small.map;
    int row = 0, column = 0, ballX = 128, ballY = 128;
    for (size_t i = 0; i < map.size(); ++i) {
        if (map[i] == '\n') ++row, column = -1;
        else if (map[i] == 'o') ballX = (column - 1) * 128, ballY = row * 128, map[i] = '.';
        ++column;
    }
    std::string source = "kolbrix-level 1\ntitle \"Small\"\ntime-limit " + timeLimit + "\nbackground txtpckMain sky\n";
    source += "ball txtpckMain ball " + std::to_string(ballX) + " " + std::to_string(ballY) + "\n";
    source += "legend s wall txtpckMain stone\nlegend E hazard txtpckMain exit\n";
    source += "legend F pickup txtpckMain flag\nlegend B pickup txtpckMain bomb\nlegend % crack txtpckMain crack\n";
    source += "map 0 0\n" + map;
    if (*small.cracks) source += "map 0 0\n" + std::string(small.cracks);
    return source;
}

double Now() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

SolveOptions HeadlessOptions(double budget) {
    SolveOptions options;
    options.budgetSeconds = budget;
    options.hold = [](int code, bool held) { Headless.held[code] = held; };
    options.setClock = [](double seconds) { Headless.clock = seconds; };
    options.now = Now;
    return options;
}

class SmallLevelFixture : public ::testing::Test {
protected:
    void SetUp() override { path = (fs::temp_directory_path() / "kolbrix-solver-test.kbx").string(); }
    void TearDown() override {
        std::error_code ignored;
        fs::remove(path, ignored);
        SetProgramFolder("");
    }
    // Builds the small level into `path` with the program folder's catalogue.
    void Build(const SmallLevel& small, const std::string& timeLimit = "30") {
        UseHeadless();
        SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
        LoadTexturePackNames();
        TakeCatalogueDefaults();
        std::string music, error;
        List<LevelHints> hints;
        ASSERT_TRUE(ReadLevelSource(SourceOf(small, timeLimit), music, hints, error)) << error;
        ASSERT_TRUE(SaveLevel(path));
    }
    std::string path;
};

class Solver : public SmallLevelFixture, public ::testing::WithParamInterface<SmallLevel> {};

TEST_P(Solver, AnswersTheSmallLevel) {
    const SmallLevel& small = GetParam();
    ASSERT_NO_FATAL_FAILURE(Build(small));
    ASSERT_TRUE(LoadBuiltLevel(path));
    const double started = Now();
    const SolveResult result = SolveLevel(HeadlessOptions(10));
    const double took = Now() - started;
    EXPECT_EQ(result.outcome, small.expected) << result.last.states << " states";
    EXPECT_LT(took, 10.0);
    if (small.expected == SolveOutcome::NotWinnable) {
        EXPECT_EQ(result.provedByCells, small.byWalls);
    }
    if (result.outcome != SolveOutcome::Solved) return;

    // The keys win when replayed as `kolbrix-tool play` replays them, and they reach the exit on the frame found.
    ASSERT_TRUE(LoadBuiltLevel(path));
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    std::int64_t reached = 0;
    ReplayOptions options;
    options.afterFrame = [&](std::int64_t frame) {
        if (reached == 0 && level.winCounter != 0) reached = frame;
    };
    EXPECT_TRUE(RunReplay(result.script, options, device).completed) << FormatInputScript(result.script);
    EXPECT_EQ(reached, result.scriptFrames);
}

INSTANTIATE_TEST_SUITE_P(SmallLevels, Solver, ::testing::ValuesIn(SmallLevels));

// Fairness on the first small level, held Right from the first frame to the exit. With time to spare every run of
// the person model wins and the key change has the widest window measured; with a limit only three frames longer
// than the run, the change may come at most three frames late, and the runs whose error is later lose.
using Fairness = SmallLevelFixture;

TEST_F(Fairness, TheWindowIsTheFramesTheLimitLeavesAndLateRunsLose) {
    List<InputSegment> solution;
    std::string error;
    ASSERT_TRUE(ParseInputScript("600 right\n", solution, error));
    FairnessOptions options;
    options.hold = [](int code, bool held) { Headless.held[code] = held; };
    options.setClock = [](double seconds) { Headless.clock = seconds; };
    options.now = Now;
    options.replanSeconds = 0.5;

    ASSERT_NO_FATAL_FAILURE(Build(SmallLevels[0]));
    // The level clock when the exit is reached, the solution played exactly.
    ASSERT_TRUE(LoadBuiltLevel(path));
    double arrival = 0;
    ReplayOptions replay;
    replay.afterFrame = [&](std::int64_t) {
        if (arrival == 0 && level.winCounter != 0) arrival = attempt.elapsedTime;
    };
    ReplayDevice device;
    device.hold = options.hold;
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = options.setClock;
    ASSERT_TRUE(RunReplay(solution, replay, device).completed);
    ASSERT_GT(arrival, 0);

    ASSERT_TRUE(LoadBuiltLevel(path));
    const FairnessResult easy = MeasureFairness(solution, options);
    EXPECT_TRUE(easy.solutionWins);
    EXPECT_EQ(easy.won, options.runs);
    EXPECT_EQ(easy.narrowestWindow, 1 + options.widestWindow);

    // The time-up comes once the clock passes the limit: a limit 3.5 frames past the arrival lets it come 3 late.
    char limit[40];
    std::snprintf(limit, sizeof limit, "%.9f", arrival + 3.5 / 60);
    ASSERT_NO_FATAL_FAILURE(Build(SmallLevels[0], limit));
    ASSERT_TRUE(LoadBuiltLevel(path));
    const FairnessResult tight = MeasureFairness(solution, options);
    EXPECT_TRUE(tight.solutionWins);
    EXPECT_EQ(tight.narrowestWindow, 4);
    EXPECT_EQ(tight.narrowestAt, 1);
    EXPECT_LT(tight.won, tight.runs);
    EXPECT_GT(tight.won, 0);
}

TEST(SolverProgress, NamesTheStatesTheBestStateAndTheTime) {
    SolveProgress progress;
    progress.states = 1234;
    progress.flagsLeft = 2;
    progress.cellsToGo = 7;
    progress.seconds = 3.31;
    EXPECT_EQ(ProgressLine(progress), "states 1234  best: 2 flags left, 7 cells from the next  3.3 s");
    progress.flagsLeft = 0;
    EXPECT_EQ(ProgressLine(progress), "states 1234  best: all flags taken, 7 cells from the exit  3.3 s");
}

}  // namespace
