// The display, its modes and the one per-frame renderer.
#pragma once

#include <cstdint>
#include <functional>

#include "base/frame_clock.h"
#include "base/list.h"
#include "gfx/view.h"         // the screen's scale (uiScaleX...), set here when the mode changes
#include "platform/platform.h"

extern List<std::int32_t> modeWidths, modeHeights;   // usable display modes, 1-based

// Drawn over the board in every frame while set: the screen that owns the frame installs its overlay (the menu's
// lines and pictures, the editor's panel). The owner lives on a higher floor; drawing only calls it.
extern std::function<void()> frameOverlay;

void ListDisplayModes();
// Checks the saved resolution against the mode list (replacing it by the last mode, full screen) and copies the
// choice into the active values; a first start (FirstRun) chooses the desktop's own size, full screen. False when
// the list is empty.
bool ChooseMode();
// The size of a window asked for as width x height: the same, or, when that would not fit on the part of the
// desktop a window may take (PlatformUsableArea), the largest of the same shape that does.
DisplayMode WindowThatFits(std::int32_t width, std::int32_t height);
// Opens exactly that mode: full screen in it when `fullscreen` is 1, else a window of that size made to fit the
// desktop (WindowThatFits). ActiveWidth and ActiveHeight become the size opened.
bool SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t fullscreen);
// Opens the game's display in the active mode. When full screen cannot be set in that mode, the desktop's own full
// screen comes next (the active size becomes the desktop's), then a window of the active size (ActiveFullscreen
// becomes 0 for the run; the saved choice stays full screen). False when none of them opens.
bool OpenActiveDisplay();
void SetSwapInterval(std::int32_t interval);
void ClearFrame();
// Waits until at least MinFrameInterval has passed since the previous frame and sets frameTime and frameStep.
void PaceFrame();
void DrawFrame();
// Hands the heap that was freed back to the system a few frames from now, once the renderer has let go of what it
// was still drawing with (after a level load gives frames back).
void TrimMemorySoon();
// Forgets the scale values so the next frame computes them again (a new display in tests and tools).
void ResetDisplayState();
