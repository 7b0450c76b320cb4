#include "editor/selection.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <unordered_set>
#include <vector>

#include "gfx/board.h"
#include "tiles/catalogue.h"

SelectionState selection;
Clipboard clipboard;

namespace {

using LayerSet = Layer[EditedLayerCount + 1];

struct CellKey {
    double x, y;
    bool operator==(const CellKey&) const = default;
};
struct CellKeyHash {
    std::size_t operator()(const CellKey& key) const {
        return std::hash<double>()(key.x) * 1000003u ^ std::hash<double>()(key.y);
    }
};

double CellOf(double position) { return std::floor(position / CellUnits) * CellUnits; }

// The objects of the rectangle, layer by layer, moved by (dx, dy).
void Gather(const CellRect& rect, double dx, double dy, LayerSet& into) {
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        into[n].Clear();
        for (const LevelObject& object : LevelLayer(n)) {
            if (!InRect(rect, object.x, object.y)) continue;
            LevelObject moved = object;
            moved.x += dx;
            moved.y += dy;
            into[n].Add(moved);
        }
    }
}

// Whether `objects` may stand where they are: inside the limits, and no wall on the ball's start cell.
SelectionRefusal CheckPlaces(const LayerSet& objects) {
    const double ballX = CellOf(level.ball.x), ballY = CellOf(level.ball.y);
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        for (const LevelObject& object : objects[n]) {
            if (std::fabs(object.x) > LevelCoordinateLimit || std::fabs(object.y) > LevelCoordinateLimit)
                return SelectionRefusal::PastLimits;
            if (n == WallLayerNumber && CellOf(object.x) == ballX && CellOf(object.y) == ballY)
                return SelectionRefusal::BallInWall;
        }
    }
    return SelectionRefusal::None;
}

void RemoveIn(const CellRect& rect) {
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        std::vector<LevelObject>& items = LevelLayer(n).items;
        items.erase(std::remove_if(items.begin() + 1, items.end(),
                                   [&](const LevelObject& o) { return InRect(rect, o.x, o.y); }),
                    items.end());
    }
}

// Puts every object in its layer; what the layer held at the same position goes, as when placing one.
void Place(const LayerSet& objects) {
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        if (objects[n].Empty()) continue;
        std::unordered_set<CellKey, CellKeyHash> taken;
        taken.reserve(static_cast<std::size_t>(objects[n].Count()) * 2);
        for (const LevelObject& object : objects[n]) taken.insert({object.x, object.y});
        std::vector<LevelObject>& items = LevelLayer(n).items;
        items.erase(std::remove_if(items.begin() + 1, items.end(),
                                   [&](const LevelObject& o) { return taken.count({o.x, o.y}) != 0; }),
                    items.end());
        items.reserve(items.size() + static_cast<std::size_t>(objects[n].Count()));
        for (const LevelObject& object : objects[n]) {
            LevelObject placed = object;
            placed.frame = Entry(static_cast<std::int32_t>(placed.texture)).firstFrame;
            placed.timer = 0;
            items.push_back(placed);
        }
    }
}

// Taking the rectangle's objects away must leave the level a wall when it had one.
bool KeepsAWall(const CellRect& rect) {
    if (level.wallLayer.Empty()) return true;
    for (const LevelObject& wall : level.wallLayer)
        if (!InRect(rect, wall.x, wall.y)) return true;
    return false;
}

double CellCount(const CellRect& rect) {
    return ((rect.right - rect.left) / CellUnits + 1) * ((rect.bottom - rect.top) / CellUnits + 1);
}

std::int32_t MirrorKind(std::int32_t kind) {
    switch (kind) {
        case KindArrowEast: return KindArrowWest;
        case KindArrowWest: return KindArrowEast;
        case KindPathEast: return KindPathWest;
        case KindPathWest: return KindPathEast;
        default: return kind;
    }
}

// The texture of the mirrored kind that matches `texture` best: the same pack and name, else the same pack,
// else any; the texture itself when the catalogue has none of that kind.
std::int32_t MirrorTexture(std::int32_t texture) {
    const TextureEntry& entry = Entry(texture);
    const std::int32_t kind = MirrorKind(entry.kind);
    if (kind == entry.kind) return texture;
    std::int32_t samePack = 0, any = 0;
    for (std::int32_t i = 1; i <= TextureCount(); ++i) {
        const TextureEntry& other = Entry(i);
        if (other.kind != kind) continue;
        if (other.pack == entry.pack && other.name == entry.name) return i;
        if (samePack == 0 && other.pack == entry.pack) samePack = i;
        if (any == 0) any = i;
    }
    return samePack != 0 ? samePack : any != 0 ? any : texture;
}

}  // namespace

CellRect RectBetween(double x1, double y1, double x2, double y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool InRect(const CellRect& rect, double x, double y) {
    return x >= rect.left && x < rect.right + CellUnits && y >= rect.top && y < rect.bottom + CellUnits;
}

std::int32_t CountObjectsIn(const CellRect& rect) {
    std::int32_t count = 0;
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n)
        for (const LevelObject& object : LevelLayer(n))
            if (InRect(rect, object.x, object.y)) ++count;
    return count;
}

