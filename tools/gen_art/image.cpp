// Pixel operations, palettes, random numbers and noise of the art generator.
#include "image.h"

#include <algorithm>

namespace art {

Rgba Image::Sample(float x, float y, bool wrap) const {
    x -= 0.5f;
    y -= 0.5f;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto get = [&](int xx, int yy) { return wrap ? AtWrap(xx, yy) : AtClamp(xx, yy); };
    Rgba a = get(x0, y0), b = get(x0 + 1, y0), c = get(x0, y0 + 1), d = get(x0 + 1, y0 + 1);
    // Alpha-weighted so transparent neighbours do not darken the colour.
    float wa = (1 - fx) * (1 - fy) * a.a, wb = fx * (1 - fy) * b.a, wc = (1 - fx) * fy * c.a, wd = fx * fy * d.a;
    float alpha = wa + wb + wc + wd;
    Rgba out{0, 0, 0, alpha};
    if (alpha > 1e-6f) {
        out.r = (a.r * wa + b.r * wb + c.r * wc + d.r * wd) / alpha;
        out.g = (a.g * wa + b.g * wb + c.g * wc + d.g * wd) / alpha;
        out.b = (a.b * wa + b.b * wb + c.b * wc + d.b * wd) / alpha;
    }
    return out;
}

void BlendOver(Rgba& dst, Rgba src, float coverage) {
    float sa = Clamp01(src.a * coverage);
    if (sa <= 0) return;
    float da = dst.a * (1 - sa);
    float oa = sa + da;
    if (oa <= 1e-6f) { dst = Transparent; return; }
    dst.r = (src.r * sa + dst.r * da) / oa;
    dst.g = (src.g * sa + dst.g * da) / oa;
    dst.b = (src.b * sa + dst.b * da) / oa;
    dst.a = oa;
}

void Composite(Image& base, const Image& top, int x, int y, float opacity) {
    for (int j = 0; j < top.height; ++j) {
        int by = y + j;
        if (by < 0 || by >= base.height) continue;
        for (int i = 0; i < top.width; ++i) {
            int bx = x + i;
            if (bx < 0 || bx >= base.width) continue;
            BlendOver(base.At(bx, by), top.At(i, j), opacity);
        }
    }
}

void CompositeWrap(Image& base, const Image& top, int x, int y) {
    for (int j = 0; j < top.height; ++j)
        for (int i = 0; i < top.width; ++i) BlendOver(base.AtWrap(x + i, y + j), top.At(i, j));
}

void FillAll(Image& img, Rgba c) { std::fill(img.pixels.begin(), img.pixels.end(), c); }

void Paint(Image& img, const std::function<Rgba(float, float)>& f) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) img.At(x, y) = f(x + 0.5f, y + 0.5f);
}

void PaintOver(Image& img, const std::function<Rgba(float, float)>& f) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) BlendOver(img.At(x, y), f(x + 0.5f, y + 0.5f));
}

Image Downscale(const Image& src, int factor) {
    Image out(src.width / factor, src.height / factor);
    float n = static_cast<float>(factor * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    const Rgba& p = src.At(x * factor + i, y * factor + j);
                    r += p.r * p.a; g += p.g * p.a; b += p.b * p.a; a += p.a;
                }
            Rgba& o = out.At(x, y);
            o.a = a / n;
            if (a > 1e-6f) { o.r = r / a; o.g = g / a; o.b = b / a; }
        }
    return out;
}

Image UpscaleNearest(const Image& src, int factor) {
    Image out(src.width * factor, src.height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.At(x, y) = src.At(x / factor, y / factor);
    return out;
}

Image ResizeBilinear(const Image& src, int w, int h) {
    // Shrinking by more than two halves first, so every source pixel counts.
    if (src.width >= 2 * w && src.height >= 2 * h && src.width % 2 == 0 && src.height % 2 == 0)
        return ResizeBilinear(Downscale(src, 2), w, h);
    Image out(w, h);
    float sx = static_cast<float>(src.width) / w, sy = static_cast<float>(src.height) / h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.At(x, y) = src.Sample((x + 0.5f) * sx, (y + 0.5f) * sy, false);
    return out;
}

Image Crop(const Image& src, int x, int y, int w, int h) {
    Image out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.At(i, j) = src.AtClamp(x + i, y + j);
    return out;
}

namespace {

// One horizontal and one vertical running-sum pass over premultiplied values.
void BoxPass(std::vector<Rgba>& px, int w, int h, int radius, bool wrap, bool horizontal) {
    int len = horizontal ? w : h, lines = horizontal ? h : w;
    std::vector<Rgba> line(static_cast<size_t>(len)), out(static_cast<size_t>(len));
    float inv = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        for (int i = 0; i < len; ++i) line[i] = horizontal ? px[static_cast<size_t>(l) * w + i] : px[static_cast<size_t>(i) * w + l];
        auto get = [&](int i) -> const Rgba& { return line[wrap ? Wrap(i, len) : std::clamp(i, 0, len - 1)]; };
        Rgba sum{0, 0, 0, 0};
        for (int i = -radius; i <= radius; ++i) { const Rgba& p = get(i); sum.r += p.r; sum.g += p.g; sum.b += p.b; sum.a += p.a; }
        for (int i = 0; i < len; ++i) {
            out[i] = {sum.r * inv, sum.g * inv, sum.b * inv, sum.a * inv};
            const Rgba& add = get(i + radius + 1);
            const Rgba& sub = get(i - radius);
            sum.r += add.r - sub.r; sum.g += add.g - sub.g; sum.b += add.b - sub.b; sum.a += add.a - sub.a;
        }
        for (int i = 0; i < len; ++i) (horizontal ? px[static_cast<size_t>(l) * w + i] : px[static_cast<size_t>(i) * w + l]) = out[i];
    }
}

}  // namespace

