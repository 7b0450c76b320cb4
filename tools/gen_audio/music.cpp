// The music composer: each track is a plan of sections over chord progressions; the composer writes drums,
// bass, pads, chords, arpeggios and two generated melodic themes into note events, and the renderer plays them
// through the instruments into a loop whose end runs straight into its beginning.
#include <algorithm>
#include <functional>

#include "instruments.h"
#include "sounds.h"

namespace genaudio {

namespace {

constexpr double kRate = kEffectRate;

const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
const int kDorian[7] = {0, 2, 3, 5, 7, 9, 10};
const int kPhrygian[7] = {0, 1, 3, 5, 7, 8, 10};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

struct Key {
    int root;  // midi note of degree 0
    const int* mode;
    int Note(int degree) const {
        int octave = FloorDiv(degree, 7);
        return root + 12 * octave + mode[degree - 7 * octave];
    }
};

struct NoteEvent {
    Instrument instrument;
    double beat, beats, midi, velocity;
    double gain, pan, reverb, delay;
};

enum class DrumStyle { Soft, Four, Break, Shuffle };
enum class BassStyle { Soft, Funk, Drive, Walk };
enum class CompStyle { Ballad, Offbeat, Stabs, Shuffle };

struct Section {
    int bars;
    std::vector<int> chords;  // scale degree of each bar's chord, cycled
    int drums = 0;            // 0 none, 1 light, 2 full, 3 half time / breakdown
    bool bass = false, pad = false, comp = false, arp = false;
    int theme = 0;        // 0 none, 1 theme A, 2 theme B
    int themeOctave = 0;  // the theme an octave up when 1
    bool crash = false, fill = false;
};

struct Style {
    std::string fileName, title;
    uint64_t seed;
    double bpm, swing;
    Key key;
    DrumStyle drums;
    BassStyle bass;
    CompStyle compStyle;
    Instrument lead, comp, arp;
    int melodyOctave;  // octaves above the key's root that the melody's degree 0 sits
    bool busyMelody;
    bool arpSixteenths;
    double leadGain, reverbMix, delayBeats, delayFeedback;
    std::vector<Section> sections;
};

// ---- melody ----

struct MelodyNote {
    double beat, beats;  // from the start of the theme
    int degree;
};

using Rhythm = std::vector<std::pair<double, double>>;  // onset and length in beats within one bar

Rhythm PickBarRhythm(Rng& rng, bool busy) {
    static const Rhythm kCalm[] = {{{0, 2}},     {{0, 1.5}, {1.5, 0.5}}, {{0, 1}, {1, 1}}, {{0, 0.5}, {0.5, 1.5}},
                                   {{0.5, 1.5}}, {{0, 1}, {1.5, 0.5}}};
    static const Rhythm kBusy[] = {{{0, 0.5}, {0.5, 0.5}, {1, 1}},
                                   {{0, 0.75}, {0.75, 0.75}, {1.5, 0.5}},
                                   {{0, 0.5}, {0.5, 1}, {1.5, 0.5}},
                                   {{0, 1}, {1, 0.5}, {1.5, 0.5}},
                                   {{0, 0.25}, {0.25, 0.25}, {0.5, 0.5}, {1, 1}},
                                   {{0.5, 0.5}, {1, 0.5}, {1.5, 0.5}},
                                   {{0, 1.5}, {1.5, 0.5}}};
    Rhythm bar;
    for (int half = 0; half < 2; ++half) {
        const Rhythm& cell =
            busy ? kBusy[rng.Int(0, int(std::size(kBusy)) - 1)] : kCalm[rng.Int(0, int(std::size(kCalm)) - 1)];
        for (auto [on, len] : cell) bar.push_back({on + 2.0 * half, len});
    }
    return bar;
}

bool IsChordTone(int degree, int chord) {
    return ((degree - chord) % 7 + 7) % 7 % 2 == 0 && ((degree - chord) % 7 + 7) % 7 != 6;
}

int SnapToChord(int degree, int chord) {
    for (int d = 0; d < 4; ++d) {
        if (IsChordTone(degree + d, chord)) return degree + d;
        if (IsChordTone(degree - d, chord)) return degree - d;
    }
    return degree;
}

int RandomStep(Rng& rng, int degree, int centre) {
    static const int kSteps[] = {0, 1, -1, 1, -1, 1, -1, 2, -2, 2, -2, 3, -3, 4, -4};
    int step = kSteps[rng.Int(0, int(std::size(kSteps)) - 1)];
    // lean back towards the middle of the range
    if (degree > centre + 3 && step > 0 && rng.Chance(0.6)) step = -step;
    if (degree < centre - 3 && step < 0 && rng.Chance(0.6)) step = -step;
    return step;
}

// One phrase of two bars. With `steps` empty it invents a contour and records it; otherwise it replays it
// (a sequence of the motif over new chords), keeping chord tones on the strong beats.
void Phrase(Rng& rng, const std::vector<Rhythm>& rhythm, int firstBar, int start, const std::vector<int>& chords,
            std::vector<int>& steps, std::vector<MelodyNote>& out, int& last) {
    const int lo = -2, hi = 11, centre = 5;
    bool replay = !steps.empty();
    size_t k = 0;
    int degree = start;
    for (size_t b = 0; b < rhythm.size(); ++b) {
        int chord = chords[(firstBar + b) % chords.size()];
        for (auto [on, len] : rhythm[b]) {
            if (k > 0) {
                int step = replay ? steps[std::min(k, steps.size() - 1)] : RandomStep(rng, degree, centre);
                if (!replay) steps.push_back(step);
                degree += step;
            } else if (!replay) {
                steps.push_back(0);
            }
            if (on == 0.0 || on == 2.0) degree = SnapToChord(degree, chord);
            if (degree > hi) degree = 2 * hi - degree;
            if (degree < lo) degree = 2 * lo - degree;
            out.push_back({4.0 * (firstBar + b) + on, len, degree});
            ++k;
        }
    }
    last = degree;
}

// An eight-bar theme: motif, motif again over the next chords, an answer, the motif's first bar and a cadence.
std::vector<MelodyNote> MakeTheme(Rng& rng, const std::vector<int>& chords, bool busy) {
    std::vector<MelodyNote> notes;
    std::vector<Rhythm> motif = {PickBarRhythm(rng, busy), PickBarRhythm(rng, busy)};
    std::vector<Rhythm> answer = {PickBarRhythm(rng, busy), PickBarRhythm(rng, busy)};
    std::vector<int> motifSteps, answerSteps;
    int last = 0;
    Phrase(rng, motif, 0, SnapToChord(7, chords[0]), chords, motifSteps, notes, last);
    Phrase(rng, motif, 2, SnapToChord(last + RandomStep(rng, last, 5), chords[2 % chords.size()]), chords, motifSteps,
           notes, last);
    Phrase(rng, answer, 4, SnapToChord(last + RandomStep(rng, last, 5), chords[4 % chords.size()]), chords, answerSteps,
           notes, last);
    std::vector<Rhythm> closing = {motif[0]};
    std::vector<int> closingSteps(motifSteps.begin(),
                                  motifSteps.begin() + std::min(motifSteps.size(), motif[0].size()));
    Phrase(rng, closing, 6, SnapToChord(last, chords[6 % chords.size()]), chords, closingSteps, notes, last);
    // the cadence: a long chord tone, preferring the chord's root, and a pick-up back into the motif
    int chord = chords[7 % chords.size()];
    int target = chord + 7 * int(std::round((last - chord) / 7.0));
    if (std::abs(target - last) > 3) target = SnapToChord(last, chord);
    notes.push_back({28.0, busy ? 2.5 : 3.0, target});
    if (busy) {
        // two steps that lead into the theme's first note from the side the cadence is on
        int first = notes.front().degree, side = target > first ? 1 : -1;
        notes.push_back({31.0, 0.5, first + 2 * side});
        notes.push_back({31.5, 0.5, first + side});
    }
    return notes;
}

// ---- the composer ----

class Composer {
  public:
    explicit Composer(const Style& style) : style_(style), rng_(style.seed) {}

