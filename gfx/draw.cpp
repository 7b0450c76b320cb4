#include "gfx/draw.h"

#include <GL/gl.h>

#include <algorithm>

#include "gfx/texture.h"
#include "platform/platform.h"

namespace {
struct DrawState {                      // what the next quad is drawn with; kept for the whole run
    std::uint32_t image = 0;
    std::uint8_t r = 255, g = 255, b = 255, a = 255;
    DepthFunc depth = DepthFunc::Less;
    BlendMode blend = BlendMode::Alpha;
} state;
}  // namespace

void BindImage(std::uint32_t textureId) {
    textureId = ResidentTexture(textureId);     // a texture-pack frame is decoded when it is first drawn
    state.image = textureId;
    if (PlatformHasGl()) glBindTexture(GL_TEXTURE_2D, textureId);
}

void SetColor(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    state.r = r;
    state.g = g;
    state.b = b;
    state.a = a;
    if (PlatformHasGl()) glColor4ub(r, g, b, a);
}

void SetDepthFunc(DepthFunc func) {
    state.depth = func;
    if (!PlatformHasGl()) return;
    switch (func) {
    case DepthFunc::Less: glDepthFunc(GL_LESS); break;
    case DepthFunc::LessEqual: glDepthFunc(GL_LEQUAL); break;
    case DepthFunc::Equal: glDepthFunc(GL_EQUAL); break;
    case DepthFunc::Always: glDepthFunc(GL_ALWAYS); break;
    }
}

void SetBlend(BlendMode mode) {
    state.blend = mode;
    if (!PlatformHasGl()) return;
    switch (mode) {
    case BlendMode::Alpha: glEnable(GL_BLEND); glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); break;
    case BlendMode::Premultiplied: glEnable(GL_BLEND); glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); break;
    case BlendMode::Off: glDisable(GL_BLEND); break;
    }
}

void DrawQuad(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    if (!PlatformHasGl()) {
        PlatformRecordQuad(QuadRecord{state.image, x, y, z, w, h, state.r, state.g, state.b, state.a,
                                      static_cast<std::int32_t>(state.depth), static_cast<std::int32_t>(state.blend)});
        return;
    }
    glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
    // Counter-clockwise as seen on screen, so the quad survives back-face culling; texture (0,0) at bottom-left.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2i(0, h);
    glTexCoord2f(1, 0); glVertex2i(w, h);
    glTexCoord2f(1, 1); glVertex2i(w, 0);
    glTexCoord2f(0, 1); glVertex2i(0, 0);
    glEnd();
    glLoadIdentity();
}

void DrawBackdrop(std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    if (!PlatformHasGl()) {
        DrawQuad(x, y, z, w, h);
        return;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The depth of z + 1/2 under the projection of SetupGlState (z from -128 to 128, larger z nearer): between every
    // whole z at or behind z and every whole z in front of it, whatever the depth buffer's rounding.
    glClearDepth((1.0 - (z + 0.5) / 128.0) / 2.0);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, viewport[3] - y - h, w, h);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearDepth(1.0);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_ALPHA_TEST);
    DrawQuad(x, y, z, w, h);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
}

void SetupGlState(std::int32_t width, std::int32_t height) {
    if (!PlatformHasGl()) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // y grows downwards; z in -128..128 maps to depth with larger z nearer the viewer.
    glOrtho(0, width, height, 0, -128, 128);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
}

void ClearBuffers() {
    if (!PlatformHasGl()) return;
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool ReadBackBuffer(std::int32_t width, std::int32_t height, std::vector<std::uint8_t>& rgb) {
    if (!PlatformHasGl() || width <= 0 || height <= 0) return false;
    const size_t row = static_cast<size_t>(width) * 3;
    std::vector<std::uint8_t> bottomUp(row * static_cast<size_t>(height));
    while (glGetError() != GL_NO_ERROR) {
    }   // an earlier call's error is not this read's
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    if (glGetError() != GL_NO_ERROR) return false;
    // GL counts rows from the bottom of the window.
    rgb.resize(bottomUp.size());
    for (std::int32_t y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(height - 1 - y)), row,
                    rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<size_t>(y)));
    return true;
}
