// Texture pack "txtpckMain" (and its 1994 twin): every kind of cell, in one palette, lit from the upper left.
//
// Grounds are scenery behind the play, so they are darker and flatter than walls; walls are bright, bevelled
// and solid; things to collect and dangers are saturated and outlined so they read at a quarter size.
#include <algorithm>
#include <cstdio>

#include "draw.h"
#include "packs.h"
#include "surface.h"
#include "text.h"

namespace art {

namespace {

constexpr int S = 128;

Texture Make(const char* kind, char ws, char wt, const char* name, std::vector<Image> frames) {
    Texture t;
    t.kind = kind;
    t.wrapS = ws;
    t.wrapT = wt;
    t.name = name;
    t.frames = std::move(frames);
    // Objects and plain blocks look best in flat 1994 colours; surfaces keep a light dither.
    static const std::vector<std::string> flat = {"metal", "crate", "ice", "glass", "elevator", "platform", "bomb", "flag",
                                                  "ball", "switch", "saw", "spikes", "ceilingspikes", "exit", "girder", "torch"};
    if (std::find(flat.begin(), flat.end(), t.name) != flat.end()) t.nostalgicDither = 0;
    return t;
}

std::vector<Image> Frames(int n, const std::function<Image(int)>& f) {
    std::vector<Image> out;
    for (int i = 0; i < n; ++i) out.push_back(f(i));
    return out;
}

// ---- Walls -----------------------------------------------------------------------------------------------

struct BrickStyle {
    Rgba brick, mortar;
    float variation, relief, grain;
    std::uint32_t seed;
};

Image Bricks(const BrickStyle& st) {
    const float bw = 64, bh = 32, mortar = 4;
    Light light{0.5f, 0.85f, 0.06f, 10};
    return Surface(S, S, true, st.relief, light, [&](float x, float y, Rgba& albedo, float& height) {
        int row = static_cast<int>(y / bh);
        float off = (row % 2) * bw / 2;
        float xx = WrapF(x + off, S);
        int col = static_cast<int>(xx / bw);
        float lx = xx - col * bw, ly = y - row * bh;
        float d = SdRect(lx, ly, mortar / 2, mortar / 2, bw - mortar / 2, bh - mortar / 2, 3);
        float grain = Fbm2(x / 16, y / 16, 8, 8, 4, st.seed);
        float fine = Noise2(x / 3, y / 3, 43, 43, st.seed + 7) * 0.5f;
        std::uint32_t id = Hash32(static_cast<std::uint32_t>(row), static_cast<std::uint32_t>(col), st.seed);
        Rgba brick = Vary(st.brick, id, st.variation);
        // Darker burnt corners and lighter middles.
        float centre = 1 - 0.25f * SmoothStep(-14, 0, d);
        brick = Scale(brick, centre * (1 + st.grain * (grain * 0.6f + fine * 0.4f)));
        Rgba mort = Scale(st.mortar, 1 + 0.15f * fine + 0.1f * grain);
        float c = Coverage(d);
        albedo = Mix(mort, brick, c);
        height = c * (0.55f + 0.45f * SmoothStep(0, 6, -d)) + grain * 0.12f + fine * 0.04f;
    });
}

Image Stones(Rgba base, Rgba mortarColour, float relief, float cells, std::uint32_t seed, float flat = 0) {
    Light light{0.5f, 0.85f, 0.08f, 12};
    int n = static_cast<int>(cells);
    return Surface(S, S, true, relief, light, [&](float x, float y, Rgba& albedo, float& height) {
        float warp = Fbm2(x / 32, y / 32, 4, 4, 2, seed + 5) * 0.12f;
        Cell c = Cellular(x / S * cells + warp, y / S * cells - warp, n, n, seed, 0.85f);
        float edge = (c.f2 - c.f1) * S / cells * 0.5f;   // about the pixels to the stone's border
        float bump = Fbm2(x / 16, y / 16, 8, 8, 4, seed + 9);
        float rim = SmoothStep(1.5f, 9.0f, edge);
        Rgba stone = Vary(base, c.id, 0.12f);
        stone = Scale(stone, 1 + 0.12f * bump + flat);
        float inStone = SmoothStep(1.0f, 2.6f, edge);
        albedo = Mix(mortarColour, stone, inStone);
        height = rim * 0.8f + bump * 0.18f * inStone;
    });
}

Image MetalPlate(Rgba base, std::uint32_t seed) {
    Light light{0.45f, 0.85f, 0.35f, 20};
    return Surface(S, S, false, 7, light, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 0, 0, S, S, 6);
        float bevel = SmoothStep(0, 9, -d);
        float brushed = Noise2(x / 40, y / 1.5f, 4, 86, seed) * 0.5f + Noise2(x / 9, y / 0.8f, 15, 160, seed + 1) * 0.3f;
        float sheen = 0.12f * std::sin((x - y) / S * Pi * 1.3f);
        albedo = Scale(base, 1 + 0.07f * brushed + sheen);
        height = bevel;
        // A groove inside the rim.
        float groove = std::fabs(d + 13);
        if (groove < 1.6f) height -= 0.25f * (1 - groove / 1.6f);
        // Rivets in the corners.
        const float rv[4][2] = {{17, 17}, {111, 17}, {17, 111}, {111, 111}};
        for (auto& r : rv) {
            float dr = SdCircle(x, y, r[0], r[1], 6);
            if (dr < 1) {
                float dome = std::sqrt(std::max(0.0f, 1 - (std::pow(x - r[0], 2.0f) + std::pow(y - r[1], 2.0f)) / 36));
                height = std::max(height, bevel + dome * 0.6f);
                albedo = Mix(albedo, Scale(base, 1.1f), Coverage(dr));
            }
        }
        albedo.a = Coverage(d);
    });
}

Image Crate() {
    Light light{0.5f, 0.85f, 0.05f, 10};
    Rgba wood = Hex(0xB07A45), dark = Hex(0x6E4424);
    return Surface(S, S, false, 6, light, [&](float x, float y, Rgba& albedo, float& height) {
        float outer = SdRect(x, y, 1, 1, S - 1, S - 1, 4);
        float inner = SdRect(x, y, 16, 16, S - 16, S - 16, 2);
        // Diagonal brace from lower left to upper right.
        float brace = SdSegment(x, y, {18, S - 18}, {S - 18, 18}) - 9;
        bool frame = inner > 0;
        float plankY = WrapF(y, 28);
        float grainU = frame ? (std::fabs(x - 64) > std::fabs(y - 64) ? y : x) : (brace < 0 ? x + y : y);
        float grainV = frame ? (std::fabs(x - 64) > std::fabs(y - 64) ? x : y) : (brace < 0 ? x - y : x);
        float rings = std::sin(grainU * 0.9f + Fbm2(grainV / 24, grainU / 6, 16, 32, 3, 77) * 5);
        Rgba c = Scale(wood, 1 + 0.08f * rings);
        if (!frame && brace >= 0 && plankY < 2) c = dark;   // gaps between the panel planks
        height = 0.35f;
        if (frame) height = 0.8f * SmoothStep(0, 4, inner) + 0.2f;
        if (!frame && brace < 0) height = 0.55f + 0.25f * SmoothStep(0, 4, -brace);
        if (!frame && brace >= 0 && brace < 2) c = Scale(c, 0.7f);
        if (frame && inner < 2) c = Scale(c, 0.75f);
        height *= SmoothStep(0, 4, -outer);
        // Nails at the frame corners.
        const float nails[4][2] = {{8, 8}, {S - 8, 8}, {8, S - 8}, {S - 8, S - 8}};
        for (auto& n : nails)
            if (SdCircle(x, y, n[0], n[1], 3) < 0) { c = Hex(0x8A8A90); height += 0.2f; }
        c.a = Coverage(outer);
        albedo = c;
    });
}

Image IceBlock() {
    Light light{0.55f, 0.7f, 0.7f, 30};
    Rng rng(4242);
    std::vector<std::pair<Vec2, Vec2>> cracks;
    Vec2 p{40, 30};
    for (int i = 0; i < 7; ++i) {
        Vec2 q = p + Vec2{rng.Range(8, 22), rng.Range(4, 18)};
        cracks.push_back({p, q});
        if (i == 3) p = {90, 20}; else p = q;
    }
    Image img = Surface(S, S, false, 8, light, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 0, 0, S, S, 8);
        float depthTone = Fbm2(x / 40, y / 40, 4, 4, 3, 311);
        albedo = Mix(Hex(0xD8F2FC), Hex(0x7CC4E8), Clamp01(0.35f + 0.3f * depthTone + (x + y) / (4 * S)));
        height = SmoothStep(0, 10, -d) * 0.9f + depthTone * 0.05f;
        albedo.a = Coverage(d);
    });
    for (auto& c : cracks) {
        StrokeLine(img, c.first, c.second, 2.2f, Rgba{1, 1, 1, 0.75f});
        StrokeLine(img, c.first + Vec2{1.2f, 1.4f}, c.second + Vec2{1.2f, 1.4f}, 1.2f, Rgba{0.25f, 0.5f, 0.7f, 0.5f});
    }
    // Glints.
    FillShape(img, [](float x, float y) { return SdSegment(x, y, {20, 40}, {40, 20}) - 3; }, Rgba{1, 1, 1, 0.55f});
    FillShape(img, [](float x, float y) { return SdSegment(x, y, {22, 56}, {56, 22}) - 1.5f; }, Rgba{1, 1, 1, 0.4f});
    return img;
}

