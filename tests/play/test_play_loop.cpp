// The play loop: the level clock and its messages, the keys and their latches, cheats, difficulty, the death and
// victory sequences and the restart after a death.
#include <algorithm>

#include "gfx/hud.h"
#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using PlayLoop = PlayTest;

// A floor under the ball, which rests at (0, 384).
void RestingBall(double floorEnd = 1280) {
    Floor(0, floorEnd, 512);
    Ball(0, 384);
}

TEST_F(PlayLoop, ReachingTheExitWithTimeAndBombsLeftAddsBothBonuses) {
    RestingBall();
    Pickup(TexBomb, 128, 384);
    Pickup(TexBomb, 256, 384);
    Pickup(TexBomb, 384, 384);
    Hazard(TexExit, 640, 384);
    Finish();
    level.timeLimit = 60;
    frozenElapsed = 47.7;       // 12.3 s left whenever the exit is reached
    EXPECT_TRUE(Play("400 right"));
    EXPECT_EQ(score, 3 * 150 + 6150 + 15000);
    const std::int64_t reached = FirstFrame([](const Snapshot& s) { return s.win == 1; });
    EXPECT_EQ(ShownIn(reached), (std::vector<std::string>{"TIME BONUS:", "6150", "BOMBS LEFT BONUS:3"}));
    EXPECT_EQ(TimesPlayed(SoundWin, SoundWin), 1);
    EXPECT_EQ(TimesPlayed(37, 46), 1);
}

struct PenaltyCase {
    const char* name;
    std::int32_t scoreBefore;
    std::int32_t scoreAfter;
};

void PrintTo(const PenaltyCase& c, std::ostream* out) { *out << c.name; }

class Penalty : public PlayTest, public ::testing::WithParamInterface<PenaltyCase> {};

TEST_P(Penalty, GodModePastTheLimitTakesPointsButNeverBelowZero) {
    RestingBall(0);
    Hazard(TexExit, 0, 384);
    Finish();
    level.timeLimit = 10;
    frozenElapsed = 20;
    playRun.cheatsOn = playRun.godMode = -1;
    score = GetParam().scoreBefore;
    EXPECT_TRUE(Play("100"));
    EXPECT_EQ(score, GetParam().scoreAfter);
    // Time up (no loss in god mode), then the exit in the same frame.
    EXPECT_EQ(ShownIn(2), (std::vector<std::string>{"5 SECONDS LEFT!", "TIME UP!", "TIME PENALTY:", "-5000"}));
}

INSTANTIATE_TEST_SUITE_P(Scores, Penalty,
                         ::testing::Values(PenaltyCase{"enoughPoints", 7000, 2000}, PenaltyCase{"floored", 100, 0}));

TEST_F(PlayLoop, TheVictorySequenceLastsFiftyFramesAndPutsTheZoomBack) {
    RestingBall(0);
    Hazard(TexExit, 0, 384);
    Finish();
    level.levelZoom = 0.5;
    EXPECT_TRUE(Play("200"));
    const std::int64_t reached = FirstFrame([](const Snapshot& s) { return s.win == 1; });
    EXPECT_EQ(reached, 2);      // the first frame only sets the ball moving; the second step meets the exit
    EXPECT_EQ(result.frames, reached + 50);
    EXPECT_GT(frames[static_cast<size_t>(reached + 40)].levelZoom, 0.5 * 1.01 * 1.01);
    EXPECT_EQ(level.levelZoom, 0.5);
    EXPECT_EQ(attempt.flagsLeft, 1);
}

TEST_F(PlayLoop, EscapeDuringTheVictorySequenceStillCompletesTheLevel) {
    RestingBall(0);
    Hazard(TexExit, 0, 384);
    Finish();
    EXPECT_TRUE(Play("10\n1 esc"));
    EXPECT_EQ(result.frames, 11);
    EXPECT_GT(frames.back().win, 1);
}

TEST_F(PlayLoop, EscapeBeforeTheExitIsNotACompletion) {
    RestingBall();
    Hazard(TexExit, 1024, 384);
    Finish();
    EXPECT_FALSE(Play("5 right\n1 esc"));
    EXPECT_EQ(result.frames, 6);
}

