#include "instruments.h"

#include <algorithm>

namespace genaudio {

namespace {

constexpr double kRate = kEffectRate;
constexpr int kControlEvery = 16;  // filter sweeps are updated every 16 samples

// Six detuned square waves: the metallic core of the hats and the cymbal.
struct Metal {
    Osc osc[6];
    double Next(double scale) {
        static const double kFreqs[6] = {263.0, 400.0, 421.0, 474.0, 587.0, 845.0};
        double v = 0;
        for (int i = 0; i < 6; ++i) v += osc[i].Next(Wave::Square, kFreqs[i] * scale, kRate);
        return v / 6.0;
    }
};

Sound Kick(double velocity, Rng& rng) {
    Sound s = MakeMono(0.45);
    Osc body;
    Biquad clickFilter;
    clickFilter.HighPass(1500.0, 0.7, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double f = 47.0 + 115.0 * std::exp(-t / 0.028);
        double v = body.Next(Wave::Sine, f, kRate) * PercEnv(t, 0.0015, 0.2);
        v += 0.3 * clickFilter.Process(float(rng.Bipolar())) * PercEnv(t, 0.0002, 0.003);
        s.samples[i] = float(velocity * std::tanh(1.7 * v) * 0.95);
    }
    FadeOut(s, 0.05);
    return s;
}

Sound Snare(double velocity, Rng& rng) {
    Sound s = MakeMono(0.32);
    Biquad hp, lp;
    hp.HighPass(1300.0, 0.7, kRate);
    lp.LowPass(9000.0, 0.7, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double tone =
            (0.6 * std::sin(kTwoPi * 185.0 * t) + 0.4 * std::sin(kTwoPi * 330.0 * t)) * PercEnv(t, 0.001, 0.045);
        double noise = lp.Process(hp.Process(float(rng.Bipolar()))) * PercEnv(t, 0.001, 0.1);
        s.samples[i] = float(velocity * (0.55 * tone + 0.9 * noise));
    }
    FadeOut(s, 0.04);
    return s;
}

Sound Clap(double velocity, Rng& rng) {
    Sound s = MakeMono(0.32);
    Biquad bp;
    bp.BandPass(1300.0, 1.4, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        // three hands a few milliseconds apart, then the room
        double env = 0;
        for (int k = 0; k < 3; ++k) env += PercEnv(t - 0.011 * k, 0.0004, 0.005);
        env += 0.7 * PercEnv(t - 0.03, 0.002, 0.1);
        s.samples[i] = float(velocity * 2.2 * bp.Process(float(rng.Bipolar())) * env);
    }
    FadeOut(s, 0.04);
    return s;
}

Sound Hat(double velocity, double tau, double seconds, Rng& rng) {
    Sound s = MakeMono(seconds);
    Metal metal;
    Biquad hp1, hp2, peak;
    hp1.HighPass(7000.0, 0.7, kRate);
    hp2.HighPass(7000.0, 0.7, kRate);
    peak.Peaking(10000.0, 1.0, 4.0, kRate);
    double scale = 1.9 + 0.02 * rng.Bipolar();
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double x = 0.6 * metal.Next(scale) + 0.5 * rng.Bipolar();
        s.samples[i] =
            float(velocity * 0.9 * peak.Process(hp2.Process(hp1.Process(float(x)))) * PercEnv(t, 0.0005, tau));
    }
    FadeOut(s, 0.01);
    return s;
}

Sound Shaker(double velocity, Rng& rng) {
    Sound s = MakeMono(0.12);
    Biquad bp;
    bp.BandPass(7000.0, 1.0, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        s.samples[i] = float(velocity * 0.8 * bp.Process(float(rng.Bipolar())) * PercEnv(t, 0.008, 0.03));
    }
    FadeOut(s, 0.01);
    return s;
}

Sound Rim(double velocity, Rng& rng) {
    Sound s = MakeMono(0.09);
    Biquad bp;
    bp.BandPass(3000.0, 1.5, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double v = (std::sin(kTwoPi * 1020.0 * t) + 0.6 * std::sin(kTwoPi * 1710.0 * t)) * PercEnv(t, 0.0003, 0.012);
        v += 0.6 * bp.Process(float(rng.Bipolar())) * PercEnv(t, 0.0002, 0.003);
        s.samples[i] = float(velocity * 0.55 * v);
    }
    FadeOut(s, 0.01);
    return s;
}

Sound Crash(double velocity, Rng& rng) {
    Sound s = MakeMono(2.2);
    Metal metal;
    Biquad hp, lp;
    hp.HighPass(4200.0, 0.7, kRate);
    lp.LowPass(13000.0, 0.7, kRate);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double x = 0.5 * metal.Next(2.9) + 0.7 * rng.Bipolar();
        s.samples[i] = float(velocity * 0.7 * lp.Process(hp.Process(float(x))) * PercEnv(t, 0.001, 0.7));
    }
    FadeOut(s, 0.3);
    return s;
}

