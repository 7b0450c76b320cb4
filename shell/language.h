// Language files: numbered text lines, one file per language beside the program.
#pragma once

#include <array>
#include <string>

#include "shell/list.h"

constexpr int LanguageLineCount = 249;

extern List<std::string> LanguageList;                               // "*.str" names in the program folder
extern std::array<std::string, LanguageLineCount + 1> LanguageText;   // [1..249]; [0] unused

void ListLanguageFiles();
void LoadLanguage(const std::string& fileName);
