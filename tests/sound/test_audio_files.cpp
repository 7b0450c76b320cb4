// The generated sound files: every effect, quote and track is there, decodes, is neither silent nor clipping, sits
// at the level of its kind, and the music loops without a click.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string GameFolder = std::string(KOLBRIX_GAME_DIR) + "/";

struct Decoded {
    bool ok = false;
    int rate = 0, channels = 0;
    std::vector<float> samples;  // interleaved
    double Seconds() const { return channels && rate ? double(samples.size()) / channels / rate : 0.0; }
};

Decoded Decode(const std::string& path) {
    Decoded d;
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) return d;
    const vorbis_info* info = ov_info(&vf, -1);
    if (info == nullptr) {
        ov_clear(&vf);
        return d;
    }
    d.rate = int(info->rate);
    d.channels = info->channels;
    int section = 0;
    for (;;) {
        float** pcm = nullptr;
        long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n == 0) break;
        if (n == OV_HOLE) continue;
        if (n < 0) {
            ov_clear(&vf);
            return d;
        }
        for (long i = 0; i < n; ++i)
            for (int c = 0; c < d.channels; ++c) d.samples.push_back(pcm[c][i]);
    }
    ov_clear(&vf);
    d.ok = !d.samples.empty();
    return d;
}

double PeakDb(const Decoded& d) {
    float peak = 0;
    for (float x : d.samples) peak = std::max(peak, std::fabs(x));
    return peak > 0 ? 20.0 * std::log10(peak) : -240.0;
}

// Loudness in LUFS (K-weighted, gated 400 ms blocks) as a stereo device plays the file: a mono file counts in both
// channels.
double Loudness(const Decoded& d) {
    struct Biquad {
        double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
        double Run(double x) {
            double y = b0 * x + z1;
            z1 = b1 * x - a1 * y + z2;
            z2 = b2 * x - a2 * y;
            return y;
        }
    };
    const double pi = 3.14159265358979323846;
    auto shelf = [&]() {
        double A = std::pow(10.0, 4.0 / 40.0), w = 2 * pi * 1500.0 / d.rate, c = std::cos(w);
        double al = std::sin(w) / (2 * 0.7071), sa = 2 * std::sqrt(A) * al, a0 = (A + 1) - (A - 1) * c + sa;
        return Biquad{A * ((A + 1) + (A - 1) * c + sa) / a0, -2 * A * ((A - 1) + (A + 1) * c) / a0,
                      A * ((A + 1) + (A - 1) * c - sa) / a0, 2 * ((A - 1) - (A + 1) * c) / a0,
                      ((A + 1) - (A - 1) * c - sa) / a0};
    };
    auto highPass = [&]() {
        double w = 2 * pi * 38.0 / d.rate, c = std::cos(w), al = std::sin(w) / (2 * 0.5), a0 = 1 + al;
        return Biquad{(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - al) / a0};
    };
    size_t frames = d.samples.size() / d.channels;
    std::vector<double> power(frames, 0.0);
    for (int ch = 0; ch < d.channels; ++ch) {
        Biquad s = shelf(), h = highPass();
        for (size_t i = 0; i < frames; ++i) {
            double y = h.Run(s.Run(d.samples[i * d.channels + ch]));
            power[i] += (d.channels == 1 ? 2.0 : 1.0) * y * y;
        }
    }
    size_t block = size_t(0.4 * d.rate), step = size_t(0.1 * d.rate);
    std::vector<double> blocks;
    for (size_t start = 0; start == 0 || start + block <= frames; start += step) {
        size_t end = std::min(frames, start + block);
        double sum = 0;
        for (size_t i = start; i < end; ++i) sum += power[i];
        blocks.push_back(sum / double(end - start));
        if (end == frames) break;
    }
    auto lufs = [](double p) { return p > 0 ? -0.691 + 10 * std::log10(p) : -240.0; };
    auto gated = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (double b : blocks)
            if (lufs(b) > gate) sum += b, ++n;
        return n ? sum / n : 0.0;
    };
    double absolute = gated(-70.0);
    double relative = gated(lufs(absolute) - 10.0);
    return lufs(relative > 0 ? relative : absolute);
}

