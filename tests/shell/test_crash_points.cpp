// Every save stopped at every point: the settings file, player files, statistics (one save and the rewrite of a
// whole pack after an editor change), best runs (a new best, the renumbering, a deleted player), deleting a player,
// and a level. The file layer records what the save did on
// disk; each stop is put back on a copy of the folder as it was before and loaded with the game's own readers
// (tests/platform/crash_replay.h says how a stop is replayed). Each file is its complete old or its complete new
// version, and the new one once the save returned.
#include "tests/shell/pack_fixture.h"
#include "tests/play/level_fixture.h"
#include "tests/platform/crash_replay.h"
#include "shell/best_runs.h"

namespace {

using CrashPoints = DataFolderTest;
using LevelCrashPoints = LevelTest;

void UsePack(const std::vector<std::string>& packs, std::int32_t pack, const std::string& player) {
    SetList(PackList, packs);
    PackIndex = pack;
    SetList(PlayerList, {player});
    PlayerIndex = 1;
}

// What LoadSettings takes from the settings file.
std::string LoadedSettings() {
    LoadSettings();
    return std::to_string(FirstRun) + " " + std::to_string(PlayerIndex) + " " + LanguageFile + " " +
           std::to_string(Fullscreen) + " " + std::to_string(ScreenWidth) + "x" + std::to_string(ScreenHeight) + " " +
           std::to_string(SoundOn) + std::to_string(MusicOn) + std::to_string(QuotesOn) +
           std::to_string(BonusPackUnlocked);
}

// What LoadStats takes from a player's statistics file in a pack.
std::string LoadedStats(const std::string& pack, const std::string& player) {
    UsePack({pack}, 1, player);
    LoadStats();
    std::string text = std::to_string(LevelNumber) + " " + std::to_string(PackFinished) + std::to_string(PackPerfect);
    for (int i = 1; i <= StatsSlots; i++)
        text += " " + std::to_string(LevelWins[static_cast<size_t>(i)]) + "/" +
                std::to_string(LevelBest[static_cast<size_t>(i)]);
    return text;
}

// What LoadPlayerPack takes from a player's pack file, and whether the player is listed.
std::string LoadedPlayerPack(const std::vector<std::string>& packs, const std::string& player) {
    ListPlayers();
    std::vector<std::string> listed = Entries(PlayerList);
    bool isListed = std::find(listed.begin(), listed.end(), player) != listed.end();
    UsePack(packs, 1, player);
    LoadPlayerPack();
    return (isListed ? "listed, pack " : "not listed, pack ") + std::to_string(PackIndex);
}

WatchedFile StatsFile(const std::string& pack, const std::string& player) {
    return {pack + "/" + player + ".sts", [pack, player] { return LoadedStats(pack, player); }};
}

// A player's statistics with numbers in every slot, so every shifted slot shows.
std::string NumberedStats(std::int32_t level, int seed) {
    HandStats s;
    s.level = level;
    for (int i = 1; i <= 999; i++) {
        s.wins[static_cast<size_t>(i)] = i % 7 + seed;
        s.best[static_cast<size_t>(i)] = 1000 * i + seed;
    }
    s.finished = -1;
    return HandStatsBytes(s);
}

TEST_F(CrashPoints, SettingsSave) {
    struct Case { const char* what; bool oldFile; };
    for (const Case& c : {Case{"settings save", true}, Case{"first settings save", false}}) {
        WriteDiskImage(root, {});
        SetDefaultSettings();
        if (c.oldFile) {
            LanguageFile = "deutsch.str";
            ScreenWidth = 800;
            ScreenHeight = 600;
            SaveSettings();
        }
        LoadSettings();
        const DiskImage before = ReadDiskImage(root);
        LanguageFile = "english.str";
        ScreenWidth = 1024;
        ScreenHeight = 768;
        MusicOn = 0;
        const std::vector<FileOp> ops = RecordFileOps([] { SaveSettings(); });
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops, {{"settings.dat", LoadedSettings}});
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
        EXPECT_GE(replay.stops, 5u) << c.what;
    }
}

