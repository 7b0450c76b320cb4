// The full-screen pictures (maker's logo, main menu, end-of-pack backdrop), their 1994 versions, and the
// missing-texture placeholder.
//
// The game shows them as 4:3 (letterboxed or pillarboxed), so they are 1024 x 768. The menu writes its lines
// across the middle of "opening.png" (from y 236 down, five lines of 59 pixels) and across the bottom of
// "endgame.png" (from y 532), and the loading notice 30 pixels above the bottom of "oslogo.png"; those
// places stay calm and dark enough for yellow and white text.
#include <algorithm>

#include "draw.h"
#include "packs.h"
#include "surface.h"
#include "text.h"
#include "writers.h"

namespace art {

namespace {

constexpr int W = 1024, H = 768;

struct TitleStyle {
    std::vector<std::pair<float, Rgba>> face;   // gradient from the top of the letters to the bottom
    Rgba outline;
    float outlineWidth, bevel, shadow;
};

// Big lettering: gradient face, bevel lit from the upper left, outline and a soft shadow.
void DrawTitle(Image& img, const std::string& text, FontStyle font, float size, float tracking, float cx, float top,
               const TitleStyle& st) {
    int pad = static_cast<int>(st.outlineWidth + st.shadow * 2 + 4);
    TextMask t = RenderText(font, U32(text), size, tracking, pad);
    Field sdf = DistanceField(t.mask);
    int w = t.mask.width, h = t.mask.height;
    // Rows of the capitals, for the face gradient.
    int inkTop = h, inkBottom = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (t.mask.At(x, y) > 0.5f) { inkTop = std::min(inkTop, y); inkBottom = std::max(inkBottom, y); }
    Image letters(w, h);
    Field height(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float d = sdf.At(x, y);
            float g = Clamp01((y - inkTop) / std::max(1.0f, static_cast<float>(inkBottom - inkTop)));
            Rgba face = GradientAt(st.face, g);
            Rgba c = Mix(st.outline, face, Coverage(d));
            c.a = Coverage(d - st.outlineWidth);
            letters.At(x, y) = c;
            height.At(x, y) = SmoothStep(0, st.bevel, -d);
        }
    ApplyLight(letters, height, st.bevel * 0.7f, false, Light{0.45f, 0.9f, 0.45f, 18});
    int ox = static_cast<int>(cx - w / 2.0f), oy = static_cast<int>(top - pad);
    if (st.shadow > 0)
        Composite(img, DropShadow(letters, static_cast<int>(st.shadow), static_cast<int>(st.shadow * 1.3f), static_cast<int>(st.shadow * 1.5f),
                                  {0, 0, 0, 0.6f}), ox, oy);
    Composite(img, letters, ox, oy);
}

// Plain text (no effects), centred.
void DrawText(Image& img, const std::string& text, FontStyle font, float size, float tracking, float cx, float top, Rgba c) {
    TextMask t = RenderText(font, U32(text), size, tracking, 2);
    int ox = static_cast<int>(cx - t.mask.width / 2.0f), oy = static_cast<int>(top - 2);
    for (int y = 0; y < t.mask.height; ++y)
        for (int x = 0; x < t.mask.width; ++x) {
            int px = ox + x, py = oy + y;
            if (px >= 0 && py >= 0 && px < img.width && py < img.height) BlendOver(img.At(px, py), c, t.mask.At(x, y));
        }
}

void Glow(Image& img, float cx, float cy, float radius, Rgba c) {
    int x0 = static_cast<int>(cx - radius * 3), x1 = static_cast<int>(cx + radius * 3);
    int y0 = static_cast<int>(cy - radius * 3), y1 = static_cast<int>(cy + radius * 3);
    for (int y = std::max(0, y0); y <= std::min(img.height - 1, y1); ++y)
        for (int x = std::max(0, x0); x <= std::min(img.width - 1, x1); ++x) {
            float d2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (radius * radius);
            BlendOver(img.At(x, y), c, std::exp(-d2));
        }
}

Image OrloLogo(bool retro) {
    Image img(W, H);
    // The 1994 logo stands on plain black, with copper-bar stripes of blue behind the mark.
    if (retro) Paint(img, [](float, float y) {
        float band = std::fabs(y - 250) / 40;
        return band < 3 && static_cast<int>(y / 8) % 2 == 0 ? Mix(Hex(0x0000AA), Hex(0x000000), band / 3) : Hex(0x000000);
    });
    else Paint(img, [](float x, float y) {
        float d = std::sqrt((x - 512) * (x - 512) + (y - 330) * (y - 330) * 1.4f) / 700;
        Rgba c = GradientAt({{0, Hex(0x1A2A58)}, {0.5f, Hex(0x0A1230)}, {1, Hex(0x03050E)}}, d);
        return c;
    });
    // The mark: a glowing orb with a tilted orbit around it.
    if (!retro) Glow(img, 512, 250, 120, Rgba{0.35f, 0.55f, 1.0f, 0.35f});
    Image orb(W, H);
    FillShapeShadedIn(orb, [](float x, float y) { return SdCircle(x, y, 512, 250, 62); }, [](float x, float y, float) {
        float px = (x - 512) / 62, py = (y - 250) / 62;
        float pz = std::sqrt(std::max(0.0f, 1 - px * px - py * py));
        float highlight = 0;
        float k = LightFactor(px, py, pz, Light{0.35f, 1.0f, 0.8f, 30}, &highlight);
        Rgba c = Scale(Mix(Hex(0x4AA0FF), Hex(0x1A3A9A), Clamp01(0.5f + 0.5f * (px + py))), k);
        c.r += highlight; c.g += highlight; c.b += highlight;
        return c;
    }, 440, 180, 584, 320);
    // The orbit: an ellipse ring, drawn behind the orb at the top and in front of it at the bottom.
    auto ring = [](float x, float y) {
        Vec2 p = Rotate(Vec2{x - 512, y - 250}, -0.32f);
        return std::fabs(SdEllipse(p.x, p.y, 0, 0, 150, 42)) - 5;
    };
    auto ringShade = [](float x, float y, float) {
        return Mix(Hex(0xFFE89A), Hex(0xE0A020), Clamp01((y - 200) / 100));
    };
    Image back(W, H), front(W, H);
    FillShapeShadedIn(back, [&](float x, float y) { return std::max(ring(x, y), y - 250 + (x - 512) * 0.33f); }, ringShade, 330, 150, 700, 350);
    FillShapeShadedIn(front, [&](float x, float y) { return std::max(ring(x, y), -(y - 250 + (x - 512) * 0.33f)); }, ringShade, 330, 150, 700, 350);
    Composite(img, back, 0, 0);
    Composite(img, orb, 0, 0);
    Composite(img, front, 0, 0);
    // A small moon on the orbit.
    FillShapeIn(img, [](float x, float y) { return SdCircle(x, y, 652, 214, 11); }, Hex(0xFFF4D0), 630, 190, 675, 240);
    Glow(img, 652, 214, 14, Rgba{1, 0.9f, 0.6f, 0.4f});

    TitleStyle word{{{0, Hex(0xFFFFFF)}, {0.6f, Hex(0xD8E4F4)}, {1, Hex(0x90A8C8)}}, Hex(0x0A1024), 4, 6, 6};
    DrawTitle(img, "ORLO", FontStyle::SansBold, 150, 14, 512, 370, word);
    DrawText(img, "S O F T W A R E", FontStyle::Sans, 36, 6, 512, 548, Hex(0x9EC0F0));
    FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 300, 530, 724, 532); }, Rgba{0.6f, 0.75f, 1, 0.5f}, 290, 520, 734, 540);
    FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 300, 604, 724, 606); }, Rgba{0.6f, 0.75f, 1, 0.5f}, 290, 594, 734, 616);
    return img;
}

