// The rules only raise events; the frame of play makes them heard and seen.
#include "gfx/play_frame.h"
#include "play/events.h"
#include "tests/play/play_fixture.h"

namespace playtest {
namespace {

using PlayFrame = PlayTest;

int ChunksPlayed() {
    int n = 0;
    for (const AudioEvent& event : HeadlessAudioEvents()) n += event.kind == AudioEventKind::PlayChunk;
    return n;
}

TEST_F(PlayFrame, ARuleRaisesSoundsThatOnlyTheFramePlays) {
    PlayEffect(SoundFlag);
    PlayQuote(7, 7);
    ASSERT_EQ(playEvents.Count(), 2);
    EXPECT_EQ(ChunksPlayed(), 0);
    EXPECT_EQ(playEvents[2].quoteChannel, -1);

    ConsumePlayEvents();
    EXPECT_EQ(ChunksPlayed(), 2);
    EXPECT_TRUE(playEvents.Empty());
    ConsumePlayEvents();                        // each event is heard once
    EXPECT_EQ(ChunksPlayed(), 2);
}

TEST_F(PlayFrame, TheSwitchesDecideWhenTheRuleRaisesTheSound) {
    SoundOn = 0;
    PlayEffect(SoundFlag);
    QuotesOn = 0;
    PlayQuote(7, 16);
    EXPECT_TRUE(playEvents.Empty());
}

TEST_F(PlayFrame, ATextIsPlacedForTheScreenInUseWhenTheFrameTakesIt) {
    ActiveHeight = 768;
    AddMessage(CentreOnScreen, 0, "CENTRED");
    AddMessage(1000, 500, "ABCD");
    EXPECT_TRUE(attempt.floatingTexts.Empty());
    ActiveHeight = 600;
    ConsumePlayEvents();
    ASSERT_EQ(attempt.floatingTexts.Count(), 2);
    EXPECT_EQ(attempt.floatingTexts[1].text, "CENTRED");
    EXPECT_EQ(attempt.floatingTexts[1].y, 300);
    EXPECT_EQ(attempt.floatingTexts[2].x, 1000 + 64 - 4 * 35 / 2.0);
    EXPECT_EQ(attempt.floatingTexts[2].y, 535);
}

TEST_F(PlayFrame, PuttingTheLevelBackDropsItsTextsButNotItsSounds) {
    Floor(0, 1280, 512);
    Ball(0, 384);
    Finish();
    BackupLevel();
    AddMessage(CentreOnScreen, 0, "BALL LOST!");
    PlayEffect(SoundLose);
    RestoreLevel();
    ConsumePlayEvents();
    EXPECT_TRUE(attempt.floatingTexts.Empty());
    EXPECT_EQ(TimesPlayed(SoundLose, SoundLose), 1);
}

TEST_F(PlayFrame, ABumpIsHeardWithTheSpeedItHadBeforeTheWallTurnedIt) {
    lastBumpTime = -1e9;
    EmitBump(-1, 50, 0);
    ConsumePlayEvents();
    int volume = -1;
    for (const AudioEvent& event : HeadlessAudioEvents())
        if (event.kind == AudioEventKind::ChannelVolume && event.file.find("bump.ogg") != std::string::npos)
            volume = event.volume;
    EXPECT_EQ(volume, 128);                     // five times the side threshold: full
}

}  // namespace
}  // namespace playtest
