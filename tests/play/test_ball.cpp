// The ball's motion: bounces off wall tops and sides, the bump sound, corner deflections, the speed cap, the arrow
// cells and the switch.
#include <algorithm>

#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using BallMotion = PlayTest;

int BumpsHeard() {
    ConsumePlayEvents();        // bumps raised by rules called directly
    int n = 0;
    for (const AudioEvent& event : HeadlessAudioEvents())
        if (event.kind == AudioEventKind::PlayChunk && event.file.find("bump.ogg") != std::string::npos) ++n;
    return n;
}

int LastBumpVolume() {
    ConsumePlayEvents();
    int volume = -1;
    for (const AudioEvent& event : HeadlessAudioEvents())
        if (event.kind == AudioEventKind::ChannelVolume && event.file.find("bump.ogg") != std::string::npos)
            volume = event.volume;
    return volume;
}

TEST_F(BallMotion, FallingOntoAWallTopBouncesUpATwoThirdsAndStopsOnTheWall) {
    Wall(0, 256);
    Finish();
    Ball(0, 100, 0, 30);
    MoveBallY(140);
    EXPECT_EQ(level.ball.param2, -20);
    EXPECT_EQ(level.ball.y, 256 - 128);
    EXPECT_EQ(level.wallLayer[1].param1, 1);      // touched
}

TEST_F(BallMotion, ADroppedBallComesToRestOnTheFloor) {
    Floor(0, 512, 512);
    Finish();
    Ball(128, 0);
    Play("", 300);
    const Snapshot& last = frames.back();
    // Less than one unit below the wall's top less a cell: the unit steps keep the fraction of the fall, and a
    // ball whose bottom is less than a unit into the wall does not touch it yet.
    EXPECT_GE(last.y, 512 - 128);
    EXPECT_LT(last.y, 512 - 127);
    EXPECT_EQ(last.x, 128);
    EXPECT_EQ(last.death, 0);
    // Resting: gravity pulls it each frame, the floor's top sends it back, and it never gets lower.
    for (size_t i = frames.size() - 50; i < frames.size(); ++i) EXPECT_EQ(frames[i].y, last.y) << frames[i].frame;
}

struct SideCase {
    const char* name;
    double speed;
    double bounced;
    int bumps;
    int volume;
};

void PrintTo(const SideCase& c, std::ostream* out) { *out << c.name; }

class SideBounce : public PlayTest, public ::testing::WithParamInterface<SideCase> {};

TEST_P(SideBounce, AWallSideSendsTheBallBackAtTwoThirdsAndBumpsAboveTheThreshold) {
    const SideCase& c = GetParam();
    Wall(256, 0);
    Finish();
    Ball(110, 0, c.speed, 0);
    HeadlessAudioClearEvents();
    MoveBallX(110 + c.speed * 2);
    EXPECT_DOUBLE_EQ(level.ball.param1, c.bounced);
    EXPECT_EQ(level.ball.x, 128);                 // the step into the wall is undone
    EXPECT_EQ(BumpsHeard(), c.bumps);
    if (c.bumps) {
        EXPECT_EQ(LastBumpVolume(), c.volume);
    }
}

INSTANTIATE_TEST_SUITE_P(Speeds, SideBounce,
                         ::testing::Values(SideCase{"at30", 30, -20, 1, 64}, SideCase{"at15", 15, -10, 1, 16},
                                           SideCase{"atThreshold", 10, -10 / 1.5, 1, 0},
                                           SideCase{"at50", 50, -50 / 1.5, 1, 128}));

TEST_F(BallMotion, ASideKnockBelowTenIsSilent) {
    Wall(256, 0);
    Finish();
    Ball(120, 0, 9, 0);
    HeadlessAudioClearEvents();
    MoveBallX(140);
    EXPECT_EQ(level.ball.param1, -6);
    EXPECT_EQ(BumpsHeard(), 0);
}

struct CornerCase {
    const char* name;
    double ballX, ballY;        // the wall stands at (0, 0)
    double vx, vy;
    double expectX, expectVx, expectVy;
};

void PrintTo(const CornerCase& c, std::ostream* out) { *out << c.name; }

class Corner : public PlayTest, public ::testing::WithParamInterface<CornerCase> {};

