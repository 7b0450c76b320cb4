// Moving platforms and bombs: markers, the random bounce, carrying and crushing the ball; cracks, the cells a bomb
// reaches, thrown platforms and the elevators' speeds.
#include <algorithm>
#include <cmath>

#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using Movers = PlayTest;

void BallAside() {
    Floor(2560, 2560, 512);
    Ball(2560, 384);
}

TEST_F(Movers, APlatformOnAMarkerStartsInItsDirectionAndTurnsAtTheNext) {
    BallAside();
    Marker(2, 0, 0);            // right
    Marker(3, 512, 0);          // down
    Platform(0, 0);
    Wall(0, 1024);
    Finish();
    std::vector<LevelObject> track;
    everyFrame = [&](std::int64_t) { track.push_back(level.platformLayer[1]); };
    Play("150");
    EXPECT_EQ(track[0].x, 0);                   // the first frame only turns it
    EXPECT_EQ(track[0].param1, 10);
    EXPECT_EQ(track[1].x, 5);
    const auto turned = std::find_if(track.begin(), track.end(), [](const LevelObject& p) { return p.param2 == 10; });
    ASSERT_NE(turned, track.end());
    EXPECT_EQ(turned->x, 512);                  // snapped onto the marker
    EXPECT_EQ(turned->param1, 0);
    EXPECT_EQ(track.back().x, 512);
    EXPECT_GT(track.back().y, 0);
}

TEST_F(Movers, APlatformHittingAWallStepsBackAndLeavesAtRandom) {
    BallAside();
    Platform(0, 0, 10, 0);
    Wall(256, 0);
    Finish();
    std::vector<LevelObject> track;
    everyFrame = [&](std::int64_t) { track.push_back(level.platformLayer[1]); };
    Play("40");
    const auto bounced = std::find_if(track.begin(), track.end(), [](const LevelObject& p) { return p.param2 != 0; });
    ASSERT_NE(bounced, track.end());
    EXPECT_EQ(bounced->x, 128);                 // one unit into the wall is undone
    for (double v : {bounced->param1, bounced->param2}) {
        EXPECT_EQ(v, std::round(v));
        EXPECT_GE(std::fabs(v), 5);
        EXPECT_LE(std::fabs(v), 10);
    }
    // Never inside the wall, whatever it does afterwards.
    for (const LevelObject& p : track)
        EXPECT_FALSE(p.x + 127 >= 256 && p.x <= 256 + 127 && p.y + 127 >= 0 && p.y <= 127) << p.x << " " << p.y;
}

TEST_F(Movers, TheBounceIsTheSameForTheSameSeed) {
    BallAside();
    Platform(0, 0, 10, 0);
    Wall(256, 0);
    Finish();
    BackupLevel();
    SeedRandom(99);
    Play("30");
    const LevelObject first = level.platformLayer[1];
    RestoreLevel();
    SeedRandom(99);
    Play("30");
    EXPECT_EQ(level.platformLayer[1].param1, first.param1);
    EXPECT_EQ(level.platformLayer[1].param2, first.param2);
    EXPECT_EQ(level.platformLayer[1].x, first.x);
}

TEST_F(Movers, APlatformArrivingWhereTheBallRestsCarriesIt) {
    Floor(0, 128 * 20, 512);
    Ball(768, 384);
    Platform(0, 384, 10, 0);
    Wall(128 * 16, 384);        // stops the ride
    Finish();
    std::vector<double> ballX, platformX;
    everyFrame = [&](std::int64_t) {
        ballX.push_back(level.ball.x);
        platformX.push_back(level.platformLayer[1].x);
    };
    Play("200");
    EXPECT_EQ(FirstFrame([](const Snapshot& s) { return s.death != 0; }), 0);
    EXPECT_GT(ballX.back(), 768 + 256);
    // Once on, the ball keeps its place on the platform.
    const size_t on = static_cast<size_t>(
        std::find_if(ballX.begin(), ballX.end(), [](double x) { return x != 768; }) - ballX.begin());
    ASSERT_LT(on + 20, ballX.size());
    EXPECT_EQ(ballX[on + 20] - platformX[on + 20], ballX[on + 10] - platformX[on + 10]);
}

struct CrushCase {
    const char* name;
    bool god;
    bool lost;
};

void PrintTo(const CrushCase& c, std::ostream* out) { *out << c.name; }

