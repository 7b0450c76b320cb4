// The board: the level as the screen shows it. The camera and zoom map world units to pixels, every texture
// animates, and the layers, the ball and the effects are drawn in a fixed order and depth; in play the heads-up
// display follows (gfx/hud.h).
//
// Drawing reads the level and the tile catalogue and writes only animation frames, the camera and the zoom, and
// removes explosions that have played once. Everything is drawn through the drawing primitives (gfx/draw.h), so the
// headless back end records the full draw list of a frame.
//
// On big levels drawing stays proportional to what is on screen: the static layers are sorted into a grid, so only
// the objects near the screen are visited. Objects that still have to be visited wherever they are (animated
// textures, explosions, elevators) are kept in a list of their own, and the layers that move as a whole (platforms,
// explosions, flying objects) are walked in full.
#pragma once

#include <cstdint>

#include "gfx/draw.h"
#include "gfx/view.h"
#include "play/level.h"
#include "tiles/animation.h"


// World units of one cell, and of an explosion's square.
constexpr double CellUnits = 128;
constexpr double ExplosionUnits = 512;


// ---- What is drawn, in order -------------------------------------------------------------------------------------
enum class BoardPart : std::int32_t {
    Background, Ground, Hazard, Platforms, Flying, Walls, Cracks, Pickups, Ball, Arrows,
    Explosions,     // play only
    Hud,            // play only
    Cursor,         // editor only
    PathMarkers,    // editor only
};
enum class BoardVariant : std::int32_t { Play, Menu, Editor };

struct BoardStep {
    BoardPart part;
    std::int32_t z;
    DepthFunc depth;                    // the depth test the part is drawn with
};
// The steps of the variant, in drawing order. The ball's z and depth are those of its normal size; a shrunk ball is
// drawn at z 1 with an equal-depth test instead. The heads-up display chooses its own depths (z 11 to 16).
int BoardSteps(BoardVariant variant, const BoardStep*& steps);
// Play while neither the editor nor the menu is up; the editor wins over the menu.
BoardVariant CurrentBoardVariant();

// ---- Per frame ---------------------------------------------------------------------------------------------------
// The board half of the per-frame renderer: zoom and scale, the shared animation of tiling textures, the camera, then
// the board of the current variant (in play the explosions and the heads-up display too, in the editor the cursor
// and the path markers). The menu screen and the editor overlay are drawn after it by their own modules.
void DrawBoardFrame();

// The steps of DrawBoardFrame, for tools and tests.
void UpdateZoom();                      // currentZoom eases towards attempt.targetZoom while attempt.playing; sets view.pixelsPerUnit
void AnimateTilingTextures();           // every tiling texture's shared frame advances by frameStep
void UpdateCamera();                    // the focus cell centred, clamped to the level, eased (jumps in the editor)
void DrawBoard(BoardVariant variant);   // every step of the variant with the camera in use

// Draws one layer (by its number) and advances its animations: hidden "Blank" objects are skipped in play, explosions
// that have played once are removed, the switch cell shows its state, objects off the screen are not drawn.
void DrawLayer(std::int32_t layer, double step, std::int32_t cameraX, std::int32_t cameraY, std::int32_t z);
// The same for platforms blown away by a bomb, tinted red: every one a culled 128-unit square, none hidden.
void DrawFlyingObjects(List<LevelObject>& list, double step, std::int32_t cameraX, std::int32_t cameraY,
                       std::int32_t z);
void DrawBackground();
void DrawBall(std::int32_t cameraX, std::int32_t cameraY);
// A ball of the level's ball texture at world position (x, y), `alpha` of 255 opaque, where the board's camera shows
// it: a best run's ghost, drawn over the frame and changing nothing of play.
void DrawGhostBall(double x, double y, std::uint8_t alpha);
// The editor's cursor: one cell centred on the screen.
void DrawEditCursor();

// The screen rectangle of a square of `units` world units whose top-left corner is at (x, y): the right edge of one
// cell falls exactly on the left edge of the next.
// A board position in pixels, rounded as the board rounds it: far inside the 32-bit range whatever a damaged file
// puts in the level, and far off the screen when it is not a number.
std::int32_t Pixels(double value);
struct ScreenRect {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};
ScreenRect WorldRect(double x, double y, double units, std::int32_t cameraX, std::int32_t cameraY);
// The culling test: some part of the rectangle (edges included) is on the screen.
bool OnScreen(const ScreenRect& rect);

// Forgets the grids of the static layers; the next frame sorts the layers in again. Drawing notices changes by
// itself (counts, and the objects it visits); a caller that rewrote a layer wholesale may say so at once.
void ForgetBoardIndex();
// Objects looked at by DrawLayer and DrawFlyingObjects since the run started (for tests and benchmarks).
extern std::int64_t boardObjectsVisited;
