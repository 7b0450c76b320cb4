#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message.h"
#include "shell/language.h"
#include "tiles/catalogue.h"

namespace {

TextureEntry MakeEntry(const std::string& pack, const std::string& name, std::int32_t kind, double firstFrame = 0) {
    TextureEntry entry;
    entry.pack = pack;
    entry.name = name;
    entry.firstFrame = firstFrame;
    entry.lastFrame = firstFrame;
    entry.kind = kind;
    return entry;
}

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        ResetTextureTable();
        TextureTable[0].name = "missing texture";
        LanguageText[53] = "OK";
        LanguageText[80] = "A texture is missing.";
        LanguageText[85] = "The level asks for";
        LanguageText[86] = " from the pack ";
        ClearMessage();
    }
    void TearDown() override {
        ResetTextureTable();
        ClearMessage();
    }
    static void ClearMessage() {
        MessageState = 0;
        DialogButton1.clear();
        DialogLine1.clear();
        DialogLine2.clear();
        DialogLine3.clear();
    }
};

TEST_F(Catalogue, LooksUpByPackAndNameIgnoringCaseThenByNameInAnyPack) {
    AddTexture(MakeEntry("txtpckMain", "ball", KindBall));      // 1
    AddTexture(MakeEntry("txtpckMain", "Brick", KindWall));     // 2
    AddTexture(MakeEntry("txtpckOther", "brick", KindWall));    // 3
    AddTexture(MakeEntry("txtpckOther", "stone", KindGround));  // 4
    AddTexture(MakeEntry("txtpckThird", "BRICK", KindWall));    // 5

    struct Case {
        const char* pack;
        const char* name;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"TXTPCKMAIN", "Ball", 1},
        {"txtpckmain", "BRICK", 2},
        {"txtpckOther", "brick", 3},
        {"TXTPCKthird", "brick", 5},
        {"txtpckNowhere", "brick", 2},   // no such pack: the first loaded of that name
        {"txtpckMain", "stone", 4},      // not in the named pack: another pack's texture of that name
        {"", "STONE", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pack) + " / " + c.name);
        EXPECT_EQ(FindTexture(c.pack, c.name), c.expected);
        EXPECT_EQ(MessageState, 0);
    }
}

TEST_F(Catalogue, MissingTextureGivesPlaceholderAndRaisesTheMessage) {
    AddTexture(MakeEntry("txtpckMain", "ball", KindBall));

    struct Case {
        const char* pack;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"txtpckMain", ""},                    // an empty name is never a texture, even "ballrr00.png"'s
        {"txtpckMain", "NoSuchThing"},
        {"", "missing texture"},               // entry 0 is never found by its name
        {"txtpckMain", "bal"},
        {"txtpckMainball", ""},                // pack and name run together must not match ("txtpckMain", "ball")
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pack) + " / " + c.name);
        ClearMessage();
        EXPECT_EQ(FindTexture(c.pack, c.name), 0);
        EXPECT_EQ(MessageState, 1);
        EXPECT_EQ(DialogButton1, "OK");
        EXPECT_EQ(DialogLine1, "A texture is missing.");
        EXPECT_EQ(DialogLine2, "The level asks for");
        EXPECT_EQ(DialogLine3, std::string(c.name) + " from the pack " + c.pack);
    }
}

TEST_F(Catalogue, LookUpsFollowTheTableAsItGrowsAndIsReset) {
    AddTexture(MakeEntry("txtpckMain", "brick", KindWall));
    EXPECT_EQ(FindTexture("txtpckMain", "brick"), 1);
    EXPECT_EQ(FindTexture("txtpckMain", "stone"), 0);
    ClearMessage();

    // Added after the first look-ups: found from now on; a later duplicate never replaces the first match.
    AddTexture(MakeEntry("txtpckMain", "stone", KindGround));   // 2
    AddTexture(MakeEntry("txtpckMain", "BRICK", KindWall));     // 3
    AddTexture(MakeEntry("txtpckLate", "brick", KindWall));     // 4
    EXPECT_EQ(FindTexture("txtpckMain", "stone"), 2);
    EXPECT_EQ(FindTexture("txtpckMain", "brick"), 1);
    EXPECT_EQ(FindTexture("txtpckLate", "brick"), 4);
    EXPECT_EQ(FindTexture("txtpckNone", "brick"), 1);
    EXPECT_EQ(MessageState, 0);

    ResetTextureTable();
    EXPECT_EQ(TextureCount(), 0);
    EXPECT_EQ(FindTexture("txtpckMain", "brick"), 0);
    AddTexture(MakeEntry("txtpckOther", "stone", KindGround));
    EXPECT_EQ(FindTexture("txtpckMain", "stone"), 1);
}