TEST_F(CrashPoints, PlayerPackFileSave) {
    const std::vector<std::string> packs = {"lvlpckA", "lvlpckB", "lvlpckC"};
    struct Case { const char* what; bool oldFile; };
    for (const Case& c : {Case{"player pack file save", true}, Case{"new player's pack file", false}}) {
        WriteDiskImage(root, {{{"bob.alp", "lvlpckA\n"}}, {}});
        if (c.oldFile) Write("anna.alp", "lvlpckB\n");
        const DiskImage before = ReadDiskImage(root);
        UsePack(packs, 3, "anna");
        const std::vector<FileOp> ops = RecordFileOps([] { EXPECT_TRUE(SavePlayerPack()); });
        // Whatever the stop, the players listed are the two there are: a temporary file never shows as a player.
        auto bothListed = [&](const CrashState& state, const CrashVersions&) {
            WriteDiskImage(root, state.disk);
            ListPlayers();
            const std::vector<std::string> expected =
                Exists("anna.alp") ? std::vector<std::string>{"anna", "bob"} : std::vector<std::string>{"bob"};
            return Entries(PlayerList) == expected;
        };
        CrashReplay replay = ReplayCrashPoints(
            c.what, root, before, ops, {{"anna.alp", [&] { return LoadedPlayerPack(packs, "anna"); }}}, bothListed);
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
    }
}

TEST_F(CrashPoints, StatisticsSave) {
    struct Case { const char* what; bool oldFile; };
    for (const Case& c : {Case{"statistics save", true}, Case{"first statistics save", false}}) {
        WriteDiskImage(root, {{}, {"lvlpckP"}});
        if (c.oldFile) Write("lvlpckP/anna.sts", NumberedStats(4, 1));
        const DiskImage before = ReadDiskImage(root);
        UsePack({"lvlpckP"}, 1, "anna");
        LoadStats();
        LevelNumber = 5;
        LevelWins[4]++;
        LevelBest[4] = 99999;
        const std::vector<FileOp> ops = RecordFileOps([] { EXPECT_TRUE(SaveStats()); });
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops, {StatsFile("lvlpckP", "anna")});
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
    }
}

// The rewrite after the editor deletes or moves a level cannot be atomic as a whole: each file is replaced on its
// own. A stop in the middle leaves the files before it in listing order rewritten and the rest as they were, each
// file whole; the numbers of the players not yet rewritten then sit one level off.
TEST_F(CrashPoints, StatisticsRewriteOfAPack) {
    struct Case { const char* what; int mode; std::int32_t level; };
    const Case cases[] = {
        {"statistics rewrite, level deleted", 0, 3},
        {"statistics rewrite, level moved up", 1, 4},
        {"statistics rewrite, level moved down", 2, 4},
    };
    const std::vector<std::string> players = {"anna", "bob", "cleo"};
    for (const Case& c : cases) {
        DiskImage start{{{"lvlpckP/001.kbx", "level"}}, {"lvlpckP"}};
        for (size_t p = 0; p < players.size(); p++)
            start.files["lvlpckP/" + players[p] + ".sts"] = NumberedStats(c.level + 1, static_cast<int>(p));
        start.files["lvlpckP/cleo.sts"].resize(100);        // a short file is rewritten whole
        WriteDiskImage(root, start);
        const DiskImage before = ReadDiskImage(root);
        UsePack({"lvlpckP"}, 1, "anna");
        LevelNumber = c.level;
        const std::vector<FileOp> ops = RecordFileOps([&] { ShiftStatistics(c.mode); });
        std::vector<WatchedFile> watched;
        for (const std::string& player : players) watched.push_back(StatsFile("lvlpckP", player));
        auto rewrittenInListingOrder = [](const CrashState&, const CrashVersions& rewritten) {
            return std::is_sorted(rewritten.begin(), rewritten.end(), std::greater<bool>());
        };
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops, watched, rewrittenInListingOrder);
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
        EXPECT_GE(replay.stops, 3 * 5u) << c.what;
    }
}

