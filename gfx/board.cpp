#include "gfx/board.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gfx/hud.h"
#include "gfx/texture.h"
#include "play/effects.h"
#include "play/play_loop.h"
#include "base/files.h"
#include "base/frame_clock.h"
#include "base/grid.h"
#include "base/settings.h"
#include "tiles/catalogue.h"


std::int64_t boardObjectsVisited = 0;

namespace {

// Pixel values stay far inside the 32-bit range whatever a damaged file puts in the level.
constexpr double PixelLimit = 1e9;

// The view eases only when this much time has gathered since it last did.
constexpr double SmoothInterval = 0.01;
constexpr double ZoomEasing = 32;
constexpr double CameraEasing = 8;
constexpr double FastCameraEasing = 2;          // while the death or victory sequence runs
constexpr double BallHiddenAfter = 10;          // death frames after which the ball is gone

std::int32_t TextureIndex(double texture) {
    if (!(texture >= 0) || texture > 2147483647.0) return 0;
    return static_cast<std::int32_t>(texture);
}

// The image of a frame value: [frame] in the image table; the placeholder for a frame outside it.
std::uint32_t ImageId(double frame) {
    const std::int32_t index = Pixels(frame);
    if (index < 0 || index > ImageTable.Count()) return ImageTable[0].id;
    return ImageTable[index].id;
}

bool InEditor() { return view.EditorMode != 0; }

// Objects whose texture name holds "Blank" mark cells that play keeps out of sight.
bool Hidden(const TextureEntry& entry) { return entry.name.find("Blank") != std::string::npos; }

bool Tiling(const TextureEntry& entry) { return entry.repeat == -1; }

// A texture of one image has nothing to animate: its objects keep their frame and show that image wherever they are,
// so an object's state never depends on whether the camera happened to pass it. Explosions still run their frame,
// which says when they have played.
bool SingleImage(const TextureEntry& entry) {
    return !Tiling(entry) && entry.lastFrame <= entry.firstFrame && entry.kind != KindExplosion;
}

// ---- The draw order ---------------------------------------------------------------------------------------------

const BoardStep PlaySteps[] = {
    {BoardPart::Background, 1, DepthFunc::Less}, {BoardPart::Ground, 2, DepthFunc::Less},
    {BoardPart::Hazard, 3, DepthFunc::Less},     {BoardPart::Platforms, 4, DepthFunc::LessEqual},
    {BoardPart::Flying, 10, DepthFunc::LessEqual}, {BoardPart::Walls, 6, DepthFunc::Less},
    {BoardPart::Cracks, 7, DepthFunc::Less},     {BoardPart::Pickups, 8, DepthFunc::Less},
    {BoardPart::Ball, 9, DepthFunc::Less},       {BoardPart::Arrows, 10, DepthFunc::Less},
    {BoardPart::Explosions, 10, DepthFunc::LessEqual}, {BoardPart::Hud, 11, DepthFunc::LessEqual},
};
const BoardStep EditorSteps[] = {
    {BoardPart::Background, 1, DepthFunc::Less}, {BoardPart::Ground, 2, DepthFunc::Less},
    {BoardPart::Hazard, 3, DepthFunc::Less},     {BoardPart::Platforms, 4, DepthFunc::LessEqual},
    {BoardPart::Flying, 10, DepthFunc::LessEqual}, {BoardPart::Walls, 6, DepthFunc::Less},
    {BoardPart::Cracks, 7, DepthFunc::Less},     {BoardPart::Pickups, 8, DepthFunc::Less},
    {BoardPart::Ball, 9, DepthFunc::Less},       {BoardPart::Arrows, 10, DepthFunc::Less},
    {BoardPart::Cursor, 13, DepthFunc::Less},    {BoardPart::PathMarkers, 10, DepthFunc::Less},
};
// The menu shows its background level without the play-only steps; its own screen goes over it.
constexpr int MenuStepCount = 10;
constexpr int AllStepCount = 12;

// ---- Grids of the static layers ---------------------------------------------------------------------------------
//
// A layer's objects are sorted into square cells of the world once, and each frame only the cells under the screen
// are looked at. What the grid lets drawing skip is only objects off the screen whose image cannot change there, so
// the picture is exactly the one a visit of every object would give:
// - Objects with a shared (tiling) texture or a single image have nothing running off the screen.
// - Objects with an animation of their own keep their frame running off the screen too. Animated objects of one
//   texture whose frames are equal stay equal, since each frame they advance by the same step; so the layer runs one
//   frame per such class and hands it to the class's objects, instead of running every object's animation.
// - Explosions (never culled, removed once played), elevators (they move) and objects far out of the world are
//   visited every frame wherever they are.
//
// The grid remembers each object's texture, position and (animated) frame. A layer whose count changed, or any object
// looked at that no longer matches, has its grid built again; a few remembered objects are compared every frame as
// well, so a change anywhere is noticed within a few frames.

constexpr std::int32_t GridThreshold = 256;     // smaller layers are simply walked in full
constexpr std::int32_t ChecksPerFrame = 32;
constexpr double MinGridCells = 4096;
constexpr double GridCellsPerObject = 4;
constexpr double FarAway = 1e15;                // objects beyond this are visited every frame

enum class Role : std::uint8_t {
    Still,          // nothing changes off the screen: looked at only near it
    Animated,       // in the grid; its frame follows its animation class every frame
    Visited,        // visited every frame wherever it is
};

struct Remembered {
    std::int32_t texture = 0;
    double x = 0, y = 0;
    Role role = Role::Still;
    std::int32_t animation = 0;         // Animated: index into the layer's classes
};

struct AnimationClass {
    std::int32_t texture = 0;
    double frame = 0;                   // the frame every object of the class has
    double before = 0;                  // its frame before this frame's step
};

struct LayerGrid {                      // for one layer; built again whenever the layer changed
    bool built = false;
    std::int32_t count = 0;             // the layer's count when built
    double originX = 0, originY = 0, cellUnits = CellUnits;
    std::int32_t columns = 1, rows = 1;
    std::vector<std::int32_t> cellStart;        // per cell, its first entry in `positions`; one more at the end
    std::vector<std::int32_t> positions;        // still and animated objects, cell by cell, ascending in a cell
    std::vector<std::int32_t> visited;          // positions visited every frame, ascending
    std::vector<std::int32_t> animated;         // positions of the animated objects, ascending
    std::vector<std::int32_t> animatedClass;    // and the class of each
    std::vector<AnimationClass> classes;
    std::vector<Remembered> remembered;         // per position, [0] unused
    std::int32_t nextCheck = 1;
};

LayerGrid grids[LevelLayerCount + 1];
std::vector<std::int32_t> candidates;           // scratch: the positions to visit this frame

bool GriddedLayer(std::int32_t layer) {
    switch (layer) {
        case GroundLayerNumber: case HazardLayerNumber: case ArrowLayerNumber: case PathLayerNumber:
        case PickupLayerNumber: case WallLayerNumber: case CrackLayerNumber:
            return true;
        default:    // platforms move, explosions are never culled, the spare layer is never drawn
            return false;
    }
}

bool ContainsElevator(const std::string& name) {
    return LowerCase(name).find("elevator") != std::string::npos;
}

bool OwnAnimation(const TextureEntry& entry) { return !Tiling(entry) && entry.lastFrame > entry.firstFrame; }

// Whether the catalogue still gives the texture the role it had when the grid was built (for elevators and objects
// far away the texture alone decides).
bool RoleHolds(const TextureEntry& entry, Role role) {
    if (entry.kind == KindExplosion) return role == Role::Visited;
    if (role == Role::Visited) return true;
    return OwnAnimation(entry) == (role == Role::Animated);
}

bool HiddenNow(const TextureEntry& entry) { return playRun.showAll == 0 && !InEditor() && Hidden(entry); }

void BuildGrid(std::int32_t number, LayerGrid& grid) {
    const Layer& layer = LevelLayer(number);
    grid = LayerGrid{};
    grid.built = true;
    grid.count = layer.Count();
    grid.remembered.resize(static_cast<size_t>(grid.count) + 1);

    // Per texture, once per build: visited every frame, animated or still.
    std::vector<signed char> textureRole(static_cast<size_t>(TextureCount()) + 1, -1);
    auto roleOf = [&](std::int32_t texture) {
        if (texture < 0 || texture > TextureCount()) texture = 0;
        signed char& known = textureRole[static_cast<size_t>(texture)];
        if (known < 0) {
            const TextureEntry& entry = Entry(texture);
            const Role role = entry.kind == KindExplosion || ContainsElevator(entry.name) ? Role::Visited
                              : OwnAnimation(entry)                                        ? Role::Animated
                                                                                           : Role::Still;
            known = static_cast<signed char>(role);
        }
        return static_cast<Role>(known);
    };
    std::vector<std::pair<std::pair<std::int32_t, double>, std::int32_t>> classOf;    // (texture, frame) -> class

    double minX = 1.7e308, minY = 1.7e308, maxX = -1.7e308, maxY = -1.7e308;
    std::int32_t gridded = 0;
    for (std::int32_t i = 1; i <= grid.count; ++i) {
        const LevelObject& object = layer[i];
        Remembered& r = grid.remembered[static_cast<size_t>(i)];
        r.texture = TextureIndex(object.texture);
        r.x = object.x;
        r.y = object.y;
        r.role = roleOf(r.texture);
        if (!(std::abs(object.x) < FarAway) || !(std::abs(object.y) < FarAway)) r.role = Role::Visited;
        if (r.role == Role::Animated && !std::isfinite(object.frame)) r.role = Role::Visited;
        if (r.role == Role::Visited) {
            grid.visited.push_back(i);
            continue;
        }
        if (r.role == Role::Animated) {
            const std::pair<std::int32_t, double> key{r.texture, object.frame};
            auto found = std::find_if(classOf.begin(), classOf.end(), [&](const auto& c) { return c.first == key; });
            if (found == classOf.end()) {
                grid.classes.push_back({r.texture, object.frame, object.frame});
                classOf.push_back({key, static_cast<std::int32_t>(grid.classes.size()) - 1});
                found = classOf.end() - 1;
            }
            r.animation = found->second;
            grid.animated.push_back(i);
            grid.animatedClass.push_back(r.animation);
        }
        ++gridded;
        minX = std::min(minX, object.x);
        maxX = std::max(maxX, object.x);
        minY = std::min(minY, object.y);
        maxY = std::max(maxY, object.y);
    }
    if (gridded == 0) return;

    // The smallest power-of-two multiple of a cell that keeps the grid within its budget of cells.
    const GridShape shape =
        FitGrid(minX, maxX, minY, maxY, CellUnits, std::max(MinGridCells, GridCellsPerObject * gridded));
    const double units = shape.cellSize;
    grid.originX = minX;
    grid.originY = minY;
    grid.cellUnits = units;
    grid.columns = shape.columns;
    grid.rows = shape.rows;

    auto cellOf = [&](const LevelObject& object) {
        const auto column = std::clamp(static_cast<std::int32_t>(std::floor((object.x - minX) / units)), 0,
                                       grid.columns - 1);
        const auto row = std::clamp(static_cast<std::int32_t>(std::floor((object.y - minY) / units)), 0,
                                    grid.rows - 1);
        return static_cast<size_t>(row) * static_cast<size_t>(grid.columns) + static_cast<size_t>(column);
    };
    const size_t cells = static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows);
    grid.cellStart.assign(cells + 1, 0);
    for (std::int32_t i = 1; i <= grid.count; ++i)
        if (grid.remembered[static_cast<size_t>(i)].role != Role::Visited) ++grid.cellStart[cellOf(layer[i]) + 1];
    for (size_t c = 0; c < cells; ++c) grid.cellStart[c + 1] += grid.cellStart[c];
    grid.positions.resize(static_cast<size_t>(gridded));
    std::vector<std::int32_t> fill(grid.cellStart.begin(), grid.cellStart.end() - 1);
    for (std::int32_t i = 1; i <= grid.count; ++i)
        if (grid.remembered[static_cast<size_t>(i)].role != Role::Visited)
            grid.positions[static_cast<size_t>(fill[cellOf(layer[i])]++)] = i;
}

