// Every sound the generator makes, by concern: modern effects (effects.cpp), 1994 chip effects (chip.cpp),
// spoken quotes and the countdown (quotes.cpp), music (music.cpp over instruments.cpp).
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace genaudio {

// ---- effects.cpp: synthesised, 44.1 kHz mono ----
Sound MakeBump();     // the ball hits a wall
Sound MakeFlag();     // a flag picked up
Sound MakeBomb();     // a bomb picked up
Sound MakeExplode();  // a bomb explodes / the ball bursts
Sound MakeWin();      // the exit reached
Sound MakeLose();     // the ball lost
Sound MakeJingle();   // the logo jingle at start-up (stereo)
Sound MakeLock();     // an elevator locking

// ---- chip.cpp: the same five events as a 1994 sound chip would have played them ----
Sound MakeChipFlag();
Sound MakeChipBomb();
Sound MakeChipExplode();
Sound MakeChipWin();
Sound MakeChipLose();

// ---- quotes.cpp ----
struct QuoteLine {
    int number = 0;
    std::string voice;   // espeak-ng voice, e.g. "en-us+m3"
    int pitch = 50;      // 0..99
    int speed = 175;     // words per minute
    std::string effect;  // none, room, radio, echo
    std::string text;
};
// Reads assets/quotes.txt. Returns false with a message when a line is malformed.
bool ReadQuotes(const std::string& path, std::vector<QuoteLine>& lines, std::string& error);
// Speaks one line with espeak-ng into `out` (22050 Hz mono), trimmed and given its effect. `scratchDir` holds
// the temporary WAV file.
bool MakeQuote(const QuoteLine& line, const std::string& scratchDir, Sound& out);
// "Five seconds left": a spoken count from five to one over a ticking beep, one number a second.
bool MakeCountdown(const std::string& scratchDir, Sound& out);

// ---- music.cpp ----
struct MusicTrack {
    std::string fileName;  // inside audio/
    std::string title;
    Sound sound;  // 44.1 kHz stereo, loops seamlessly from its last sample to its first
};
std::vector<MusicTrack> ComposeMusic();

}  // namespace genaudio