void CopySelection() {
    if (!selection.active) return;
    const CellRect& rect = selection.rect;
    Gather(rect, -rect.left, -rect.top, clipboard.layers);
    clipboard.width = rect.right - rect.left + CellUnits;
    clipboard.height = rect.bottom - rect.top + CellUnits;
    clipboard.full = true;
}

SelectionRefusal DeleteSelection() {
    if (!selection.active) return SelectionRefusal::Nothing;
    if (!KeepsAWall(selection.rect)) return SelectionRefusal::LastWall;
    RemoveIn(selection.rect);
    return SelectionRefusal::None;
}

SelectionRefusal CutSelection() {
    if (!selection.active) return SelectionRefusal::Nothing;
    if (!KeepsAWall(selection.rect)) return SelectionRefusal::LastWall;
    CopySelection();
    RemoveIn(selection.rect);
    return SelectionRefusal::None;
}

SelectionRefusal PasteClipboard(double x, double y) {
    if (!clipboard.full) return SelectionRefusal::Nothing;
    if (std::fabs(x) > LevelCoordinateLimit || std::fabs(y) > LevelCoordinateLimit ||
        std::fabs(x + clipboard.width) > LevelCoordinateLimit || std::fabs(y + clipboard.height) > LevelCoordinateLimit)
        return SelectionRefusal::PastLimits;
    LayerSet placed;
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        placed[n] = clipboard.layers[n];
        for (LevelObject& object : placed[n]) {
            object.x += x;
            object.y += y;
        }
    }
    if (const SelectionRefusal refusal = CheckPlaces(placed); refusal != SelectionRefusal::None) return refusal;
    Place(placed);
    selection.active = true;
    selection.marking = false;
    selection.rect = {x, y, x + clipboard.width - CellUnits, y + clipboard.height - CellUnits};
    return SelectionRefusal::None;
}

SelectionRefusal MoveSelection(double dx, double dy) {
    if (!selection.active) return SelectionRefusal::Nothing;
    const CellRect from = selection.rect;
    const CellRect to = {from.left + dx, from.top + dy, from.right + dx, from.bottom + dy};
    if (std::fabs(to.left) > LevelCoordinateLimit || std::fabs(to.top) > LevelCoordinateLimit ||
        std::fabs(to.right + CellUnits) > LevelCoordinateLimit || std::fabs(to.bottom + CellUnits) > LevelCoordinateLimit)
        return SelectionRefusal::PastLimits;
    LayerSet moved;
    Gather(from, dx, dy, moved);
    if (const SelectionRefusal refusal = CheckPlaces(moved); refusal != SelectionRefusal::None) return refusal;
    RemoveIn(from);
    Place(moved);
    selection.rect = to;
    return SelectionRefusal::None;
}

SelectionRefusal FillSelection(std::int32_t texture) {
    if (!selection.active) return SelectionRefusal::Nothing;
    const std::int32_t kind = Entry(texture).kind;
    const std::int32_t layer = texture == 0 ? KindLayerNone : TextureKindLayer(kind);
    if (layer == KindLayerNone) return SelectionRefusal::NoLayer;
    const CellRect& rect = selection.rect;
    if (CellCount(rect) > SelectionCellLimit) return SelectionRefusal::PastLimits;
    LayerSet filled;
    LevelObject object;
    object.texture = texture;
    object.param1 = TextureKindParam(kind);
    for (double y = rect.top; y <= rect.bottom; y += CellUnits)
        for (double x = rect.left; x <= rect.right; x += CellUnits) {
            object.x = x;
            object.y = y;
            filled[layer].Add(object);
        }
    if (const SelectionRefusal refusal = CheckPlaces(filled); refusal != SelectionRefusal::None) return refusal;
    Place(filled);
    return SelectionRefusal::None;
}

SelectionRefusal FlipSelection() {
    if (!selection.active) return SelectionRefusal::Nothing;
    const CellRect& rect = selection.rect;
    LayerSet flipped;
    Gather(rect, 0, 0, flipped);
    std::map<std::int32_t, std::int32_t> mirrored;
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        for (LevelObject& object : flipped[n]) {
            // The object's cell lands on the mirrored cell, at the same place inside it.
            object.x = rect.left + rect.right - CellOf(object.x) + (object.x - CellOf(object.x));
            const std::int32_t texture = static_cast<std::int32_t>(object.texture);
            const std::int32_t kind = Entry(texture).kind;
            if (n == PlatformLayerNumber && object.param1 != 0) object.param1 = -object.param1;
            if (MirrorKind(kind) == kind) continue;
            auto found = mirrored.find(texture);
            if (found == mirrored.end()) found = mirrored.emplace(texture, MirrorTexture(texture)).first;
            object.texture = found->second;
            if (Entry(found->second).kind != kind) object.param1 = TextureKindParam(MirrorKind(kind));
        }
    }
    if (const SelectionRefusal refusal = CheckPlaces(flipped); refusal != SelectionRefusal::None) return refusal;
    RemoveIn(rect);
    Place(flipped);
    return SelectionRefusal::None;
}
