// The main menu and level progression on the headless back end: screens driven key by key through the menu's own
// key handling, levels played for real, statistics read back from the files.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "shell/demo.h"
#include "shell/language.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/play_screen.h"
#include "shell/progression.h"
#include "tests/play/play_fixture.h"
#include "tests/shell/stand_in_tool.h"

namespace playtest {
namespace {

const std::string Enter = "\r";
const std::string Esc = "\x1B";
const std::string Up = "\xFF" "H";
const std::string Down = "\xFF" "P";
const std::string Left = "\xFF" "K";
const std::string Right = "\xFF" "M";

class Menu : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        std::ifstream english(std::string(KOLBRIX_SOURCE_DIR) + "/assets/lang/english.str", std::ios::binary);
        folder->Write("english.str", std::string(std::istreambuf_iterator<char>(english), {}));
        ListLanguageFiles();
        LanguageFile = "english.str";
        LoadLanguage(LanguageFile);
        menu = MenuState{};
        MessageState = 0;
        menuHooks = MenuHooks{};
        view = BoardView{};
        view.MenuActive = -1;
        frameOverlay = nullptr;
        FirstRun = 0;
        BonusPackUnlocked = 0;
        PlayerList.Clear();
        PlayerIndex = 1;
        PackList.Clear();
        PackIndex = 0;
        modeWidths.Clear();
        modeHeights.Clear();
        lostAttempts = LostAttempts{};
    }
    void TearDown() override {
        frameOverlay = nullptr;
        menuHooks = MenuHooks{};
        Headless.onFrame = nullptr;
        PlayTest::TearDown();
    }

    static const std::string& Text(int line) { return LanguageText[static_cast<size_t>(line)]; }

    void On(std::int32_t screen, std::int32_t cursor = 1) {
        menu.MenuScreen = screen;
        menu.MenuCursor = cursor;
        BuildMenuLines();
    }
    void Press(const std::string& key) {
        MenuKey(key);
        BuildMenuLines();
    }
    // One pass of the menu's wait with the pointer over `line` (0: beside the lines) and `buttons` held, as the
    // frame's drawing reports them.
    std::string PointerPass(std::int32_t line, int buttons, bool& tick) {
        frameOverlay = [line, buttons] {
            menu.MenuHover = line;
            menu.buttons = buttons;
            menu.pointerX = menu.pointerY = line > 0 ? 100 : 5;
        };
        return MenuWaitPass(tick);
    }
    void Type(const std::string& text) {
        for (char c : text) Press(std::string(1, c));
    }
    std::vector<std::string> Lines() const {
        return std::vector<std::string>(menu.MenuLines + 1, menu.MenuLines + 1 + menu.MenuLineCount);
    }

    // A level whose ball drops straight into the exit: completed without a key, worth 500 points a second left.
    void WriteLevel(const std::string& pack, std::int32_t number, double timeLimit = 8) {
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        Floor(0, 512, 384);
        Hazard(TexExit, 128, 256);
        Ball(128, 128);
        level.timeLimit = timeLimit;
        Finish();
        ASSERT_TRUE(SaveLevel(folder->Folder() + pack + "/" + LevelFileName(number)));
    }
    // A level whose ball falls off it (no floor under it), or sits on a floor without an exit until the time is up.
    void WriteLosingLevel(const std::string& pack, std::int32_t number, bool falls) {
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        Floor(falls ? 1024 : 0, falls ? 1024 : 512, 384);
        Ball(128, 256);
        level.timeLimit = falls ? 60 : 1;
        Finish();
        ASSERT_TRUE(SaveLevel(folder->Folder() + pack + "/" + LevelFileName(number)));
    }
    // Plays the level screen's level until `balls` balls are lost, then leaves with Esc.
    void LoseBalls(std::int32_t balls) {
        bool left = false;
        Headless.onFrame = [&](std::int64_t) {
            if (!left && BallsLostInPlay() >= balls) {
                HeadlessPushKey(Esc);
                left = true;
            }
        };
        On(14, 2);
        Press("nr2");
        Headless.onFrame = nullptr;
        EXPECT_EQ(BallsLostInPlay(), balls);
        ASSERT_EQ(menu.MenuScreen, 14);
    }
    void MakePack(const std::string& pack, std::int32_t levels) {
        PlatformMakeFolder(folder->Folder() + pack);
        for (std::int32_t n = 1; n <= levels; ++n) WriteLevel(pack, n);
        ListPacks();
    }
    void MakePlayers(std::initializer_list<const char*> names) {
        for (const char* name : names) folder->Write(std::string(name) + ".alp", "");
        ListPlayers();
    }
    // The given player starts the only pack: straight onto the level screen.
    void StartAs(const char* name) {
        MakePlayers({name});
        On(1, 1);
        Press("nr1");
        Press("nr2");
        ASSERT_EQ(menu.MenuScreen, 14);
    }
    StatsRecord StoredStats(const std::string& pack, const std::string& player) const {
        return DecodeStats(folder->Read(pack + "/" + player + ".sts"));
    }
};

