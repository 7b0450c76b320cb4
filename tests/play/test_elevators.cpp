// Elevators: their stops under ceilings, on walls and traps and beside floors, two in one column, the switch, and
// the band of the level they cannot leave.
#include <algorithm>
#include <cmath>

#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using Elevators = PlayTest;

struct ElevatorTrack {
    std::vector<double> y, speed, timer;
};

LevelObject& TheElevator(std::int32_t n = 1) { return level.wallLayer[level.elevatorIndex[n]]; }

// Keeps the n-th elevator frame by frame.
std::function<void(std::int64_t)> Track(ElevatorTrack& track, std::int32_t n = 1) {
    return [&track, n](std::int64_t) {
        track.y.push_back(TheElevator(n).y);
        track.speed.push_back(TheElevator(n).param2);
        track.timer.push_back(TheElevator(n).timer);
    };
}

// Outside play the switch is whatever the test says: on.
void SwitchOn() {
    attempt.switchState = -1;
    ApplySwitch();
}

// A ball out of the way, resting on a floor of its own.
void BallAside() {
    Floor(2560, 2560, 512);
    Ball(2560, 384);
}

TEST_F(Elevators, UnderACeilingAnElevatorStopsOneCellShortAndTurns) {
    BallAside();
    Wall(0, 512);               // the ceiling, 512 above the elevator
    Elevator(0, 1024);
    Wall(0, 1152);              // the floor it starts on
    Finish();
    ElevatorTrack track;
    everyFrame = Track(track);
    Play("150");
    const double highest = *std::min_element(track.y.begin(), track.y.end());
    EXPECT_EQ(highest, 512 + 256);
    const size_t top = static_cast<size_t>(std::find(track.y.begin(), track.y.end(), highest) - track.y.begin());
    EXPECT_EQ(track.speed[top], 10);            // turned, going down
    EXPECT_EQ(track.timer[top], 0);             // no pause under a ceiling
    EXPECT_EQ(track.y[top + 1], 768 + 7.5);     // empty: 15 units per step
}

TEST_F(Elevators, LandingOnAWallPausesTwentyStepsWithAClick) {
    BallAside();
    Wall(0, 512);
    Elevator(0, 1024);
    Wall(0, 1152);
    Finish();
    ElevatorTrack track;
    everyFrame = Track(track);
    Play("150");
    // Up to 768, back down to 1024: the landing.
    size_t landed = 0;
    for (size_t i = 1; i < track.y.size() && !landed; ++i)
        if (track.y[i] == 1024 && track.timer[i] == 20) landed = i;
    ASSERT_GT(landed, 0u);
    EXPECT_EQ(track.speed[landed], -10);        // it will go up again
    size_t still = 0;
    while (landed + still < track.y.size() && track.y[landed + still] == 1024) ++still;
    EXPECT_EQ(still, 40u);                      // 20 steps at half a step per frame
    EXPECT_EQ(TimesPlayed(SoundLock, SoundLock), 1);
}

TEST_F(Elevators, FallingOntoATrapItStopsACellAboveAndWaits) {
    BallAside();
    Elevator(0, 256);           // the top of the level: it turns at once
    Hazard(TexTrap, 0, 640);
    Finish();
    ElevatorTrack track;
    everyFrame = Track(track);
    Play("100");
    const auto stop = std::find(track.y.begin(), track.y.end(), 512.0);
    ASSERT_NE(stop, track.y.end());
    const size_t at = static_cast<size_t>(stop - track.y.begin());
    EXPECT_EQ(track.timer[at], 20);
    EXPECT_EQ(*std::max_element(track.y.begin(), track.y.end()), 512);
    EXPECT_EQ(TimesPlayed(SoundLock, SoundLock), 1);
}

class FloorBeside : public PlayTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FloorBeside, TheRidingBallIsStoppedLevelWithAFreeFloorBeside) {
    const bool covered = GetParam();
    Wall(0, 0);                 // ceiling
    Elevator(0, 1024);
    Wall(0, 1152);
    Wall(128, 640);             // the floor block beside the shaft
    if (covered) Wall(128, 512);
    Finish();
    Ball(0, 896);               // on the elevator
    ElevatorTrack track;
    std::vector<double> ballY;
    everyFrame = [&](std::int64_t frame) {
        Track(track)(frame);
        ballY.push_back(level.ball.y);
    };
    Play("150");
    const auto level = std::find(track.y.begin(), track.y.end(), 640.0);
    if (covered) {
        // Not beside the covered block; the block on top of it is a free floor of its own.
        EXPECT_EQ(level, track.y.end());
        const auto higher = std::find(track.y.begin(), track.y.end(), 512.0);
        ASSERT_NE(higher, track.y.end());
        EXPECT_EQ(track.timer[static_cast<size_t>(higher - track.y.begin())], 20);
        return;
    }
    ASSERT_NE(level, track.y.end());
    const size_t at = static_cast<size_t>(level - track.y.begin());
    EXPECT_EQ(track.y[at - 1], 644);            // 5 units a frame with the ball on
    EXPECT_EQ(track.timer[at], 20);
    EXPECT_EQ(ballY[at], 512);                  // level with the top of the block: the ball can roll off
    size_t still = 0;
    while (at + still < track.y.size() && track.y[at + still] == 640) ++still;
    EXPECT_EQ(still, 40u);
    EXPECT_EQ(TimesPlayed(SoundLock, SoundLock), 1);
}

INSTANTIATE_TEST_SUITE_P(FreeOrCovered, FloorBeside, ::testing::Bool());