    int Compose() {
        // the themes follow the chords of the first section that plays them
        for (const Section& s : style_.sections) {
            if (s.theme == 1 && themeA_.empty()) themeA_ = MakeTheme(rng_, Cycle(s.chords, 8), style_.busyMelody);
            if (s.theme == 2 && themeB_.empty()) themeB_ = MakeTheme(rng_, Cycle(s.chords, 8), style_.busyMelody);
        }
        // the chord of every bar of the song, so a bar can look ahead to the next one (wrapping at the loop)
        for (const Section& s : style_.sections)
            for (int b = 0; b < s.bars; ++b) barChords_.push_back(s.chords[b % s.chords.size()]);
        int bar = 0;
        for (size_t i = 0; i < style_.sections.size(); ++i) {
            const Section& s = style_.sections[i];
            for (int b = 0; b < s.bars; ++b, ++bar) {
                int chord = s.chords[b % s.chords.size()];
                int next = barChords_[(bar + 1) % barChords_.size()];
                bool lastBar = b == s.bars - 1;
                if (s.drums) Drums(s, bar, b, lastBar && s.fill);
                if (s.crash && b == 0) Add(Instrument::Crash, bar * 4.0, 2, 60, 0.9, 0.28, -0.3, 0.25, 0);
                if (s.bass) Bass(s, bar, chord, next);
                if (s.pad) Pad(bar, chord);
                if (s.comp) Comp(bar, chord, b);
                if (s.arp) Arp(bar, chord, b);
                if (s.theme) Melody(s, bar, b);
            }
        }
        return bar;
    }

