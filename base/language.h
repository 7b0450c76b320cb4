// The language texts: every text the player reads is a numbered line of the chosen language file. The loader
// (shell/language.h) fills them; every floor reads them.
#pragma once

#include <array>
#include <string>

#include "base/list.h"

constexpr int LanguageLineCount = 249;

extern List<std::string> LanguageList;                               // "*.str" names in the program folder
extern std::array<std::string, LanguageLineCount + 1> LanguageText;   // [1..249]; [0] unused

// Fills LanguageText from the bytes of a language file: line n of the file is text n; a missing line is empty.
void ParseLanguageText(const std::string& bytes);
