// The editor's level and pack operations stopped at every point: moving a level later and earlier, deleting a level
// (with the renumbering and the statistics), a new level, and making, renaming and deleting a pack. Each stop is put
// back on a copy of the data folder as it was before (tests/platform/crash_replay.h says how) and the game looks at
// it as it would at the next start: it counts the pack's levels, which puts back a level that a stopped move left in
// "tempinc.kbx", and loads every level it counts. None of these operations is one atomic change, so each test
// states what a stop in the middle leaves and what the game shows of it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/language.h"
#include "editor/level_ops.h"
#include "editor/undo.h"
#include "shell/pack_archive.h"
#include "tests/play/level_fixture.h"
#include "tests/platform/crash_replay.h"
#include "tests/shell/pack_fixture.h"

namespace {

using Titles = std::vector<std::string>;

// What the game shows of a pack after counting its levels: the titles of the levels it counts, in order ("failed"
// for one that does not load), and the message counting raised ("" when none).
struct Seen {
    Titles titles;
    std::string message;
};

class EditorCrashPoints : public LevelTest {
protected:
    std::filesystem::path root;

    void SetUp() override {
        LevelTest::SetUp();
        root = data->path;
        WriteEmptyLevel();
        emptyLevel = data->Read("emptylevel.kbx");
        for (int n = 1; n <= LanguageLineCount; ++n)
            if (LanguageText[static_cast<size_t>(n)].empty())
                LanguageText[static_cast<size_t>(n)] = "line " + std::to_string(n);
        LanguageText[LineHintFileExtension] = "en.txt";
        PlayerList.Clear();
        PlayerIndex = 0;
        ClearHistory();
    }
    void TearDown() override {
        PlayerList.Clear();
        LevelTest::TearDown();
    }

    // The data folder's own file, which every image of it holds.
    DiskImage Base() const { return DiskImage{{{"emptylevel.kbx", emptyLevel}}, {}}; }
    std::string emptyLevel;

    // The bytes of a level file titled `title`: the empty level with that title.
    std::string LevelTitled(const std::string& title) const {
        if (!std::filesystem::exists(root / "emptylevel.kbx")) data->Write("emptylevel.kbx", emptyLevel);
        EXPECT_TRUE(LoadLevel(data->File("emptylevel.kbx")));
        level.levelTitle = title;
        return EncodeLevel();
    }

    // A pack folder with levels titled "A1", "A2", ... in `disk`.
    void AddPack(DiskImage& disk, const std::string& pack, int levels, const std::string& prefix = "A") const {
        disk.folders.insert(pack);
        for (int n = 1; n <= levels; ++n)
            disk.files[pack + "/" + LevelFileName(n)] = LevelTitled(prefix + std::to_string(n));
    }

    // The editor on level `number` of `pack`, the only pack listed unless `packs` says otherwise.
    void EditLevel(const std::string& pack, std::int32_t number, const std::vector<std::string>& packs = {}) {
        SetList(PackList, packs.empty() ? std::vector<std::string>{pack} : packs);
        PackIndex = 1;
        while (PackList[PackIndex] != pack) ++PackIndex;
        CountLevels();
        LevelNumber = number;
        ASSERT_TRUE(LoadLevel(""));
        MessageState = 0;
        ClearHistory();
    }

    Seen SeePack(const std::string& pack) const {
        SetList(PackList, {pack});
        PackIndex = 1;
        MessageState = 0;
        DialogLine1 = DialogLine2 = "";
        CountLevels();
        Seen seen;
        if (MessageState == 1) seen.message = DialogLine1 + " " + DialogLine2;
        for (LevelNumber = 1; LevelNumber <= LevelCount; ++LevelNumber)
            seen.titles.push_back(LoadLevel("") ? level.levelTitle : "failed");
        MessageState = 0;
        return seen;
    }

