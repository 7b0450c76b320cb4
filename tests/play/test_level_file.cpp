#include <cmath>
#include <filesystem>

#include "gfx/board.h"
#include "shell/level_load.h"
#include "tests/play/level_fixture.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"

namespace {

using LevelFile = LevelTest;

void ExpectSameObject(const LevelObject& a, const LevelObject& b) {
    EXPECT_EQ(a.texture, b.texture);
    EXPECT_EQ(a.param1, b.param1);
    EXPECT_EQ(a.param2, b.param2);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.y, b.y);
}

// A level that uses every layer, odd numbers and every property.
void MakeRichLevel() {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    level.background = Object(TexSky, 0, 0);
    level.groundLayer.Add(Object(TexSky, -128, 0.25));
    level.hazardLayer.Add(Object(TexSpike, 128, 1024));
    level.arrowLayer.Add(Object(TexArrowEast, 256, 1024, 2));
    level.pathLayer.Add(Object(TexArrowEast, 384, 896, 3));
    level.platformLayer.Add(Object(TexBrick, 512, 896, -4.5, 1e-300));
    level.pickupLayer.Add(Object(TexFlag, 640, 768));
    level.pickupLayer.Add(Object(TexFlag, 640, 768));                 // two on one cell survive a save
    for (int i = 0; i < 5; ++i) level.wallLayer.Add(Object(TexBrick, 128.0 * i, 1152));
    level.wallLayer.Add(Object(TexElevator, 768, 1024, 0, -10));
    level.crackLayer.Add(Object(TexBlankWall, 128, 1152));
    level.explosionLayer.Add(Object(TexSky, 3, 4));
    level.spareLayer.Add(Object(TexOtherBrick, 5, 6, 7, 8));
    level.ball = Object(TexBall, 256.5, 640, 1.5, -2.25);
    level.levelZoom = 0.625;
    level.deathCounter = 3;
    level.winCounter = 4;
    level.bombCount = 5;
    level.ballSizeDivisor = 1.5;
    level.ballGrowFlag = -1;
    level.ballGrowth = 12.5;
    level.timeLimit = 90.5;
    level.levelTitle = std::string("Caf\xe9 \"quoted\"\n", 14);
}

TEST_F(LevelFile, AVersion8FileReadsBackAsTheSameLevel) {
    MusicList.Add("audio/one.ogg");
    MusicList.Add("audio/two.ogg");
    musicIndex = 2;
    MakeRichLevel();
    Layer before[LevelLayerCount + 1];
    for (int layer = 1; layer <= LevelLayerCount; ++layer) before[layer] = LevelLayer(layer);
    const LevelObject ballBefore = level.ball;
    const std::string path = data->File("level.kbx");
    ASSERT_TRUE(SaveLevel(path));
    const std::string saved = data->Read("level.kbx");

    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    level.levelZoom = level.timeLimit = level.ballGrowth = 0;
    level.levelTitle.clear();
    musicIndex = 2;
    levelModified = -1;
    ASSERT_TRUE(LoadLevel(path));

    EXPECT_EQ(levelFileVersion, 8);
    for (int layer = 1; layer <= LevelLayerCount; ++layer) {
        SCOPED_TRACE(LayerName(layer));
        ASSERT_EQ(LevelLayer(layer).Count(), before[layer].Count());
        for (int i = 1; i <= before[layer].Count(); ++i) ExpectSameObject(LevelLayer(layer)[i], before[layer][i]);
    }
    ExpectSameObject(level.ball, ballBefore);
    EXPECT_EQ(level.background.texture, TexSky);
    EXPECT_EQ(level.levelZoom, 0.625);
    EXPECT_EQ(level.deathCounter, 3);
    EXPECT_EQ(level.winCounter, 4);
    EXPECT_EQ(level.bombCount, 5);
    EXPECT_EQ(level.ballSizeDivisor, 1.5);
    EXPECT_EQ(level.ballGrowFlag, -1);
    EXPECT_EQ(level.ballGrowth, 12.5);
    EXPECT_EQ(level.timeLimit, 90.5);
    EXPECT_EQ(level.levelTitle, std::string("Caf\xe9 \"quoted\"\n", 14));
    EXPECT_EQ(musicIndex, 2);   // named by the file, after the load had moved on to track 1
    EXPECT_EQ(level.elevatorIndex.Count(), 1);
    EXPECT_EQ(focusX, 256.5);
    EXPECT_EQ(focusY, 640);
    EXPECT_EQ(levelModified, 0);
    EXPECT_EQ(MessageState, 0);
    // Saving what was read writes the very same bytes.
    EXPECT_EQ(EncodeLevel(), saved);
}