TEST_F(Menu, TheFirstRunStartsOnTheLanguageScreen) {
    for (std::int32_t firstRun : {-1, 0}) {
        FirstRun = firstRun;
        EnterMainMenu();
        BuildMenuLines();
        EXPECT_EQ(menu.MenuScreen, firstRun ? 3 : 1);
        EXPECT_EQ(view.MenuActive, -1);
    }
}

TEST_F(Menu, ANewPlayerIsTypedLowerCasedAndAtMostSevenCharacters) {
    MakePack("lvlpckTest", 1);
    On(1, 1);
    Press("nr1");                                   // nobody yet: straight to typing a name
    ASSERT_EQ(menu.MenuScreen, 15);
    Type("ABCDEFGHIJ");
    EXPECT_EQ(menu.nameLine, "ABCDEFG|");
    Press("\b");
    Type("m!");                                     // "m" is a letter here; "!" is not allowed
    EXPECT_EQ(menu.nameLine, "ABCDEFm|");
    Press(Enter);
    EXPECT_EQ(menu.MenuScreen, 16);
    ASSERT_EQ(PlayerList.Count(), 1);
    EXPECT_EQ(PlayerList[1], "abcdefm");
    EXPECT_TRUE(PlatformFileExists(folder->Folder() + "abcdefm.alp"));

    // The same name again chooses that player instead.
    On(15, 4);
    menu.nameLine = "|";
    Type("AbcdefM");
    Press(Enter);
    EXPECT_EQ(menu.MenuScreen, 18);
    EXPECT_EQ(PlayerList.Count(), 1);
    // An empty name does nothing.
    On(15, 4);
    menu.nameLine = "|";
    Type("  ");
    Press(Enter);
    EXPECT_EQ(menu.MenuScreen, 15);
}

TEST_F(Menu, ThePlayerScreenListsFewPlayersAndManagesMany) {
    MakePack("lvlpckTest", 1);
    MakePlayers({"ann", "bob"});
    On(1, 1);
    Press("nr1");
    EXPECT_EQ(Lines(), (std::vector<std::string>{Text(181), "ann", "bob", "_", Text(182)}));
    EXPECT_EQ(menu.MenuCursor, PlayerIndex + 1);

    MakePlayers({"cid", "dot"});
    PlayerIndex = 2;
    On(1, 1);
    Press("nr1");
    EXPECT_EQ(menu.MenuScreen, 16);
    EXPECT_EQ(menu.MenuLines[1], Text(183) + "bob");
    Press(Right);                                   // Right on the first line: the next player
    EXPECT_EQ(menu.MenuLines[1], Text(183) + "cid");
    On(16, 1);
    Press(Left);
    Press(Left);
    Press(Left);
    EXPECT_EQ(PlayerIndex, 1);                      // not below the first
}

