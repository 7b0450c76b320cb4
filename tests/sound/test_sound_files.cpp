// Every sound and track the game plays is in the program folder and decodes with the real mixer. The mixer runs on
// the silent "dummy" driver, so this needs no sound hardware.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/audio_backend.h"
#include "sound/sound.h"
#include "tests/test_support.h"

namespace {

const std::string GameFolder = std::string(KOLBRIX_GAME_DIR) + "/";

struct SoundFilesTest : ::testing::Test {
    void SetUp() override {
        UseHeadless();
        SdlAudioUseDriver("dummy");
        ASSERT_TRUE(SdlAudioOpenDevice(44100, 2, 1024));
    }
    void TearDown() override { SdlAudioCloseDevice(); }
};

TEST_F(SoundFilesTest, EverySoundOfTheTableLoads) {
    std::string missing, unreadable;
    for (bool nostalgic : {false, true}) {
        for (std::int32_t id = 0; id < SoundCount; ++id) {
            const std::string name = SoundFileName(id, nostalgic);
            if (nostalgic && name == SoundFileName(id, false)) continue;
            if (!std::filesystem::is_regular_file(GameFolder + name)) {
                missing += " " + name;
                continue;
            }
            const AudioChunk chunk = SdlAudioLoadChunk(GameFolder + name);
            if (chunk == 0) unreadable += " " + name;
            SdlAudioFreeChunk(chunk);
        }
    }
    EXPECT_EQ(missing, "") << "not in " << GameFolder;
    EXPECT_EQ(unreadable, "") << "do not load";
}

TEST_F(SoundFilesTest, EveryTrackOfTheMusicListLoadsAndPlays) {
    List<std::string> tracks = ListMusic(GameFolder);
    ASSERT_GE(tracks.Count(), 1);
    ASSERT_NE(tracks[1], "audio/") << "no music in " << GameFolder << "audio/";
    for (const std::string& track : tracks) {
        SCOPED_TRACE(track);
        const AudioMusic music = SdlAudioLoadMusic(GameFolder + track);
        ASSERT_NE(music, 0);
        EXPECT_TRUE(SdlAudioPlayMusic(music, 0));
        SdlAudioHaltMusic();
        SdlAudioFreeMusic(music);
    }
}

}  // namespace