void DirtSurface(float x, float y, Rgba& albedo, float& height, std::uint32_t seed, float dark) {
    float n = Fbm2(x / 24, y / 24, 6, 6, 4, seed);
    Cell pebble = Cellular(x / 16, y / 16, 8, 8, seed + 3, 0.9f);
    float pebbleSize = 0.22f + 0.18f * HashUnit(pebble.id);
    bool isPebble = HashUnit(pebble.id, 5) < 0.4f && pebble.f1 < pebbleSize;
    Rgba soil = Mix(Hex(0x6B4A2E), Hex(0x8A6440), Clamp01(0.5f + 0.5f * n));
    soil = Scale(soil, dark);
    height = 0.3f + 0.25f * n;
    if (isPebble) {
        float t = 1 - pebble.f1 / pebbleSize;
        soil = Scale(Vary(Hex(0x9A8C7A), pebble.id, 0.15f), dark);
        height += 0.4f * std::sqrt(t);
    }
    albedo = soil;
}

Image Dirt(std::uint32_t seed, float dark, float relief) {
    Light light{0.5f, 0.85f, 0.04f, 10};
    return Surface(S, S, true, relief, light, [&](float x, float y, Rgba& albedo, float& height) {
        DirtSurface(x, y, albedo, height, seed, dark);
    });
}

Image GrassTop() {
    Light light{0.5f, 0.85f, 0.05f, 10};
    Image img = Surface(S, S, false, 5, light, [&](float x, float y, Rgba& albedo, float& height) {
        DirtSurface(x, y, albedo, height, 91, 1.0f);
        // Grass cover with a wavy lower edge, blades along the top.
        float edge = 22 + 5 * Noise2(x / 16, 0.5f, 8, 4, 19) + 4 * Noise2(x / 6, 1.5f, 21, 4, 23);
        float grassN = Fbm2(x / 10, y / 10, 13, 13, 3, 29);
        if (y < edge) {
            float t = y / edge;
            albedo = Mix(Hex(0x8FD14F), Hex(0x3F8A2A), Clamp01(t * 0.9f + grassN * 0.25f));
            height = 0.7f + 0.2f * grassN - 0.3f * t;
        }
        float lip = SmoothStep(edge - 1.5f, edge + 1.5f, y);
        if (y >= edge - 1.5f && y < edge + 3) albedo = Scale(albedo, 0.75f + 0.25f * lip);
        // Blades: the top 9 rows are cut into points.
        float blade = std::fabs(std::sin(x * Pi / 5.3f + 1.3f * Noise2(x / 8, 0, 16, 1, 31)));
        float tip = 9 * blade * (0.6f + 0.4f * HashUnit(static_cast<std::uint32_t>(x / 5.3f), 3));
        albedo.a = Clamp01(y - (9 - tip) + 0.5f);
    });
    return img;
}

Image Marble() {
    Light light{0.55f, 0.75f, 0.35f, 40};
    return Surface(S, S, true, 2, light, [&](float x, float y, Rgba& albedo, float& height) {
        float t = Fbm2(x / 32, y / 32, 4, 4, 5, 515);
        float v = std::sin(2 * Pi * (x / S + y / S * 2 + t * 0.9f));
        float vein = std::pow(1 - std::fabs(v), 7.0f);
        float v2 = std::pow(1 - std::fabs(std::sin(2 * Pi * (x / S * 2 - y / S + t * 1.4f))), 16.0f);
        Rgba base = Mix(Hex(0xEDEBE6), Hex(0xD6D2CB), Clamp01(0.5f + 0.5f * t));
        albedo = Mix(base, Hex(0x5E6070), Clamp01(vein * 0.85f + v2 * 0.5f));
        height = 0.5f - vein * 0.1f;
    });
}

Image Girder() {
    Light light{0.5f, 0.85f, 0.25f, 16};
    Rgba paint = Hex(0xC9562E);
    Image img = Surface(S, S, false, 5, light, [&](float x, float y, Rgba& albedo, float& height) {
        float top = SdRect(x, y, -4, 8, S + 4, 24, 1), bottom = SdRect(x, y, -4, 104, S + 4, 120, 1);
        float lx = WrapF(x, 64);
        float diagA = SdSegment(lx, y, {0, 24}, {32, 104}) - 6, diagB = SdSegment(lx, y, {32, 104}, {64, 24}) - 6;
        float post = std::min(SdRect(lx, y, -5, 20, 5, 108), SdRect(lx, y, 59, 20, 69, 108));
        float d = std::min({top, bottom, diagA, diagB, post});
        float n = Noise2(x / 6, y / 6, 21, 21, 612);
        albedo = Scale(paint, 1 + 0.06f * n);
        height = SmoothStep(0, 4, -d);
        // Rivets along the flanges.
        float rx = WrapF(x, 16) - 8;
        for (float ry : {16.0f, 112.0f})
            if (rx * rx + (y - ry) * (y - ry) < 6) { height += 0.4f; albedo = Scale(paint, 1.15f); }
        albedo.a = Coverage(d);
    });
    return img;
}

Image GlassBlock() {
    Image img(S, S);
    Light light{0.5f, 0.85f, 0.3f, 20};
    Image frame = Surface(S, S, false, 5, light, [&](float x, float y, Rgba& albedo, float& height) {
        float outer = SdRect(x, y, 0, 0, S, S, 4), inner = SdRect(x, y, 9, 9, S - 9, S - 9, 3);
        albedo = Hex(0x8D9AA6);
        height = SmoothStep(0, 4, -outer) * (1 - SmoothStep(-2, 2, -inner) * 0.6f);
        albedo.a = Coverage(outer) * (1 - Coverage(inner));
    });
    FillShape(img, [](float x, float y) { return SdRect(x, y, 8, 8, S - 8, S - 8, 3); }, Rgba{0.62f, 0.86f, 0.95f, 0.38f});
    FillShapeShaded(img, [](float x, float y) { return SdRect(x, y, 8, 8, S - 8, S - 8, 3); }, [](float x, float y, float) {
        float streak = std::fabs(WrapF(x + y, 90) - 40);
        float a = streak < 9 ? 0.35f * (1 - streak / 9) : 0;
        return Rgba{1, 1, 1, a};
    });
    Composite(img, frame, 0, 0);
    return img;
}

Image ElevatorFrame(float phase) {
    Light light{0.45f, 0.85f, 0.35f, 20};
    Image img = Surface(S, S, false, 6, light, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 0, 0, S, S, 6);
        albedo = Hex(0x6F8494);
        height = SmoothStep(0, 7, -d);
        // Hazard bands top and bottom.
        bool band = y < 20 || y > S - 20;
        if (band && -d > 4) {
            bool stripe = WrapF(x + y, 24) < 12;
            albedo = stripe ? Hex(0xF2C230) : Hex(0x26262B);
            height = 0.9f;
        }
        float panel = SdRect(x, y, 30, 30, S - 30, S - 30, 8);
        if (panel < 0) { albedo = Hex(0x2B333B); height = 0.55f - 0.2f * SmoothStep(0, 4, -panel); }
        albedo.a = Coverage(d);
    });
    // Up and down arrows that light in turn.
    float up = 0.5f + 0.5f * std::cos(2 * Pi * phase), down = 1 - up;
    auto arrow = [&](float cy, float dir, float glow) {
        std::vector<Vec2> tri = {{64, cy - 13 * dir}, {50, cy + 5 * dir}, {78, cy + 5 * dir}};
        Rgba lit = Mix(Hex(0x3A5A3A), Hex(0x7CFF6A), glow);
        FillShape(img, [&](float x, float y) { return SdPolygon(x, y, tri) - 1.0f; }, lit);
    };
    arrow(52, 1, up);
    arrow(78, -1, down);
    return img;
}

Image ColourSquare(Rgba c) { return BevelBlock(S, c, 11, 7, 0.35f); }

Image BlankOutline(Rgba tint, bool cross) {
    Image img(S, S);
    FillShape(img, [](float x, float y) { return SdRect(x, y, 2, 2, S - 2, S - 2, 4); }, WithAlpha(tint, 0.07f));
    auto dashed = [&](float x, float y) {
        float d = std::fabs(SdRect(x, y, 4, 4, S - 4, S - 4, 4)) - 1.6f;
        float along = (std::fabs(x - 64) > std::fabs(y - 64)) ? y : x;
        return WrapF(along, 16) < 9 ? d : 10.0f;
    };
    Image dark(S, S);
    FillShape(dark, [&](float x, float y) { return dashed(x - 1, y - 1); }, Rgba{0, 0, 0, 0.4f});
    Composite(img, dark, 0, 0);
    FillShape(img, dashed, WithAlpha(tint, 0.6f));
    if (cross) {
        StrokeLine(img, {48, 48}, {80, 80}, 3, WithAlpha(tint, 0.45f));
        StrokeLine(img, {80, 48}, {48, 80}, 3, WithAlpha(tint, 0.45f));
    }
    return img;
}

// The helpers' outline drawn with whole 1994 pixels (a thin see-through line would vanish when shrunk).
Image BlankOutline1994(Rgba colour, bool cross) {
    Image img(32, 32);
    for (int i = 1; i < 31; ++i)
        if ((i / 3) % 2 == 0) {
            img.At(i, 1) = img.At(i, 30) = img.At(1, i) = img.At(30, i) = colour;
        }
    if (cross)
        for (int i = 12; i < 20; ++i) img.At(i, i) = img.At(31 - i, i) = colour;
    return UpscaleNearest(img, 4);
}

// ---- Grounds (scenery: darker, flatter) ------------------------------------------------------------------

