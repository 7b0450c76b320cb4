// The modern sound effects: short, punchy, synthesised from oscillators, noise, envelopes and filters.
#include <algorithm>

#include "sounds.h"

namespace genaudio {

namespace {

constexpr double kRate = kEffectRate;

// Adds a reverb tail to a mono sound (grows it by `tailSeconds`).
void AddReverbMono(Sound& s, double wet, double roomSize, double damping, double tailSeconds) {
    FadeOut(s, std::min(0.1, 0.3 * s.Seconds()));  // the dry sound must end smoothly before the tail rings on
    s.samples.resize(s.samples.size() + size_t(tailSeconds * s.rate), 0.0f);
    ReverbParams p;
    p.roomSize = roomSize;
    p.damping = damping;
    Sound w = ReverbWet(s, p);
    for (size_t i = 0; i < s.samples.size(); ++i)
        s.samples[i] += float(wet * 0.5 * (w.samples[2 * i] + w.samples[2 * i + 1]));
}

// Two-operator FM bell: bright at the strike, mellow as it rings.
double FmBell(double t, double freq, double ratio, double index, double indexTau, double ampTau) {
    if (t < 0) return 0.0;
    double env = PercEnv(t, 0.0015, ampTau);
    double mod = index * std::exp(-t / indexTau) * std::sin(kTwoPi * freq * ratio * t);
    return env * std::sin(kTwoPi * freq * t + mod);
}

// A brass-like voice: two detuned saws through a low-pass that opens with the attack.
struct Brass {
    Osc a, b;
    Svf filter;
    double Next(double t, double freq, double hold, double brightness) {
        if (t < 0) return 0.0;
        double amp = Adsr(t, 0.012, 0.12, 0.75, 0.12, hold);
        if (amp <= 0 && t > hold) return 0.0;
        double x = a.Next(Wave::Saw, freq, kRate) + 0.6 * b.Next(Wave::Saw, freq * 1.004, kRate);
        double cut = freq * (1.2 + brightness * Adsr(t, 0.03, 0.2, 0.55, 0.15, hold));
        filter.Process(float(x), cut, 0.9, kRate);
        return amp * filter.low;
    }
};

}  // namespace

Sound MakeBump() {
    Sound s = MakeMono(0.22);
    Rng rng(0xB0B0001);
    Osc body, knock;
    Biquad clickFilter;
    clickFilter.LowPass(2800.0, 0.7, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        // a rubber ball against a wall: a low thump that drops in pitch, a woody knock and a soft click
        double f = 62.0 + 130.0 * std::exp(-t / 0.022);
        double v = body.Next(Wave::Sine, f, kRate) * PercEnv(t, 0.0012, 0.05);
        v += 0.3 * knock.Next(Wave::Sine, f * 2.76, kRate) * PercEnv(t, 0.0008, 0.014);
        v += 0.45 * clickFilter.Process(float(rng.Bipolar())) * PercEnv(t, 0.0003, 0.004);
        s.samples[i] = float(v);
    }
    FadeOut(s, 0.03);
    return s;
}

Sound MakeFlag() {
    Sound s = MakeMono(0.62);
    Rng rng(0xF1A6);
    // a quick rising chime: C6, G6, then a soft C7 on top
    struct Note {
        double at, freq, gain;
    };
    const Note notes[] = {{0.0, 1046.5, 0.8}, {0.07, 1568.0, 0.9}, {0.14, 2093.0, 0.45}};
    // sparkles: tiny high grains scattered after the chime
    struct Grain {
        double at, freq, gain;
    };
    std::vector<Grain> grains;
    for (int k = 0; k < 9; ++k) grains.push_back({rng.Range(0.09, 0.38), rng.Range(3200, 6400), rng.Range(0.05, 0.12)});
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate, v = 0;
        for (const Note& n : notes) v += n.gain * FmBell(t - n.at, n.freq, 3.5, 1.6, 0.06, 0.16);
        for (const Grain& g : grains) {
            double tt = t - g.at;
            if (tt >= 0 && tt < 0.12) v += g.gain * std::sin(kTwoPi * g.freq * tt) * PercEnv(tt, 0.001, 0.02);
        }
        s.samples[i] = float(v);
    }
    AddReverbMono(s, 0.35, 0.55, 0.5, 0.25);
    FadeOut(s, 0.08);
    return s;
}

