// What the tool's commands that draw load before their first frame, as start-up does after the display opens.
#pragma once

#include <string>

// Loads the language file the settings name, or the first listed when they name none that is there; returns its name
// ("" when there is no language file).
std::string LoadLanguageOfSettings();
// The language of the settings (or the first listed), the interface font, the fixed images and every texture pack,
// with the catalogue's defaults taken. Frames drawn meanwhile show the opening image, as at start-up.
void LoadToolGameData();
