// Game scripts: the whole program, from its entry to Quit(), run on the headless back end from a script of keys,
// pointer moves and typed text, frame by frame, as a keyboard and a mouse would drive it. `kolbrix-tool game` runs
// them (docs/game.md); tests use the same run.
//
// A script holds one segment a line ("#" starts a comment, empty lines are skipped, names are read in any case):
//   COUNT [KEY[+KEY...]]     those keys held by their scan codes for COUNT frames; a key that was not held in the
//                            segment before also goes into the key buffer on the segment's first frame, with the
//                            segment's Shift, Ctrl and Alt applied (shift+a "A", ctrl+n 14, alt+s "\xFF" 0x1F)
//   COUNT mouse X Y [left]   the pointer at (X, Y) of a 1024 x 768 window, scaled to the real one, for COUNT frames,
//                            with the left button held when "left" is given
//   COUNT mouse out          the pointer outside the window
//   type TEXT                the characters of TEXT into the key buffer, one a frame
// The key-script format of `kolbrix-tool play` is the first form, so every solution reads as a game script too.
//
// Frame f is the f-th frame the program presents (a step of a key wait counts as one). The keys held and the
// pointer of frame f are in place while the program computes and draws it; a key of the buffer put in on frame f is
// there when the program next reads the buffer after presenting it. After the last segment nothing is held, the
// button is up and the pointer stays where it was.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/list.h"

struct GameSegment {
    std::int64_t frames = 0;
    std::vector<int> held;                  // set-1 scan codes held for the segment's frames
    std::vector<std::string> buffered;      // key strings put into the key buffer on its first frame
    std::string typed;                      // a "type" line: one character into the key buffer a frame
    bool mouse = false;                     // a "mouse" line: the pointer moves
    int mouseX = -1, mouseY = -1;           // on a 1024 x 768 window; -1, -1 outside it
    bool mouseLeft = false;                 // the left button is held
    bool mouseRight = false;                // the right button is held
    int wheel = 0;                          // wheel steps turned on the segment's first frame (> 0 away from you)
};

// Reads a script; false with `error` ("line N: ...") at the first mistake.
bool ParseGameScript(const std::string& text, List<GameSegment>& script, std::string& error);

// Plays a script into the headless back end's keys and pointer. Call it once with frame 0 before the run and then
// from Headless.onFrame with every frame presented: it puts the buffered keys of that frame into the key buffer and
// the held keys and pointer of the next frame in place.
struct GameScriptDriver {
    const List<GameSegment>* script = nullptr;
    std::int32_t segment = 1;               // the segment of the frame last asked for
    std::int64_t segmentStart = 1;          // its first frame
};
void DriveGameScript(GameScriptDriver& driver, std::int64_t frame);

struct GameOptions {
    std::string argument;                   // the game's first argument ("nostalgic"); "" for none
    std::string dataFolder;                 // the program folder; "" for the running program's own
    List<GameSegment> script;
    std::uint32_t seed = 1;                 // the seed start-up hands to the random numbers
    double fps = 60;                        // every frame lasts 1/fps seconds of the virtual clock
    std::string date = "06-15-2026";        // today, "mm-dd-yyyy"
    std::int64_t maxFrames = 100000;        // the run is stopped after this many frames
};

// The exit code of a run stopped because its frames ran out.
constexpr int GameOutOfFrames = 3;

// Runs the whole program (KolbrixMain) with the script on the headless back end, which the caller has chosen
// (PlatformInit), and returns its exit code: the program's own, or GameOutOfFrames. With `trace`, one JSON line per event of the menu, of play and of the editor,
// and a last line with the exit code (docs/game.md).
int RunGame(const GameOptions& options, const std::function<void(const std::string& line)>& trace);

