// A demo plays exactly as `kolbrix-tool play` plays the same key script headless: shipped levels with their recorded
// solutions reach the exit on the same frame with the same level clock and score to the last bit, whatever the
// game's clock read before, whatever keys the player holds and whatever cheats the run had on; and the run's
// switches are as they were afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "gfx/display.h"
#include "shell/demo.h"
#include "shell/menu.h"
#include "tests/play/built_level.h"

namespace {

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Demo, PlaysExactlyAsTheToolPlaysTheScript) {
    struct Case {
        const char* pack;
        double clock;           // the game's clock before the demo
    };
    for (const Case& c : {Case{"Kolbrix", 4321.0987}, Case{"Episode 1", 20.5}, Case{"Episode 2", 999.75},
                          Case{"Classic", 1000.0}}) {
        const char* pack = c.pack;
        SCOPED_TRACE(pack);
        const std::string level = std::string(KOLBRIX_GAME_DIR) + "/lvlpck" + pack + "/001.kbx";
        const std::string keys =
            ReadText(std::filesystem::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs" / pack / "001.keys");
        ASSERT_FALSE(keys.empty());

        score = 0;      // as the tool starts its run
        const ReplayResult tool = PlayBuiltLevel(level, keys, 100000);
        ASSERT_TRUE(tool.completed);
        const double elapsed = attempt.elapsedTime;
        const std::int32_t points = score;

        // The game as a player might leave it: a clock far from the tool's start, another frame time, the left
        // arrow held, cheats on (god mode changes play) and another difficulty.
        ASSERT_TRUE(LoadBuiltLevel(level));
        Headless.clock = c.clock;
        Headless.frameTime = 0.02;
        Headless.held[ScanLeft] = true;
        playRun.cheatsOn = playRun.godMode = -1;
        playRun.Difficulty = 2;
        const PlayRun before = playRun;
        frameOverlay = nullptr;
        std::int64_t frames = 0;
        bool completed = false;
        menuHooks.demoPlayed = [&](bool reached, std::int64_t played, std::int32_t) {
            completed = reached;
            frames = played;
        };
        DemoSetup demo;
        demo.level = level;
        demo.keys = keys;
        demo.difficulty = 0;
        EXPECT_TRUE(PlayDemo(demo));
        menuHooks = MenuHooks{};
        SetProgramFolder("");

        EXPECT_TRUE(completed);
        EXPECT_EQ(frames, tool.frames);
        EXPECT_EQ(attempt.elapsedTime, elapsed) << "the level clock differs";
        EXPECT_EQ(score, points);
        EXPECT_EQ(playRun.Difficulty, before.Difficulty);
        EXPECT_EQ(playRun.godMode, before.godMode);
        EXPECT_EQ(playRun.cheatsOn, before.cheatsOn);
        EXPECT_EQ(frameOverlay, nullptr);
        EXPECT_FALSE(Headless.held[ScanLeft]) << "the script let go of every key it could hold";
        EXPECT_DOUBLE_EQ(Headless.clock, std::max(c.clock, DemoStartClock) + static_cast<double>(frames) / 60)
            << "the game's clock goes on, never behind a reading taken before or during the demo";
    }
}

// The level screen's demo shows a pack's recorded solution at the player's own difficulty when it wins there: every
// shipped solution does, at every difficulty (more time, and more bombs for its presses of Space to drop).
TEST(Demo, EveryShippedSolutionWinsAtEveryDifficulty) {
    namespace fs = std::filesystem;
    int solutions = 0;
    for (const fs::directory_entry& pack : fs::directory_iterator(fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs")) {
        if (!pack.is_directory()) continue;
        for (const fs::directory_entry& file : fs::directory_iterator(pack.path())) {
            if (file.path().extension() != ".keys") continue;
            const std::string name = pack.path().filename().string() + "/" + file.path().stem().string();
            const std::string level = std::string(KOLBRIX_GAME_DIR) + "/lvlpck" + pack.path().filename().string() +
                                      "/" + file.path().stem().string() + ".kbx";
            const std::string keys = ReadText(file.path());
            EXPECT_EQ(ReadText(fs::path(level).replace_extension(".keys")), keys)
                << name << ": the build puts the solution beside the level";
            for (std::int32_t difficulty = 1; difficulty <= 3; ++difficulty) {
                SCOPED_TRACE(name + " at difficulty " + std::to_string(difficulty));
                playRun.Difficulty = difficulty;
                LoadBuiltLevel(level);
                List<InputSegment> script;
                std::string error;
                ASSERT_TRUE(ParseInputScript(keys, script, error)) << error;
                ReplayDevice device;
                device.hold = [](int code, bool held) { Headless.held[code] = held; };
                device.push = [](const std::string& key) { HeadlessPushKey(key); };
                device.setClock = [](double seconds) { Headless.clock = seconds; };
                playRun.Difficulty = difficulty;    // LoadBuiltLevel starts the run afresh
                ReplayOptions options;
                options.maxFrames = 100000;
                EXPECT_TRUE(RunReplay(script, options, device).completed);
                SetProgramFolder("");
            }
            ++solutions;
        }
    }
    EXPECT_GT(solutions, 0);
    playRun = PlayRun{};
}

// A script that does not read, or a level that does not load, plays nothing.
TEST(Demo, NothingPlaysWithoutAScriptOrALevel) {
    UseHeadless();
    const std::int64_t framesBefore = Headless.frame;
    DemoSetup demo;
    demo.level = std::string(KOLBRIX_GAME_DIR) + "/lvlpckKolbrix/001.kbx";
    demo.keys = "ten right\n";
    EXPECT_FALSE(PlayDemo(demo));
    demo.keys = "10 right\n";
    demo.level = "/nonexistent/001.kbx";
    playRun.Difficulty = 3;
    EXPECT_FALSE(PlayDemo(demo));
    EXPECT_EQ(playRun.Difficulty, 3);
    EXPECT_EQ(Headless.frame, framesBefore);
    playRun = PlayRun{};
}

}  // namespace
