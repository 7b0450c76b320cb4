// The music's instruments: each renders one note into a mono buffer (held time plus its release tail).
#pragma once

#include "synth.h"

namespace genaudio {

enum class Instrument {
    // drums (the note's pitch is ignored except for toms)
    Kick,
    Snare,
    Clap,
    HatClosed,
    HatOpen,
    Shaker,
    Rim,
    Crash,
    Tom,
    // basses
    SoftBass,
    FunkBass,
    DriveBass,
    // chords and melody
    Pad,
    EPiano,
    Bell,
    Pluck,
    SquareLead,
    SawLead,
    Stab,
    Organ,
};

// velocity 0..1 shapes loudness and, for most instruments, brightness. `rng` feeds noise and small random
// detuning, so a fixed seed gives the same note every time.
Sound RenderNote(Instrument instrument, double midi, double seconds, double velocity, Rng& rng);

}  // namespace genaudio