// Every older version, written field by field: what each one stores and what the reader assumes for the rest.
TEST_F(LevelFile, OlderVersionsReadWithTheirOwnFieldsAndDefaults) {
    for (int version = 0; version <= 8; ++version) {
        SCOPED_TRACE("version " + std::to_string(version));
        LevelBytes file(version);
        file.Record("txtpckMain", "sky", 0, 0, 0, 0);
        file.Count(0).Count(0).Count(1);
        file.Record("txtpckMain", "arrowright", 2, 0, 256, 384);      // arrow layer
        file.Count(0).Count(0).Count(0);
        file.Count(1).Record("txtpckMain", "brick", 0, 0, -128, 512);  // wall layer
        file.Count(0);
        file.Record("txtpckMain", "ball", 3, -4, 128, 256);
        if (version < 8) file.Record("txtpckMain", "sky", 1, 2, 144, 272);   // the shadow of older files
        file.Count(0).Count(0);
        file.Str("");
        if (version == 2 || version == 3) file.F32(0.8f);
        if (version >= 4) file.F64(0.8);
        if (version >= 5) file.F64(11).F64(12).I32(13).F64(14).I32(-1).F64(16);
        if (version >= 6) file.F64(120);
        if (version >= 7) file.Str("Title");
        data->Write("old.kbx", file.bytes);

        level.ballShadow.texture = TexShadow;
        ASSERT_TRUE(LoadLevel(data->File("old.kbx")));
        EXPECT_EQ(levelFileVersion, version);
        ASSERT_EQ(level.arrowLayer.Count(), 1);
        EXPECT_EQ(level.arrowLayer[1].texture, TexArrowEast);
        EXPECT_EQ(level.arrowLayer[1].param1, version == 0 ? 0 : 2);   // version 0 drops param1
        EXPECT_EQ(level.arrowLayer[1].x, 256);
        EXPECT_EQ(level.arrowLayer[1].y, 384);
        ASSERT_EQ(level.wallLayer.Count(), 1);
        EXPECT_EQ(level.wallLayer[1].x, -128);
        EXPECT_EQ(level.ball.x, 128);
        EXPECT_EQ(level.ball.param2, -4);
        EXPECT_EQ(level.ball.param1, version == 0 ? 0 : 3);
        EXPECT_EQ(level.ballShadow.texture, TexShadow);    // never the stored one
        EXPECT_EQ(level.ballShadow.frame, 8);
        if (version < 8) {
            EXPECT_EQ(level.ballShadow.x, 144);
            EXPECT_EQ(level.ballShadow.y, 272);
        }
        double zoom = version < 2 ? 0.5 : version < 4 ? static_cast<double>(0.8f) : 0.8;
        EXPECT_EQ(level.levelZoom, zoom);
        EXPECT_EQ(level.deathCounter, version >= 5 ? 11 : 0);
        EXPECT_EQ(level.winCounter, version >= 5 ? 12 : 0);
        EXPECT_EQ(level.bombCount, version >= 5 ? 13 : 0);
        EXPECT_EQ(level.ballSizeDivisor, version >= 5 ? 14 : 0);
        EXPECT_EQ(level.ballGrowFlag, version >= 5 ? -1 : 0);
        EXPECT_EQ(level.ballGrowth, version >= 5 ? 16 : 0);
        EXPECT_EQ(level.timeLimit, version >= 6 ? 120 : 600);
        EXPECT_EQ(level.levelTitle, version >= 7 ? "Title" : "");
        EXPECT_EQ(MessageState, 0);
    }
}

