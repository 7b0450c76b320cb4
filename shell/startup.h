// The program's spine: entry, start-up order, the text-mode screens and the splash screen.
#pragma once

#include <cstdint>

#include "base/settings.h"

// The whole program: main() of the game calls this after choosing the back end. Returns the exit code when the
// main menu returns; the fatal screens and Quit() end through PlatformExit.
int KolbrixMain(int argc, char** argv);
void Startup();
// Ends the program: saves the settings, closes audio, frees textures and the font, exit code 0.
[[noreturn]] void Quit();
