// Snapshots of play: the whole state of an attempt at a level, saved between two frames and put back later, so
// that playing on from a restored snapshot gives the same frames as never having stopped. The solver searches
// with them (shell/solver.h); tests take them at any frame of a replay.
//
// A snapshot holds the level (its layers included), the attempt, the run, the restart point, the score, the focus
// and the random numbers' state. It leaves out what the caller owns: the clock (the level clock reads it), the
// frame time and step, and the held keys. Events are not kept: a snapshot is taken after a frame, once its events
// were consumed.
//
// Layers are held in chunks of LayerChunkSize objects and the restart point as a whole, each behind a shared
// pointer, so the snapshots of one search share every chunk that did not change: from frame to frame most levels
// change only the ball and a few platforms and elevators.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "play/level.h"
#include "play/play_loop.h"

constexpr std::int32_t LayerChunkSize = 32;

// One layer's objects in order, LayerChunkSize to a chunk (the last may be shorter).
struct LayerChunks {
    std::int32_t count = 0;
    std::vector<std::shared_ptr<const std::vector<LevelObject>>> chunks;
};

struct PlaySnapshot {
    Level level;                                    // every field but the layers, which stay empty
    LayerChunks layers[LevelLayerCount + 1];        // [1..10]
    std::shared_ptr<const LevelBackup> backup;
    PlayAttempt attempt;
    PlayRun run;
    std::int32_t score = 0;
    double focusX = 0, focusY = 0;
    std::uint64_t random = 0;
    bool taken = false;
};

// Saves the state of play into `into`. A chunk of a layer (or the restart point) equal to the one `like` holds in
// its place is shared with `like` instead of copied; `like` may be any earlier snapshot of the level, or null.
void TakeSnapshot(PlaySnapshot& into, const PlaySnapshot* like = nullptr);
// Puts a taken snapshot back. Only the objects that differ from the ones in memory are copied, and the spatial
// index is brought up to date (moved objects are moved in it; a layer that lost or gained objects, or other
// elevators, have it rebuilt).
void RestoreSnapshot(const PlaySnapshot& from);
