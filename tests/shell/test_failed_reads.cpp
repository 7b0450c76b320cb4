// A file that is there but whose read breaks off (a failing disk, a network folder gone away) counts as missing or
// damaged, and the game never writes what it did not read over it: the player's statistics, the settings, the
// rewrite of a pack's statistics and the pack records. The file layer makes the reads fail (PlatformFailReads).
#include "tests/shell/pack_fixture.h"

namespace {

struct FailedReads : DataFolderTest {
    void TearDown() override {
        PlatformFailReads("", 0);
        DataFolderTest::TearDown();
    }
};

std::string StatsOf(std::int32_t level, std::int32_t bestOfLevel1) {
    HandStats s;
    s.level = level;
    for (int i = 1; i <= 999; i++) {
        s.wins[static_cast<size_t>(i)] = 1;
        s.best[static_cast<size_t>(i)] = 100 + i;
    }
    s.best[1] = bestOfLevel1;
    s.finished = -1;
    return HandStatsBytes(s);
}

void UsePlayer(const std::string& player) {
    SetList(PackList, {"lvlpckP"});
    PackIndex = 1;
    SetList(PlayerList, {player});
    PlayerIndex = 1;
}

TEST_F(FailedReads, StatisticsThatDoNotReadStartAsMissingAndAreNotSavedOver) {
    const std::string old = StatsOf(5, 30000);
    struct Case { const char* what; bool file; std::int64_t failAfter; bool saved; };
    const Case cases[] = {
        {"breaks at once", true, 0, false},
        {"breaks after the level number", true, 4, false},
        {"breaks in the middle", true, 4000, false},
        {"breaks before the last byte", true, 8003, false},
        {"missing file", false, 0, true},       // created at the first save, as always
    };
    UsePlayer("anna");
    for (const Case& c : cases) {
        std::filesystem::remove_all(At("lvlpckP"));
        Folder("lvlpckP");
        if (c.file) Write("lvlpckP/anna.sts", old);
        PlatformFailReads(StatsPath(), c.failAfter);
        LevelNumber = 9;
        LoadStats();
        EXPECT_EQ(LevelNumber, 1) << c.what;
        EXPECT_EQ(LevelWins[2], 0) << c.what;
        EXPECT_EQ(LevelBest[1], 0) << c.what;
        EXPECT_EQ(PackFinished, 0) << c.what;
        LevelWins[1] = 1;
        LevelBest[1] = 12000;
        EXPECT_EQ(SaveStats(), c.saved) << c.what;
        if (c.file) EXPECT_EQ(Read("lvlpckP/anna.sts"), old) << c.what;
        else EXPECT_EQ(GetLe32(Read("lvlpckP/anna.sts"), 8), 12000) << c.what;
    }
    // Once the file reads again, it loads and saves as usual.
    Write("lvlpckP/anna.sts", old);
    PlatformFailReads("", 0);
    LoadStats();
    EXPECT_EQ(LevelNumber, 5);
    EXPECT_EQ(LevelBest[1], 30000);
    LevelBest[1] = 31000;
    EXPECT_TRUE(SaveStats());
    EXPECT_EQ(GetLe32(Read("lvlpckP/anna.sts"), 8), 31000);
}

TEST_F(FailedReads, SettingsThatDoNotReadGiveTheDefaultsAndAreNotSavedOver) {
    SetDefaultSettings();
    const std::string defaultLanguage = LanguageFile;
    LanguageFile = "deutsch.str";
    ScreenWidth = 1280;
    ScreenHeight = 1024;
    SaveSettings();
    const std::string old = Read("settings.dat");
    ASSERT_EQ(old.size(), 47u);
    for (std::int64_t failAfter : {0, 10, 46}) {
        PlatformFailReads(SettingsPath(), failAfter);
        LoadSettings();
        EXPECT_EQ(FirstRun, -1) << "failing after " << failAfter;
        EXPECT_EQ(LanguageFile, defaultLanguage) << "failing after " << failAfter;
        ScreenWidth = 640;
        SaveSettings();
        EXPECT_EQ(Read("settings.dat"), old) << "failing after " << failAfter;
    }
    PlatformFailReads("", 0);
    LoadSettings();
    EXPECT_EQ(FirstRun, 0);
    EXPECT_EQ(LanguageFile, "deutsch.str");
    ScreenWidth = 800;
    SaveSettings();
    EXPECT_EQ(GetLe32(Read("settings.dat"), 8 + 11 + 4), 800);
}

// A file that does not read is left out of the rewrite and of the records, as a file that cannot be opened is.
TEST_F(FailedReads, PackStatisticsThatDoNotReadAreLeftOutOfTheRewriteAndTheRecords) {
    Write("lvlpckP/anna.sts", StatsOf(2, 50000));
    const std::string bob = StatsOf(3, 90000);
    Write("lvlpckP/bob.sts", bob);
    UsePlayer("anna");
    LevelCount = 2;
    PlatformFailReads(CurrentPackFolder() + "bob.sts", 6000);

    ComputePackRecord();
    EXPECT_EQ(PackRecordHolder, "anna");
    LevelNumber = 1;
    ComputeLevelRecord();
    EXPECT_EQ(LevelRecordHolder, "anna");
    EXPECT_EQ(LevelRecordScore, 50000);

    LevelNumber = 1;
    ShiftStatistics(0);
    EXPECT_EQ(GetLe32(Read("lvlpckP/anna.sts"), 0), 1);
    EXPECT_EQ(GetLe32(Read("lvlpckP/anna.sts"), 8), 102);        // level 2's best moved down to level 1
    EXPECT_EQ(Read("lvlpckP/bob.sts"), bob);
}

}  // namespace
