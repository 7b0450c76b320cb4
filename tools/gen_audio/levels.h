// Loudness measurement and normalisation, so effects, quotes and music sit at consistent levels.
#pragma once

#include "synth.h"

namespace genaudio {

// Integrated loudness in LUFS after ITU-R BS.1770 (K-weighting, 400 ms blocks with 75 % overlap, absolute gate
// at -70 LUFS, relative gate at -10 LU). Sounds shorter than one block are measured as one block. A mono sound
// is measured as the mixer plays it: the same signal in both stereo channels.
double MeasureLoudness(const Sound& s);

// Look-ahead peak limiter: no sample leaves with a magnitude above `ceiling` (linear). The gain reaches its
// minimum before the peak arrives (no overshoot) and recovers over `releaseSeconds`.
void Limit(Sound& s, double ceiling, double lookaheadSeconds = 0.004, double releaseSeconds = 0.08);

// Brings the sound to `targetLufs`, limiting peaks to `ceilingDb` dBFS. Returns the loudness reached (lower than
// the target only when the limiter had to work hard).
double NormaliseLoudness(Sound& s, double targetLufs, double ceilingDb);

// The levels every kind of file is brought to; music a little quieter than effects and quotes.
constexpr double kEffectLufs = -16.0;
constexpr double kQuoteLufs = -16.0;
constexpr double kMusicLufs = -19.0;
constexpr double kCeilingDb = -1.5;      // before encoding; the encoder may add a little
constexpr double kMaxDecodedDb = -1.05;  // the limit every decoded file must respect (tests: -1 dBFS)

}  // namespace genaudio
