// Game controllers turned into the keys the game already knows. Both back ends hand their controller events here
// (the SDL one from SDL's game controller events, the headless one from a test); PlatformReadKey and PlatformKeyHeld
// answer for the controllers as for the keyboard, so the game never learns that a controller exists.
//
// A button gives the key string a key press gives and holds the key's scan code while it is down:
//   D-pad and left stick  arrows (scan 48/4B/4D/50): push the ball, move the menu's and the editor's cursor
//   A (south)             Space (39): drops a bomb in play, activates a menu line, places in the editor
//   B (east), Start       Esc (01): leaves the level, the menu screen or the editor
//   X (west)              Del (53): erases in the editor
// The left stick counts once it is pushed past a dead zone of a quarter of its travel; each direction it enters
// gives the arrow's key once, and the arrow is held while it stays there.
#pragma once

#include <string>

enum class PadButton { South, East, West, North, Back, Start, Up, Down, Left, Right, Other };
enum class PadAxis { LeftX, LeftY, Other };

inline constexpr int PadDeadZone = 8192;   // of the stick's 32767

// Back to no controller at all (PlatformInit).
void PadReset();
// A controller plugged in or taken away; `pad` is the back end's number for it. Taking it away lets go of all it held.
void PadPlugged(int pad);
void PadUnplugged(int pad);
// Events of a plugged controller (others are ignored). Axis values run from -32768 to 32767, up and left negative.
void PadButtonChanged(int pad, PadButton button, bool down);
void PadAxisMoved(int pad, PadAxis axis, int value);
// The next key the controllers gave ("" when none); true when a controller holds the key of `scanCode`.
std::string PadTakeKey();
bool PadKeyHeld(int scanCode);
int PadCount();                             // controllers plugged in
