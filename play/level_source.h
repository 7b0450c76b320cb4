// The plain-text source of a level, in which the shipped levels are written and kept under version control.
// `kolbrix-tool build` turns a source into a level file and `kolbrix-tool dump --source` writes one back; the
// format is described in docs/levels.md. Textures are named by pack and name, as in level files, and are looked up
// in the catalogue, so a source builds only where its texture packs are present.
#pragma once

#include <string>

// Current version of the source format (the "kolbrix-level" line).
constexpr int LevelSourceVersion = 1;

// The level in memory as source text, naming `music` as its track and hintLines as its hints. The grid-aligned
// start of each layer becomes character maps with a legend; the rest is listed object by object, so that building
// the text gives back the same layers in the same order.
std::string WriteLevelSource(const std::string& music);

// Replaces the level in memory by the level of `text`. `music` receives the named track ("" for none) and
// hintLines the hints. False with `error` ("line N: ...") at the first mistake; the level is then half built.
bool ReadLevelSource(const std::string& text, std::string& music, std::string& error);
