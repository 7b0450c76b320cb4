// The one level in memory: ten layers of placed objects, the background, the ball and its shadow, the level's
// properties and the play state that several parts share. Level files fill it (play/level_file.h), the editor
// edits it, drawing reads it and play moves and changes it.
//
// World units: a cell is 128 x 128, an object's position is the top-left corner of its cell, y grows downwards.
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"

// One placed thing. Every field is a double so that a layer is a plain array of seven numbers per object.
struct LevelObject {
    double texture = 0;     // TextureTable index (a whole number); 0 = the placeholder
    double param1 = 0;      // ball: x velocity; arrow: force code; path marker: direction; platform: x velocity
    double param2 = 0;      // ball: y velocity; elevator: vertical speed; platform: y velocity; flying: fall speed
    double x = 0;           // top-left corner
    double y = 0;
    double frame = 0;       // current animation frame (an ImageTable index, may hold a fraction)
    double timer = 0;       // run-time countdown (elevator pause); never stored
};

using Layer = List<LevelObject>;

// Layers in file order. The editor places a texture in the layer its kind names (tiles/catalogue.h).
enum LayerNumber : std::int32_t {
    GroundLayerNumber = 1,
    HazardLayerNumber = 2,      // exits and traps
    ArrowLayerNumber = 3,
    PathLayerNumber = 4,
    PlatformLayerNumber = 5,
    PickupLayerNumber = 6,
    WallLayerNumber = 7,        // walls and elevators
    CrackLayerNumber = 8,
    ExplosionLayerNumber = 9,
    SpareLayerNumber = 10,
};
constexpr std::int32_t LevelLayerCount = 10;

// Derived when a level is read.
struct LevelBounds {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};

// Messages rising over the board during play (the heads-up display places them, play/effects.h ages them).
struct FloatingText {
    double x = 0, y = 0;
    float red = 255, green = 255, blue = 255;
    double age = 0;
    std::string text;
};

// ---- The level: replaced by every load, edited in place by the editor, mutated by play -----------------------
struct Level {
    Layer groundLayer, hazardLayer, arrowLayer, pathLayer, platformLayer, pickupLayer, wallLayer, crackLayer,
        explosionLayer, spareLayer;
    LevelObject background;             // texture: the level background ("bonusbackground" makes a bonus level)
    LevelObject ball;                   // param1/param2: velocity
    LevelObject ballShadow;             // drawn 16 units right of and below the ball; keeps its texture across loads

    // Stored in the level file.
    double levelZoom = 0.5;             // board scale on screen
    double deathCounter = 0;            // frames since the ball was lost; 0 while it lives
    double winCounter = 0;              // frames since the exit was reached
    std::int32_t bombCount = 0;
    double ballSizeDivisor = 0;         // > 0: the ball is drawn 128 / value units wide
    std::int32_t ballGrowFlag = 0;      // non-zero: the ball is drawn ballGrowth units larger
    double ballGrowth = 0;
    double timeLimit = 600;             // seconds; not above 0 means no limit
    std::string levelTitle;

    // Derived when the level is read.
    LevelBounds levelBounds;            // extent of the non-"blank" layer objects of the file
    std::string hintLines[5];           // [1..4], read from the hint file beside the level
    List<std::int32_t> elevatorIndex;   // wallLayer positions of the elevators, in wall order
};
extern Level level;

// Layer 1..10 of a level by number; any other number gives spareLayer (which nothing reads in play).
Layer& LevelLayer(Level& of, std::int32_t number);
const Layer& LevelLayer(const Level& of, std::int32_t number);
// The same of the level in memory.
Layer& LevelLayer(std::int32_t number);
// "ground", "hazard", ... "spare"; "" outside 1..10.
const char* LayerName(std::int32_t number);

// ---- The restart point of one play: taken once when play starts (BackupLevel), put back after every death ------
struct LevelBackup {
    Layer layers[9];                    // [1..8]
    LevelObject ball, ballShadow;
    std::int32_t bombCount = 0;
    double levelZoom = 0.5;
    std::int32_t flagsLeft = 0;
    std::int32_t score = 0;
    double displayedScore = 0;
    std::int32_t switchState = -1;
    std::uint64_t generation = 0;       // a number no other backup of the process has: copies compare it
};
extern LevelBackup levelBackup;

// ---- Shared play and editing state --------------------------------------------------------------------------
extern double focusX, focusY;           // the ball during play, the edit cursor in the editor
extern std::int32_t score;              // cleared before a play by whoever starts it; kept through a restart

// ---- Operations ----------------------------------------------------------------------------------------------
// Replaces whatever stands at exactly (x, y) in the layer by a new object of `texture` on its first frame. The
// caller sets param1 where the layer needs it. Without a level: the level in memory.
void AddObject(Level& into, std::int32_t x, std::int32_t y, std::int32_t layer, std::int32_t texture);
void AddObject(std::int32_t x, std::int32_t y, std::int32_t layer, std::int32_t texture);
// Removes the first object at exactly (x, y); false when there is none.
bool RemoveObjectAt(Level& in, double x, double y, std::int32_t layer);
bool RemoveObjectAt(double x, double y, std::int32_t layer);
bool WallAt(double x, double y);
void CopyLayer(const Layer& source, Layer& target);
// Lists the elevators (walls whose texture name contains "elevator") and stops every other wall.
void BuildElevatorIndex();
// The speed of every elevator while the switch is on: upward, in units a step.
constexpr double ElevatorSpeed = -10;
// Every elevator of the index up at ElevatorSpeed, or stopped.
void SetElevatorSpeeds(bool switchOn);
// Puts the ball at rest at (x, y) with `texture`, and its shadow beside it.
void PlaceBall(std::int32_t x, std::int32_t y, std::int32_t texture);
// The level the game falls back to when not even "emptylevel.kbx" reads: no objects, default properties, the
// ball at rest at (0, 0) with the textures it had.
void MakeBuiltInEmptyLevel();
// A level whose layers widened nothing gets the ball's cell as its extent, so the ball does not count as fallen
// and the camera has somewhere to look.
void SettleLevelBounds();
// After the catalogue is built: the level's records take its default textures (a background when the level has
// none yet, the ball at (0, 0), the shadow).
void TakeCatalogueDefaults();
// The min/max start values before any object widens them, for the live level or any other.
void ResetLevelBounds();
void EmptyLevelBounds(LevelBounds& bounds);
// The properties of a level with nothing set: zoom 0.5, ten-minute limit, no title, hints or counters.
void ResetLevelProperties();
void WidenLevelBounds(LevelBounds& bounds, double x, double y);
