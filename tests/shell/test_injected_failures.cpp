// Every write the game makes, failed at each of its steps in turn. The file layer counts the steps of an operation
// (creating a file, each write, each flush of a file or a folder, renames, deletes, folder changes) and makes one of
// them fail as the disk would (PlatformFailFileStep): a write with "no space left", any other step with an
// input/output error; and a read-only folder fails every step. After each failure:
// - the files that were there before are whole: each file on disk is byte for byte a version the operation
//   started from or would have ended with, and no file that the operation keeps is gone;
// - the game says so: a message is up (never the "saved" one), its second line naming what the disk said;
// - the game goes on: its lists and counts agree with the disk, every level it counts loads, and a save or a
//   deletion tried again afterwards gets done.
#include <cerrno>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/language.h"
#include "editor/level_ops.h"
#include "editor/undo.h"
#include "shell/best_runs.h"
#include "tests/play/level_fixture.h"
#include "tests/platform/crash_replay.h"
#include "tests/shell/pack_fixture.h"

namespace {

using Names = std::vector<std::string>;

constexpr int LineSaveFailed = 76, LineLevelSaved = 72;

struct Operation {
    const char* what;
    std::function<void()> prepare;      // the data folder and the game's state before
    std::function<void()> run;
    std::vector<int> reports;           // the first lines of the messages that may report a failure
    std::function<void()> retry = {};   // once more without a failure: ends where a run without failure ends
    bool levels = true;                 // the game's pack and level lists take part
};

class InjectedFailures : public LevelTest {
protected:
    std::filesystem::path root;

    void SetUp() override {
        LevelTest::SetUp();
        root = data->path;
        for (int n = 1; n <= LanguageLineCount; ++n) LanguageText[static_cast<size_t>(n)] = "line " + std::to_string(n);
        LanguageText[LineHintFileExtension] = "en.txt";
        WriteEmptyLevel();
        empty = ReadDiskImage(root);
        PlayerList.Clear();
    }
    void TearDown() override {
        PlatformFailFileStep(-1, 0);
        PlayerList.Clear();
        LevelTest::TearDown();
    }

    DiskImage empty;                    // the data folder with the empty level only

    std::string LevelTitled(const std::string& title) const {
        EXPECT_TRUE(LoadLevel(data->File("emptylevel.kbx")));
        level.levelTitle = title;
        return EncodeLevel();
    }
    void AddPack(DiskImage& disk, const std::string& pack, int levels) const {
        disk.folders.insert(pack);
        for (int n = 1; n <= levels; ++n)
            disk.files[pack + "/" + LevelFileName(n)] = LevelTitled(pack.substr(6) + std::to_string(n));
    }
    // Puts `disk` in the data folder and the editor on level `number` of `pack`.
    void Edit(const DiskImage& disk, const std::string& pack, std::int32_t number, const Names& packs) const {
        WriteDiskImage(root, disk);
        SetList(PackList, packs);
        PackIndex = 1;
        while (PackList[PackIndex] != pack) ++PackIndex;
        CountLevels();
        LevelNumber = number;
        EXPECT_TRUE(LoadLevel(""));
        ClearHistory();
    }
    static void UsePlayer(const std::string& pack, const std::string& player) {
        SetList(PackList, {pack});
        PackIndex = 1;
        SetList(PlayerList, {player});
        PlayerIndex = 1;
    }

    // Runs the operation with the seam set as given; the seam is off again afterwards.
    void RunFailing(const Operation& op, std::int64_t step, int error, bool everyLater) const {
        op.prepare();
        MessageState = 0;
        DialogLine1 = DialogLine2 = DialogLine3 = "";
        PlatformTakeFileError();
        PlatformFailFileStep(step, error, everyLater);
        op.run();
        PlatformFailFileStep(-1, 0);
    }

    // The game's lists and counts agree with the disk: every listed pack is a folder, the current level is one of
    // the pack's, and every level counted is there and loads.
    std::string GameAgreesWithDisk() const {
        std::string problems;
        for (const std::string& pack : PackList)
            if (!std::filesystem::is_directory(root / pack)) problems += " pack " + pack + " listed but gone;";
        if (PackList.Empty()) return problems;
        if (PackIndex < 1 || PackIndex > PackList.Count()) return problems + " no current pack;";
        if (LevelNumber < 1 || LevelNumber > LevelCount) problems += " level " + std::to_string(LevelNumber) + " of " +
                                                                     std::to_string(LevelCount) + ";";
        const std::int32_t number = LevelNumber;
        const std::int32_t state = MessageState;
        // A pack without level files counts one level, which does not load.
        const std::filesystem::path folder = root / PackList[PackIndex];
        const bool noLevels = !PlatformFileExists((folder / "001.kbx").string());
        for (LevelNumber = 1; LevelNumber <= LevelCount && !noLevels; ++LevelNumber)
            if (!LoadLevel("")) problems += " level " + std::to_string(LevelNumber) + " does not load;";
        if (noLevels && LevelCount != 1) problems += " an empty pack counts " + std::to_string(LevelCount) + ";";
        LevelNumber = number;
        MessageState = state;
        return problems;
    }