Sound Tom(double midi, double velocity, Rng& rng) {
    Sound s = MakeMono(0.4);
    Osc body;
    double f0 = MidiToHz(midi);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double f = f0 * (1.0 + 0.45 * std::exp(-t / 0.03));
        double v =
            body.Next(Wave::Sine, f, kRate) * PercEnv(t, 0.001, 0.16) + 0.08 * rng.Bipolar() * PercEnv(t, 0.0005, 0.01);
        s.samples[i] = float(velocity * 0.9 * v);
    }
    FadeOut(s, 0.05);
    return s;
}

// ---- pitched ----

Sound SoftBass(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.1);
    Osc sine, tri, over;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double v = sine.Next(Wave::Sine, f, kRate) + 0.25 * tri.Next(Wave::Triangle, f, kRate) +
                   0.12 * over.Next(Wave::Sine, 2 * f, kRate);
        s.samples[i] = float(velocity * 0.8 * std::tanh(1.2 * v) * Adsr(t, 0.006, 0.3, 0.7, 0.08, hold));
    }
    return s;
}

Sound FunkBass(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.06);
    Osc saw, sub;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(170.0 + 2600.0 * velocity * std::exp(-t / 0.08), 2.4, kRate);
        lp.Tick(float(saw.Next(Wave::Saw, f, kRate) + 0.5 * sub.Next(Wave::Square, f * 0.5, kRate)));
        s.samples[i] = float(0.75 * velocity * std::tanh(1.6 * lp.low) * Adsr(t, 0.003, 0.12, 0.7, 0.04, hold));
    }
    return s;
}

Sound DriveBass(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.05);
    Osc a, b;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(260.0 + 1500.0 * velocity * std::exp(-t / 0.07), 1.4, kRate);
        lp.Tick(float(a.Next(Wave::Saw, f, kRate) + b.Next(Wave::Saw, f * 1.006, kRate)));
        s.samples[i] = float(0.6 * velocity * std::tanh(1.3 * lp.low) * Adsr(t, 0.002, 0.08, 0.8, 0.03, hold));
    }
    return s;
}

Sound Pad(double f, double hold, double velocity, Rng& rng) {
    double release = 1.0;
    Sound s = MakeMono(hold + release);
    Osc o[3];
    for (Osc& osc : o) osc.phase = rng.Uniform();
    const double detune[3] = {0.9954, 1.0, 1.0046};
    Svf lp;
    double lfoPhase = rng.Uniform();
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0)
            lp.Set(f * 2.0 + 600.0 + 350.0 * std::sin(kTwoPi * (0.18 * t + lfoPhase)), 0.8, kRate);
        double x = 0;
        for (int k = 0; k < 3; ++k) x += o[k].Next(Wave::Saw, f * detune[k], kRate);
        lp.Tick(float(x / 3.0));
        s.samples[i] = float(velocity * lp.low * Adsr(t, 0.45, 0.6, 0.8, release, hold));
    }
    return s;
}

Sound EPiano(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.35);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double index = (1.1 * velocity + 0.2) * std::exp(-t / 0.45) + 0.15;
        double v = std::sin(kTwoPi * f * t + index * std::sin(kTwoPi * f * t));
        v += 0.12 * std::sin(kTwoPi * 4.0 * f * t) * std::exp(-t / 0.04);  // the tine's bark
        double env = PercEnv(t, 0.003, 1.6);
        if (t > hold) env *= std::max(0.0, 1.0 - (t - hold) / 0.3);
        s.samples[i] = float(velocity * 0.6 * v * env);
    }
    return s;
}

Sound Bell(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 1.4);
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        double mod = 1.8 * velocity * std::exp(-t / 0.25) * std::sin(kTwoPi * f * 3.5 * t);
        double v = std::sin(kTwoPi * f * t + mod) + 0.2 * std::sin(kTwoPi * f * 2.0 * t) * std::exp(-t / 0.3);
        double env = PercEnv(t, 0.002, 0.9);
        if (t > hold) env *= std::exp(-(t - hold) / 0.35);
        s.samples[i] = float(velocity * 0.5 * v * env);
    }
    return s;
}

Sound Pluck(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.25);
    Osc saw, sq;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(f * 1.5 + 3800.0 * velocity * std::exp(-t / 0.05), 1.1, kRate);
        lp.Tick(float(saw.Next(Wave::Saw, f, kRate) + 0.5 * sq.Next(Wave::Square, f, kRate)));
        double env = PercEnv(t, 0.002, 0.22);
        if (t > hold) env *= std::max(0.0, 1.0 - (t - hold) / 0.06);
        s.samples[i] = float(velocity * 0.55 * lp.low * env);
    }
    return s;
}

