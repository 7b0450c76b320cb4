// Replays: the level in memory played from a script of keys, frame by frame, at a fixed frame time, so that the
// same script and seed give the same run on every machine. `kolbrix-tool play` runs them on the headless back end
// and the game window records them (docs/play.md).
//
// An input script holds one segment per line, "COUNT [KEY[+KEY...]]": those keys for COUNT frames ("#" starts a
// comment). Keys read as held by their scan codes: left, right, down, up, space, tab, ctrl, minus, enter,
// scrolllock, f8 to f12. Keys put into the key buffer on the segment's first frame: esc, m.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/list.h"

struct InputSegment {
    std::int64_t frames = 0;
    std::vector<int> held;                  // scan codes
    std::vector<std::string> buffered;      // key strings
};

// Reads a script; false with `error` ("line N: ...") at the first mistake.
bool ParseInputScript(const std::string& text, List<InputSegment>& script, std::string& error);
// The script as text, one segment a line.
std::string FormatInputScript(const List<InputSegment>& script);
// The held keys and buffered keys of one frame as the script names them ("left+space", "esc"; "" for none).
std::string KeyNames(const std::vector<int>& held, const std::vector<std::string>& buffered);
// Every scan code a script can hold, in the order of the key names above.
const std::vector<int>& ScriptScanCodes();

// What a replay needs of the back end: hold or release a key, put a key into the key buffer, set the clock. The
// clock should also advance by one frame time at every presented frame (the headless back end's frameTime).
struct ReplayDevice {
    std::function<void(int scanCode, bool held)> hold;
    std::function<void(const std::string& key)> push;
    std::function<void(double seconds)> setClock;
};

struct ReplayOptions {
    double fps = 60;                        // every frame lasts 1/fps seconds
    // Frames paced as the game paces them instead (gfx/display.h, PaceFrame): the clock runs as the platform runs
    // it and each frame's step is the time the frame took, as in the game played by hand. `fps` and the device's
    // setClock are then not used, and the script's frames are the game's frames, however long each one lasts.
    bool gamePacing = false;
    std::int64_t maxFrames = 100000;        // after this many frames Escape is put into the key buffer
    std::function<void(const std::string& line)> trace;     // one JSON line after every iteration, when set
    std::function<void(std::int64_t frame)> afterFrame;     // after every iteration (tests look at the level)
    // After every iteration, when set: true leaves the level at once, as the window's close button would.
    std::function<bool(std::int64_t frame)> leave;
    // When set, the player's own keys play (the script is not used, no key is held for the player and no frame
    // limit ends play) and every frame's keys are appended here, a script that replays the run: the game's own
    // play of a level, recorded. The clock and the frame times are a replay's all the same.
    List<InputSegment>* record = nullptr;
};

struct ReplayResult {
    bool completed = false;
    std::int64_t frames = 0;
};

// Plays the level in memory once (PlayLevel) with the script's keys; the caller has loaded the level, seeded the
// random numbers and set the difficulty.
ReplayResult RunReplay(const List<InputSegment>& script, const ReplayOptions& options, const ReplayDevice& device);

// The keys of the frame that has just run appended to a script being recorded: the held keys as the controls read
// them (while the controls did not run, the keys held now), and Escape or M when play took one from the key buffer.
// A key of the buffer starts a segment of its own, as it goes in on a segment's first frame.
void RecordFrameKeys(List<InputSegment>& script);
// A recording ended by a frame limit: its last frame reads Escape, as a replay must.
void EscapeOnLastFrame(List<InputSegment>& script);

// {"frame",...,"elapsed"}: the state a trace shows after one iteration, numbers in full precision.
std::string TraceLine(std::int64_t frame);
// {"result","score","frames","elapsed"}
std::string ResultLine(bool completed, std::int64_t frames);
