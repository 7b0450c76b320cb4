// The shipped test level plays to the end with its recorded solution, and not without it.
#include <gtest/gtest.h>

#include <fstream>

#include "base/message.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/replay.h"
#include "test_support.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"

namespace {
ReplayResult PlayShipped(const std::string& script) {
    UseHeadless();
    SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
    LoadTexturePackNames();
    TakeCatalogueDefaults();
    MessageState = 0;
    EXPECT_TRUE(LoadLevel(DataFolder() + "testlevel.kbx")) << "no testlevel.kbx in " << KOLBRIX_GAME_DIR;
    EXPECT_EQ(MessageState, 0) << DialogLine2 << " " << DialogLine3;
    SeedRandom(1);
    playRun.Difficulty = 0;
    List<InputSegment> segments;
    std::string error;
    EXPECT_TRUE(ParseInputScript(script, segments, error)) << error;
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    ReplayOptions options;
    options.maxFrames = 3000;
    ReplayResult result = RunReplay(segments, options, device);
    SetProgramFolder("");
    return result;
}
}  // namespace

TEST(ShippedLevel, TheRecordedSolutionCompletesTheTestLevel) {
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/assets/levels/testlevel.keys");
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(script.empty());
    ReplayResult solved = PlayShipped(script);
    EXPECT_TRUE(solved.completed);
    EXPECT_GT(score, 0);
    ReplayResult idle = PlayShipped("");
    EXPECT_FALSE(idle.completed);
}
