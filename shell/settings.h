// The player's choices kept between runs in "settings.dat".
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

void LoadSettings();
void SaveSettings();
std::string SettingsPath();
