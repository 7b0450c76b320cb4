// Statistics files on a throw-away data folder: the stored layout, short files, records, counts, the rewrite after
// the editor deletes or moves a level, and `kolbrix-tool stats`.
#include "tests/shell/pack_fixture.h"

#include <cstdio>
#include <functional>
#include <map>

namespace {

using Stats = DataFolderTest;
using Names = std::vector<std::string>;

// A pack "lvlpckP" with a current player; LevelCount as given.
void UsePack(const std::string& player, std::int32_t levelCount) {
    SetList(PackList, {"lvlpckP"});
    PackIndex = 1;
    SetList(PlayerList, {player});
    PlayerIndex = 1;
    LevelCount = levelCount;
}

TEST_F(Stats, SavedFileHasTheStoredLayoutByteByByte) {
    Folder("lvlpckP");
    UsePack("anna", 12);
    LevelNumber = 7;
    LevelWins[1] = 3;
    LevelBest[1] = 12345;
    LevelWins[2] = 1;
    LevelBest[2] = 0x01020304;
    LevelWins[999] = 1;
    LevelBest[999] = -2;
    PackFinished = -1;
    PackPerfect = 0;
    ASSERT_TRUE(SaveStats());
    std::string bytes = Read("lvlpckP/anna.sts");
    ASSERT_EQ(bytes.size(), 8004u);
    EXPECT_EQ(bytes.substr(16, 4), std::string("\x04\x03\x02\x01", 4));   // little-endian
    struct Field { size_t offset; std::int32_t value; };
    const Field fields[] = {
        {0, 7}, {4, 3}, {8, 12345}, {12, 1}, {16, 0x01020304}, {20, 0}, {24, 0},
        {4 + 8 * 998, 1}, {8 + 8 * 998, -2}, {7996, -1}, {8000, 0},
    };
    for (const Field& f : fields) EXPECT_EQ(GetLe32(bytes, f.offset), f.value) << "offset " << f.offset;
    EXPECT_EQ(FolderNames("lvlpckP"), Names{"anna.sts"});

    // And back: every field returns, whatever was in memory before.
    LevelWins.fill(9);
    LevelBest.fill(9);
    PackFinished = PackPerfect = 9;
    LevelNumber = 1;
    LoadStats();
    EXPECT_EQ(LevelNumber, 7);
    EXPECT_EQ(LevelWins[1], 3);
    EXPECT_EQ(LevelBest[2], 0x01020304);
    EXPECT_EQ(LevelWins[3], 0);
    EXPECT_EQ(LevelBest[999], -2);
    EXPECT_EQ(PackFinished, -1);
    EXPECT_EQ(PackPerfect, 0);
}

TEST_F(Stats, SaveReplacesTheOldFile) {
    HandStats old;
    old.level = 3;
    old.best[5] = 777;
    Write("lvlpckP/anna.sts", HandStatsBytes(old));
    UsePack("anna", 5);
    LevelNumber = 2;
    LevelBest[5] = 0;
    ASSERT_TRUE(SaveStats());
    std::string bytes = Read("lvlpckP/anna.sts");
    ASSERT_EQ(bytes.size(), 8004u);
    EXPECT_EQ(GetLe32(bytes, 0), 2);
    EXPECT_EQ(GetLe32(bytes, 8 + 8 * 4), 0);
    EXPECT_EQ(FolderNames("lvlpckP"), Names{"anna.sts"});
}

TEST_F(Stats, MissingShortAndDamagedFilesReadWhatIsThere) {
    HandStats full;
    full.level = 5;
    full.wins[1] = 2;
    full.best[1] = 300;
    full.wins[2] = 4;
    full.finished = -1;
    std::string bytes = HandStatsBytes(full);
    struct Case { const char* what; std::string file; bool exists; std::int32_t level, wins1, best1, wins2, finished; };
    const Case cases[] = {
        {"missing", "", false, 1, 0, 0, 0, 0},
        {"empty", "", true, 1, 0, 0, 0, 0},
        {"three fields", bytes.substr(0, 12), true, 5, 2, 300, 0, 0},
        {"cut inside a field", bytes.substr(0, 14), true, 5, 2, 300, 0, 0},
        {"all but the flags", bytes.substr(0, 7996), true, 5, 2, 300, 4, 0},
        {"complete", bytes, true, 5, 2, 300, 4, -1},
    };
    UsePack("anna", 5);
    Folder("lvlpckP");
    for (const Case& c : cases) {
        std::filesystem::remove(At("lvlpckP/anna.sts"));
        if (c.exists) Write("lvlpckP/anna.sts", c.file);
        LevelNumber = 9;
        LevelWins.fill(7);
        LevelBest.fill(7);
        PackFinished = PackPerfect = 7;
        LoadStats();
        EXPECT_EQ(LevelNumber, c.level) << c.what;
        EXPECT_EQ(LevelWins[1], c.wins1) << c.what;
        EXPECT_EQ(LevelBest[1], c.best1) << c.what;
        EXPECT_EQ(LevelWins[2], c.wins2) << c.what;
        EXPECT_EQ(LevelBest[999], 0) << c.what;
        EXPECT_EQ(PackFinished, c.finished) << c.what;
        EXPECT_EQ(PackPerfect, 0) << c.what;
    }
}

TEST_F(Stats, RecordsGoToTheBestPlayerOrToTheMakers) {
    using Bests = std::map<int, std::int32_t>;   // level -> best score
    struct Player { std::string name; Bests best; size_t cutTo = 8004; };
    struct Case {
        const char* what;
        std::vector<Player> players;
        std::int32_t levelCount, levelNumber;
        std::int32_t packScore; std::string packHolder;
        std::int32_t levelScore; std::string levelHolder;
    };
    const Case cases[] = {
        {"nobody played", {}, 12, 1, 120000, "Orlo Software", 10000, "Orlo Software"},
        {"below the makers", {{"anna", {{1, 9999}, {2, 50000}}}}, 12, 1, 120000, "Orlo Software", 10000, "Orlo Software"},
        {"a player beats both", {{"anna", {{1, 9000}, {2, 50000}}}, {"bob", {{1, 20000}, {3, 1000}}}}, 2, 1,
         59000, "anna", 20000, "bob"},
        // Equal totals and equal level scores: the file listed first keeps the record.
        {"ties", {{"bob", {{1, 30000}, {2, 20000}}}, {"anna", {{1, 30000}, {3, 20000}}}}, 2, 1,
         50000, "anna", 30000, "anna"},
        {"level record of another level", {{"anna", {{1, 90000}}}, {"bob", {{4, 12000}}}}, 4, 4,
         90000, "anna", 12000, "bob"},
        {"no current level", {{"anna", {{1, 90000}}}}, 1, 0, 90000, "anna", 10000, "Orlo Software"},
        // A short file: only the level it still holds counts.
        {"short file", {{"anna", {{1, 25000}, {2, 40000}}, 16}}, 1, 1, 25000, "anna", 25000, "anna"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(At("lvlpckP"));
        Folder("lvlpckP");
        Write("lvlpckP/zed.txt", "not statistics");
        for (const Player& p : c.players) {
            HandStats s;
            for (const auto& [level, score] : p.best) s.best[static_cast<size_t>(level)] = score;
            Write("lvlpckP/" + p.name + ".sts", HandStatsBytes(s).substr(0, p.cutTo));
        }
        UsePack("someone", c.levelCount);
        LevelNumber = c.levelNumber;
        ComputePackRecord();
        ComputeLevelRecord();
        EXPECT_EQ(PackRecordScore, c.packScore) << c.what;
        EXPECT_EQ(PackRecordHolder, c.packHolder) << c.what;
        EXPECT_EQ(LevelRecordScore, c.levelScore) << c.what;
        EXPECT_EQ(LevelRecordHolder, c.levelHolder) << c.what;
    }
}

TEST_F(Stats, CountsOfUncompletedAndSkippedLevels) {
    struct Case { std::vector<int> completed; std::int32_t levelNumber, levelCount; std::int32_t uncompleted, skipped0, skipped1; };
    const Case cases[] = {
        // Completed 2, 5 and 8 of 10, standing on 4: before it 1 and 3 are open; up to 8 also 4, 6 and 7.
        {{2, 5, 8}, 4, 10, 7, 2, 5},
        // Standing beyond the last completed level: the count runs to the level before the current one.
        {{2, 5, 8}, 10, 10, 7, 6, 6},
        {{}, 1, 3, 3, 0, 0},
        {{1, 2, 3}, 3, 3, 0, 0, 0},
        {{999}, 1, 999, 998, 0, 998},
    };
    for (const Case& c : cases) {
        LevelWins.fill(0);
        for (int level : c.completed) LevelWins[static_cast<size_t>(level)] = 2;
        LevelNumber = c.levelNumber;
        LevelCount = c.levelCount;
        EXPECT_EQ(CountUncompleted(), c.uncompleted) << "level " << c.levelNumber;
        EXPECT_EQ(CountSkipped(0), c.skipped0) << "level " << c.levelNumber;
        EXPECT_EQ(CountSkipped(1), c.skipped1) << "level " << c.levelNumber;
        EXPECT_EQ(CountSkipped(2), c.skipped1) << "level " << c.levelNumber;
    }
}

TEST_F(Stats, PackTotalAddsEveryBestScore) {
    LevelBest[1] = 12000;
    LevelBest[500] = 3000;
    LevelBest[999] = 5;
    EXPECT_EQ(PlayerPackTotal(), 15005);
}

// After the editor deletes or moves level c, slot i of every statistics file holds what slot source(i) held
// (0: an empty slot), and the stored level follows its level.
TEST_F(Stats, ShiftingKeepsTheNumbersWithTheirLevels) {
    struct Case {
        const char* what;
        int mode;
        std::int32_t level;
        std::vector<std::pair<std::int32_t, std::int32_t>> storedLevel;   // before -> after
        std::function<int(int)> source;
    };
    const Case cases[] = {
        {"delete 3", 0, 3, {{5, 4}, {3, 3}, {2, 2}, {999, 998}},
         [](int i) { return i < 3 ? i : i < 999 ? i + 1 : 0; }},
        {"delete the first", 0, 1, {{1, 1}, {2, 1}}, [](int i) { return i < 999 ? i + 1 : 0; }},
        {"swap 3 with 4", 2, 3, {{3, 4}, {4, 3}, {5, 5}, {2, 2}},
         [](int i) { return i == 3 ? 4 : i == 4 ? 3 : i; }},
        {"swap 4 with 3", 1, 4, {{4, 3}, {3, 4}, {5, 5}, {2, 2}},
         [](int i) { return i == 3 ? 4 : i == 4 ? 3 : i; }},
        {"swap 998 with 999", 2, 998, {{999, 998}}, [](int i) { return i == 998 ? 999 : i == 999 ? 998 : i; }},
        // Not possible: the files stay as they are.
        {"swap 999 with the one after", 2, 999, {{999, 999}}, [](int i) { return i; }},
        {"swap 1 with the one before", 1, 1, {{1, 1}}, [](int i) { return i; }},
        {"unknown mode", 3, 3, {{3, 3}}, [](int i) { return i; }},
        // Its neighbour's number ran past the smallest int and the swap reached far outside the slots.
        {"swap the lowest number there is with the one before", 1, INT32_MIN, {{3, 3}}, [](int i) { return i; }},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(At("lvlpckP"));
        std::vector<std::string> players;
        for (size_t p = 0; p < c.storedLevel.size(); p++) {
            HandStats s;
            s.level = c.storedLevel[p].first;
            for (int i = 1; i <= 999; i++) {
                s.wins[static_cast<size_t>(i)] = i + static_cast<int>(p);
                s.best[static_cast<size_t>(i)] = 1000 * i + static_cast<int>(p);
            }
            s.finished = -1;
            s.perfect = p % 2 ? -1 : 0;
            players.push_back("p" + std::to_string(p));
            Write("lvlpckP/" + players.back() + ".sts", HandStatsBytes(s));
        }
        Write("lvlpckP/003.kbx", "level");
        UsePack("p0", 10);
        LevelNumber = c.level;
        ShiftStatistics(c.mode);
        for (size_t p = 0; p < players.size(); p++) {
            std::string bytes = Read("lvlpckP/" + players[p] + ".sts");
            ASSERT_EQ(bytes.size(), 8004u) << c.what;
            EXPECT_EQ(GetLe32(bytes, 0), c.storedLevel[p].second) << c.what << ", stored level " << c.storedLevel[p].first;
            int wrong = 0;
            for (int i = 1; i <= 999; i++) {
                int from = c.source(i);
                std::int32_t wins = from ? from + static_cast<int>(p) : 0;
                std::int32_t best = from ? 1000 * from + static_cast<int>(p) : 0;
                if (GetLe32(bytes, 4 + 8 * (i - 1)) != wins || GetLe32(bytes, 8 + 8 * (i - 1)) != best) {
                    if (wrong++ < 3) ADD_FAILURE() << c.what << ": slot " << i << " of " << players[p];
                }
            }
            EXPECT_EQ(GetLe32(bytes, 7996), -1) << c.what;
            EXPECT_EQ(GetLe32(bytes, 8000), p % 2 ? -1 : 0) << c.what;
        }
        EXPECT_EQ(LevelNumber, c.level) << c.what;
        std::vector<std::string> expected = players;
        expected.insert(expected.begin(), "003.kbx");
        for (auto& name : expected) if (name != "003.kbx") name += ".sts";
        EXPECT_EQ(FolderNames("lvlpckP"), expected) << c.what << ": no temporary file stays behind";
    }
}

TEST_F(Stats, ShiftingRewritesShortFilesToTheFullSize) {
    HandStats s;
    s.level = 5;
    s.wins[4] = 1;
    s.best[4] = 44;
    Write("lvlpckP/anna.sts", HandStatsBytes(s).substr(0, 40));
    UsePack("anna", 10);
    LevelNumber = 3;
    ShiftStatistics(0);
    std::string bytes = Read("lvlpckP/anna.sts");
    ASSERT_EQ(bytes.size(), 8004u);
    EXPECT_EQ(GetLe32(bytes, 0), 4);
    EXPECT_EQ(GetLe32(bytes, 4 + 8 * 2), 1);
    EXPECT_EQ(GetLe32(bytes, 8 + 8 * 2), 44);
    EXPECT_EQ(GetLe32(bytes, 8 + 8 * 3), 0);
}

// ---- kolbrix-tool stats -------------------------------------------------------------------------------------

struct ToolRun { int code = -1; std::string out; };

ToolRun RunTool(const std::string& arguments) {
    ToolRun run;
    std::string command = std::string(KOLBRIX_BUILD_GAME_DIR) + "/kolbrix-tool " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string JsonList(const std::vector<std::int32_t>& slots) {
    std::string text = "[";
    for (int i = 1; i <= 999; i++) text += (i > 1 ? ", " : "") + std::to_string(slots[static_cast<size_t>(i)]);
    return text + "]";
}

TEST_F(Stats, ToolPrintsAStatisticsFileAsJson) {
    if (!std::filesystem::exists(std::string(KOLBRIX_BUILD_GAME_DIR) + "/kolbrix-tool"))
        GTEST_SKIP() << "kolbrix-tool is not built in this build folder";
    HandStats s;
    s.level = 12;
    s.wins[1] = 3;
    s.best[1] = 15020;
    s.wins[999] = 1;
    s.best[999] = -7;
    s.finished = -1;
    Write("full.sts", HandStatsBytes(s));
    Write("short.sts", HandStatsBytes(s).substr(0, 10));
    HandStats cut;
    cut.level = 12;
    cut.wins[1] = 3;

    struct Case { std::string file; int code; std::string json; };
    const Case cases[] = {
        {"full.sts", 0, "{\"level\": 12, \"wins\": " + JsonList(s.wins) + ", \"best\": " + JsonList(s.best) +
                            ", \"finished\": -1, \"perfect\": 0}\n"},
        {"short.sts", 0, "{\"level\": 12, \"wins\": " + JsonList(cut.wins) + ", \"best\": " + JsonList(cut.best) +
                             ", \"finished\": 0, \"perfect\": 0}\n"},
        {"missing.sts", 1, ""},
    };
    for (const Case& c : cases) {
        ToolRun run = RunTool("stats '" + At(c.file).string() + "'");
        EXPECT_EQ(run.code, c.code) << c.file;
        EXPECT_EQ(run.out, c.json) << c.file;
    }
}

}  // namespace