Sound MakeBomb() {
    Sound s = MakeMono(0.62);
    Rng rng(0xB0B0002);
    Biquad clickFilter, fuseFilter, blipFilter;
    clickFilter.BandPass(1200.0, 1.2, kRate);
    fuseFilter.BandPass(5200.0, 1.5, kRate);
    blipFilter.LowPass(2600.0, 0.7, kRate);
    Osc blip;
    double crackle = 0;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate, v = 0;
        // a heavy iron clunk as the bomb is grabbed
        const double modes[][3] = {{138.0, 0.09, 0.8}, {383.0, 0.05, 0.45}, {771.0, 0.03, 0.25}, {1290.0, 0.018, 0.12}};
        for (const auto& m : modes) v += m[2] * std::sin(kTwoPi * m[0] * t) * PercEnv(t, 0.001, m[1]);
        v += 0.6 * clickFilter.Process(float(rng.Bipolar())) * PercEnv(t, 0.0003, 0.006);
        // a two-step "got it" blip
        double bt = t - 0.06;
        if (bt >= 0 && bt < 0.22) {
            double f = bt < 0.07 ? 440.0 : 659.25;
            double env =
                bt < 0.07 ? Adsr(bt, 0.003, 0.03, 0.6, 0.01, 0.06) : Adsr(bt - 0.07, 0.003, 0.05, 0.5, 0.05, 0.08);
            v += 0.28 * blipFilter.Process(blip.Next(Wave::Pulse, f, kRate, 0.3)) * env;
        }
        // the fuse starts to fizz: band-passed noise with random crackle
        double ft = t - 0.08;
        if (ft >= 0) {
            if (rng.Chance(0.0015)) crackle = 1.0;
            crackle *= 0.9985;
            double env = std::min(1.0, ft / 0.05) * std::exp(-ft / 0.16);
            v += 0.2 * fuseFilter.Process(float(rng.Bipolar())) * env * (0.45 + crackle);
        }
        s.samples[i] = float(v);
    }
    AddReverbMono(s, 0.15, 0.4, 0.5, 0.1);
    FadeOut(s, 0.06);
    return s;
}

Sound MakeExplode() {
    Sound s = MakeMono(2.0);
    Rng rng(0xE7B10DE);
    Svf body;
    Biquad rumbleFilter;
    rumbleFilter.LowPass(180.0, 0.7, kRate);
    Osc boom;
    double brown = 0;
    struct Grain {
        double at, tau, gain;
        Biquad filter;
    };
    std::vector<Grain> debris;
    for (int k = 0; k < 28; ++k) {
        Grain g;
        g.at = 0.12 + rng.Uniform() * rng.Uniform() * 1.3;
        g.tau = rng.Range(0.006, 0.025);
        g.gain = rng.Range(0.15, 0.45) * std::exp(-g.at / 0.6);
        g.filter.BandPass(rng.Range(700, 3200), 2.0, kRate);
        debris.push_back(g);
    }
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double white = rng.Bipolar();
        double v = 0.9 * white * PercEnv(t, 0.0004, 0.012);  // the crack
        // the blast: noise through a low-pass that closes as the fireball cools
        body.Process(float(white), 140.0 + 4200.0 * std::exp(-t / 0.22), 0.75, kRate);
        v += 1.1 * body.low * PercEnv(t, 0.003, 0.42);
        // rumble and a falling sub boom
        brown = 0.995 * brown + 0.05 * white;
        v += 1.6 * rumbleFilter.Process(float(brown)) * PercEnv(t, 0.01, 0.7);
        v += 0.9 * boom.Next(Wave::Sine, 34.0 + 70.0 * std::exp(-t / 0.1), kRate) * PercEnv(t, 0.002, 0.32);
        for (Grain& g : debris) {
            double tt = t - g.at;
            if (tt >= 0 && tt < 8 * g.tau)
                v += g.gain * g.filter.Process(float(rng.Bipolar())) * PercEnv(tt, 0.0005, g.tau);
        }
        s.samples[i] = float(std::tanh(1.4 * v));
    }
    AddReverbMono(s, 0.25, 0.75, 0.45, 0.3);
    FadeOut(s, 0.5);
    return s;
}

