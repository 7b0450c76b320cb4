#include "play/spatial_index.h"

#include <algorithm>
#include <cmath>

#include "base/grid.h"
#include "play/level.h"

bool spatialIndexEnabled = true;

namespace {

constexpr double BaseCellSize = 128;
// The grid never has more cells than this many per indexed object (or MinCells): a sparse level gets larger
// cells instead of a huge empty grid.
constexpr double CellsPerObject = 4;
constexpr double MinCells = 4096;

// The layers whose objects the per-step tests look for.
constexpr std::int32_t IndexedLayers[] = {HazardLayerNumber,   ArrowLayerNumber,  PathLayerNumber,
                                          PlatformLayerNumber, PickupLayerNumber, WallLayerNumber};
constexpr int IndexedLayerCount = 6;

// Objects are entries numbered 1.. across the indexed layers: the object with id k of a layer (its position when
// the grid was built) is entry base + k. Ids never shift; a removed object's id is remembered as dead, and an
// object's position is its id less the dead ids below it.
struct LayerSlot {
    std::int32_t base = 0;
    std::int32_t builtCount = 0;
    std::vector<std::int32_t> dead;         // ascending
};

// For one play attempt: rebuilt at the start, after a restart and after a blast.
struct SpatialGrid {
    bool built = false;
    double originX = 0, originY = 0, cellSize = BaseCellSize;
    std::int32_t columns = 1, rows = 1;
    LayerSlot slots[IndexedLayerCount];
    // Per cell and layer the first entry of that layer there (0 = none). The heads of one cell lie side by side:
    // the tests of one unit step ask about the same few cells in several layers.
    std::vector<std::int32_t> heads;
    std::vector<std::int32_t> next;         // per entry: the next entry of the same layer in its cell
    std::vector<std::int32_t> cellOf;       // per entry: its cell, -1 once removed
    std::vector<std::int32_t> markedWalls;  // ascending positions of the walls whose param1 is not 0
    std::vector<char> elevator;             // per wall position: listed in elevatorIndex
};
SpatialGrid grid;

int SlotOf(std::int32_t layer) {
    for (int s = 0; s < IndexedLayerCount; ++s)
        if (IndexedLayers[s] == layer) return s;
    return -1;
}

std::int32_t Column(double x) {
    double q = std::floor((x - grid.originX) / grid.cellSize);
    if (!(q > 0)) return 0;             // also a position that is not a number
    if (q >= grid.columns - 1) return grid.columns - 1;
    return static_cast<std::int32_t>(q);
}

std::int32_t Row(double y) {
    double q = std::floor((y - grid.originY) / grid.cellSize);
    if (!(q > 0)) return 0;
    if (q >= grid.rows - 1) return grid.rows - 1;
    return static_cast<std::int32_t>(q);
}

std::int32_t CellAt(double x, double y) { return Row(y) * grid.columns + Column(x); }

std::int32_t PositionOfId(const LayerSlot& slot, std::int32_t id) {
    if (slot.dead.empty()) return id;
    return id - static_cast<std::int32_t>(std::lower_bound(slot.dead.begin(), slot.dead.end(), id) - slot.dead.begin());
}

std::int32_t IdOfPosition(const LayerSlot& slot, std::int32_t position) {
    std::int32_t id = position;
    for (std::int32_t d : slot.dead) {
        if (d > id) break;
        ++id;
    }
    return id;
}

std::int32_t& Head(int slot, std::int32_t cell) {
    return grid.heads[static_cast<size_t>(cell) * IndexedLayerCount + static_cast<size_t>(slot)];
}

void Link(int slot, std::int32_t entry, std::int32_t cell) {
    grid.next[static_cast<size_t>(entry)] = Head(slot, cell);
    Head(slot, cell) = entry;
    grid.cellOf[static_cast<size_t>(entry)] = cell;
}

void Unlink(int slot, std::int32_t entry) {
    std::int32_t cell = grid.cellOf[static_cast<size_t>(entry)];
    if (cell < 0) return;
    std::int32_t* link = &Head(slot, cell);
    while (*link != 0 && *link != entry) link = &grid.next[static_cast<size_t>(*link)];
    if (*link == entry) *link = grid.next[static_cast<size_t>(entry)];
    grid.cellOf[static_cast<size_t>(entry)] = -1;
}

// The layers changed behind the grid's back (a count that no longer matches): sort them in again.
bool Current(std::int32_t layer, const LayerSlot& slot) {
    return LevelLayer(layer).Count() == slot.builtCount - static_cast<std::int32_t>(slot.dead.size());
}

}  // namespace