    // The contents of every file on disk whose name ends in `ending`, under whatever name: shows a file lost.
    std::multiset<std::string> ContentsOnDisk(const std::string& ending) const {
        std::multiset<std::string> contents;
        for (const auto& [path, bytes] : ReadDiskImage(root).files)
            if (path.size() >= ending.size() && path.compare(path.size() - ending.size(), ending.size(), ending) == 0)
                contents.insert(bytes);
        return contents;
    }
    bool Kept(const std::multiset<std::string>& wanted, const std::string& ending) const {
        const std::multiset<std::string> there = ContentsOnDisk(ending);
        return std::includes(there.begin(), there.end(), wanted.begin(), wanted.end());
    }
};

std::string Line(int number) { return LanguageText[static_cast<size_t>(number)]; }

// A statistics file whose numbers differ from slot to slot, so a shift of any slot shows.
std::string NumberedStats(std::int32_t level, int seed) {
    HandStats s;
    s.level = level;
    for (int i = 1; i <= 999; i++) {
        s.wins[static_cast<size_t>(i)] = i % 7 + seed;
        s.best[static_cast<size_t>(i)] = 1000 * i + seed;
    }
    return HandStatsBytes(s);
}

// What LoadStats takes from a player's statistics file in the pack.
WatchedFile StatsFile(const std::string& pack, const std::string& player) {
    return {pack + "/" + player + ".sts", [pack, player] {
                SetList(PackList, {pack});
                PackIndex = 1;
                SetList(PlayerList, {player});
                PlayerIndex = 1;
                LoadStats();
                std::string text = std::to_string(LevelNumber);
                for (int i = 1; i <= 6; i++) text += " " + std::to_string(LevelWins[static_cast<size_t>(i)]) + "/" +
                                                     std::to_string(LevelBest[static_cast<size_t>(i)]);
                PlayerList.Clear();
                return text;
            }};
}

// A file as it is on disk, or "none".
WatchedFile RawFile(const std::filesystem::path& root, const std::string& path) {
    return {path, [root, path] {
                std::string bytes;
                return PlatformReadFile((root / path).string(), bytes) ? bytes : std::string("none");
            }};
}

bool AnyNew(const CrashVersions& versions) {
    return std::find(versions.begin(), versions.end(), true) != versions.end();
}

// A stop in a move leaves, once the game has counted the pack, the levels in the old order or in the new one: the
// swap file goes back to the free number. The statistics follow only after the files moved, so none is rewritten
// while the levels are in the old order; a stop among them leaves the players before it in listing order shifted.
// A stop among the hint files can leave one as "tempinc.<language>.txt", which the game names in a message.
TEST_F(EditorCrashPoints, MovingALevel) {
    struct Case {
        const char* what;
        std::int32_t from;
        bool later;
        Titles moved;
    };
    const Case cases[] = {
        {"level moved later", 3, true, {"A1", "A2", "A4", "A3", "A5"}},
        {"level moved earlier", 3, false, {"A1", "A3", "A2", "A4", "A5"}},
        {"last level moved earlier", 5, false, {"A1", "A2", "A3", "A5", "A4"}},
        {"first level moved later", 1, true, {"A2", "A1", "A3", "A4", "A5"}},
    };
    const Titles old = {"A1", "A2", "A3", "A4", "A5"};
    for (const Case& c : cases) {
        DiskImage start = Base();
        AddPack(start, "lvlpckP", 5);
        start.files["lvlpckP/anna.sts"] = NumberedStats(c.from, 1);
        start.files["lvlpckP/bob.sts"] = NumberedStats(2, 2);
        const std::int32_t to = c.later ? c.from + 1 : c.from - 1;
        // Hints on both levels in one language, on one of them only in another.
        start.files["lvlpckP/" + ZeroPad(c.from, 3) + ".en.txt"] = "hint of the level moved";
        start.files["lvlpckP/" + ZeroPad(to, 3) + ".en.txt"] = "hint of its neighbour";
        start.files["lvlpckP/" + ZeroPad(c.from, 3) + ".de.txt"] = "Hinweis";
        WriteDiskImage(root, start);
        const DiskImage before = ReadDiskImage(root);
        std::multiset<std::string> hints;
        for (const auto& [path, bytes] : before.files)
            if (path.ends_with(".txt")) hints.insert(bytes);

        EditLevel("lvlpckP", c.from);
        const std::vector<FileOp> ops = RecordFileOps([&] { c.later ? MoveLevelLater() : MoveLevelEarlier(); });
        ASSERT_EQ(MessageState, 0) << c.what;
        ASSERT_EQ(LevelNumber, to) << c.what;

        auto whole = [&](const CrashState& state, const CrashVersions& statsNew) {
            WriteDiskImage(root, state.disk);
            const Seen seen = SeePack("lvlpckP");
            const bool hintLeft = !PlatformListFolder(data->File("lvlpckP"), "tempinc.*", ListKind::Files).empty();
            const bool holds = (seen.titles == old || seen.titles == c.moved) &&
                               (!AnyNew(statsNew) || seen.titles == c.moved) && Kept(hints, ".txt") &&
                               (hintLeft ? seen.message.starts_with(Line(LineInterruptedMove)) : seen.message.empty());
            if (!holds)
                ADD_FAILURE() << c.what << ", " << state.what << ": seen " << ::testing::PrintToString(seen.titles)
                              << " message \"" << seen.message << "\"";
            return holds;
        };
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops,
                                               {StatsFile("lvlpckP", "anna"), StatsFile("lvlpckP", "bob")}, whole);
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
        EXPECT_GE(replay.stops, 3u * 2 + 2 * 5) << c.what;   // three renames, two statistics saves at least
    }
}

