// The tile catalogue: every texture known to the running program, with the kind of cell it makes.
//
// Built once at start-up from the texture packs (tiles/texture_packs.h), read-only afterwards except for each
// entry's shared animation `frame`. Levels name textures by pack and name; FindTexture turns such a pair into an
// index, which objects keep in their `texture` field. Indices are stable for a run only.
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"

// The first four letters of a texture's file name, lower-cased, give its kind; the kind decides where the editor
// puts an object drawn with it. 0: a texture that loads and can be named but is never placed.
enum TextureKind : std::int32_t {
    KindNone = 0,
    KindArrowEast = 1,          // "arre"
    KindArrowNorth = 2,         // "arrn"
    KindArrowSouth = 3,         // "arrs"
    KindArrowWest = 4,          // "arrw"
    KindArrowSwitch = 5,        // "arru": the switch cell
    KindBackground = 6,         // "back"
    KindBall = 7,               // "ball"
    KindBlll = 8,               // "blll"
    KindBallShadow = 9,         // "blsh"
    KindBomb = 10,              // "bomb"
    KindCrack = 11,             // "crck"
    KindExit = 12,              // "exit"
    KindExplosion = 13,         // "expl"
    KindFlag = 14,              // "flag"
    KindFont = 15,              // "font"
    KindGround = 16,            // "grnd"
    KindPlatform = 17,          // "plat"
    KindPathEast = 18,          // "plae"
    KindPathNorth = 19,         // "plan"
    KindPathSouth = 20,         // "plas"
    KindPathWest = 21,          // "plaw"
    KindTrap = 22,              // "trap"
    KindWall = 23,              // "wall"
};
constexpr std::int32_t TextureKindCount = 23;

// Level layers as numbered in level files (ground 1 ... crack 8) for the kinds the editor places in a layer.
constexpr std::int32_t KindLayerNone = 0;

struct TextureEntry {
    std::string pack;                   // texture-pack folder holding it ("txtpckMain"); empty for entry 0
    std::string name;                   // file name less kind, wrap letters, frame number and ".png"
    double firstFrame = 0;              // ImageTable index of frame 0
    double lastFrame = 0;               // firstFrame + frame count - 1
    std::int32_t repeat = 0;            // -1 when the texture tiles (either wrap letter "r")
    double frame = 0;                   // shared animation frame of tiling textures, advanced by drawing
    std::int32_t kind = KindNone;       // TextureKind
};

// For the run: entry 0 is the placeholder for a texture that is not found (drawn with the "notex.png" image);
// entries 1.. are the textures in loading order. Nothing is ever removed. Pack and name of an entry never change
// once it is added (the look-up index relies on it).
extern List<TextureEntry> TextureTable;

// Defaults remembered while the catalogue is built (entry indices; 0 until a texture of that kind is added):
extern std::int32_t DefaultBackgroundTexture;  // first "back": the level background until a level names one
extern std::int32_t DefaultBallTexture;        // last "ball": the ball placed at (0, 0) after loading
extern std::int32_t DefaultShadowTexture;      // last "blsh": the ball shadow of every level
extern std::int32_t DefaultBombTexture;        // last "bomb": heads-up display bomb symbol
extern std::int32_t DefaultExplosionTexture;   // last "expl": explosions
extern std::int32_t DefaultFlagTexture;        // last "flag": heads-up display flag symbol
extern std::int32_t DefaultFontTexture;        // last "font": the big font

// Empties the catalogue down to a fresh placeholder entry 0 and forgets the defaults.
void ResetTextureTable();

// Appends `entry` (its `frame` set to its `firstFrame`), applies the default-texture rules of its kind and
// returns its index. Only the pack loader adds textures.
std::int32_t AddTexture(const TextureEntry& entry);

// The index of the texture `name` of `pack`, ignoring case; failing that, the first texture called `name` in
// any pack (so a level made with one pack plays with another pack's textures of the same names). When neither
// exists: 0, and the missing-texture message is raised (the caller goes on with the placeholder).
std::int32_t FindTexture(const std::string& pack, const std::string& name);
// The same look-up without the message (0 when neither exists), and the message on its own.
std::int32_t LookUpTexture(const std::string& pack, const std::string& name);
void RaiseMissingTexture(const std::string& pack, const std::string& name);

// Read access by index; an index outside 0..TextureCount() gives the placeholder entry 0.
const TextureEntry& Entry(std::int32_t index);
std::int32_t TextureCount();

// Kinds and their names.
std::int32_t TextureKindFromName(const std::string& fileName);    // from the first four letters, any case
std::string TextureKindName(std::int32_t kind);                    // "wall"; "" for kind 0 or unknown
std::string EntryKindName(std::int32_t index);                     // the kind letters of entry `index`
// Where the editor puts an object of this kind: a layer number (1 ground ... 8 crack) or KindLayerNone for the
// single records (background, ball) and the kinds that are never placed.
std::int32_t TextureKindLayer(std::int32_t kind);
// The direction value an arrow or path-marker object stores in its first parameter (n 1, e 2, s 3, w 4, switch 5);
// 0 for every other kind.
std::int32_t TextureKindParam(std::int32_t kind);
