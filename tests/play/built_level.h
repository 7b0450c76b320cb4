// Playing a level that the build put into the program folder, headless, with a key script, as `kolbrix-tool play`
// does: seed 1 before the load (which draws the objects' start frames and the camera's start), 60 frames a second.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/files.h"
#include "base/message.h"
#include "base/settings.h"
#include "gfx/pack_textures.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/level_load.h"
#include "shell/replay.h"
#include "test_support.h"

// Loads a built level as the game would, with the 1994 texture packs when `nostalgic`: true when the file loaded
// and raised no message (a texture that no pack has raises the missing-texture message). The program folder stays
// set; the caller resets it.
inline bool LoadBuiltLevel(const std::string& path, bool nostalgic = false) {
    UseHeadless();
    SetProgramFolder(std::string(KOLBRIX_GAME_DIR) + "/");
    NostalgicMode = nostalgic ? -1 : 0;
    LoadTexturePackNames();
    NostalgicMode = 0;
    TakeCatalogueDefaults();
    MessageState = 0;
    playRun = PlayRun{};
    SeedRandom(1);
    const bool loaded = LoadLevel(path);
    EXPECT_TRUE(loaded) << "no " << path;
    EXPECT_EQ(MessageState, 0) << path << ": " << DialogLine2 << " " << DialogLine3;
    return loaded && MessageState == 0;
}

inline ReplayResult PlayBuiltLevel(const std::string& path, const std::string& script, std::int64_t maxFrames) {
    LoadBuiltLevel(path);
    List<InputSegment> segments;
    std::string error;
    EXPECT_TRUE(ParseInputScript(script, segments, error)) << error;
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    ReplayOptions options;
    options.maxFrames = maxFrames;
    ReplayResult result = RunReplay(segments, options, device);
    SetProgramFolder("");
    return result;
}