    std::vector<NoteEvent> events;

  private:
    static std::vector<int> Cycle(const std::vector<int>& chords, int n) {
        std::vector<int> out;
        for (int i = 0; i < n; ++i) out.push_back(chords[i % chords.size()]);
        return out;
    }

    void Add(Instrument inst, double beat, double beats, double midi, double velocity, double gain, double pan,
             double reverb, double delay) {
        events.push_back({inst, beat, beats, midi, velocity, gain, pan, reverb, delay});
    }

    void Pattern(Instrument inst, const char* pattern, int bar, double gain, double pan, double reverb,
                 double midi = 60) {
        for (int i = 0; i < 16 && pattern[i]; ++i) {
            double vel = 0;
            switch (pattern[i]) {
                case 'X': vel = 1.0; break;
                case 'x': vel = 0.8; break;
                case 'o': vel = 0.55; break;
                case 'g': vel = 0.3; break;
                default: continue;
            }
            Add(inst, bar * 4.0 + i * 0.25, 0.25, midi, vel, gain, pan, reverb, 0);
        }
    }

    void TomFill(int bar) {
        const double toms[] = {52, 49, 45, 42};
        for (int i = 0; i < 4; ++i)
            Add(Instrument::Tom, bar * 4.0 + 3.0 + 0.25 * i, 0.25, toms[i], 0.7 + 0.1 * i, 0.55, 0.4 - 0.25 * i, 0.2,
                0);
    }

