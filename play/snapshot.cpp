#include "play/snapshot.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

#include "play/random.h"
#include "play/spatial_index.h"

namespace {

static_assert(std::is_trivially_copyable_v<LevelObject> && sizeof(LevelObject) == 7 * sizeof(double),
              "layers are compared byte for byte");

using Chunk = std::vector<LevelObject>;

bool SameObjects(const LevelObject* a, const LevelObject* b, size_t count) {
    return count == 0 || std::memcmp(a, b, count * sizeof(LevelObject)) == 0;
}

bool Indexed(std::int32_t layer) {
    return layer == HazardLayerNumber || layer == ArrowLayerNumber || layer == PathLayerNumber ||
           layer == PlatformLayerNumber || layer == PickupLayerNumber || layer == WallLayerNumber;
}

bool SamePlace(double a, double b) { return a == b || (!(a == a) && !(b == b)); }

// Copies one chunk over the same positions of the layer in memory, object by object, telling the spatial index of
// every object that moved and of every wall mark set or cleared.
void CopyInPlace(std::int32_t number, std::int32_t first, const Chunk& want, bool indexed) {
    Layer& have = LevelLayer(number);
    for (size_t k = 0; k < want.size(); ++k) {
        const std::int32_t i = first + static_cast<std::int32_t>(k);
        LevelObject& object = have[i];
        const LevelObject& wanted = want[k];
        if (SameObjects(&object, &wanted, 1)) continue;
        const bool moved = !SamePlace(object.x, wanted.x) || !SamePlace(object.y, wanted.y);
        if (indexed && number == WallLayerNumber && (object.param1 != 0) != (wanted.param1 != 0)) {
            if (wanted.param1 != 0) MarkWall(i);
            else UnmarkWall(i);
        }
        object = wanted;
        if (indexed && moved) SpatialIndexMoved(number, i);
    }
}

}  // namespace

void TakeSnapshot(PlaySnapshot& into, const PlaySnapshot* like) {
    if (like && (!like->taken || like == &into)) like = nullptr;
    // The level's fields are copied with its layers moved aside, so the layers are not copied twice.
    Layer aside[LevelLayerCount + 1];
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) std::swap(aside[n].items, LevelLayer(n).items);
    into.level = level;
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) std::swap(aside[n].items, LevelLayer(n).items);

    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) {
        const Layer& now = LevelLayer(n);
        LayerChunks& chunks = into.layers[n];
        const LayerChunks* same = like ? &like->layers[n] : nullptr;
        chunks.count = now.Count();
        const size_t needed = static_cast<size_t>((chunks.count + LayerChunkSize - 1) / LayerChunkSize);
        chunks.chunks.resize(needed);
        for (size_t c = 0; c < needed; ++c) {
            const std::int32_t first = 1 + static_cast<std::int32_t>(c) * LayerChunkSize;
            const size_t size = static_cast<size_t>(std::min(LayerChunkSize, chunks.count - first + 1));
            const LevelObject* objects = &now[first];
            if (same && c < same->chunks.size() && same->chunks[c]->size() == size &&
                SameObjects(same->chunks[c]->data(), objects, size)) {
                chunks.chunks[c] = same->chunks[c];
            } else if (!(chunks.chunks[c] && chunks.chunks[c]->size() == size &&
                         SameObjects(chunks.chunks[c]->data(), objects, size))) {
                chunks.chunks[c] = std::make_shared<const Chunk>(objects, objects + size);
            }
        }
    }
    if (like && like->backup && like->backup->generation == levelBackup.generation) into.backup = like->backup;
    else if (!into.backup || into.backup->generation != levelBackup.generation)
        into.backup = std::make_shared<const LevelBackup>(levelBackup);
    into.attempt = attempt;
    into.run = playRun;
    into.score = score;
    into.focusX = focusX;
    into.focusY = focusY;
    into.random = RandomState();
    into.taken = true;
}

void RestoreSnapshot(const PlaySnapshot& from) {
    if (!from.taken) return;
    const bool sameElevators = level.elevatorIndex.items == from.level.elevatorIndex.items;
    Layer aside[LevelLayerCount + 1];
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) std::swap(aside[n].items, LevelLayer(n).items);
    level = from.level;
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) std::swap(aside[n].items, LevelLayer(n).items);

    attempt = from.attempt;
    playRun = from.run;
    score = from.score;
    focusX = from.focusX;
    focusY = from.focusY;
    SetRandomState(from.random);
    if (levelBackup.generation != from.backup->generation) levelBackup = *from.backup;

    // The spatial index follows the layers while play runs: objects are moved in it one by one, and a layer whose
    // count changed, or other elevators, have it built again.
    const bool indexed = attempt.playing != 0;
    bool rebuild = indexed && (!SpatialIndexBuilt() || !sameElevators);
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n) {
        const LayerChunks& want = from.layers[n];
        Layer& have = LevelLayer(n);
        if (have.Count() == want.count) {
            for (size_t c = 0; c < want.chunks.size(); ++c) {
                const std::int32_t first = 1 + static_cast<std::int32_t>(c) * LayerChunkSize;
                const Chunk& chunk = *want.chunks[c];
                if (!SameObjects(&have[first], chunk.data(), chunk.size()))
                    CopyInPlace(n, first, chunk, indexed && !rebuild && Indexed(n));
            }
            continue;
        }
        have.Clear();
        have.items.reserve(static_cast<size_t>(want.count) + 1);
        for (const auto& chunk : want.chunks) have.items.insert(have.items.end(), chunk->begin(), chunk->end());
        if (Indexed(n)) rebuild = indexed;
    }
    if (rebuild) BuildSpatialIndex();
    else if (!indexed) DropSpatialIndex();
}