TEST_F(PlayLoop, TheWindowsCloseButtonCountsAsEscape) {
    RestingBall();
    Finish();
    HeadlessPushKey("\xFF" "k");
    EXPECT_FALSE(Play("100"));
    EXPECT_EQ(result.frames, 1);
}

TEST_F(PlayLoop, TimeUpLosesTheBallAfterTheWarning) {
    RestingBall();
    Finish();
    level.timeLimit = 2;
    Play("150");
    EXPECT_EQ(FirstShown("5 SECONDS LEFT!"), 1);     // 2 s are less than five from the start
    EXPECT_EQ(TimesShown("5 SECONDS LEFT!"), 1);
    EXPECT_EQ(FirstShown("TIME UP!"), 102);
    EXPECT_EQ(TimesPlayed(SoundCountdown, SoundCountdown), 1);
    // At frame 101 exactly 2 s have passed, which is not yet over the limit.
    EXPECT_EQ(FirstFrame([](const Snapshot& s) { return s.death != 0; }), 102);
    EXPECT_EQ(frames[100].elapsed, 2.0);
    EXPECT_EQ(TimesPlayed(SoundLose, SoundLose), 1);
}

TEST_F(PlayLoop, TheFiveSecondWarningComesOnceWhenFiveSecondsAreLeft) {
    RestingBall();
    Finish();
    level.timeLimit = 10;
    Play("300");
    EXPECT_EQ(FirstShown("5 SECONDS LEFT!"), 251);   // (251 - 1) / 50 = 5 s gone
    EXPECT_EQ(TimesShown("5 SECONDS LEFT!"), 1);
    EXPECT_EQ(TimesPlayed(SoundCountdown, SoundCountdown), 1);
    EXPECT_EQ(frames.back().death, 0);
}

TEST_F(PlayLoop, ALevelWithoutATimeLimitNeverWarnsOrTimesOut) {
    RestingBall();
    Finish();
    level.timeLimit = 0;
    Play("500");
    EXPECT_EQ(TimesShown("5 SECONDS LEFT!"), 0);
    EXPECT_EQ(TimesShown("TIME UP!"), 0);
    EXPECT_EQ(TimesPlayed(SoundCountdown, SoundCountdown), 0);
    EXPECT_EQ(FirstFrame([](const Snapshot& s) { return s.death != 0; }), 0);
}

struct ExtraTimeCase {
    const char* name;
    double limitBefore, limitAfter;
    bool clockRestarts;
};

void PrintTo(const ExtraTimeCase& c, std::ostream* out) { *out << c.name; }

class ExtraTime : public PlayTest, public ::testing::WithParamInterface<ExtraTimeCase> {};