std::vector<std::string> EffectAndQuoteFiles() {
    std::vector<std::string> names = {"bump.ogg",     "flag.ogg",     "bomb.ogg",        "explode.ogg",
                                      "win.ogg",      "lose.ogg",     "orlo.ogg",        "lock.ogg",
                                      "countdown.ogg", "1994flag.ogg", "1994bomb.ogg",   "1994explode.ogg",
                                      "1994win.ogg",  "1994lose.ogg"};
    for (int n = 1; n <= 81; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "quote%02d.ogg", n);
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> MusicFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(GameFolder + "audio", ec))
        if (entry.is_regular_file() && entry.path().extension() == ".ogg") names.push_back("audio/" + entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Neither silent nor clipping: a peak between -20 and -1 dBFS.
void ExpectLevelsSound(const std::string& name, const Decoded& d) {
    double peak = PeakDb(d);
    EXPECT_LE(peak, -1.0) << name << " clips";
    EXPECT_GE(peak, -20.0) << name << " is (nearly) silent";
}

TEST(GeneratedAudio, EveryEffectAndQuoteDecodesAtAnEvenLevel) {
    for (const std::string& name : EffectAndQuoteFiles()) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(std::filesystem::is_regular_file(GameFolder + name)) << "missing in " << GameFolder;
        Decoded d = Decode(GameFolder + name);
        ASSERT_TRUE(d.ok) << "does not decode";
        EXPECT_TRUE(d.rate == 22050 || d.rate == 44100) << d.rate;
        EXPECT_GT(d.Seconds(), 0.1);
        EXPECT_LT(d.Seconds(), 6.0) << "effects and quotes are short";
        ExpectLevelsSound(name, d);
        double lufs = Loudness(d);
        EXPECT_NEAR(lufs, -16.0, 2.0) << "effects and quotes share one loudness";
    }
}

TEST(GeneratedAudio, MusicTracksLastOneToThreeMinutesAndLoopCleanly) {
    std::vector<std::string> tracks = MusicFiles();
    ASSERT_GE(tracks.size(), 3u) << "music in " << GameFolder << "audio/";
    for (const std::string& name : tracks) {
        SCOPED_TRACE(name);
        Decoded d = Decode(GameFolder + name);
        ASSERT_TRUE(d.ok) << "does not decode";
        EXPECT_GE(d.Seconds(), 60.0);
        EXPECT_LE(d.Seconds(), 180.0);
        ExpectLevelsSound(name, d);
        // a little quieter than the effects and quotes
        double lufs = Loudness(d);
        EXPECT_LT(lufs, -16.5);
        EXPECT_GT(lufs, -24.0);
        // The loop point: the track fades in and out over a few milliseconds, so whether the player loops it
        // straight or restarts it after a pause, nothing jumps. A track cut anywhere else starts at the level of
        // its music (the quiet pad intros are several times above this limit).
        size_t edge = size_t(d.rate / 1000) * d.channels;  // 1 ms
        auto rms = [&](size_t from) {
            double sum = 0;
            for (size_t i = from; i < from + edge; ++i) sum += double(d.samples[i]) * d.samples[i];
            return std::sqrt(sum / double(edge));
        };
        EXPECT_LT(rms(0), 0.012) << "the first millisecond is not faded in";
        EXPECT_LT(rms(d.samples.size() - edge), 0.012) << "the last millisecond is not faded out";
    }
}

TEST(GeneratedAudio, AllAudioTogetherStaysUnderTwentyMegabytes) {
    std::uintmax_t total = 0;
    for (const std::string& name : EffectAndQuoteFiles()) {
        std::error_code ec;
        std::uintmax_t size = std::filesystem::file_size(GameFolder + name, ec);
        if (!ec) total += size;
    }
    for (const std::string& name : MusicFiles()) total += std::filesystem::file_size(GameFolder + name);
    EXPECT_LT(total, 20u * 1000u * 1000u);
    EXPECT_GT(total, 0u);
}

}  // namespace
