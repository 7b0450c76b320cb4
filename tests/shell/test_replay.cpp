// Replays: key scripts, and a level completed from a script twice with the same trace.
#include <functional>
#include <string>
#include <vector>

#include "shell/play_screen.h"
#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using Replay = PlayTest;

// Rolls right over a bomb and a flag, under a platform rattling about in its cage, onto the exit; a switch on the
// way starts an elevator, and the bomb is dropped when the script says so.
void BuildCourse() {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    Floor(0, 128 * 24, 512);
    Wall(0, 384);
    Ball(128, 384);
    Pickup(TexBomb, 256, 384);
    Pickup(TexFlag, 512, 384);
    Arrow(5, 1024, 384);
    Elevator(128 * 26, 1024);
    Wall(128 * 26, 0);
    Platform(1536, 0, 7, 9);
    Floor(1280, 2048, -128);    // the cage
    Floor(1280, 2048, 256);
    Wall(1280, 0);
    Wall(1280, 128);
    Wall(2048, 0);
    Wall(2048, 128);
    Hazard(TexExit, 128 * 20, 384);
    Finish();
    level.timeLimit = 60;
}

const char* const Solution =
    "# a short wait, then right all the way, with a bomb on the way\n"
    "20\n"
    "40 right\n"
    "2 right+space   # the first second is over at the second of these frames\n"
    "200 RIGHT   # names in any case\n";

std::vector<std::string> Trace(ReplayResult& result, const std::string& script, std::int64_t maxFrames = 1000,
                               const std::function<void(ReplayOptions&)>& adjust = nullptr) {
    UseHeadless();
    HeadlessAudioReset();
    InitAudio();
    BuildCourse();
    score = 0;                  // as the menu does before every level
    SeedRandom(1);
    List<InputSegment> segments;
    std::string error;
    EXPECT_TRUE(ParseInputScript(script, segments, error)) << error;
    Headless.frameTime = 1.0 / 60;
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    std::vector<std::string> lines;
    ReplayOptions options;
    options.maxFrames = maxFrames;
    options.trace = [&](const std::string& line) { lines.push_back(line); };
    if (adjust) adjust(options);
    result = RunReplay(segments, options, device);
    lines.push_back(ResultLine(result.completed, result.frames));
    return lines;
}

TEST_F(Replay, TheSameScriptAndSeedGiveTheSameTraceTwice) {
    ReplayResult first, second;
    const std::vector<std::string> one = Trace(first, Solution);
    const std::vector<std::string> two = Trace(second, Solution);
    EXPECT_TRUE(first.completed);
    EXPECT_EQ(one, two);
    ASSERT_GT(one.size(), 100u);
    EXPECT_EQ(static_cast<std::int64_t>(one.size()), first.frames + 1);
    // The bomb picked up and dropped, the switch and the exit all happened.
    EXPECT_EQ(one.back().rfind("{\"result\":\"completed\",\"score\":", 0), 0u) << one.back();
    EXPECT_NE(one[60].find("\"bombs\":1"), std::string::npos) << one[60];
    EXPECT_NE(one[61].find("\"bombs\":0"), std::string::npos) << one[61];
    EXPECT_NE(one[one.size() - 2].find("\"switch\":-1"), std::string::npos) << one[one.size() - 2];
    EXPECT_EQ(one[0].rfind("{\"frame\":1,\"x\":128,\"y\":384,\"vx\":0,\"vy\":8.3333333333333339,", 0), 0u) << one[0];
}

TEST_F(Replay, AnotherSeedMovesThePlatformDifferently) {
    ReplayResult first, second;
    const std::vector<std::string> one = Trace(first, Solution);
    const double platformX = level.platformLayer[1].x, platformY = level.platformLayer[1].y;
    UseHeadless();
    HeadlessAudioReset();
    InitAudio();
    BuildCourse();
    SeedRandom(2);
    List<InputSegment> segments;
    std::string error;
    ASSERT_TRUE(ParseInputScript(Solution, segments, error));
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    RunReplay(segments, ReplayOptions{}, device);
    EXPECT_TRUE(level.platformLayer[1].x != platformX || level.platformLayer[1].y != platformY);
}

TEST_F(Replay, EscapeComesAfterTheFrameLimit) {
    ReplayResult result;
    const std::vector<std::string> lines = Trace(result, "", 30);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.frames, 31);
    EXPECT_EQ(lines.back().rfind("{\"result\":\"not completed\",\"score\":0,\"frames\":31,", 0), 0u) << lines.back();
}

TEST_F(Replay, AKeyOfTheBufferIsReadOnItsSegmentsFirstFrame) {
    ReplayResult result;
    Trace(result, "5 right\n3 esc\n");
    EXPECT_EQ(result.frames, 6);
    MusicOn = 0;
    Trace(result, "2\n1 m\n1 esc");
    EXPECT_EQ(result.frames, 4);
    EXPECT_EQ(MusicOn, -1);
}

TEST_F(Replay, LeavingEndsTheReplayAtTheFrameItSays) {
    ReplayResult result;
    std::vector<std::int64_t> asked;
    const std::vector<std::string> lines = Trace(result, Solution, 1000, [&](ReplayOptions& options) {
        options.leave = [&](std::int64_t frame) {
            asked.push_back(frame);
            return frame == 25;
        };
    });
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(result.frames, 25);
    EXPECT_EQ(lines.size(), 26u);
    ASSERT_EQ(asked.size(), 25u);
    EXPECT_EQ(asked.front(), 1);
    EXPECT_EQ(asked.back(), 25);
}

