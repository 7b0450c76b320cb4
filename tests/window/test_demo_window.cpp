// A demo in a real window (the SDL back end's fixed frame time, real pacing) plays exactly as `kolbrix-tool play`
// plays the same script headless: the same frame, level clock and score at the exit. Afterwards the game's clock
// goes on from where the demo left it, so the next frame comes at once. Needs an X display, like every window test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/pack_textures.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/demo.h"
#include "shell/language.h"
#include "shell/menu.h"
#include "shell/settings.h"
#include "sound/sound.h"

namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// The number after "key": in the tool's result line, as written.
std::string Field(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return "";
    const std::size_t start = at + key.size() + 3;
    return json.substr(start, json.find_first_of(",}", start) - start);
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

TEST(WindowDemo, PlaysInAWindowExactlyAsTheToolPlaysHeadless) {
    const fs::path game = KOLBRIX_GAME_DIR;
    const std::string level = (game / "lvlpckClassic" / "001.kbx").string();
    const std::string keysPath = (game / "lvlpckClassic" / "001.keys").string();
    std::ifstream in(keysPath, std::ios::binary);
    const std::string keys((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(keys.empty()) << "the build puts the recorded solution beside the level";
    const std::string tool = Shell("'" + (game / "kolbrix-tool").string() + "' play '" + level + "' --inputs '" +
                                   keysPath + "' 2>/dev/null | tail -n 1");
    ASSERT_EQ(Field(tool, "result"), "\"completed\"") << tool;

    char name[] = "kolbrix-window-test";
    char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Sdl, 1, argv);
    SetProgramFolder(game.string() + "/");
    LoadSettings();
    ListLanguageFiles();
    LoadLanguage("english.str");
    ActiveWidth = 640;
    ActiveHeight = 480;
    ActiveFullscreen = 0;
    ResetDisplayState();
    ASSERT_TRUE(SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0) && PlatformHasGl()) << "no window";
    MessageState = -1;
    DrawFrame();
    BuildFont(UiFont, ProgramFolder() + "standard.tga", ProgramFolder() + "standard.dat");
    LoadFixedImages();
    LoadTexturePacks();
    TakeCatalogueDefaults();
    InitAudio();
    MessageState = 0;
    frameOverlay = nullptr;

    std::int64_t frames = 0;
    bool completed = false;
    menuHooks.demoPlayed = [&](bool reached, std::int64_t played, std::int32_t) {
        completed = reached;
        frames = played;
    };
    DemoSetup demo;
    demo.level = level;
    demo.keys = keys;
    const double before = PlatformClock();
    EXPECT_TRUE(PlayDemo(demo));
    menuHooks = MenuHooks{};
    EXPECT_TRUE(completed);
    EXPECT_EQ(std::to_string(frames), Field(tool, "frames"));
    EXPECT_EQ(std::to_string(score), Field(tool, "score"));
    EXPECT_EQ(Number(attempt.elapsedTime), Field(tool, "elapsed"));

    const double after = PlatformClock();
    ASSERT_GE(after, std::max(before, DemoStartClock) + static_cast<double>(frames) / DemoFramesPerSecond);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 5; ++i) DrawFrame();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "the frames after a demo wait";
    EXPECT_GE(PlatformClock(), after) << "the game's clock ran back";

    CloseAudio();
    SetProgramFolder("");
    PlatformInit(PlatformBackend::Headless, 0, nullptr);    // closes the window
}

}  // namespace
