// A game installed in a folder the player cannot write to: the player's files go to their own folder
// ($XDG_DATA_HOME/kolbrix/), the shipped data is read where it was installed and never written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/editor.h"
#include "editor/level_ops.h"
#include "play/level_file.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tests/shell/game_fixture.h"
#include "tests/shell/pack_fixture.h"
#include "tiles/texture_packs.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// An environment variable set (or unset, for nullopt) for the test and put back afterwards.
struct EnvironmentVariable {
    std::string name;
    std::optional<std::string> saved;
    EnvironmentVariable(const std::string& n, const std::optional<std::string>& value) : name(n) {
        if (const char* old = std::getenv(n.c_str())) saved = old;
        if (value) setenv(n.c_str(), value->c_str(), 1);
        else unsetenv(n.c_str());
    }
    ~EnvironmentVariable() {
        if (saved) setenv(name.c_str(), saved->c_str(), 1);
        else unsetenv(name.c_str());
    }
};

// A folder standing for the player's home, removed at the end.
struct HomeFolder {
    fs::path path;
    HomeFolder() {
        static int counter = 0;
        const std::string name = "kolbrix-home-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        path = fs::temp_directory_path() / name;
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~HomeFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// Every entry under a folder with the contents of its ordinary files (links are named, not followed): two equal
// snapshots mean nothing was made, changed or removed there. Contents longer than a line show as size and hash.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
        const std::string name = it->path().lexically_relative(root).string();
        if (it->is_symlink()) {
            entries[name] = "link";
        } else if (it->is_directory()) {
            entries[name] = "folder";
        } else {
            const std::string bytes = ReadAll(it->path());
            entries[name] = bytes.size() <= 40 ? bytes
                                               : std::to_string(bytes.size()) + " bytes, hash " +
                                                     std::to_string(std::hash<std::string>{}(bytes));
        }
    }
    return entries;
}

std::string ReadSource(const std::string& relative) { return ReadAll(fs::path(KOLBRIX_SOURCE_DIR) / relative); }

std::size_t WallCount(const fs::path& level) {
    LevelData data;
    return DecodeLevel(ReadAll(level), data) ? static_cast<std::size_t>(data.level.wallLayer.Count()) : 0;
}

// The installed game: the program folder as the game ships it, which the player may not write to, and the
// player's home with XDG_DATA_HOME pointing into it.
struct InstalledGame {
    FirstStartFolder game;
    HomeFolder home;
    EnvironmentVariable xdg{"XDG_DATA_HOME", (home.path / "data").string()};
    InstalledGame() {
        // Tests may run as root, for whom a folder without write permission is still writable: the start is told.
        PlatformAssumeFolderWritable(0);
        WriteAll(game.folder.path / "lvlpckTest" / "001.en.txt", "A hint of the shipped level\n");
    }
    ~InstalledGame() { PlatformAssumeFolderWritable(-1); }
    fs::path Own() const { return home.path / "data" / "kolbrix"; }
};

}  // namespace

// ---- Which folder the start chooses --------------------------------------------------------------------------