TEST_F(Menu, WithOnePackChoosingAPlayerGoesStraightToTheLevelScreen) {
    MakePack("lvlpckTest", 3);
    playRun.Difficulty = 0;
    StartAs("ann");
    EXPECT_EQ(menu.MenuCursor, 2);
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(playRun.Difficulty, 0);
    EXPECT_EQ(menu.MenuLines[1], Text(173) + "1:");
    EXPECT_EQ(menu.MenuLines[3], "_");              // no previous level on level 1
}

TEST_F(Menu, ThePackScreenListsFewPacksAndStepsThroughManyButNeverStartsTheLockedOne) {
    for (const char* pack : {"lvlpckA", "lvlpckB"}) MakePack(pack, 1);
    MakePlayers({"ann"});
    On(1, 1);
    Press("nr1");
    Press("nr2");
    ASSERT_EQ(menu.MenuScreen, 13);
    EXPECT_EQ(Lines(), (std::vector<std::string>{Text(170), "A", "B", "_", "_"}));
    Press("nr3");
    EXPECT_EQ(menu.MenuScreen, 28);
    EXPECT_EQ(PackIndex, 2);

    for (const char* pack : {"lvlpckC", "lvlpckD", "lvlpckEpisode 4"}) MakePack(pack, 1);
    ASSERT_EQ(PackList.Count(), 5);
    On(13, 2);
    PackIndex = 4;
    Press("nr5");                                   // next: the locked hidden pack, listed last
    EXPECT_EQ(menu.MenuLines[2], "Episode 4 &");
    EXPECT_FALSE(SelectableLine(menu.MenuLines[2]));
    menu.MenuCursor = 2;
    Press("fakeup");                                // the cursor cannot stay on it
    EXPECT_EQ(menu.MenuCursor, 4);
    Press("nr5");                                   // past the last pack: stays
    EXPECT_EQ(PackIndex, 5);
}

TEST_F(Menu, CompletingALevelCountsAWinAndABestThatOnlyABrokenRecordReplaces) {
    MakePack("lvlpckTest", 3);
    StartAs("ann");
    Press("nr2");                                   // play level 1
    ASSERT_EQ(LevelWins[1], 1);
    const std::int32_t first = LevelBest[1];
    EXPECT_GT(first, 0);
    EXPECT_LT(first, DefaultRecordPerLevel);
    EXPECT_EQ(LevelNumber, 2);                      // on to the next level
    EXPECT_EQ(StoredStats("lvlpckTest", "ann").wins[1], 1);

    // A second, better run (more time to spare) that stays below the record keeps the first best.
    LevelNumber = 1;
    LoadLevel("");
    playRun.Difficulty = 3;
    On(14, 2);
    Press("nr2");
    EXPECT_GT(score, first);
    EXPECT_EQ(LevelWins[1], 2);
    EXPECT_EQ(LevelBest[1], first);
    EXPECT_EQ(StoredStats("lvlpckTest", "ann").best[1], first);
}

TEST_F(Menu, SkippingIsRefusedWithNineUnsolvedLevelsBehindExceptForFreerun) {
    struct Case {
        const char* player;
        std::int32_t level;
        std::int32_t screen;
    };
    const Case cases[] = {{"ann", 10, 19}, {"ann", 9, 14}, {"freerun", 10, 14}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.player) + " on level " + std::to_string(c.level));
        std::filesystem::remove_all(folder->path / "lvlpckTest");
        MakePack("lvlpckTest", 12);
        std::filesystem::remove(folder->path / "ann.alp");
        std::filesystem::remove(folder->path / "freerun.alp");
        StartAs(c.player);
        LevelNumber = c.level;
        LoadLevel("");
        On(14, 4);
        Press("nr4");
        EXPECT_EQ(menu.MenuScreen, c.screen);
        if (c.screen == 14) {
            EXPECT_EQ(LevelNumber, c.level + 1);
        }
    }
}