void BuildSpatialIndex() {
    grid = SpatialGrid{};
    if (!spatialIndexEnabled) return;

    double minX = 1.7e308, minY = 1.7e308, maxX = -1.7e308, maxY = -1.7e308;
    std::int32_t entries = 0;
    for (int s = 0; s < IndexedLayerCount; ++s) {
        const Layer& layer = LevelLayer(IndexedLayers[s]);
        grid.slots[s].base = entries;
        grid.slots[s].builtCount = layer.Count();
        entries += layer.Count();
        for (const LevelObject& object : layer) {
            if (std::isfinite(object.x)) minX = std::min(minX, object.x), maxX = std::max(maxX, object.x);
            if (std::isfinite(object.y)) minY = std::min(minY, object.y), maxY = std::max(maxY, object.y);
        }
    }
    if (!(minX <= maxX)) minX = maxX = 0;
    if (!(minY <= maxY)) minY = maxY = 0;

    // The smallest power-of-two multiple of a cell that keeps the grid within its budget of cells.
    const GridShape shape =
        FitGrid(minX, maxX, minY, maxY, BaseCellSize, std::max(MinCells, CellsPerObject * entries));
    grid.originX = minX;
    grid.originY = minY;
    grid.cellSize = shape.cellSize;
    grid.columns = shape.columns;
    grid.rows = shape.rows;
    const size_t cells = static_cast<size_t>(grid.columns) * static_cast<size_t>(grid.rows);

    grid.next.assign(static_cast<size_t>(entries) + 1, 0);
    grid.cellOf.assign(static_cast<size_t>(entries) + 1, -1);
    grid.heads.assign(cells * IndexedLayerCount, 0);
    for (int s = 0; s < IndexedLayerCount; ++s) {
        const LayerSlot& slot = grid.slots[s];
        const Layer& layer = LevelLayer(IndexedLayers[s]);
        // Linked from the last to the first, so each cell's list runs in layer order.
        for (std::int32_t id = layer.Count(); id >= 1; --id) Link(s, slot.base + id, CellAt(layer[id].x, layer[id].y));
    }

    grid.elevator.assign(static_cast<size_t>(level.wallLayer.Count()) + 1, 0);
    for (std::int32_t position : level.elevatorIndex)
        if (position >= 1 && position <= level.wallLayer.Count()) grid.elevator[static_cast<size_t>(position)] = 1;
    for (std::int32_t position = 1; position <= level.wallLayer.Count(); ++position)
        if (level.wallLayer[position].param1 != 0) grid.markedWalls.push_back(position);
    grid.built = true;
}

void DropSpatialIndex() { grid = SpatialGrid{}; }

bool SpatialIndexBuilt() { return grid.built; }

void FindCandidates(std::int32_t layer, double x0, double x1, double y0, double y1, std::vector<std::int32_t>& out) {
    out.clear();
    const int s = SlotOf(layer);
    if (grid.built && s >= 0 && !Current(layer, grid.slots[s])) BuildSpatialIndex();
    if (!grid.built || s < 0) {
        const std::int32_t count = LevelLayer(layer).Count();
        out.reserve(static_cast<size_t>(count));
        for (std::int32_t position = 1; position <= count; ++position) out.push_back(position);
        return;
    }
    const LayerSlot& slot = grid.slots[s];
    const std::int32_t c0 = Column(x0), c1 = Column(x1), r0 = Row(y0), r1 = Row(y1);
    for (std::int32_t row = r0; row <= r1; ++row) {
        for (std::int32_t column = c0; column <= c1; ++column) {
            for (std::int32_t entry = Head(s, row * grid.columns + column); entry != 0;
                 entry = grid.next[static_cast<size_t>(entry)])
                out.push_back(PositionOfId(slot, entry - slot.base));
        }
    }
    // Sorted whatever the cells: the order of a cell's list depends on which objects moved there and when.
    if (out.size() > 1) std::sort(out.begin(), out.end());
}

