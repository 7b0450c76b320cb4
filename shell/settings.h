// "settings.dat": the player's choices kept between runs (the values themselves: base/settings.h).
#pragma once

#include <string>

#include "base/settings.h"

void LoadSettings();
void SaveSettings();
std::string SettingsPath();