// A strip of pack textures as scenery.
void Tiles(Image& img, const Image& tile, int x0, int y0, int count, int size, int dx = 1, int dy = 0) {
    Image t = ResizeBilinear(tile, size, size);
    for (int i = 0; i < count; ++i) Composite(img, t, x0 + i * size * dx, y0 + i * size * dy);
}

Image Opening(bool retro) {
    Image img = ResizeBilinear(MainPackSample("back"), W, H);
    const int T = 96;
    // Ground along the bottom, two grassy islands of bricks at the sides, scenery between.
    Image grass = MainPackSample("grasstop"), brick = MainPackSample("wall");
    Tiles(img, grass, 0, H - T, 11, T);
    Tiles(img, brick, 0, H - 3 * T, 2, T);
    Tiles(img, brick, W - 2 * T, H - 3 * T, 2, T);
    Tiles(img, grass, 0, H - 4 * T, 2, T);
    Tiles(img, grass, W - 2 * T, H - 4 * T, 2, T);
    Tiles(img, brick, 0, H - 2 * T, 2, T);
    Tiles(img, brick, W - 2 * T, H - 2 * T, 2, T);
    Composite(img, ResizeBilinear(MainPackSample("trap"), T, T), 5 * T, H - 2 * T);
    Composite(img, ResizeBilinear(MainPackSample("flag"), T, T), 40, H - 5 * T);
    Composite(img, ResizeBilinear(MainPackSample("exit"), T, T), W - T - 40, H - 5 * T);
    Composite(img, ResizeBilinear(MainPackSample("bomb"), T, T), 3 * T, H - 2 * T);
    Image ball = ResizeBilinear(MainPackSample("ball"), 112, 112);
    Composite(img, DropShadow(ball, 6, 8, 8, {0, 0, 0, 0.45f}), 7 * T - 8, H - T - 112);
    Composite(img, ball, 7 * T - 8, H - T - 112);
    // The calm panel behind the menu lines; in the 1994 picture a solid blue box with a double frame, as
    // text-mode programs drew them.
    if (retro) {
        FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 212, 214, 812, 556); }, Hex(0x0000AA), 200, 200, 824, 570);
        for (float inset : {8.0f, 20.0f})
            FillShapeIn(img, [&](float x, float y) { return std::fabs(SdRect(x, y, 212 + inset, 214 + inset, 812 - inset, 556 - inset)) - 2.5f; },
                        Hex(0xAAAAAA), 200, 200, 824, 570);
    } else {
        FillShapeShadedIn(img, [](float x, float y) { return SdRect(x, y, 212, 214, 812, 556, 22); }, [](float x, float y, float d) {
            if (d > -2) return Rgba{0.85f, 0.9f, 1, 0.55f};
            return Rgba{0.03f, 0.05f, 0.12f, 0.58f};
        }, 200, 200, 824, 570);
    }
    TitleStyle title{{{0, Hex(0xFFF2A0)}, {0.5f, Hex(0xF6B42A)}, {1, Hex(0xD0601A)}}, Hex(0x2A0E04), 6, 9, 7};
    DrawTitle(img, "KOLBRIX", FontStyle::SansBold, 150, 6, 512, 24, title);
    DrawText(img, "ROLL  \xE2\x80\xA2  BLAST  \xE2\x80\xA2  ESCAPE", FontStyle::SansBold, 22, 3, 512, 180, Hex(0xFFFFFF));
    return img;
}

