// "settings.dat": the player's choices kept between runs (the values themselves: base/settings.h).
#pragma once

#include <string>

#include "base/settings.h"

void LoadSettings();
// False when the file was left alone (it did not read at start-up) or could not be written; a failed write also
// raises a message.
bool SaveSettings();
std::string SettingsPath();
