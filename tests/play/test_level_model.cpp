#include "play/play_loop.h"
#include "shell/level_load.h"
#include "tests/play/level_fixture.h"

namespace {

using LevelModel = LevelTest;

LevelObject At(double x, double y, double texture, double param1 = 0, double param2 = 0) {
    return Object(texture, x, y, param1, param2);
}

TEST_F(LevelModel, AddObjectReplacesTheObjectOnTheSameCellAndAppendsTheNewOne) {
    level.pickupLayer.Clear();
    AddObject(0, 0, PickupLayerNumber, TexFlag);
    AddObject(128, 0, PickupLayerNumber, TexFlag);
    level.pickupLayer[1].param1 = 9;
    AddObject(0, 0, PickupLayerNumber, TexSpike);

    ASSERT_EQ(level.pickupLayer.Count(), 2);
    EXPECT_EQ(level.pickupLayer[1].x, 128);
    const LevelObject& added = level.pickupLayer[2];
    EXPECT_EQ(added.texture, TexSpike);
    EXPECT_EQ(added.x, 0);
    EXPECT_EQ(added.frame, 20);     // the texture's first frame
    EXPECT_EQ(added.param1, 0);
    EXPECT_EQ(added.param2, 0);
    EXPECT_EQ(added.timer, 0);
}

TEST_F(LevelModel, RemoveObjectAtTakesOnlyTheFirstOfTwoOnOneCell) {
    level.hazardLayer.Clear();
    level.hazardLayer.Add(At(128, 0, TexSpike, 1));
    level.hazardLayer.Add(At(256, 0, TexSpike, 2));
    level.hazardLayer.Add(At(128, 0, TexSpike, 3));

    EXPECT_FALSE(RemoveObjectAt(128, 1, HazardLayerNumber));
    EXPECT_TRUE(RemoveObjectAt(128, 0, HazardLayerNumber));
    ASSERT_EQ(level.hazardLayer.Count(), 2);
    EXPECT_EQ(level.hazardLayer[1].param1, 2);
    EXPECT_EQ(level.hazardLayer[2].param1, 3);
    EXPECT_FALSE(RemoveObjectAt(128, 0, GroundLayerNumber));
}

TEST_F(LevelModel, WallAtNeedsTheExactPosition) {
    level.wallLayer.Clear();
    level.wallLayer.Add(At(256, 384, TexBrick));
    EXPECT_TRUE(WallAt(256, 384));
    EXPECT_FALSE(WallAt(256.5, 384));
    EXPECT_FALSE(WallAt(384, 256));
}

TEST_F(LevelModel, CopyLayerMakesAnEqualIndependentCopy) {
    Layer source, target;
    source.Add(At(1, 2, TexBrick, 3, 4));
    source.Add(At(5, 6, TexFlag));
    target.Add(At(9, 9, TexSky));
    target.Add(At(9, 9, TexSky));
    target.Add(At(9, 9, TexSky));
    CopyLayer(source, target);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target[1].param2, 4);
    EXPECT_EQ(target[2].x, 5);
    source[1].x = 100;
    EXPECT_EQ(target[1].x, 1);
}

TEST_F(LevelModel, BuildElevatorIndexListsElevatorsInWallOrderAndStopsEveryOtherWall) {
    level.wallLayer.Clear();
    level.wallLayer.Add(At(0, 0, TexBrick, 0, -10));
    level.wallLayer.Add(At(128, 0, TexElevator, 0, -10));     // "Lift_Elevator": found whatever the case
    level.wallLayer.Add(At(256, 0, TexBlankWall, 0, 5));
    level.wallLayer.Add(At(384, 0, TexElevator, 0, 3));
    level.elevatorIndex.Add(99);
    BuildElevatorIndex();
    ASSERT_EQ(level.elevatorIndex.Count(), 2);
    EXPECT_EQ(level.elevatorIndex[1], 2);
    EXPECT_EQ(level.elevatorIndex[2], 4);
    EXPECT_EQ(level.wallLayer[1].param2, 0);
    EXPECT_EQ(level.wallLayer[2].param2, -10);
    EXPECT_EQ(level.wallLayer[3].param2, 0);
    EXPECT_EQ(level.wallLayer[4].param2, 3);

    level.wallLayer.Clear();
    level.wallLayer.Add(At(0, 0, TexBrick, 0, 7));
    BuildElevatorIndex();
    EXPECT_EQ(level.elevatorIndex.Count(), 0);
    EXPECT_EQ(level.wallLayer[1].param2, 0);
}

TEST_F(LevelModel, PlaceBallPutsTheBallAtRestAndItsShadowBeside) {
    level.ball.param1 = 5;
    level.ball.param2 = -3;
    level.ballShadow.param1 = 1;
    PlaceBall(256, 512, TexBall);
    EXPECT_EQ(level.ball.x, 256);
    EXPECT_EQ(level.ball.y, 512);
    EXPECT_EQ(level.ball.param1, 0);
    EXPECT_EQ(level.ball.param2, 0);
    EXPECT_EQ(level.ball.texture, TexBall);
    EXPECT_EQ(level.ball.frame, 4);
    EXPECT_EQ(level.ballShadow.x, 272);
    EXPECT_EQ(level.ballShadow.y, 528);
    EXPECT_EQ(level.ballShadow.param1, 0);
    EXPECT_EQ(level.ballShadow.texture, TexShadow);
    EXPECT_EQ(level.ballShadow.frame, 8);
}

