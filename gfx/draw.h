// Drawing primitives: with gfx/texture.cpp's uploads, the only code that calls OpenGL. Every quad of a frame goes
// into one vertex stream, drawn in batches with one small shader pair; a batch ends only where the image, the blend
// or the depth test changes. Without a GL context (headless back end) every quad is recorded instead, so a frame's
// full draw list can be inspected.
#pragma once

#include <cstdint>
#include <vector>

enum class DepthFunc : std::int32_t { Less = 0, LessEqual = 1, Equal = 2, Always = 3 };
enum class BlendMode : std::int32_t { Alpha = 0, Premultiplied = 1, Off = 2 };

// The image that the next quads draw: an index into ImageTable, or one of the fixed images, named by the texture id
// that LoadTexture gave it.
void BindImage(std::uint32_t textureId);
void SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a = 255);
void SetDepthFunc(DepthFunc func);
void SetBlend(BlendMode mode);
// Draws the bound image as an axis-aligned quad with its top-left corner at (x, y), depth z, size w x h.
void DrawQuad(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h);
// A part of the bound image, (u0, v0) to (u1, v1) in texture coordinates (v = 0 is the image's bottom row), drawn
// with its top-left corner at (x, y), size w x h, in fractions of a pixel: the glyphs of a scaled text. With GL only.
void DrawImageRegion(float x, float y, float z, float w, float h, float u0, float v0, float u1, float v1);
// An opaque image drawn as a quad like DrawQuad, for a picture that hides everything drawn before it in its
// rectangle. It is drawn without the depth and alpha tests (a software renderer then copies its pixels at a fraction
// of the cost of testing each one) and leaves the depth buffer in the rectangle just behind depth z: what comes later
// nearer than z shows in front of it, and what comes later at z or behind stays hidden, as behind a quad at z.
void DrawBackdrop(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h);
// The renderer's shortcuts, on from the start: opaque images drawn without blending or the alpha test and before
// what lies behind them, images drawn texel for texel without filtering, images drawn at another size filtered once
// to it. Each gives the picture of the plain way; off, every quad is drawn in order with its image's own filters
// (for tests and benchmarks that compare the two).
void SetDrawShortcuts(bool on);
// Sets up the fixed GL state of a freshly opened display (projection, culling, depth and alpha tests).
void SetupGlState(std::int32_t width, std::int32_t height);
void ClearBuffers();
// Draws what is queued and presents the frame (PlatformPresent). True when the renderer gave back images it kept
// for drawing faster (the heap can then be trimmed).
bool PresentFrame();
// Draws what is queued now (a read of the back buffer, a texture deleted, the end of a frame do it themselves).
void FlushDrawing();
// The frame drawn so far (the back buffer, before it is presented) as rows of RGB bytes, top row first: what
// screenshots save. False without a GL context.
bool ReadBackBuffer(std::int32_t width, std::int32_t height, std::vector<std::uint8_t>& rgb);