// The object at `position` is still the one the grid sorted in (before this frame's animation step).
bool StillRemembered(const Layer& layer, const LayerGrid& grid, std::int32_t position) {
    if (position < 1 || position > layer.Count() || position > grid.count) return false;
    const LevelObject& object = layer[position];
    const Remembered& r = grid.remembered[static_cast<size_t>(position)];
    if (TextureIndex(object.texture) != r.texture) return false;
    if (!RoleHolds(Entry(r.texture), r.role)) return false;
    if (r.role == Role::Visited) return true;      // elevators move
    if (object.x != r.x || object.y != r.y) return false;
    return r.role != Role::Animated || object.frame == grid.classes[static_cast<size_t>(r.animation)].frame;
}

bool GridCurrent(std::int32_t number, LayerGrid& grid) {
    const Layer& layer = LevelLayer(number);
    if (!grid.built || grid.count != layer.Count()) return false;
    if (grid.count == 0) return true;
    if (!StillRemembered(layer, grid, grid.count)) return false;
    for (std::int32_t n = 0; n < ChecksPerFrame && n < grid.count; ++n) {
        if (grid.nextCheck > grid.count) grid.nextCheck = 1;
        if (!StillRemembered(layer, grid, grid.nextCheck++)) return false;
    }
    return true;
}

