// Best runs: the file reads back what was written and refuses anything else with a reason; the shipped solutions,
// made best runs, play back to their score, frames and level clock to the last bit and stay small; a level played
// from the level screen is recorded so that its best run replays it exactly, and racing a ghost changes nothing of
// the play; the files follow the editor's renumbering and go with their player.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "gfx/board.h"
#include "gfx/display.h"
#include "shell/best_runs.h"
#include "shell/demo.h"
#include "tests/play/built_level.h"
#include "tests/shell/pack_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

BestRun SmallRun() {
    BestRun run;
    run.levelHash = 0x0123456789ABCDEFull;
    run.player = "anna";
    run.date = "12-11-2026";
    run.seed = 4000000000u;
    run.difficulty = 3;
    run.cheats = CheatsOnBit | GodModeBit;
    run.score = 12345;
    run.frames = 700;
    run.elapsed = 11.65 + 1e-13;
    run.flags = 3;
    run.bombs = 1;
    std::string error;
    EXPECT_TRUE(ParseInputScript("100\n200 left+space\n1 esc\n300 right+up+ctrl\n99 f12+m\n", run.inputs, error));
    return run;
}

std::string Fields(const BestRun& run) {
    char elapsed[40];
    std::snprintf(elapsed, sizeof elapsed, "%.17g", run.elapsed);
    return run.gameVersion + "|" + std::to_string(run.levelHash) + "|" + run.player + "|" + run.date + "|" +
           std::to_string(run.seed) + "|" + std::to_string(run.difficulty) + "|" + std::to_string(run.cheats) + "|" +
           std::to_string(run.score) + "|" + std::to_string(run.frames) + "|" + elapsed + "|" +
           std::to_string(run.flags) + "|" + std::to_string(run.bombs) + "|" + FormatInputScript(run.inputs);
}

TEST(BestRunFile, ReadsBackEveryFieldItWrote) {
    const BestRun run = SmallRun();
    BestRun read;
    std::string error;
    ASSERT_TRUE(DecodeBestRun(EncodeBestRun(run), read, error)) << error;
    EXPECT_EQ(Fields(read), Fields(run));
}

