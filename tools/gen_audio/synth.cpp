#include "synth.h"

#include <algorithm>

namespace genaudio {

// ---- Random ------------------------------------------------------------------------------------------------

Rng::Rng(uint64_t seed) : state(seed ? seed : 0x9E3779B97F4A7C15ull) {
    for (int i = 0; i < 4; ++i) Next();  // spread small seeds over the state
}

uint64_t Rng::Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
}

double Rng::Uniform() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
double Rng::Bipolar() { return Uniform() * 2.0 - 1.0; }
double Rng::Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
int Rng::Int(int lo, int hi) { return lo + int(Next() % uint64_t(hi - lo + 1)); }
bool Rng::Chance(double p) { return Uniform() < p; }

// ---- Buffers -----------------------------------------------------------------------------------------------

Sound MakeMono(double seconds, int rate) {
    Sound s;
    s.rate = rate;
    s.channels = 1;
    s.samples.assign(size_t(std::max(0.0, seconds) * rate + 0.5), 0.0f);
    return s;
}

Sound MakeStereo(double seconds, int rate) {
    Sound s;
    s.rate = rate;
    s.channels = 2;
    s.samples.assign(2 * size_t(std::max(0.0, seconds) * rate + 0.5), 0.0f);
    return s;
}

void MixInto(Sound& dst, const Sound& src, double atSeconds, double gain, double pan) {
    size_t at = size_t(std::max(0.0, atSeconds) * dst.rate + 0.5);
    size_t frames = src.Frames();
    size_t need = (at + frames) * dst.channels;
    if (dst.samples.size() < need) dst.samples.resize(need, 0.0f);
    if (dst.channels == src.channels) {
        for (size_t i = 0; i < frames * src.channels; ++i)
            dst.samples[at * dst.channels + i] += float(gain * src.samples[i]);
        return;
    }
    if (dst.channels == 2 && src.channels == 1) {
        double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
        // Constant power, normalised so a centred sound keeps its level in each channel.
        double gl = std::cos(angle) * std::sqrt(2.0) * gain, gr = std::sin(angle) * std::sqrt(2.0) * gain;
        for (size_t i = 0; i < frames; ++i) {
            dst.samples[(at + i) * 2] += float(gl * src.samples[i]);
            dst.samples[(at + i) * 2 + 1] += float(gr * src.samples[i]);
        }
        return;
    }
    // stereo into mono: average
    for (size_t i = 0; i < frames; ++i)
        dst.samples[at + i] += float(gain * 0.5 * (src.samples[i * 2] + src.samples[i * 2 + 1]));
}

void Scale(Sound& s, double gain) {
    for (float& x : s.samples) x = float(x * gain);
}

double Peak(const Sound& s) {
    double p = 0;
    for (float x : s.samples) p = std::max(p, double(std::fabs(x)));
    return p;
}

void FadeIn(Sound& s, double seconds) {
    size_t n = std::min(s.Frames(), size_t(seconds * s.rate));
    for (size_t i = 0; i < n; ++i) {
        double g = 0.5 - 0.5 * std::cos(kPi * double(i) / double(n));
        for (int c = 0; c < s.channels; ++c) s.samples[i * s.channels + c] *= float(g);
    }
}

void FadeOut(Sound& s, double seconds) {
    size_t frames = s.Frames();
    size_t n = std::min(frames, size_t(seconds * s.rate));
    for (size_t i = 0; i < n; ++i) {
        double g = 0.5 - 0.5 * std::cos(kPi * double(i) / double(n));
        size_t f = frames - 1 - i;
        for (int c = 0; c < s.channels; ++c) s.samples[f * s.channels + c] *= float(g);
    }
}

void RemoveDc(Sound& s) {
    for (int c = 0; c < s.channels; ++c) {
        double sum = 0;
        size_t frames = s.Frames();
        for (size_t i = 0; i < frames; ++i) sum += s.samples[i * s.channels + c];
        float mean = frames ? float(sum / frames) : 0.0f;
        for (size_t i = 0; i < frames; ++i) s.samples[i * s.channels + c] -= mean;
    }
}

void TrimSilence(Sound& s, double threshold, double pad) {
    size_t frames = s.Frames();
    size_t first = frames, last = 0;
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < s.channels; ++c) {
            if (std::fabs(s.samples[i * s.channels + c]) > threshold) {
                first = std::min(first, i);
                last = i;
            }
        }
    }
    if (first >= frames) return;
    size_t padFrames = size_t(pad * s.rate);
    first = first > padFrames ? first - padFrames : 0;
    last = std::min(frames - 1, last + padFrames);
    std::vector<float> kept(s.samples.begin() + first * s.channels, s.samples.begin() + (last + 1) * s.channels);
    s.samples.swap(kept);
}

// ---- Oscillators -------------------------------------------------------------------------------------------

static double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

