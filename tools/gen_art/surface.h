// Building blocks shared by the texture packs: lit surfaces from albedo and height, animation phases.
#pragma once

#include <functional>

#include "draw.h"
#include "image.h"

namespace art {

// A lit surface: f(x, y, albedo, height) gives each pixel's colour before light and its height (0..1);
// `depth` is the relief in pixels per unit of height.
using SurfaceFn = std::function<void(float x, float y, Rgba& albedo, float& height)>;
Image Surface(int width, int height, bool wrap, float depth, const Light& light, const SurfaceFn& f);

// Colour varied by a hash: brightness by +-amount, hue a little.
Rgba Vary(Rgba c, std::uint32_t hash, float amount);

// Phase 0..1 of frame i of n.
inline float Phase(int i, int n) { return static_cast<float>(i) / n; }

// Bevelled square block (colour squares, plates): sdf-based edges, glossy.
Image BevelBlock(int size, Rgba colour, float bevel, float radius, float gloss);

// Pixel-art canvas helpers for the blocky retro pack.
void PixelRect(Image& img, int x0, int y0, int x1, int y1, Rgba c);     // inclusive corners
void PixelShape(Image& img, const Sdf& sdf, Rgba c);                    // hard-edged fill
// One-pixel light edge on the upper-left border of every opaque region and a dark one on the lower right.
void PixelBevel(Image& img, float light, float dark);
// A dark one-pixel outline around every opaque region, outside it.
void PixelOutline(Image& img, Rgba c);

}  // namespace art
