// The 1994 effects: a small virtual sound chip (two pulse channels, a stepped triangle, a linear-feedback noise
// channel) driven once per 1/60 s frame, with 4-bit volumes and an 8-bit output, the way an early-nineties
// game would have made them.
#include <algorithm>
#include <functional>

#include "sounds.h"

namespace genaudio {

namespace {

constexpr double kRate = kEffectRate;
constexpr double kFrameRate = 60.0;

struct ChipVoice {
    double freq = 0;    // Hz; noise: the shift-register clock
    int volume = 0;     // 0..15
    double duty = 0.5;  // pulse only
    bool shortNoise = false;
};

struct ChipFrame {
    ChipVoice pulse1, pulse2, triangle, noise;
};

using FrameFunction = std::function<void(int frame, ChipFrame& regs)>;

Sound RenderChip(int frames, const FrameFunction& program) {
    Sound s = MakeMono(frames / kFrameRate + 0.05);
    double phase1 = 0, phase2 = 0, phaseT = 0;
    LfsrNoise noise;
    OnePole speaker;
    // Volumes glide over about a millisecond: the steps of the 4-bit envelopes and the note ends stay audible as
    // the chip's character but do not click.
    OnePole vol1, vol2, volT, volN;
    double dcState = 0;
    size_t perFrame = size_t(kRate / kFrameRate);
    ChipFrame regs;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        if (i % perFrame == 0) {
            int frame = int(i / perFrame);
            regs = ChipFrame();
            if (frame < frames) program(frame, regs);
        }
        auto level = [](OnePole& smooth, const ChipVoice& v) {
            return smooth.LowPass(v.freq > 0 ? float(std::clamp(v.volume, 0, 15) / 15.0) : 0.0f, 160.0, kRate);
        };
        auto pulse = [&](double& phase, const ChipVoice& v, OnePole& smooth) {
            double gain = level(smooth, v);
            if (v.freq > 0) {
                phase += v.freq / kRate;
                phase -= std::floor(phase);
            }
            return (phase < v.duty ? 1.0 : -1.0) * gain;
        };
        double p1 = pulse(phase1, regs.pulse1, vol1);
        double p2 = pulse(phase2, regs.pulse2, vol2);
        double triGain = level(volT, regs.triangle);
        if (regs.triangle.freq > 0) {
            phaseT += regs.triangle.freq / kRate;
            phaseT -= std::floor(phaseT);
        }
        // 32-step triangle, as the chip's sequencer counts it
        int step = int(phaseT * 32.0);
        int triLevel = step < 16 ? 15 - step : step - 16;
        double tri = (triLevel / 7.5 - 1.0) * triGain;
        double noiseGain = level(volN, regs.noise);
        noise.shortMode = regs.noise.shortNoise;
        double nz = noise.Next(regs.noise.freq > 0 ? regs.noise.freq : 1000.0, kRate) * noiseGain;
        double mix = 0.28 * (p1 + p2) + 0.38 * tri + 0.3 * nz;
        // 8-bit output stage, a coupling capacitor and a small speaker's top end
        mix = std::round(mix * 127.0) / 127.0;
        dcState += 0.0008 * (mix - dcState);
        s.samples[i] = speaker.LowPass(float(mix - dcState), 9000.0, kRate);
    }
    FadeOut(s, 0.01);
    return s;
}

int Decay(int start, int frame, int every) { return std::max(0, start - frame / every); }

}  // namespace

Sound MakeChipFlag() {
    // a fast C major arpeggio on a thin pulse with a quieter echo three frames behind
    const double arp[] = {MidiToHz(84), MidiToHz(88), MidiToHz(91), MidiToHz(96)};
    return RenderChip(22, [&](int f, ChipFrame& r) {
        r.pulse1 = {arp[(f / 2) % 4], f < 8 ? 15 : Decay(15, f - 8, 1), 0.125};
        if (f >= 3) r.pulse2 = {arp[((f - 3) / 2) % 4], f < 11 ? 6 : Decay(6, f - 11, 2), 0.125};
    });
}

Sound MakeChipBomb() {
    // a square "bloop" that dives and springs back up, with a tick of noise
    return RenderChip(20, [](int f, ChipFrame& r) {
        double freq = f < 8 ? 880.0 * std::pow(0.25, f / 8.0) : 220.0 * std::pow(3.0, (f - 8) / 6.0);
        if (f < 14) r.pulse1 = {freq, f < 10 ? 14 : Decay(14, f - 10, 1) - 6, 0.5};
        if (f >= 14) r.pulse1 = {660.0, Decay(8, f - 14, 1), 0.5};
        if (f < 3) r.noise = {12000.0, 10 - 3 * f, 0.5, true};
    });
}

Sound MakeChipExplode() {
    // long-mode noise whose clock falls as it fades, over a triangle thump
    return RenderChip(66, [](int f, ChipFrame& r) {
        r.noise = {20000.0 * std::pow(0.08, f / 66.0), Decay(15, f, 4), 0.5, false};
        if (f < 14) r.triangle = {110.0 * std::pow(0.36, f / 14.0), 15, 0.5};
    });
}

Sound MakeChipWin() {
    // C5 E5 G5 C6, a breath, G5 and a held C6 with vibrato; a third below on the second pulse; triangle bass
    struct Note {
        int start, length, midi;
    };
    const Note melody[] = {{0, 6, 72}, {6, 6, 76}, {12, 6, 79}, {18, 9, 84}, {30, 6, 79}, {36, 42, 84}};
    const Note bass[] = {{0, 18, 48}, {18, 12, 43}, {30, 48, 48}};
    return RenderChip(80, [&](int f, ChipFrame& r) {
        for (const Note& n : melody) {
            if (f < n.start || f >= n.start + n.length) continue;
            int t = f - n.start;
            double vib = t > 12 ? 1.0 + 0.01 * std::sin(t * 0.9) : 1.0;
            int vol = n.length > 12 ? Decay(15, t, 4) + 4 : Decay(15, t, 2);
            r.pulse1 = {MidiToHz(n.midi) * vib, std::min(15, vol), 0.25};
            r.pulse2 = {MidiToHz(n.midi - (n.midi % 12 == 0 ? 5 : 3)) * vib, std::min(15, vol) / 2, 0.5};
        }
        for (const Note& n : bass)
            if (f >= n.start && f < n.start + n.length)
                r.triangle = {MidiToHz(n.midi), f - n.start < n.length - 2 ? 15 : 0, 0.5};
    });
}

Sound MakeChipLose() {
    // four falling notes; the last one slides down with a wobble while it fades
    return RenderChip(78, [](int f, ChipFrame& r) {
        const int midi[] = {67, 66, 65, 64};
        int n = std::min(3, f / 12);
        int t = f - n * 12;
        double m = midi[n];
        int vol = 13;
        if (n == 3) {
            m -= std::min(1.0, t / 40.0) * 5.0 - 0.3 * std::sin(t * 0.8);
            vol = Decay(14, t, 5);
        } else if (t >= 10) {
            vol = 0;
        }
        r.pulse1 = {MidiToHz(m), vol, 0.25};
        r.triangle = {MidiToHz(m - 12), vol > 0 ? 15 : 0, 0.5};
    });
}

}  // namespace genaudio