TEST_F(Menu, TheEndOfAPackIsShownOnceAndOnceMoreWhenEveryLevelIsSolvedWhichUnlocksTheHiddenPack) {
    MakePack("lvlpckEpisode 4", 1);
    MakePack("lvlpckTest", 2);
    ASSERT_EQ(PackList[1], "lvlpckEpisode 4 &");
    MakePlayers({"ann"});
    PackIndex = 2;
    SavePlayerPack();
    On(1, 1);
    Press("nr1");
    Press("nr2");
    Press("nr3");                                   // the test pack
    Press("nr2");                                   // hardest
    ASSERT_EQ(menu.MenuScreen, 14);

    LevelNumber = 2;                                // skip level 1, finish the last one
    LoadLevel("");
    On(14, 2);
    Press("nr2");
    EXPECT_EQ(menu.MenuScreen, 27);
    EXPECT_EQ(PackFinished, -1);
    EXPECT_EQ(PackPerfect, 0);
    Press(Enter);                                   // back to the first unsolved level
    EXPECT_EQ(menu.MenuScreen, 14);
    EXPECT_EQ(LevelNumber, 1);

    HeadlessAudioClearEvents();
    Press("nr2");                                   // the last unsolved level: perfect
    EXPECT_EQ(menu.MenuScreen, 27);
    EXPECT_EQ(PackPerfect, -1);
    EXPECT_EQ(BonusPackUnlocked, -1);
    EXPECT_EQ(menu.MenuLines[4], Text(249));
    EXPECT_EQ(TimesPlayed(SoundUnlock, SoundUnlock), 1);
    EXPECT_EQ(PackList[1], "lvlpckEpisode 4");      // listed under its own name now

    Press(Enter);                                   // every level solved: the picture page
    EXPECT_EQ(menu.MenuScreen, 9);
    On(14, 2);                                      // solved again: no more end screens
    LevelNumber = 2;
    PackIndex = 2;
    LoadLevel("");
    Press("nr2");
    EXPECT_EQ(menu.MenuScreen, 14);
}

TEST_F(Menu, OnlyTheFirstFourLanguageFilesAreOffered) {
    for (const char* name : {"a.str", "b.str", "c.str", "d.str", "f.str"}) folder->Write(name, "Kolbrix\n");
    ListLanguageFiles();
    ASSERT_EQ(LanguageList.Count(), 6);
    On(3, 2);
    EXPECT_EQ(Lines(), (std::vector<std::string>{Text(169), "a.", "b.", "c.", "d."}));
    Press("nr5");
    EXPECT_EQ(LanguageFile, "d.str");
    EXPECT_EQ(menu.MenuScreen, 2);
}

TEST_F(Menu, TheResolutionStepsAroundTheModeListAndAnyChangeShowsTheRestartNotice) {
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1024, 768}}) {
        modeWidths.Add(w);
        modeHeights.Add(h);
    }
    struct Case {
        std::int32_t width, height;
        std::string key;
        std::int32_t expectWidth;
    };
    const Case cases[] = {{640, 480, Left, 1024}, {1024, 768, Right, 640}, {800, 600, Right, 1024},
                          {1920, 1080, Right, 640}, {1920, 1080, Left, 1024}};
    for (const Case& c : cases) {
        ScreenWidth = c.width;
        ScreenHeight = c.height;
        On(4, 4);
        Press(c.key);
        EXPECT_EQ(ScreenWidth, c.expectWidth) << c.width << " " << (c.key == Left ? "left" : "right");
    }
    // Full screen switched twice is back as it was, but the notice still comes.
    On(2, 3);
    Press("nr3");
    const std::int32_t fullscreen = Fullscreen;
    Press(Right);
    Press(Left);
    EXPECT_EQ(Fullscreen, fullscreen);
    Press(Esc);
    EXPECT_EQ(menu.MenuScreen, 12);
    Press(Enter);
    EXPECT_EQ(menu.MenuScreen, 2);
}

