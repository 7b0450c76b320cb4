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