Image Planks() {
    Light light{0.55f, 0.75f, 0.03f, 10};
    return Surface(S, S, true, 3, light, [&](float x, float y, Rgba& albedo, float& height) {
        int plank = static_cast<int>(x / 32);
        float lx = x - plank * 32;
        float shift = HashUnit(static_cast<std::uint32_t>(plank), 9) * S;
        float yy = WrapF(y + shift, S);
        float grain = std::sin(lx * 0.7f + Fbm2(lx / 32, yy / 24, 4, 6, 3, 700 + plank) * 6);
        Rgba w = Vary(Hex(0x5A3E27), Hash32(static_cast<std::uint32_t>(plank), 3), 0.1f);
        albedo = Scale(w, 1 + 0.07f * grain);
        float gap = std::min(lx, 32 - lx);
        height = SmoothStep(0, 3, gap) * 0.6f;
        if (gap < 1.2f) albedo = Scale(albedo, 0.5f);
        // One butt joint per plank, nailed.
        float joint = std::fabs(yy - 70);
        if (joint < 1) { albedo = Scale(albedo, 0.55f); height = 0.3f; }
        if ((lx - 16) * (lx - 16) + (yy - 78) * (yy - 78) < 4 || (lx - 16) * (lx - 16) + (yy - 62) * (yy - 62) < 4)
            albedo = Hex(0x2E2620);
    });
}

// Water shared by the full cell and the surface cell, so they join without a seam.
Rgba WaterAt(float x, float y, float phase) {
    float n = Fbm3(x / 32, y / 32, phase * 4, 4, 4, 4, 3, 808);
    float n2 = Noise3(x / 21.333f + 0.5f, y / 21.333f, phase * 3 + 1.7f, 6, 6, 3, 809);
    float caustic = std::pow(Clamp01(1 - std::fabs(n + 0.4f * n2) * 2.2f), 5.0f);
    Rgba deep = Hex(0x1B4F86), mid = Hex(0x2A6DB0);
    Rgba c = Mix(deep, mid, Clamp01(0.5f + 0.4f * n));
    c = Mix(c, Hex(0x9FE4FF), caustic * 0.55f);
    c.a = 0.88f;
    return c;
}

Image Water(float phase) {
    Image img(S, S);
    Paint(img, [&](float x, float y) { return WaterAt(x, y, phase); });
    return img;
}

float WaterLevel(float x, float phase) {
    float u = x / S;
    return 26 + 3.2f * std::sin(2 * Pi * (2 * u - phase)) + 1.6f * std::sin(2 * Pi * (3 * u + 2 * phase) + 1.1f) +
           0.8f * std::sin(2 * Pi * (5 * u - 3 * phase) + 0.4f);
}

Image WaterSurface(float phase) {
    Image img(S, S);
    Paint(img, [&](float x, float y) {
        float level = WaterLevel(x, phase);
        Rgba c = WaterAt(x, y, phase);
        float below = y - level;
        if (below < 0) return Rgba{0.8f, 0.95f, 1.0f, 0.0f};
        // Bright rim on the crest, a lighter band under it.
        float rim = Clamp01(1 - below / 2.5f);
        float band = Clamp01(1 - below / 14);
        c = Mix(c, Hex(0x6EC3F0), band * 0.35f);
        c = Mix(c, Hex(0xE8FAFF), rim * 0.9f);
        c.a = std::max(c.a, rim) * Clamp01(below + 0.5f);
        return c;
    });
    return img;
}

Image Magma(float phase) {
    Light light{0.5f, 0.85f, 0.05f, 10};
    Field glow(S, S);
    Image img = Surface(S, S, true, 6, light, [&](float x, float y, Rgba& albedo, float& height) {
        float warp = Fbm2(x / 32, y / 32, 4, 4, 2, 901) * 0.15f;
        Cell c = Cellular(x / 32 + warp, y / 32 - warp, 4, 4, 902, 0.85f);
        float edge = (c.f2 - c.f1) * 16;
        float bump = Fbm2(x / 16, y / 16, 8, 8, 3, 903);
        albedo = Scale(Vary(Hex(0x3A2C28), c.id, 0.1f), 1 + 0.15f * bump);
        height = SmoothStep(0.5f, 6, edge) * 0.8f + bump * 0.15f;
        float pulse = 0.6f + 0.4f * std::sin(2 * Pi * (phase + HashUnit(c.id, 4)));
        glow.At(static_cast<int>(x), static_cast<int>(y)) = Clamp01(1 - edge / 4.5f) * pulse;
    });
    for (int y = 0; y < S; ++y)
        for (int x = 0; x < S; ++x) {
            float g = glow.At(x, y);
            Rgba hot = GradientAt({{0, Hex(0x7A1A08)}, {0.5f, Hex(0xF05A10)}, {1, Hex(0xFFD860)}}, g);
            Rgba& p = img.At(x, y);
            p = Mix(p, hot, Clamp01(g * 1.3f));
        }
    // A soft warm light over the rock near the cracks.
    Field soft = BlurField(glow, 8, true);
    for (int i = 0; i < S * S; ++i) {
        Rgba& p = img.pixels[i];
        float g = soft.values[i] * 0.5f;
        p.r += g * 0.45f; p.g += g * 0.12f;
    }
    return img;
}

Image GrassTufts() {
    Image img(S, S);
    Rng rng(1212);
    // Tufts of thin curved blades growing from the bottom edge, with gaps between them.
    const float tufts[6] = {8, 30, 52, 74, 98, 118};
    for (float tx : tufts) {
        float size = rng.Range(0.6f, 1.0f);
        for (int i = 0; i < 11; ++i) {
            float bx = tx + rng.Range(-7, 7);
            float h = rng.Range(12, 34) * size;
            float lean = (bx - tx) * 0.9f + rng.Range(-4, 4);
            Rgba c = Mix(Hex(0x2F7A22), Hex(0x9ADB58), rng.Uniform());
            auto blade = [&](float x, float y) {
                float t = Clamp01((S - y) / h);
                float cx = bx + lean * t * t;
                float w = 2.6f * (1 - t) + 0.3f;
                if (y < S - h - 1 || y > S + 1) return 10.0f;
                return std::fabs(x - cx) - w;
            };
            FillShape(img, blade, c, true);
        }
    }
    const Rgba petals[3] = {Hex(0xF6E05A), Hex(0xF07AA8), Hex(0xFFFFFF)};
    const float flowers[3] = {19, 63, 108};
    for (int i = 0; i < 3; ++i) {
        float fx = flowers[i], fy = S - rng.Range(28, 38);
        StrokeLine(img, {fx, fy}, {fx + rng.Range(-3, 3), S}, 2, Hex(0x3E8A28), true);
        for (int k = 0; k < 5; ++k) {
            Vec2 p = Vec2{fx, fy} + Rotate({0, -4.2f}, k * 2 * Pi / 5);
            FillShape(img, [&](float x, float y) { return SdCircle(x, y, p.x, p.y, 3.2f); }, petals[i], true);
        }
        FillShape(img, [&](float x, float y) { return SdCircle(x, y, fx, fy, 2.4f); }, Hex(0xE0862A), true);
    }
    return img;
}

Image Vines() {
    Image img(S, S);
    Rng rng(3434);
    for (int v = 0; v < 5; ++v) {
        float x0 = 10 + v * 26 + rng.Range(-6, 6);
        float len = rng.Range(60, 122);
        float amp = rng.Range(3, 7), freq = rng.Range(0.05f, 0.09f), ph = rng.Range(0, 6);
        Vec2 prev{x0, -2};
        for (float y = 0; y <= len; y += 3) {
            Vec2 p{x0 + amp * std::sin(y * freq + ph), y};
            StrokeLine(img, prev, p, 2.6f, Hex(0x3C6B24), true);
            prev = p;
            if (static_cast<int>(y) % 12 == 0 && y > 4) {
                float side = (static_cast<int>(y) / 12) % 2 ? 1.0f : -1.0f;
                Vec2 leaf = p + Vec2{side * 6, 2};
                Rgba lc = Mix(Hex(0x4E9A2E), Hex(0x8FD14F), rng.Uniform());
                FillShape(img, [&](float x, float y2) {
                    Vec2 q = Rotate(Vec2{x, y2} - leaf, side * 0.6f);
                    return SdEllipse(q.x, q.y, 0, 0, 6.5f, 3.6f);
                }, lc, true);
            }
        }
    }
    return img;
}

Image Torch(float phase, int frame) {
    Image img(S, S);
    // Glow first, then bracket and flame.
    float flick = 0.85f + 0.15f * std::sin(2 * Pi * phase * 2) * std::sin(2 * Pi * phase * 3 + 1);
    PaintOver(img, [&](float x, float y) {
        float d = std::sqrt((x - 64) * (x - 64) + (y - 44) * (y - 44));
        float a = 0.42f * flick * std::exp(-d * d / (2 * 30.0f * 30.0f));
        return Rgba{1.0f, 0.7f, 0.3f, a};
    });
    Image metal(S, S);
    FillShape(metal, [](float x, float y) { return SdRect(x, y, 54, 100, 74, 122, 3); }, Hex(0x4A4A52));
    FillShape(metal, [](float x, float y) {
        std::vector<Vec2> cup = {{48, 62}, {80, 62}, {72, 78}, {56, 78}};
        return std::min(SdPolygon(x, y, cup), SdRect(x, y, 60, 76, 68, 104));
    }, Hex(0x6A6A74));
    Field sdf = DistanceField(AlphaOf(metal));
    ApplyLight(metal, BevelHeight(sdf, 3), 3, false, Light{0.5f, 0.85f, 0.4f, 16});
    Composite(img, metal, 0, 0);
    // Flame: a teardrop bent by noise.
    PaintOver(img, [&](float x, float y) {
        float t = Clamp01((62 - y) / 44);
        float sway = 4 * Noise2(y / 14 - phase * 4 * 2, phase * 4, 16, 4, 55 + frame * 0) * t;
        float width = 13 * std::sqrt(std::max(0.0f, t * (1.15f - t))) * 1.6f;
        float dx = std::fabs(x - 64 - sway);
        if (y > 64 || y < 14) return Transparent;
        float inside = width - dx;
        float n = Fbm3(x / 10, y / 10 + phase * 8, phase * 4, 13, 13, 4, 2, 57);
        float heat = Clamp01(inside / 7 + n * 0.3f);
        Rgba c = GradientAt({{0, Hex(0xD8380C)}, {0.45f, Hex(0xF7901E)}, {0.8f, Hex(0xFFE37A)}, {1, Hex(0xFFFFF0)}}, heat);
        c.a = Clamp01(inside / 2);
        return c;
    });
    return img;
}