TEST_F(LevelModel, RestoreLevelPutsBackThePlayStartAndEmptiesWhatPlayAdded) {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    for (int layer = 1; layer <= 8; ++layer) LevelLayer(layer).Add(At(128.0 * layer, 0, TexBrick));
    level.wallLayer.Add(At(0, 640, TexElevator, 0, -10));
    PlaceBall(128, 128, TexBall);
    level.bombCount = 2;
    level.levelZoom = 0.75;
    attempt.flagsLeft = 3;
    score = 400;
    attempt.displayedScore = 399.6;
    attempt.switchState = 0;
    BackupLevel();

    // What a play does to the level before the ball is lost.
    level.pickupLayer.RemoveAt(1);
    level.wallLayer[2].y = 100;
    level.wallLayer[2].param2 = 0;
    level.wallLayer.RemoveAt(1);
    level.groundLayer.Add(At(9, 9, TexSky));
    level.explosionLayer.Add(At(0, 0, TexSky));
    level.spareLayer.Add(At(0, 0, TexSky));
    attempt.floatingTexts.Add(FloatingText{});
    level.elevatorIndex.Clear();
    level.ball.x = 999;
    level.ball.param1 = 12;
    level.ballShadow.x = 1015;
    level.bombCount = 0;
    level.levelZoom = 0.3;
    attempt.flagsLeft = 1;
    score = 900;
    attempt.displayedScore = 850;
    attempt.switchState = -1;

    RestoreLevel();
    for (int layer = 1; layer <= 8; ++layer) EXPECT_EQ(LevelLayer(layer).Count(), layer == 7 ? 2 : 1) << layer;
    EXPECT_EQ(level.pickupLayer[1].x, 768);
    EXPECT_EQ(level.wallLayer[2].y, 640);
    EXPECT_EQ(level.wallLayer[2].param2, -10);
    ASSERT_EQ(level.elevatorIndex.Count(), 1);
    EXPECT_EQ(level.elevatorIndex[1], 2);
    EXPECT_EQ(level.explosionLayer.Count(), 0);
    EXPECT_EQ(level.spareLayer.Count(), 0);
    EXPECT_EQ(attempt.floatingTexts.Count(), 0);
    EXPECT_EQ(level.ball.x, 128);
    EXPECT_EQ(level.ball.param1, 0);
    EXPECT_EQ(level.ballShadow.x, 144);
    EXPECT_EQ(level.bombCount, 2);
    EXPECT_EQ(level.levelZoom, 0.75);
    EXPECT_EQ(attempt.flagsLeft, 3);
    EXPECT_EQ(score, 400);
    EXPECT_EQ(attempt.displayedScore, 400);     // rounded when the backup was taken
    EXPECT_EQ(attempt.switchState, 0);

    // The backup is a copy: a second restore after more changes gives the same start again.
    level.groundLayer.Clear();
    RestoreLevel();
    EXPECT_EQ(level.groundLayer.Count(), 1);
}

TEST_F(LevelModel, ClearLevelLoadsTheEmptyLevelOfTheDataFolder) {
    WriteEmptyLevel();
    level.groundLayer.Add(At(0, 0, TexSky));
    level.levelTitle = "old";
    ClearLevel();
    ExpectEmptyLevel();
    EXPECT_EQ(MessageState, 0);
}

// Without a readable "emptylevel.kbx" the level still ends up empty, and ClearLevel does not call itself for ever.
TEST_F(LevelModel, ClearLevelFallsBackToABuiltInEmptyLevel) {
    struct Case {
        const char* name;
        std::string bytes;      // "" = no file at all
    };
    LevelBytes damaged(8);
    damaged.Record("txtpckMain", "sky", 0, 0, 0, 0).Count(1000000);
    const Case cases[] = {
        {"missing", ""},
        {"damaged", damaged.bytes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.empty()) data->Write("emptylevel.kbx", c.bytes);
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Add(At(0, 0, TexBrick));
        PlaceBall(640, 640, TexBall);
        level.levelTitle = "old";
        level.timeLimit = 5;
        ClearLevel();
        for (int layer = 1; layer <= LevelLayerCount; ++layer) EXPECT_EQ(LevelLayer(layer).Count(), 0);
        EXPECT_EQ(level.elevatorIndex.Count(), 0);
        EXPECT_EQ(level.ball.x, 0);
        EXPECT_EQ(level.ball.y, 0);
        EXPECT_EQ(level.ball.texture, TexBall);
        EXPECT_EQ(level.ballShadow.x, 16);
        EXPECT_EQ(level.levelTitle, "");
        EXPECT_EQ(level.timeLimit, 600);
        EXPECT_EQ(level.levelZoom, 0.5);
        // The ball's own cell is the level's extent, so it does not count as fallen.
        EXPECT_EQ(level.levelBounds.minX, 0);
        EXPECT_EQ(level.levelBounds.maxX, 0);
        EXPECT_EQ(level.levelBounds.minY, 0);
        EXPECT_EQ(level.levelBounds.maxY, 0);
    }
}

// An "emptylevel.kbx" in the old text-screen format goes to the importer, which needs an empty level first.
TEST_F(LevelModel, ClearLevelWithAnOldFormatEmptyLevelImportsItOnce) {
    data->Write("emptylevel.kbx", std::string("\x02Hi\x07", 4));
    ClearLevel();
    EXPECT_EQ(level.levelTitle, "Hi");
    EXPECT_EQ(level.wallLayer.Count(), 56);
    EXPECT_EQ(levelFileVersion, -1);
}

}  // namespace