TEST_F(Menu, APressMovesTheCursorAndOnlyAReleaseOverTheSameLineActivatesIt) {
    On(1, 1);
    bool tick = false;
    auto pass = [&](std::int32_t line, int held) { return PointerPass(line, held, tick); };
    EXPECT_EQ(pass(2, 1), "");                      // pressed over line 2: the cursor goes there
    EXPECT_EQ(menu.MenuCursor, 2);
    EXPECT_EQ(pass(3, 1), "");                      // moved to line 3 while held
    EXPECT_EQ(pass(3, 0), "");                      // released over line 3: nothing
    EXPECT_EQ(menu.MenuCursor, 2);
    EXPECT_EQ(pass(4, 1), "");
    EXPECT_EQ(pass(4, 0), Enter);                   // pressed and released over line 4

    // A click beside the lines leaves a picture page but does nothing on the new-player screen.
    for (auto [screen, after] : {std::pair{8, 6}, {15, 15}}) {
        On(screen, screen == 15 ? 4 : 6);
        pass(0, 1);
        const std::string key = pass(0, 0);
        if (!key.empty()) Press(key);
        EXPECT_EQ(menu.MenuScreen, after) << screen;
    }
}

TEST_F(Menu, MSwitchesTheMusicEverywhereButOnTheNameScreen) {
    On(1, 1);
    const std::int32_t music = MusicOn;
    Press("m");
    EXPECT_NE(MusicOn, music);
    On(15, 4);
    menu.nameLine = "|";
    Press("m");
    EXPECT_EQ(menu.nameLine, "m|");
}

TEST_F(Menu, AMessageOverTheMenuTakesTheNextKeyOrClickAndTheMenuSeesNeither) {
    bool tick = false;
    struct Case {
        const char* what;
        std::string key;                // pushed before the passes
        std::vector<std::pair<std::int32_t, int>> passes;   // line under the pointer, buttons held
    };
    const Case cases[] = {
        {"Enter", Enter, {{0, 0}}},
        {"Escape", "\x1B", {{0, 0}}},
        {"a click on a line", "", {{2, 1}, {2, 0}}},
        {"a click beside the lines", "", {{0, 1}, {0, 0}}},
    };
    for (const Case& c : cases) {
        On(1, 1);
        RaiseMessage("one", "two", "three");
        if (!c.key.empty()) HeadlessPushKey(c.key);
        for (const auto& [line, held] : c.passes) {
            EXPECT_EQ(MessageState, 1) << c.what;
            EXPECT_EQ(PointerPass(line, held, tick), "") << c.what;
            EXPECT_FALSE(tick) << c.what;
        }
        EXPECT_EQ(MessageState, 0) << c.what;
        EXPECT_EQ(menu.MenuScreen, 1) << c.what;
        EXPECT_EQ(menu.MenuCursor, 1) << c.what;
        // The menu answers again: the next press and release over line 2 activates it.
        EXPECT_EQ(PointerPass(2, 1, tick), "") << c.what;
        EXPECT_EQ(PointerPass(2, 0, tick), Enter) << c.what;
    }
    // Nothing pressed: the message stays.
    On(1, 1);
    RaiseMessage("one", "two", "three");
    for (int pass = 0; pass < 3; pass++) EXPECT_EQ(PointerPass(0, 0, tick), "");
    EXPECT_EQ(MessageState, 1);
    MessageState = 0;
}

// ---- Lost attempts and the level screen's demo ---------------------------------------------------------------------

