// Drawing helpers of the art generator: anti-aliased shapes from signed distances, gradients, lighting of
// height maps, distance fields of masks.
#pragma once

#include <functional>
#include <vector>

#include "image.h"

namespace art {

struct Vec2 {
    float x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, float k) { return {a.x * k, a.y * k}; }
inline float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float Length(Vec2 a) { return std::sqrt(a.x * a.x + a.y * a.y); }
inline Vec2 Rotate(Vec2 p, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

// ---- Signed distances (pixels; negative inside) ----------------------------------------------------------
using Sdf = std::function<float(float, float)>;
float SdCircle(float x, float y, float cx, float cy, float r);
float SdEllipse(float x, float y, float cx, float cy, float rx, float ry);
// Box centred at (cx, cy) with half sizes hw, hh and corner radius.
float SdBox(float x, float y, float cx, float cy, float hw, float hh, float radius = 0);
// Box by its corners (x0, y0) .. (x1, y1), edges exact at pixel borders.
float SdRect(float x, float y, float x0, float y0, float x1, float y1, float radius = 0);
float SdSegment(float x, float y, Vec2 a, Vec2 b);
float SdPolygon(float x, float y, const std::vector<Vec2>& pts);
inline float Coverage(float d) { return Clamp01(0.5f - d); }

// Fills the shape with a colour (or with the colour a shader gives at each pixel), anti-aliased.
// With `wrap` the shape is also drawn shifted by the image size, so tiling pictures stay seamless.
void FillShape(Image& img, const Sdf& sdf, Rgba colour, bool wrap = false);
void FillShapeShaded(Image& img, const Sdf& sdf, const std::function<Rgba(float, float, float)>& shader, bool wrap = false);
// Only inside the rectangle (x0, y0) .. (x1, y1) (pixels), for speed on big pictures.
void FillShapeIn(Image& img, const Sdf& sdf, Rgba colour, int x0, int y0, int x1, int y1);
void FillShapeShadedIn(Image& img, const Sdf& sdf, const std::function<Rgba(float, float, float)>& shader, int x0, int y0,
                       int x1, int y1);
void StrokeLine(Image& img, Vec2 a, Vec2 b, float width, Rgba colour, bool wrap = false);
// Outline of a shape, `width` pixels wide, centred on its edge.
void StrokeShape(Image& img, const Sdf& sdf, float width, Rgba colour, bool wrap = false);

void VerticalGradient(Image& img, Rgba top, Rgba bottom);
// Gradient through several colours at positions 0..1.
Rgba GradientAt(const std::vector<std::pair<float, Rgba>>& stops, float t);

// ---- Light -----------------------------------------------------------------------------------------------
// Every picture is lit from the upper left, a little in front.
struct Light {
    float ambient = 0.52f, diffuse = 0.8f, specular = 0.0f, shininess = 24.0f;
};
// Multiplies the colours by the light falling on `height` (0..1 per pixel, `depth` pixels of relief per
// unit), adds the specular highlight.
void ApplyLight(Image& img, const Field& height, float depth, bool wrap, const Light& light = Light{});
// The light factor of one surface normal (nx, ny, nz), with (0, 0, 1) giving 1.
float LightFactor(float nx, float ny, float nz, const Light& light, float* highlight = nullptr);

// ---- Masks and distance fields ---------------------------------------------------------------------------
// Signed distance (pixels, negative inside) to the edge of a coverage mask (inside where mask >= 0.5).
Field DistanceField(const Field& mask);
// Height of a bevel: 0 outside, rising to 1 `width` pixels inside the edge.
Field BevelHeight(const Field& sdf, float width);

}  // namespace art