// Cut a valid file anywhere: a cut inside the header makes an old-format file (which always imports); any later
// cut leaves some field short, and the file is treated as unreadable, never read past its end.
TEST_F(LevelFile, EveryTruncationLoadsOrFailsCleanly) {
    WriteEmptyLevel();
    MakeRichLevel();
    ASSERT_TRUE(SaveLevel(data->File("full.kbx")));
    const std::string full = data->Read("full.kbx");
    for (size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE("length " + std::to_string(length));
        // A new file each time: rewriting one file in place makes the file system flush it, which is slow.
        const std::string name = "cut" + std::to_string(length) + ".kbx";
        data->Write(name, full.substr(0, length));
        ClearMessage();
        bool loaded = LoadLevel(data->File(name));
        if (length < 7) {
            EXPECT_TRUE(loaded);
            EXPECT_EQ(levelFileVersion, -1);
            EXPECT_EQ(level.wallLayer.Count(), 56);   // the importer's frame, in place of the empty level's walls
            continue;
        }
        ASSERT_FALSE(loaded);
        ExpectEmptyLevel();
        EXPECT_EQ(MessageState, 1);
        EXPECT_EQ(DialogLine1, "Loading failed:");
    }
}

// Counts and lengths that cannot be right make the file unreadable before anything is allocated for them.
TEST_F(LevelFile, ImpossibleCountsAndLengthsMakeTheFileUnreadable) {
    WriteEmptyLevel();
    struct Case {
        const char* what;
        std::string bytes;
    };
    auto start = [] {
        LevelBytes file(8);
        file.Record("txtpckMain", "sky", 0, 0, 0, 0);
        return file;
    };
    LevelBytes negativeCount = start();
    negativeCount.Count(-1);
    LevelBytes hugeCount = start();
    hugeCount.Count(0x7FFFFFFF);
    LevelBytes countPastEnd = start();
    countPastEnd.Count(2).Record("txtpckMain", "brick", 0, 0, 0, 0);
    LevelBytes negativeString(8);
    negativeString.I32(-5);
    LevelBytes hugeString(8);
    hugeString.I32(0x7FFFFFFF).Str("x");
    const Case cases[] = {
        {"negative layer count", negativeCount.bytes},
        {"layer count of 2^31 - 1", hugeCount.bytes},
        {"count past the end", countPastEnd.bytes},
        {"negative string length", negativeString.bytes},
        {"string longer than the file", hugeString.bytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        data->Write("bad.kbx", c.bytes);
        ClearMessage();
        EXPECT_FALSE(LoadLevel(data->File("bad.kbx")));
        ExpectEmptyLevel();
        EXPECT_EQ(MessageState, 1);
    }
}

TEST_F(LevelFile, AFileThatDoesNotOpenGivesTheEmptyLevelAndNamesTheCurrentLevel) {
    WriteEmptyLevel();
    PackList.Add("lvlpckFirst");
    PackList.Add("lvlpckSecond");
    PackIndex = 2;
    LevelNumber = 12;
    EXPECT_FALSE(LoadLevel(data->File("nowhere.kbx")));
    ExpectEmptyLevel();
    EXPECT_EQ(levelFileVersion, -1);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogButton1, "OK");
    EXPECT_EQ(DialogLine1, "Loading failed:");
    EXPECT_EQ(DialogLine2, "The file is missing or damaged:");
    EXPECT_EQ(DialogLine3, "lvlpckSecond/012.kbx");
}

TEST_F(LevelFile, TheEmptyPathReadsTheCurrentLevelOfTheCurrentPack) {
    PackList.Add("lvlpckFirst");
    PackList.Add("lvlpckSecond");
    PackIndex = 2;
    LevelNumber = 7;
    LevelBytes file(6);
    file.Record("txtpckMain", "sky", 0, 0, 0, 0);
    for (int layer = 1; layer <= 8; ++layer) file.Count(0);
    file.Record("txtpckMain", "ball", 0, 0, 384, 0).Record("txtpckMain", "shadow", 0, 0, 0, 0);
    file.Count(0).Count(0).Str("").F64(1).F64(0).F64(0).I32(0).F64(0).I32(0).F64(0).F64(42);
    data->Write("lvlpckSecond/007.kbx", file.bytes);
    MusicList.Add("audio/a.ogg");
    MusicList.Add("audio/b.ogg");
    musicIndex = 1;

    ASSERT_TRUE(LoadLevel(""));
    EXPECT_EQ(level.timeLimit, 42);
    EXPECT_EQ(level.ball.x, 384);
    EXPECT_EQ(musicIndex, 1);       // the empty path keeps the track
}

