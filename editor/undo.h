// The editor's undo and redo: every change of the level in memory (a placed or erased object, a cleared cell, the
// background, the ball, a painted line or a mouse stroke, the title, the time limit, the music) is one step that
// Ctrl+Z takes back and Ctrl+Y puts again.
//
// A change is recorded by bracketing it: BeginChange() remembers what the level holds, EndChange() compares and
// keeps only what differs (per layer the run of objects between the common start and the common end, and the
// properties that changed), so a step costs what it changed, not the size of the level. A bracket may stay open
// across several commands (a line painted with Shift held, a stroke of the mouse): it becomes one step.
//
// The history belongs to the level being edited: it survives a test play (which saves and reloads the same level)
// and is dropped when another level or pack is loaded. It keeps at most UndoStepLimit steps and UndoByteLimit bytes,
// forgetting the oldest first. It knows the step at which the level was last saved or loaded, so undoing back to
// that point clears levelModified again.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::int32_t UndoStepLimit = 1000;
constexpr std::size_t UndoByteLimit = 64u << 20;

// Opens a change; nothing happens if one is open already (the commands inside join the open step).
void BeginChange();
// Closes the open change and records it as one step when the level differs from what BeginChange saw. Recording
// drops the steps that could have been redone.
void EndChange();
bool ChangeOpen();

// Take back the newest step / put back the step taken back last. False when there is none. levelModified becomes
// 0 exactly when the level is back where it was last saved or loaded.
bool Undo();
bool Redo();
std::int32_t UndoSteps();
std::int32_t RedoSteps();
std::size_t HistoryBytes();

// Forgets every step (another level or pack was loaded, a new level was made); the level in memory is now its saved state.
void ClearHistory();
// The level in memory is now what its file holds (after a save): the current point of the history is the saved one.
void MarkSaved();