// The positions of the layer to visit this frame, ascending: the grid's objects near the screen and those visited
// every frame. False when the grid does not match the layer any more.
bool GatherCandidates(const Layer& layer, const LayerGrid& grid, std::int32_t cameraX, std::int32_t cameraY) {
    candidates.clear();
    const double ppu = view.pixelsPerUnit;
    if (!grid.positions.empty()) {
        // The world rectangle whose objects may touch the screen, a unit wider on every side than rounding needs.
        const double x0 = (cameraX - 1.0) / ppu - CellUnits - 1, x1 = (cameraX + ActiveWidth + 1.0) / ppu + 1;
        const double y0 = (cameraY - 1.0) / ppu - CellUnits - 1, y1 = (cameraY + ActiveHeight + 1.0) / ppu + 1;
        const double c0 = std::floor((x0 - grid.originX) / grid.cellUnits);
        const double c1 = std::floor((x1 - grid.originX) / grid.cellUnits);
        const double r0 = std::floor((y0 - grid.originY) / grid.cellUnits);
        const double r1 = std::floor((y1 - grid.originY) / grid.cellUnits);
        if (c1 >= 0 && r1 >= 0 && c0 < grid.columns && r0 < grid.rows) {
            const auto firstColumn = static_cast<std::int32_t>(std::max(c0, 0.0));
            const auto lastColumn = static_cast<std::int32_t>(std::min(c1, grid.columns - 1.0));
            const auto firstRow = static_cast<std::int32_t>(std::max(r0, 0.0));
            const auto lastRow = static_cast<std::int32_t>(std::min(r1, grid.rows - 1.0));
            for (std::int32_t row = firstRow; row <= lastRow; ++row) {
                const size_t base = static_cast<size_t>(row) * static_cast<size_t>(grid.columns);
                const std::int32_t from = grid.cellStart[base + static_cast<size_t>(firstColumn)];
                const std::int32_t to = grid.cellStart[base + static_cast<size_t>(lastColumn) + 1];
                candidates.insert(candidates.end(), grid.positions.begin() + from, grid.positions.begin() + to);
            }
        }
    }
    for (std::int32_t position : candidates)
        if (!StillRemembered(layer, grid, position)) return false;
    for (std::int32_t position : grid.visited)
        if (!StillRemembered(layer, grid, position)) return false;
    const size_t near = candidates.size();
    candidates.insert(candidates.end(), grid.visited.begin(), grid.visited.end());
    std::sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(near));
    std::inplace_merge(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(near), candidates.end());
    return true;
}

