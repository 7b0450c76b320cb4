// Sound effects, quotes and music on the headless audio back end, which records every call.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/headless_audio.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "tests/test_support.h"

namespace {

std::vector<AudioEvent> EventsOf(AudioEventKind kind) {
    std::vector<AudioEvent> found;
    for (const AudioEvent& event : HeadlessAudioEvents())
        if (event.kind == kind) found.push_back(event);
    return found;
}

// Lets time pass the way the game's clock does, as a sum of small frame times.
void Wait(double seconds) {
    for (int i = 0; i < static_cast<int>(seconds / 0.01 + 0.5); ++i) Headless.clock += 0.01;
}

// A program folder with every sound file (the headless device only needs them to exist) and three tracks
// written out of name order.
struct SoundTest : ::testing::Test {
    TempProgramFolder folder;

    void SetUp() override {
        UseHeadless();
        HeadlessAudioReset();
        for (std::int32_t id = 0; id < SoundCount; ++id) folder.Write(SoundFileName(id, false), "ogg");
        for (std::int32_t id = SoundFlag; id <= SoundLose; ++id) folder.Write(SoundFileName(id, true), "ogg");
        for (const char* track : {"audio/b-play.ogg", "audio/c-play.ogg", "audio/a-menu.ogg"}) folder.Write(track, "ogg");
        NostalgicMode = 0;
        SoundOn = MusicOn = QuotesOn = -1;
    }
    void TearDown() override {
        CloseAudio();
        HeadlessAudioReset();
    }
    std::string Path(std::int32_t id) const { return folder.Folder() + SoundFileName(id, NostalgicMode != 0); }
};

// ---- The bump ---------------------------------------------------------------------------------------------

struct BumpCase {
    const char* name;
    bool firstHorizontal;
    double firstSpeed;
    double gap;               // seconds until the second bump; < 0: no second bump
    bool secondHorizontal;
    double secondSpeed;
    std::vector<int> volumes; // of the bump sounds heard, in order
};

void PrintTo(const BumpCase& c, std::ostream* out) { *out << c.name; }

class BumpTable : public SoundTest, public ::testing::WithParamInterface<BumpCase> {};

void Bump(bool horizontal, double speed) {
    // The ball remembers both components; only the one across the wall decides.
    bumpVelocityX = horizontal ? speed : 100;
    bumpVelocityY = horizontal ? 100 : speed;
    PlayBump(horizontal ? -1 : 0);
}

TEST_P(BumpTable, VolumeAndSpacing) {
    const BumpCase& c = GetParam();
    InitAudio();
    HeadlessAudioClearEvents();
    Bump(c.firstHorizontal, c.firstSpeed);
    if (c.gap >= 0) {
        Wait(c.gap);
        Bump(c.secondHorizontal, c.secondSpeed);
    }
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayChunk);
    std::vector<AudioEvent> volumes = EventsOf(AudioEventKind::ChannelVolume);
    ASSERT_EQ(plays.size(), c.volumes.size());
    ASSERT_EQ(volumes.size(), c.volumes.size());
    for (size_t i = 0; i < plays.size(); ++i) {
        EXPECT_EQ(plays[i].file, Path(SoundBump));
        EXPECT_EQ(volumes[i].channel, plays[i].channel);
        EXPECT_EQ(volumes[i].volume, c.volumes[i]) << "bump " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bumps, BumpTable,
    ::testing::Values(
        BumpCase{"SideAt9IsSilent", true, 9, -1, true, 0, {}},
        BumpCase{"SideAt10PlaysAtVolume0", true, 10, -1, true, 0, {0}},
        BumpCase{"SideAt25", true, -25, -1, true, 0, {48}},
        BumpCase{"SideAt50IsFull", true, 50, -1, true, 0, {128}},
        BumpCase{"SideAt100StaysFull", true, -100, -1, true, 0, {128}},
        BumpCase{"FloorAt29IsSilent", false, 29, -1, false, 0, {}},
        BumpCase{"FloorAt30", false, 30, -1, false, 0, {64}},
        BumpCase{"TwoBumps50msApartPlayOnce", true, 50, 0.05, true, 50, {128}},
        BumpCase{"TwoBumps100msApartPlayTwice", true, 50, 0.1, false, 40, {128, 96}},
        BumpCase{"ASilentVolumeStillCounts", true, 10, 0.05, true, 50, {0}},
        BumpCase{"ASilentFloorKnockDoesNotCount", false, 29, 0.05, false, 30, {64}}),
    [](const ::testing::TestParamInfo<BumpCase>& info) { return std::string(info.param.name); });

TEST_F(SoundTest, BumpNeedsSoundEffectsOn) {
    InitAudio();
    SoundOn = 0;
    Bump(true, 50);
    SoundOn = -1;
    Wait(0.05);
    Bump(true, 50);   // the switched-off bump did not count
    EXPECT_EQ(EventsOf(AudioEventKind::PlayChunk).size(), 1u);
}

// ---- Effects and quotes -----------------------------------------------------------------------------------

TEST_F(SoundTest, ANewQuoteCutsOffTheQuoteStillPlaying) {
    InitAudio();
    HeadlessAudioClearEvents();
    PlaySound(SoundFirstQuote + 10, -1);
    Wait(0.2);
    PlaySound(SoundFirstQuote + 11, -1);
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayChunk);
    ASSERT_EQ(plays.size(), 2u);
    EXPECT_EQ(plays[0].channel, plays[1].channel);
    std::vector<AudioEvent> cuts = EventsOf(AudioEventKind::CutChunk);
    ASSERT_EQ(cuts.size(), 1u);
    EXPECT_EQ(cuts[0].file, Path(SoundFirstQuote + 10));
    EXPECT_EQ(HeadlessAudioChannelFile(plays[1].channel), Path(SoundFirstQuote + 11));
}