TEST(DataFolderChoice, ProgramFolderWhileWritableElseThePlayersOwnFolder) {
    struct Case {
        const char* what;
        int writable;
        std::optional<std::string> xdg;     // relative to the home folder when it does not start with "/"
        bool withHome;
        std::string expected;               // "program", or a folder relative to the home folder
    };
    const Case cases[] = {
        {"writable program folder", 1, "/data", true, "program"},
        {"read-only, XDG_DATA_HOME set", 0, "/data", true, "data/kolbrix/"},
        {"read-only, XDG_DATA_HOME unset", 0, std::nullopt, true, ".local/share/kolbrix/"},
        {"read-only, relative XDG_DATA_HOME is ignored", 0, "data", true, ".local/share/kolbrix/"},
        {"read-only, no home at all", 0, std::nullopt, false, "program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempProgramFolder program;
        UseHeadless();
        HomeFolder home;
        std::optional<std::string> xdg = c.xdg;
        if (xdg && (*xdg)[0] == '/') xdg = home.path.string() + *xdg;
        EnvironmentVariable xdgVariable("XDG_DATA_HOME", xdg);
        EnvironmentVariable homeVariable("HOME", c.withHome ? std::optional<std::string>(home.path.string())
                                                            : std::nullopt);
        PlatformAssumeFolderWritable(c.writable);
        PlatformChooseDataFolder();
        if (c.expected == "program") {
            EXPECT_EQ(DataFolder(), program.Folder());
            EXPECT_FALSE(DataFolderIsSeparate());
        } else {
            EXPECT_EQ(DataFolder(), home.path.string() + "/" + c.expected);
            EXPECT_TRUE(DataFolderIsSeparate());
            EXPECT_TRUE(fs::is_directory(DataFolder())) << "made at the start";
        }
        PlatformAssumeFolderWritable(-1);
    }
}

TEST(DataFolderChoice, TheSystemSaysAFolderWithoutWritePermissionIsReadOnly) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes to any folder";
    TempProgramFolder program;
    UseHeadless();
    EXPECT_TRUE(PlatformFolderWritable(program.Folder()));
    fs::permissions(program.path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(PlatformFolderWritable(program.Folder()));
    fs::permissions(program.path, fs::perms::owner_write, fs::perm_options::add);
}

// ---- The whole game from a read-only program folder ----------------------------------------------------------

TEST(InstalledGameRun, SettingsPlayerAndStatisticsGoToTheOwnFolderAndTheProgramFolderStaysUntouched) {
    InstalledGame g;
    const auto before = Snapshot(g.game.folder.path);
    std::vector<std::string> trace;
    EXPECT_EQ(g.game.Run(ReadSource("assets/scripts/example-game.keys"), 100000, trace), 0);
    ASSERT_FALSE(trace.empty());
    EXPECT_TRUE(trace.back().ends_with(",\"exit\":0}")) << trace.back();

    EXPECT_EQ(Snapshot(g.game.folder.path), before) << "the shipped folder was written to";
    EXPECT_TRUE(fs::exists(g.Own() / "settings.dat"));
    EXPECT_TRUE(fs::exists(g.Own() / "ada.alp"));
    // The shipped pack's statistics: a folder of its name in the player's folder, holding nothing else but the best
    // run of the level won beside them.
    EXPECT_TRUE(fs::exists(g.Own() / "lvlpckTest" / "ada.sts"));
    EXPECT_TRUE(fs::exists(g.Own() / "lvlpckTest" / "ada.001.kbr"));
    EXPECT_EQ(std::distance(fs::directory_iterator(g.Own() / "lvlpckTest"), fs::directory_iterator()), 2);
}

TEST(InstalledGameRun, EditingAShippedLevelCopiesThePackAndSavesTheCopy) {
    InstalledGame g;
    const fs::path shipped = g.game.folder.path / "lvlpckTest" / "001.kbx";
    const std::size_t shippedWalls = WallCount(shipped);
    ASSERT_GT(shippedWalls, 0u);
    const auto before = Snapshot(g.game.folder.path);

    InstallEditor();
    std::vector<std::string> trace;
    EXPECT_EQ(g.game.Run(ReadSource("assets/scripts/example-editor.keys"), 100000, trace), 0);

    EXPECT_EQ(Snapshot(g.game.folder.path), before) << "the shipped folder was written to";
    EXPECT_EQ(WallCount(g.Own() / "lvlpckTest" / "001.kbx"), shippedWalls + 3) << "the edits are in the copy";
    EXPECT_EQ(ReadAll(g.Own() / "lvlpckTest" / "001.en.txt"), "A hint of the shipped level\n");
    EXPECT_TRUE(fs::exists(g.Own() / "tempedit.kbx")) << "the test play's level";
}

// ---- Packs of both folders -----------------------------------------------------------------------------------

namespace {

// The pack tests' data folder as the program folder, and a second folder as the player's own.
class SeparateFolders : public DataFolderTest {
protected:
    HomeFolder home;
    void SetUp() override {
        DataFolderTest::SetUp();
        SetDataFolder(home.path.string());
        LanguageText[53] = "OK";
        for (int line : {LinePackNotMade, LinePackNotRenamed, LineNotEveryFileDeleted, LineWriteProtected, 230})
            LanguageText[static_cast<size_t>(line)] = "line " + std::to_string(line);
    }
    void TearDown() override {
        PlatformFailFileStep(-1, 0);
        SetDataFolder("");
        DataFolderTest::TearDown();
    }
    fs::path Own(const std::string& relative) const { return home.path / relative; }
    void Choose(const std::string& entry) {
        const auto at = std::find(PackList.begin(), PackList.end(), entry);
        PackIndex = static_cast<std::int32_t>(at - PackList.begin() + 1);
        ASSERT_LE(PackIndex, PackList.Count()) << entry;
    }
};

}  // namespace

TEST_F(SeparateFolders, ListingMergesBothFoldersAndThePlayersPackOfAShippedNameWins) {
    Write("lvlpckAlpha/001.kbx", "shipped alpha");
    Write("lvlpckBeta/001.kbx", "shipped beta");
    Write("lvlpckEpisode 4/001.kbx", "hidden");
    WriteAll(Own("lvlpckBeta/001.kbx"), "own beta");
    WriteAll(Own("lvlpckGamma/001.kbx"), "own gamma");
    WriteAll(Own("lvlpckAlpha/bob.sts"), HandStatsBytes(HandStats{}));    // statistics only: not a pack of its own
    ListPacks();
    EXPECT_EQ(Entries(PackList),
              (std::vector<std::string>{"lvlpckAlpha", "lvlpckBeta", "lvlpckEpisode 4 &", "lvlpckGamma"}));
    struct Case { const char* entry; std::string folder; bool shipped; };
    const Case cases[] = {
        {"lvlpckAlpha", data->Folder() + "lvlpckAlpha/", true},
        {"lvlpckBeta", home.path.string() + "/lvlpckBeta/", false},
        {"lvlpckGamma", home.path.string() + "/lvlpckGamma/", false},
        {"lvlpckEpisode 4 &", data->Folder() + "lvlpckEpisode 4/", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        EXPECT_EQ(PackFolderPath(c.entry), c.folder);
        EXPECT_EQ(IsShippedPack(c.entry), c.shipped);
    }
    Choose("lvlpckBeta");
    CountLevels();
    std::string bytes;
    ASSERT_TRUE(PlatformReadFile(CurrentPackFolder() + LevelFileName(1), bytes));
    EXPECT_EQ(bytes, "own beta");
}

TEST_F(SeparateFolders, StatisticsOfAShippedPackAreWrittenAndReadInTheOwnFolder) {
    Write("lvlpckAlpha/001.kbx", "shipped alpha");
    Write("lvlpckAlpha/002.kbx", "shipped alpha 2");
    ListPacks();
    SetList(PlayerList, {"bob"});
    PlayerIndex = 1;
    Choose("lvlpckAlpha");
    CountLevels();
    LevelNumber = 2;
    LevelWins[1] = 1;
    LevelBest[1] = 23456;
    ASSERT_TRUE(SaveStats());
    EXPECT_FALSE(Exists("lvlpckAlpha/bob.sts"));
    ASSERT_TRUE(fs::exists(Own("lvlpckAlpha/bob.sts")));
    EXPECT_EQ(GetLe32(ReadAll(Own("lvlpckAlpha/bob.sts")), 0), 2);
    EXPECT_EQ(CurrentPackFolder(), data->Folder() + "lvlpckAlpha/") << "the levels still come from the shipped pack";

    LevelBest.fill(0);
    LevelNumber = 1;
    LoadStats();
    EXPECT_EQ(LevelNumber, 2);
    EXPECT_EQ(LevelBest[1], 23456);
    LevelNumber = 1;
    ComputeLevelRecord();
    EXPECT_EQ(LevelRecordHolder, "bob");
}

TEST_F(SeparateFolders, ACopyThatFailsLeavesTheShippedPackInPlayAndNothingBehind) {
    Write("lvlpckAlpha/001.kbx", "shipped 1");
    Write("lvlpckAlpha/002.kbx", "shipped 2");
    Write("lvlpckAlpha/001.en.txt", "hint");
    ListPacks();
    Choose("lvlpckAlpha");
    WriteAll(Own("lvlpckAlpha/ann.sts"), "statistics");
    // The files are written in the order hint, level 2, level 1, five steps each: the second one's write fails on
    // a full disk, and the hint already copied goes again.
    PlatformFailFileStep(7, ENOSPC);
    EXPECT_FALSE(CopyShippedPack());
    PlatformFailFileStep(-1, 0);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[LinePackNotMade]);
    EXPECT_TRUE(IsShippedPack("lvlpckAlpha"));
    EXPECT_EQ(Snapshot(Own("lvlpckAlpha")), (std::map<std::string, std::string>{{"ann.sts", "statistics"}}));

    MessageState = 0;
    ASSERT_TRUE(CopyShippedPack());
    EXPECT_FALSE(IsShippedPack("lvlpckAlpha"));
    EXPECT_EQ(Snapshot(Own("lvlpckAlpha")),
              (std::map<std::string, std::string>{{"001.en.txt", "hint"}, {"001.kbx", "shipped 1"},
                                                  {"002.kbx", "shipped 2"}, {"ann.sts", "statistics"}}));
}

TEST_F(SeparateFolders, AShippedPackIsNeitherRenamedNorDeletedButThePlayersCopyIs) {
    Write("lvlpckAlpha/001.kbx", "shipped alpha");
    Write("lvlpckBeta/001.kbx", "shipped beta");
    ListPacks();
    const auto shippedBefore = Snapshot(root);

    Choose("lvlpckAlpha");
    EXPECT_FALSE(RenamePack("Renamed"));
    EXPECT_EQ(DialogLine1, LanguageText[LinePackNotRenamed]);
    EXPECT_EQ(DialogLine2, LanguageText[LineWriteProtected]);
    MessageState = 0;
    EXPECT_FALSE(DeletePack());
    EXPECT_EQ(DialogLine1, LanguageText[LineNotEveryFileDeleted]);
    MessageState = 0;
    EXPECT_EQ(Snapshot(root), shippedBefore);

    // The player's copy goes, and the shipped pack is in its place again.
    ASSERT_TRUE(CopyShippedPack());
    ASSERT_TRUE(DeletePack());
    EXPECT_EQ(Entries(PackList), (std::vector<std::string>{"lvlpckAlpha", "lvlpckBeta"}));
    EXPECT_FALSE(fs::exists(Own("lvlpckAlpha")));
    EXPECT_TRUE(IsShippedPack("lvlpckAlpha"));

    // A renamed copy is a pack of its own, and the shipped one is listed again under its name.
    Choose("lvlpckAlpha");
    ASSERT_TRUE(CopyShippedPack());
    ASSERT_TRUE(RenamePack("Mine"));
    EXPECT_EQ(Entries(PackList), (std::vector<std::string>{"lvlpckAlpha", "lvlpckBeta", "lvlpckMine"}));
    EXPECT_EQ(ReadAll(Own("lvlpckMine/001.kbx")), "shipped alpha");
    EXPECT_EQ(Snapshot(root), shippedBefore);

    // A new pack may not take a shipped pack's name.
    EXPECT_FALSE(NewPack("Beta"));
    EXPECT_FALSE(fs::exists(Own("lvlpckBeta")));
}

// ---- Texture packs and music the player drops into their folder ------------------------------------------------

TEST_F(SeparateFolders, TexturePacksAndMusicOfTheOwnFolderAreFound) {
    const fs::path shippedMain = fs::path(KOLBRIX_GAME_DIR) / "txtpckMain";
    std::string frame;
    for (const auto& entry : fs::directory_iterator(shippedMain))
        if (frame.empty() || entry.path().filename().string() < frame) frame = entry.path().filename().string();
    ASSERT_FALSE(frame.empty());
    // A shipped pack, a shipped pack the player replaced, and a pack of the player's own.
    for (const fs::path& folder : {root / "txtpckMain", root / "txtpckOld", Own("txtpckOld"), Own("txtpckMine")}) {
        fs::create_directories(folder);
        fs::copy_file(shippedMain / frame, folder / frame);
    }

    List<PackFrameFile> frames;
    List<std::int32_t> packEnds;
    ScanTexturePacks(frames, packEnds);
    EXPECT_EQ(Entries(TexturePackList), (std::vector<std::string>{"txtpckMine", "txtpckOld", "txtpckMain"}));
    std::vector<std::string> paths;
    for (int i = 1; i <= frames.Count(); i++) paths.push_back(frames[i].path);
    EXPECT_EQ(paths, (std::vector<std::string>{home.path.string() + "/txtpckMine/" + frame,
                                               home.path.string() + "/txtpckOld/" + frame,
                                               data->Folder() + "txtpckMain/" + frame}));

    Write("audio/b.ogg", "shipped b");
    Write("audio/c.ogg", "shipped c");
    WriteAll(Own("audio/a.ogg"), "own a");
    WriteAll(Own("audio/c.ogg"), "own c");
    List<std::string> tracks = ListGameMusic();
    EXPECT_EQ(Entries(tracks), (std::vector<std::string>{"audio/a.ogg", "audio/b.ogg", "audio/c.ogg"}));
    EXPECT_EQ(MusicFilePath("audio/a.ogg"), home.path.string() + "/audio/a.ogg");
    EXPECT_EQ(MusicFilePath("audio/b.ogg"), data->Folder() + "audio/b.ogg");
    EXPECT_EQ(MusicFilePath("audio/c.ogg"), home.path.string() + "/audio/c.ogg");
}