Image BoxBlur(const Image& src, int radius, bool wrap) {
    if (radius <= 0) return src;
    std::vector<Rgba> px = src.pixels;
    for (Rgba& p : px) { p.r *= p.a; p.g *= p.a; p.b *= p.a; }
    int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(px, src.width, src.height, r, wrap, true);
        BoxPass(px, src.width, src.height, r, wrap, false);
    }
    Image out(src.width, src.height);
    for (size_t i = 0; i < px.size(); ++i) {
        Rgba p = px[i];
        if (p.a > 1e-6f) { p.r /= p.a; p.g /= p.a; p.b /= p.a; }
        out.pixels[i] = p;
    }
    return out;
}

Field BlurField(const Field& src, int radius, bool wrap) {
    Image tmp(src.width, src.height);
    for (size_t i = 0; i < src.values.size(); ++i) tmp.pixels[i] = {src.values[i], 0, 0, 1};
    Image b = BoxBlur(tmp, radius, wrap);
    Field out(src.width, src.height);
    for (size_t i = 0; i < out.values.size(); ++i) out.values[i] = b.pixels[i].r;
    return out;
}

Field AlphaOf(const Image& img) {
    Field f(img.width, img.height);
    for (size_t i = 0; i < img.pixels.size(); ++i) f.values[i] = img.pixels[i].a;
    return f;
}

Image DropShadow(const Image& img, int dx, int dy, int radius, Rgba colour) {
    Image s(img.width, img.height);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            int sx = x - dx, sy = y - dy;
            float a = (sx >= 0 && sy >= 0 && sx < img.width && sy < img.height) ? img.At(sx, sy).a : 0;
            s.At(x, y) = {colour.r, colour.g, colour.b, a * colour.a};
        }
    return BoxBlur(s, radius, false);
}

void Tint(Image& img, Rgba k) {
    for (Rgba& p : img.pixels) { p.r *= k.r; p.g *= k.g; p.b *= k.b; }
}

void AdjustBrightness(Image& img, float k) {
    for (Rgba& p : img.pixels) { p.r *= k; p.g *= k; p.b *= k; }
}

const std::vector<Rgba>& EgaPalette() {
    static const std::vector<Rgba> palette = {
        Hex(0x000000), Hex(0x0000AA), Hex(0x00AA00), Hex(0x00AAAA), Hex(0xAA0000), Hex(0xAA00AA), Hex(0xAA5500), Hex(0xAAAAAA),
        Hex(0x555555), Hex(0x5555FF), Hex(0x55FF55), Hex(0x55FFFF), Hex(0xFF5555), Hex(0xFF55FF), Hex(0xFFFF55), Hex(0xFFFFFF),
    };
    return palette;
}