TEST_F(SoundTest, EffectsOverlapAndAQuoteNeverCutsOne) {
    InitAudio();
    HeadlessAudioClearEvents();
    // A lost ball: explosion, lose, and a quote in the same frame.
    PlaySound(SoundExplode, 0);
    PlaySound(SoundLose, 0);
    PlaySound(SoundFirstQuote + 60, -1);
    EXPECT_TRUE(EventsOf(AudioEventKind::CutChunk).empty());
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayChunk);
    ASSERT_EQ(plays.size(), 3u);
    EXPECT_EQ(HeadlessAudioChannelFile(plays[0].channel), Path(SoundExplode));
    EXPECT_EQ(HeadlessAudioChannelFile(plays[1].channel), Path(SoundLose));
    EXPECT_EQ(HeadlessAudioChannelFile(plays[2].channel), Path(SoundFirstQuote + 60));
    for (const AudioEvent& volume : EventsOf(AudioEventKind::ChannelVolume)) EXPECT_EQ(volume.volume, 128);

    // Up to 32 effects sound together; one more finds no free channel and is dropped rather than cutting any.
    for (int i = 0; i < 30; ++i) PlaySound(SoundFlag, 0);
    EXPECT_EQ(EventsOf(AudioEventKind::PlayChunk).size(), 33u);
    PlaySound(SoundBomb, 0);
    EXPECT_EQ(EventsOf(AudioEventKind::PlayChunk).size(), 33u);
    EXPECT_TRUE(EventsOf(AudioEventKind::CutChunk).empty());
    EXPECT_EQ(HeadlessAudioChannelFile(plays[2].channel), Path(SoundFirstQuote + 60));
}

TEST_F(SoundTest, AQuoteLoadsWhenFirstPlayedAndTheQuoteChannelKeepsOnlyItsOwn) {
    InitAudio();
    HeadlessAudioClearEvents();
    const auto loadsOf = [&](std::int32_t id) {
        int count = 0;
        for (const AudioEvent& event : EventsOf(AudioEventKind::LoadChunk)) count += event.file == Path(id);
        return count;
    };
    const std::int32_t first = SoundFirstQuote + 3, second = SoundFirstQuote + 40;
    PlaySound(first, -1);
    PlaySound(first, -1);                   // the same quote again: loaded once
    EXPECT_EQ(loadsOf(first), 1);
    PlaySound(second, -1);                  // cuts the first off, which is given back
    EXPECT_EQ(loadsOf(second), 1);
    PlaySound(first, -1);                   // so it is read again
    EXPECT_EQ(loadsOf(first), 2);
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayChunk);
    ASSERT_EQ(plays.size(), 4u);
    EXPECT_EQ(plays[3].file, Path(first));
    EXPECT_EQ(HeadlessAudioChannelFile(plays[3].channel), Path(first));

    // A quote whose file is missing stays silent, and the effects still play.
    std::filesystem::remove(folder.File(SoundFileName(SoundFirstQuote + 70, false)));
    HeadlessAudioClearEvents();
    PlaySound(SoundFirstQuote + 70, -1);
    PlaySound(SoundFlag, 0);
    plays = EventsOf(AudioEventKind::PlayChunk);
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].file, Path(SoundFlag));
    EXPECT_EQ(HeadlessAudioChannelFile(0), Path(first));   // the quote channel still holds what it played
}