// A stop in a delete leaves the levels before the deleted one, then the later ones moved down up to where the
// renumbering stopped: the game counts the pack up to the first missing number and says, in a message, that
// levels wait beyond it. No level but the deleted one is lost. The statistics are shifted right after the file is
// deleted, before the renumbering, so they never shift while the deleted level is still there.
TEST_F(EditorCrashPoints, DeletingALevel) {
    struct Case {
        const char* what;
        std::int32_t number;
    };
    const Titles old = {"A1", "A2", "A3", "A4", "A5"};
    for (const Case& c : {Case{"level deleted", 2}, Case{"last level deleted", 5}}) {
        DiskImage start = Base();
        AddPack(start, "lvlpckP", 5);
        start.files["lvlpckP/anna.sts"] = NumberedStats(4, 1);
        start.files["lvlpckP/bob.sts"] = NumberedStats(1, 2);
        for (int n = 1; n <= 5; ++n) start.files["lvlpckP/" + ZeroPad(n, 3) + ".en.txt"] = "hint " + std::to_string(n);
        WriteDiskImage(root, start);
        const DiskImage before = ReadDiskImage(root);
        Titles remaining = old;
        remaining.erase(remaining.begin() + (c.number - 1));
        std::multiset<std::string> levelsKept, hintsKept;
        for (int n = 1; n <= 5; ++n) {
            if (n == c.number) continue;
            levelsKept.insert(before.files.at("lvlpckP/" + LevelFileName(n)));
            hintsKept.insert("hint " + std::to_string(n));
        }

        EditLevel("lvlpckP", c.number);
        const std::vector<FileOp> ops = RecordFileOps([] { DeleteLevel(); });
        ASSERT_EQ(MessageState, 0) << c.what;
        ASSERT_EQ(LevelCount, 4) << c.what;

        auto countedToTheGap = [&](const CrashState& state, const CrashVersions& statsNew) {
            WriteDiskImage(root, state.disk);
            const Seen seen = SeePack("lvlpckP");
            const bool untouched = seen.titles == old;
            const bool prefix = seen.titles.size() >= static_cast<size_t>(c.number - 1) &&
                                seen.titles.size() <= remaining.size() &&
                                std::equal(seen.titles.begin(), seen.titles.end(), remaining.begin());
            const bool gapSaid = seen.titles.size() < remaining.size()
                                     ? seen.message.starts_with(Line(LineLevelFileMissing))
                                     : seen.message.empty();
            const bool holds = (untouched ? !AnyNew(statsNew) && seen.message.empty() : prefix && gapSaid) &&
                               Kept(levelsKept, ".kbx") && Kept(hintsKept, ".txt");
            if (!holds)
                ADD_FAILURE() << c.what << ", " << state.what << ": seen " << ::testing::PrintToString(seen.titles)
                              << " message \"" << seen.message << "\"";
            return holds;
        };
        CrashReplay replay = ReplayCrashPoints(c.what, root, before, ops,
                                               {StatsFile("lvlpckP", "anna"), StatsFile("lvlpckP", "bob")},
                                               countedToTheGap);
        EXPECT_EQ(replay.inconsistent, 0u) << c.what;
    }
}