void SpatialIndexMoved(std::int32_t layer, std::int32_t position) {
    const int s = SlotOf(layer);
    if (!grid.built || s < 0) return;
    LayerSlot& slot = grid.slots[s];
    if (!Current(layer, slot)) {
        BuildSpatialIndex();
        return;
    }
    const LevelObject& object = LevelLayer(layer)[position];
    const std::int32_t entry = slot.base + IdOfPosition(slot, position);
    const std::int32_t cell = CellAt(object.x, object.y);
    if (grid.cellOf[static_cast<size_t>(entry)] == cell) return;
    Unlink(s, entry);
    // A moved object goes in front of its new cell's list; queries sort, so the list's order does not matter.
    Link(s, entry, cell);
}

void SpatialIndexRemoved(std::int32_t layer, std::int32_t position) {
    const int s = SlotOf(layer);
    if (!grid.built || s < 0) return;
    LayerSlot& slot = grid.slots[s];
    // The layer already lost the object: it is current again once the id is dead.
    if (LevelLayer(layer).Count() != slot.builtCount - static_cast<std::int32_t>(slot.dead.size()) - 1) {
        BuildSpatialIndex();
        return;
    }
    const std::int32_t id = IdOfPosition(slot, position);
    Unlink(s, slot.base + id);
    slot.dead.insert(std::lower_bound(slot.dead.begin(), slot.dead.end(), id), id);
    if (layer == WallLayerNumber) {
        // Wall marks and elevator flags are kept by position: the later walls move down by one.
        auto& marks = grid.markedWalls;
        auto at = std::lower_bound(marks.begin(), marks.end(), position);
        if (at != marks.end() && *at == position) at = marks.erase(at);
        for (; at != marks.end(); ++at) --*at;
        if (position >= 1 && static_cast<size_t>(position) < grid.elevator.size())
            grid.elevator.erase(grid.elevator.begin() + position);
    }
}

void ClearWallMarksUpTo(std::int32_t lastPosition) {
    lastPosition = std::min(lastPosition, level.wallLayer.Count());
    if (!grid.built) {
        for (std::int32_t position = 1; position <= lastPosition; ++position) level.wallLayer[position].param1 = 0;
        return;
    }
    auto& marks = grid.markedWalls;
    auto end = std::upper_bound(marks.begin(), marks.end(), lastPosition);
    for (auto at = marks.begin(); at != end; ++at) level.wallLayer[*at].param1 = 0;
    marks.erase(marks.begin(), end);
}

void MarkWall(std::int32_t position) {
    level.wallLayer[position].param1 = 1;
    if (!grid.built) return;
    auto& marks = grid.markedWalls;
    auto at = std::lower_bound(marks.begin(), marks.end(), position);
    if (at == marks.end() || *at != position) marks.insert(at, position);
}

void UnmarkWall(std::int32_t position) {
    level.wallLayer[position].param1 = 0;
    if (!grid.built) return;
    auto& marks = grid.markedWalls;
    auto at = std::lower_bound(marks.begin(), marks.end(), position);
    if (at != marks.end() && *at == position) marks.erase(at);
}

bool IsElevator(std::int32_t wallPosition) {
    if (grid.built && grid.elevator.size() == static_cast<size_t>(level.wallLayer.Count()) + 1)
        return wallPosition >= 1 && wallPosition <= level.wallLayer.Count() &&
               grid.elevator[static_cast<size_t>(wallPosition)] != 0;
    for (std::int32_t position : level.elevatorIndex)
        if (position == wallPosition) return true;
    return false;
}
