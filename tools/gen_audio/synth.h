// Synthesis building blocks for the audio generator: a deterministic random generator, sample buffers,
// oscillators, noise, envelopes, filters and a few studio effects (delay, reverb).
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace genaudio {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;
constexpr int kEffectRate = 44100;  // effects, jingle and music
constexpr int kSpeechRate = 22050;  // espeak-ng's native rate, kept for the quotes

// xorshift64* : our own generator, so the output never depends on the C library's rand().
struct Rng {
    uint64_t state;
    explicit Rng(uint64_t seed);
    uint64_t Next();
    double Uniform();                    // [0, 1)
    double Bipolar();                    // [-1, 1)
    double Range(double lo, double hi);  // [lo, hi)
    int Int(int lo, int hi);             // lo..hi inclusive
    bool Chance(double p);
};

// A sound: float samples in [-1, 1], interleaved when stereo.
struct Sound {
    int rate = kEffectRate;
    int channels = 1;
    std::vector<float> samples;

    size_t Frames() const { return channels ? samples.size() / channels : 0; }
    double Seconds() const { return double(Frames()) / rate; }
};

Sound MakeMono(double seconds, int rate = kEffectRate);
Sound MakeStereo(double seconds, int rate = kEffectRate);

// Adds src (mono or same channel count) into dst starting at frame `at`, growing dst when needed. A mono
// source added to a stereo destination is panned with constant power (pan -1 left .. +1 right).
void MixInto(Sound& dst, const Sound& src, double atSeconds, double gain = 1.0, double pan = 0.0);
void Scale(Sound& s, double gain);
double Peak(const Sound& s);
void FadeIn(Sound& s, double seconds);
void FadeOut(Sound& s, double seconds);
void RemoveDc(Sound& s);
// Drops leading and trailing parts quieter than `threshold` (linear), keeping `pad` seconds either side.
void TrimSilence(Sound& s, double threshold, double pad);

inline double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }
inline double DbToGain(double db) { return std::pow(10.0, db / 20.0); }
inline double GainToDb(double g) { return g > 1e-12 ? 20.0 * std::log10(g) : -240.0; }

// ---- Oscillators -------------------------------------------------------------------------------------------

enum class Wave { Sine, Triangle, Saw, Square, Pulse };

// A phase accumulator; band-limited saw and pulse through polyBLEP so high notes do not alias harshly.
struct Osc {
    double phase = 0.0;  // 0..1
    float Next(Wave wave, double freq, double rate, double pulseWidth = 0.5);
};

// ---- Noise -------------------------------------------------------------------------------------------------

struct PinkNoise {  // Paul Kellet's economy filter over white noise
    double b0 = 0, b1 = 0, b2 = 0;
    float Next(Rng& rng);
};

// The 15-bit linear-feedback noise of old sound chips; `shortMode` gives the metallic 93-step loop.
struct LfsrNoise {
    uint16_t reg = 1;
    bool shortMode = false;
    double phase = 0.0;
    float value = 1.0f;
    float Next(double clockHz, double rate);
};

// ---- Envelopes ---------------------------------------------------------------------------------------------

// Attack-decay-sustain-release value at time t of a note held for `hold` seconds.
double Adsr(double t, double attack, double decay, double sustain, double release, double hold);
// Linear attack then exponential decay with time constant tau.
double PercEnv(double t, double attack, double tau);

// ---- Filters -----------------------------------------------------------------------------------------------

// RBJ cookbook biquad, transposed direct form II.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double z1 = 0, z2 = 0;
    void LowPass(double fc, double q, double rate);
    void HighPass(double fc, double q, double rate);
    void BandPass(double fc, double q, double rate);  // constant 0 dB peak gain
    void Peaking(double fc, double q, double gainDb, double rate);
    void HighShelf(double fc, double q, double gainDb, double rate);
    void LowShelf(double fc, double q, double gainDb, double rate);
    float Process(float x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return float(y);
    }
};

// Topology-preserving state-variable filter: cheap to sweep sample by sample.
struct Svf {
    double ic1 = 0, ic2 = 0;
    double low = 0, band = 0, high = 0;
    double k = 1.4, a1 = 0, a2 = 0, a3 = 0;
    void Set(double fc, double q, double rate);  // costs a tan(): call it every few samples when sweeping
    void Tick(float x);
    void Process(float x, double fc, double q, double rate) {
        Set(fc, q, rate);
        Tick(x);
    }
};

struct OnePole {  // simple smoothing low-pass
    double y = 0;
    float LowPass(float x, double fc, double rate) {
        double a = 1.0 - std::exp(-kTwoPi * fc / rate);
        y += a * (x - y);
        return float(y);
    }
};

void ApplyBiquad(Sound& s, Biquad proto);  // the same filter on every channel
void HighPassSound(Sound& s, double fc);
void LowPassSound(Sound& s, double fc);

// ---- Effects -----------------------------------------------------------------------------------------------

// Freeverb-style stereo reverb; returns a stereo sound (the wet signal only, same length as the input).
struct ReverbParams {
    double roomSize = 0.7;  // 0..1
    double damping = 0.4;   // 0..1
    double width = 1.0;
};
Sound ReverbWet(const Sound& in, const ReverbParams& p);
// Turns a mono sound stereo (duplicating) or leaves a stereo one as it is.
Sound ToStereo(const Sound& s);
// Stereo feedback delay (ping-pong), wet only.
Sound PingPongDelay(const Sound& in, double delaySeconds, double feedback, double lowPassHz);

// Soft saturation, keeps |y| < 1.
inline float SoftClip(float x) { return float(std::tanh(x)); }

}  // namespace genaudio
