// The frame clock: how long the frame took. The frame pacing (gfx/display.h) sets it once per presented frame;
// every rule and animation reads frameStep, the frame's length in steps of 1/25 s.
#pragma once

extern double lastFrameTime;            // clock reading at the start of the previous frame
extern double frameTime;                // seconds since the previous frame, after pacing
extern double frameStep;                // 25 x frameTime, at most 0.5

constexpr double MinFrameInterval = 0.0167;