TEST_F(Elevators, TwoElevatorsInAColumnTurnBackWithin256) {
    BallAside();
    Elevator(0, 0);             // the top of the level: it turns down at once
    Elevator(0, 1024);
    Wall(0, 1152);
    Finish();
    std::vector<double> gap;
    std::vector<double> upperSpeed, lowerSpeed;
    everyFrame = [&](std::int64_t) {
        gap.push_back(TheElevator(2).y - TheElevator(1).y);
        upperSpeed.push_back(TheElevator(1).param2);
        lowerSpeed.push_back(TheElevator(2).param2);
    };
    Play("120");
    EXPECT_GE(*std::min_element(gap.begin(), gap.end()), 255);
    // The rising one meets the other as a ceiling: it stops exactly 256 below and turns...
    const size_t lowerTurns =
        static_cast<size_t>(std::find(lowerSpeed.begin(), lowerSpeed.end(), 10.0) - lowerSpeed.begin());
    ASSERT_LT(lowerTurns + 1, gap.size());
    EXPECT_EQ(gap[lowerTurns], 256);
    EXPECT_EQ(upperSpeed[lowerTurns], 10);
    // ...and the falling one turns at its next step, within 256 of a moving elevator.
    EXPECT_EQ(upperSpeed[lowerTurns + 1], -10);
    EXPECT_GT(gap[lowerTurns + 5], 256);
}

TEST_F(Elevators, SwitchingOffStopsThemWhereTheyAreAndOnSendsAllUp) {
    Elevator(0, 512);
    Elevator(512, 512);
    Finish();
    level.wallLayer[1].param2 = 10;
    level.wallLayer[2].param2 = -10;
    attempt.switchState = 0;
    ApplySwitch();
    EXPECT_EQ(level.wallLayer[1].param2, 0);
    EXPECT_EQ(level.wallLayer[2].param2, 0);
    UpdateElevators();
    EXPECT_EQ(level.wallLayer[1].y, 512);
    EXPECT_EQ(level.wallLayer[1].timer, 0);           // a stopped elevator does not pause either
    attempt.switchState = -1;
    ApplySwitch();
    EXPECT_EQ(level.wallLayer[1].param2, -10);
    EXPECT_EQ(level.wallLayer[2].param2, -10);
}

TEST_F(Elevators, TheBallsSwitchStopsAndStartsThemInPlay) {
    Floor(0, 128 * 30, 512);
    Arrow(5, 384, 384);         // on
    Arrow(5, 1280, 384);        // off again
    Elevator(3840, 256);
    Wall(3840, 0);
    Wall(3840, 1024);
    Finish();
    Ball(0, 384);
    ElevatorTrack track;
    std::vector<std::int32_t> state;
    everyFrame = [&](std::int64_t frame) {
        Track(track)(frame);
        state.push_back(attempt.switchState);
    };
    Play("100 right");
    EXPECT_EQ(track.speed.front(), 0);          // a level with a switch starts with it off
    const size_t on = static_cast<size_t>(std::find(state.begin(), state.end(), -1) - state.begin());
    const auto turnedOff = std::find(state.begin() + static_cast<long>(on), state.end(), 0);
    const size_t off = static_cast<size_t>(turnedOff - state.begin());
    ASSERT_LT(off, state.size());
    EXPECT_NE(track.speed[on], 0);
    EXPECT_EQ(track.speed[off], 0);
    EXPECT_EQ(track.y.back(), track.y[off]);    // stopped where it was
}

TEST_F(Elevators, AnElevatorStaysWithinTheLevelsBand) {
    BallAside();
    Wall(1024, 0);              // minY 0
    Wall(1024, 1024);           // maxY 1024
    Elevator(0, 512);
    Finish();
    ElevatorTrack track;
    everyFrame = Track(track);
    Play("400");
    EXPECT_EQ(*std::min_element(track.y.begin(), track.y.end()), 0);
    EXPECT_EQ(*std::max_element(track.y.begin(), track.y.end()), 1024);
}

struct WedgeCase {
    const char* name;
    double ballX;
};

void PrintTo(const WedgeCase& c, std::ostream* out) { *out << c.name; }

class Wedge : public PlayTest, public ::testing::WithParamInterface<WedgeCase> {};

// Under a low ceiling the ball touches a wall wherever it is: the push toward the elevator's column would never end
// (on the column it steps off and back again), so it stops after one cell of movement.
TEST_P(Wedge, AWedgedBallIsPushedAtMostOneCellAFrame) {
    for (double x = -2560; x <= 2560; x += 128) Wall(x, 800);
    Elevator(0, 1024);
    Finish();
    Ball(GetParam().ballX, 896);
    SwitchOn();
    frameStep = 0.5;
    UpdateElevators();
    EXPECT_GE(level.ball.x, -1);
    EXPECT_LE(level.ball.x, 0);
    // Each push bounced the ball off the ceiling once: 128 of them turned 6 into almost nothing.
    EXPECT_LT(std::fabs(level.ball.param2), 1e-15);
    EXPECT_GT(std::fabs(level.ball.param2), 0);
}

INSTANTIATE_TEST_SUITE_P(Places, Wedge,
                         ::testing::Values(WedgeCase{"onTheColumn", 0}, WedgeCase{"beside", 50},
                                           WedgeCase{"otherSide", -40}));

TEST_F(Elevators, TheRidingBallIsPressedOntoTheElevator) {
    Wall(0, 0);
    Elevator(0, 1024);
    Wall(0, 1152);
    Finish();
    Ball(0, 896, 0, 0);
    SwitchOn();
    frameStep = 0.5;
    UpdateElevators();
    EXPECT_EQ(level.ball.param2, 6);                  // 12 x frameStep
    EXPECT_EQ(TheElevator().y, 1024 - 5);        // with the ball on: 10 units a step
    EXPECT_EQ(level.ball.y, 1024 - 5 - 128);
}

}  // namespace
}  // namespace playtest