float Osc::Next(Wave wave, double freq, double rate, double pulseWidth) {
    double dt = std::clamp(freq / rate, 0.0, 0.5);
    double v = 0;
    switch (wave) {
        case Wave::Sine: v = std::sin(kTwoPi * phase); break;
        case Wave::Triangle: v = 1.0 - 4.0 * std::fabs(phase - 0.5); break;
        case Wave::Saw: v = 2.0 * phase - 1.0 - PolyBlep(phase, dt); break;
        case Wave::Square:
        case Wave::Pulse: {
            double pw = wave == Wave::Square ? 0.5 : std::clamp(pulseWidth, 0.05, 0.95);
            v = phase < pw ? 1.0 : -1.0;
            v += PolyBlep(phase, dt);
            double t2 = phase - pw;
            if (t2 < 0) t2 += 1.0;
            v -= PolyBlep(t2, dt);
            break;
        }
    }
    phase += dt;
    if (phase >= 1.0) phase -= 1.0;
    return float(v);
}

// ---- Noise -------------------------------------------------------------------------------------------------

float PinkNoise::Next(Rng& rng) {
    double w = rng.Bipolar();
    b0 = 0.99765 * b0 + w * 0.0990460;
    b1 = 0.96300 * b1 + w * 0.2965164;
    b2 = 0.57000 * b2 + w * 1.0526913;
    return float((b0 + b1 + b2 + w * 0.1848) * 0.25);
}

float LfsrNoise::Next(double clockHz, double rate) {
    phase += clockHz / rate;
    while (phase >= 1.0) {
        phase -= 1.0;
        int tap = shortMode ? 6 : 1;
        uint16_t bit = uint16_t(((reg >> 0) ^ (reg >> tap)) & 1u);
        reg = uint16_t((reg >> 1) | (bit << 14));
        value = (reg & 1u) ? 1.0f : -1.0f;
    }
    return value;
}

// ---- Envelopes ---------------------------------------------------------------------------------------------

double Adsr(double t, double attack, double decay, double sustain, double release, double hold) {
    auto held = [&](double tt) {
        if (tt < 0) return 0.0;
        if (tt < attack) return tt / attack;
        tt -= attack;
        if (tt < decay) return 1.0 - (1.0 - sustain) * (tt / decay);
        return sustain;
    };
    if (t < hold) return held(t);
    double level = held(hold);
    double r = t - hold;
    if (r >= release) return 0.0;
    return level * (1.0 - r / release);
}

