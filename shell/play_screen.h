// The play screen: one attempt at the level in memory, frame by frame, from the first frame until the exit is
// reached, the player gives up, or a bonus level loses its ball. The rules of each frame are play's
// (play/play_loop.h); this loop shows each frame with what the rules raised and reads the key buffer.
#pragma once

// Plays the level in memory once; true when the exit was reached. Leaves the level in its played state.
bool PlayLevel();