TEST_P(Corner, ACornerTurnsTheVelocityRoundIt) {
    const CornerCase& c = GetParam();
    Wall(0, 0);
    Finish();
    Ball(c.ballX, c.ballY, c.vx, c.vy);
    frameStep = 0.5;
    EXPECT_TRUE(CollideWalls());
    EXPECT_DOUBLE_EQ(level.ball.param1, c.expectVx);
    EXPECT_DOUBLE_EQ(level.ball.param2, c.expectVy);
    EXPECT_EQ(level.ball.x, c.expectX);
    EXPECT_EQ(level.wallLayer[1].param1, 0);      // the corner pass clears the mark of the wall that acted
}

// Centre point c = ball + 63; the chosen points are within 64 of one corner and in none of the wall's bands. The
// top corners press the ball down (+12 x frameStep) afterwards.
INSTANTIATE_TEST_SUITE_P(
    Corners, Corner,
    ::testing::Values(CornerCase{"topLeft", -93, -93, 9, 12, -93, -12 / 1.5, -9 / 1.5 + 6},
                      CornerCase{"topRight", 94, -93, 9, 12, 94, 12 / 1.5, 9 / 1.5 + 6},
                      CornerCase{"bottomLeft", -93, 94, 9, -12, -93, -12 / 1.5, 9 / 1.5},
                      CornerCase{"bottomLeftDeep", -125, 67, 9, -12, -128, 0, 9 / 1.5},
                      CornerCase{"bottomRight", 94, 94, -9, -12, 94, 12 / 1.5, 9 / 1.5}));

TEST_F(BallMotion, AnElevatorHasNoCornersAndBlocksOnlyFromAbove) {
    Elevator(0, 0);
    Finish();
    Ball(-93, -93, 9, 12);
    EXPECT_FALSE(CollideWalls());           // corner of an elevator: nothing
    EXPECT_EQ(level.ball.param1, 9);
    Ball(0, 100, 0, -30);                   // from below, centre in the bottom band
    EXPECT_FALSE(CollideWalls());
    EXPECT_EQ(level.ball.param2, -30);
    Ball(-100, 0, 30, 0);                   // from the left, centre in the left band
    EXPECT_FALSE(CollideWalls());
    EXPECT_EQ(level.ball.param1, 30);
    Ball(0, -100, 0, 30);                   // from above
    EXPECT_TRUE(CollideWalls());
    EXPECT_EQ(level.ball.param2, -20);
}

class TouchedMarks : public PlayTest, public ::testing::WithParamInterface<bool> {};

// The walls after the one that answers are not visited: they keep whatever mark they had, with the cell index as
// without it.
TEST_P(TouchedMarks, WallsAfterTheAnsweringWallKeepTheirMarks) {
    Wall(-1280, 0);     // 1: far away, carries an old mark
    Wall(0, 256);       // 2: the ball lands on it
    Wall(1280, 0);      // 3: far away, carries an old mark
    Wall(128, 256);     // 4: touches the ball too, after the one that answers
    Finish();
    level.wallLayer[1].param1 = 1;
    level.wallLayer[3].param1 = 1;
    if (GetParam()) BuildSpatialIndex();
    Ball(64, 129, 0, 10);
    EXPECT_TRUE(CollideWalls());            // wall 2's top answers
    EXPECT_EQ(level.wallLayer[1].param1, 0);      // visited, not touching
    EXPECT_EQ(level.wallLayer[2].param1, 1);
    EXPECT_EQ(level.wallLayer[3].param1, 1);      // not visited
    EXPECT_EQ(level.wallLayer[4].param1, 0);      // not visited although it touches
    Ball(700, -600, 0, 0);                  // touching nothing: every wall is visited and cleared
    EXPECT_FALSE(CollideWalls());
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(level.wallLayer[i].param1, 0) << i;
    DropSpatialIndex();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIndex, TouchedMarks, ::testing::Bool());

TEST_F(BallMotion, HoldingRightGrowsTheSpeedByTwoPerFrameUpToTheCap) {
    Floor(0, 128 * 60, 512);
    Finish();
    Ball(0, 384);
    Play("60 right", 60);
    ASSERT_GE(frames.size(), 40u);
    EXPECT_EQ(frames[0].vx, 3);             // 6 x 0.5 from rest (friction has nothing to take)
    EXPECT_EQ(frames[1].vx, 5);             // - 2 x 0.5 + 6 x 0.5
    EXPECT_EQ(frames[2].vx, 7);
    double fastest = 0;
    for (const Snapshot& s : frames) fastest = std::max(fastest, s.vx);
    EXPECT_EQ(fastest, 40);
}

