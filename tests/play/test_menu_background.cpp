// The level behind the main menu, as the build writes it: every texture it names is in the shipped packs, it is
// wider and taller than one screen so the camera has a landscape to swing over, and the ball the camera settles on
// starts at rest on something, inside the landscape.
#include <gtest/gtest.h>

#include "base/message.h"
#include "gfx/board.h"
#include "gfx/pack_textures.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "test_support.h"

namespace {
class MenuBackground : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadless();
        SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
        LoadTexturePackNames();
        TakeCatalogueDefaults();
        MessageState = 0;
        loaded = LoadLevel(DataFolder() + "menubackground.kbx");
    }
    void TearDown() override { SetProgramFolder(""); }
    bool loaded = false;
};

// An object at exactly (x, y) in one of the layers the ball can stand on.
bool SupportAt(double x, double y) {
    for (const LevelObject& platform : level.platformLayer)
        if (platform.x == x && platform.y == y) return true;
    return WallAt(x, y);
}
}  // namespace

TEST_F(MenuBackground, LoadsWithEveryTextureFromTheShippedPacks) {
    ASSERT_TRUE(loaded) << "no menubackground.kbx in " << KOLBRIX_GAME_DIR;
    EXPECT_EQ(MessageState, 0) << DialogLine1 << " " << DialogLine2 << " " << DialogLine3;
    // The placeholder (texture 0) is what a name no pack has turns into.
    for (std::int32_t layer = GroundLayerNumber; layer <= CrackLayerNumber; ++layer)
        for (const LevelObject& object : LevelLayer(layer))
            EXPECT_NE(object.texture, 0) << LayerName(layer) << " object at " << object.x << ", " << object.y;
    EXPECT_NE(level.background.texture, 0);
    EXPECT_NE(level.ball.texture, 0);
}

TEST_F(MenuBackground, IsWiderAndTallerThanOneScreenAtItsOwnZoom) {
    ASSERT_TRUE(loaded);
    ASSERT_GT(level.levelZoom, 0);
    // The board scales with the screen's width: at the level's zoom a screen always shows 1024 / zoom units across,
    // and a 4:3 screen 768 / zoom units down.
    const LevelBounds& b = level.levelBounds;
    EXPECT_GT(b.maxX + CellUnits - b.minX, 1024 / level.levelZoom);
    EXPECT_GT(b.maxY + CellUnits - b.minY, 768 / level.levelZoom);
}

TEST_F(MenuBackground, TheBallStartsAtRestOnSomethingInsideTheLandscape) {
    ASSERT_TRUE(loaded);
    const LevelObject& ball = level.ball;
    const LevelBounds& b = level.levelBounds;
    // The menu never runs play, so the ball stays where the file puts it and the camera settles on it there.
    EXPECT_EQ(ball.param1, 0);
    EXPECT_EQ(ball.param2, 0);
    EXPECT_GE(ball.x, b.minX);
    EXPECT_LE(ball.x, b.maxX);
    EXPECT_GE(ball.y, b.minY);
    EXPECT_LE(ball.y, b.maxY);
    EXPECT_FALSE(WallAt(ball.x, ball.y)) << "the ball starts inside a wall";
    EXPECT_TRUE(SupportAt(ball.x, ball.y + CellUnits)) << "the ball starts in mid-air";
}