Image Trophy(int size) {
    Image img(size, size);
    float k = size / 256.0f;
    auto cup = [&](float x, float y) {
        float bowl = std::max(SdEllipse(x, y, 128 * k, 60 * k, 78 * k, 100 * k), 60 * k - y);
        float stem = SdRect(x, y, 116 * k, 150 * k, 140 * k, 200 * k, 4 * k);
        float base = SdRect(x, y, 78 * k, 196 * k, 178 * k, 228 * k, 8 * k);
        float handles = std::min(std::fabs(SdCircle(x, y, 52 * k, 96 * k, 26 * k)) - 7 * k, std::fabs(SdCircle(x, y, 204 * k, 96 * k, 26 * k)) - 7 * k);
        return std::min({bowl, stem, base, handles});
    };
    Image gold(size, size);
    FillShape(gold, cup, Hex(0xF2C230));
    Field sdf = DistanceField(AlphaOf(gold));
    Field h = BevelHeight(sdf, 12 * k);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float bowlShade = 0.5f + 0.5f * std::cos((x - 100 * k) / (78 * k) * 1.6f);
            Rgba& p = gold.At(x, y);
            p = Mix(Hex(0xB8780C), Hex(0xFFE27A), bowlShade);
            p.a = Coverage(sdf.At(x, y));
        }
    ApplyLight(gold, h, 8, false, Light{0.45f, 0.9f, 0.8f, 24});
    Composite(img, DropShadow(gold, static_cast<int>(8 * k), static_cast<int>(10 * k), static_cast<int>(10 * k), {0, 0, 0, 0.5f}), 0, 0);
    Composite(img, gold, 0, 0);
    // The ball in the cup.
    Image ball = ResizeBilinear(MainPackSample("ball"), static_cast<int>(96 * k), static_cast<int>(96 * k));
    Composite(img, ball, static_cast<int>(80 * k), static_cast<int>(-6 * k));
    // Re-draw the cup's front rim over the ball.
    Image rim(size, size);
    FillShape(rim, [&](float x, float y) { return std::max(std::fabs(SdEllipse(x, y, 128 * k, 62 * k, 76 * k, 14 * k)) - 4 * k, 62 * k - y); }, Hex(0xFFE070));
    Composite(img, rim, 0, 0);
    return img;
}

