// Players on a throw-away data folder: the player list, the remembered pack, and deleting a player.
#include "tests/shell/pack_fixture.h"

namespace {

using Players = DataFolderTest;
using Names = std::vector<std::string>;

TEST_F(Players, ListsPlayerFilesSortedByName) {
    Write("zed.alp", "lvlpckKolbrix\n");
    Write("Anna.alp", "lvlpckKolbrix\n");
    Write("bob.alp", "");
    Write("notes.txt", "");
    Folder("cleo.alp");
    PlayerIndex = 1;
    ListPlayers();
    EXPECT_EQ(Entries(PlayerList), (Names{"Anna", "bob", "zed"}));
}

TEST_F(Players, SortKeepsTheCurrentPlayer) {
    SetList(PlayerList, {"zed", "anna", "bob"});
    PlayerIndex = 1;
    SortPlayers();
    EXPECT_EQ(Entries(PlayerList), (Names{"anna", "bob", "zed"}));
    EXPECT_EQ(PlayerIndex, 3);
}

TEST_F(Players, SavedPackIsFoundAgain) {
    SetList(PackList, {"lvlpckA", "lvlpckb", "lvlpckEpisode 4 &"});
    SetList(PlayerList, {"anna"});
    PlayerIndex = 1;
    PackIndex = 2;
    EXPECT_TRUE(SavePlayerPack());
    EXPECT_EQ(Read("anna.alp"), "lvlpckb\n");
    EXPECT_EQ(FolderNames(""), Names{"anna.alp"});
    PackIndex = 3;
    LoadPlayerPack();
    EXPECT_EQ(PackIndex, 2);
}

TEST_F(Players, LoadPlayerPackMatchesTrimmedWithoutCaseAndNeverTheLockedPack) {
    struct Case { const char* file; std::int32_t unlocked; std::int32_t expected; };
    const Case cases[] = {
        {" LVLPCKB \r\nsecond line\n", 0, 2},
        {"lvlpckEpisode 4\n", 0, 1},     // still locked: listed with its mark, so it does not match
        {"lvlpckEpisode 4\n", -1, 3},
        {"lvlpckGone\n", 0, 1},
        {nullptr, 0, 1},                 // no pack file yet
    };
    SetList(PlayerList, {"anna"});
    PlayerIndex = 1;
    for (const Case& c : cases) {
        std::filesystem::remove(At("anna.alp"));
        if (c.file) Write("anna.alp", c.file);
        SetList(PackList, {"lvlpckA", "lvlpckb", c.unlocked ? "lvlpckEpisode 4" : "lvlpckEpisode 4 &"});
        PackIndex = 3;
        LoadPlayerPack();
        EXPECT_EQ(PackIndex, c.expected) << (c.file ? c.file : "(no file)");
    }
}

TEST_F(Players, DeleteRemovesThePlayersFilesEverywhereAndPicksTheNextPlayer) {
    struct Case { Names players; std::int32_t current; Names left; std::int32_t nowCurrent; };
    const Case cases[] = {
        {{"anna", "bob", "cleo"}, 2, {"anna", "cleo"}, 2},   // the one after becomes current
        {{"anna", "bob", "cleo"}, 1, {"bob", "cleo"}, 1},
        {{"anna", "bob", "cleo"}, 3, {"anna", "bob"}, 2},    // the last one: the one before
        {{"bob"}, 1, {}, 0},                                  // nobody left
    };
    SetList(PackList, {"lvlpckA", "lvlpckEpisode 4 &"});
    for (const Case& c : cases) {
        for (const std::string& name : c.players) {
            Write(name + ".alp", "lvlpckA\n");
            Write("lvlpckA/" + name + ".sts", "stats");
            Write("lvlpckEpisode 4/" + name + ".sts", "stats");
        }
        SetList(PlayerList, c.players);
        PlayerIndex = c.current;
        std::string gone = c.players[static_cast<size_t>(c.current - 1)];
        DeletePlayer();
        EXPECT_EQ(Entries(PlayerList), c.left);
        EXPECT_EQ(PlayerIndex, c.nowCurrent);
        EXPECT_FALSE(Exists(gone + ".alp"));
        EXPECT_FALSE(Exists("lvlpckA/" + gone + ".sts"));
        EXPECT_FALSE(Exists("lvlpckEpisode 4/" + gone + ".sts")) << "the hidden pack keeps no statistics of " << gone;
        for (const std::string& name : c.left) {
            EXPECT_TRUE(Exists(name + ".alp"));
            EXPECT_TRUE(Exists("lvlpckA/" + name + ".sts"));
        }
    }
}

TEST_F(Players, WithoutAPlayerNothingIsReadOrWritten) {
    Write("lvlpckA/.keep", "");
    SetList(PackList, {"lvlpckA"});
    PackIndex = 1;
    for (Names players : {Names{}, Names{"anna"}}) {
        SetList(PlayerList, players);
        PlayerIndex = players.empty() ? 0 : 2;   // nobody, or a position beyond the list
        LevelNumber = 4;
        LevelWins[1] = 3;
        EXPECT_FALSE(SavePlayerPack());
        EXPECT_FALSE(SaveStats());
        LoadStats();
        EXPECT_EQ(LevelNumber, 4);
        EXPECT_EQ(LevelWins[1], 3);
        DeletePlayer();
        EXPECT_EQ(Entries(PlayerList), players);
    }
    EXPECT_EQ(FolderNames(""), Names{"lvlpckA"});
    EXPECT_EQ(FolderNames("lvlpckA"), Names{".keep"});
}

TEST_F(Players, PlayerNamesLeavingTheDataFolderWriteNothing) {
    Folder("lvlpckA");
    SetList(PackList, {"lvlpckA"});
    PackIndex = 1;
    for (const char* name : {"../evil", "a/b", ".."}) {
        SetList(PlayerList, {name});
        PlayerIndex = 1;
        EXPECT_FALSE(SavePlayerPack()) << name;
        EXPECT_FALSE(SaveStats()) << name;
    }
    EXPECT_EQ(FolderNames(""), Names{"lvlpckA"});
    EXPECT_TRUE(FolderNames("lvlpckA").empty());
    EXPECT_FALSE(std::filesystem::exists(root.parent_path() / "evil.alp"));
}

}  // namespace