    void Drums(const Section& s, int bar, int barInSection, bool fill) {
        using I = Instrument;
        switch (style_.drums) {
            case DrumStyle::Soft:
                if (s.drums == 1) {
                    Pattern(I::Kick, "x.........o.....", bar, 0.75, 0, 0);
                    Pattern(I::Rim, "....o.......o...", bar, 0.4, -0.15, 0.3);
                    Pattern(I::Shaker, "g.o.g.o.g.o.g.o.", bar, 0.3, 0.35, 0.1);
                } else {
                    Pattern(I::Kick, barInSection % 2 ? "x.........x..o.." : "x.........x.....", bar, 0.8, 0, 0);
                    Pattern(I::Rim, fill ? "....x.......x.xx" : "....x.......x...", bar, 0.45, -0.15, 0.3);
                    Pattern(I::Shaker, "gxgogxgogxgogxgo", bar, 0.28, 0.35, 0.1);
                    Pattern(I::HatOpen, "..............g.", bar, 0.2, 0.3, 0.15);
                }
                break;
            case DrumStyle::Four:
                if (s.drums == 3) {
                    Pattern(I::Clap, "....o.......o...", bar, 0.45, 0.1, 0.35);
                    Pattern(I::HatClosed, "o.g.o.g.o.g.o.g.", bar, 0.22, 0.3, 0.1);
                    break;
                }
                Pattern(I::Kick, fill ? "x...x...x......." : "x...x...x...x...", bar, 0.85, 0, 0);
                Pattern(I::HatOpen, "..o...o...o...o.", bar, 0.2, 0.3, 0.1);
                if (s.drums == 1) {
                    Pattern(I::HatClosed, "o.g.o.g.o.g.o.g.", bar, 0.22, 0.3, 0.05);
                } else {
                    Pattern(I::HatClosed, "ogxgogxgogxgogxg", bar, 0.2, 0.3, 0.05);
                    Pattern(I::Clap, "....x.......x...", bar, 0.5, 0.1, 0.3);
                    Pattern(I::Shaker, "g.g.g.g.g.g.g.g.", bar, 0.2, -0.4, 0.05);
                    if (fill) Pattern(I::Snare, "............oxxX", bar, 0.5, -0.1, 0.2);
                }
                break;
            case DrumStyle::Break:
                if (s.drums == 1) {
                    Pattern(I::Kick, "x.......x.......", bar, 0.85, 0, 0);
                    Pattern(I::HatClosed, "x.o.x.o.x.o.x.o.", bar, 0.24, 0.3, 0.05);
                } else if (s.drums == 3) {
                    Pattern(I::Kick, "x.........x.....", bar, 0.85, 0, 0);
                    Pattern(I::Snare, "........X.......", bar, 0.55, -0.05, 0.35);
                    Pattern(I::HatClosed, "x.o.x.o.x.o.x.o.", bar, 0.2, 0.3, 0.05);
                } else {
                    Pattern(I::Kick, barInSection % 2 ? "x.....x...x..x.." : "x.....x...x.....", bar, 0.85, 0, 0);
                    Pattern(I::Snare, fill ? "....X..........." : "....X.......X...", bar, 0.55, -0.05, 0.2);
                    Pattern(I::Snare, fill ? ".......g.g......" : ".......g.g....g.", bar, 0.4, -0.05, 0.1);
                    Pattern(I::HatClosed, "xgogxgogxgogxgog", bar, 0.22, 0.3, 0.05);
                    if (fill) TomFill(bar);
                }
                break;
            case DrumStyle::Shuffle:
                Pattern(I::Kick, s.drums == 1 ? "x.......x......." : "x.....x.x.......", bar, 0.8, 0, 0);
                Pattern(I::HatClosed, "x.o.x.o.x.o.x.o.", bar, 0.24, 0.3, 0.05);
                if (s.drums >= 2)
                    Pattern(I::Snare, fill ? "....x.......xoxX" : "....x.......x...", bar, 0.5, -0.1, 0.25);
                if (s.drums == 1) Pattern(I::Rim, "....o.......o...", bar, 0.4, -0.1, 0.25);
                break;
        }
    }

    // a chord's root in the bass register, A1..G#2
    int BassRoot(int chord) const {
        int n = style_.key.Note(chord);
        return 33 + ((n - 33) % 12 + 12) % 12;
    }

    void Bass(const Section& s, int bar, int chord, int next) {
        int root = BassRoot(chord);
        int fifth = root + (style_.key.Note(chord + 4) - style_.key.Note(chord) + 120) % 12;
        int seventh = root + (style_.key.Note(chord + 6) - style_.key.Note(chord) + 120) % 12;
        int third = root + (style_.key.Note(chord + 2) - style_.key.Note(chord) + 120) % 12;
        int nextRoot = BassRoot(next);
        int approach = nextRoot == root ? fifth : (nextRoot > root ? nextRoot - 1 : nextRoot + 1);
        double b = bar * 4.0;
        auto note = [&](Instrument inst, double at, double len, int midi, double vel) {
            Add(inst, b + at, len, midi, vel, 0.7, 0, 0, 0);
        };
        using I = Instrument;
        if (s.drums == 3) {  // breakdowns hold the root
            Instrument inst = style_.bass == BassStyle::Drive ? I::DriveBass : I::SoftBass;
            note(inst, 0, 3.8, root, 0.6);
            return;
        }
        switch (style_.bass) {
            case BassStyle::Soft:
                note(I::SoftBass, 0, 1.4, root, 0.85);
                note(I::SoftBass, 1.5, 0.4, root, 0.5);
                note(I::SoftBass, 2, 1.4, fifth - (fifth > 45 ? 12 : 0), 0.7);
                note(I::SoftBass, 3.5, 0.4, approach, 0.55);
                break;
            case BassStyle::Funk:
                if (bar % 2 == 0) {
                    note(I::FunkBass, 0, 0.45, root, 1.0);
                    note(I::FunkBass, 0.75, 0.2, root + 12, 0.6);
                    note(I::FunkBass, 1.5, 0.2, root, 0.7);
                    note(I::FunkBass, 2, 0.45, seventh, 0.75);
                    note(I::FunkBass, 2.75, 0.2, root, 0.6);
                    note(I::FunkBass, 3, 0.45, fifth, 0.8);
                    note(I::FunkBass, 3.5, 0.2, root + 12, 0.6);
                    note(I::FunkBass, 3.75, 0.2, approach, 0.7);
                } else {
                    note(I::FunkBass, 0, 0.7, root, 1.0);
                    note(I::FunkBass, 1, 0.2, root, 0.5);
                    note(I::FunkBass, 1.25, 0.2, root + 12, 0.7);
                    note(I::FunkBass, 1.75, 0.2, root, 0.6);
                    note(I::FunkBass, 2.5, 0.45, fifth, 0.8);
                    note(I::FunkBass, 3.25, 0.2, seventh, 0.6);
                    note(I::FunkBass, 3.5, 0.45, approach, 0.8);
                }
                break;
            case BassStyle::Drive: {
                const int line[8] = {root, root, root + 12, root, root, root + 12, fifth, approach};
                for (int i = 0; i < 8; ++i) note(I::DriveBass, 0.5 * i, 0.42, line[i], i % 2 ? 0.7 : 1.0);
                break;
            }
            case BassStyle::Walk: {
                const int line[4] = {root, third, fifth, approach};
                for (int i = 0; i < 4; ++i) note(I::SoftBass, i, 0.85, line[i], i == 0 ? 0.9 : 0.7);
                break;
            }
        }
    }

