// The level codec on its own: bytes in, a level value out and back, with nothing else in the game touched.
#include "gfx/board.h"
#include "tests/play/level_fixture.h"

namespace {

// A version-8 file naming every kind of record, with `wallName` for the one wall of the ground floor.
std::string FileBytes(const std::string& wallName, const std::string& music, const std::string& title) {
    LevelBytes file(8);
    file.Record("txtpckMain", "sky", 0, 0, 0, 0);
    file.Count(0).Count(1);                                             // ground, hazard
    file.Record("txtpckMain", "spike", 0, 0, 384, 256);
    file.Count(1);                                                      // arrow
    file.Record("txtpckMain", "arrowright", 2, 0, 256, 128);
    file.Count(0).Count(0).Count(1);                                    // path, platform, pickup
    file.Record("txtpckMain", "flag", 0, 0, 512, 128);
    file.Count(3);                                                      // walls: a floor and an elevator
    file.Record("txtpckMain", wallName, 0, 0, 0, 256);
    file.Record("txtpckMain", "brick", 0, 0, 128, 256);
    file.Record("txtpckMain", "Lift_Elevator", 0, -4, 256, 256);
    file.Count(0);                                                      // crack
    file.Record("txtpckMain", "ball", 0, 0, 128, 128);
    file.Count(0).Count(0);                                             // explosion, spare
    file.Str(music).F64(0.75).F64(0).F64(0).I32(2).F64(0).I32(0).F64(0).F64(90).Str(title);
    return file.bytes;
}

class LevelCodec : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        WriteEmptyLevel();
        MusicList.Add("audio/a.ogg");
        MusicList.Add("audio/b.ogg");
        ASSERT_TRUE(LoadLevel(data->File("emptylevel.kbx")));
        ClearMessage();
    }
};

TEST_F(LevelCodec, EncodingADecodedFileGivesItsBytesBack) {
    struct Case {
        const char* music;
        const char* title;
    };
    const Case cases[] = {{"", ""}, {"audio/b.ogg", "Two floors"}, {"audio/not-in-the-list.ogg", "\xE4\xF6\xFC"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        const std::string bytes = FileBytes("brick", c.music, c.title);
        LevelData decoded;
        ASSERT_TRUE(DecodeLevel(bytes, decoded));
        EXPECT_EQ(decoded.version, 8);
        EXPECT_EQ(decoded.musicTrack, c.music);
        EXPECT_EQ(decoded.level.levelTitle, c.title);
        EXPECT_EQ(decoded.level.wallLayer.Count(), 3);
        EXPECT_EQ(decoded.level.timeLimit, 90);
        EXPECT_EQ(EncodeLevel(decoded), bytes);
    }
}

TEST_F(LevelCodec, DecodingTouchesNeitherTheLevelNorMusicCameraOrMessages) {
    const std::string before = EncodeLevel();
    const std::int32_t track = musicIndex;
    view.cameraX = 1234;
    view.cameraY = -567;

    LevelData decoded;
    ASSERT_TRUE(DecodeLevel(FileBytes("no-such-wall", "audio/a.ogg", "Elsewhere"), decoded));

    EXPECT_EQ(EncodeLevel(), before);
    EXPECT_EQ(musicIndex, track);
    EXPECT_EQ(view.cameraX, 1234);
    EXPECT_EQ(view.cameraY, -567);
    EXPECT_EQ(MessageState, 0);
    // The texture the catalogue does not hold is listed for whoever installs the level to report.
    ASSERT_EQ(decoded.missing.Count(), 1);
    EXPECT_EQ(decoded.missing[1].pack, "txtpckMain");
    EXPECT_EQ(decoded.missing[1].name, "no-such-wall");
    EXPECT_EQ(decoded.level.wallLayer[1].texture, 0);
}

TEST_F(LevelCodec, ADamagedFileIsRefusedWithTheLevelInMemoryUntouched) {
    const std::string bytes = FileBytes("brick", "audio/a.ogg", "Cut");
    const std::string before = EncodeLevel();
    // Cut inside the header, a record, a layer count, the music name and the last field.
    for (size_t length : {size_t{3}, size_t{20}, size_t{60}, bytes.size() - 60, bytes.size() - 1}) {
        SCOPED_TRACE(length);
        LevelData decoded;
        EXPECT_FALSE(DecodeLevel(bytes.substr(0, length), decoded));
        EXPECT_EQ(EncodeLevel(), before);
    }
    // A layer count far beyond what the file could hold is refused before anything is allocated for it.
    LevelBytes huge(8);
    huge.Record("txtpckMain", "sky", 0, 0, 0, 0).Count(0x7FFFFFFF);
    LevelData decoded;
    EXPECT_FALSE(DecodeLevel(huge.bytes, decoded));
    EXPECT_EQ(EncodeLevel(), before);
}

TEST_F(LevelCodec, InstallingPutsTheDecodedLevelInPlaceWithItsElevatorsAndTheShadowsTexture) {
    LevelData decoded;
    ASSERT_TRUE(DecodeLevel(FileBytes("brick", "", "Installed"), decoded));
    const double shadowTexture = level.ballShadow.texture;
    const std::string bytes = EncodeLevel(decoded);
    LevelData was = TakeLevel();
    was.musicTrack = "";
    const std::string before = EncodeLevel(was);
    InstallLevel(decoded);
    EXPECT_EQ(level.levelTitle, "Installed");
    EXPECT_EQ(level.wallLayer.Count(), 3);
    ASSERT_EQ(level.elevatorIndex.Count(), 1);
    EXPECT_EQ(level.elevatorIndex[1], 3);
    EXPECT_EQ(level.ballShadow.texture, shadowTexture);
    EXPECT_EQ(level.levelBounds.minX, 0);
    EXPECT_EQ(level.levelBounds.maxX, 512);
    // What is installed encodes to the same bytes again, and the data now holds the level that was there.
    LevelData taken = TakeLevel();
    taken.musicTrack = "";
    EXPECT_EQ(EncodeLevel(taken), bytes);
    decoded.musicTrack = "";
    EXPECT_EQ(EncodeLevel(decoded), before);
}

}  // namespace
