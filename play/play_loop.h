// The play loop: one attempt at the level in memory, from the first frame until the exit is reached, the player
// gives up, or a bonus level loses its ball. It owns the level clock, the controls and cheat keys, the difficulty
// adjustments, the death and victory sequences and the restart after a death.
//
// Time in play is counted in steps of 1/25 s: every speed and rate is per step and is multiplied by frameStep
// (base/frame_clock.h), which the frame pacing sets from the time the frame took.
#pragma once

#include <functional>

#include "play/attempt.h"

// ---- Hook for tools and tests (empty in the game) ---------------------------------------------------------------
// Called at the end of every iteration of the play loop, the one that leaves the loop included; after a restart
// it sees the restored level. Returning true leaves the loop as Escape would (a tool's frame limit in a window,
// where no key can be put into the buffer).
extern std::function<bool()> playIterationHook;

// ---- Operations -------------------------------------------------------------------------------------------------
// The parts of the play loop (PlayLevel, shell/play_screen.h): its start, the game's logic of one frame (the
// level clock, the platforms, the elevators and the player's ball; no drawing, no key buffer, no end of the
// level), the end of a frame once it was shown, and the end of play.
void BeginPlay();
void PlayLogicFrame();
// After the frame was shown: true when play is over (the victory sequence has run, or a death sequence has run
// and the level could not restart or was a bonus level); a death sequence that has run restarts the level.
bool PlayFrameEnds();
bool EndPlay();
// One iteration of the play loop for a frame that is not shown (the solver's search, tests): what PlayLevel's
// iteration does to the state of the rules, the key buffer left out. The logic frame runs, its events are dropped
// (no sound is heard, no text rises), the effects take the step that drawing the frame would give them, and the
// frame ends as PlayLevel's does; true when play is over. The caller holds the keys and sets the clock.
bool PlayUnseenFrame();
// Puts the level back as it was when play started; false when no play is running.
bool RestartAfterDeath();
// One frame of the player's ball: its motion and the controls while it lives, else the step of the death or
// victory sequence.
void UpdatePlayer();
// The keys and cheat keys of one frame.
void ReadControls();