// ---- Backgrounds (256 x 256, stretched over the screen) -------------------------------------------------

constexpr int B = 256;

Image Sky(float phase) {
    Image img(B, B);
    Paint(img, [&](float x, float y) {
        float t = y / B;
        Rgba c = GradientAt({{0, Hex(0x2E6FD0)}, {0.55f, Hex(0x67A9EA)}, {0.8f, Hex(0xB4DDF7)}, {1, Hex(0xD8EEF8)}}, t);
        // Clouds drift to the right; two offset copies cross-fade, so the loop has no jump.
        float cover = 0;
        for (int k = 0; k < 2; ++k) {
            float w = k == 0 ? 1 - phase : phase;
            float shift = (k == 0 ? phase : phase - 1) * 32;
            float xx = x - shift;
            float band = std::exp(-std::pow((y - 70) / 55, 2.0f)) + 0.7f * std::exp(-std::pow((y - 150) / 30, 2.0f));
            float n = Fbm2(xx / 64, y / 40, 4, 7, 5, 4401) * 0.9f + 0.28f * band - 0.18f;
            cover += w * SmoothStep(0.0f, 0.45f, n);
        }
        float shade = Clamp01((y - 30) / 160);
        Rgba cloud = Mix(Hex(0xFFFFFF), Hex(0xC6D6E8), shade * 0.7f);
        c = Mix(c, cloud, cover * 0.95f);
        // Two ranges of distant hills in the haze.
        float far = 196 + 14 * Fbm2(x / 64, 0.5f, 4, 4, 3, 4411);
        float near = 220 + 12 * Fbm2(x / 48, 2.5f, 5, 4, 3, 4412);
        if (y > far) c = Mix(c, Hex(0x7FA8C8), 0.85f);
        if (y > near) c = Mix(Hex(0x5E8F7A), Hex(0x4C7A62), Clamp01((y - near) / 30));
        return c;
    });
    return img;
}

Image Sunset() {
    Image img(B, B);
    Paint(img, [&](float x, float y) {
        float t = y / B;
        Rgba c = GradientAt({{0, Hex(0x2A1B4E)}, {0.35f, Hex(0x7A3A78)}, {0.6f, Hex(0xE0704A)}, {0.78f, Hex(0xFFC36A)}}, t);
        float sd = std::sqrt((x - 170) * (x - 170) + (y - 186) * (y - 186));
        c = Mix(c, Hex(0xFFF0B8), Clamp01((34 - sd) / 2));
        c = Mix(c, Hex(0xFFD080), 0.35f * std::exp(-sd / 40));
        // Thin streaks of cloud.
        float streak = Fbm2(x / 128, y / 6, 2, 43, 3, 4501);
        float band = std::exp(-std::pow((y - 120) / 50, 2.0f));
        c = Mix(c, Hex(0xF2A27A), Clamp01(streak * 1.8f - 0.3f) * band * 0.7f);
        float hills = 200 + 16 * Fbm2(x / 80, 0.5f, 4, 4, 3, 4502);
        if (y > hills) c = Mix(Hex(0x3A2240), Hex(0x24162C), Clamp01((y - hills) / 40));
        return c;
    });
    return img;
}

Image StarryNight(float phase) {
    Image img(B, B);
    Paint(img, [&](float x, float y) {
        float t = y / B;
        Rgba c = GradientAt({{0, Hex(0x060A1E)}, {0.7f, Hex(0x14224A)}, {1, Hex(0x24386A)}}, t);
        float neb = Fbm2(x / 64, y / 64, 4, 4, 5, 4601);
        c = Mix(c, Hex(0x4A3A7A), Clamp01(neb * 0.8f) * 0.35f);
        return c;
    });
    Rng rng(4602);
    for (int i = 0; i < 110; ++i) {
        float sx = rng.Range(0, B), sy = rng.Range(0, 210), size = rng.Range(0.5f, 1.4f);
        int cycles = rng.Int(1, 3);
        float ph = rng.Uniform();
        float tw = 0.55f + 0.45f * std::sin(2 * Pi * (phase * cycles + ph));
        FillShapeIn(img, [&](float x, float y) { return SdCircle(x, y, sx, sy, size); }, Rgba{1, 1, 0.9f, tw},
                    static_cast<int>(sx) - 4, static_cast<int>(sy) - 4, static_cast<int>(sx) + 4, static_cast<int>(sy) + 4);
    }
    // Moon.
    FillShape(img, [](float x, float y) { return std::max(SdCircle(x, y, 196, 52, 20), -SdCircle(x, y, 186, 46, 18)); }, Hex(0xF4F0D2));
    PaintOver(img, [](float x, float y) {
        float d = std::sqrt((x - 196) * (x - 196) + (y - 52) * (y - 52));
        return Rgba{0.9f, 0.9f, 0.7f, 0.18f * std::exp(-d / 30)};
    });
    // Hills.
    PaintOver(img, [](float x, float y) {
        float hills = 214 + 14 * Fbm2(x / 70, 0.5f, 4, 4, 3, 4603);
        return y > hills ? Hex(0x0A0F22) : Transparent;
    });
    return img;
}

Image Underground() {
    Image img(B, B);
    Paint(img, [&](float x, float y) {
        float t = y / B;
        Rgba c = GradientAt({{0, Hex(0x1A1620)}, {0.55f, Hex(0x342A3A)}, {1, Hex(0x4A3630)}}, t);
        float rock = Fbm2(x / 32, y / 32, 8, 8, 5, 4701);
        c = Scale(c, 1 + 0.25f * rock);
        // A warm glow from deep below.
        float g = std::exp(-std::pow((x - 128) / 80, 2.0f)) * Clamp01((y - 100) / 156);
        c = Mix(c, Hex(0xC8783A), g * 0.4f);
        // Far cave wall, a jagged silhouette.
        float far = 150 + 30 * Fbm2(x / 40, 0.5f, 7, 4, 4, 4703);
        if (y > far) c = Mix(c, Hex(0x2A2230), 0.55f);
        return c;
    });
    // Stalactites and stalagmites.
    Rng rng(4704);
    for (int i = 0; i < 14; ++i) {
        float x = i * 19 + rng.Range(-4, 4), len = rng.Range(24, 70), w = rng.Range(7, 12);
        bool up = i % 3 == 2;
        std::vector<Vec2> cone = up ? std::vector<Vec2>{{x - w, B + 1.0f}, {x + w, B + 1.0f}, {x + rng.Range(-2, 2), B - len * 0.8f}}
                                    : std::vector<Vec2>{{x - w, -1}, {x + w, -1}, {x + rng.Range(-2, 2), len}};
        FillShapeShaded(img, [&](float px, float py) { return SdPolygon(px, py, cone); }, [&](float px, float py, float) {
            float side = Clamp01(0.5f + (px - x) / (2 * w));
            return Mix(Hex(0x4A3E4C), Hex(0x1E1824), side);
        });
    }
    return img;
}

Image BonusBackground(float phase) {
    Image img(B, B);
    // A soft plasma of integer frequencies: seamless in space and in time.
    Paint(img, [&](float x, float y) {
        float u = x / B * 2 * Pi, v = y / B * 2 * Pi, p = phase * 2 * Pi;
        float s = std::sin(2 * u + p) + std::sin(3 * v - p) + std::sin(u + v + 2 * p) + std::sin(2 * u - 3 * v + p);
        float hue = WrapF(s / 8 + phase, 1);
        Rgba c = GradientAt({{0, Hex(0x5A2A9A)}, {0.2f, Hex(0x2A5AC8)}, {0.4f, Hex(0x1A9AA0)}, {0.6f, Hex(0x3AA04A)},
                             {0.8f, Hex(0xC8902A)}, {1, Hex(0x5A2A9A)}}, hue);
        return Scale(c, 0.75f);
    });
    Rng rng(4801);
    for (int i = 0; i < 36; ++i) {
        float sx = rng.Range(0, B), sy = rng.Range(0, B);
        float ph = rng.Uniform();
        float a = std::pow(std::max(0.0f, std::sin(2 * Pi * (phase + ph))), 3.0f);
        if (a < 0.02f) continue;
        float r = 3 + 4 * a;
        Image spark(B, B);
        FillShapeIn(spark, [&](float x, float y) {
            float dx = std::fabs(WrapF(x - sx + B / 2, B) - B / 2), dy = std::fabs(WrapF(y - sy + B / 2, B) - B / 2);
            return std::min(std::max(dx - r, dy - 0.8f), std::max(dy - r, dx - 0.8f));
        }, Rgba{1, 1, 1, a}, 0, 0, B - 1, B - 1);
        Composite(img, spark, 0, 0);
    }
    return img;
}

// ---- Objects ---------------------------------------------------------------------------------------------