TEST(BestRunFile, ADamagedOrCutFileSaysWhyAndNeverReads) {
    const std::string bytes = EncodeBestRun(SmallRun());
    BestRun read;
    std::string error;
    // Cut at every length, and every byte changed.
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        EXPECT_FALSE(DecodeBestRun(bytes.substr(0, length), read, error)) << "cut at " << length;
        EXPECT_FALSE(error.empty());
    }
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x24);
        EXPECT_FALSE(DecodeBestRun(changed, read, error)) << "byte " << at;
        EXPECT_FALSE(error.empty());
    }
    struct Case { std::string bytes; const char* says; };
    std::string newer = bytes;
    newer[4] = 2;
    const Case cases[] = {
        {"", "not a best run"},
        {"KBRN", "not a best run"},
        {"PK\x03\x04 some other file", "not a best run"},
        {newer, "format 2"},
        {bytes + "x", "check does not match"},
        {std::string(MaxBestRunBytes + 1, 'K'), "too long"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(DecodeBestRun(c.bytes, read, error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(BestRunFile, TheBetterRunHasMorePointsOrTheSameInLessTime) {
    BestRun a, b;
    a.score = 100;
    a.elapsed = 20;
    b = a;
    EXPECT_FALSE(BetterRun(a, b));
    b.elapsed = 20.5;
    EXPECT_TRUE(BetterRun(a, b));
    b.score = 101;
    EXPECT_FALSE(BetterRun(a, b));
    EXPECT_TRUE(BetterRun(b, a));
}

// ---- Shipped solutions as best runs --------------------------------------------------------------------------

struct Shipped { std::string pack; std::string number; };

std::vector<Shipped> AllShippedSolutions() {
    std::vector<Shipped> all;
    for (const auto& pack : fs::directory_iterator(fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs"))
        for (const auto& file : fs::directory_iterator(pack.path()))
            if (file.path().extension() == ".keys")
                all.push_back({pack.path().filename().string(), file.path().stem().string()});
    std::sort(all.begin(), all.end(), [](const Shipped& a, const Shipped& b) {
        return a.pack != b.pack ? a.pack < b.pack : a.number < b.number;
    });
    return all;
}

std::string LevelOf(const Shipped& s) {
    return std::string(KOLBRIX_GAME_DIR) + "/lvlpck" + s.pack + "/" + s.number + ".kbx";
}

// The shipped solution as a best run: played as the tool plays it (seed 1, difficulty 0), its result kept.
BestRun SolutionAsBestRun(const Shipped& s, bool& completed) {
    const std::string keys =
        ReadText(fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs" / s.pack / (s.number + ".keys"));
    BestRun run;
    std::string error;
    EXPECT_TRUE(ParseInputScript(keys, run.inputs, error)) << error;
    score = 0;
    const ReplayResult result = PlayBuiltLevel(LevelOf(s), keys, 100000);
    completed = result.completed;
    run.player = "solution";
    run.levelHash = LevelHash(ReadText(LevelOf(s)));
    run.score = score;
    run.frames = result.frames;
    run.elapsed = attempt.elapsedTime;
    return run;
}

// Plays a best run as `kolbrix-tool replay` does: its switches, its seed, the level, then RunReplay.
ReplayResult ReplayBestRun(const BestRun& run, const std::string& levelPath) {
    EXPECT_TRUE(LoadBuiltLevel(levelPath));
    EXPECT_TRUE(StartBestRunPlay(run, levelPath));
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    ReplayOptions options;
    options.maxFrames = run.frames + DemoFramesAfterScript;
    Headless.clock = DemoStartClock;
    const ReplayResult result = RunReplay(run.inputs, options, device);
    SetProgramFolder("");
    return result;
}

TEST(ShippedBestRuns, ASubsetPlaysBackToItsScoreFramesAndClock) {
    const std::vector<Shipped> all = AllShippedSolutions();
    ASSERT_GE(all.size(), 20u);
    // Every sixth level: each pack's, the long ones and the short ones. KOLBRIX_EVERY_SHIPPED_RUN=1 plays them all.
    const std::size_t stride = std::getenv("KOLBRIX_EVERY_SHIPPED_RUN") ? 1 : 6;
    for (std::size_t n = 0; n < all.size(); n += stride) {
        const Shipped& s = all[n];
        SCOPED_TRACE(s.pack + "/" + s.number);
        bool completed = false;
        const BestRun made = SolutionAsBestRun(s, completed);
        ASSERT_TRUE(completed);
        BestRun run;
        std::string error;
        ASSERT_TRUE(DecodeBestRun(EncodeBestRun(made), run, error)) << error;
        const ReplayResult result = ReplayBestRun(run, LevelOf(s));
        EXPECT_TRUE(result.completed);
        EXPECT_EQ(result.frames, run.frames);
        EXPECT_EQ(score, run.score);
        EXPECT_EQ(attempt.elapsedTime, run.elapsed) << "the level clock to the last bit";
    }
}

// At most 3 KB for two minutes of play: every shipped solution's best run, its size printed for the record.
TEST(ShippedBestRuns, EverySolutionIsAFewKilobytesAtMost) {
    std::size_t largest = 0;
    for (const Shipped& s : AllShippedSolutions()) {
        bool completed = false;
        const BestRun run = SolutionAsBestRun(s, completed);
        const std::size_t size = EncodeBestRun(run).size();
        const double minutes = static_cast<double>(run.frames) / DemoFramesPerSecond / 60;
        std::cout << "best run size " << s.pack << "/" << s.number << ": " << size << " bytes, " << run.frames
                  << " frames, " << run.inputs.Count() << " key segments\n";
        EXPECT_LE(static_cast<double>(size), 3072 * std::max(1.0, minutes / 2)) << s.pack << "/" << s.number;
        largest = std::max(largest, size);
    }
    std::cout << "largest best run: " << largest << " bytes\n";
}

// ---- Recording a level played from the level screen -------------------------------------------------------

List<InputSegment> SolutionKeys(const Shipped& s) {
    List<InputSegment> script;
    std::string error;
    EXPECT_TRUE(ParseInputScript(
        ReadText(fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs" / s.pack / (s.number + ".keys")), script, error));
    return script;
}

// Plays `s` as the level screen does (PlayRecordedLevel) with the keys of `script` held frame by frame as a player
// would hold them; the trace of every frame and the ghost race's notes are kept.
bool PlayLikeAPlayer(const Shipped& s, const List<InputSegment>& script, const BestRun* ghost, BestRun& recorded,
                     std::vector<std::string>& trace, std::vector<std::string>& notes) {
    EXPECT_TRUE(LoadBuiltLevel(LevelOf(s)));
    frameOverlay = nullptr;
    SeedRandom(77);
    std::vector<bool> heldAt;
    auto holdFor = [&](std::int64_t frame) {
        std::int64_t start = 1;
        for (const InputSegment& segment : script) {
            if (frame < start + segment.frames) {
                for (int code : ScriptScanCodes())
                    Headless.held[code] = std::find(segment.held.begin(), segment.held.end(), code) !=
                                          segment.held.end();
                if (frame == start)
                    for (const std::string& key : segment.buffered) HeadlessPushKey(key);
                return;
            }
            start += segment.frames;
        }
        for (int code : ScriptScanCodes()) Headless.held[code] = false;
    };
    holdFor(1);
    ReplayOptions options;
    options.trace = [&](const std::string& line) { trace.push_back(line); };
    options.afterFrame = [&](std::int64_t frame) {
        if (!ghostRace.note.empty() && (notes.empty() || notes.back() != ghostRace.note))
            notes.push_back(ghostRace.note);
        holdFor(frame + 1);
    };
    options.leave = [](std::int64_t frame) { return frame > 20000; };
    const bool completed = PlayRecordedLevel(LevelOf(s), ghost, recorded, options);
    for (int code : ScriptScanCodes()) Headless.held[code] = false;
    SetProgramFolder("");
    return completed;
}

TEST(RecordedPlay, TheRecordingReplaysThePlayExactly) {
    const std::vector<Shipped> all = AllShippedSolutions();
    for (std::size_t n : {std::size_t{0}, all.size() / 2, all.size() - 1}) {
        const Shipped& s = all[n];
        SCOPED_TRACE(s.pack + "/" + s.number);
        BestRun recorded;
        std::vector<std::string> trace;
        std::vector<std::string> notes;
        playRun = PlayRun{};
        const bool completed = PlayLikeAPlayer(s, SolutionKeys(s), nullptr, recorded, trace, notes);
        const std::int32_t points = score;
        const double elapsed = attempt.elapsedTime;
        EXPECT_EQ(recorded.score, points);
        EXPECT_EQ(recorded.elapsed, elapsed);
        EXPECT_EQ(recorded.frames, static_cast<std::int64_t>(trace.size()));
        EXPECT_EQ(recorded.levelHash, LevelHash(ReadText(LevelOf(s))));
        BestRun read;
        std::string error;
        ASSERT_TRUE(DecodeBestRun(EncodeBestRun(recorded), read, error)) << error;
        const ReplayResult replayed = ReplayBestRun(read, LevelOf(s));
        EXPECT_EQ(replayed.completed, completed);
        EXPECT_EQ(replayed.frames, recorded.frames);
        EXPECT_EQ(score, recorded.score);
        EXPECT_EQ(attempt.elapsedTime, recorded.elapsed) << "the level clock to the last bit";
    }
}

TEST(RecordedPlay, RacingAGhostLeavesThePlayAsItIs) {
    const std::vector<Shipped> all = AllShippedSolutions();
    const Shipped& s = all[all.size() / 3];
    SCOPED_TRACE(s.pack + "/" + s.number);
    bool completed = false;
    const BestRun ghost = SolutionAsBestRun(s, completed);
    ASSERT_TRUE(completed);

    LanguageText[LineGhostAhead] = "%1 s ahead";
    LanguageText[LineGhostBehind] = "%1 s behind";
    BestRun alone, raced;
    std::vector<std::string> traceAlone, traceRaced, notesAlone, notesRaced;
    playRun = PlayRun{};
    PlayLikeAPlayer(s, SolutionKeys(s), nullptr, alone, traceAlone, notesAlone);
    const std::uint64_t randomAfterAlone = RandomState();
    playRun = PlayRun{};
    PlayLikeAPlayer(s, SolutionKeys(s), &ghost, raced, traceRaced, notesRaced);
    EXPECT_EQ(RandomState(), randomAfterAlone);
    ASSERT_FALSE(traceAlone.empty());
    EXPECT_EQ(traceRaced, traceAlone);
    EXPECT_EQ(FormatInputScript(raced.inputs), FormatInputScript(alone.inputs));
    EXPECT_EQ(raced.seed, alone.seed);
    EXPECT_TRUE(notesAlone.empty());
    // The player holds the ghost's own keys: level with it at every flag.
    EXPECT_EQ(notesRaced, std::vector<std::string>{"0.00 s ahead"}) << "the heads-up display at each flag";

    // A slower player: the same keys after half a second of waiting is behind the ghost at every flag.
    List<InputSegment> late = SolutionKeys(s);
    InputSegment wait;
    wait.frames = 30;
    late.InsertAt(1, wait);
    BestRun recordedLate;
    std::vector<std::string> traceLate, notesLate;
    playRun = PlayRun{};
    PlayLikeAPlayer(s, late, &ghost, recordedLate, traceLate, notesLate);
    ASSERT_FALSE(notesLate.empty());
    for (const std::string& note : notesLate) EXPECT_NE(note.find(" s behind"), std::string::npos) << note;
}

// ---- Files beside the statistics --------------------------------------------------------------------------

class BestRunFiles : public DataFolderTest {
protected:
    void UsePlayer(const std::string& player) {
        SetList(PackList, {"lvlpckP"});
        PackIndex = 1;
        SetList(PlayerList, {player});
        PlayerIndex = 1;
    }
    // A best run whose score names where it came from.
    void WriteRun(const std::string& player, std::int32_t level, std::int32_t points) {
        BestRun run;
        run.player = player;
        run.score = points;
        Write("lvlpckP/" + player + "." + ZeroPad(level, 3) + ".kbr", EncodeBestRun(run));
    }
    // "-" for no file, "?" for one that does not read, else its score.
    std::string RunAt(const std::string& player, std::int32_t level) {
        const std::string name = "lvlpckP/" + player + "." + ZeroPad(level, 3) + ".kbr";
        if (!Exists(name)) return "-";
        BestRun run;
        std::string error;
        return DecodeBestRun(Read(name), run, error) ? std::to_string(run.score) : "?";
    }
    std::string Runs(const std::string& player) {
        std::string text;
        for (std::int32_t level = 1; level <= 5; ++level) text += RunAt(player, level) + " ";
        return text;
    }
};

TEST_F(BestRunFiles, FollowTheEditorsRenumbering) {
    struct Case { int mode; std::int32_t level; const char* anna; const char* bob; };
    const Case cases[] = {
        {0, 2, "1 3 - 5 - ", "- 13 14 - - "},     // level 2 deleted: 3 to 5 move down one
        {1, 3, "1 3 2 - 5 ", "- 13 12 14 - "},    // level 3 moved up: 2 and 3 trade places
        {2, 3, "1 2 - 3 5 ", "- 12 14 13 - "},    // level 3 moved down: 3 and 4 trade places
        {2, 5, "1 2 3 - - ", "- 12 13 14 - "},    // level 5 and the empty 6: the run moves across
    };
    for (const Case& c : cases) {
        for (const auto& entry : fs::directory_iterator(root)) fs::remove_all(entry.path());
        WriteRun("anna", 1, 1);
        WriteRun("anna", 2, 2);
        WriteRun("anna", 3, 3);
        WriteRun("anna", 5, 5);
        WriteRun("bob", 2, 12);
        WriteRun("bob", 3, 13);
        WriteRun("bob", 4, 14);
        Write("lvlpckP/anna.sts", std::string(8004, '\0'));
        Write("lvlpckP/bob.sts", std::string(8004, '\0'));
        UsePlayer("anna");
        LevelNumber = c.level;
        EXPECT_TRUE(ShiftStatistics(c.mode));
        if (c.mode == 2 && c.level == 5) {
            EXPECT_EQ(Runs("anna"), "1 2 3 - - ");
            EXPECT_EQ(RunAt("anna", 6), "5");
        } else {
            EXPECT_EQ(Runs("anna"), c.anna) << "mode " << c.mode << " level " << c.level;
        }
        EXPECT_EQ(Runs("bob"), c.bob) << "mode " << c.mode << " level " << c.level;
        for (const std::string& name : FolderNames("lvlpckP"))
            EXPECT_EQ(name.find("swap"), std::string::npos) << "no file left in between";
    }
}

TEST_F(BestRunFiles, GoWithTheirPlayerAndNoOtherRun) {
    Write("anna.alp", "lvlpckP\n");
    Write("anna.x.alp", "lvlpckP\n");
    WriteRun("anna", 1, 1);
    WriteRun("anna", 12, 12);
    WriteRun("anna.x", 1, 7);
    Write("lvlpckP/anna.sts", std::string(8004, '\0'));
    SetList(PackList, {"lvlpckP"});
    PackIndex = 1;
    SetList(PlayerList, {"anna", "anna.x"});
    PlayerIndex = 1;
    ASSERT_TRUE(DeletePlayer());
    EXPECT_EQ(FolderNames("lvlpckP"), (std::vector<std::string>{"anna.x.001.kbr"}));
}

TEST_F(BestRunFiles, OnlyABetterRunReplacesTheBestAndAChangedLevelSaysSo) {
    UsePlayer("anna");
    Write("lvlpckP/001.kbx", "the level");
    BestRun run;
    run.player = "anna";
    run.levelHash = LevelHash("the level");
    run.score = 500;
    run.elapsed = 30;
    EXPECT_TRUE(SaveBestRunIfBetter(run, 1));
    run.score = 400;
    EXPECT_FALSE(SaveBestRunIfBetter(run, 1));
    run.score = 500;
    run.elapsed = 31;
    EXPECT_FALSE(SaveBestRunIfBetter(run, 1));
    run.elapsed = 29;
    EXPECT_TRUE(SaveBestRunIfBetter(run, 1));
    const std::string path = (root / "lvlpckP/anna.001.kbr").string();
    LoadedBestRun loaded = LoadBestRun(path, (root / "lvlpckP/001.kbx").string());
    EXPECT_EQ(loaded.state, BestRunState::Playable);
    EXPECT_EQ(loaded.run.elapsed, 29);

    // The level edited: the run says so and a worse one may take its place.
    Write("lvlpckP/001.kbx", "the level, edited");
    EXPECT_EQ(LoadBestRun(path, (root / "lvlpckP/001.kbx").string()).state, BestRunState::LevelChanged);
    run.score = 10;
    EXPECT_TRUE(SaveBestRunIfBetter(run, 1));
    // Another version of the game, and a damaged file.
    BestRun other = run;
    other.gameVersion = "0.1.0";
    Write("lvlpckP/anna.001.kbr", EncodeBestRun(other));
    EXPECT_EQ(LoadBestRun(path, (root / "lvlpckP/001.kbx").string()).state, BestRunState::OtherVersion);
    Write("lvlpckP/anna.001.kbr", EncodeBestRun(other).substr(0, 20));
    loaded = LoadBestRun(path, (root / "lvlpckP/001.kbx").string());
    EXPECT_EQ(loaded.state, BestRunState::Unreadable);
    EXPECT_FALSE(loaded.error.empty());
    EXPECT_EQ(LoadBestRun(path + ".none", "").state, BestRunState::Missing);
}

// W on the level screen: a best run that is not playable says why in a message and is not played.
TEST_F(BestRunFiles, OneThatIsNotPlayableSaysWhyAndIsNotPlayed) {
    UsePlayer("anna");
    Write("lvlpckP/001.kbx", "the level as it is now");
    LevelNumber = 1;
    LanguageText[LineBestRunNotPlayed] = "not played:";
    LanguageText[LineBestRunLevelChanged] = "the level changed";
    LanguageText[LineBestRunOtherVersion] = "made by %1";
    LanguageText[LineBestRunMissing] = "none yet";
    struct Case { std::string version; std::string bytesOfLevel; bool write; const char* line1; const char* line2; };
    const Case cases[] = {
        {GameVersion, "the level as it was", true, "not played:", "the level changed"},
        {"0.1.0", "the level as it is now", true, "not played:", "made by 0.1.0"},
        {GameVersion, "", false, "none yet", ""},
    };
    for (const Case& c : cases) {
        fs::remove(At("lvlpckP/anna.001.kbr"));
        if (c.write) {
            BestRun run;
            run.gameVersion = c.version;
            run.levelHash = LevelHash(c.bytesOfLevel);
            run.player = "anna";
            Write("lvlpckP/anna.001.kbr", EncodeBestRun(run));
        }
        MessageState = 0;
        DialogLine1 = DialogLine2 = "";
        view.MenuActive = -1;
        WatchBestRun();
        EXPECT_EQ(MessageState, 1);
        EXPECT_EQ(DialogLine1, c.line1);
        EXPECT_EQ(DialogLine2, c.line2);
        EXPECT_EQ(view.MenuActive, -1) << "the level screen stays: nothing was played";
    }
}

// ---- kolbrix-tool replay ------------------------------------------------------------------------------------

struct ToolRun { int code = -1; std::string out; };

ToolRun RunTool(const std::string& arguments) {
    ToolRun run;
    const std::string command = std::string(KOLBRIX_BUILD_GAME_DIR) + "/kolbrix-tool " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST_F(BestRunFiles, TheToolPlaysARunAndSaysWhenItsResultDiffers) {
    if (!fs::exists(std::string(KOLBRIX_BUILD_GAME_DIR) + "/kolbrix-tool"))
        GTEST_SKIP() << "kolbrix-tool is not built in this build folder";
    const Shipped s = AllShippedSolutions().front();
    bool completed = false;
    BestRun run = SolutionAsBestRun(s, completed);
    ASSERT_TRUE(completed);
    const std::string level = "--level '" + LevelOf(s) + "'";
    Write("runs/solution.001.kbr", EncodeBestRun(run));
    BestRun other = run;
    other.score += 1;
    Write("runs/other.001.kbr", EncodeBestRun(other));
    Write("runs/cut.001.kbr", EncodeBestRun(run).substr(0, 30));
    const std::string anotherLevel = "--level '" + LevelOf(AllShippedSolutions().back()) + "'";
    struct Case { std::string arguments; int code; const char* says; };
    const Case cases[] = {
        {"'" + At("runs/solution.001.kbr").string() + "' " + level, 0, "\"same\":true"},
        {"'" + At("runs/solution.001.kbr").string() + "' " + level + " --trace", 0, "{\"frame\":1,"},
        {"'" + At("runs/other.001.kbr").string() + "' " + level, 1, "\"same\":false"},
        {"'" + At("runs/solution.001.kbr").string() + "' " + anotherLevel, 2, ""},
        {"'" + At("runs/cut.001.kbr").string() + "' " + level, 2, ""},
        {"'" + At("runs/none.001.kbr").string() + "' " + level, 2, ""},
    };
    for (const Case& c : cases) {
        const ToolRun result = RunTool("replay " + c.arguments);
        EXPECT_EQ(result.code, c.code) << c.arguments;
        EXPECT_NE(result.out.find(c.says), std::string::npos) << c.arguments << "\n" << result.out;
    }
    // --keys: the run as a key script, which plays it again as `kolbrix-tool play` would.
    const ToolRun keys = RunTool("replay '" + At("runs/solution.001.kbr").string() + "' --keys");
    EXPECT_EQ(keys.code, 0);
    List<InputSegment> script;
    std::string error;
    ASSERT_TRUE(ParseInputScript(keys.out, script, error)) << error;
    EXPECT_EQ(FormatInputScript(script), FormatInputScript(run.inputs));
}

}  // namespace