Image EndGame() {
    Image img(W, H);
    Paint(img, [](float x, float y) {
        return GradientAt({{0, Hex(0x0A0820)}, {0.5f, Hex(0x2A1850)}, {0.72f, Hex(0x5A2A5A)}, {1, Hex(0x1A1024)}}, y / H);
    });
    Rng rng(1300);
    // Fireworks.
    const Rgba colours[5] = {Hex(0xFFD040), Hex(0x60E0FF), Hex(0xFF6080), Hex(0x90FF70), Hex(0xFFFFFF)};
    for (int f = 0; f < 7; ++f) {
        float cx = rng.Range(90, 934), cy = rng.Range(70, 300), r = rng.Range(60, 120);
        Rgba c = colours[f % 5];
        Glow(img, cx, cy, r * 0.5f, WithAlpha(c, 0.18f));
        int rays = 26;
        for (int i = 0; i < rays; ++i) {
            float a = 2 * Pi * i / rays + rng.Range(-0.05f, 0.05f);
            float len = r * rng.Range(0.75f, 1.0f);
            Vec2 p0{cx + std::cos(a) * len * 0.35f, cy + std::sin(a) * len * 0.35f};
            Vec2 p1{cx + std::cos(a) * len, cy + std::sin(a) * len + len * 0.08f};
            StrokeLine(img, p0, p1, 2.2f, WithAlpha(c, 0.8f));
            FillShapeIn(img, [&](float x, float y) { return SdCircle(x, y, p1.x, p1.y, 3); }, Hex(0xFFFFFF),
                        static_cast<int>(p1.x) - 5, static_cast<int>(p1.y) - 5, static_cast<int>(p1.x) + 5, static_cast<int>(p1.y) + 5);
        }
    }
    // Confetti.
    for (int i = 0; i < 160; ++i) {
        float x = rng.Range(0, W), y = rng.Range(0, 520), a = rng.Range(0, Pi);
        Rgba c = colours[i % 5];
        FillShapeIn(img, [&](float px, float py) {
            Vec2 p = Rotate(Vec2{px - x, py - y}, a);
            return SdBox(p.x, p.y, 0, 0, 5, 2.5f);
        }, c, static_cast<int>(x) - 8, static_cast<int>(y) - 8, static_cast<int>(x) + 8, static_cast<int>(y) + 8);
    }
    // The trophy on a podium, flags on both sides.
    FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 362, 440, 662, 500, 6); }, Hex(0x3A3A4A), 350, 430, 680, 510);
    FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 362, 440, 662, 446, 3); }, Hex(0x6A6A80), 350, 430, 680, 510);
    Composite(img, Trophy(300), 362, 150);
    Image flag = ResizeBilinear(FlagPicture(256, 0.3f), 200, 200);
    Composite(img, flag, 150, 290);
    Image flag2 = ResizeBilinear(FlagPicture(256, 0.7f), 200, 200);
    Composite(img, flag2, 690, 290);
    // A darker band where the menu writes its lines.
    PaintOver(img, [](float, float y) { return Rgba{0.02f, 0.02f, 0.06f, 0.72f * SmoothStep(500, 540, y)}; });
    FillShapeIn(img, [](float x, float y) { return SdRect(x, y, 0, 514, W, 516); }, Rgba{1, 0.85f, 0.4f, 0.6f}, 0, 510, W - 1, 520);
    return img;
}

Image MissingTexture() {
    // Magenta and black squares with a question mark: nothing in the game looks like it.
    const int n = 128;
    Image img(n, n);
    Paint(img, [](float x, float y) {
        bool odd = (static_cast<int>(x) / 16 + static_cast<int>(y) / 16) % 2;
        return odd ? Hex(0xFF00FF) : Hex(0x101010);
    });
    TitleStyle q{{{0, Hex(0xFFFFFF)}, {1, Hex(0xE0E0E0)}}, Hex(0x000000), 5, 4, 0};
    DrawTitle(img, "?", FontStyle::SansBold, 100, 0, 64, 10, q);
    return img;
}

Image Nostalgic(const Image& img, float dither) {
    Image small = Downscale(img, 4);
    Quantize(small, EgaPalette(), dither);
    return UpscaleNearest(small, 4);
}

}  // namespace

bool BuildFixedImages(const std::string& gameDir) {
    bool ok = true;
    ok = WritePng(gameDir + "/oslogo.png", OrloLogo(false)) && ok;
    ok = WritePng(gameDir + "/1994oslogo.png", Nostalgic(OrloLogo(true), 0.2f), false) && ok;
    ok = WritePng(gameDir + "/opening.png", Opening(false)) && ok;
    ok = WritePng(gameDir + "/1994opening.png", Nostalgic(Opening(true), 0.3f), false) && ok;
    ok = WritePng(gameDir + "/endgame.png", EndGame()) && ok;
    ok = WritePng(gameDir + "/notex.png", MissingTexture()) && ok;
    return ok;
}

}  // namespace art