Image Shadow() {
    Image img(S, S);
    PaintOver(img, [](float x, float y) {
        float d = std::sqrt(std::pow((x - 64) / 56, 2.0f) + std::pow((y - 112) / 12, 2.0f));
        return Rgba{0, 0, 0, 0.5f * Clamp01(1 - d) * Clamp01(1 - d)};
    });
    return img;
}

Image BallGlow() {
    Image img(S, S);
    PaintOver(img, [](float x, float y) {
        float d = std::sqrt((x - 64) * (x - 64) + (y - 64) * (y - 64)) / 64;
        return Rgba{1, 0.96f, 0.8f, 0.55f * Clamp01(1 - d) * Clamp01(1 - d)};
    });
    return img;
}

Image Exit(float phase) {
    Image img(S, S);
    // Portal inside a stone arch.
    auto archOuter = [](float x, float y) {
        float box = SdRect(x, y, 8, 44, 120, 128);
        float top = SdCircle(x, y, 64, 48, 56);
        return y < 48 ? top : box;
    };
    auto archInner = [](float x, float y) {
        float box = SdRect(x, y, 26, 50, 102, 128);
        float top = SdCircle(x, y, 64, 52, 38);
        return y < 52 ? top : box;
    };
    PaintOver(img, [&](float x, float y) {
        float d = archInner(x, y);
        if (d > 1) return Transparent;
        float dx = x - 64, dy = y - 80;
        float r = std::sqrt(dx * dx + dy * dy);
        float th = std::atan2(dy, dx);
        float arms = std::sin(3 * th + r * 0.16f - 2 * Pi * phase);
        float core = std::exp(-r / 16);
        float swirl = 0.5f + 0.5f * arms;
        Rgba c = GradientAt({{0, Hex(0x1A0E3A)}, {0.5f, Hex(0x3A48C8)}, {0.8f, Hex(0x48D8F0)}, {1, Hex(0xE8FFFF)}},
                            Clamp01(swirl * 0.75f * Clamp01(1.2f - r / 60) + core));
        c.a = Coverage(d);
        return c;
    });
    // Sparkles spiralling inward.
    for (int k = 0; k < 6; ++k) {
        float t = WrapF(phase + k / 6.0f, 1);
        float r = 34 * (1 - t), th = 2 * Pi * (k / 6.0f) + t * 3.5f;
        float sx = 64 + r * std::cos(th), sy = 80 + r * std::sin(th) * 0.9f;
        FillShape(img, [&](float x, float y) { return SdCircle(x, y, sx, sy, 1.8f); }, Rgba{1, 1, 1, 0.9f * (1 - t)});
    }
    Image arch = Surface(S, S, false, 6, Light{0.5f, 0.85f, 0.08f, 12}, [&](float x, float y, Rgba& albedo, float& height) {
        float outer = archOuter(x, y), inner = archInner(x, y);
        float d = std::max(outer, -inner);
        // Voussoirs: blocks by angle around the arch centre, courses on the legs.
        float th = std::atan2(y - 50, x - 64);
        float block;
        std::uint32_t id;
        if (y < 50) {
            float seg = (th + Pi) / Pi * 7;
            block = std::fabs(Fract(seg) - 0.5f) * 2;
            id = static_cast<std::uint32_t>(seg);
            block = (1 - block) * 9;
        } else {
            float course = (y - 50) / 19.5f;
            block = (0.5f - std::fabs(Fract(course) - 0.5f)) * 19.5f;
            id = static_cast<std::uint32_t>(course) + (x > 64 ? 50 : 0);
        }
        float joint = std::min(block, -d);
        float n = Fbm2(x / 12, y / 12, 11, 11, 3, 5101);
        albedo = Scale(Vary(Hex(0x9A958C), Hash32(id, 5), 0.1f), 1 + 0.1f * n);
        height = SmoothStep(0, 4, joint) * 0.8f + 0.1f * n;
        albedo.a = Coverage(d);
    });
    Composite(img, arch, 0, 0);
    // A keystone with a green light on top.
    FillShape(img, [](float x, float y) { return SdRect(x, y, 55, 6, 73, 18, 3); }, Hex(0x2C8A3C));
    FillShape(img, [](float x, float y) { return SdRect(x, y, 57, 8, 71, 12, 2); }, Rgba{0.7f, 1, 0.7f, 0.8f});
    return img;
}

std::vector<Image> Spikes(bool down) {
    Image img = Surface(S, S, true, 6, Light{0.5f, 0.9f, 0.5f, 24}, [&](float x, float y0, Rgba& albedo, float& height) {
        float y = down ? S - y0 : y0;
        // Base plate.
        float plate = SdRect(x, y, -4, 110, S + 4, S + 4);
        float lx = WrapF(x, 32) - 16;
        float tipY = 34, baseY = 112;
        float t = (y - tipY) / (baseY - tipY);
        float half = 13 * t;
        float spike = std::fabs(lx) - half;
        if (y < tipY) spike = 100;
        float d = std::min(plate, spike);
        albedo = Hex(0xB4BCC6);
        height = 0;
        if (spike < 0.5f && y < 111) {
            // Two facets: lit on the left, shaded on the right.
            height = (1 - std::fabs(lx) / std::max(half, 0.5f)) * 0.8f;
            albedo = Mix(Hex(0xE8EEF4), Hex(0x8A94A0), Clamp01(y / S));
        } else {
            albedo = Hex(0x4A4E56);
            height = 0.4f * SmoothStep(0, 3, -plate);
            if (WrapF(x, 32) < 1.5f) albedo = Hex(0x30333A);
        }
        if (down) height = -height;
        albedo.a = Coverage(d);
    });
    return {img};
}

Image Fire(float phase) {
    Image img(S, S);
    Paint(img, [&](float x, float y) {
        float rise = y / 32 + phase * 4;   // flames climb 128 pixels per loop
        float n = Fbm3(x / 32, rise, phase * 2, 4, 4, 2, 4, 6101);
        float tongues = 0.5f + 0.5f * std::sin(2 * Pi * (x / S * 4) + 2.5f * Noise2(x / 32, rise * 0.5f, 4, 2, 6102));
        float base = std::pow(y / S, 1.4f) * 1.05f;
        float heat = base + 0.5f * n + 0.25f * (tongues - 0.5f) * (1 - y / S) - 0.1f;
        Rgba c = GradientAt({{0.0f, Hex(0x6A0A04)}, {0.25f, Hex(0xC8300A)}, {0.5f, Hex(0xF27A14)}, {0.75f, Hex(0xFFC840)},
                             {1.0f, Hex(0xFFF6D0)}}, Clamp01(heat));
        c.a = SmoothStep(0.08f, 0.3f, heat);
        return c;
    });
    return img;
}

Image Lava(float phase) {
    Image img(S, S);
    Paint(img, [&](float x, float y) {
        float u = x / S;
        float level = 40 + 2.5f * std::sin(2 * Pi * (2 * u + phase)) + 1.5f * std::sin(2 * Pi * (3 * u - phase) + 0.7f);
        float below = y - level;
        if (below < -1) return Transparent;
        float flowX = x / 32 - phase * 4;   // the crust drifts one tile per loop
        float crust = Fbm2(flowX, y / 24, 4, 6, 4, 6201);
        float glow = Noise3(x / 16, y / 16, phase * 3, 8, 8, 3, 6202);
        Rgba hot = GradientAt({{0, Hex(0xB8280A)}, {0.5f, Hex(0xF26A12)}, {1, Hex(0xFFD860)}}, Clamp01(0.5f + 0.5f * glow));
        float crustAmount = SmoothStep(0.1f, 0.45f, crust) * Clamp01(below / 20);
        Rgba c = Mix(hot, Hex(0x3A1A12), crustAmount * 0.85f);
        c = Mix(c, Hex(0xFFF0A0), Clamp01(1 - below / 3) * 0.9f);
        c.a = Clamp01(below + 1);
        return c;
    });
    // Heat shimmer above the surface.
    PaintOver(img, [&](float x, float y) {
        float a = 0.22f * Clamp01(1 - (40 - y) / 30) * Clamp01((42 - y) / 2);
        return Rgba{1, 0.5f, 0.15f, a};
    });
    return img;
}

Image Saw(float phase) {
    Image img(S, S);
    const float cx = 64, cy = 92, R = 46;
    float angle = phase * 2 * Pi / 6;   // two of the twelve teeth pass per loop
    Image blade(S, S);
    FillShapeShaded(blade, [&](float x, float y) {
        Vec2 p = Rotate(Vec2{x - cx, y - cy}, -angle);
        float r = Length(p);
        float th = std::atan2(p.y, p.x);
        float tooth = Fract(th / (2 * Pi) * 12);
        float edge = R - 9 * tooth;
        return r - edge;
    }, [&](float x, float y, float) {
        float r = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
        float ring = 0.5f + 0.5f * std::sin(r * 0.9f);
        Rgba c = Mix(Hex(0xA8B0BC), Hex(0xDCE2EA), ring * 0.5f + 0.25f * (cx - x + cy - y) / R);
        return c;
    });
    FillShape(blade, [&](float x, float y) { return SdCircle(x, y, cx, cy, 12); }, Hex(0x50545C));
    FillShape(blade, [&](float x, float y) { return SdCircle(x, y, cx, cy, 5); }, Hex(0x2A2C30));
    for (int k = 0; k < 3; ++k) {
        Vec2 h = Rotate({0, -26}, angle + k * 2 * Pi / 3);
        FillShape(blade, [&](float x, float y) { return SdCircle(x, y, cx + h.x, cy + h.y, 5); }, Rgba{0.2f, 0.2f, 0.24f, 1});
    }
    Field sdf = DistanceField(AlphaOf(blade));
    ApplyLight(blade, BevelHeight(sdf, 4), 3, false, Light{0.5f, 0.85f, 0.5f, 20});
    Composite(img, blade, 0, 0);
    // Housing that the blade comes out of.
    Image base = Surface(S, S, false, 5, Light{0.5f, 0.85f, 0.3f, 16}, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 0, 100, S, S + 6, 4);
        bool stripe = WrapF(x - y, 20) < 10;
        albedo = y > 106 && y < 122 ? (stripe ? Hex(0xF2C230) : Hex(0x26262B)) : Hex(0x5A6068);
        height = SmoothStep(0, 4, -d);
        albedo.a = Coverage(d);
    });
    Composite(img, base, 0, 0);
    return img;
}

