// One presented frame of play: what the rules raised in the logic frame is heard and shown, then the frame is
// drawn. The play loop (shell/play_screen.h) calls it after every logic frame.
#pragma once

// Plays the sounds and takes the texts of playEvents, then empties the list.
void ConsumePlayEvents();
// ConsumePlayEvents, then DrawFrame.
void PresentPlayFrame();