// Advances every animation class by `step` (hidden ones stand still, as hidden objects are not visited) and hands
// the frames to the animated objects. False, with nothing changed, when an animated object is not what the grid
// remembers.
bool RunAnimations(Layer& layer, LayerGrid& grid, double step) {
    for (AnimationClass& c : grid.classes) {
        c.before = c.frame;
        const TextureEntry& entry = Entry(c.texture);
        if (!HiddenNow(entry)) c.frame = AdvanceFrame(entry.firstFrame, entry.lastFrame, c.frame, step);
    }
    for (size_t n = 0; n < grid.animated.size(); ++n) {
        LevelObject& object = layer[grid.animated[n]];
        const AnimationClass& c = grid.classes[static_cast<size_t>(grid.animatedClass[n])];
        if (object.frame != c.before || TextureIndex(object.texture) != c.texture) {
            for (size_t back = 0; back < n; ++back)
                layer[grid.animated[back]].frame = grid.classes[static_cast<size_t>(grid.animatedClass[back])].before;
            for (AnimationClass& undo : grid.classes) undo.frame = undo.before;
            return false;
        }
        object.frame = c.frame;
    }
    return true;
}

// ---- One object ---------------------------------------------------------------------------------------------------

struct ObjectRules {
    bool layerRules = true;     // hiding, the switch cell and the explosion size (not for flying objects)
    bool tint = false;          // drawn in red
    bool advanced = false;      // the object's own frame has already taken this frame's step (its animation class)
    bool stepped = false;       // the rules have already run the layer's frames (explosions, play/effects.h)
};