    // The files on disk against the versions before and after a run without failure. A file may stand under another
    // name than in either version (a level that a renumbering stopped half-way moved), but never be torn.
    static std::string FilesWhole(const DiskImage& disk, const DiskImage& before, const DiskImage& after) {
        std::string problems;
        std::multiset<std::string> there, kept, beforeContents, afterContents;
        for (const auto& [path, bytes] : before.files) beforeContents.insert(bytes);
        for (const auto& [path, bytes] : after.files) afterContents.insert(bytes);
        for (const auto& [path, bytes] : disk.files) {
            there.insert(bytes);
            if (!beforeContents.contains(bytes) && !afterContents.contains(bytes))
                problems += " " + path + " is neither version (" + std::to_string(bytes.size()) + " bytes);";
        }
        std::set_intersection(beforeContents.begin(), beforeContents.end(), afterContents.begin(), afterContents.end(),
                              std::inserter(kept, kept.begin()));
        std::multiset<std::string> lost;
        std::set_difference(kept.begin(), kept.end(), there.begin(), there.end(), std::inserter(lost, lost.begin()));
        if (!lost.empty()) problems += " " + std::to_string(lost.size()) + " file(s) that stay were lost;";
        return problems;
    }

    // The message up reports the failure; the messages on a file that failed say what the disk said.
    static std::string Reported(const Operation& op, int error) {
        if (MessageState != 1) return " nothing reported;";
        if (DialogLine2 == Line(LineLevelSaved)) return " reported as saved;";
        int first = 0;
        for (int line : op.reports)
            if (DialogLine1 == Line(line)) first = line;
        if (first == 0) return " reported with \"" + DialogLine1 + "\";";
        const int why = error == ENOSPC ? LineDiskFull : error == EROFS ? LineWriteProtected : LineWriteError;
        const bool saysWhy = first >= LineStatisticsNotSaved && first <= LineNotEveryChange;
        if (saysWhy && DialogLine2 != Line(why))
            return " says \"" + DialogLine2 + "\" for error " + std::to_string(error) + ";";
        return "";
    }

    static std::string Line(int number) { return LanguageText[static_cast<size_t>(number)]; }

