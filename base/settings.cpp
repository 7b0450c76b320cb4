#include "base/settings.h"

std::int32_t PlayerIndex = 1;
std::string LanguageFile = "english.str";
std::int32_t Fullscreen = 1;
std::int32_t ScreenWidth = 1920, ScreenHeight = 1080;
std::int32_t SoundOn = -1, MusicOn = -1, QuotesOn = -1;
std::int32_t BonusPackUnlocked = 0;
std::int32_t ActiveWidth = 1920, ActiveHeight = 1080, ActiveFullscreen = 1;
std::int32_t FirstRun = 0;

std::int32_t NostalgicMode = 0;
std::int32_t StartupLoading = 0;

void SetDefaultSettings() {
    PlayerIndex = 1;
    LanguageFile = "english.str";
    Fullscreen = 1;
    ScreenWidth = 1920;
    ScreenHeight = 1080;
    SoundOn = MusicOn = QuotesOn = -1;
    BonusPackUnlocked = 0;
}