// Visits the object at `position`: advances its animation and draws it when it is on the screen. True when it was
// an explosion that has played once and is now removed from the layer.
bool VisitObject(Layer& layer, std::int32_t position, double step, std::int32_t cameraX, std::int32_t cameraY,
                 std::int32_t z, ObjectRules rules) {
    ++boardObjectsVisited;
    LevelObject& object = layer[position];
    const TextureEntry& entry = Entry(TextureIndex(object.texture));
    if (rules.layerRules && playRun.showAll == 0 && !InEditor() && Hidden(entry)) return false;

    double image = entry.frame;
    if (rules.stepped) {
        if (SingleImage(entry)) image = entry.firstFrame;
        else if (!Tiling(entry)) image = object.frame;
    } else if (rules.advanced) {
        image = object.frame;
    } else if (SingleImage(entry)) {
        image = entry.firstFrame;
    } else if (!Tiling(entry)) {
        const double next = AdvanceFrame(entry.firstFrame, entry.lastFrame, object.frame, step);
        if (entry.kind == KindExplosion && next < object.frame) {
            layer.RemoveAt(position);
            return true;
        }
        object.frame = next;
        image = next;
    }
    if (rules.layerRules && entry.kind == KindArrowSwitch) image = entry.firstFrame + (attempt.switchState != 0 ? 1 : 0);

    const bool explosion = rules.layerRules && entry.kind == KindExplosion;
    const ScreenRect rect = WorldRect(object.x, object.y, explosion ? ExplosionUnits : CellUnits, cameraX, cameraY);
    if (!explosion && !OnScreen(rect)) return false;
    if (rules.tint) SetColor(192, 0, 0);
    BindImage(ImageId(image));
    DrawQuad(rect.left, rect.top, z, rect.width, rect.height);
    if (rules.tint) SetColor(255, 255, 255);
    return false;
}

void WalkInFull(Layer& layer, double step, std::int32_t cameraX, std::int32_t cameraY, std::int32_t z,
                ObjectRules rules) {
    // The count is read again every time: explosions remove themselves on the way.
    for (std::int32_t i = 1; i <= layer.Count();)
        if (!VisitObject(layer, i, step, cameraX, cameraY, z, rules)) ++i;
}

}  // namespace

// ---- Animation ----------------------------------------------------------------------------------------------------

