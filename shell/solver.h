// The level solver: a search for a way to win the level in memory, over the game's own rules. It plays segments
// of held keys from snapshots of play (play/snapshot.h) with PlayUnseenFrame, so every state it reaches is one
// the game reaches with the same keys; the key script it returns replays with `kolbrix-tool play`.
//
// The search is a weighted best-first search. A state is the play state after a segment; states that fall into
// the same bucket (the ball's position and speed, rounded; the flags, bombs and pickups left; the cracks; the switch;
// the platforms' and elevators' places, rounded) count as one. Its order is the time played so far plus a
// weighted estimate of the time still needed: the distance, through the level's cells, to the nearest flag left
// (or the exit once every flag is taken), from a map of the cells that only walls close. docs/solver.md describes
// the method, its limits and its figures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/list.h"
#include "shell/replay.h"

enum class SolveOutcome {
    Solved,         // `script` wins the level
    OutOfBudget,    // the time budget ran out first
    NotWinnable,    // every reachable state was explored (or no cell path leads to a goal) without a win
};

struct SolveProgress {
    std::int64_t states = 0;            // states kept so far
    std::int64_t frames = 0;            // frames simulated so far
    std::int32_t flagsLeft = 0;         // of the best state so far (the one nearest a win by the estimate)
    double cellsToGo = 0;               //   its distance to the next goal, in cells
    double seconds = 0;                 // time spent searching
};

// One way of searching: how greedy, and how coarse its buckets.
struct SolveVariant {
    double estimateWeight;
    double positionBucket, speedBucket, moverBucket;
    std::int32_t statesPerPlace;
};

// The ways `kolbrix-tool solve` tries in turn: each solves shipped levels that the others miss.
inline const std::vector<SolveVariant> DefaultSolveVariants = {
    {3, 16, 4, 32, 64},
    {1.5, 16, 4, 32, 64},
    {3, 32, 8, 64, 32},
};

struct SolveOptions {
    double budgetSeconds = 60;
    double fps = 60;                    // the frame rate of the script: every frame lasts 1/fps seconds
    std::int32_t segmentFrames = 6;     // frames of one segment of held keys
    double estimateWeight = 3;          // how much the estimate of the time still needed weighs
    double positionBucket = 16;         // units of the ball's position that count as one
    double speedBucket = 4;             // units of the ball's speed that count as one
    double moverBucket = 32;            // units of a platform's or an elevator's position that count as one
    std::int32_t statesPerPlace = 64;   // states kept for one cell of the ball with the same flags, bombs and switch in
                                        // the first round; each later round keeps four times as many
    // The ways of searching, each given an equal share of the budget in turn; empty: the one way the fields below
    // (estimateWeight ... statesPerPlace) describe, for the whole budget.
    std::vector<SolveVariant> variants;
    std::int64_t maxOpenStates = 400000;        // the frontier is cut back to half of this when it grows past it
    // Search from the play in memory, as it stands after its frame `attempt.playIteration`, instead of from the
    // start of the level; `startClock` is then the clock reading of the play's first frame. The script found starts
    // with the next frame, and play is neither begun nor ended.
    bool continuePlay = false;
    double startClock = 0;
    // What the solver needs of the back end: hold or release a key, set the clock the level clock reads, and the
    // time spent so far (for the budget and the progress reports).
    std::function<void(int scanCode, bool held)> hold;
    std::function<void(double seconds)> setClock;
    std::function<double()> now;
    std::function<void(const SolveProgress&)> progress;    // about four times a second, when set
};

struct SolveResult {
    SolveOutcome outcome = SolveOutcome::OutOfBudget;
    List<InputSegment> script;          // Solved: the keys, frame by frame
    std::int64_t scriptFrames = 0;      // Solved: frames until the exit is reached (counted from the play's start)
    double levelSeconds = 0;            // Solved: the level clock when the exit is reached
    bool provedByCells = false;         // NotWinnable: no path through the cells leads from the ball to a goal
    SolveProgress last;                 // the figures at the end
};

// Searches from the start of the level in memory, which the caller has loaded with the random numbers seeded and
// the difficulty set, as for a replay (shell/replay.h). Play is begun and ended here; the level is left played.
// With continuePlay the search starts from the play in memory, which is left as the search left it.
SolveResult SolveLevel(const SolveOptions& options);

// One frame of play that nobody sees (PlayUnseenFrame), as a replay at `fps` frames a second plays it
// (shell/replay.cpp): the clock reads `startClock` plus the frames played so far, and the frame lasts exactly 1/fps.
// True when play is over.
bool PlayReplayFrame(double startClock, double fps, const std::function<void(double seconds)>& setClock);

// "states N  best: F flags left, C cells from the exit  S s": one line of progress.
std::string ProgressLine(const SolveProgress& progress);
