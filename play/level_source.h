// The plain-text source of a level, in which the shipped levels are written and kept under version control.
// `kolbrix-tool build` turns a source into a level file and `kolbrix-tool dump --source` writes one back; the
// format is described in docs/levels.md. Textures are named by pack and name, as in level files, and are looked up
// in the catalogue, so a source builds only where its texture packs are present.
//
// A source is UTF-8 text; its texts (titles, hints) are kept in the level as the game's Windows-1252 bytes.
//
// Hints come in languages. A language is named by the code of its hint files, the extension that line 84 of its
// language file gives without ".txt" ("en" for "001.en.txt", "de" for "001.de.txt"). `hint "text"` is an English
// hint; `hint de "text"` one of another language. The level in memory holds one language's hints (hintLines, the
// English ones here); the hints of every other language travel beside it as a list of LevelHints.
#pragma once

#include <string>

#include "base/list.h"

// Current version of the source format (the "kolbrix-level" line).
constexpr int LevelSourceVersion = 1;

// The language of a plain `hint` line.
inline const std::string DefaultHintLanguage = "en";

// The hints of one language.
struct LevelHints {
    std::string language;       // the hint file's code: "de" for "NNN.de.txt"
    std::string lines[5];       // [1..4], as in hintLines
};

// The level in memory as source text, naming `music` as its track, hintLines as its English hints and `otherHints`
// as the hints of the other languages (one entry each, none for "en"). The grid-aligned start of each layer becomes character maps with a legend; the rest is listed
// object by object, so that building the text gives back the same layers in the same order.
std::string WriteLevelSource(const std::string& music, const List<LevelHints>& otherHints = {});

// Replaces the level in memory by the level of `text`. `music` receives the named track ("" for none), hintLines
// the English hints and `otherHints` those of every other language, in the order the source first names them.
// False with `error` ("line N: ...") at the first mistake; the level in memory, `music` and `otherHints` are then
// as they were: the level is built aside and put in place whole.
bool ReadLevelSource(const std::string& text, std::string& music, List<LevelHints>& otherHints, std::string& error);

// The path of a language's hint file beside a level file: "pack/001.kbx" and "de" give "pack/001.de.txt".
std::string HintFilePathFor(const std::string& levelPath, const std::string& language);