void AnimateTilingTextures() {
    for (std::int32_t i = 1; i <= TextureTable.Count(); ++i) {
        TextureEntry& entry = TextureTable[i];
        if (Tiling(entry)) entry.frame = AdvanceFrame(entry.firstFrame, entry.lastFrame, entry.frame, frameStep);
    }
}

// ---- The view -----------------------------------------------------------------------------------------------------

void UpdateZoom() {
    if (attempt.playing == 0) {
        view.currentZoom = attempt.targetZoom;
    } else {
        view.smoothClock += frameTime;
        if (view.currentZoom == 0) view.currentZoom = attempt.targetZoom;
        if (view.smoothClock > SmoothInterval) view.currentZoom += (attempt.targetZoom - view.currentZoom) / ZoomEasing;
    }
    view.pixelsPerUnit = view.currentZoom * level.levelZoom;
    // The board scales with the width of the screen only.
    if (ActiveWidth != 1024) view.pixelsPerUnit *= ActiveWidth / 1024.0;
}

void UpdateCamera() {
    const double ppu = view.pixelsPerUnit;
    view.cameraTargetX = ppu * focusX - (ActiveWidth - CellUnits * ppu) / 2;
    view.cameraTargetY = ppu * focusY - (ActiveHeight - CellUnits * ppu) / 2;
    if (InEditor()) {
        if (view.editorCameraHeld != 0) return;
        view.cameraX = view.cameraTargetX;
        view.cameraY = view.cameraTargetY;
        return;
    }

    const LevelBounds& b = level.levelBounds;
    if (b.minX <= b.maxX) {
        bool leftClamped = false;
        if (ppu * b.minX - view.cameraTargetX > 0) {
            view.cameraTargetX = ppu * b.minX;
            leftClamped = true;
        }
        const double rightEdge = (CellUnits + b.maxX) * ppu;
        if (rightEdge - view.cameraTargetX < ActiveWidth) {
            if (!leftClamped) {
                view.cameraTargetX = rightEdge - ActiveWidth;
                // Narrower than the screen: halfway between the two edges, so the level stands in the middle.
                if (ppu * b.minX - view.cameraTargetX > 0) view.cameraTargetX = (ppu * b.minX + view.cameraTargetX) / 2;
            } else {
                view.cameraTargetX = (rightEdge - ActiveWidth + view.cameraTargetX) / 2;
            }
        }
    }
    if (b.minY <= b.maxY) {
        if (ppu * b.minY - view.cameraTargetY > 0) view.cameraTargetY = ppu * b.minY;
        // Last, so that a level shorter than the screen stands on its bottom edge.
        const double bottomEdge = (CellUnits + b.maxY) * ppu;
        if (bottomEdge - view.cameraTargetY < ActiveHeight) view.cameraTargetY = bottomEdge - ActiveHeight;
    }

    if (view.smoothClock > SmoothInterval) {
        const bool sequence = Pixels(level.winCounter) != 0 || Pixels(level.deathCounter) != 0;
        const double easing = sequence ? FastCameraEasing : CameraEasing;
        view.cameraX += (view.cameraTargetX - view.cameraX) / easing;
        view.cameraY += (view.cameraTargetY - view.cameraY) / easing;
        view.smoothClock = 0;
    }
}

// ---- Drawing ------------------------------------------------------------------------------------------------------

// Pixel values stay far inside the 32-bit range whatever a damaged file puts in the level; a position that is not a
// number lands far off the screen.
std::int32_t Pixels(double value) {
    if (!(value >= -PixelLimit)) return static_cast<std::int32_t>(-PixelLimit);
    if (value > PixelLimit) return static_cast<std::int32_t>(PixelLimit);
    return RoundEven(value);
}


ScreenRect WorldRect(double x, double y, double units, std::int32_t cameraX, std::int32_t cameraY) {
    const double ppu = view.pixelsPerUnit;
    ScreenRect rect;
    rect.left = Pixels(ppu * x - cameraX);
    rect.top = Pixels(ppu * y - cameraY);
    rect.width = Pixels((units + x) * ppu - cameraX) - rect.left;
    rect.height = Pixels((units + y) * ppu - cameraY) - rect.top;
    return rect;
}