TEST_F(SoundTest, NostalgicModeLoadsThe1994EffectsAndAMissingFileStaysSilent) {
    NostalgicMode = -1;
    std::filesystem::remove(folder.File(SoundFileName(SoundWin, true)));
    InitAudio();
    // Opening the device decodes nothing; the frames then decode the effects, the jingle and the two signals one at
    // a time; the quotes wait for their first play.
    EXPECT_TRUE(EventsOf(AudioEventKind::LoadChunk).empty());
    int decoded = 0;
    while (DecodeWaitingSound()) {
        ++decoded;
        EXPECT_LE(EventsOf(AudioEventKind::LoadChunk).size(), static_cast<size_t>(decoded));
    }
    EXPECT_EQ(decoded, 9);      // 1994win.ogg among them, which does not load
    EXPECT_FALSE(DecodeWaitingSound());
    std::vector<std::string> loaded;
    for (const AudioEvent& event : EventsOf(AudioEventKind::LoadChunk)) loaded.push_back(event.file);
    ASSERT_EQ(loaded.size(), 8u);
    EXPECT_EQ(loaded[1], folder.Folder() + "1994flag.ogg");
    EXPECT_EQ(loaded[4], folder.Folder() + "1994lose.ogg");   // 1994win.ogg is missing
    EXPECT_EQ(loaded[6], folder.Folder() + "lock.ogg");
    EXPECT_EQ(loaded[7], folder.Folder() + "countdown.ogg");

    HeadlessAudioClearEvents();
    PlaySound(SoundWin, 0);
    EXPECT_TRUE(HeadlessAudioEvents().empty());
}

TEST_F(SoundTest, WithoutADeviceEverySwitchGoesOffAndNothingPlays) {
    HeadlessAudioSetDeviceAvailable(false);
    InitAudio();
    EXPECT_EQ(audioOpen, 0);
    EXPECT_EQ(SoundOn, 0);
    EXPECT_EQ(MusicOn, 0);
    EXPECT_EQ(QuotesOn, 0);
    // Levels still name their music by the list.
    EXPECT_EQ(MusicList.Count(), 3);

    // Settings saved in a silent run keep the switches off.
    SaveSettings();
    SoundOn = MusicOn = QuotesOn = -1;
    LoadSettings();
    EXPECT_EQ(SoundOn, 0);
    EXPECT_EQ(MusicOn, 0);
    EXPECT_EQ(QuotesOn, 0);

    // The player may switch everything on again; still nothing plays.
    ToggleSound();
    ToggleQuotes();
    ToggleMusic();
    PlaySound(SoundFlag, 0);
    PlaySound(SoundFirstQuote, -1);
    bumpVelocityX = 50;
    PlayBump(-1);
    NextTrack();
    EXPECT_TRUE(EventsOf(AudioEventKind::PlayChunk).empty());
    EXPECT_TRUE(EventsOf(AudioEventKind::PlayMusic).empty());
}

TEST_F(SoundTest, TogglesFlipBetweenOnAndOff) {
    InitAudio();
    SoundOn = 1;   // any non-zero value counts as on
    ToggleSound();
    EXPECT_EQ(SoundOn, 0);
    ToggleSound();
    EXPECT_EQ(SoundOn, -1);
    ToggleQuotes();
    EXPECT_EQ(QuotesOn, 0);
    ToggleQuotes();
    EXPECT_EQ(QuotesOn, -1);
}

// ---- Music ------------------------------------------------------------------------------------------------

TEST_F(SoundTest, MusicListIsSortedByNameAndNeverEmpty) {
    folder.Write("audio/notes.txt", "");
    folder.Write("audio/Beat.OGG", "ogg");
    std::filesystem::create_directories(folder.path / "audio" / "folder.ogg");
    List<std::string> list = ListMusic(folder.Folder());
    std::vector<std::string> names(list.begin(), list.end());
    EXPECT_EQ(names, (std::vector<std::string>{"audio/a-menu.ogg", "audio/b-play.ogg", "audio/Beat.OGG",
                                               "audio/c-play.ogg"}));

    std::filesystem::create_directories(folder.path / "silent" / "audio");
    List<std::string> none = ListMusic(folder.Folder() + "silent/");
    ASSERT_EQ(none.Count(), 1);
    EXPECT_EQ(none[1], "audio/");
}

