// The language texts: every text the player reads is a numbered line of the chosen language file. The loader
// (shell/language.h) fills them; every floor reads them.
#pragma once

#include <array>
#include <string>

#include "base/list.h"

constexpr int LanguageLineCount = 302;

// The lines that code names. (Screens that list many lines keep their numbers in their own tables.)
enum LanguageLine : int {
    LineGameTitle = 1,                  // the window title
    LineAllTexturePacks = 2,            // the editor's filter for every texture pack
    LineNoTexture = 3,                  // the catalogue's placeholder entry
    LineOk = 53,                        // the button of a message
    LinePackExists = 54,                // a new pack's name is taken
    LineChooseAnotherName = 55,
    LineSaveFailed = 76,                // the save message
    LineWriteError = 77,
    LineCannotCreate = 78,
    LineCheckFolder = 79,
    LineLoadingProblem = 80,            // the load and missing-texture messages
    LineLevelUnreadable = 81,
    LineHintFileExtension = 84,         // appended to a level path less "kbx"
    LineTextureNotFound = 85,
    LineInPack = 86,
    LineGoodLuck = 91,                  // play starts
    LineTimeUp = 92,
    LineNoBombsLeft = 93,
    LineAllFlagsCollected = 94,
    LineBallLost = 95,
    LineTimePenalty = 96,
    LineMinus = 97,
    LineTimeBonus = 98,
    LineFlagLeft = 99,                  // after the count of flags left
    LineFlagsLeft = 100,
    LineLoading = 228,                  // the opening screen while start-up loads
    LineFiveSecondsLeft = 241,
};

extern List<std::string> LanguageList;                               // "*.str" names in the program folder
extern std::array<std::string, LanguageLineCount + 1> LanguageText;   // [1..LanguageLineCount]; [0] unused

// Fills LanguageText from the bytes of a language file: line n of the file is text n; a missing line is empty.
void ParseLanguageText(const std::string& bytes);
