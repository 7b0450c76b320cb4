// How the board is looked at: the camera, the zoom and the few other values that the board, the heads-up display,
// the fonts and the screens above them share. Its own file, so that each of them can read it without the others.
#pragma once

#include <cstdint>

// ---- The view: how the board is looked at. For the run; a level load swings the camera in from a random place ----
struct BoardView {
    std::int32_t EditorMode = 0;        // -1 while the editor shows the board; 0 otherwise (also in its test play)
    std::int32_t MenuActive = 0;        // -1 while the main menu owns the screen (its background level is drawn)
    double cameraX = 0, cameraY = 0;    // the top-left corner of the screen, in pixels of the board
    double currentZoom = 1.0;           // the eased camera zoom (times levelZoom)
    double pixelsPerUnit = 0;           // screen pixels per world unit this frame
    double cameraTargetX = 0, cameraTargetY = 0;    // where the camera wants to be, in pixels
    double smoothClock = 0;             // seconds since the view last eased
    // Shared blink over frames 1 to 6 (the hint text and the big-font cursor): shown while above 3.
    double blinkCounter = 0;
    std::int32_t hintBoxWidth = 0;      // widest hint line in pixels; 0 = measure again
    // -1: the editor's camera stays where it is while the mouse moves the cursor (painting with the mouse must not
    // slide the board under the pointer); the keyboard's moves centre the cursor again.
    std::int32_t editorCameraHeld = 0;
    // -1 while the menu covers the whole screen with an opaque picture: its background level then only keeps its
    // camera and clock, and nothing of it is drawn (on a software renderer that is most of the frame's cost).
    std::int32_t boardCovered = 0;
};
extern BoardView view;

// ---- The screen's scale against the 1024 x 768 the layouts are drawn for; set with the display mode -------------
extern double uiScaleX, uiScaleY;                    // ActiveWidth / 1024, ActiveHeight / 768; 0 before the first frame
extern std::int32_t isFourByThree;                   // -1 when the active mode is exactly 4:3
extern std::int32_t fourByThreeWidth, fourByThreeHeight;