Image Crack() {
    Image img(S, S), dark(S, S), lightEdge(S, S);
    Rng rng(7001);
    std::function<void(Vec2, float, float, int)> branch = [&](Vec2 p, float dir, float width, int depth) {
        while (width > 0.9f && p.x > -4 && p.y > -4 && p.x < S + 4 && p.y < S + 4) {
            dir += rng.Range(-0.55f, 0.55f);
            Vec2 q = p + Vec2{std::cos(dir), std::sin(dir)} * rng.Range(7, 13);
            StrokeLine(dark, p, q, width, Rgba{0.08f, 0.06f, 0.05f, 0.9f});
            StrokeLine(lightEdge, p + Vec2{1.5f, 1.5f}, q + Vec2{1.5f, 1.5f}, width * 0.6f, Rgba{1, 1, 1, 0.35f});
            if (depth < 2 && rng.Uniform() < 0.25f) branch(q, dir + rng.Range(-1.2f, 1.2f), width * 0.6f, depth + 1);
            width *= 0.93f;
            p = q;
        }
    };
    Vec2 centre{60, 66};
    for (int k = 0; k < 5; ++k) branch(centre, k * 2 * Pi / 5 + rng.Range(-0.3f, 0.3f), 4.2f, 0);
    // A few chips knocked out around the centre.
    for (int k = 0; k < 4; ++k) {
        Vec2 c = centre + Rotate({rng.Range(6, 14), 0}, rng.Range(0, 2 * Pi));
        FillShape(dark, [&](float x, float y) { return SdCircle(x, y, c.x, c.y, rng.Range(2, 3.5f)); }, Rgba{0.08f, 0.06f, 0.05f, 0.85f});
    }
    Composite(img, lightEdge, 0, 0);
    Composite(img, dark, 0, 0);
    return img;
}

// Force cells lie over the ball, so they are see-through: a faint field and chevrons moving its way.
Image ForceArrow(float phase, float angle) {
    Image img(S, S);
    FillShapeShaded(img, [](float x, float y) { return SdRect(x, y, 4, 4, S - 4, S - 4, 14); }, [](float x, float y, float d) {
        float rim = Clamp01(1 + d / 6);
        return Rgba{0.25f, 0.95f, 0.85f, 0.10f + 0.25f * rim};
    });
    for (int i = 0; i < 3; ++i) {
        float pos = WrapF((i + phase) / 3.0f, 1.0f);   // 0..1 along the way
        float along = -44 + pos * 88;
        float fade = std::sin(pos * Pi);
        Image chevron(S, S);
        FillShapeShaded(chevron, [&](float x, float y) {
            Vec2 p = Rotate(Vec2{x - 64, y - 64}, -angle);   // p.x along the force
            float dx = p.x - along;
            float arm = std::fabs(dx + std::fabs(p.y) * 0.75f) - 5.5f;
            return std::max(arm, std::fabs(p.y) - 30);
        }, [&](float, float, float d) {
            return Rgba{0.55f, 1.0f, 0.92f, 0.9f * fade * Clamp01(0.6f - d * 0.3f + 0.5f)};
        });
        Image glow = BoxBlur(chevron, 6, false);
        for (Rgba& p : glow.pixels) { p.r = 0.3f; p.g = 1; p.b = 0.9f; p.a *= 0.6f; }
        Composite(img, glow, 0, 0);
        Composite(img, chevron, 0, 0);
    }
    return img;
}

Image SwitchFrame(bool on) {
    Image img(S, S);
    FillShapeShaded(img, [](float x, float y) { return SdRect(x, y, 4, 4, S - 4, S - 4, 14); }, [&](float, float, float d) {
        float rim = Clamp01(1 + d / 6);
        return on ? Rgba{0.3f, 1.0f, 0.4f, 0.10f + 0.25f * rim} : Rgba{1.0f, 0.35f, 0.3f, 0.10f + 0.25f * rim};
    });
    Rgba lamp = on ? Hex(0x4CF05A) : Hex(0xE8382C);
    if (on) {
        PaintOver(img, [](float x, float y) {
            float d = std::sqrt((x - 64) * (x - 64) + (y - 64) * (y - 64));
            return Rgba{0.4f, 1, 0.45f, 0.55f * std::exp(-d * d / (2 * 26.0f * 26.0f))};
        });
    }
    Image badge(S, S);
    FillShape(badge, [](float x, float y) { return SdCircle(x, y, 64, 64, 30); }, Hex(0x2C3038));
    FillShape(badge, [](float x, float y) { return SdCircle(x, y, 64, 64, 24); }, Scale(lamp, on ? 1.0f : 0.8f));
    // Power symbol.
    Rgba mark = on ? Hex(0xF0FFF0) : Hex(0x5A1410);
    FillShape(badge, [](float x, float y) {
        float ring = std::fabs(SdCircle(x, y, 64, 66, 12)) - 2.6f;
        if (y < 62 && std::fabs(x - 64) < 7) ring = 10;
        return std::min(ring, SdRect(x, y, 61.5f, 46, 66.5f, 66, 2.5f));
    }, mark);
    Field sdf = DistanceField(AlphaOf(badge));
    ApplyLight(badge, BevelHeight(sdf, 5), 4, false, Light{0.5f, 0.85f, 0.45f, 18});
    Composite(img, badge, 0, 0);
    return img;
}

// Path markers show only in the editor: a dashed ring with an arrow.
Image PathMarker(float angle) {
    Image img(S, S);
    Rgba c = Hex(0xE040E0);
    FillShape(img, [](float x, float y) { return SdCircle(x, y, 64, 64, 44); }, WithAlpha(c, 0.12f));
    FillShape(img, [](float x, float y) {
        float th = std::atan2(y - 64, x - 64);
        float dash = std::sin(th * 10) > -0.2f ? 0 : 10;
        return std::fabs(SdCircle(x, y, 64, 64, 44)) - 2.5f + dash;
    }, WithAlpha(c, 0.85f));
    std::vector<Vec2> arrow = {{30, -0}, {4, -22}, {4, -9}, {-28, -9}, {-28, 9}, {4, 9}, {4, 22}};
    for (Vec2& p : arrow) p = Rotate(p, angle) + Vec2{64, 64};
    Image a(S, S);
    FillShape(a, [&](float x, float y) { return SdPolygon(x, y, arrow) - 1; }, WithAlpha(c, 0.95f));
    Composite(img, DropShadow(a, 2, 2, 3, {0, 0, 0, 0.5f}), 0, 0);
    Composite(img, a, 0, 0);
    return img;
}

Image Platform(float phase) {
    Image img = Surface(S, S, false, 7, Light{0.45f, 0.85f, 0.35f, 20}, [&](float x, float y, Rgba& albedo, float& height) {
        float d = SdRect(x, y, 2, 2, S - 2, S - 2, 10);
        albedo = Hex(0x5C6E80);
        height = SmoothStep(0, 8, -d);
        float band = SdRect(x, y, 12, 50, S - 12, 78, 5);
        if (band < 0) { albedo = Hex(0x1E2630); height = 0.6f; }
        bool stripe = WrapF(x + y, 22) < 11;
        if ((y < 22 || y > S - 22) && -d > 5) { albedo = stripe ? Hex(0xF2C230) : Hex(0x26262B); height = 0.95f; }
        albedo.a = Coverage(d);
    });
    // Running lights along the middle band.
    for (int k = 0; k < 5; ++k) {
        float lx = 24 + k * 20;
        float on = 0.25f + 0.75f * std::pow(0.5f + 0.5f * std::cos(2 * Pi * (phase - k / 5.0f)), 3.0f);
        Rgba c = Mix(Hex(0x0E3A44), Hex(0x60F0FF), on);
        FillShape(img, [&](float x, float y) { return SdCircle(x, y, lx, 64, 6); }, c);
        PaintOver(img, [&](float x, float y) {
            float dd = std::sqrt((x - lx) * (x - lx) + (y - 64) * (y - 64));
            return Rgba{0.4f, 0.95f, 1, 0.45f * on * std::exp(-dd / 6) * (dd > 5 ? 1.0f : 0.0f)};
        });
    }
    return img;
}