TEST_F(LevelFile, MusicIsTheFilesTrackOrElseTheNextOneWrappingToTheFirst) {
    MusicList.Add("audio/a.ogg");
    MusicList.Add("audio/b.ogg");
    MusicList.Add("audio/c.ogg");
    struct Case {
        const char* track;
        std::int32_t before, after;
    };
    const Case cases[] = {
        {"", 1, 2},
        {"", 3, 1},                 // past the last track: back to the first
        {"audio/missing.ogg", 2, 3},
        {"AUDIO/A.OGG", 2, 1},      // matched without regard to case
        {"audio/c.ogg", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.track);
        LevelBytes file(8);
        file.Record("txtpckMain", "sky", 0, 0, 0, 0);
        for (int layer = 1; layer <= 8; ++layer) file.Count(0);
        file.Record("txtpckMain", "ball", 0, 0, 0, 0);
        file.Count(0).Count(0).Str(c.track);
        file.F64(0.5).F64(0).F64(0).I32(0).F64(0).I32(0).F64(0).F64(600).Str("");
        data->Write("music.kbx", file.bytes);
        musicIndex = c.before;
        ASSERT_TRUE(LoadLevel(data->File("music.kbx")));
        EXPECT_EQ(musicIndex, c.after);
    }
}

TEST_F(LevelFile, BlankObjectsDoNotWidenTheLevelBounds) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, double>> walls;    // texture name, x (y = 3 x)
        double minX, maxX, minY, maxY;
    };
    const Case cases[] = {
        {"walls only", {{"brick", 128}, {"brick", 1280}}, 128, 1280, 384, 3840},
        {"blank walls outside", {{"brick", 128}, {"blankwall", -640}, {"BlankWall", 5000}}, 128, 128, 384, 384},
        // Nothing widens: the ball's own cell (the ball stands at 256, 512).
        {"only blank walls", {{"blankwall", -640}, {"blankwall", 640}}, 256, 256, 512, 512},
        {"no objects", {}, 256, 256, 512, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LevelBytes file(8);
        file.Record("txtpckMain", "sky", 0, 0, -9999, -9999);     // single records never widen
        for (int layer = 1; layer <= 6; ++layer) file.Count(0);
        file.Count(static_cast<std::int32_t>(c.walls.size()));
        for (const auto& [name, x] : c.walls) file.Record("txtpckMain", name, 0, 0, x, 3 * x);
        file.Count(0);
        file.Record("txtpckMain", "ball", 0, 0, 256, 512);
        file.Count(0).Count(0).Str("");
        file.F64(0.5).F64(0).F64(0).I32(0).F64(0).I32(0).F64(0).F64(600).Str("");
        data->Write("bounds.kbx", file.bytes);
        ASSERT_TRUE(LoadLevel(data->File("bounds.kbx")));
        EXPECT_EQ(level.levelBounds.minX, c.minX);
        EXPECT_EQ(level.levelBounds.maxX, c.maxX);
        EXPECT_EQ(level.levelBounds.minY, c.minY);
        EXPECT_EQ(level.levelBounds.maxY, c.maxY);
    }
}

TEST_F(LevelFile, HintLinesComeFromTheHintFileBesideTheLevel) {
    struct Case {
        const char* what;
        const char* text;       // nullptr: no hint file
        std::string lines[4];
    };
    const Case cases[] = {
        {"five lines", "one\r\ntwo\r\n\r\nfour\r\nfive\r\n", {"one", "two", "", "four"}},
        {"two lines, no line end", "first\nsecond", {"first", "second", "", ""}},
        {"missing", nullptr, {"", "", "", ""}},
    };
    MakeRichLevel();
    const std::string path = data->File("hinted.kbx");
    ASSERT_TRUE(SaveLevel(path));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(data->File("hinted.hnt"));
        if (c.text) data->Write("hinted.hnt", c.text);      // the level's name, extension from language line 84
        for (int n = 1; n <= 4; ++n) level.hintLines[n] = "stale";
        view.hintBoxWidth = 300;
        ASSERT_TRUE(LoadLevel(path));
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(level.hintLines[n], c.lines[n - 1]) << n;
        EXPECT_EQ(view.hintBoxWidth, 0);
    }
}

