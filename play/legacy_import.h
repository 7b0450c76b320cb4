// Levels of the old text-screen game: a 16 x 10 screen of character codes whose looks come from colour pairs at
// the head of the file. The import turns one into a level in memory, mostly with the textures of the pack
// "txtpckVarto-Lum" made for these levels, and frames the field with a ring of invisible walls.
//
// File layout (unsigned bytes): name length n, n bytes of name, background colour code, four colour pairs (the
// looks of "v" cells, "l" cells, code-176 and code-178 cells), 160 cell codes (10 rows of 16, top row first), the
// lift (flag, ignored byte, x1, x2, y), the ball start (x1, x2, y), the time limit in seconds. Old coordinates
// count 20 per cell from the field's top-left; an old x is x1 + x2.
#pragma once

#include <cstdint>
#include <string>

// The texture pack made for imported levels.
inline constexpr const char* LegacyPack = "txtpckVarto-Lum";

// Replaces the level in memory, which the loader has just emptied, by the level of the file at `path`, built aside
// on a copy of the empty level and put in place whole: title, background, ball, time limit, the layers the field
// names, the wall ring, the lift, levelBounds and levelZoom. A short file is not an error: whatever is missing keeps
// what the empty level gave it. Returns -1.
std::int32_t ImportLegacyLevel(const std::string& path);
// The same from the file's bytes.
std::int32_t ImportLegacyBytes(const std::string& bytes);

// The texture a colour pair gives (pack and name), or false for a pair that has no look.
bool LegacyPairTexture(int first, int second, std::string& pack, std::string& name);
// The background texture name (of LegacyPack, or "sky" of "txtpckMain") for an old background colour code.
void LegacyBackgroundTexture(int code, std::string& pack, std::string& name);