    // Counts the operation's steps, fails each in turn, then fails all of them as a read-only folder would; checks
    // the three conditions after each. Returns the number of steps.
    size_t FailEveryStep(const Operation& op) {
        op.prepare();
        const DiskImage before = ReadDiskImage(root);
        MessageState = 0;
        PlatformFailFileStep(0, 0);
        const std::vector<FileOp> journal = RecordFileOps(op.run);
        const std::int64_t steps = PlatformFileStepsTaken();
        PlatformFailFileStep(-1, 0);
        EXPECT_TRUE(MessageState == 0 || DialogLine2 == Line(LineLevelSaved)) << op.what << ": " << DialogLine1;
        const DiskImage after = ReadDiskImage(root);
        // Every step of a run without failure is a change or a flush that succeeded: none fails on its own.
        EXPECT_EQ(static_cast<size_t>(steps), journal.size()) << op.what;
        EXPECT_FALSE(after == before) << op.what;

        struct Failure { std::int64_t step; int error; bool everyLater; std::string what; };
        std::vector<Failure> failures;
        for (size_t i = 0; i < journal.size(); ++i) {
            const bool write = journal[i].kind == FileOpKind::WriteFile;
            failures.push_back({static_cast<std::int64_t>(i + 1), write ? ENOSPC : EIO, false,
                                "step " + std::to_string(i + 1) + " of " + std::to_string(steps) +
                                    (write ? " (a write, disk full)" : "")});
        }
        failures.push_back({1, EROFS, true, "read-only folder"});
        for (const Failure& f : failures) {
            RunFailing(op, f.step, f.error, f.everyLater);
            const std::string where = std::string(op.what) + ", " + f.what + ":";
            const DiskImage disk = ReadDiskImage(root);
            EXPECT_EQ(FilesWhole(disk, before, after), "") << where;
            if (f.everyLater) {
                EXPECT_TRUE(disk == before) << where << " a read-only folder changed";
            }
            // The operations that report through the editor's save message keep its own second line.
            EXPECT_EQ(Reported(op, f.error), "") << where << " " << DialogLine1 << " / " << DialogLine2;
            if (op.levels) {
                EXPECT_EQ(GameAgreesWithDisk(), "") << where;
            }
            if (op.retry) {
                MessageState = 0;
                op.retry();
                EXPECT_EQ(MessageState, 0) << where << " the second try failed: " << DialogLine1;
                EXPECT_TRUE(ReadDiskImage(root) == after) << where << " the second try ends elsewhere";
            }
        }
        std::printf("[ injected failures ] %s: %lld steps failed one by one, and a read-only folder\n", op.what,
                    static_cast<long long>(steps));
        return journal.size();
    }
};

// A statistics file with different numbers in every slot.
std::string NumberedStats(std::int32_t level, int seed) {
    HandStats s;
    s.level = level;
    for (int i = 1; i <= 999; i++) {
        s.wins[static_cast<size_t>(i)] = i % 7 + seed;
        s.best[static_cast<size_t>(i)] = 1000 * i + seed;
    }
    return HandStatsBytes(s);
}

TEST_F(InjectedFailures, SavesOfSettingsStatisticsAndPlayers) {
    const Operation operations[] = {
        {"settings save",
         [&] {
             DiskImage disk = empty;
             WriteDiskImage(root, disk);
             SetDefaultSettings();
             LanguageFile = "deutsch.str";
             ASSERT_TRUE(SaveSettings());
             LoadSettings();
             LanguageFile = "english.str";
             ScreenWidth = 1024;
         },
         [] { SaveSettings(); }, {LineSettingsNotSaved}, [] { EXPECT_TRUE(SaveSettings()); }, false},
        {"first settings save",
         [&] {
             WriteDiskImage(root, empty);
             LoadSettings();
             MusicOn = 0;
         },
         [] { SaveSettings(); }, {LineSettingsNotSaved}, [] { EXPECT_TRUE(SaveSettings()); }, false},
        {"statistics save after a level",
         [&] {
             DiskImage disk = empty;
             disk.folders.insert("lvlpckP");
             disk.files["lvlpckP/anna.sts"] = NumberedStats(3, 1);
             WriteDiskImage(root, disk);
             UsePlayer("lvlpckP", "anna");
             LoadStats();
             LevelWins[3]++;
             LevelNumber = 4;
         },
         [] { SaveStats(); }, {LineStatisticsNotSaved}, [] { EXPECT_TRUE(SaveStats()); }, false},
        {"statistics of a pack shifted",
         [&] {
             DiskImage disk = empty;
             disk.folders.insert("lvlpckP");
             disk.files["lvlpckP/anna.sts"] = NumberedStats(3, 1);
             disk.files["lvlpckP/bob.sts"] = NumberedStats(5, 2);
             WriteDiskImage(root, disk);
             SetList(PackList, {"lvlpckP"});
             PackIndex = 1;
             LevelNumber = 2;
         },
         [] { ShiftStatistics(0); }, {LineStatisticsNotSaved}, {}, false},
        {"best run saved after a won level",
         [&] {
             DiskImage disk = empty;
             disk.folders.insert("lvlpckP");
             disk.files["lvlpckP/anna.sts"] = NumberedStats(3, 1);
             WriteDiskImage(root, disk);
             UsePlayer("lvlpckP", "anna");
         },
         [] {
             BestRun run;
             run.player = "anna";
             run.score = 500;
             SaveBestRunIfBetter(run, 3);
         },
         {LineBestRunNotSaved}, {}, false},
        {"player's pack file",
         [&] {
             DiskImage disk = empty;
             disk.folders.insert("lvlpckA");
             disk.folders.insert("lvlpckB");
             disk.files["anna.alp"] = "lvlpckA\n";
             WriteDiskImage(root, disk);
             SetList(PackList, {"lvlpckA", "lvlpckB"});
             PackIndex = 2;
             SetList(PlayerList, {"anna"});
             PlayerIndex = 1;
         },
         [] { SavePlayerPack(); }, {LinePlayerFileNotSaved}, [] { EXPECT_TRUE(SavePlayerPack()); }, false},
        {"player deleted",
         [&] {
             DiskImage disk = empty;
             disk.folders.insert("lvlpckA");
             disk.folders.insert("lvlpckB");
             disk.files["anna.alp"] = "lvlpckA\n";
             disk.files["bob.alp"] = "lvlpckB\n";
             disk.files["lvlpckA/anna.sts"] = NumberedStats(2, 1);
             disk.files["lvlpckB/anna.sts"] = NumberedStats(3, 2);
             disk.files["lvlpckB/bob.sts"] = NumberedStats(4, 3);
             WriteDiskImage(root, disk);
             SetList(PackList, {"lvlpckA", "lvlpckB"});
             PackIndex = 1;
             SetList(PlayerList, {"anna", "bob"});
             PlayerIndex = 1;
         },
         [] { DeletePlayer(); }, {LineNotEveryFileDeleted, LineNotEveryChange},
         [] {
             // A player whose deletion stopped is still listed, and deleting again finishes.
             if (PlayerList.Count() == 2) {
                 EXPECT_TRUE(DeletePlayer());
             }
             EXPECT_EQ(Entries(PlayerList), Names{"bob"});
         },
         false},
    };
    for (const Operation& op : operations) FailEveryStep(op);
}

TEST_F(InjectedFailures, LevelSavesMovesAndDeletes) {
    // Pack P: five levels, hints on levels 2 and 3, two players' statistics; the editor on level 2 or 3.
    auto packP = [&] {
        DiskImage disk = empty;
        AddPack(disk, "lvlpckP", 5);
        disk.files["lvlpckP/002.en.txt"] = "hint two";
        disk.files["lvlpckP/003.en.txt"] = "hint three";
        disk.files["lvlpckP/003.de.txt"] = "Hinweis drei";
        disk.files["lvlpckP/anna.sts"] = NumberedStats(3, 1);
        disk.files["lvlpckP/bob.sts"] = NumberedStats(1, 2);
        return disk;
    };
    std::string editedTitle;
    auto keepsItsEdits = [&] { EXPECT_EQ(level.levelTitle, editedTitle); };
    const Operation operations[] = {
        {"level saved in the editor",
         [&] {
             Edit(packP(), "lvlpckP", 2, {"lvlpckP"});
             level.levelTitle = "P2 edited";
             levelModified = -1;
         },
         [] { SaveEditedLevel(); }, {LineSaveFailed}},
        {"level moved later",
         [&] {
             Edit(packP(), "lvlpckP", 2, {"lvlpckP"});
             level.levelTitle = editedTitle = "P2 edited";
         },
         [&] {
             MoveLevelLater();
             keepsItsEdits();
         },
         {LineLevelNotMoved, LineStatisticsNotSaved, LineNotEveryChange}},
        {"level moved earlier",
         [&] { Edit(packP(), "lvlpckP", 3, {"lvlpckP"}); }, [] { MoveLevelEarlier(); },
         {LineLevelNotMoved, LineStatisticsNotSaved, LineNotEveryChange}},
        {"level deleted", [&] { Edit(packP(), "lvlpckP", 2, {"lvlpckP"}); }, [] { DeleteLevel(); },
         {LineLevelNotDeleted, LineRenumberFailed, LineStatisticsNotSaved, LineNotEveryChange}},
        {"new level", [&] { Edit(packP(), "lvlpckP", 3, {"lvlpckP"}); }, [] { NewLevel(); }, {LineSaveFailed}},
    };
    for (const Operation& op : operations) FailEveryStep(op);
}

TEST_F(InjectedFailures, PacksMadeRenamedAndDeleted) {
    auto twoPacks = [&] {
        DiskImage disk = empty;
        AddPack(disk, "lvlpckA", 1);
        AddPack(disk, "lvlpckOld", 3);
        disk.files["lvlpckOld/anna.sts"] = NumberedStats(2, 1);
        disk.files["lvlpckOld/002.en.txt"] = "hint";
        disk.files["anna.alp"] = "lvlpckOld\n";
        disk.files["bob.alp"] = "lvlpckOld\n";
        return disk;
    };
    auto selectOld = [] {
        for (PackIndex = 1; PackIndex <= PackList.Count() && PackList[PackIndex] != "lvlpckOld"; ++PackIndex) {
        }
        return PackIndex <= PackList.Count();
    };
    std::string editedTitle;
    const Operation operations[] = {
        {"new pack",
         [&] {
             Edit(twoPacks(), "lvlpckOld", 2, {"lvlpckA", "lvlpckOld"});
             level.levelTitle = editedTitle = "unsaved edit";
         },
         [&] {
             MakePack("New");
             // A pack that could not be made leaves the editor where it was, with the level it had.
             if (PackList.Count() == 2) {
                 EXPECT_EQ(level.levelTitle, editedTitle);
             }
         },
         {LinePackNotMade, LineSaveFailed, LineNotEveryChange}},
        {"pack renamed", [&] { Edit(twoPacks(), "lvlpckOld", 2, {"lvlpckA", "lvlpckOld"}); },
         [] { RenameCurrentPack("Zebra"); }, {LinePackNotRenamed, LineNotEveryChange}},
        {"pack deleted", [&] { Edit(twoPacks(), "lvlpckOld", 2, {"lvlpckA", "lvlpckOld"}); },
         [] { DeleteCurrentPack(); }, {LineNotEveryFileDeleted, LineNotEveryChange},
         [&] {
             // A pack whose deletion stopped is still listed, with its first levels; deleting again finishes.
             if (selectOld()) DeleteCurrentPack();
             EXPECT_EQ(Entries(PackList), Names{"lvlpckA"});
         }},
    };
    for (const Operation& op : operations) FailEveryStep(op);
}

}  // namespace
