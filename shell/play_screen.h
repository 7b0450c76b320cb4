// The play screen: one attempt at the level in memory, frame by frame, from the first frame until the exit is
// reached, the player gives up, or a bonus level loses its ball. The rules of each frame are play's
// (play/play_loop.h); this loop shows each frame with what the rules raised and reads the key buffer.
#pragma once

#include <cstdint>
#include <string>

// Plays the level in memory once; true when the exit was reached. Leaves the level in its played state.
bool PlayLevel();
// The balls lost in the last PlayLevel (or the one running): each death sequence counts once as it begins, whether a
// trap, a fall, a platform or the time limit ended the ball.
std::int32_t BallsLostInPlay();

// The key of the buffer that play acts on in this frame: "m" or "M" (music, switched here), Escape (the close button
// counts as Escape), or "" for none. Every other key waiting in front of it is dropped, so Escape is read on the frame
// after it is pressed, however many auto-repeats of a held arrow wait before it; at most one key is acted on a frame.
std::string TakePlayKey();