// Deleting a player removes files in three places and cannot be atomic as a whole. The statistics go first and the
// pack file last, so a stop in the middle leaves a player who is still listed, with some statistics gone, whom
// deleting again removes for good; no statistics file outlives its player's pack file.
TEST_F(CrashPoints, DeletingAPlayer) {
    const std::vector<std::string> packs = {"lvlpckA", "lvlpckB"};
    WriteDiskImage(root, {{{"anna.alp", "lvlpckB\n"},
                           {"bob.alp", "lvlpckA\n"},
                           {"lvlpckA/anna.sts", NumberedStats(2, 1)},
                           {"lvlpckA/bob.sts", NumberedStats(3, 2)},
                           {"lvlpckB/anna.sts", NumberedStats(4, 3)}},
                          {"lvlpckA", "lvlpckB"}});
    const DiskImage before = ReadDiskImage(root);
    SetList(PackList, packs);
    PackIndex = 1;
    SetList(PlayerList, {"anna", "bob"});
    PlayerIndex = 1;
    const std::vector<FileOp> ops = RecordFileOps([] { DeletePlayer(); });
    auto noStatisticsWithoutThePlayer = [](const CrashState&, const CrashVersions& deleted) {
        return !deleted[0] || (deleted[1] && deleted[2]);
    };
    CrashReplay replay = ReplayCrashPoints(
        "deleting a player", root, before, ops,
        {{"anna.alp", [&] { return LoadedPlayerPack(packs, "anna"); }}, StatsFile("lvlpckA", "anna"),
         StatsFile("lvlpckB", "anna")},
        noStatisticsWithoutThePlayer);
    EXPECT_EQ(replay.inconsistent, 0u);
    EXPECT_EQ(ReadDiskImage(root).files.count("lvlpckA/bob.sts"), 1u);
}

// What LoadLevel takes from a level file: the level as it would be written again, or that it failed.
std::string LoadedLevel(const std::string& path) {
    if (!LoadLevel(path)) return "failed";
    return EncodeLevel();
}

TEST_F(LevelCrashPoints, LevelSave) {
    WriteEmptyLevel();
    std::filesystem::create_directories(data->path / "lvlpckP");
    const std::string path = data->File("lvlpckP/001.kbx");
    struct Case { const char* what; bool oldFile; };
    for (const Case& c : {Case{"level save", true}, Case{"new level save", false}}) {
        std::filesystem::remove(path);
        ASSERT_TRUE(LoadLevel(DataFolder() + "emptylevel.kbx"));
        if (c.oldFile) {
            ASSERT_TRUE(SaveLevel(path));
        }
        const DiskImage before = ReadDiskImage(data->path);
        // Three blocks of 4096 bytes and more, so the write is cut at block ends as well as inside blocks.
        for (int i = 0; i < 200; ++i) level.wallLayer.Add(Object(TexBrick, 128.0 * (i % 20), 1152 + 128.0 * (i / 20)));
        level.levelTitle = "Saved again";
        const std::vector<FileOp> ops = RecordFileOps([&] { EXPECT_TRUE(SaveLevel(path)); });
        CrashReplay replay = ReplayCrashPoints(c.what, data->path, before, ops,
                                               {{"lvlpckP/001.kbx", [&] { return LoadedLevel(path); }}});
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
    }
}

}  // namespace

// ---- Best runs --------------------------------------------------------------------------------------------------

namespace {

std::string BestRunBytes(const std::string& player, std::int32_t points, double seconds) {
    BestRun run;
    run.player = player;
    run.levelHash = LevelHash("level");
    run.score = points;
    run.elapsed = seconds;
    std::string error;
    ParseInputScript("30 right\n12 left+space\n", run.inputs, error);
    return EncodeBestRun(run);
}

// What the level screen takes from a best run: playable or why not, and its score and time.
std::string LoadedBestRunText(const std::string& path) {
    const LoadedBestRun loaded = LoadBestRun(path, "");
    if (loaded.state == BestRunState::Missing) return "none";
    if (loaded.state == BestRunState::Unreadable) return "unreadable: " + loaded.error;
    return std::to_string(loaded.run.score) + " in " + std::to_string(loaded.run.elapsed);
}

WatchedFile BestRunFile(const std::filesystem::path& root, const std::string& pack, const std::string& player,
                        std::int32_t level) {
    const std::string name = pack + "/" + player + "." + ZeroPad(level, 3) + ".kbr";
    return {name, [root, name] { return LoadedBestRunText((root / name).string()); }};
}

}  // namespace