// Every ball lost on a level counts against the player and the level, a fall as a time-up, each once; from the third
// on the level screen offers the demo as its sixth line. Another player, another level, leaving without a loss and a
// completion do not add to it; a completion forgets it.
TEST_F(Menu, TheDemoIsOfferedFromTheThirdLostBallOnAndNotBefore) {
    for (const bool falls : {true, false}) {
        SCOPED_TRACE(falls ? "falls" : "time up");
        lostAttempts = LostAttempts{};
        PlatformMakeFolder(folder->Folder() + "lvlpckTest");
        WriteLosingLevel("lvlpckTest", 1, falls);
        WriteLevel("lvlpckTest", 2);
        ListPacks();
        PlayerList.Clear();
        StartAs("ann");
        LoseBalls(1);
        LoseBalls(0);
        EXPECT_EQ(CurrentLostAttempts(), 1);
        LoseBalls(1);
        EXPECT_EQ(menu.MenuLineCount, 5) << "two lost balls: no offer yet";
        LoseBalls(1);
        EXPECT_EQ(CurrentLostAttempts(), 3);
        ASSERT_EQ(menu.MenuLineCount, 6);
        EXPECT_EQ(menu.MenuLines[6], Text(LineWatchHowItIsDone));
        EXPECT_EQ(menu.MenuCursor, 2) << "Enter still plays the level";

        LevelNumber = 2;
        LoadLevel("");
        On(14, 2);
        EXPECT_EQ(menu.MenuLineCount, 5) << "another level";
        LevelNumber = 1;
        MakePlayers({"bob"});
        PlayerIndex = 2;
        ASSERT_EQ(PlayerList[PlayerIndex], "bob");
        On(14, 2);
        EXPECT_EQ(menu.MenuLineCount, 5) << "another player";
        PlayerIndex = 1;
        On(14, 2);
        EXPECT_EQ(menu.MenuLineCount, 6);
    }
    // A completed level forgets its lost balls.
    LevelNumber = 2;
    LoadLevel("");
    CountLostAttempts(4);
    On(14, 2);
    ASSERT_EQ(menu.MenuLineCount, 6);
    Press("nr2");
    LevelNumber = 2;
    On(14, 2);
    EXPECT_EQ(CurrentLostAttempts(), 0);
    EXPECT_EQ(menu.MenuLineCount, 5);
}

class LevelDemo : public Menu {
protected:
    void SetUp() override {
        Menu::SetUp();
        tool.emplace(folder->path);
        toolJob = ToolJob{};
        menuHooks.levelPlayed = [this](std::int32_t, bool, std::int32_t) { ++levelsPlayed; };
        menuHooks.demoPlayed = [this](bool completed, std::int64_t, std::int32_t difficulty) {
            demos.emplace_back(completed, difficulty);
        };
        MakePack("lvlpckTest", 2);
        StartAs("ann");
        ASSERT_TRUE(SaveStats());
        CountLostAttempts(AttemptsBeforeDemo);
        On(14, 2);
        statsBefore = folder->Read("lvlpckTest/ann.sts");
        ASSERT_FALSE(statsBefore.empty());
    }
    void TearDown() override {
        CancelToolJob();
        tool.reset();
        Menu::TearDown();
    }
    std::string LevelPath() const { return folder->Folder() + "lvlpckTest/001.kbx"; }
    std::string KeysPath() const { return folder->Folder() + "lvlpckTest/001.keys"; }
    // The arguments of a replay check at `difficulty` and of a solve, as the stand-in saw them.
    std::vector<std::string> Check(int difficulty) const {
        return {"play", LevelPath(), "--data", ProgramFolder(), "--inputs", KeysPath(), "--difficulty",
                std::to_string(difficulty), "--seed", "1"};
    }
    std::vector<std::string> Solve(int difficulty) const {
        return {"solve", LevelPath(), "--data", ProgramFolder(), "--difficulty", std::to_string(difficulty), "--seed",
                "1", "--budget", "60", "--out", DataFolder() + SolutionFileName, "--progress"};
    }

    std::optional<StandInTool> tool;
    int levelsPlayed = 0;
    std::vector<std::pair<bool, std::int32_t>> demos;     // reached the exit, difficulty
    std::string statsBefore;
};