double PercEnv(double t, double attack, double tau) {
    if (t < 0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

// ---- Filters -----------------------------------------------------------------------------------------------

static void Normalise(Biquad& f, double b0, double b1, double b2, double a0, double a1, double a2) {
    f.b0 = b0 / a0;
    f.b1 = b1 / a0;
    f.b2 = b2 / a0;
    f.a1 = a1 / a0;
    f.a2 = a2 / a0;
}

void Biquad::LowPass(double fc, double q, double rate) {
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    Normalise(*this, (1 - c) / 2, 1 - c, (1 - c) / 2, 1 + al, -2 * c, 1 - al);
}

void Biquad::HighPass(double fc, double q, double rate) {
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    Normalise(*this, (1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + al, -2 * c, 1 - al);
}

void Biquad::BandPass(double fc, double q, double rate) {
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    Normalise(*this, al, 0, -al, 1 + al, -2 * c, 1 - al);
}

void Biquad::Peaking(double fc, double q, double gainDb, double rate) {
    double A = std::pow(10.0, gainDb / 40.0);
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    Normalise(*this, 1 + al * A, -2 * c, 1 - al * A, 1 + al / A, -2 * c, 1 - al / A);
}

void Biquad::HighShelf(double fc, double q, double gainDb, double rate) {
    double A = std::pow(10.0, gainDb / 40.0);
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    double sa = 2 * std::sqrt(A) * al;
    Normalise(*this, A * ((A + 1) + (A - 1) * c + sa), -2 * A * ((A - 1) + (A + 1) * c),
              A * ((A + 1) + (A - 1) * c - sa), (A + 1) - (A - 1) * c + sa, 2 * ((A - 1) - (A + 1) * c),
              (A + 1) - (A - 1) * c - sa);
}

void Biquad::LowShelf(double fc, double q, double gainDb, double rate) {
    double A = std::pow(10.0, gainDb / 40.0);
    double w = kTwoPi * std::min(fc, rate * 0.49) / rate, c = std::cos(w), al = std::sin(w) / (2 * q);
    double sa = 2 * std::sqrt(A) * al;
    Normalise(*this, A * ((A + 1) - (A - 1) * c + sa), 2 * A * ((A - 1) - (A + 1) * c),
              A * ((A + 1) - (A - 1) * c - sa), (A + 1) + (A - 1) * c + sa, -2 * ((A - 1) + (A + 1) * c),
              (A + 1) + (A - 1) * c - sa);
}

void Svf::Set(double fc, double q, double rate) {
    double g = std::tan(kPi * std::clamp(fc, 10.0, rate * 0.45) / rate);
    k = 1.0 / std::max(q, 0.05);
    a1 = 1.0 / (1.0 + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

void Svf::Tick(float x) {
    double v3 = x - ic2;
    double v1 = a1 * ic1 + a2 * v3;
    double v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
}

void ApplyBiquad(Sound& s, Biquad proto) {
    for (int c = 0; c < s.channels; ++c) {
        Biquad f = proto;
        for (size_t i = c; i < s.samples.size(); i += s.channels) s.samples[i] = f.Process(s.samples[i]);
    }
}

void HighPassSound(Sound& s, double fc) {
    Biquad f;
    f.HighPass(fc, 0.7071, s.rate);
    ApplyBiquad(s, f);
}

void LowPassSound(Sound& s, double fc) {
    Biquad f;
    f.LowPass(fc, 0.7071, s.rate);
    ApplyBiquad(s, f);
}

// ---- Effects -----------------------------------------------------------------------------------------------

Sound ToStereo(const Sound& s) {
    if (s.channels == 2) return s;
    Sound out;
    out.rate = s.rate;
    out.channels = 2;
    out.samples.resize(s.samples.size() * 2);
    for (size_t i = 0; i < s.samples.size(); ++i) out.samples[2 * i] = out.samples[2 * i + 1] = s.samples[i];
    return out;
}

namespace {

struct Comb {
    std::vector<float> buf;
    size_t idx = 0;
    float store = 0;
    float Process(float in, float feedback, float damp) {
        float out = buf[idx];
        store = out * (1 - damp) + store * damp;
        buf[idx] = in + store * feedback;
        if (++idx >= buf.size()) idx = 0;
        return out;
    }
};

struct Allpass {
    std::vector<float> buf;
    size_t idx = 0;
    float Process(float in) {
        float b = buf[idx];
        float out = -in + b;
        buf[idx] = in + b * 0.5f;
        if (++idx >= buf.size()) idx = 0;
        return out;
    }
};

}  // namespace

Sound ReverbWet(const Sound& in, const ReverbParams& p) {
    static const int kCombs[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int kAllpasses[4] = {556, 441, 341, 225};
    const int spread = 23;
    double scale = in.rate / 44100.0;
    Comb combs[2][8];
    Allpass alls[2][4];
    for (int ch = 0; ch < 2; ++ch) {
        for (int i = 0; i < 8; ++i) combs[ch][i].buf.assign(size_t((kCombs[i] + ch * spread) * scale), 0.0f);
        for (int i = 0; i < 4; ++i) alls[ch][i].buf.assign(size_t((kAllpasses[i] + ch * spread) * scale), 0.0f);
    }
    float feedback = float(p.roomSize * 0.28 + 0.7);
    float damp = float(p.damping * 0.4);
    float wet1 = float(p.width / 2 + 0.5), wet2 = float((1 - p.width) / 2);
    Sound out;
    out.rate = in.rate;
    out.channels = 2;
    size_t frames = in.Frames();
    out.samples.assign(frames * 2, 0.0f);
    for (size_t i = 0; i < frames; ++i) {
        float x = in.channels == 2 ? (in.samples[2 * i] + in.samples[2 * i + 1]) : 2.0f * in.samples[i];
        x *= 0.015f;
        float o[2];
        for (int ch = 0; ch < 2; ++ch) {
            float acc = 0;
            for (auto& c : combs[ch]) acc += c.Process(x, feedback, damp);
            for (auto& a : alls[ch]) acc = a.Process(acc);
            o[ch] = acc;
        }
        out.samples[2 * i] = o[0] * wet1 + o[1] * wet2;
        out.samples[2 * i + 1] = o[1] * wet1 + o[0] * wet2;
    }
    return out;
}

Sound PingPongDelay(const Sound& in, double delaySeconds, double feedback, double lowPassHz) {
    Sound out;
    out.rate = in.rate;
    out.channels = 2;
    size_t frames = in.Frames();
    out.samples.assign(frames * 2, 0.0f);
    size_t d = std::max<size_t>(1, size_t(delaySeconds * in.rate));
    std::vector<float> lineL(d, 0.0f), lineR(d, 0.0f);
    OnePole lpL, lpR;
    size_t idx = 0;
    for (size_t i = 0; i < frames; ++i) {
        float x = in.channels == 2 ? 0.5f * (in.samples[2 * i] + in.samples[2 * i + 1]) : in.samples[i];
        float l = lineL[idx], r = lineR[idx];
        // left feeds right and right feeds left: the echoes bounce between the sides
        lineL[idx] = lpL.LowPass(x + float(feedback) * r, lowPassHz, in.rate);
        lineR[idx] = lpR.LowPass(float(feedback) * l, lowPassHz, in.rate);
        out.samples[2 * i] = l;
        out.samples[2 * i + 1] = r;
        if (++idx >= d) idx = 0;
    }
    return out;
}

}  // namespace genaudio