Sound MakeWin() {
    Sound s = MakeMono(1.75);
    // a short brass fanfare: three quick pick-up notes, a held top note, and the full major chord
    struct Note {
        double at, hold, midi, gain;
    };
    const Note notes[] = {{0.00, 0.07, 72, 0.5},  {0.09, 0.07, 76, 0.5}, {0.18, 0.07, 79, 0.5}, {0.27, 0.08, 84, 0.55},
                          {0.40, 0.95, 72, 0.32}, {0.40, 0.95, 76, 0.3}, {0.40, 0.95, 79, 0.3}, {0.40, 0.95, 84, 0.35}};
    std::vector<Brass> voices(std::size(notes));
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate, v = 0;
        for (size_t n = 0; n < std::size(notes); ++n) {
            const Note& note = notes[n];
            double tt = t - note.at;
            if (tt < 0 || tt > note.hold + 0.2) continue;
            double vib = tt > 0.25 ? 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * tt) : 1.0;
            v += note.gain * voices[n].Next(tt, MidiToHz(note.midi) * vib, note.hold, 5.0);
        }
        // sparkling bells on top of the chord
        const double bells[][2] = {{0.42, 88}, {0.50, 91}, {0.58, 96}};
        for (const auto& b : bells) v += 0.12 * FmBell(t - b[0], MidiToHz(b[1]), 3.5, 1.2, 0.08, 0.3);
        s.samples[i] = float(v);
    }
    AddReverbMono(s, 0.3, 0.65, 0.45, 0.35);
    FadeOut(s, 0.2);
    return s;
}

Sound MakeLose() {
    Sound s = MakeMono(1.9);
    // a muted trombone stepping down by semitones, the last note sagging with a wide vibrato
    struct Note {
        double at, hold, midi;
    };
    const Note notes[] = {{0.0, 0.22, 67}, {0.3, 0.22, 66}, {0.6, 0.22, 65}, {0.9, 0.75, 64}};
    Osc saw, square;
    Svf wah;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        const Note* cur = nullptr;
        for (const Note& n : notes)
            if (t >= n.at) cur = &n;
        double tt = t - cur->at;
        double midi = cur->midi;
        bool last = cur == &notes[3];
        if (last)
            midi -= std::min(1.0, std::max(0.0, tt - 0.3) / 0.5) * 1.0 -
                    0.35 * std::sin(kTwoPi * 4.5 * tt) * std::min(1.0, tt / 0.3);
        double f = MidiToHz(midi - 12);
        double amp = Adsr(tt, 0.02, 0.1, 0.85, 0.06, cur->hold);
        double x = 0.7 * saw.Next(Wave::Saw, f, kRate) + 0.3 * square.Next(Wave::Square, f * 0.5, kRate);
        // the "wah": the mute opens and closes over each note
        double open = std::sin(kPi * std::min(1.0, tt / (cur->hold + 0.05)));
        if (last) open = 0.55 + 0.45 * std::sin(kTwoPi * 2.2 * tt);
        wah.Process(float(x), 250.0 + 1400.0 * open, 2.2, kRate);
        s.samples[i] = float(amp * wah.low);
    }
    AddReverbMono(s, 0.2, 0.5, 0.5, 0.2);
    FadeOut(s, 0.15);
    return s;
}

