// The art generator's PNG files: each picture in the smallest colour type that holds it, written by the tools' PNG
// writer.

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <unordered_map>

#include "tools/common/png_write.h"
#include "writers.h"

namespace art {

Rgba8Image ToRgba8(const Image& img, bool bleed) {
    Rgba8Image out;
    out.width = img.width;
    out.height = img.height;
    out.bytes.resize(static_cast<size_t>(img.width) * img.height * 4);
    auto q = [](float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        const Rgba& p = img.pixels[i];
        std::uint8_t a = q(p.a);
        out.bytes[i * 4 + 0] = a ? q(p.r) : 0;
        out.bytes[i * 4 + 1] = a ? q(p.g) : 0;
        out.bytes[i * 4 + 2] = a ? q(p.b) : 0;
        out.bytes[i * 4 + 3] = a;
    }
    if (!bleed) return out;
    // Breadth-first from every visible pixel: each transparent pixel gets the colour of the nearest one.
    int w = img.width, h = img.height;
    std::vector<std::uint8_t> done(static_cast<size_t>(w) * h, 0);
    std::vector<int> queue;
    queue.reserve(done.size());
    for (int i = 0; i < w * h; ++i)
        if (out.bytes[static_cast<size_t>(i) * 4 + 3]) { done[i] = 1; queue.push_back(i); }
    if (queue.empty()) return out;
    for (size_t head = 0; head < queue.size(); ++head) {
        int i = queue[head], x = i % w, y = i / w;
        const int nx[4] = {x - 1, x + 1, x, x};
        const int ny[4] = {y, y, y - 1, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
            int n = ny[k] * w + nx[k];
            if (done[n]) continue;
            done[n] = 1;
            for (int c = 0; c < 3; ++c) out.bytes[static_cast<size_t>(n) * 4 + c] = out.bytes[static_cast<size_t>(i) * 4 + c];
            queue.push_back(n);
        }
    }
    return out;
}

std::string EncodePng(const Rgba8Image& img) {
    const int w = img.width, h = img.height;
    const size_t count = static_cast<size_t>(w) * h;
    auto pixelAt = [&](size_t i) {
        return static_cast<std::uint32_t>(img.bytes[i * 4]) << 24 | static_cast<std::uint32_t>(img.bytes[i * 4 + 1]) << 16 |
               static_cast<std::uint32_t>(img.bytes[i * 4 + 2]) << 8 | img.bytes[i * 4 + 3];
    };
    // Distinct colours, up to one more than a palette holds.
    std::unordered_map<std::uint32_t, int> colours;
    bool opaque = true;
    for (size_t i = 0; i < count; ++i) {
        if (img.bytes[i * 4 + 3] != 255) opaque = false;
        if (colours.size() <= 256) colours.emplace(pixelAt(i), 0);
    }

    int colourType, depth = 8;
    std::vector<std::uint8_t> raw;
    std::string plte, trns;
    if (colours.size() <= 256) {
        colourType = 3;
        // Translucent entries first, so the tRNS chunk stays short; then by value, for a fixed order.
        std::vector<std::uint32_t> list;
        for (auto& kv : colours) list.push_back(kv.first);
        std::sort(list.begin(), list.end(), [](std::uint32_t a, std::uint32_t b) {
            bool ta = (a & 255) != 255, tb = (b & 255) != 255;
            if (ta != tb) return ta;
            return a < b;
        });
        for (size_t k = 0; k < list.size(); ++k) {
            colours[list[k]] = static_cast<int>(k);
            plte.push_back(static_cast<char>(list[k] >> 24));
            plte.push_back(static_cast<char>(list[k] >> 16));
            plte.push_back(static_cast<char>(list[k] >> 8));
            if ((list[k] & 255) != 255) trns.push_back(static_cast<char>(list[k] & 255));
        }
        depth = list.size() <= 2 ? 1 : list.size() <= 4 ? 2 : list.size() <= 16 ? 4 : 8;
        const int rowBytes = (w * depth + 7) / 8;
        raw.assign(static_cast<size_t>(rowBytes) * h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int index = colours[pixelAt(static_cast<size_t>(y) * w + x)];
                int bit = x * depth;
                raw[static_cast<size_t>(y) * rowBytes + bit / 8] |= static_cast<std::uint8_t>(index << (8 - depth - bit % 8));
            }
    } else {
        colourType = opaque ? 2 : 6;
        const int bpp = opaque ? 3 : 4;
        raw.resize(static_cast<size_t>(w) * bpp * h);
        for (size_t i = 0; i < count; ++i)
            for (int c = 0; c < bpp; ++c) raw[i * bpp + c] = img.bytes[i * 4 + c];
    }

    PngPicture picture{w, h, depth, colourType, std::move(raw), std::move(plte), std::move(trns)};
    return ::EncodePng(picture, colourType == 3 ? PngRowFilter::None : PngRowFilter::Adaptive);
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "kolbrix-gen-art: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "kolbrix-gen-art: cannot write %s\n", path.c_str());
    return ok;
}

bool WritePng(const std::string& path, const Rgba8Image& img) { return WriteFileBytes(path, EncodePng(img)); }

bool WritePng(const std::string& path, const Image& img, bool bleed) { return WritePng(path, ToRgba8(img, bleed)); }

}  // namespace art