Image Explosion(int frame, int frames) {
    const int E = 256;
    float t = static_cast<float>(frame) / (frames - 1);
    Image img(E, E);
    float radius = 22 + 86 * std::sqrt(t);
    float heatScale = std::pow(1 - t, 0.7f);
    Paint(img, [&](float x, float y) {
        float dx = x - 128, dy = y - 128;
        float r = std::sqrt(dx * dx + dy * dy);
        float n = Fbm2(x / 32 + t * 1.5f, y / 32 - t * 2.0f, 8, 8, 4, 8101);
        float d = r / radius + 0.32f * n;
        float density = Clamp01(1.1f - d);
        float heat = Clamp01((1 - d * 0.9f) * 1.6f) * heatScale;
        Rgba c = GradientAt({{0, Hex(0x2A2424)}, {0.2f, Hex(0x5A2A1A)}, {0.45f, Hex(0xD8400C)}, {0.7f, Hex(0xFFA020)},
                             {0.9f, Hex(0xFFE890)}, {1, Hex(0xFFFFF0)}}, heat);
        // Smoke takes over as it cools.
        c = Mix(Mix(Hex(0x3A3434), Hex(0x6A6260), Clamp01(0.5f + 0.5f * n)), c, Clamp01(heat * 2.2f));
        float fade = 1 - SmoothStep(0.65f, 1.0f, t);
        c.a = SmoothStep(0.0f, 0.35f, density) * fade;
        return c;
    });
    // Shock ring early on.
    if (t < 0.4f) {
        float rr = 30 + 220 * t, a = 0.6f * (1 - t / 0.4f);
        PaintOver(img, [&](float x, float y) {
            float r = std::sqrt((x - 128) * (x - 128) + (y - 128) * (y - 128));
            return Rgba{1, 0.95f, 0.8f, a * std::exp(-std::pow((r - rr) / 5, 2.0f))};
        });
    }
    // Sparks flying out.
    Rng rng(8102);
    for (int i = 0; i < 26; ++i) {
        float ang = rng.Range(0, 2 * Pi), speed = rng.Range(70, 125), life = rng.Range(0.45f, 0.9f);
        if (t > life) continue;
        float r0 = speed * t, r1 = speed * std::max(0.0f, t - 0.06f);
        Vec2 a{128 + r1 * std::cos(ang), 128 + r1 * std::sin(ang) + 40 * t * t};
        Vec2 b{128 + r0 * std::cos(ang), 128 + r0 * std::sin(ang) + 40 * t * t};
        float alpha = 1 - t / life;
        StrokeLine(img, a, b, 2.5f, Rgba{1, 0.85f, 0.4f, alpha});
    }
    return img;
}

}  // namespace

// ---- Shared pictures (also used by the big font) ---------------------------------------------------------

Image BallPicture(int size, float angle) {
    Image img(size, size);
    float k = size / 128.0f;
    const float R = 60 * k, c = size / 2.0f;
    // The ball turns about an axis that leans a little towards the viewer, so the pattern travels over it.
    const float tilt = 0.35f;
    Light light{0.38f, 0.95f, 0.55f, 30};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float px = (x + 0.5f - c) / R, py = (y + 0.5f - c) / R;
            float r2 = px * px + py * py;
            float d = (std::sqrt(r2) - 1) * R;
            float cov = Coverage(d);
            if (cov <= 0) continue;
            float pz = std::sqrt(std::max(0.0f, 1 - r2));
            // View -> ball: undo the tilt, undo the turn, redo the tilt.
            float ct = std::cos(tilt), st = std::sin(tilt);
            float y1 = py * ct - pz * st, z1 = py * st + pz * ct;
            Vec2 q = Rotate({px, y1}, -angle);
            float ox = q.x, oy = q.y, oz = z1;
            // Eight panels around the ball's own x axis, red and white, with blue caps at the poles.
            float lon = std::atan2(oz, oy);
            int panel = static_cast<int>(std::floor((lon + Pi) / (2 * Pi) * 8));
            float panelEdge = std::fabs(Fract((lon + Pi) / (2 * Pi) * 8) - 0.5f);
            Rgba col = panel % 2 ? Hex(0xF4F1EA) : Hex(0xE2342A);
            if (panelEdge > 0.47f) col = Scale(col, 0.82f);
            if (std::fabs(ox) > 0.9f) col = Hex(0x2F6FD6);
            if (std::fabs(std::fabs(ox) - 0.9f) < 0.025f) col = Hex(0x1C3A78);
            float highlight = 0;
            float kf = LightFactor(px, py, pz, light, &highlight);
            // Darker towards the rim, so the ball reads round even at a quarter size.
            float rim = 1 - 0.35f * std::pow(std::sqrt(r2), 6.0f);
            Rgba out = Scale(col, kf * rim);
            out.r += highlight; out.g += highlight; out.b += highlight;
            out.a = cov;
            img.At(x, y) = out;
        }
    // A thin dark outline.
    Image outline(size, size);
    FillShape(outline, [&](float x, float y) { return std::fabs(SdCircle(x, y, c, c, R - 0.8f * k)) - 1.2f * k; }, Rgba{0.1f, 0.05f, 0.08f, 0.7f});
    Composite(img, outline, 0, 0);
    return img;
}

Image BombPicture(int size, float spark, int frame) {
    float k = size / 128.0f;
    Image img(size, size);
    const float cx = 60 * k, cy = 74 * k, R = 40 * k;
    Image body(size, size);
    Light light{0.4f, 0.9f, 0.9f, 40};
    FillShapeShaded(body, [&](float x, float y) { return SdCircle(x, y, cx, cy, R); }, [&](float x, float y, float) {
        float px = (x - cx) / R, py = (y - cy) / R;
        float pz = std::sqrt(std::max(0.0f, 1 - px * px - py * py));
        float highlight = 0;
        float f = LightFactor(px, py, pz, light, &highlight);
        Rgba c = Scale(Hex(0x2A2D36), f);
        c.r += highlight; c.g += highlight; c.b += highlight * 1.05f;
        return c;
    });
    // The cap, turned towards the upper right.
    FillShapeShaded(body, [&](float x, float y) {
        Vec2 p = Rotate(Vec2{x - (cx + 24 * k), y - (cy - 30 * k)}, -0.7f);
        return SdBox(p.x, p.y, 0, 0, 11 * k, 8 * k, 2 * k);
    }, [&](float x, float y, float) {
        Vec2 p = Rotate(Vec2{x - (cx + 24 * k), y - (cy - 30 * k)}, -0.7f);
        return Mix(Hex(0xD0D4DC), Hex(0x7A7E88), Clamp01(0.5f + p.x / (22 * k)));
    });
    Composite(img, body, 0, 0);
    // Fuse.
    Vec2 f0{cx + 29 * k, cy - 37 * k};
    Vec2 f1{cx + 38 * k, cy - 52 * k}, f2{cx + 50 * k, cy - 56 * k};
    StrokeLine(img, f0, f1, 5 * k, Hex(0xC8A46A));
    StrokeLine(img, f1, f2, 5 * k, Hex(0xC8A46A));
    if (spark > 0) {
        Rng rng(9000 + static_cast<std::uint64_t>(frame));
        PaintOver(img, [&](float x, float y) {
            float d = std::sqrt((x - f2.x) * (x - f2.x) + (y - f2.y) * (y - f2.y));
            return Rgba{1, 0.75f, 0.25f, spark * 0.7f * std::exp(-d / (7 * k))};
        });
        int rays = 7;
        for (int i = 0; i < rays; ++i) {
            float a = rng.Range(0, 2 * Pi), len = rng.Range(6, 14) * k * spark;
            StrokeLine(img, f2, f2 + Vec2{std::cos(a), std::sin(a)} * len, 2.2f * k, Rgba{1, 0.95f, 0.5f, 0.95f});
        }
        FillShape(img, [&](float x, float y) { return SdCircle(x, y, f2.x, f2.y, 3.5f * k); }, Hex(0xFFFFF0));
    }
    return img;
}

Image FlagPicture(int size, float phase) {
    float k = size / 128.0f;
    Image img(size, size);
    // Pole with a gold knob.
    Image pole(size, size);
    FillShape(pole, [&](float x, float y) { return SdRect(x, y, 24 * k, 14 * k, 31 * k, 122 * k, 2 * k); }, Hex(0x8A6A4A));
    FillShape(pole, [&](float x, float y) { return SdCircle(x, y, 27.5f * k, 12 * k, 6.5f * k); }, Hex(0xF2C230));
    FillShape(pole, [&](float x, float y) { return SdRect(x, y, 16 * k, 118 * k, 40 * k, 126 * k, 3 * k); }, Hex(0x5A4636));
    ApplyLight(pole, BevelHeight(DistanceField(AlphaOf(pole)), 3 * k), 3, false, Light{0.5f, 0.85f, 0.5f, 16});
    // The cloth: a rectangle whose rows ripple with a travelling wave that grows away from the pole.
    const float x0 = 31 * k, y0 = 18 * k, W = 78 * k, H = 50 * k;
    auto wave = [&](float u) { return 7 * k * u * std::sin(2 * Pi * (1.3f * u - phase)); };
    auto slope = [&](float u) { return std::cos(2 * Pi * (1.3f * u - phase)); };
    Image cloth(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float u = (x + 0.5f - x0) / W;
            if (u < -0.02f || u > 1.02f) continue;
            float v = (y + 0.5f - y0 - wave(u)) / H;
            // Anti-aliased edges in both directions.
            float cov = Clamp01(std::min({(u * W) + 0.5f, (1 - u) * W + 0.5f, v * H + 0.5f, (1 - v) * H + 0.5f}));
            if (cov <= 0) continue;
            Rgba c = Hex(0xE0342A);
            // A yellow star on the cloth.
            float sx = 0.42f * W, sy = 0.5f * H;
            Vec2 p{u * W - sx, v * H - sy};
            float r = Length(p), th = std::atan2(p.y, p.x) + Pi / 2;
            float star = r - (10 * k) * (0.55f + 0.45f * std::cos(5 * th)) - 2 * k;
            c = Mix(c, Hex(0xFFD23A), Coverage(star));
            float shade = 0.86f + 0.3f * slope(u) * std::min(1.0f, u * 1.5f);
            c = Scale(c, shade);
            c.a = cov;
            cloth.At(x, y) = c;
        }
    Composite(img, DropShadow(cloth, static_cast<int>(3 * k), static_cast<int>(4 * k), static_cast<int>(3 * k), {0, 0, 0, 0.3f}), 0, 0);
    Composite(img, pole, 0, 0);
    Composite(img, cloth, 0, 0);
    return img;
}