    // A four-note seventh chord voiced near the previous one, so the harmony moves smoothly.
    std::vector<int> Voicing(int chord, int lo, int hi, std::vector<int>& previous) {
        std::vector<int> classes;
        for (int k = 0; k < 4; ++k) classes.push_back(style_.key.Note(chord + 2 * k));
        std::vector<int> best;
        int bestCost = 1 << 30;
        for (int inversion = 0; inversion < 4; ++inversion) {
            std::vector<int> v;
            int prev = -100;
            for (int k = 0; k < 4; ++k) {
                int n = classes[(inversion + k) % 4];
                while (n <= prev) n += 12;
                while (n - 12 > prev && n - 12 >= lo) n -= 12;
                v.push_back(n);
                prev = n;
            }
            while (v.front() < lo)
                for (int& n : v) n += 12;
            while (v.back() > hi && v.front() - 12 >= lo - 5)
                for (int& n : v) n -= 12;
            int cost = 0;
            for (int k = 0; k < 4; ++k)
                cost += previous.empty() ? std::abs(v[k] - (lo + hi) / 2) : std::abs(v[k] - previous[k]);
            if (cost < bestCost) bestCost = cost, best = v;
        }
        previous = best;
        return best;
    }

    void Pad(int bar, int chord) {
        std::vector<int> v = Voicing(chord, 52, 72, padVoicing_);
        for (int k = 0; k < 4; ++k) Add(Instrument::Pad, bar * 4.0, 3.9, v[k], 0.7, 0.2, -0.5 + k / 3.0, 0.5, 0);
    }

    void Comp(int bar, int chord, int barInSection) {
        std::vector<int> v = Voicing(chord, 55, 74, compVoicing_);
        auto hit = [&](double at, double len, double vel) {
            for (int k = 0; k < 4; ++k)
                Add(style_.comp, bar * 4.0 + at, len, v[k], vel, 0.22, -0.25 + 0.1 * k, 0.35, 0);
        };
        switch (style_.compStyle) {
            case CompStyle::Ballad:
                hit(0, 1.4, 0.6);
                hit(2.5, 1.4, 0.45);
                if (barInSection % 2) hit(1.5, 0.9, 0.35);
                break;
            case CompStyle::Offbeat:
                hit(1.5, 0.35, 0.7);
                hit(3.5, 0.35, 0.7);
                if (barInSection % 4 == 3) hit(2.75, 0.2, 0.5);
                break;
            case CompStyle::Stabs:
                hit(0, 0.3, 0.8);
                hit(0.75, 0.3, 0.6);
                hit(1.5, 0.3, 0.7);
                break;
            case CompStyle::Shuffle:
                for (int beat = 0; beat < 4; ++beat) hit(beat + 0.5, 0.35, beat % 2 ? 0.6 : 0.45);
                break;
        }
    }

