// Pickups, traps, the fall off the level and the flags-left reminder at an exit.
#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using Pickups = PlayTest;

struct PickupCase {
    const char* name;
    std::int32_t texture;
    std::int32_t otherFlags;    // flags elsewhere in the level
    std::int32_t score, bombs, flags;
    std::int32_t sound;
    std::string text;
};

void PrintTo(const PickupCase& c, std::ostream* out) { *out << c.name; }

class PickupTable : public PlayTest, public ::testing::WithParamInterface<PickupCase> {};

TEST_P(PickupTable, RollingOverAPickupTakesItForItsPoints) {
    const PickupCase& c = GetParam();
    Floor(0, 1280, 512);
    Ball(0, 384);
    Pickup(c.texture, 256, 384);
    for (int i = 0; i < c.otherFlags; ++i) Pickup(TexFlag, 2560 + 128 * i, 0);
    Finish();
    Play("30 right");
    const Snapshot& last = frames.back();
    EXPECT_EQ(last.score, c.score);
    EXPECT_EQ(last.bombs, c.bombs);
    EXPECT_EQ(last.flags, c.flags);
    EXPECT_EQ(last.pickups, c.otherFlags);
    EXPECT_EQ(TimesPlayed(c.sound, c.sound), 1);
    EXPECT_EQ(TimesShown(c.text), 1) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PickupTable,
    ::testing::Values(PickupCase{"bomb", TexBomb, 0, 150, 1, 0, SoundBomb, std::string(1, '\xB3')},
                      PickupCase{"flagOfTwo", TexFlag, 1, 100, 0, 1, SoundFlag, std::string(1, '\xB2')},
                      PickupCase{"lastFlag", TexFlag, 0, 100, 0, 0, SoundFlag, "ALL FLAGS COLLECTED!"}));

TEST_F(Pickups, TheLastFlagAlwaysSpeaks) {
    Floor(0, 1280, 512);
    Ball(0, 384);
    Pickup(TexFlag, 256, 384);
    Finish();
    Play("30 right");
    EXPECT_EQ(TimesPlayed(7, 16), 1);
}

class TwoOnOneCell : public PlayTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TwoOnOneCell, TheFirstInLayerOrderIsTakenFirst) {
    Pickup(TexBomb, 2560, 0);   // elsewhere, first in the layer
    Pickup(TexFlag, 128, 0);
    Pickup(TexBomb, 128, 0);
    Finish();
    if (GetParam()) BuildSpatialIndex();
    Ball(100, 0);
    CheckPickups();
    ASSERT_EQ(level.pickupLayer.Count(), 2);
    EXPECT_EQ(level.pickupLayer[2].texture, TexBomb);         // the flag went first
    EXPECT_EQ(score, 100);
    CheckPickups();
    ASSERT_EQ(level.pickupLayer.Count(), 1);
    EXPECT_EQ(level.pickupLayer[1].x, 2560);
    EXPECT_EQ(score, 250);
    CheckPickups();
    EXPECT_EQ(level.pickupLayer.Count(), 1);
    DropSpatialIndex();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutIndex, TwoOnOneCell, ::testing::Bool());

TEST_F(Pickups, ThePickupEdgeCountsAsUnderTheBall) {
    Pickup(TexFlag, 128, 0);
    Finish();
    Ball(0, 0);                 // centre (64, 64): one unit short of the cell
    CheckPickups();
    EXPECT_EQ(level.pickupLayer.Count(), 1);
    Ball(64, 64);               // centre on the corner (128, 128)
    CheckPickups();
    EXPECT_EQ(level.pickupLayer.Count(), 0);
}

struct ReminderCase {
    std::int32_t flags;
    std::string text;
};

void PrintTo(const ReminderCase& c, std::ostream* out) { *out << c.flags << "flags"; }

class Reminder : public PlayTest, public ::testing::WithParamInterface<ReminderCase> {};

TEST_P(Reminder, AnExitWithFlagsLeftRemindsAtMostEveryOneAndAHalfSeconds) {
    const ReminderCase& c = GetParam();
    Floor(0, 0, 512);
    Ball(0, 384);
    Hazard(TexExit, 0, 384);
    for (int i = 0; i < c.flags; ++i) Pickup(TexFlag, 2560 + 128 * i, 0);
    Finish();
    EXPECT_FALSE(Play("200"));      // four seconds on the exit
    EXPECT_EQ(TimesShown(c.text), 3);
    EXPECT_EQ(FirstShown(c.text), 2);
}

INSTANTIATE_TEST_SUITE_P(Counts, Reminder,
                         ::testing::Values(ReminderCase{1, "1 FLAG LEFT!"}, ReminderCase{2, "2 FLAGS LEFT!"}));

struct TrapCase {
    const char* name;
    bool god;
    double death;
};

void PrintTo(const TrapCase& c, std::ostream* out) { *out << c.name; }

class Trap : public PlayTest, public ::testing::WithParamInterface<TrapCase> {};

TEST_P(Trap, ATrapLosesTheBallUnlessGodModeIsOn) {
    Floor(0, 0, 512);
    Ball(0, 384);
    Hazard(TexTrap, 0, 384);
    Finish();
    playRun.godMode = GetParam().god ? -1 : 0;
    Play("3");                  // lost in the second frame; Escape is read in the fourth
    EXPECT_EQ(frames.back().death, GetParam().death);
    EXPECT_EQ(TimesShown("BALL LOST!"), GetParam().god ? 0 : 1);
    EXPECT_EQ(TimesPlayed(SoundLose, SoundLose), GetParam().god ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Modes, Trap,
                         ::testing::Values(TrapCase{"mortal", false, 3}, TrapCase{"godMode", true, 0}));

struct FallCase {
    const char* name;
    double y;
    bool god;
    bool lost;
};

void PrintTo(const FallCase& c, std::ostream* out) { *out << c.name; }

class Fall : public PlayTest, public ::testing::WithParamInterface<FallCase> {};

TEST_P(Fall, MoreThanTwoHundredBelowTheLowestObjectTheBallIsLost) {
    const FallCase& c = GetParam();
    Wall(512, 1000);            // the lowest object: maxY 1000
    Finish();
    playRun.godMode = c.god ? -1 : 0;
    Ball(0, c.y);
    CheckHazards();
    EXPECT_EQ(level.deathCounter, c.lost ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, Fall,
                         ::testing::Values(FallCase{"at200", 1200, false, false}, FallCase{"at201", 1201, false, true},
                                           FallCase{"at201God", 1201, true, true}));

TEST_F(Pickups, AFallingBallIsLostInPlay) {
    Wall(512, 0);
    Finish();
    Ball(0, 0);
    playRun.godMode = -1;
    Play("40");
    const std::int64_t lost = FirstFrame([](const Snapshot& s) { return s.death != 0; });
    ASSERT_GT(lost, 0);
    EXPECT_GT(frames[static_cast<size_t>(lost - 1)].y, 200);
    EXPECT_LE(frames[static_cast<size_t>(lost - 2)].y, 201);
}

TEST_F(Pickups, NothingUnderACarriedBallCounts) {
    Hazard(TexTrap, 0, 0);
    Finish();
    Ball(0, 0);
    attempt.carried = -1;
    CheckHazards();
    EXPECT_EQ(level.deathCounter, 0);
    attempt.carried = 0;
    CheckHazards();
    EXPECT_EQ(level.deathCounter, 1);
}

}  // namespace
}  // namespace playtest