bool BuildMainPack(const std::string& gameDir, std::vector<std::string>& manifest) {
    PackWriter pack;
    pack.Open(gameDir, "txtpckMain");
    pack.nostalgicDither = 0.12f;

    // Walls.
    pack.Add(Make("wall", 'r', 'r', "brick", {Bricks({Hex(0xA4553A), Hex(0xA79E8E), 0.12f, 5, 0.12f, 11})}));
    pack.Add(Make("wall", 'r', 'r', "stone", {Stones(Hex(0x9A9EA6), Hex(0x3E3C3A), 7, 4, 21)}));
    pack.Add(Make("wall", 'c', 'c', "metal", {MetalPlate(Hex(0x8796A4), 31)}));
    pack.Add(Make("wall", 'c', 'c', "crate", {Crate()}));
    pack.Add(Make("wall", 'c', 'c', "ice", {IceBlock()}));
    pack.Add(Make("wall", 'r', 'c', "grasstop", {GrassTop()}));
    pack.Add(Make("wall", 'r', 'r', "dirt", {Dirt(41, 1.0f, 5)}));
    pack.Add(Make("wall", 'r', 'r', "marble", {Marble()}));
    pack.Add(Make("wall", 'r', 'c', "girder", {Girder()}));
    pack.Add(Make("wall", 'c', 'c', "glass", {GlassBlock()}));
    pack.Add(Make("wall", 'c', 'c', "elevator", Frames(25, [](int i) { return ElevatorFrame(Phase(i, 25)); })));
    Texture blankWall = Make("wall", 'c', 'c', "BlankWall", {BlankOutline(Hex(0xFFFFFF), false)});
    blankWall.nostalgicFrames = {BlankOutline1994(Hex(0xFFFFFF), false)};
    pack.Add(std::move(blankWall));
    const std::pair<const char*, std::uint32_t> colours[] = {
        {"yellow", 0xF5D33A},     {"lightgreen", 0x5EE05A}, {"lightblue", 0x5A7CFF},  {"lightred", 0xFF5A5A},
        {"lightpurple", 0xF060F0}, {"lightwhite", 0xF2F2F2}, {"lightcyan", 0x5AF0F0},  {"lightblack", 0x5C5C62},
        {"darkgreen", 0x1F9A2A},  {"darkcyan", 0x17969A},   {"darkred", 0xA82222},    {"darkblue", 0x2432A8},
        {"darkpurple", 0x9022A0}, {"darkwhite", 0xAAAAB0},
    };
    for (auto& c : colours) {
        Texture square = Make("wall", 'c', 'c', c.first, {ColourSquare(Hex(c.second))});
        square.nostalgicDither = 0;
        pack.Add(std::move(square));
    }

    // Grounds.
    pack.Add(Make("grnd", 'r', 'r', "earth", {Dirt(51, 0.55f, 3)}));
    pack.Add(Make("grnd", 'r', 'r', "cave", {Stones(Hex(0x4A4C54), Hex(0x22232A), 4, 3, 61, -0.05f)}));
    pack.Add(Make("grnd", 'r', 'r', "brickback", {Bricks({Hex(0x5A3A32), Hex(0x3A3632), 0.1f, 2.5f, 0.1f, 71})}));
    pack.Add(Make("grnd", 'r', 'r', "planks", {Planks()}));
    pack.Add(Make("grnd", 'r', 'r', "water", Frames(32, [](int i) { return Water(Phase(i, 32)); })));
    pack.Add(Make("grnd", 'r', 'c', "watersurface", Frames(32, [](int i) { return WaterSurface(Phase(i, 32)); })));
    pack.Add(Make("grnd", 'r', 'r', "magma", Frames(32, [](int i) { return Magma(Phase(i, 32)); })));
    pack.Add(Make("grnd", 'r', 'c', "grass", {GrassTufts()}));
    pack.Add(Make("grnd", 'r', 'c', "vines", {Vines()}));
    pack.Add(Make("grnd", 'c', 'c', "torch", Frames(16, [](int i) { return Torch(Phase(i, 16), i); })));

    // Backgrounds. With the files listed by name "sky" comes first and is the default; the bonus background
    // is the only tiling one, so it never is.
    pack.Add(Make("back", 'c', 'c', "sky", Frames(32, [](int i) { return Sky(Phase(i, 32)); })));
    pack.Add(Make("back", 'c', 'c', "sunset", {Sunset()}));
    pack.Add(Make("back", 'c', 'c', "starrynight", Frames(25, [](int i) { return StarryNight(Phase(i, 25)); })));
    pack.Add(Make("back", 'c', 'c', "underground", {Underground()}));
    pack.Add(Make("back", 'r', 'r', "bonusbackground", Frames(32, [](int i) { return BonusBackground(Phase(i, 32)); })));

    // The ball and what belongs to it.
    pack.Add(Make("ball", 'c', 'c', "ball", Frames(32, [](int i) { return BallPicture(S, Phase(i, 32) * 2 * Pi); })));
    pack.Add(Make("blsh", 'c', 'c', "shadow", {Shadow()}));
    pack.Add(Make("blll", 'c', 'c', "balllight", {BallGlow()}));

    // Pickups, exit, traps, cracks.
    pack.Add(Make("bomb", 'c', 'c', "bomb", Frames(8, [](int i) { return BombPicture(S, 0.8f + 0.2f * std::sin(i * 2.4f), i); })));
    pack.Add(Make("flag", 'c', 'c', "flag", Frames(25, [](int i) { return FlagPicture(S, Phase(i, 25)); })));
    pack.Add(Make("exit", 'c', 'c', "exit", Frames(32, [](int i) { return Exit(Phase(i, 32)); })));
    pack.Add(Make("trap", 'r', 'c', "spikes", Spikes(false)));
    pack.Add(Make("trap", 'r', 'c', "ceilingspikes", Spikes(true)));
    pack.Add(Make("trap", 'r', 'c', "fire", Frames(24, [](int i) { return Fire(Phase(i, 24)); })));
    pack.Add(Make("trap", 'r', 'c', "lava", Frames(32, [](int i) { return Lava(Phase(i, 32)); })));
    pack.Add(Make("trap", 'c', 'c', "saw", Frames(8, [](int i) { return Saw(Phase(i, 8)); })));
    pack.Add(Make("crck", 'c', 'c', "crack", {Crack()}));
    Texture blank = Make("crck", 'c', 'c', "Blank", {BlankOutline(Hex(0xFFC040), true)});
    blank.nostalgicFrames = {BlankOutline1994(Hex(0xFFFF55), true)};
    pack.Add(std::move(blank));

    // Force cells and the switch (off image first, on image second).
    const std::pair<const char*, const char*> arrows[] = {{"arrn", "arrowup"}, {"arre", "arrowright"}, {"arrs", "arrowdown"}, {"arrw", "arrowleft"}};
    const float arrowAngles[] = {-Pi / 2, 0, Pi / 2, Pi};
    for (int a = 0; a < 4; ++a) {
        float angle = arrowAngles[a];
        pack.Add(Make(arrows[a].first, 'c', 'c', arrows[a].second, Frames(16, [&](int i) { return ForceArrow(Phase(i, 16), angle); })));
    }
    pack.Add(Make("arru", 'c', 'c', "switch", {SwitchFrame(false), SwitchFrame(true)}));

    // Path markers, platform, explosion, big font.
    const std::pair<const char*, const char*> paths[] = {{"plan", "pathup"}, {"plae", "pathright"}, {"plas", "pathdown"}, {"plaw", "pathleft"}};
    for (int a = 0; a < 4; ++a) pack.Add(Make(paths[a].first, 'c', 'c', paths[a].second, {PathMarker(arrowAngles[a])}));
    pack.Add(Make("plat", 'c', 'c', "platform", Frames(16, [](int i) { return Platform(Phase(i, 16)); })));
    pack.Add(Make("expl", 'c', 'c', "explosion", Frames(16, [](int i) { return Explosion(i, 16); })));
    Texture font = Make("font", 'c', 'c', "font", BigFontFrames());
    font.nostalgicFrames = BigFontFrames1994();
    pack.Add(std::move(font));

    manifest = pack.manifest;
    return pack.ok;
}

}  // namespace art

namespace art {

Image MainPackSample(const std::string& kind) {
    if (kind == "grnd") {
        Image img = Dirt(51, 0.55f, 3);
        Composite(img, GrassTufts(), 0, 0);
        return img;
    }
    if (kind == "wall") return Bricks({Hex(0xA4553A), Hex(0xA79E8E), 0.12f, 5, 0.12f, 11});
    if (kind == "crck") {
        Image img = Stones(Hex(0x9A9EA6), Hex(0x3E3C3A), 7, 4, 21);
        Composite(img, Crack(), 0, 0);
        return img;
    }
    if (kind == "bomb") return BombPicture(S, 1, 0);
    if (kind == "flag") return FlagPicture(S, 0);
    if (kind == "trap") return Spikes(false)[0];
    if (kind == "ball") return BallPicture(S, 0.6f);
    if (kind == "exit") return Exit(0);
    if (kind == "plat") return Platform(0);
    if (kind == "back") return Sky(0);
    if (kind == "grasstop") return GrassTop();
    return Image(S, S);
}

}  // namespace art