Sound MakeJingle() {
    // The Orlo logo: a ball bouncing upwards on a rising arpeggio, rolling from left to right, that lands in a
    // bright G major ninth chord.
    Sound s = MakeStereo(3.4);
    const double bounceAt[] = {0.0, 0.30, 0.53, 0.71, 0.85, 0.96};
    const double bounceMidi[] = {67, 71, 74, 79, 83, 86};
    for (int b = 0; b < 6; ++b) {
        Sound note = MakeMono(0.7);
        Osc osc;
        double f = MidiToHz(bounceMidi[b]);
        for (size_t i = 0; i < note.samples.size(); ++i) {
            double t = i / kRate;
            // a "boing": a quick pitch drop into the note plus a bell partial
            double ff = f * (1.0 + 0.25 * std::exp(-t / 0.012));
            double v = osc.Next(Wave::Sine, ff, kRate) * PercEnv(t, 0.001, 0.14);
            v += 0.5 * FmBell(t, f, 2.0, 1.5, 0.05, 0.25);
            note.samples[i] = float(v);
        }
        MixInto(s, note, bounceAt[b], 0.32, -0.8 + 0.32 * b);
    }
    // the landing chord: bells, a warm pad swelling under them and a soft low G
    const double chord[] = {67, 71, 74, 78, 81};
    for (int k = 0; k < 5; ++k) {
        Sound bell = MakeMono(2.4);
        for (size_t i = 0; i < bell.samples.size(); ++i)
            bell.samples[i] = float(FmBell(i / kRate, MidiToHz(chord[k] + 12), 3.0, 1.4, 0.15, 0.8));
        MixInto(s, bell, 1.08 + 0.025 * k, 0.14, -0.6 + 0.3 * k);
        Sound pad = MakeMono(2.3);
        Osc o1, o2;
        Svf lp;
        for (size_t i = 0; i < pad.samples.size(); ++i) {
            double t = i / kRate;
            double f = MidiToHz(chord[k]);
            double x = o1.Next(Wave::Saw, f * 1.003, kRate) + o2.Next(Wave::Saw, f * 0.997, kRate);
            lp.Process(float(x), 900.0 + 700.0 * std::min(1.0, t / 0.6), 0.7, kRate);
            pad.samples[i] = float(lp.low * Adsr(t, 0.35, 0.4, 0.7, 0.9, 1.3));
        }
        MixInto(s, pad, 1.0, 0.06, 0.5 - 0.25 * k);
    }
    Sound low = MakeMono(2.3);
    for (size_t i = 0; i < low.samples.size(); ++i) {
        double t = i / kRate;
        low.samples[i] = float(std::sin(kTwoPi * MidiToHz(43) * t) * Adsr(t, 0.05, 0.3, 0.6, 0.9, 1.2));
    }
    MixInto(s, low, 1.05, 0.3, 0.0);
    ReverbParams p;
    p.roomSize = 0.8;
    p.damping = 0.35;
    Sound wet = ReverbWet(s, p);
    for (size_t i = 0; i < s.samples.size(); ++i) s.samples[i] += 0.35f * wet.samples[i];
    FadeOut(s, 0.6);
    return s;
}

Sound MakeLock() {
    Sound s = MakeMono(0.62);
    Rng rng(0x10C4);
    Osc motor;
    Svf motorFilter;
    Biquad clankNoise, thudNoise, tickNoise;
    clankNoise.BandPass(2600.0, 1.5, kRate);
    thudNoise.LowPass(1400.0, 0.7, kRate);
    tickNoise.HighPass(4000.0, 0.7, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate, v = 0;
        // the elevator's motor winding down
        if (t < 0.22) {
            double f = 70.0 + 120.0 * std::exp(-t / 0.08);
            motorFilter.Process(motor.Next(Wave::Saw, f, kRate), 900.0, 0.8, kRate);
            v += 0.35 * motorFilter.low * std::min(1.0, t / 0.02) * (1.0 - t / 0.22);
        }
        // the bolt strikes: a bright metal clank...
        double c = t - 0.15;
        if (c >= 0) {
            const double modes[][3] = {{420, 0.12, 0.5}, {974, 0.08, 0.35}, {1785, 0.05, 0.25}, {2785, 0.03, 0.15}};
            for (const auto& m : modes) v += m[2] * std::sin(kTwoPi * m[0] * c) * PercEnv(c, 0.0005, m[1]);
            v += 0.5 * clankNoise.Process(float(rng.Bipolar())) * PercEnv(c, 0.0002, 0.005);
        }
        // ...and seats with a heavy clunk
        double d = t - 0.22;
        if (d >= 0) {
            v += 0.8 * std::sin(kTwoPi * (140.0 + 60.0 * std::exp(-d / 0.02)) * d) * PercEnv(d, 0.001, 0.07);
            const double modes[][3] = {{262, 0.06, 0.3}, {707, 0.04, 0.2}, {1336, 0.025, 0.12}};
            for (const auto& m : modes) v += m[2] * std::sin(kTwoPi * m[0] * d) * PercEnv(d, 0.0005, m[1]);
            v += 0.5 * thudNoise.Process(float(rng.Bipolar())) * PercEnv(d, 0.0003, 0.01);
        }
        // the latch clicks home
        double k = t - 0.31;
        if (k >= 0) v += 0.3 * tickNoise.Process(float(rng.Bipolar())) * PercEnv(k, 0.0002, 0.0025);
        s.samples[i] = float(v);
    }
    AddReverbMono(s, 0.18, 0.45, 0.4, 0.1);
    FadeOut(s, 0.08);
    return s;
}

}  // namespace genaudio