// A new level is one save: the pack has its old levels, or the new one after them.
TEST_F(EditorCrashPoints, ANewLevel) {
    DiskImage start = Base();
    AddPack(start, "lvlpckP", 3);
    WriteDiskImage(root, start);
    const DiskImage before = ReadDiskImage(root);
    EditLevel("lvlpckP", 2);
    const std::vector<FileOp> ops = RecordFileOps([] { NewLevel(); });
    ASSERT_EQ(LevelCount, 4);
    auto oldOrNew = [&](const CrashState& state, const CrashVersions& added) {
        WriteDiskImage(root, state.disk);
        const Seen seen = SeePack("lvlpckP");
        return seen.message.empty() && seen.titles.size() == (added[0] ? 4u : 3u) && seen.titles[2] == "A3";
    };
    CrashReplay replay =
        ReplayCrashPoints("new level", root, before, ops, {RawFile(root, "lvlpckP/004.kbx")}, oldOrNew);
    EXPECT_EQ(replay.inconsistent, 0u);
}

// A new pack is its folder, then its first level. A stop between the two leaves an empty pack: listed, its one level
// the empty level that does not load (as for any pack without level files), and saving in the editor gives it one.
TEST_F(EditorCrashPoints, MakingAPack) {
    DiskImage start = Base();
    AddPack(start, "lvlpckA", 2);
    WriteDiskImage(root, start);
    const DiskImage before = ReadDiskImage(root);
    EditLevel("lvlpckA", 1);
    const std::vector<FileOp> ops = RecordFileOps([] { MakePack("  New "); });
    ASSERT_EQ(PackList[PackIndex], "lvlpckNew");
    auto listedWhole = [&](const CrashState& state, const CrashVersions& made) {
        WriteDiskImage(root, state.disk);
        ListPacks();
        const std::vector<std::string> packs = Entries(PackList);
        const bool folder = state.disk.folders.count("lvlpckNew") == 1;
        const std::vector<std::string> expected =
            folder ? std::vector<std::string>{"lvlpckA", "lvlpckNew"} : std::vector<std::string>{"lvlpckA"};
        const Titles first = folder ? SeePack("lvlpckNew").titles : Titles{};
        return packs == expected && SeePack("lvlpckA").titles == Titles{"A1", "A2"} &&
               (!folder || first == Titles{made[0] ? "" : "failed"});
    };
    CrashReplay replay =
        ReplayCrashPoints("new pack", root, before, ops, {RawFile(root, "lvlpckNew/001.kbx")}, listedWhole);
    EXPECT_EQ(replay.inconsistent, 0u);
}

// Installing a shared pack stopped at every point: the pack is in the data folder whole or not at all (its files are
// written into a hidden folder and appear by one rename of their folder), the pack list never shows the unfinished
// one, and the next install clears what the stop left and installs the pack whole, or finds it there.
TEST_F(EditorCrashPoints, InstallingASharedPack) {
    DiskImage start = Base();
    AddPack(start, "lvlpckA", 1);
    PackArchive pack;
    pack.folder = "lvlpckShared";
    pack.files = {{"001.en.txt", "A hint\n"}, {"001.kbx", LevelTitled("S1")}, {"002.kbx", LevelTitled("S2")}};
    std::string bytes;
    ASSERT_TRUE(WritePackArchive(pack, bytes));
    const std::filesystem::path archive = root.parent_path() / ("kolbrix-shared-" + std::to_string(::getpid()) + ".zip");
    std::ofstream(archive, std::ios::binary) << bytes;
    WriteDiskImage(root, start);
    const DiskImage before = ReadDiskImage(root);
    std::string installed;
    const std::vector<FileOp> ops = RecordFileOps([&] { InstallPackArchive(archive.string(), installed); });
    ASSERT_EQ(installed, "lvlpckShared");
    auto wholeOrNone = [&](const CrashState& state, const CrashVersions&) {
        WriteDiskImage(root, state.disk);
        ListPacks();
        const bool there = state.disk.folders.count("lvlpckShared") == 1;
        const std::vector<std::string> expected =
            there ? std::vector<std::string>{"lvlpckA", "lvlpckShared"} : std::vector<std::string>{"lvlpckA"};
        bool consistent = Entries(PackList) == expected && SeePack("lvlpckA").titles == Titles{"A1"};
        if (there)
            consistent = consistent && SeePack("lvlpckShared").titles == Titles{"S1", "S2"} &&
                         state.disk.files.at("lvlpckShared/001.en.txt") == "A hint\n";
        std::string again;
        const ArchiveRefusal refusal = InstallPackArchive(archive.string(), again);
        consistent = consistent && refusal == (there ? ArchiveRefusal::PackExists : ArchiveRefusal::None) &&
                     !std::filesystem::exists(root / ".kolbrix-unpack") &&
                     SeePack("lvlpckShared").titles == Titles{"S1", "S2"};
        WriteDiskImage(root, state.disk);
        return consistent;
    };
    CrashReplay replay =
        ReplayCrashPoints("pack installed", root, before, ops, {RawFile(root, "lvlpckShared/002.kbx")}, wholeOrNone);
    EXPECT_EQ(replay.inconsistent, 0u);
    std::filesystem::remove(archive);
}