TEST_P(ExtraTime, F9AddsAMinuteUpToTheClocksLimitAndRestartsTheClock) {
    const ExtraTimeCase& c = GetParam();
    RestingBall();
    Finish();
    level.timeLimit = c.limitBefore;
    Play("60\n1 scrolllock\n1\n1 f9\n5");
    EXPECT_EQ(frames[61].timeLimit, c.limitBefore);
    EXPECT_EQ(frames[62].timeLimit, c.limitAfter);      // frame 63 pressed F9
    EXPECT_EQ(ShownIn(61), std::vector<std::string>{"CHEATS ON: F8 TO F12"});
    EXPECT_EQ(ShownIn(63), std::vector<std::string>{"CHEAT: EXTRA TIME"});
    if (c.clockRestarts) {
        EXPECT_NEAR(frames[63].elapsed, 0.02, 1e-9);
    } else {
        EXPECT_NEAR(frames[63].elapsed, 1.26, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, ExtraTime,
                         ::testing::Values(ExtraTimeCase{"nearTheTop", 5900, 5940, true},
                                           ExtraTimeCase{"atTheTop", 5940, 5940, true},
                                           ExtraTimeCase{"ordinary", 100, 160, true},
                                           ExtraTimeCase{"noLimit", 0, 0, false}));

TEST_F(PlayLoop, HoldingSpaceDropsOneBombOnceTheFirstSecondIsOver) {
    RestingBall();
    Finish();
    playRun.Difficulty = 1;             // four bombs
    Play("150 space\n5\n5 space\n5");
    EXPECT_EQ(frames[50].bombs, 4);                     // frame 51: exactly 1 s gone, not more
    EXPECT_EQ(frames[51].bombs, 3);
    EXPECT_EQ(frames[51].explosions, 4);                // the four cells beside the ball
    EXPECT_EQ(frames[149].bombs, 3);
    EXPECT_EQ(frames.back().bombs, 2);                  // released and pressed again
}

TEST_F(PlayLoop, TabTogglesTheDisplayOnlyWhenPressedAfterTheFirstSecond) {
    RestingBall();
    Finish();
    Play("10 tab\n50\n3 tab\n3\n3 tab\n3");
    EXPECT_EQ(frames[59].hud, -1);          // pressed in the first second: nothing
    EXPECT_EQ(frames[61].hud, 0);
    EXPECT_EQ(frames[63].hud, 0);           // held: once
    EXPECT_EQ(frames[67].hud, -1);
    playRun.hudVisible = -1;
    Play("80 tab");
    // Its latch is set from the start, so a Tab held across the first second does nothing.
    for (const Snapshot& s : frames) EXPECT_EQ(s.hud, -1) << s.frame;
}

TEST_F(PlayLoop, CheatsNeedScrollLockAndGoOffTogether) {
    RestingBall();
    Finish();
    Play("1 f10\n1\n1 scrolllock\n1\n1 f10\n1\n1 f12\n1\n1 f11\n1\n1 f8\n1\n1 scrolllock\n1 f10\n3");
    EXPECT_EQ(frames[0].god, 0);            // F10 without cheats
    EXPECT_EQ(frames[2].cheats, -1);
    EXPECT_EQ(frames[4].god, -1);
    EXPECT_EQ(frames[6].show, -1);
    EXPECT_EQ(frames[8].zoom, -1);
    EXPECT_EQ(frames[9].targetZoom, 0.5);   // autozoom zooms out from the next frame on
    EXPECT_EQ(frames[10].bombs, 1);
    EXPECT_EQ(frames[12].cheats, 0);
    EXPECT_EQ(frames[12].god, 0);
    EXPECT_EQ(frames[12].show, 0);
    EXPECT_EQ(frames[12].zoom, 0);
    EXPECT_EQ(frames[13].god, 0);           // F10 right after: cheats are off
    EXPECT_EQ(frames[13].targetZoom, 1.0);
    const char* const messages[][2] = {{"3", "CHEATS ON: F8 TO F12"}, {"5", "CHEAT: GOD MODE ON"},
                                       {"7", "CHEAT: SHOW ALL ON"},  {"9", "CHEAT: AUTOZOOM ON"},
                                       {"11", "CHEAT: EXTRA BOMB"},  {"13", "CHEATS OFF"}};
    for (const auto& [frame, text] : messages) EXPECT_EQ(ShownIn(std::stoll(frame)), std::vector<std::string>{text});
    EXPECT_EQ(ShownIn(14), std::vector<std::string>{});
}

TEST_F(PlayLoop, CheatsStayOnForTheNextLevel) {
    RestingBall();
    Finish();
    Play("1 scrolllock\n1\n1 f10\n1 esc");
    EXPECT_EQ(playRun.godMode, -1);
    Hazard(TexTrap, 0, 384);
    Finish();
    Play("20");
    EXPECT_EQ(frames.back().death, 0);
}

struct DifficultyCase {
    std::int32_t difficulty;
    double limit;
    std::int32_t bombs;
    double zoom;
};

void PrintTo(const DifficultyCase& c, std::ostream* out) { *out << "difficulty" << c.difficulty; }

class DifficultyTable : public PlayTest, public ::testing::WithParamInterface<DifficultyCase> {};

TEST_P(DifficultyTable, DifficultyScalesTheTimeAndGivesBombs) {
    const DifficultyCase& c = GetParam();
    RestingBall();
    Finish();
    level.timeLimit = 60;
    playRun.Difficulty = c.difficulty;
    Play("3");
    EXPECT_EQ(frames.back().timeLimit, c.limit);
    EXPECT_EQ(frames.back().bombs, c.bombs);
    EXPECT_EQ(frames.back().targetZoom, c.zoom);
}

INSTANTIATE_TEST_SUITE_P(Levels, DifficultyTable,
                         ::testing::Values(DifficultyCase{1, 960, 4, 0.5}, DifficultyCase{2, 240, 1, 1.0},
                                           DifficultyCase{3, 120, 0, 1.0}, DifficultyCase{4, 60, 0, 1.0},
                                           DifficultyCase{0, 60, 0, 1.0}));

TEST_F(PlayLoop, MinusOrEnterZoomOutWhileHeld) {
    RestingBall();
    Finish();
    Play("2 minus\n2\n2 enter\n2");
    EXPECT_EQ(frames[1].targetZoom, 0.5);
    EXPECT_EQ(frames[3].targetZoom, 1.0);
    EXPECT_EQ(frames[5].targetZoom, 0.5);
    EXPECT_EQ(frames[7].targetZoom, 1.0);
}

TEST_F(PlayLoop, ALostBallRestartsTheLevelAsItWas) {
    RestingBall();
    Pickup(TexFlag, 128, 384);
    Hazard(TexTrap, 384, 384);
    Hazard(TexExit, 1280, 384);
    Finish();
    // What the board drawing does with explosions that have played once.
    everyFrame = [](std::int64_t) {
        if (level.deathCounter >= 20) level.explosionLayer.Clear();
    };
    Play("30 right\n300");
    const std::int64_t died = FirstFrame([](const Snapshot& s) { return s.death == 1; });
    ASSERT_GT(died, 0);
    const Snapshot& before = frames[static_cast<size_t>(died - 1)];
    EXPECT_EQ(before.flags, 0);
    EXPECT_EQ(before.score, 100);
    EXPECT_EQ(before.pickups, 0);
    // Fifty frames of the death sequence once the explosions are over.
    const Snapshot& restarted = frames[static_cast<size_t>(died + 50 - 1)];
    EXPECT_EQ(restarted.death, 0);
    EXPECT_EQ(restarted.x, 0);
    EXPECT_EQ(restarted.y, 384);
    EXPECT_EQ(restarted.flags, 1);
    EXPECT_EQ(restarted.score, 0);
    EXPECT_EQ(restarted.pickups, 1);
    EXPECT_EQ(restarted.explosions, 0);
    EXPECT_EQ(restarted.texts, 0);
    EXPECT_EQ(frames[static_cast<size_t>(died + 50 - 2)].death, 50);
    // The clock starts again with the level.
    EXPECT_LT(frames[static_cast<size_t>(died + 50)].elapsed, 0.1);
    EXPECT_FALSE(result.completed);
    EXPECT_GT(result.frames, died + 50);        // play goes on after the restart
}

TEST_F(PlayLoop, TheDeathSequenceWaitsUpToAHundredFramesForExplosions) {
    RestingBall();
    Hazard(TexTrap, 0, 384);
    Finish();
    // Explosions that keep going off.
    everyFrame = [](std::int64_t) {
        if (level.deathCounter > 0) SpawnExplosion(0, 0);
    };
    Play("200");
    const std::int64_t died = FirstFrame([](const Snapshot& s) { return s.death == 1; });
    ASSERT_EQ(died, 2);
    EXPECT_EQ(frames[static_cast<size_t>(died + 99 - 1)].death, 100);
    EXPECT_EQ(frames[static_cast<size_t>(died + 100 - 1)].death, 0);
}

TEST_F(PlayLoop, ABonusLevelEndsAtItsFirstLostBall) {
    RestingBall();
    Hazard(TexTrap, 0, 384);
    Finish();
    level.background.texture = TexBonusSky;
    everyFrame = [](std::int64_t) {
        if (level.deathCounter >= 20) level.explosionLayer.Clear();
    };
    EXPECT_FALSE(Play("1000"));
    const std::int64_t died = FirstFrame([](const Snapshot& s) { return s.death == 1; });
    EXPECT_EQ(died, 2);
    EXPECT_EQ(result.frames, died + 50);
    EXPECT_EQ(frames.back().death, 0);          // the last iteration shows the restored level
}

TEST_F(PlayLoop, TheDeathSequenceSetsOffExplosionsAndZoomsIn) {
    RestingBall();
    Hazard(TexTrap, 0, 384);
    Finish();
    Play("30");
    const Snapshot& lost = frames[1];
    ASSERT_EQ(lost.death, 1);
    EXPECT_EQ(frames[2].death, 2);
    EXPECT_EQ(frames[2].explosions, 2);
    EXPECT_EQ(frames[9].death, 9);
    EXPECT_EQ(frames[10].death, 10);
    for (size_t i = 10; i < frames.size(); ++i)                 // none from the tenth frame on
        EXPECT_LE(frames[i].explosions, frames[i - 1].explosions) << frames[i].frame;
    EXPECT_DOUBLE_EQ(frames[2].levelZoom, 0.5 * 1.04);
    EXPECT_EQ(TimesPlayed(SoundExplode, SoundExplode), 1);
    EXPECT_EQ(TimesPlayed(67, 76), 1);
}

TEST_F(PlayLoop, TheLevelStartsWithAQuoteAndItsMessage) {
    RestingBall();
    Finish();
    Play("2");
    EXPECT_EQ(ShownIn(1), std::vector<std::string>{"GO!"});
    EXPECT_EQ(attempt.floatingTexts.Count(), 0);        // emptied at the end
    EXPECT_EQ(TimesPlayed(17, 26), 1);
    EXPECT_EQ(attempt.playing, 0);
    EXPECT_TRUE(Headless.pointerShown);
}

TEST_F(PlayLoop, QuotesOffStillDrawTheSameRandomNumbers) {
    RestingBall();
    Platform(512, 0, 0, 10);    // bounces off the floor at random
    Finish();
    BackupLevel();
    Play("80");
    const double platformX = level.platformLayer[1].x, platformY = level.platformLayer[1].y;
    RestoreLevel();
    SeedRandom(1);
    QuotesOn = 0;
    Play("80");
    EXPECT_EQ(level.platformLayer[1].x, platformX);
    EXPECT_EQ(level.platformLayer[1].y, platformY);
    EXPECT_EQ(TimesPlayed(17, 26), 1);          // only the first run spoke
}

TEST_F(PlayLoop, FloatingTextsAreCentredOverTheirCell) {
    AddFloatingText(1000, 500, "ABCD", 255, 255, 255);
    AddFloatingText(CentreOnScreen, 500, "X", 1, 2, 3);
    ASSERT_EQ(attempt.floatingTexts.Count(), 2);
    EXPECT_EQ(attempt.floatingTexts[1].x, 1000 + 64 - 4 * 35 / 2.0);
    EXPECT_EQ(attempt.floatingTexts[1].y, 535);
    EXPECT_EQ(attempt.floatingTexts[2].x, CentreOnScreen);
    EXPECT_EQ(attempt.floatingTexts[2].y, 384);         // half of 768
    EXPECT_EQ(attempt.floatingTexts[2].blue, 3);
    EXPECT_EQ(attempt.floatingTexts[2].age, 0);
}

TEST_F(PlayLoop, TheMKeyTogglesTheMusic) {
    RestingBall();
    Finish();
    MusicOn = -1;
    Play("1 m\n1\n1 m\n1");
    EXPECT_EQ(MusicOn, -1);
    MusicOn = 0;
    Play("1 m\n1");
    EXPECT_EQ(MusicOn, -1);
}

TEST_F(PlayLoop, RestartAfterDeathNeedsARunningPlay) {
    RestingBall();
    Finish();
    EXPECT_FALSE(RestartAfterDeath());
}

}  // namespace
}  // namespace playtest