// Under the game's pacing the clock is the platform's (the headless one advances by its frame time at every
// present) and each frame's step is the time the frame took; under the replay's own pacing the replay sets the
// clock to 1 / fps a frame.
TEST_F(Replay, UnderTheGamesPacingEachStepIsTheTimeTheFrameTook) {
    for (const bool gamePacing : {false, true}) {
        SCOPED_TRACE(gamePacing);
        std::vector<double> steps, clocks;
        ReplayResult result;
        Trace(result, Solution, 40, [&](ReplayOptions& options) {
            Headless.frameTime = 0.018;     // longer than the pacing's shortest frame, so it never waits
            Headless.clock = 500;
            options.gamePacing = gamePacing;
            options.afterFrame = [&](std::int64_t) {
                steps.push_back(frameStep);
                clocks.push_back(PlatformClock());
            };
        });
        ASSERT_EQ(steps.size(), 41u);
        for (size_t i = 1; i < steps.size(); ++i) {
            SCOPED_TRACE(i);
            if (gamePacing) {
                EXPECT_NEAR(steps[i], 25 * 0.018, 1e-9);
                EXPECT_NEAR(clocks[i] - clocks[i - 1], 0.018, 1e-9);
            } else {
                EXPECT_NEAR(clocks[i] - clocks[i - 1], 1.0 / 60, 1e-9);
            }
        }
    }
}

struct ScriptCase {
    const char* name;
    const char* text;
    bool ok;
    const char* error;          // the start of the message
};

void PrintTo(const ScriptCase& c, std::ostream* out) { *out << c.name; }

class Script : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(Script, ScriptsAreReadOrRefusedWithTheLine) {
    List<InputSegment> segments;
    std::string error;
    EXPECT_EQ(ParseInputScript(GetParam().text, segments, error), GetParam().ok);
    if (!GetParam().ok) {
        EXPECT_EQ(error.rfind(GetParam().error, 0), 0u) << error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Script,
    ::testing::Values(ScriptCase{"empty", "", true, ""},
                      ScriptCase{"comments", "# x\n\n  # y\n10 left # z\n", true, ""},
                      ScriptCase{"everyKey",
                                 "1 left+right+down+up+space+tab+ctrl+minus+enter+scrolllock+f8+f9+f10+f11+f12+esc+m",
                                 true, ""},
                      ScriptCase{"zeroFrames", "5\n0 left", false, "line 2: "},
                      ScriptCase{"noCount", "left", false, "line 1: "},
                      ScriptCase{"negative", "-3 left", false, "line 1: "},
                      ScriptCase{"unknownKey", "3 lft", false, "line 1: unknown key 'lft'"},
                      ScriptCase{"spaces", "3 left + right", false, "line 1: "},
                      ScriptCase{"emptyKey", "3 left++right", false, "line 1: unknown key ''"}));

TEST(ScriptText, WritingAndReadingGiveTheSameSegments) {
    List<InputSegment> segments;
    std::string error;
    ASSERT_TRUE(ParseInputScript("3\n2 Right+SPACE\n1 esc\n4 f12+m+ctrl\n", segments, error)) << error;
    ASSERT_EQ(segments.Count(), 4);
    EXPECT_EQ(segments[2].held, (std::vector<int>{ScanRight, ScanSpace}));
    EXPECT_EQ(segments[3].buffered, (std::vector<std::string>{"\x1B"}));
    const std::string text = FormatInputScript(segments);
    EXPECT_EQ(text, "3\n2 right+space\n1 esc\n4 ctrl+f12+m\n");
    List<InputSegment> again;
    ASSERT_TRUE(ParseInputScript(text, again, error));
    EXPECT_EQ(FormatInputScript(again), text);
}

}  // namespace
// Escape and the close button are read on the frame after they are pressed, however many keys that play does not
// act on (auto-repeats of a held arrow, letters) wait in front of them; those are dropped, never left for later.
TEST_F(Replay, EscapeIsNotQueuedBehindRepeatedKeys) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        std::int64_t leavesAt;
        bool musicSwitched;
    };
    const std::string right = "\xFF" "M", left = "\xFF" "K";
    const Case cases[] = {
        {"escape behind 300 repeats", std::vector<std::string>(300, right), 1, false},
        {"close behind repeats and letters", {right, "a", left, "q", right}, 1, false},
        {"music, then repeats, then escape", {"m", right, right, right}, 2, true},
    };
    for (const Case& c : cases) {
        UseHeadless();
        HeadlessAudioReset();
        InitAudio();
        BuildCourse();
        SeedRandom(1);
        Headless.frameTime = 1.0 / 60;
        MusicOn = -1;
        for (const std::string& key : c.keys) HeadlessPushKey(key);
        HeadlessPushKey(std::string(c.name).rfind("close", 0) == 0 ? "\xFF" "k" : "\x1B");
        std::int64_t frames = 0;
        playIterationHook = [&] { return ++frames >= 100; };
        PlayLevel();
        playIterationHook = nullptr;
        EXPECT_EQ(attempt.playIteration, c.leavesAt) << c.name;
        EXPECT_EQ(MusicOn, c.musicSwitched ? 0 : -1) << c.name;
        EXPECT_TRUE(Headless.keys.empty()) << c.name;
    }
}

}  // namespace playtest
