// The player's choices kept between runs in "settings.dat" (read and written by shell/settings.h), and the run's
// values derived from them. Every floor reads them.
#pragma once

#include <cstdint>
#include <string>

// Saved in the file.
extern std::int32_t PlayerIndex;
extern std::string LanguageFile;
extern std::int32_t Fullscreen;          // 1 full screen, 0 window
extern std::int32_t ScreenWidth, ScreenHeight;
extern std::int32_t SoundOn, MusicOn, QuotesOn;
extern std::int32_t BonusPackUnlocked;
// Derived at load, not saved.
extern std::int32_t ActiveWidth, ActiveHeight, ActiveFullscreen;
extern std::int32_t FirstRun;

// For the run, chosen at start-up.
extern std::int32_t NostalgicMode;      // -1: 1994 sounds and textures
extern std::int32_t StartupLoading;     // -1 while start-up loads (the opening screen shows the loading line)

// The values of a missing settings file.
void SetDefaultSettings();
