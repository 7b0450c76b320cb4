// Language files: numbered text lines, one file per language beside the program.
#pragma once

#include <string>

#include "base/language.h"

void ListLanguageFiles();
void LoadLanguage(const std::string& fileName);
