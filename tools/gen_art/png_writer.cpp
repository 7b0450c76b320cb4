// PNG encoder: chunk framing and filtering here, compression and CRC from zlib.
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <unordered_map>

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

namespace {

void PutU32(std::string& s, std::uint32_t v) {
    s.push_back(static_cast<char>(v >> 24));
    s.push_back(static_cast<char>(v >> 16));
    s.push_back(static_cast<char>(v >> 8));
    s.push_back(static_cast<char>(v));
}

void PutChunk(std::string& png, const char* type, const std::string& data) {
    PutU32(png, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    PutU32(png, static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

inline std::uint8_t Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    if (pb <= pc) return static_cast<std::uint8_t>(b);
    return static_cast<std::uint8_t>(c);
}

// Filters every row; with `adaptive`, each row takes the filter whose output has the smallest sum of
// absolute values (the usual heuristic), else filter 0 (best for palette images).
std::string FilterRows(const std::vector<std::uint8_t>& raw, int rowBytes, int rows, int bpp, bool adaptive) {
    std::string out;
    out.reserve(static_cast<size_t>(rowBytes + 1) * rows);
    std::vector<std::uint8_t> zero(static_cast<size_t>(rowBytes), 0), cand[5];
    for (auto& c : cand) c.resize(static_cast<size_t>(rowBytes));
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* cur = raw.data() + static_cast<size_t>(y) * rowBytes;
        const std::uint8_t* up = y ? cur - rowBytes : zero.data();
        if (!adaptive) {
            out.push_back(0);
            out.append(reinterpret_cast<const char*>(cur), static_cast<size_t>(rowBytes));
            continue;
        }
        for (int i = 0; i < rowBytes; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
            cand[0][i] = cur[i];
            cand[1][i] = static_cast<std::uint8_t>(cur[i] - a);
            cand[2][i] = static_cast<std::uint8_t>(cur[i] - b);
            cand[3][i] = static_cast<std::uint8_t>(cur[i] - ((a + b) >> 1));
            cand[4][i] = static_cast<std::uint8_t>(cur[i] - Paeth(a, b, c));
        }
        int best = 0;
        long bestSum = -1;
        for (int f = 0; f < 5; ++f) {
            long sum = 0;
            for (int i = 0; i < rowBytes; ++i) sum += std::abs(static_cast<int>(static_cast<std::int8_t>(cand[f][i])));
            if (bestSum < 0 || sum < bestSum) { bestSum = sum; best = f; }
        }
        out.push_back(static_cast<char>(best));
        out.append(reinterpret_cast<const char*>(cand[best].data()), static_cast<size_t>(rowBytes));
    }
    return out;
}

}  // namespace

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

    int colourType, depth = 8, bpp;
    std::vector<std::uint8_t> raw;
    int rowBytes;
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
        rowBytes = (w * depth + 7) / 8;
        bpp = 1;
        raw.assign(static_cast<size_t>(rowBytes) * h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int index = colours[pixelAt(static_cast<size_t>(y) * w + x)];
                int bit = x * depth;
                raw[static_cast<size_t>(y) * rowBytes + bit / 8] |= static_cast<std::uint8_t>(index << (8 - depth - bit % 8));
            }
    } else {
        colourType = opaque ? 2 : 6;
        bpp = opaque ? 3 : 4;
        rowBytes = w * bpp;
        raw.resize(static_cast<size_t>(rowBytes) * h);
        for (size_t i = 0; i < count; ++i)
            for (int c = 0; c < bpp; ++c) raw[i * bpp + c] = img.bytes[i * 4 + c];
    }

    std::string filtered = FilterRows(raw, rowBytes, h, bpp, colourType != 3);
    uLongf packedSize = compressBound(static_cast<uLong>(filtered.size()));
    std::string packed(packedSize, '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(filtered.data()),
              static_cast<uLong>(filtered.size()), 6);
    packed.resize(packedSize);

    std::string png = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    PutU32(ihdr, static_cast<std::uint32_t>(w));
    PutU32(ihdr, static_cast<std::uint32_t>(h));
    ihdr.push_back(static_cast<char>(depth));
    ihdr.push_back(static_cast<char>(colourType));
    ihdr.push_back(0);   // deflate
    ihdr.push_back(0);   // adaptive filtering
    ihdr.push_back(0);   // no interlace
    PutChunk(png, "IHDR", ihdr);
    if (colourType == 3) {
        PutChunk(png, "PLTE", plte);
        if (!trns.empty()) PutChunk(png, "tRNS", trns);
    }
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    return png;
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