    void Arp(int bar, int chord, int barInSection) {
        std::vector<int> tones;
        for (int k = 0; k < 3; ++k) tones.push_back(style_.key.Note(chord + 2 * k));
        tones.push_back(tones[0] + 12);
        int base = tones[0];
        while (base < 62) base += 12, tones = {tones[0] + 12, tones[1] + 12, tones[2] + 12, tones[3] + 12};
        while (base > 74) base -= 12, tones = {tones[0] - 12, tones[1] - 12, tones[2] - 12, tones[3] - 12};
        static const int kUpDown[8] = {0, 1, 2, 3, 2, 1, 2, 1};
        static const int kUp[8] = {0, 1, 2, 3, 0, 1, 2, 3};
        const int* order = barInSection % 2 ? kUpDown : kUp;
        double step = style_.arpSixteenths ? 0.25 : 0.5;
        for (int i = 0; i < int(4.0 / step); ++i) {
            double vel = (i % 4 == 0) ? 0.85 : 0.6;
            Add(style_.arp, bar * 4.0 + i * step, step * 0.8, tones[order[i % 8]], vel, 0.2, (i % 2) ? 0.4 : -0.4, 0.3,
                0.35);
        }
    }

    void Melody(const Section& s, int bar, int barInSection) {
        const std::vector<MelodyNote>& theme = s.theme == 1 ? themeA_ : themeB_;
        int themeBar = barInSection % 8;
        for (const MelodyNote& n : theme) {
            if (n.beat < themeBar * 4.0 || n.beat >= themeBar * 4.0 + 4.0) continue;
            double midi = style_.key.Note(n.degree) + 12 * (style_.melodyOctave + s.themeOctave);
            Add(style_.lead, bar * 4.0 + (n.beat - themeBar * 4.0), n.beats * 0.92, midi, 0.8, style_.leadGain, 0.1,
                0.3, 0.3);
        }
    }