TEST_F(CrashPoints, BestRunSave) {
    struct Case { const char* what; bool oldFile; };
    for (const Case& c : {Case{"best run save over the old best", true}, Case{"first best run", false}}) {
        WriteDiskImage(root, {{{"lvlpckP/001.kbx", "level"}}, {"lvlpckP"}});
        if (c.oldFile) Write("lvlpckP/anna.001.kbr", BestRunBytes("anna", 100, 40));
        const DiskImage before = ReadDiskImage(root);
        UsePack({"lvlpckP"}, 1, "anna");
        BestRun better;
        std::string error;
        ASSERT_TRUE(DecodeBestRun(BestRunBytes("anna", 300, 35.5), better, error));
        const std::vector<FileOp> ops = RecordFileOps([&] { EXPECT_TRUE(SaveBestRunIfBetter(better, 1)); });
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops, {BestRunFile(root, "lvlpckP", "anna", 1)});
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
        EXPECT_GE(replay.stops, 3u) << c.what;
    }
}

// The editor's renumbering moves the best runs with the statistics: every run file is replaced whole or deleted, so
// each is its old or its new run at every stop (a stop may leave one run under two names, never none readable).
TEST_F(CrashPoints, BestRunsFollowTheRenumbering) {
    struct Case { const char* what; int mode; std::int32_t level; std::vector<std::int32_t> anna, bob; };
    const Case cases[] = {
        {"best runs, level deleted", 0, 2, {2, 3, 4}, {2, 3}},
        {"best runs, level moved up", 1, 3, {2, 3}, {2, 3}},
        {"best runs, level moved down", 2, 3, {3, 4}, {3, 4}},
    };
    for (const Case& c : cases) {
        DiskImage start{{{"lvlpckP/001.kbx", "level"}}, {"lvlpckP"}};
        for (std::int32_t level : {1, 2, 3, 4})
            start.files["lvlpckP/anna." + ZeroPad(level, 3) + ".kbr"] = BestRunBytes("anna", 100 * level, level);
        start.files["lvlpckP/bob.003.kbr"] = BestRunBytes("bob", 33, 3);
        WriteDiskImage(root, start);
        const DiskImage before = ReadDiskImage(root);
        UsePack({"lvlpckP"}, 1, "anna");
        LevelNumber = c.level;
        const std::vector<FileOp> ops = RecordFileOps([&] { EXPECT_TRUE(ShiftStatistics(c.mode)); });
        std::vector<WatchedFile> watched;
        for (std::int32_t level : c.anna) watched.push_back(BestRunFile(root, "lvlpckP", "anna", level));
        for (std::int32_t level : c.bob) watched.push_back(BestRunFile(root, "lvlpckP", "bob", level));
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops, watched);
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
        EXPECT_GE(replay.stops, 3u) << c.what;
    }
}

// Deleting a player takes the best runs along; the pack file still goes last, so no best run outlives its player.
TEST_F(CrashPoints, DeletingAPlayerWithBestRuns) {
    WriteDiskImage(root, {{{"anna.alp", "lvlpckA\n"},
                           {"lvlpckA/anna.sts", NumberedStats(2, 1)},
                           {"lvlpckA/anna.001.kbr", BestRunBytes("anna", 100, 10)},
                           {"lvlpckA/anna.007.kbr", BestRunBytes("anna", 700, 70)},
                           {"lvlpckA/bob.001.kbr", BestRunBytes("bob", 50, 5)}},
                          {"lvlpckA"}});
    const DiskImage before = ReadDiskImage(root);
    UsePack({"lvlpckA"}, 1, "anna");
    const std::vector<FileOp> ops = RecordFileOps([] { DeletePlayer(); });
    auto noRunWithoutThePlayer = [](const CrashState&, const CrashVersions& deleted) {
        return !deleted[0] || (deleted[1] && deleted[2] && deleted[3]);
    };
    CrashReplay replay = ReplayCrashPoints(
        "deleting a player with best runs", root, before, ops,
        {{"anna.alp", [&] { return LoadedPlayerPack({"lvlpckA"}, "anna"); }}, StatsFile("lvlpckA", "anna"),
         BestRunFile(root, "lvlpckA", "anna", 1), BestRunFile(root, "lvlpckA", "anna", 7)},
        noRunWithoutThePlayer);
    EXPECT_EQ(replay.inconsistent, 0u);
    EXPECT_EQ(ReadDiskImage(root).files.count("lvlpckA/bob.001.kbr"), 1u);
}