// Layer objects start at a random frame with three decimals, single records at a whole one; tiling textures and
// one-frame textures always start at their first frame. Unknown textures become the placeholder and say so.
TEST_F(LevelFile, StartFramesAndUnknownTextures) {
    LevelBytes file(8);
    file.Record("txtpckMain", "sky", 0, 0, 0, 0);
    for (int layer = 1; layer <= 5; ++layer) file.Count(0);
    file.Count(200);
    for (int i = 0; i < 200; ++i) file.Record("txtpckMain", "flag", 0, 0, 128.0 * i, 0);
    file.Count(2).Record("txtpckMain", "brick", 0, 0, 0, 128).Record("nopack", "nothing", 0, 0, 128, 128);
    file.Count(0);
    file.Record("txtpckMain", "ball", 0, 0, 0, 0);
    file.Count(0).Count(0).Str("").F64(0.5).F64(0).F64(0).I32(0).F64(0).I32(0).F64(0).F64(600).Str("");
    data->Write("frames.kbx", file.bytes);

    bool sawFraction = false;
    for (int attempt = 0; attempt < 5; ++attempt) {
        ASSERT_TRUE(LoadLevel(data->File("frames.kbx")));
        for (const LevelObject& flag : level.pickupLayer) {
            EXPECT_GE(flag.frame, 13);
            EXPECT_LE(flag.frame, 16);
            EXPECT_EQ(flag.frame * 1000, std::round(flag.frame * 1000));
            sawFraction = sawFraction || flag.frame != std::floor(flag.frame);
        }
        EXPECT_EQ(level.ball.frame, std::floor(level.ball.frame));
        EXPECT_GE(level.ball.frame, 4);
        EXPECT_LE(level.ball.frame, 7);
        EXPECT_EQ(level.wallLayer[1].frame, 9);       // tiling
        EXPECT_EQ(level.wallLayer[2].texture, 0);
    }
    EXPECT_TRUE(sawFraction);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine3, "nothing of nopack");
}

TEST_F(LevelFile, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    MakeRichLevel();
    const std::string path = data->File("kept.kbx");
    data->Write("kept.kbx", "the old level");

    // A folder in the way: writing succeeds but the new file cannot take the name.
    std::filesystem::create_directories(data->path / "blocked.kbx" / "inside");
    EXPECT_FALSE(SaveLevel(data->File("blocked.kbx")));
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogButton1, "OK");
    EXPECT_EQ(DialogLine1, "The level could not be saved.");
    EXPECT_EQ(DialogLine2, "Writing failed.");
    EXPECT_EQ(DialogLine3, "Please check the folder.");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data->path)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);        // kept.kbx and the folder: no temporary file left behind
    EXPECT_EQ(data->Read("kept.kbx"), "the old level");

    ClearMessage();
    EXPECT_FALSE(SaveLevel(data->File("no such folder/level.kbx")));
    EXPECT_EQ(DialogLine2, "The file could not be created.");

    EXPECT_TRUE(SaveLevel(path));
    EXPECT_NE(data->Read("kept.kbx"), "the old level");
}

// The empty level that the build makes from its source must name textures that the shipped packs have: every
// failed load and every new level in the editor starts from it.
TEST_F(LevelFile, TheShippedEmptyLevelLoadsWithTheShippedPacks) {
    SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
    LoadTexturePackNames();
    TakeCatalogueDefaults();
    ASSERT_TRUE(LoadLevel(DataFolder() + "emptylevel.kbx")) << "no emptylevel.kbx in " << KOLBRIX_GAME_DIR;
    EXPECT_EQ(MessageState, 0) << DialogLine2 << " " << DialogLine3;
    EXPECT_EQ(levelFileVersion, NewestLevelFileVersion);
    EXPECT_EQ(EntryKindName(static_cast<std::int32_t>(level.background.texture)), "back");
    EXPECT_EQ(EntryKindName(static_cast<std::int32_t>(level.ball.texture)), "ball");
    EXPECT_GT(level.wallLayer.Count(), 0);
    for (int layer = 1; layer <= LevelLayerCount; ++layer) {
        if (layer != WallLayerNumber) {
            EXPECT_EQ(LevelLayer(layer).Count(), 0) << LayerName(layer);
        }
    }
    // The ball starts above the floor, inside the level.
    EXPECT_LT(level.ball.y, level.levelBounds.maxY);
    EXPECT_TRUE(WallAt(level.ball.x, level.ball.y + 128));
}

}  // namespace