TEST_F(BallMotion, APushAgainstTheMotionIgnoresTheCap) {
    Ball(0, 0, 100, 0);
    AccelerateX(-3);
    EXPECT_EQ(level.ball.param1, 97);
    AccelerateX(3);                         // along the motion past the cap: refused
    EXPECT_EQ(level.ball.param1, 97);
    Ball(0, 0, 38, 0);
    AccelerateX(2);
    EXPECT_EQ(level.ball.param1, 40);
    AccelerateX(0.5);
    EXPECT_EQ(level.ball.param1, 40);
}

struct ArrowCase {
    const char* name;
    std::int32_t code;          // 0: no arrow
    double vx, vy;              // after one frame from rest, frameStep 0.5
};

void PrintTo(const ArrowCase& c, std::ostream* out) { *out << c.name; }

class ArrowForce : public PlayTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowForce, TheArrowUnderTheBallDecidesItsPush) {
    const ArrowCase& c = GetParam();
    if (c.code) Arrow(c.code, 0, 0);
    Wall(0, 2000);              // keeps the level's bottom far below
    Finish();
    Ball(0, 0);
    Play("1 esc");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].vx, c.vx);
    EXPECT_EQ(frames[0].vy, c.vy);
}

INSTANTIATE_TEST_SUITE_P(Codes, ArrowForce,
                         ::testing::Values(ArrowCase{"none", 0, 0, 10}, ArrowCase{"north", 1, 0, -30},
                                           ArrowCase{"east", 2, 30, 10}, ArrowCase{"south", 3, 0, -2.5},
                                           ArrowCase{"west", 4, -30, 10}, ArrowCase{"switch", 5, 0, 10}));

TEST_F(BallMotion, TheNorthArrowHoldsTheBallUpEveryFrameItsCentreIsOnIt) {
    Arrow(1, 0, 0);
    Arrow(1, 0, -128);
    Wall(0, 2000);
    Finish();
    Ball(0, 0);
    Play("20 esc");
    for (const Snapshot& s : frames)
        if (s.y + 64 >= -128) {
            EXPECT_EQ(s.vy, -30) << s.frame;
        }
}

TEST_F(BallMotion, TheSwitchTogglesOncePerVisit) {
    Floor(0, 128 * 24, 512);
    Arrow(5, 256, 384);
    Arrow(5, 1024, 384);
    Elevator(1536, 0);
    Finish();
    Ball(0, 384);
    Play("100 right");
    int toggles = 0;
    std::int32_t state = 0;                 // a level with a switch starts with it off
    for (const Snapshot& s : frames) {
        if (s.switchState != state) ++toggles;
        state = s.switchState;
    }
    // The ball's centre stays on each switch for several frames, and each switch toggles once.
    EXPECT_EQ(toggles, 2);
    EXPECT_EQ(state, 0);
    EXPECT_GT(std::count_if(frames.begin(), frames.end(), [](const Snapshot& s) { return s.switchState == -1; }), 2);
}

TEST_F(BallMotion, StandingOnTheSwitchTogglesItOnceAndStartsTheElevators) {
    Floor(0, 384, 512);
    Arrow(5, 128, 384);
    Elevator(1024, 512);
    Wall(1024, 0);
    Finish();
    Ball(128, 384);
    Play("40");
    EXPECT_EQ(frames.back().switchState, -1);
    EXPECT_EQ(FirstFrame([](const Snapshot& s) { return s.switchState == -1; }), 1);
    EXPECT_LT(level.wallLayer[level.elevatorIndex[1]].y, 512);  // it has been rising since
}

}  // namespace
}  // namespace playtest

namespace playtest {
namespace {

// A velocity from a damaged file would take forever in unit steps: one move takes at most MaxUnitSteps of them.
TEST_F(BallMotion, ADamagedSpeedSlowsOneFrameButCannotHangTheGame) {
    Wall(0, 2000);
    Finish();
    Ball(0, 0, 1e300, 0);
    Play("1 esc");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].x, static_cast<double>(MaxUnitSteps));
}

}  // namespace
}  // namespace playtest