class Crush : public PlayTest, public ::testing::WithParamInterface<CrushCase> {};

TEST_P(Crush, ABallRollingIntoAPlatformIsLost) {
    Floor(0, 128 * 10, 512);
    Ball(0, 384);
    Platform(640, 384);         // standing still
    Finish();
    playRun.godMode = GetParam().god ? -1 : 0;
    Play("60 right");
    const std::int64_t lost = FirstFrame([](const Snapshot& s) { return s.death != 0; });
    EXPECT_EQ(lost != 0, GetParam().lost);
    if (lost) {
        // Lost as its centre box reached the platform's edge.
        EXPECT_GE(frames[static_cast<size_t>(lost - 1)].x + 65, 640);
        EXPECT_LT(frames[static_cast<size_t>(lost - 2)].x + 65, 640);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, Crush,
                         ::testing::Values(CrushCase{"mortal", false, true}, CrushCase{"godMode", true, false}));

// A ball resting at (256, 384) on a floor; the bomb goes off in its cell (256, 384).
void BombLevel() {
    Floor(0, 128 * 6, 512);
    Ball(256, 384);
}

TEST_F(Movers, ABombDestroysOnlyCrackedWallsBesideTheBall) {
    BombLevel();
    Wall(384, 384);             // right: cracked
    Put(CrackLayerNumber, TexCrack, 384, 384);
    Wall(128, 384);             // left: whole
    Wall(384, 256);             // diagonal: cracked, out of reach
    Put(CrackLayerNumber, TexCrack, 384, 256);
    Put(CrackLayerNumber, TexCrack, 256, 384);      // the ball's own cell: spared
    Put(GroundLayerNumber, TexGround, 256, 384);
    Finish();
    playRun.Difficulty = 2;             // one bomb
    Play("60 space");
    EXPECT_FALSE(WallAt(384, 384));
    EXPECT_TRUE(WallAt(128, 384));
    EXPECT_TRUE(WallAt(384, 256));
    EXPECT_EQ(level.crackLayer.Count(), 2);
    EXPECT_EQ(level.groundLayer.Count(), 1);
    EXPECT_EQ(frames.back().bombs, 0);
    EXPECT_EQ(TimesPlayed(SoundExplode, SoundExplode), 1);
}

TEST_F(Movers, TheBlastShowsAnExplosionOnEachOfTheFourCells) {
    BombLevel();
    Finish();
    playRun.Difficulty = 2;
    std::vector<LevelObject> explosions;
    everyFrame = [&](std::int64_t) {
        if (explosions.empty() && level.explosionLayer.Count())
            explosions.assign(level.explosionLayer.begin(), level.explosionLayer.end());
    };
    Play("60 space");
    ASSERT_EQ(explosions.size(), 4u);
    const double expected[4][2] = {{256, 256}, {128, 384}, {384, 384}, {256, 512}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(explosions[static_cast<size_t>(i)].x, expected[i][0] - 192);
        EXPECT_EQ(explosions[static_cast<size_t>(i)].y, expected[i][1] - 192);
        EXPECT_EQ(explosions[static_cast<size_t>(i)].texture, TexExplosion);
    }
}

TEST_F(Movers, ACrackOnAnEmptyCellTakesTheGroundAndArrowThere) {
    Put(CrackLayerNumber, TexCrack, 128, 0);
    Put(GroundLayerNumber, TexGround, 128, 0);
    Put(GroundLayerNumber, TexGround, 256, 0);
    Arrow(2, 128, 0);
    Finish();
    EXPECT_TRUE(BlastCell(128, 0));
    EXPECT_EQ(level.crackLayer.Count(), 0);
    ASSERT_EQ(level.groundLayer.Count(), 1);
    EXPECT_EQ(level.groundLayer[1].x, 256);
    EXPECT_EQ(level.arrowLayer.Count(), 0);
    EXPECT_FALSE(BlastCell(256, 0));            // no crack: only the explosion
    EXPECT_EQ(level.groundLayer.Count(), 1);
    EXPECT_EQ(level.explosionLayer.Count(), 2);
}

TEST_F(Movers, BlastingAWallKeepsTheElevatorsSpeeds) {
    Wall(0, 0);
    Put(CrackLayerNumber, TexCrack, 0, 0);
    Elevator(512, 512);
    Elevator(1024, 512);
    Finish();
    level.wallLayer[2].param2 = 10;
    level.wallLayer[3].param2 = -10;
    EXPECT_TRUE(BlastCell(0, 0));
    ASSERT_EQ(level.wallLayer.Count(), 2);
    ASSERT_EQ(level.elevatorIndex.Count(), 2);
    EXPECT_EQ(level.wallLayer[1].param2, 10);
    EXPECT_EQ(level.wallLayer[2].param2, -10);
}

TEST_F(Movers, BlastingAnElevatorKeepsTheOthersSpeeds) {
    Elevator(0, 0);
    Put(CrackLayerNumber, TexCrack, 0, 0);
    Elevator(512, 512);
    Finish();
    level.wallLayer[1].param2 = -10;
    level.wallLayer[2].param2 = 10;
    EXPECT_TRUE(BlastCell(0, 0));
    ASSERT_EQ(level.elevatorIndex.Count(), 1);
    EXPECT_EQ(level.wallLayer[1].x, 512);
    EXPECT_EQ(level.wallLayer[1].param2, 10);
}

struct ThrowCase {
    const char* name;
    double dx, dy;              // platform's centre from the ball's
    bool thrown;
};

void PrintTo(const ThrowCase& c, std::ostream* out) { *out << c.name; }

class Throw : public PlayTest, public ::testing::WithParamInterface<ThrowCase> {};

TEST_P(Throw, ABombThrowsPlatformsNearerThan256) {
    const ThrowCase& c = GetParam();
    BombLevel();
    Platform(256 + c.dx, 384 + c.dy);
    Finish();
    level.bombCount = 1;
    DropBomb();
    EXPECT_EQ(level.platformLayer.Count(), c.thrown ? 0 : 1);
    ASSERT_EQ(attempt.flyingObjects.Count(), c.thrown ? 1 : 0);
    if (c.thrown) {
        EXPECT_EQ(attempt.flyingObjects[1].param2, 40);
        EXPECT_EQ(attempt.flyingObjects[1].x, 256 + c.dx);
    }
}

INSTANTIATE_TEST_SUITE_P(Distances, Throw,
                         ::testing::Values(ThrowCase{"at255", 255, 0, true}, ThrowCase{"at256", 0, -256, false},
                                           ThrowCase{"diagonal", 180, -180, true},
                                           ThrowCase{"diagonalFar", 182, -182, false}));

TEST_F(Movers, AThrownPlatformFallsAwayAndIsForgotten) {
    BombLevel();
    Platform(384, 384);
    Finish();
    attempt.flyingObjects.Clear();
    level.bombCount = 1;
    DropBomb();
    ASSERT_EQ(attempt.flyingObjects.Count(), 1);
    frameStep = 0.5;
    UpdateMovers();
    EXPECT_EQ(attempt.flyingObjects[1].y, 384 + 20);
    for (int frame = 0; frame < 400 && attempt.flyingObjects.Count(); ++frame) UpdateMovers();
    EXPECT_EQ(attempt.flyingObjects.Count(), 0);        // gone once 7000 below the ball
}

TEST_F(Movers, WithoutBombsSpaceOnlySaysSo) {
    BombLevel();
    Wall(384, 384);
    Put(CrackLayerNumber, TexCrack, 384, 384);
    Finish();
    Play("60 space");
    EXPECT_EQ(TimesShown("NO BOMBS LEFT!"), 1);
    EXPECT_TRUE(WallAt(384, 384));
    EXPECT_EQ(frames.back().explosions, 0);
    EXPECT_EQ(TimesPlayed(SoundExplode, SoundExplode), 0);
}

TEST_F(Movers, TheBombCellIsTheNearestMultipleOf128) {
    Finish();
    struct Case {
        double x;
        double cell;
    };
    for (const Case& c : {Case{63, 0}, Case{64, 128}, Case{-64, -128}, Case{-63, 0}, Case{191, 128}, Case{192, 256}}) {
        Ball(c.x, 0);
        level.explosionLayer.Clear();
        level.bombCount = 1;
        DropBomb();
        ASSERT_EQ(level.explosionLayer.Count(), 4);
        EXPECT_EQ(level.explosionLayer[1].x, c.cell - 192) << c.x;     // the cell above the ball's
    }
}

}  // namespace
}  // namespace playtest