// A rename is one rename of the folder: the pack is there under its old name or its new one, whole, never split
// over two folders. The players' pack files follow one by one afterwards; a stop among them leaves a player whose
// file still names the old pack, and that player starts on the first pack next time.
TEST_F(EditorCrashPoints, RenamingAPack) {
    DiskImage start = Base();
    AddPack(start, "lvlpckAlpha", 1, "Alpha");
    AddPack(start, "lvlpckOld", 3);
    start.files["lvlpckOld/anna.sts"] = NumberedStats(2, 1);
    start.files["anna.alp"] = "lvlpckOld\n";
    start.files["bob.alp"] = "lvlpckOld\n";
    start.files["cleo.alp"] = "lvlpckAlpha\n";
    WriteDiskImage(root, start);
    const DiskImage before = ReadDiskImage(root);
    EditLevel("lvlpckOld", 2, {"lvlpckAlpha", "lvlpckOld"});
    const std::vector<FileOp> ops = RecordFileOps([] { RenameCurrentPack("Zebra"); });
    ASSERT_EQ(Entries(PackList), (std::vector<std::string>{"lvlpckAlpha", "lvlpckZebra"}));
    auto oneWholePack = [&](const CrashState& state, const CrashVersions& repointed) {
        WriteDiskImage(root, state.disk);
        ListPacks();
        const std::vector<std::string> packs = Entries(PackList);
        const bool renamed = packs == std::vector<std::string>{"lvlpckAlpha", "lvlpckZebra"};
        const bool holds = (renamed || packs == std::vector<std::string>{"lvlpckAlpha", "lvlpckOld"}) &&
                           SeePack(renamed ? "lvlpckZebra" : "lvlpckOld").titles == Titles{"A1", "A2", "A3"} &&
                           (renamed || !AnyNew(repointed)) &&
                           ReadDiskImage(root).files.count(std::string(renamed ? "lvlpckZebra" : "lvlpckOld") +
                                                           "/anna.sts") == 1;
        if (!holds) ADD_FAILURE() << state.what << ": packs " << ::testing::PrintToString(packs);
        return holds;
    };
    CrashReplay replay = ReplayCrashPoints("pack renamed", root, before, ops,
                                           {RawFile(root, "anna.alp"), RawFile(root, "bob.alp")}, oneWholePack);
    EXPECT_EQ(replay.inconsistent, 0u);
}

// A pack is deleted from its last level to its first, then the rest, then the folder: a stop in the middle leaves
// the pack listed with its first levels, counted without a gap and without a message; deleting it again finishes.
TEST_F(EditorCrashPoints, DeletingAPack) {
    DiskImage start = Base();
    AddPack(start, "lvlpckA", 4);
    AddPack(start, "lvlpckB", 1, "B");
    start.files["lvlpckA/anna.sts"] = NumberedStats(2, 1);
    start.files["lvlpckA/001.en.txt"] = "hint";
    WriteDiskImage(root, start);
    const DiskImage before = ReadDiskImage(root);
    EditLevel("lvlpckA", 3, {"lvlpckA", "lvlpckB"});
    const std::vector<FileOp> ops = RecordFileOps([] { DeleteCurrentPack(); });
    ASSERT_EQ(Entries(PackList), std::vector<std::string>{"lvlpckB"});
    const Titles all = {"A1", "A2", "A3", "A4"};
    auto firstLevelsLeft = [&](const CrashState& state, const CrashVersions&) {
        WriteDiskImage(root, state.disk);
        ListPacks();
        const std::vector<std::string> packs = Entries(PackList);
        bool holds = SeePack("lvlpckB").titles == Titles{"B1"};
        if (packs == std::vector<std::string>{"lvlpckA", "lvlpckB"}) {
            const Seen seen = SeePack("lvlpckA");
            const bool empty = seen.titles == Titles{"failed"} && !std::filesystem::exists(root / "lvlpckA/001.kbx");
            holds = holds && seen.message.empty() &&
                    (empty || std::equal(seen.titles.begin(), seen.titles.end(), all.begin()));
        } else {
            holds = holds && packs == std::vector<std::string>{"lvlpckB"};
        }
        if (!holds) ADD_FAILURE() << state.what << ": packs " << ::testing::PrintToString(packs);
        return holds;
    };
    CrashReplay replay = ReplayCrashPoints("pack deleted", root, before, ops,
                                           {RawFile(root, "lvlpckA/anna.sts"), RawFile(root, "lvlpckA/001.kbx")},
                                           firstLevelsLeft);
    EXPECT_EQ(replay.inconsistent, 0u);
}

