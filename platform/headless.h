// The headless back end's controls and recordings, for tests and tools. Game code never includes this file.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/gamepad.h"
#include "platform/platform.h"

struct TextCell {
    unsigned char ch = ' ';
    std::uint8_t fg = 7, bg = 0;
};

struct HeadlessState {
    // Clock: starts at `startClock`, advances by `frameTime` at every presented frame, and jumps forward when the
    // game waits for a deadline.
    double clock = 1000.0;
    double frameTime = 0.02;
    std::int64_t frame = 0;                 // frames presented so far
    std::int64_t maxFrames = 1000000;       // a run that presents more frames (or waits that long) ends with code 124
    std::string date = "06-15-2026";
    std::vector<DisplayMode> modes = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    std::uint32_t seed = 12345;

    // Input.
    std::deque<std::string> keys;           // the key buffer
    bool held[256] = {};
    int mouseX = -1, mouseY = -1, mouseButtons = 0;
    int wheel = 0;                          // wheel steps not yet taken by the game (> 0 away from the user)
    // Called after every presented frame (and every idle step of a key wait) with the frame count: scripts put
    // keys and mouse state in place for what follows.
    std::function<void(std::int64_t frame)> onFrame;

    // Display.
    DisplayMode desktop = {1280, 1024};
    DisplayMode usable = {0, 0};            // the desktop less its panels; {0, 0}: the whole desktop
    std::vector<DisplayKind> refusedKinds;  // ways of opening the display that fail, as when a mode cannot be set
    bool displayOpen = false;
    int width = 0, height = 0;
    bool fullscreen = false;                // either kind of full screen
    DisplayKind displayKind = DisplayKind::Window;
    int swapInterval = -1;
    std::string title;
    bool pointerShown = true;

    // Draw lists: the frame being drawn, the last presented one, and every presented frame when `keepFrames`.
    std::vector<QuadRecord> drawing;
    std::vector<QuadRecord> lastFrame;
    bool keepFrames = false;
    std::vector<std::vector<QuadRecord>> frames;

    // Text screen.
    bool textOpen = false;
    bool textHidden = false;                // no window could be had for the text screen
    TextCell cells[25][40];
    int textRow = 1, textColumn = 1;
    std::uint8_t textFg = 7, textBg = 0;

    std::vector<std::string> opened;        // targets handed to PlatformOpenExternal
    // Every program started, as its command line: the program, then its arguments. The processes are real ones (the
    // POSIX procedures of platform/process.h), so a test starts a small script and watches what the game makes of it.
    std::vector<std::vector<std::string>> processesStarted;
};

extern HeadlessState Headless;

// Back to a fresh headless state (clock, input, controllers, recordings); keeps nothing of an earlier run.
void HeadlessReset();
// Runs `body` on the headless back end and returns the exit code given to PlatformExit (or `fallback` when the
// body returns).
int HeadlessRun(const std::function<void()>& body, int fallback = 0);
// Pushes a key string into the key buffer ("\xFF" + scan code for extended keys).
void HeadlessPushKey(const std::string& key);
// Game controllers, as SDL reports them: plugged in or taken away, a button down or up, an axis moved (-32768 to
// 32767). What each gives the game is in platform/gamepad.h.
void HeadlessPlugPad(int pad);
void HeadlessUnplugPad(int pad);
void HeadlessPadButton(int pad, PadButton button, bool down);
void HeadlessPadAxis(int pad, PadAxis axis, int value);
// The text row (1..25) as a string of 40 characters.
std::string HeadlessTextRow(int row);
