// Level packs on a throw-away data folder: listing, order, level counts, stepping, and the editor's operations.
#include "tests/shell/pack_fixture.h"

#include "platform/platform.h"

namespace {

using Packs = DataFolderTest;
using Names = std::vector<std::string>;

TEST_F(Packs, ListsPackFoldersInCaseInsensitiveOrderWithTheHiddenPackMarkedWhileLocked) {
    struct Case { std::int32_t unlocked; Names expected; };
    const Case cases[] = {
        {0, {"lvlpckA", "lvlpckb", "lvlpckEpisode 4 &", "lvlpckZed"}},
        {-1, {"lvlpckA", "lvlpckb", "lvlpckEpisode 4", "lvlpckZed"}},
    };
    for (const char* folder : {"lvlpckZed", "lvlpckb", "lvlpckEpisode 4", "lvlpckA", "other"}) Folder(folder);
    Write("lvlpckfile", "not a folder");
    for (const Case& c : cases) {
        BonusPackUnlocked = c.unlocked;
        PackIndex = 3;
        ListPacks();
        EXPECT_EQ(Entries(PackList), c.expected) << "unlocked " << c.unlocked;
        EXPECT_EQ(PackIndex, 1);
    }
    EXPECT_FALSE(Exists("lvlpckKolbrix"));
}

TEST_F(Packs, CreatesTheDefaultPackWhenThereIsNone) {
    Write("lvlpckLonely", "a file, not a pack");
    ListPacks();
    EXPECT_EQ(Entries(PackList), Names{"lvlpckKolbrix"});
    EXPECT_EQ(PackIndex, 1);
    EXPECT_TRUE(std::filesystem::is_directory(At("lvlpckKolbrix")));
}

TEST_F(Packs, SortKeepsTheCurrentPack) {
    SetList(PackList, {"lvlpckc", "lvlpckA", " lvlpckB"});
    PackIndex = 1;
    SortPacks();
    EXPECT_EQ(Entries(PackList), (Names{"lvlpckA", " lvlpckB", "lvlpckc"}));
    EXPECT_EQ(PackIndex, 3);
}

TEST(PackInfo, ReadsTheOrderAndTheBeginnersMarkAndSkipsWhatItDoesNotKnow) {
    struct Case { const char* text; std::int32_t order; bool beginners; };
    const Case cases[] = {
        {"order 1\nbeginners\n", 1, true},
        {"# a comment\r\n  Order 12  \r\nother words\n", 12, false},
        {"BEGINNERS", 0, true},
        {"order 999", 999, false},
        {"order 1000", 0, false},                       // too many digits
        {"order 0", 0, false},
        {"order -3\norder 2x\norder\norder 4 5", 0, false},
        {"order 99999999999999999999", 0, false},       // never a number that overflows
        {"order 7\norder 3", 3, false},                // the last one counts
        {"", 0, false},
        {"beginnersx\n# beginners", 0, false},
    };
    for (const Case& c : cases) {
        const PackInfo info = ParsePackInfo(c.text);
        EXPECT_EQ(info.order, c.order) << c.text;
        EXPECT_EQ(info.beginners, c.beginners) << c.text;
    }
}

// The packs whose pack.txt gives an order come first, in that order, whatever their names; the rest follow by name,
// and the current pack stays current.
TEST_F(Packs, PacksWithAnOrderComeFirstInThatOrderThenTheOthersByName) {
    for (const char* folder : {"lvlpckClassic", "lvlpckEpisode 1", "lvlpckKolbrix", "lvlpckEpisode 4", "lvlpckAnn",
                               "lvlpckzoe"})
        Folder(folder);
    Write("lvlpckKolbrix/pack.txt", "order 1\nbeginners\n");
    Write("lvlpckEpisode 1/pack.txt", "order 2\n");
    Write("lvlpckEpisode 4/pack.txt", "order 5\n");
    Write("lvlpckClassic/pack.txt", "order 6\n");
    Write("lvlpckAnn/pack.txt", "no order here\n");
    ListPacks();
    EXPECT_EQ(Entries(PackList), (Names{"lvlpckKolbrix", "lvlpckEpisode 1", "lvlpckEpisode 4 &", "lvlpckClassic",
                                        "lvlpckAnn", "lvlpckzoe"}));
    EXPECT_EQ(PackIndex, 1);
    EXPECT_TRUE(ReadPackInfo(PackList[1]).beginners);
    EXPECT_FALSE(ReadPackInfo(PackList[2]).beginners);
    EXPECT_EQ(ReadPackInfo(PackList[3]).order, 5);      // read from the locked pack's folder too

    // A new pack made in the editor joins the packs without an order, and stays the current one.
    PackIndex = 4;
    ASSERT_TRUE(NewPack("Bea"));
    EXPECT_EQ(Entries(PackList), (Names{"lvlpckKolbrix", "lvlpckEpisode 1", "lvlpckEpisode 4 &", "lvlpckClassic",
                                        "lvlpckAnn", "lvlpckBea", "lvlpckzoe"}));
    EXPECT_EQ(PackIndex, 6);
    PackIndex = 4;
    SortPacks();
    EXPECT_EQ(PackList[PackIndex], "lvlpckClassic");
}

// A player's pack file names a folder, so the order changes nobody's current pack.
TEST_F(Packs, APlayersCurrentPackStaysTheirsWhateverTheOrder) {
    for (const char* folder : {"lvlpckClassic", "lvlpckKolbrix"}) Folder(folder);
    Write("lvlpckKolbrix/pack.txt", "order 1\n");
    Write("lvlpckClassic/pack.txt", "order 6\n");
    Write("ada.alp", "lvlpckClassic\n");
    ListPacks();
    ListPlayers();
    ASSERT_EQ(PlayerList.Count(), 1);
    PlayerIndex = 1;
    LoadPlayerPack();
    EXPECT_EQ(PackList[PackIndex], "lvlpckClassic");
}

// A pack counts its numbered level files up to the first missing number: every level it shows is there.
TEST_F(Packs, CountsOnlyNumberedLevelFiles) {
    struct Case { Names files; std::int32_t expected; };
    const Case cases[] = {
        {{"001.kbx", "002.kbx", "003.kbx", "000.kbx", "readme.kbx", "abc.kbx", "0004.kbx", "005.txt"}, 3},
        {{"001.kbx", "002.kbx", "010.kbx"}, 2},
        {{}, 1},
        {{"000.kbx", "-01.kbx", "+02.kbx", "1.5.kbx"}, 1},
        {{"001.KBX", "002.kbx", "999.kbx"}, 2},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string pack = "lvlpck" + std::to_string(++n);
        Folder(pack);
        for (const std::string& file : c.files) Write(pack + "/" + file, "");
        SetList(PackList, {pack});
        PackIndex = 1;
        LevelNumber = 7;
        CountLevels();
        EXPECT_EQ(LevelCount, c.expected) << pack;
        EXPECT_EQ(LevelNumber, 1);
    }
}

TEST_F(Packs, PreviousAndNextStepOverTheLockedHiddenPack) {
    struct Case { Names list; std::int32_t from; bool next; std::int32_t expected; };
    const Case cases[] = {
        {{"lvlpckA", "lvlpckEpisode 4 &", "lvlpckC"}, 3, false, 1},
        {{"lvlpckA", "lvlpckEpisode 4 &", "lvlpckC"}, 1, true, 3},
        {{"lvlpckEpisode 4 &", "lvlpckB", "lvlpckC"}, 2, false, 2},   // nothing before it to step to
        {{"lvlpckA", "lvlpckB", "lvlpckEpisode 4 &"}, 2, true, 2},    // nothing after it to step to
        {{"lvlpckA", "lvlpckB", "lvlpckC"}, 2, false, 1},
        {{"lvlpckA", "lvlpckB", "lvlpckC"}, 2, true, 3},
        {{"lvlpckA", "lvlpckB"}, 2, true, 2},                         // already the last
        {{"lvlpckA", "lvlpckB"}, 1, false, 1},                        // already the first
    };
    for (const char* pack : {"lvlpckA", "lvlpckB", "lvlpckC"}) Folder(pack);
    Write("lvlpckA/001.kbx", "");
    Write("lvlpckC/001.kbx", "");
    Write("lvlpckC/002.kbx", "");
    for (const Case& c : cases) {
        SetList(PackList, c.list);
        PackIndex = c.from;
        LevelNumber = 5;
        LevelCount = 9;
        if (c.next) NextPack();
        else PreviousPack();
        EXPECT_EQ(PackIndex, c.expected) << c.list[static_cast<size_t>(c.from - 1)] << (c.next ? " next" : " previous");
        if (PackIndex != c.from) {
            EXPECT_EQ(LevelNumber, 1);
            EXPECT_EQ(LevelCount, PackList[PackIndex] == "lvlpckC" ? 2 : 1);
        }
    }
}

TEST_F(Packs, NewPackCreatesAPackWithOneLevelAndMakesItCurrent) {
    Folder("lvlpckKolbrix");
    Folder("lvlpckZoo");
    SetList(PackList, {"lvlpckKolbrix", "lvlpckZoo"});
    PackIndex = 2;
    EXPECT_TRUE(NewPack("Meadow"));
    EXPECT_EQ(Entries(PackList), (Names{"lvlpckKolbrix", "lvlpckMeadow", "lvlpckZoo"}));
    EXPECT_EQ(PackIndex, 2);
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(LevelCount, 1);
    EXPECT_TRUE(Exists("lvlpckMeadow/001.kbx"));
}

TEST_F(Packs, NewOrRenameToAnExistingPackIsRefusedWithItsMessage) {
    Folder("lvlpckKolbrix");
    Folder("lvlpckOld");
    Write("lvlpckOld/001.kbx", "level");
    for (bool rename : {false, true}) {
        SetList(PackList, {"lvlpckKolbrix", "lvlpckOld"});
        PackIndex = 2;
        MessageState = 0;
        DialogLine2.clear();
        EXPECT_FALSE(rename ? RenamePack("KOLBRIX") : NewPack("kolbrix"));
        EXPECT_EQ(MessageState, 1);
        EXPECT_EQ(DialogButton1, "OK");
        EXPECT_EQ(DialogLine1, "This pack already exists:");
        EXPECT_EQ(DialogLine2, rename ? "KOLBRIX" : "kolbrix");
        EXPECT_EQ(DialogLine3, "Please choose another name.");
        EXPECT_EQ(Entries(PackList), (Names{"lvlpckKolbrix", "lvlpckOld"}));
        EXPECT_EQ(PackIndex, 2);
        EXPECT_EQ(FolderNames(""), (Names{"lvlpckKolbrix", "lvlpckOld"}));
        EXPECT_EQ(FolderNames("lvlpckOld"), Names{"001.kbx"});
    }
}

TEST_F(Packs, NamesLeavingTheDataFolderAreRefused) {
    Folder("lvlpckKolbrix");
    Folder("lvlpckOld");
    for (const char* name : {"../x", "a/b", "..", "a\\b", ""}) {
        SetList(PackList, {"lvlpckKolbrix", "lvlpckOld"});
        PackIndex = 2;
        EXPECT_FALSE(NewPack(name)) << name;
        EXPECT_FALSE(RenamePack(name)) << name;
        EXPECT_EQ(Entries(PackList), (Names{"lvlpckKolbrix", "lvlpckOld"}));
    }
    EXPECT_EQ(FolderNames(""), (Names{"lvlpckKolbrix", "lvlpckOld"}));
    EXPECT_FALSE(std::filesystem::exists(root.parent_path() / "x"));
}

TEST_F(Packs, RenameMovesLevelsAndStatisticsAndRepointsPlayers) {
    Folder("lvlpckAlpha");
    Write("lvlpckOld/001.kbx", "one");
    Write("lvlpckOld/002.kbx", "two");
    Write("lvlpckOld/anna.sts", "anna's numbers");
    Write("lvlpckOld/bob.sts", "bob's numbers");
    Write("anna.alp", "lvlpckOld\n");
    Write("bob.alp", " LVLPCKold \r\n");
    Write("cleo.alp", "lvlpckAlpha\n");
    SetList(PackList, {"lvlpckAlpha", "lvlpckOld"});
    PackIndex = 2;

    EXPECT_TRUE(RenamePack("Aardvark"));
    EXPECT_EQ(Entries(PackList), (Names{"lvlpckAardvark", "lvlpckAlpha"}));
    EXPECT_EQ(PackIndex, 1);
    EXPECT_FALSE(Exists("lvlpckOld"));
    EXPECT_EQ(FolderNames("lvlpckAardvark"), (Names{"001.kbx", "002.kbx", "anna.sts", "bob.sts"}));
    EXPECT_EQ(Read("lvlpckAardvark/002.kbx"), "two");
    EXPECT_EQ(Read("lvlpckAardvark/bob.sts"), "bob's numbers");
    EXPECT_EQ(Read("anna.alp"), "lvlpckAardvark\n");
    EXPECT_EQ(Read("bob.alp"), "lvlpckAardvark\n");
    EXPECT_EQ(Read("cleo.alp"), "lvlpckAlpha\n");
    EXPECT_EQ(FolderNames(""), (Names{"anna.alp", "bob.alp", "cleo.alp", "lvlpckAardvark", "lvlpckAlpha"}));
}

TEST_F(Packs, RenameToTheSameNameInAnotherCaseDoesNothing) {
    Write("lvlpckOld/001.kbx", "one");
    Write("anna.alp", "lvlpckOld\n");
    SetList(PackList, {"lvlpckOld"});
    PackIndex = 1;
    EXPECT_FALSE(RenamePack("OLD"));
    EXPECT_EQ(MessageState, 0);
    EXPECT_EQ(Entries(PackList), Names{"lvlpckOld"});
    EXPECT_EQ(FolderNames(""), (Names{"anna.alp", "lvlpckOld"}));
    EXPECT_EQ(Read("anna.alp"), "lvlpckOld\n");
}

TEST_F(Packs, DeleteRemovesThePackAndKeepsACurrentPack) {
    struct Case { std::int32_t current; Names left; std::string nowCurrent; };
    const Case cases[] = {
        {3, {"lvlpckA", "lvlpckB"}, "lvlpckB"},   // the last pack: the new last one becomes current
        {2, {"lvlpckA", "lvlpckC"}, "lvlpckC"},   // the following pack moves up into its place
        {1, {"lvlpckB", "lvlpckC"}, "lvlpckB"},
    };
    for (const Case& c : cases) {
        for (const char* pack : {"lvlpckA", "lvlpckB", "lvlpckC"}) {
            Write(std::string(pack) + "/001.kbx", "");
            Write(std::string(pack) + "/002.kbx", "");
            Write(std::string(pack) + "/anna.sts", "");
        }
        Write("lvlpckC/003.kbx", "");
        SetList(PackList, {"lvlpckA", "lvlpckB", "lvlpckC"});
        PackIndex = c.current;
        LevelNumber = 2;
        EXPECT_TRUE(DeletePack());
        EXPECT_EQ(Entries(PackList), c.left);
        ASSERT_GE(PackIndex, 1);
        EXPECT_EQ(PackList[PackIndex], c.nowCurrent);
        EXPECT_EQ(LevelNumber, 1);
        EXPECT_EQ(LevelCount, c.nowCurrent == "lvlpckC" ? 3 : 2);
        EXPECT_EQ(FolderNames(""), c.left);
    }
}

TEST_F(Packs, TheOnlyPackIsNeverDeleted) {
    Write("lvlpckKolbrix/001.kbx", "");
    SetList(PackList, {"lvlpckKolbrix"});
    PackIndex = 1;
    EXPECT_FALSE(DeletePack());
    EXPECT_EQ(FolderNames("lvlpckKolbrix"), Names{"001.kbx"});
}

}  // namespace
