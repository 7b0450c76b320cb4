// A small world for the level tests: a temporary data folder, a hand-made catalogue, the language lines the level
// code shows, and a writer for level files of any version, byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "base/message.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/random.h"
#include "shell/language.h"
#include "shell/packs.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tests/test_support.h"
#include "tiles/catalogue.h"

// Catalogue indices of the fixture's textures.
enum FixtureTexture : std::int32_t {
    TexSky = 1,         // back, frames 2..3
    TexBall = 2,        // ball, frames 4..7
    TexShadow = 3,      // blsh, frame 8
    TexBrick = 4,       // wall, tiles (repeat), frames 9..11
    TexElevator = 5,    // wall "Lift_Elevator", frame 12
    TexFlag = 6,        // flag, frames 13..16
    TexBlankWall = 7,   // wall "blankwall", frame 17
    TexArrowEast = 8,   // arre, frame 18
    TexOtherBrick = 9,  // wall "brick" of another pack, frame 19
    TexSpike = 10,      // trap, frame 20
};

// Level file bytes of any version, written field by field: little-endian, as the format says.
// One object with the fields the tests care about.
inline LevelObject Object(double texture, double x, double y, double param1 = 0, double param2 = 0) {
    LevelObject object;
    object.texture = texture;
    object.x = x;
    object.y = y;
    object.param1 = param1;
    object.param2 = param2;
    return object;
}

struct LevelBytes {
    int version = 8;
    std::string bytes;

    explicit LevelBytes(int v, bool header = true) : version(v) {
        if (header) bytes = std::string("QZKBX\0", 6) + static_cast<char>(v);
    }
    LevelBytes& I32(std::int32_t v) {
        std::uint32_t u = static_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
    LevelBytes& F32(float v) {
        std::uint32_t u;
        std::memcpy(&u, &v, 4);
        return I32(static_cast<std::int32_t>(u));
    }
    LevelBytes& F64(double v) {
        std::uint64_t u;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i) bytes += static_cast<char>((u >> (8 * i)) & 0xFF);
        return *this;
    }
    LevelBytes& Str(const std::string& s) {
        I32(static_cast<std::int32_t>(s.size()));
        bytes += s;
        return *this;
    }
    // One object record as the version stores it.
    LevelBytes& Record(const std::string& pack, const std::string& name, double p1, double p2, double x, double y) {
        Str(pack).Str(name);
        if (version < 3) {
            I32(static_cast<std::int32_t>(p1)).I32(static_cast<std::int32_t>(p2));
            I32(static_cast<std::int32_t>(x)).I32(static_cast<std::int32_t>(y));
        } else {
            F64(p1).F64(p2).F64(x).F64(y);
        }
        if (version == 0) I32(77);   // the extra field of version 0
        return *this;
    }
    LevelBytes& Count(std::int32_t n) { return I32(n); }
};

class LevelTest : public ::testing::Test {
protected:
    std::optional<TempProgramFolder> data;

    void SetUp() override {
        UseHeadless();
        data.emplace();
        ResetTextureTable();
        TextureTable[0].name = "missing texture";
        Add("txtpckMain", "sky", KindBackground, 2, 3, 0);
        Add("txtpckMain", "ball", KindBall, 4, 7, 0);
        Add("txtpckMain", "shadow", KindBallShadow, 8, 8, 0);
        Add("txtpckMain", "brick", KindWall, 9, 11, -1);
        Add("txtpckMain", "Lift_Elevator", KindWall, 12, 12, 0);
        Add("txtpckMain", "flag", KindFlag, 13, 16, 0);
        Add("txtpckMain", "blankwall", KindWall, 17, 17, 0);
        Add("txtpckMain", "arrowright", KindArrowEast, 18, 18, 0);
        Add("txtpckOther", "brick", KindWall, 19, 19, 0);
        Add("txtpckMain", "spike", KindTrap, 20, 20, 0);
        for (std::string& text : LanguageText) text.clear();
        LanguageText[3] = "missing texture";
        LanguageText[53] = "OK";
        LanguageText[76] = "The level could not be saved.";
        LanguageText[77] = "Writing failed.";
        LanguageText[78] = "The file could not be created.";
        LanguageText[79] = "Please check the folder.";
        LanguageText[80] = "Loading failed:";
        LanguageText[81] = "The file is missing or damaged:";
        LanguageText[84] = "hnt";
        LanguageText[85] = "The level asks for";
        LanguageText[86] = " of ";
        MusicList.Clear();
        musicIndex = 1;
        MusicOn = 0;
        PackList.Clear();
        PackIndex = 0;
        LevelNumber = 1;
        level.ballShadow = LevelObject{};
        level.background = LevelObject{};
        TakeCatalogueDefaults();
        SeedRandom(7);
        ClearMessage();
    }

    void TearDown() override {
        data.reset();
        ResetTextureTable();
        MusicList.Clear();
        PackList.Clear();
    }

    static void Add(const std::string& pack, const std::string& name, std::int32_t kind, double first, double last,
                    std::int32_t repeat) {
        TextureEntry entry;
        entry.pack = pack;
        entry.name = name;
        entry.kind = kind;
        entry.firstFrame = first;
        entry.lastFrame = last;
        entry.repeat = repeat;
        AddTexture(entry);
    }

    static void ClearMessage() {
        MessageState = 0;
        DialogButton1 = DialogLine1 = DialogLine2 = DialogLine3 = "";
    }

    // The data folder's empty level: a floor of three bricks under the ball, nothing else.
    void WriteEmptyLevel() const {
        LevelBytes file(8);
        file.Record("txtpckMain", "sky", 0, 0, 0, 0);
        for (int layer = 1; layer <= 6; ++layer) file.Count(0);
        file.Count(3);
        for (int i = 0; i < 3; ++i) file.Record("txtpckMain", "brick", 0, 0, 128.0 * i, 256);
        file.Count(0);                                        // crack
        file.Record("txtpckMain", "ball", 0, 0, 128, 128);
        file.Count(0).Count(0);                               // explosion, spare
        file.Str("").F64(0.5).F64(0).F64(0).I32(0).F64(0).I32(0).F64(0).F64(600).Str("");
        data->Write("emptylevel.kbx", file.bytes);
    }

    // The level in memory is the fixture's empty level.
    static void ExpectEmptyLevel() {
        ASSERT_EQ(level.wallLayer.Count(), 3);
        EXPECT_EQ(level.wallLayer[3].x, 256);
        for (int layer = 1; layer <= LevelLayerCount; ++layer) {
            if (layer != WallLayerNumber) {
                EXPECT_EQ(LevelLayer(layer).Count(), 0) << LayerName(layer);
            }
        }
        EXPECT_EQ(level.ball.x, 128);
        EXPECT_EQ(level.ball.y, 128);
        EXPECT_EQ(level.background.texture, TexSky);
        EXPECT_EQ(level.levelTitle, "");
    }
};
