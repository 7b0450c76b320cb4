#include "levels.h"

#include <algorithm>
#include <deque>

namespace genaudio {

double MeasureLoudness(const Sound& s) {
    size_t frames = s.Frames();
    if (frames == 0) return -240.0;
    // K-weighting: a +4 dB high shelf around 1.5 kHz (the head) and a high-pass at 38 Hz.
    Biquad shelfProto, hpProto;
    shelfProto.HighShelf(1500.0, 0.7071, 4.0, s.rate);
    hpProto.HighPass(38.0, 0.5, s.rate);
    std::vector<double> power(frames, 0.0);  // K-weighted power summed over the played channels
    for (int c = 0; c < s.channels; ++c) {
        Biquad shelf = shelfProto, hp = hpProto;
        for (size_t i = 0; i < frames; ++i) {
            double y = hp.Process(shelf.Process(s.samples[i * s.channels + c]));
            power[i] += y * y;
        }
    }
    if (s.channels == 1)
        for (double& p : power) p *= 2.0;

    size_t block = size_t(0.4 * s.rate), step = size_t(0.1 * s.rate);
    std::vector<double> blocks;
    if (frames <= block) {
        double sum = 0;
        for (double p : power) sum += p;
        blocks.push_back(sum / double(frames));
    } else {
        std::vector<double> prefix(frames + 1, 0.0);
        for (size_t i = 0; i < frames; ++i) prefix[i + 1] = prefix[i] + power[i];
        for (size_t start = 0; start + block <= frames; start += step)
            blocks.push_back((prefix[start + block] - prefix[start]) / double(block));
    }
    auto lufs = [](double meanPower) { return meanPower > 0 ? -0.691 + 10.0 * std::log10(meanPower) : -240.0; };
    auto gatedMean = [&](double gate) {
        double sum = 0;
        int n = 0;
        for (double b : blocks)
            if (lufs(b) > gate) sum += b, ++n;
        return n ? sum / n : 0.0;
    };
    double absolute = gatedMean(-70.0);
    if (absolute <= 0) return -240.0;
    double relative = gatedMean(lufs(absolute) - 10.0);
    return lufs(relative > 0 ? relative : absolute);
}

void Limit(Sound& s, double ceiling, double lookaheadSeconds, double releaseSeconds) {
    size_t frames = s.Frames();
    if (frames == 0) return;
    size_t la = std::max<size_t>(1, size_t(lookaheadSeconds * s.rate));
    // gain each frame needs on its own
    std::vector<double> need(frames, 1.0);
    bool any = false;
    for (size_t i = 0; i < frames; ++i) {
        double p = 0;
        for (int c = 0; c < s.channels; ++c) p = std::max(p, double(std::fabs(s.samples[i * s.channels + c])));
        if (p > ceiling) need[i] = ceiling / p, any = true;
    }
    if (!any) return;
    // forward minimum over the next `la` frames (monotonic deque)
    std::vector<double> ahead(frames);
    std::deque<size_t> q;
    for (size_t i = frames; i-- > 0;) {
        while (!q.empty() && need[q.back()] >= need[i]) q.pop_back();
        q.push_back(i);
        while (q.front() >= i + la) q.pop_front();
        ahead[i] = need[q.front()];
    }
    // A box average over the previous `la` frames of that minimum never exceeds the need at a peak, because every
    // frame in the box saw the peak in its own look-ahead: the gain is down in time and moves smoothly.
    std::vector<double> smooth(frames);
    double sum = 0;
    for (size_t i = 0; i < frames; ++i) {
        sum += ahead[i];
        if (i >= la) sum -= ahead[i - la];
        size_t n = std::min(i + 1, la);
        smooth[i] = (sum + double(la - n)) / double(la);  // frames before the start count as gain 1
        smooth[i] = std::min(smooth[i], ahead[i]);
    }
    double rel = std::exp(-1.0 / (releaseSeconds * s.rate));
    double g = 1.0;
    for (size_t i = 0; i < frames; ++i) {
        g = std::min(smooth[i], 1.0 - (1.0 - g) * rel);
        for (int c = 0; c < s.channels; ++c) {
            float& x = s.samples[i * s.channels + c];
            x = float(x * g);
            x = std::clamp(x, float(-ceiling), float(ceiling));  // numerical safety only
        }
    }
}

double NormaliseLoudness(Sound& s, double targetLufs, double ceilingDb) {
    double ceiling = DbToGain(ceilingDb);
    for (int pass = 0; pass < 4; ++pass) {
        double now = MeasureLoudness(s);
        if (now < -200) return now;
        double gainDb = targetLufs - now;
        if (std::fabs(gainDb) < 0.1 && Peak(s) <= ceiling) return now;
        // never push more than 12 dB into the limiter at once
        gainDb = std::min(gainDb, 12.0);
        Scale(s, DbToGain(gainDb));
        Limit(s, ceiling);
    }
    return MeasureLoudness(s);
}

}  // namespace genaudio
