// What the commands that play a level headless share (`play`, `solve`, `fairness`): the same set-up before the
// level, so that a key script found by one replays the same in another.
#pragma once

#include <cstdint>
#include <string>

#include "shell/replay.h"

// A fresh headless back end whose frames last 1/fps, the settings, language and texture names of the data folder
// (or the program's own), a 1024 x 768 display, the run's state as a new game has it (sound on, no cheats, no
// score) with the random numbers seeded and the difficulty set, then the level. False when it does not load.
bool SetUpHeadlessPlay(const std::string& level, const std::string& dataFolder, std::uint32_t seed,
                       std::int32_t difficulty, double fps);
// Keys and the clock of the headless back end, for RunReplay.
ReplayDevice HeadlessReplayDevice();
// Real seconds since the first call: the solver's budget and its own time (the headless clock is the game's).
double RealSeconds();

// What the commands that search a level read alike: the level, --data DIR, --seed N and --difficulty D (0 to 4).
struct LevelArguments {
    std::string level, dataFolder;
    std::uint32_t seed = 1;
    std::int32_t difficulty = 0;
    int levels = 0;                     // level names given
};
// Reads argv[i] (and its value) when it is one of those: 1 when it was (i moved past the value), 0 when it is
// another argument, -1 for a wrong value.
int ReadLevelArgument(int argc, char** argv, int& i, LevelArguments& args);
