// Working images of the art generator: float RGBA with straight (not premultiplied) alpha, the pixel
// operations every picture uses, and the deterministic random numbers and noise they are made from.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

constexpr Rgba Transparent{0, 0, 0, 0};

// Colour from 0..255 components.
inline Rgba Rgb8(int r, int g, int b, int a = 255) { return {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f}; }
// Colour from a 0xRRGGBB value.
inline Rgba Hex(std::uint32_t rgb, float a = 1.0f) {
    return {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f, a};
}
inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float Lerp(float a, float b, float t) { return a + (b - a) * t; }
inline Rgba Mix(Rgba a, Rgba b, float t) {
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}
inline Rgba Scale(Rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }
inline Rgba WithAlpha(Rgba c, float a) { return {c.r, c.g, c.b, a}; }
inline float SmoothStep(float e0, float e1, float x) {
    float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline float Fract(float v) { return v - std::floor(v); }
// Positive remainder.
inline int Wrap(int v, int n) { int m = v % n; return m < 0 ? m + n : m; }
inline float WrapF(float v, float n) { return v - std::floor(v / n) * n; }

constexpr float Pi = 3.14159265358979f;

struct Image {
    int width = 0, height = 0;
    std::vector<Rgba> pixels;

    Image() = default;
    Image(int w, int h, Rgba fill = Transparent) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    Rgba& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgba& At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    Rgba& AtWrap(int x, int y) { return At(Wrap(x, width), Wrap(y, height)); }
    const Rgba& AtWrap(int x, int y) const { return At(Wrap(x, width), Wrap(y, height)); }
    Rgba AtClamp(int x, int y) const {
        x = x < 0 ? 0 : (x >= width ? width - 1 : x);
        y = y < 0 ? 0 : (y >= height ? height - 1 : y);
        return At(x, y);
    }
    // Bilinear sample at pixel coordinates (pixel centres at +0.5).
    Rgba Sample(float x, float y, bool wrap) const;
};

// A scalar field of the same layout, for height maps and masks.
struct Field {
    int width = 0, height = 0;
    std::vector<float> values;
    Field() = default;
    Field(int w, int h, float fill = 0) : width(w), height(h), values(static_cast<size_t>(w) * h, fill) {}
    float& At(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float At(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
    float AtWrap(int x, int y) const { return At(Wrap(x, width), Wrap(y, height)); }
    float AtClamp(int x, int y) const {
        x = x < 0 ? 0 : (x >= width ? width - 1 : x);
        y = y < 0 ? 0 : (y >= height ? height - 1 : y);
        return At(x, y);
    }
};

// ---- Compositing -----------------------------------------------------------------------------------------
// Source over destination, the source's alpha scaled by coverage.
void BlendOver(Rgba& dst, Rgba src, float coverage = 1.0f);
// Draws `top` over `base` at (x, y).
void Composite(Image& base, const Image& top, int x, int y, float opacity = 1.0f);
// Draws `top` over `base` with wrap-around (for tiling pictures).
void CompositeWrap(Image& base, const Image& top, int x, int y);
void FillAll(Image& img, Rgba c);
// Per-pixel painter: f(x, y) gives the colour at the pixel centre (x + 0.5, y + 0.5).
void Paint(Image& img, const std::function<Rgba(float, float)>& f);
void PaintOver(Image& img, const std::function<Rgba(float, float)>& f);

// ---- Resampling and filters ------------------------------------------------------------------------------
Image Downscale(const Image& src, int factor);             // box filter, alpha-weighted
Image UpscaleNearest(const Image& src, int factor);
Image ResizeBilinear(const Image& src, int w, int h);
Image Crop(const Image& src, int x, int y, int w, int h);
Image BoxBlur(const Image& src, int radius, bool wrap);    // three passes approximate a Gaussian
Field BlurField(const Field& src, int radius, bool wrap);
Field AlphaOf(const Image& img);
// A soft drop shadow of `img`'s alpha, offset and blurred, in `colour`.
Image DropShadow(const Image& img, int dx, int dy, int radius, Rgba colour);
// Multiplies colours by k (alpha unchanged).
void Tint(Image& img, Rgba k);
void AdjustBrightness(Image& img, float k);

// ---- Palettes --------------------------------------------------------------------------------------------
// The 16 colours of the 1994 look (the classic PC text and EGA palette).
const std::vector<Rgba>& EgaPalette();
// Nearest palette colour for every pixel, with an ordered 4 x 4 Bayer dither of strength `dither`
// (0 = none); alpha becomes 0 or 1 at `alphaCut`.
void Quantize(Image& img, const std::vector<Rgba>& palette, float dither, float alphaCut = 0.5f);

// ---- Deterministic random numbers ------------------------------------------------------------------------
struct Rng {
    std::uint64_t state;
    explicit Rng(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    std::uint64_t Next() {   // splitmix64
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float Uniform() { return static_cast<float>(Next() >> 40) / 16777216.0f; }   // [0, 1)
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }
};
std::uint32_t Hash32(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0, std::uint32_t d = 0);
inline float HashUnit(std::uint32_t a, std::uint32_t b = 0, std::uint32_t c = 0, std::uint32_t d = 0) {
    return (Hash32(a, b, c, d) >> 8) / 16777216.0f;
}

// ---- Noise (all periodic, so tiling pictures and looping animations are seamless) ------------------------
// Gradient noise in about -1..1 whose lattice repeats every px cells in x and py in y.
float Noise2(float x, float y, int px, int py, std::uint32_t seed);
// The same in three dimensions; the third is usually time, looping every pz cells.
float Noise3(float x, float y, float z, int px, int py, int pz, std::uint32_t seed);
// Sum of `octaves` octaves, each doubling frequency and period; result about -1..1.
float Fbm2(float x, float y, int px, int py, int octaves, std::uint32_t seed, float gain = 0.5f);
float Fbm3(float x, float y, float z, int px, int py, int pz, int octaves, std::uint32_t seed, float gain = 0.5f);
// Cellular noise: distances to the nearest (f1) and second nearest (f2) feature point, in cell units,
// with `cells` x `cells` cells per period; id = hash of the nearest cell.
struct Cell {
    float f1, f2;
    std::uint32_t id;
    float cx, cy;   // nearest feature point (cell units, unwrapped)
};
Cell Cellular(float x, float y, int cellsX, int cellsY, std::uint32_t seed, float jitter = 0.8f);

}  // namespace art