bool OnScreen(const ScreenRect& rect) {
    return rect.left <= ActiveWidth && rect.top <= ActiveHeight && rect.left + rect.width >= 0 &&
           rect.top + rect.height >= 0;
}

void ForgetBoardIndex() {
    for (LayerGrid& grid : grids) grid = LayerGrid{};
}

void DrawLayer(std::int32_t number, double step, std::int32_t cameraX, std::int32_t cameraY, std::int32_t z) {
    Layer& layer = LevelLayer(number);
    ObjectRules rules;
    rules.stepped = number == ExplosionLayerNumber;
    const bool usable = GriddedLayer(number) && layer.Count() >= GridThreshold && view.pixelsPerUnit > 0 &&
                        std::isfinite(view.pixelsPerUnit);
    if (!usable) {
        // Walked in full, the objects' frames run on without the grid's classes: sort the layer in afresh later.
        if (number >= 1 && number <= LevelLayerCount) grids[number].built = false;
        WalkInFull(layer, step, cameraX, cameraY, z, rules);
        return;
    }
    LayerGrid& grid = grids[number];
    if (!GridCurrent(number, grid) || !GatherCandidates(layer, grid, cameraX, cameraY) ||
        !RunAnimations(layer, grid, step)) {
        BuildGrid(number, grid);
        GatherCandidates(layer, grid, cameraX, cameraY);
        RunAnimations(layer, grid, step);
    }
    // Ascending, so the layer's order holds; an explosion removed on the way moves the later objects down by one.
    std::int32_t removed = 0;
    ObjectRules animated = rules;
    animated.advanced = true;
    for (std::int32_t position : candidates) {
        const bool ran = grid.remembered[static_cast<size_t>(position)].role == Role::Animated;
        if (VisitObject(layer, position - removed, step, cameraX, cameraY, z, ran ? animated : rules)) ++removed;
    }
    if (removed > 0) grid.built = false;
}

void DrawFlyingObjects(List<LevelObject>& list, double step, std::int32_t cameraX, std::int32_t cameraY,
                       std::int32_t z) {
    ObjectRules rules;
    rules.layerRules = false;
    rules.tint = true;
    WalkInFull(list, step, cameraX, cameraY, z, rules);
}

void DrawBackground() {
    const TextureEntry& entry = Entry(TextureIndex(level.background.texture));
    // The background runs through its frames even when its texture tiles.
    level.background.frame = AdvanceFrame(entry.firstFrame, entry.lastFrame, level.background.frame, frameStep);
    BindImage(ImageId(level.background.frame));
    DrawQuad(0, 0, 1, ActiveWidth, ActiveHeight);
}

void DrawBall(std::int32_t cameraX, std::int32_t cameraY) {
    if (!(level.deathCounter < BallHiddenAfter)) return;
    const TextureEntry& entry = Entry(TextureIndex(level.ball.texture));
    double image = entry.frame;
    if (!Tiling(entry)) {
        // A ball that does not roll sideways keeps its frame.
        if (attempt.ballRolling != 0 && level.winCounter == 0)
            level.ball.frame = AdvanceFrame(entry.firstFrame, entry.lastFrame, level.ball.frame, frameStep);
        image = level.ball.frame;
    }
    BindImage(ImageId(image));
    const double ppu = view.pixelsPerUnit;
    if (level.ballSizeDivisor > 0) {
        // Drawn at the background's depth with an equal test: it shows only where nothing but the background was
        // drawn, so the small ball passes behind everything.
        const double units = CellUnits / level.ballSizeDivisor;
        const double inset = (CellUnits - units) / 2;
        const std::int32_t side = Pixels(units * ppu);
        SetDepthFunc(DepthFunc::Equal);
        DrawQuad(Pixels((inset + level.ball.x) * ppu - cameraX), Pixels((inset + level.ball.y) * ppu - cameraY), 1, side, side);
        SetDepthFunc(DepthFunc::Less);
    } else if (level.ballGrowFlag != 0) {
        const std::int32_t side = Pixels((CellUnits + level.ballGrowth) * ppu);
        DrawQuad(Pixels((level.ball.x - level.ballGrowth / 2) * ppu - cameraX), Pixels((level.ball.y - level.ballGrowth / 2) * ppu - cameraY),
                 9, side, side);
    } else {
        const std::int32_t side = Pixels(CellUnits * ppu);
        DrawQuad(Pixels(ppu * level.ball.x - cameraX), Pixels(ppu * level.ball.y - cameraY), 9, side, side);
    }
}