double Vibrato(double t, double delay, double rate, double semitones) {
    double depth = std::clamp((t - delay) / 0.3, 0.0, 1.0) * semitones;
    return std::pow(2.0, depth * std::sin(kTwoPi * rate * t) / 12.0);
}

Sound SquareLead(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.12);
    Osc osc;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(2200.0 + 1800.0 * velocity * std::exp(-t / 0.2), 0.8, kRate);
        double pw = 0.5 + 0.15 * std::sin(kTwoPi * 0.8 * t);
        lp.Tick(osc.Next(Wave::Pulse, f * Vibrato(t, 0.18, 5.5, 0.18), kRate, pw));
        s.samples[i] = float(velocity * 0.4 * lp.low * Adsr(t, 0.008, 0.15, 0.75, 0.09, hold));
    }
    return s;
}

Sound SawLead(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.15);
    Osc a, b;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(f * 2.0 + 2600.0 * velocity * std::exp(-t / 0.25), 1.0, kRate);
        double vib = Vibrato(t, 0.2, 5.8, 0.2);
        lp.Tick(float(0.5 * (a.Next(Wave::Saw, f * vib * 0.9965, kRate) + b.Next(Wave::Saw, f * vib * 1.0035, kRate))));
        s.samples[i] = float(velocity * 0.5 * lp.low * Adsr(t, 0.01, 0.2, 0.8, 0.12, hold));
    }
    return s;
}

Sound Stab(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.1);
    Osc a, b;
    Svf lp;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        if (i % kControlEvery == 0) lp.Set(400.0 + 3200.0 * velocity * std::exp(-t / 0.06), 1.2, kRate);
        lp.Tick(float(0.5 * (a.Next(Wave::Saw, f * 0.997, kRate) + b.Next(Wave::Saw, f * 1.003, kRate))));
        double env = PercEnv(t, 0.002, 0.2);
        if (t > hold) env *= std::max(0.0, 1.0 - (t - hold) / 0.08);
        s.samples[i] = float(velocity * 0.6 * lp.low * env);
    }
    return s;
}

Sound Organ(double f, double hold, double velocity) {
    Sound s = MakeMono(hold + 0.08);
    Osc d1, d2, d3, d4;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = i / kRate;
        // drawbars 8', 4', 2 2/3', 2' with a key click
        double v = d1.Next(Wave::Sine, f, kRate) + 0.6 * d2.Next(Wave::Sine, 2 * f, kRate) +
                   0.4 * d3.Next(Wave::Sine, 3 * f, kRate) + 0.25 * d4.Next(Wave::Sine, 4 * f, kRate);
        v *= 1.0 + 0.08 * std::sin(kTwoPi * 6.2 * t);  // a little rotary wobble
        v += 0.15 * std::sin(kTwoPi * 8 * f * t) * std::exp(-t / 0.006);
        s.samples[i] = float(velocity * 0.28 * v * Adsr(t, 0.004, 0.05, 0.9, 0.06, hold));
    }
    return s;
}

}  // namespace

Sound RenderNote(Instrument instrument, double midi, double seconds, double velocity, Rng& rng) {
    double f = MidiToHz(midi);
    switch (instrument) {
        case Instrument::Kick: return Kick(velocity, rng);
        case Instrument::Snare: return Snare(velocity, rng);
        case Instrument::Clap: return Clap(velocity, rng);
        case Instrument::HatClosed: return Hat(velocity, 0.028, 0.12, rng);
        case Instrument::HatOpen: return Hat(velocity, 0.2, 0.6, rng);
        case Instrument::Shaker: return Shaker(velocity, rng);
        case Instrument::Rim: return Rim(velocity, rng);
        case Instrument::Crash: return Crash(velocity, rng);
        case Instrument::Tom: return Tom(midi, velocity, rng);
        case Instrument::SoftBass: return SoftBass(f, seconds, velocity);
        case Instrument::FunkBass: return FunkBass(f, seconds, velocity);
        case Instrument::DriveBass: return DriveBass(f, seconds, velocity);
        case Instrument::Pad: return Pad(f, seconds, velocity, rng);
        case Instrument::EPiano: return EPiano(f, seconds, velocity);
        case Instrument::Bell: return Bell(f, seconds, velocity);
        case Instrument::Pluck: return Pluck(f, seconds, velocity);
        case Instrument::SquareLead: return SquareLead(f, seconds, velocity);
        case Instrument::SawLead: return SawLead(f, seconds, velocity);
        case Instrument::Stab: return Stab(f, seconds, velocity);
        case Instrument::Organ: return Organ(f, seconds, velocity);
    }
    return MakeMono(0.01);
}

}  // namespace genaudio