// The demo plays the recorded solution where it wins at the player's difficulty, else at Hard where it wins there,
// else the solver's at the player's difficulty; a level that cannot be won says so. Nothing of the player's changes:
// statistics, completions, the current level, the lost balls.
TEST_F(LevelDemo, ThePlayersDifficultyComesFirstThenHardThenTheSolver) {
    struct Case {
        const char* name;
        std::int32_t difficulty;
        bool recorded;
        std::vector<std::pair<int, int>> checks;    // difficulty, exit code of `play`
        int solveCode;
        std::vector<std::vector<std::string>> calls;
        std::int32_t demoDifficulty;                // -1: no demo
        std::int32_t message;
    };
    const Case cases[] = {
        {"recorded, wins at Easy", 2, true, {{2, 0}}, 0, {Check(2)}, 2, 0},
        {"recorded, wins only at Hard", 2, true, {{2, 1}, {4, 0}}, 0, {Check(2), Check(4)}, 4, 0},
        {"recorded, wins nowhere", 1, true, {}, 0, {Check(1), Check(4), Solve(1)}, 1, 0},
        {"recorded, the player plays Hard", 4, true, {}, 0, {Check(4), Solve(4)}, 4, 0},
        {"none recorded", 3, false, {}, 0, {Solve(3)}, 3, 0},
        {"none recorded, not winnable", 3, false, {}, 4, {Solve(3)}, -1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(tool->folder / "calls");
        for (int d = 0; d <= 4; ++d) std::filesystem::remove(tool->folder / ("play-exit-" + std::to_string(d)));
        for (const auto& [difficulty, code] : c.checks) tool->PlayEnds(difficulty, code);
        if (c.recorded) folder->Write("lvlpckTest/001.keys", "40\n");
        else std::filesystem::remove(KeysPath());
        tool->Solve(c.solveCode, c.solveCode == 0 ? "{\"result\":\"solved\",\"seconds\":0.5,\"limit\":8}" : "",
                    c.solveCode == 0 ? "40\n" : "");
        demos.clear();
        MessageState = 0;
        playRun.Difficulty = c.difficulty;
        On(14, 2);
        Press("nr6");

        EXPECT_EQ(tool->Calls(), c.calls);
        if (c.demoDifficulty >= 0) {
            ASSERT_EQ(demos.size(), 1u);
            EXPECT_TRUE(demos[0].first);
            EXPECT_EQ(demos[0].second, c.demoDifficulty);
        } else {
            EXPECT_TRUE(demos.empty());
        }
        EXPECT_EQ(MessageState, c.message);
        if (c.message == 1) {
            EXPECT_EQ(DialogLine1, Text(LineNotWinnable1));
        }
        EXPECT_EQ(playRun.Difficulty, c.difficulty);
        EXPECT_EQ(menu.MenuScreen, 14);
        EXPECT_EQ(menu.MenuCursor, 2);
        EXPECT_EQ(view.MenuActive, -1);
        EXPECT_EQ(LevelNumber, 1);
        EXPECT_EQ(LevelWins[1], 0);
        EXPECT_EQ(levelsPlayed, 0);
        EXPECT_EQ(folder->Read("lvlpckTest/ann.sts"), statsBefore);
        EXPECT_EQ(CurrentLostAttempts(), AttemptsBeforeDemo);
        EXPECT_FALSE(PlatformFileExists(DataFolder() + SolutionFileName));
    }
}

// Esc while the tool works cancels it at once: no demo, no message, the level screen as it was.
TEST_F(LevelDemo, EscWhileTheToolWorksCancelsIt) {
    tool->Solve(0, "{\"result\":\"solved\",\"seconds\":0.5,\"limit\":8}", "40\n", "states 1  best: 0 flags left\n");
    tool->SolveWaits();
    bool pressed = false;
    Headless.onFrame = [&](std::int64_t) {
        if (!pressed && !toolJob.progress.empty()) {
            HeadlessPushKey(Esc);
            pressed = true;
        }
    };
    Press("nr6");
    EXPECT_TRUE(pressed);
    EXPECT_EQ(toolJob.outcome, ToolJobOutcome::Cancelled);
    EXPECT_TRUE(demos.empty());
    EXPECT_EQ(MessageState, 0);
    EXPECT_EQ(menu.MenuScreen, 14);
    EXPECT_EQ(tool->Calls().size(), 1u);
}

}  // namespace
}  // namespace playtest