// ---- The repair at the next start ---------------------------------------------------------------------------------

// Counting a pack puts a level that a stopped move left in the swap file back where it came from, and says what it
// cannot put back or what it does not count.
TEST_F(EditorCrashPoints, CountingAPackRepairsWhatAStoppedMoveLeft) {
    struct Case {
        const char* what;
        std::vector<int> levels;        // level files there, besides the swap file
        bool swapFile;
        Titles seen;
        int message;                    // the language line the message starts with, 0 for none
        std::vector<std::string> left;  // files of the pack afterwards
    };
    const Case cases[] = {
        {"swap file and the gap it came from", {1, 2, 4, 5}, true, {"A1", "A2", "T", "A4", "A5"}, 0,
         {"001.kbx", "002.kbx", "003.kbx", "004.kbx", "005.kbx"}},
        {"swap file from the last level", {1, 2, 3}, true, {"A1", "A2", "A3", "T"}, 0,
         {"001.kbx", "002.kbx", "003.kbx", "004.kbx"}},
        {"swap file with two gaps", {1, 3, 5}, true, {"A1"}, LineInterruptedMove,
         {"001.kbx", "003.kbx", "005.kbx", "tempinc.kbx"}},
        {"a gap without a swap file", {1, 2, 4}, false, {"A1", "A2"}, LineLevelFileMissing,
         {"001.kbx", "002.kbx", "004.kbx"}},
        {"no level at all, the swap file only", {}, true, {"T"}, 0, {"001.kbx"}},
        {"a whole pack", {1, 2}, false, {"A1", "A2"}, 0, {"001.kbx", "002.kbx"}},
    };
    for (const Case& c : cases) {
        DiskImage disk = Base();
        disk.folders.insert("lvlpckP");
        for (int n : c.levels) disk.files["lvlpckP/" + LevelFileName(n)] = LevelTitled("A" + std::to_string(n));
        if (c.swapFile) disk.files["lvlpckP/tempinc.kbx"] = LevelTitled("T");
        WriteDiskImage(root, disk);
        const Seen seen = SeePack("lvlpckP");
        EXPECT_EQ(seen.titles, c.seen) << c.what;
        if (c.message) {
            EXPECT_TRUE(seen.message.starts_with(Line(c.message))) << c.what << ": " << seen.message;
        } else {
            EXPECT_EQ(seen.message, "") << c.what;
        }
        std::vector<std::string> files;
        for (const auto& [path, bytes] : ReadDiskImage(root).files)
            if (path.starts_with("lvlpckP/")) files.push_back(path.substr(8));
        EXPECT_EQ(files, c.left) << c.what;
    }
}

TEST_F(EditorCrashPoints, ALeftoverHintSwapFileIsNamedAndLeftAlone) {
    DiskImage disk = Base();
        disk.folders.insert("lvlpckP");
    for (int n : {1, 2}) disk.files["lvlpckP/" + LevelFileName(n)] = LevelTitled("A" + std::to_string(n));
    disk.files["lvlpckP/tempinc.de.txt"] = "Hinweis";
    WriteDiskImage(root, disk);
    const Seen seen = SeePack("lvlpckP");
    EXPECT_EQ(seen.titles, (Titles{"A1", "A2"}));
    EXPECT_EQ(seen.message, Line(LineInterruptedMove) + " lvlpckP/tempinc.de.txt");
    EXPECT_EQ(ReadDiskImage(root).files.count("lvlpckP/tempinc.de.txt"), 1u);
}

}  // namespace
