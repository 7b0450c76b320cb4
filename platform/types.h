// The plain values that the platform's procedures and its back ends' tables pass: displays, drawn quads, child
// processes, audio handles. Kept apart from the procedures so that the tables (platform/backends.h,
// platform/audio_backend.h) need only these and not the procedures that call through them.
#pragma once

#include <cstdint>

struct DisplayMode { int width; int height; };

// How the display opens: a window; full screen in the given mode (the display switches to it); or full screen at
// the desktop's own resolution, which switches nothing (width and height are then the desktop's).
enum class DisplayKind { Window, Fullscreen, DesktopFullscreen };

// One drawn quad as the drawing primitives describe it. Without a GL context the primitives hand every quad to PlatformRecordQuad;
// the headless back end keeps them as the frame's draw list, the SDL back end ignores them.
struct QuadRecord {
    std::uint32_t image = 0;                        // texture id bound when the quad was drawn
    std::int32_t x = 0, y = 0, z = 0, w = 0, h = 0;
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
    std::int32_t depthFunc = 0;                     // 0 less, 1 less-or-equal, 2 equal, 3 always
    std::int32_t blend = 0;                         // 0 alpha, 1 premultiplied, 2 off
};

// A program the game started (platform/platform.h, "Child processes").
using ProcessHandle = std::int32_t;                 // 0: no process
enum class ProcessStream { Output, Errors };        // the program's standard output and standard error

using AudioChunk = std::int32_t;   // a loaded sound, 0 = none
using AudioMusic = std::int32_t;   // a loaded music track, 0 = none
constexpr int AudioMaxVolume = 128;
constexpr int AudioAnyChannel = -1;   // AudioPlayChunk: the first free channel that is not reserved
constexpr int AudioNoTimeLimit = -1;
