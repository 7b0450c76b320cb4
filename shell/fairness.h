// How fair a level is to a person: a solution played with a person's timing errors, re-planned by the solver after
// each error as a person who sees the ferry leave waits for the next one, and the narrowest timing window of the
// solution. `kolbrix-tool fairness` reports it; docs/solver.md describes the model.
#pragma once

#include <cstdint>
#include <functional>

#include "base/list.h"
#include "shell/replay.h"

struct FairnessOptions {
    std::int32_t runs = 20;             // person-model runs, each with its own random errors (0: the window only)
    std::uint32_t seed = 1;             // of the errors (the game's own random numbers are the level's)
    std::int32_t maxError = 6;          // a key change comes up to this many frames early or late
    double replanSeconds = 2;           // the solver's budget for each re-plan
    std::int32_t maxReplans = 40;       // a run that needs more has lost
    std::int32_t widestWindow = 30;     // frames either side of a key change that the window search tries
    double fps = 60;
    std::function<void(int scanCode, bool held)> hold;
    std::function<void(double seconds)> setClock;
    std::function<double()> now;
};

struct FairnessResult {
    bool solutionWins = false;          // the solution itself, played exactly, wins
    std::int32_t runs = 0, won = 0;     // person-model runs, and how many reached the exit in time
    std::int32_t replans = 0;           // re-plans the solver made over all runs
    std::int32_t narrowestWindow = 0;   // frames (of the widestWindow either side) at which the hardest key change
                                        // can come and still win
    std::int64_t narrowestAt = 0;       // the frame of that key change in the solution
    std::int32_t changes = 0;           // key changes of the solution
};

// Measures the level in memory (loaded, seeded, the difficulty set, as for a replay) with `solution`. Play is begun
// and ended here.
FairnessResult MeasureFairness(const List<InputSegment>& solution, const FairnessOptions& options);