    const Style& style_;
    Rng rng_;
    std::vector<MelodyNote> themeA_, themeB_;
    std::vector<int> barChords_;
    std::vector<int> padVoicing_, compVoicing_;
};

// ---- rendering ----

// Beats to seconds, with the off-beat eighths pushed late by `swing` (0 straight .. 1/3 triplet feel).
double BeatToSeconds(double beat, double bpm, double swing) {
    double whole = std::floor(beat), frac = beat - whole;
    double f = frac < 0.5 ? frac * (1.0 + swing) : 0.5 * (1.0 + swing) + (frac - 0.5) * (1.0 - swing);
    return (whole + f) * 60.0 / bpm;
}

// Adds everything past `frames` back onto the start, so the tails at the end ring on over the beginning.
void Fold(Sound& s, size_t frames) {
    size_t total = s.samples.size(), loop = frames * s.channels;
    for (size_t i = loop; i < total; ++i) s.samples[(i - loop) % loop] += s.samples[i];
    s.samples.resize(loop);
}

// Runs a time-invariant process over a loop as if the loop had always been playing: the last `warm` seconds
// go in first to fill the process's memory, and only the loop's own length is kept.
Sound Circular(const Sound& loop, double warm, const std::function<Sound(const Sound&)>& process) {
    size_t frames = loop.Frames();
    size_t warmFrames = std::min(frames, size_t(warm * loop.rate));
    Sound in = loop;
    in.samples.assign(loop.samples.end() - warmFrames * loop.channels, loop.samples.end());
    in.samples.insert(in.samples.end(), loop.samples.begin(), loop.samples.end());
    Sound out = process(in);
    out.samples.erase(out.samples.begin(), out.samples.begin() + warmFrames * out.channels);
    return out;
}

Sound Render(const Style& style, const std::vector<NoteEvent>& events, int bars) {
    double length = bars * 4.0 * 60.0 / style.bpm;
    size_t frames = size_t(std::llround(length * kRate));
    Sound dry = MakeStereo(length + 4.0), reverb = MakeStereo(length + 4.0), delay = MakeStereo(length + 4.0);
    Rng rng(style.seed ^ 0x5EED0F5011D5ull);
    for (const NoteEvent& e : events) {
        double t = BeatToSeconds(e.beat, style.bpm, style.swing);
        bool tight = e.instrument == Instrument::Kick;
        if (!tight) t += rng.Range(-0.004, 0.004);  // a touch of human timing
        if (t < 0) t += length;                     // the loop wraps, so early notes ring at the end
        double velocity = std::clamp(e.velocity * rng.Range(0.93, 1.05), 0.05, 1.0);
        double seconds = e.beats * 60.0 / style.bpm;
        Sound note = RenderNote(e.instrument, e.midi, seconds, velocity, rng);
        MixInto(dry, note, t, e.gain, e.pan);
        if (e.reverb > 0) MixInto(reverb, note, t, e.gain * e.reverb, e.pan);
        if (e.delay > 0) MixInto(delay, note, t, e.gain * e.delay, e.pan);
    }
    Fold(dry, frames);
    Fold(reverb, frames);
    Fold(delay, frames);
    ReverbParams params;
    params.roomSize = 0.78;
    params.damping = 0.45;
    Sound reverbWet = Circular(reverb, 5.0, [&](const Sound& in) { return ReverbWet(in, params); });
    double delaySeconds = style.delayBeats * 60.0 / style.bpm;
    Sound delayWet = Circular(
        delay, 5.0, [&](const Sound& in) { return PingPongDelay(in, delaySeconds, style.delayFeedback, 4500.0); });
    // the delay's echoes also go into the reverb a little, so they sit in the same room
    for (size_t i = 0; i < dry.samples.size(); ++i)
        dry.samples[i] += float(style.reverbMix * reverbWet.samples[i] + 0.55 * delayWet.samples[i]);
    dry = Circular(dry, 1.0, [](const Sound& in) {
        Sound out = in;
        HighPassSound(out, 28.0);
        return out;
    });
    // a few milliseconds of fade at both ends: no click when the player restarts the file after a pause, and
    // only an inaudible dip when it loops without one
    FadeIn(dry, 0.006);
    FadeOut(dry, 0.006);
    return dry;
}

std::vector<Style> Styles() {
    std::vector<Style> styles;
    {
        // the menu: a slow, dreamy D major with electric piano, bells and a soft swing
        Style s;
        s.fileName = "01-daydream.ogg";
        s.title = "Daydream (menu)";
        s.seed = 0xDA7D4EA3;
        s.bpm = 86;
        s.swing = 0.12;
        s.key = {62, kMajor};
        s.drums = DrumStyle::Soft;
        s.bass = BassStyle::Soft;
        s.compStyle = CompStyle::Ballad;
        s.lead = Instrument::Bell;
        s.comp = Instrument::EPiano;
        s.arp = Instrument::Pluck;
        s.melodyOctave = 1;
        s.busyMelody = false;
        s.arpSixteenths = false;
        s.leadGain = 0.42;
        s.reverbMix = 1.0;
        s.delayBeats = 0.75;
        s.delayFeedback = 0.4;
        std::vector<int> p1 = {0, 5, 3, 4}, p2 = {1, 4, 2, 5, 1, 3, 4, 4};
        s.sections = {
            {4, p1, 0, false, true, true, false, 0, 0, false, false},
            {8, p1, 1, true, true, true, false, 1, 0, false, false},
            {8, p2, 2, true, true, true, true, 2, 0, false, true},
            {8, p1, 2, true, false, true, true, 1, 0, false, false},
            {4, p1, 1, true, true, true, false, 0, 0, false, false},
        };
        styles.push_back(s);
    }
    {
        // play: a funky A dorian groove, four on the floor, organ offbeats and a square-wave lead
        Style s;
        s.fileName = "02-roll-along.ogg";
        s.title = "Roll Along (play)";
        s.seed = 0x2011A10E;
        s.bpm = 122;
        s.swing = 0.1;
        s.key = {57, kDorian};
        s.drums = DrumStyle::Four;
        s.bass = BassStyle::Funk;
        s.compStyle = CompStyle::Offbeat;
        s.lead = Instrument::SquareLead;
        s.comp = Instrument::Organ;
        s.arp = Instrument::Pluck;
        s.melodyOctave = 1;
        s.busyMelody = true;
        s.arpSixteenths = true;
        s.leadGain = 0.5;
        s.reverbMix = 0.7;
        s.delayBeats = 0.75;
        s.delayFeedback = 0.35;
        std::vector<int> p1 = {0, 3, 0, 3, 2, 6, 3, 4}, p2 = {2, 6, 3, 0, 2, 6, 3, 4};
        s.sections = {
            {4, p1, 1, true, false, false, false, 0, 0, false, false},
            {8, p1, 2, true, false, false, true, 1, 0, true, false},
            {8, p1, 2, true, true, true, true, 1, 1, false, true},
            {8, p2, 2, true, true, true, false, 2, 0, true, true},
            {4, p1, 3, false, true, false, true, 0, 0, false, false},
            {8, p1, 2, true, false, true, true, 1, 0, true, true},
            {4, p1, 1, true, false, false, false, 0, 0, false, false},
        };
        styles.push_back(s);
    }
    {
        // play: a tense, driving E phrygian with broken beats, saw lead and stabs
        Style s;
        s.fileName = "03-short-fuse.ogg";
        s.title = "Short Fuse (play)";
        s.seed = 0xF05EF05E;
        s.bpm = 140;
        s.swing = 0.0;
        s.key = {52, kPhrygian};
        s.drums = DrumStyle::Break;
        s.bass = BassStyle::Drive;
        s.compStyle = CompStyle::Stabs;
        s.lead = Instrument::SawLead;
        s.comp = Instrument::Stab;
        s.arp = Instrument::Pluck;
        s.melodyOctave = 1;
        s.busyMelody = true;
        s.arpSixteenths = true;
        s.leadGain = 0.5;
        s.reverbMix = 0.6;
        s.delayBeats = 0.75;
        s.delayFeedback = 0.3;
        std::vector<int> p1 = {0, 1, 0, 6, 0, 1, 5, 6}, p2 = {5, 6, 0, 0, 5, 6, 1, 1}, p3 = {3, 3, 5, 5, 3, 3, 1, 1};
        s.sections = {
            {4, p1, 1, true, false, false, false, 0, 0, false, false},
            {8, p1, 2, true, false, true, false, 1, 0, true, false},
            {8, p2, 2, true, true, false, true, 2, 0, true, true},
            {8, p1, 2, true, false, true, true, 1, 0, true, false},
            {8, p3, 3, true, true, false, true, 0, 0, true, false},
            {8, p1, 2, true, true, true, true, 1, 1, true, true},
            {4, p1, 1, true, false, false, false, 0, 0, false, false},
        };
        styles.push_back(s);
    }
    {
        // play: a cheerful F major shuffle with a walking bass, electric piano and an organ tune
        Style s;
        s.fileName = "04-bounce.ogg";
        s.title = "Bounce (play)";
        s.seed = 0xB0B0CE;
        s.bpm = 108;
        s.swing = 0.3;
        s.key = {53, kMajor};
        s.drums = DrumStyle::Shuffle;
        s.bass = BassStyle::Walk;
        s.compStyle = CompStyle::Shuffle;
        s.lead = Instrument::Organ;
        s.comp = Instrument::EPiano;
        s.arp = Instrument::Pluck;
        s.melodyOctave = 1;
        s.busyMelody = true;
        s.arpSixteenths = false;
        s.leadGain = 0.55;
        s.reverbMix = 0.6;
        s.delayBeats = 1.0;
        s.delayFeedback = 0.25;
        std::vector<int> p1 = {0, 3, 0, 4, 0, 3, 4, 0}, p2 = {3, 3, 0, 0, 1, 4, 0, 4};
        s.sections = {
            {4, p1, 1, true, false, true, false, 0, 0, false, false},
            {8, p1, 2, true, false, true, false, 1, 0, true, false},
            {8, p1, 2, true, false, true, true, 1, 1, false, true},
            {8, p2, 2, true, true, true, false, 2, 0, true, true},
            {8, p1, 2, true, false, true, true, 1, 0, true, true},
            {4, p1, 1, true, false, true, false, 0, 0, false, false},
        };
        styles.push_back(s);
    }
    return styles;
}

}  // namespace

std::vector<MusicTrack> ComposeMusic() {
    std::vector<MusicTrack> tracks;
    for (const Style& style : Styles()) {
        Composer composer(style);
        int bars = composer.Compose();
        MusicTrack t;
        t.fileName = style.fileName;
        t.title = style.title;
        t.sound = Render(style, composer.events, bars);
        tracks.push_back(std::move(t));
    }
    return tracks;
}

}  // namespace genaudio