struct TrackCase {
    const char* name;
    std::int32_t startIndex;
    bool next;
    std::int32_t musicOn;
    std::int32_t index;           // afterwards
    const char* played;           // track started by the command, "" for none
};

void PrintTo(const TrackCase& c, std::ostream* out) { *out << c.name; }

class TrackTable : public SoundTest, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(TrackTable, StepsWithoutWrapping) {
    const TrackCase& c = GetParam();
    InitAudio();
    MusicOn = c.musicOn;
    musicIndex = c.startIndex;
    if (MusicOn) PlayMusic(MusicList[musicIndex]);
    HeadlessAudioClearEvents();
    c.next ? NextTrack() : PreviousTrack();
    EXPECT_EQ(musicIndex, c.index);
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayMusic);
    if (std::string(c.played).empty()) {
        EXPECT_TRUE(plays.empty());
    } else {
        ASSERT_EQ(plays.size(), 1u);
        EXPECT_EQ(plays[0].file, folder.Folder() + c.played);
        EXPECT_EQ(HeadlessAudioMusicFile(), folder.Folder() + c.played);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tracks, TrackTable,
    ::testing::Values(TrackCase{"NextOnTheLastRestartsIt", 3, true, -1, 3, "audio/c-play.ogg"},
                      TrackCase{"PreviousOnTheFirstRestartsIt", 1, false, -1, 1, "audio/a-menu.ogg"},
                      TrackCase{"Next", 1, true, -1, 2, "audio/b-play.ogg"},
                      TrackCase{"Previous", 3, false, -1, 2, "audio/b-play.ogg"},
                      TrackCase{"WithMusicOffOnlyTheIndexMoves", 2, true, 0, 3, ""}),
    [](const ::testing::TestParamInfo<TrackCase>& info) { return std::string(info.param.name); });

TEST_F(SoundTest, AFinishedTrackRestartsOnTheProgramThread) {
    InitAudio();
    musicIndex = 2;
    PlayMusic(MusicList[musicIndex]);
    HeadlessAudioClearEvents();

    HeadlessAudioFinishMusic();   // the mixer's thread reports the end
    // The notification itself touched nothing: the only record is the end of the track.
    ASSERT_EQ(HeadlessAudioEvents().size(), 1u);
    EXPECT_EQ(HeadlessAudioEvents()[0].kind, AudioEventKind::MusicRanOut);
    EXPECT_EQ(HeadlessAudioMusicFile(), "");

    UpdateMusic();
    std::vector<AudioEvent> plays = EventsOf(AudioEventKind::PlayMusic);
    ASSERT_EQ(plays.size(), 1u);
    EXPECT_EQ(plays[0].file, folder.Folder() + "audio/b-play.ogg");
    for (const AudioEvent& event : HeadlessAudioEvents()) EXPECT_EQ(event.thread, std::this_thread::get_id());

    UpdateMusic();   // once only
    EXPECT_EQ(EventsOf(AudioEventKind::PlayMusic).size(), 1u);
}

TEST_F(SoundTest, ATrackStoppedOnPurposeDoesNotComeBack) {
    InitAudio();
    PlayMusic(MusicList[1]);
    PlayMusic(MusicList[2]);   // halting the first raised the finished notification
    HeadlessAudioClearEvents();
    UpdateMusic();
    EXPECT_TRUE(EventsOf(AudioEventKind::PlayMusic).empty());
    EXPECT_EQ(HeadlessAudioMusicFile(), folder.Folder() + "audio/b-play.ogg");

    ToggleMusic();
    EXPECT_EQ(MusicOn, 0);
    EXPECT_EQ(HeadlessAudioMusicFile(), "");
    UpdateMusic();
    EXPECT_TRUE(EventsOf(AudioEventKind::PlayMusic).empty());

    // A track that ran out while the music was being switched off is not restarted either.
    ToggleMusic();
    EXPECT_EQ(HeadlessAudioMusicFile(), folder.Folder() + "audio/a-menu.ogg");
    HeadlessAudioFinishMusic();
    MusicOn = 0;
    UpdateMusic();
    EXPECT_EQ(HeadlessAudioMusicFile(), "");
}

}  // namespace
