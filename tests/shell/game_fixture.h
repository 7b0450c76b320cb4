// A program folder as the game finds it on its first start, for runs of the whole program through RunGame.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "play/level_file.h"
#include "shell/game_script.h"
#include "tests/test_support.h"

// A program folder as the game finds it on its first start, with one pack whose only level is the shipped test
// level; the generated font, images and main texture pack are linked in from the built game.
struct FirstStartFolder {
    TempProgramFolder folder;
    FirstStartFolder() {
        UseHeadless();
        const std::filesystem::path game = KOLBRIX_GAME_DIR;
        for (const char* name : {"english.str", "standard.tga", "standard.dat", "txtpckMain", "oslogo.png",
                                 "opening.png", "endgame.png", "editgray.png", "editmenu.png", "editinput.png",
                                 "editdial.png", "editdial1.png", "editwait.png", "editselect.png", "notex.png",
                                 "menubackground.kbx", "emptylevel.kbx"})
            std::filesystem::create_symlink(game / name, folder.path / name);
        std::filesystem::create_directories(folder.path / "lvlpckTest");
        std::filesystem::copy_file(game / "testlevel.kbx", folder.path / "lvlpckTest" / "001.kbx");
    }
    int Run(const std::string& script, std::int64_t maxFrames, std::vector<std::string>& trace) {
        GameOptions options;
        options.dataFolder = folder.Folder();
        options.maxFrames = maxFrames;
        std::string error;
        EXPECT_TRUE(ParseGameScript(script, options.script, error)) << error;
        return RunGame(options, [&](const std::string& line) { trace.push_back(line); });
    }
};

// The walls of a saved level file, sorted by position; none when the file does not decode.
inline std::vector<std::pair<double, double>> WallsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LevelData data;
    std::vector<std::pair<double, double>> walls;
    if (!DecodeLevel(bytes, data)) return walls;
    for (const LevelObject& wall : data.level.wallLayer) walls.emplace_back(wall.x, wall.y);
    std::sort(walls.begin(), walls.end());
    return walls;
}