TEST_F(Catalogue, AddTextureStartsTheAnimationAtTheFirstFrame) {
    TextureEntry entry = MakeEntry("txtpckMain", "water", KindGround, 7);
    entry.lastFrame = 9;
    entry.frame = 3;
    std::int32_t index = AddTexture(entry);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(Entry(index).frame, 7);
    EXPECT_EQ(Entry(index).lastFrame, 9);
    // An index that is not in the table reads as the placeholder.
    EXPECT_EQ(Entry(2).name, "missing texture");
    EXPECT_EQ(Entry(-1).name, "missing texture");
}

TEST_F(Catalogue, KindsFromFileNamesWithTheirLayersAndDirections) {
    struct Case {
        const char* fileName;
        std::int32_t kind;
        const char* letters;
        std::int32_t layer;    // 0: not a layer object
        std::int32_t param;
    };
    const std::vector<Case> cases = {
        {"arrerrx00.png", 1, "arre", 3, 2},
        {"arrnrrx00.png", 2, "arrn", 3, 1},
        {"arrsrrx00.png", 3, "arrs", 3, 3},
        {"arrwrrx00.png", 4, "arrw", 3, 4},
        {"arrurrx00.png", 5, "arru", 3, 5},
        {"backrrx00.png", 6, "back", 0, 0},
        {"ballrrx00.png", 7, "ball", 0, 0},
        {"blllrrx00.png", 8, "blll", 0, 0},
        {"blshrrx00.png", 9, "blsh", 0, 0},
        {"bombrrx00.png", 10, "bomb", 6, 0},
        {"crckrrx00.png", 11, "crck", 8, 0},
        {"exitrrx00.png", 12, "exit", 2, 0},
        {"explrrx00.png", 13, "expl", 0, 0},
        {"flagrrx00.png", 14, "flag", 6, 0},
        {"fontrrx00.png", 15, "font", 0, 0},
        {"grndrrx00.png", 16, "grnd", 1, 0},
        {"platrrx00.png", 17, "plat", 5, 0},
        {"plaerrx00.png", 18, "plae", 4, 2},
        {"planrrx00.png", 19, "plan", 4, 1},
        {"plasrrx00.png", 20, "plas", 4, 3},
        {"plawrrx00.png", 21, "plaw", 4, 4},
        {"traprrx00.png", 22, "trap", 2, 0},
        {"wallrrx00.png", 23, "wall", 7, 0},
        {"WALLRCBrick00.png", 23, "wall", 7, 0},
        {"PlaErrx00.png", 18, "plae", 4, 2},
        {"zzzzrrx00.png", 0, "", 0, 0},
        {"wal", 0, "", 0, 0},
        {"", 0, "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileName);
        std::int32_t kind = TextureKindFromName(c.fileName);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(TextureKindName(kind), c.letters);
        EXPECT_EQ(TextureKindLayer(kind), c.layer);
        EXPECT_EQ(TextureKindParam(kind), c.param);
    }
    EXPECT_EQ(TextureKindName(24), "");
    EXPECT_EQ(TextureKindName(-1), "");

    std::int32_t index = AddTexture(MakeEntry("txtpckMain", "up", KindArrowSwitch));
    EXPECT_EQ(EntryKindName(index), "arru");
    EXPECT_EQ(EntryKindName(0), "");
}

TEST_F(Catalogue, RemembersTheFirstBackgroundAndTheLastOfTheOtherDefaults) {
    struct Added {
        const char* name;
        std::int32_t kind;
    };
    const std::vector<Added> added = {
        {"sky", KindBackground},     // 1
        {"blue", KindBall},          // 2
        {"shade", KindBallShadow},   // 3
        {"night", KindBackground},   // 4
        {"red", KindBall},           // 5
        {"bomb1", KindBomb},         // 6
        {"boom1", KindExplosion},    // 7
        {"flag1", KindFlag},         // 8
        {"font1", KindFont},         // 9
        {"bomb2", KindBomb},         // 10
        {"boom2", KindExplosion},    // 11
        {"flag2", KindFlag},         // 12
        {"font2", KindFont},         // 13
        {"shade2", KindBallShadow},  // 14
        {"brick", KindWall},         // 15: changes no default
    };
    for (const Added& a : added) AddTexture(MakeEntry("txtpckMain", a.name, a.kind));

    EXPECT_EQ(DefaultBackgroundTexture, 1);
    EXPECT_EQ(DefaultBallTexture, 5);
    EXPECT_EQ(DefaultShadowTexture, 14);
    EXPECT_EQ(DefaultBombTexture, 10);
    EXPECT_EQ(DefaultExplosionTexture, 11);
    EXPECT_EQ(DefaultFlagTexture, 12);
    EXPECT_EQ(DefaultFontTexture, 13);

    ResetTextureTable();
    EXPECT_EQ(DefaultBackgroundTexture, 0);
    EXPECT_EQ(DefaultBallTexture, 0);
    AddTexture(MakeEntry("txtpckMain", "dawn", KindBackground));
    EXPECT_EQ(DefaultBackgroundTexture, 1);
}

}  // namespace