void DrawGhostBall(double x, double y, std::uint8_t alpha) {
    const TextureEntry& entry = Entry(TextureIndex(level.ball.texture));
    BindImage(ImageId(entry.frame));
    SetColor(255, 255, 255, alpha);
    const double ppu = view.pixelsPerUnit;
    const std::int32_t side = Pixels(CellUnits * ppu);
    DrawQuad(Pixels(ppu * x - Pixels(view.cameraX)), Pixels(ppu * y - Pixels(view.cameraY)), 9, side, side);
    SetColor(255, 255, 255);
}

void DrawEditCursor() {
    const double cell = CellUnits * view.pixelsPerUnit;
    const std::int32_t side = Pixels(cell);
    BindImage(editSelectImage.id);
    if (view.editorCameraHeld != 0) {
        // The cursor where the mouse put it, wherever that is on the held board.
        const ScreenRect rect = WorldRect(focusX, focusY, CellUnits, Pixels(view.cameraX), Pixels(view.cameraY));
        DrawQuad(rect.left, rect.top, 13, rect.width, rect.height);
        return;
    }
    DrawQuad(Pixels((ActiveWidth - cell) / 2), Pixels((ActiveHeight - cell) / 2), 13, side, side);
}

int BoardSteps(BoardVariant variant, const BoardStep*& steps) {
    steps = variant == BoardVariant::Editor ? EditorSteps : PlaySteps;
    return variant == BoardVariant::Menu ? MenuStepCount : AllStepCount;
}

BoardVariant CurrentBoardVariant() {
    if (InEditor()) return BoardVariant::Editor;
    if (view.MenuActive != 0) return BoardVariant::Menu;
    return BoardVariant::Play;
}

void DrawBoard(BoardVariant variant) {
    const std::int32_t cx = Pixels(view.cameraX), cy = Pixels(view.cameraY);
    const double step = frameStep;
    const BoardStep* steps = nullptr;
    const int count = BoardSteps(variant, steps);
    SetColor(255, 255, 255);
    for (int s = 0; s < count; ++s) {
        const BoardStep& at = steps[s];
        SetDepthFunc(at.depth);
        switch (at.part) {
            case BoardPart::Background: DrawBackground(); break;
            case BoardPart::Ground: DrawLayer(GroundLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Hazard: DrawLayer(HazardLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Platforms: DrawLayer(PlatformLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Flying: DrawFlyingObjects(attempt.flyingObjects, step, cx, cy, at.z); break;
            case BoardPart::Walls: DrawLayer(WallLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Cracks: DrawLayer(CrackLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Pickups: DrawLayer(PickupLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Ball: DrawBall(cx, cy); break;
            case BoardPart::Arrows: DrawLayer(ArrowLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Explosions: DrawLayer(ExplosionLayerNumber, step, cx, cy, at.z); break;
            case BoardPart::Hud: DrawHud(cx, cy); break;
            case BoardPart::Cursor: DrawEditCursor(); break;
            case BoardPart::PathMarkers: DrawLayer(PathLayerNumber, step, cx, cy, at.z); break;
        }
    }
    SetDepthFunc(DepthFunc::Less);
}

void DrawBoardFrame() {
    UpdateZoom();
    AnimateTilingTextures();
    UpdateCamera();
    const BoardVariant variant = CurrentBoardVariant();
    if (variant == BoardVariant::Play) StepEffects(frameStep);
    if (variant == BoardVariant::Menu && view.boardCovered != 0) return;
    DrawBoard(variant);
}