void Quantize(Image& img, const std::vector<Rgba>& palette, float dither, float alphaCut) {
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            Rgba& p = img.At(x, y);
            if (p.a < alphaCut) { p = Transparent; continue; }
            float t = ((bayer[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f) * dither;
            float r = p.r + t, g = p.g + t, b = p.b + t;
            float best = 1e9f;
            Rgba pick = palette[0];
            for (const Rgba& c : palette) {
                // "Red mean" distance: close to what the eye sees, and it keeps hues (gold stays yellow or brown
                // rather than turning grey).
                float dr = r - c.r, dg = g - c.g, db = b - c.b, rm = (r + c.r) / 2;
                float d = (2 + rm) * dr * dr + 4 * dg * dg + (3 - rm) * db * db;
                if (d < best) { best = d; pick = c; }
            }
            p = {pick.r, pick.g, pick.b, 1};
        }
}

std::uint32_t Hash32(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    std::uint32_t h = 0x811C9DC5u ^ a;
    auto mix = [&](std::uint32_t v) {
        h ^= v + 0x9E3779B9u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    };
    mix(b); mix(c); mix(d);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

namespace {

inline float Fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

inline float Grad2(std::uint32_t h, float x, float y) {
    // Eight evenly spread directions.
    static const float gx[8] = {1, -1, 0, 0, 0.7071f, -0.7071f, 0.7071f, -0.7071f};
    static const float gy[8] = {0, 0, 1, -1, 0.7071f, 0.7071f, -0.7071f, -0.7071f};
    return gx[h & 7] * x + gy[h & 7] * y;
}

inline float Grad3(std::uint32_t h, float x, float y, float z) {
    switch (h % 12) {
        case 0: return x + y;
        case 1: return -x + y;
        case 2: return x - y;
        case 3: return -x - y;
        case 4: return x + z;
        case 5: return -x + z;
        case 6: return x - z;
        case 7: return -x - z;
        case 8: return y + z;
        case 9: return -y + z;
        case 10: return y - z;
        default: return -y - z;
    }
}

}  // namespace

float Noise2(float x, float y, int px, int py, std::uint32_t seed) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto h = [&](int i, int j) { return Hash32(static_cast<std::uint32_t>(Wrap(i, px)), static_cast<std::uint32_t>(Wrap(j, py)), seed); };
    float n00 = Grad2(h(x0, y0), fx, fy), n10 = Grad2(h(x0 + 1, y0), fx - 1, fy);
    float n01 = Grad2(h(x0, y0 + 1), fx, fy - 1), n11 = Grad2(h(x0 + 1, y0 + 1), fx - 1, fy - 1);
    float u = Fade(fx), v = Fade(fy);
    return 1.4f * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

float Noise3(float x, float y, float z, int px, int py, int pz, std::uint32_t seed) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y)), z0 = static_cast<int>(std::floor(z));
    float fx = x - x0, fy = y - y0, fz = z - z0;
    auto h = [&](int i, int j, int k) {
        return Hash32(static_cast<std::uint32_t>(Wrap(i, px)), static_cast<std::uint32_t>(Wrap(j, py)),
                      static_cast<std::uint32_t>(Wrap(k, pz)), seed);
    };
    float u = Fade(fx), v = Fade(fy), w = Fade(fz);
    float c[2][2][2];
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) c[k][j][i] = Grad3(h(x0 + i, y0 + j, z0 + k), fx - i, fy - j, fz - k);
    float a = Lerp(Lerp(c[0][0][0], c[0][0][1], u), Lerp(c[0][1][0], c[0][1][1], u), v);
    float b = Lerp(Lerp(c[1][0][0], c[1][0][1], u), Lerp(c[1][1][0], c[1][1][1], u), v);
    return 0.95f * Lerp(a, b, w);
}

float Fbm2(float x, float y, int px, int py, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise2(x, y, px, py, seed + 1013u * o);
        norm += amp;
        amp *= gain;
        x *= 2; y *= 2; px *= 2; py *= 2;
    }
    return sum / norm * 1.3f;
}

float Fbm3(float x, float y, float z, int px, int py, int pz, int octaves, std::uint32_t seed, float gain) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise3(x, y, z, px, py, pz, seed + 1013u * o);
        norm += amp;
        amp *= gain;
        x *= 2; y *= 2; px *= 2; py *= 2;   // time keeps its period so the loop stays seamless
    }
    return sum / norm * 1.3f;
}

Cell Cellular(float x, float y, int cellsX, int cellsY, std::uint32_t seed, float jitter) {
    int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
    Cell best{1e9f, 1e9f, 0, 0, 0};
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            int cx = ix + i, cy = iy + j;
            std::uint32_t wx = static_cast<std::uint32_t>(Wrap(cx, cellsX)), wy = static_cast<std::uint32_t>(Wrap(cy, cellsY));
            float ox = 0.5f + jitter * (HashUnit(wx, wy, seed, 1) - 0.5f);
            float oy = 0.5f + jitter * (HashUnit(wx, wy, seed, 2) - 0.5f);
            float dx = cx + ox - x, dy = cy + oy - y;
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < best.f1) {
                best.f2 = best.f1;
                best.f1 = d;
                best.id = Hash32(wx, wy, seed, 3);
                best.cx = cx + ox;
                best.cy = cy + oy;
            } else if (d < best.f2) {
                best.f2 = d;
            }
        }
    return best;
}

}  // namespace art
