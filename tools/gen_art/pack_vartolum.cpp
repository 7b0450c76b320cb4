// Texture pack "txtpckVarto-Lum": the textures that imported levels of the older text-screen format name,
// drawn as blocky pixel art (32 x 32 pixels, each shown 4 x 4) and their 1994 twins (16 colours).
//
// The kind of each texture follows what the import does with its cells: cells of "v" kill (trap), cells of
// "l" are collected (flag), cells of codes 176 and 178 are walls, the lift is an elevator.
#include <algorithm>
#include <cstdio>

#include "draw.h"
#include "packs.h"
#include "surface.h"

namespace art {

namespace {

constexpr int P = 32;   // pixels across
constexpr int Up = 4;   // each shown as 4 x 4

Texture Make(const char* kind, char ws, char wt, const std::string& name, std::vector<Image> pixelFrames) {
    Texture t;
    t.kind = kind;
    t.wrapS = ws;
    t.wrapT = wt;
    t.name = name;
    for (Image& f : pixelFrames) t.frames.push_back(UpscaleNearest(f, Up));
    return t;
}

std::vector<Image> Frames(int n, const std::function<Image(int)>& f) {
    std::vector<Image> out;
    for (int i = 0; i < n; ++i) out.push_back(f(i));
    return out;
}

Image Canvas(Rgba fill = Transparent) { return Image(P, P, fill); }

// A shaded ramp of one hue: index 0 darkest .. 3 lightest.
struct Ramp {
    Rgba c[4];
};
const Ramp Grey{{Hex(0x3C3C44), Hex(0x6C6C78), Hex(0x9C9CA8), Hex(0xD0D0DC)}};
const Ramp Brick{{Hex(0x5A2014), Hex(0x8C3A24), Hex(0xB45A34), Hex(0xD88A5C)}};
const Ramp Wood{{Hex(0x4A2C14), Hex(0x7A4C24), Hex(0xA8703C), Hex(0xD09C5C)}};
const Ramp Green{{Hex(0x1C4A14), Hex(0x2E7A20), Hex(0x4EAA34), Hex(0x8CDC5C)}};
const Ramp Earth{{Hex(0x3A2414), Hex(0x5C3C20), Hex(0x7C5630), Hex(0x9C7448)}};
const Ramp Purple{{Hex(0x3A1450), Hex(0x5E2480), Hex(0x8C40B4), Hex(0xBC78E0)}};
const Ramp Red{{Hex(0x5A0C0C), Hex(0x981C1C), Hex(0xD03C30), Hex(0xF4806C)}};
const Ramp Ice{{Hex(0x3C78A8), Hex(0x6CB0DC), Hex(0xA8DCF4), Hex(0xE8F8FF)}};
const Ramp Snow{{Hex(0x8CA0C0), Hex(0xBCCCE4), Hex(0xE0E8F4), Hex(0xFFFFFF)}};
const Ramp Steel{{Hex(0x30384C), Hex(0x506078), Hex(0x7C8CA4), Hex(0xB4C4D8)}};
const Ramp Gold{{Hex(0x6A4A0C), Hex(0xA8780C), Hex(0xE0B024), Hex(0xFCE484)}};
const Ramp Toxic{{Hex(0x0C3A18), Hex(0x1C6A24), Hex(0x3CA82C), Hex(0xA8F050)}};

// A block with a one-pixel light edge on top and left and a dark one at the bottom and right.
void Block(Image& img, int x0, int y0, int x1, int y1, const Ramp& r, int face = 2) {
    PixelRect(img, x0, y0, x1, y1, r.c[face]);
    PixelRect(img, x0, y0, x1, y0, r.c[3]);
    PixelRect(img, x0, y0, x0, y1, r.c[3]);
    PixelRect(img, x0, y1, x1, y1, r.c[0]);
    PixelRect(img, x1, y0, x1, y1, r.c[0]);
}

// Sprinkles pixels of one shade by a hash, for grain.
void Speckle(Image& img, const Ramp& r, int shade, float amount, std::uint32_t seed, bool onlyOpaque = true) {
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x)
            if (HashUnit(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), seed) < amount && (!onlyOpaque || img.At(x, y).a > 0.5f))
                img.At(x, y) = r.c[shade];
}

// ---- Walls -----------------------------------------------------------------------------------------------

Image BrickWall() {
    Image img = Canvas(Grey.c[1]);
    for (int row = 0; row < 4; ++row)
        for (int col = -1; col < 2; ++col) {
            int x0 = col * 16 + (row % 2) * 8, y0 = row * 8;
            Image b = Canvas();
            Block(b, 0, 0, 14, 6, Brick, 1 + static_cast<int>(Hash32(row, col + 4, 5) % 2));
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 15; ++x) img.AtWrap(x0 + x, y0 + y) = b.At(x, y);
        }
    Speckle(img, Brick, 0, 0.04f, 3);
    return img;
}

Image WoodPlanks() {
    Image img = Canvas();
    for (int row = 0; row < 4; ++row) {
        Block(img, 0, row * 8, 31, row * 8 + 7, Wood, 2);
        for (int x = 0; x < P; ++x)
            if (HashUnit(x, row, 77) < 0.3f) img.At(x, row * 8 + 3 + static_cast<int>(Hash32(x, row) % 2)) = Wood.c[1];
        int joint = static_cast<int>(Hash32(row, 9) % 24) + 4;
        PixelRect(img, joint, row * 8, joint, row * 8 + 7, Wood.c[0]);
        img.At(joint - 2, row * 8 + 2) = Grey.c[0];
        img.At(joint + 2, row * 8 + 5) = Grey.c[0];
    }
    // Planks run on across the tile edge.
    for (int row = 0; row < 4; ++row) img.At(0, row * 8 + 1) = Wood.c[2];
    return img;
}

Image MetalBlock(const Ramp& r) {
    Image img = Canvas();
    Block(img, 0, 0, 31, 31, r, 2);
    Block(img, 3, 3, 28, 28, r, 1);
    PixelRect(img, 4, 4, 27, 27, r.c[2]);
    for (int k = 0; k < 4; ++k) {
        int x = k % 2 ? 26 : 4, y = k / 2 ? 26 : 4;
        PixelRect(img, x, y, x + 1, y + 1, r.c[3]);
        img.At(x + 1, y + 1) = r.c[0];
    }
    PixelRect(img, 6, 8, 25, 8, r.c[3]);
    return img;
}

Image StoneWall() {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            Cell c = Cellular((x + 0.5f) / 8, (y + 0.5f) / 8, 4, 4, 1301, 0.8f);
            float edge = (c.f2 - c.f1) * 4;
            int shade = 1 + static_cast<int>(c.id % 2);
            if (edge < 0.55f) img.At(x, y) = Grey.c[0];
            else if (edge < 1.3f && (c.cx * 8 > x || c.cy * 8 > y)) img.At(x, y) = Grey.c[std::min(3, shade + 1)];
            else img.At(x, y) = Grey.c[shade];
        }
    Speckle(img, Grey, 1, 0.03f, 1302);
    return img;
}

Image DirtTile(bool grass) {
    Image img = Canvas(Earth.c[1]);
    Speckle(img, Earth, 2, 0.16f, 1401);
    Speckle(img, Earth, 0, 0.08f, 1402);
    for (int k = 0; k < 5; ++k) {
        int x = static_cast<int>(Hash32(k, 1403) % 30), y = static_cast<int>(Hash32(k, 1404) % 30);
        PixelRect(img, x, y, x + 1, y, Grey.c[2]);
        img.At(x, y + 1) = Grey.c[1];
    }
    if (grass) {
        for (int x = 0; x < P; ++x) {
            int depth = 5 + static_cast<int>(Hash32(x / 2, 1405) % 3);
            for (int y = 0; y < depth; ++y) img.At(x, y) = y == 0 ? Green.c[3] : (y == depth - 1 ? Green.c[0] : Green.c[1 + (x + y) % 2]);
            if (Hash32(x, 1406) % 3 == 0) img.At(x, depth) = Green.c[0];
        }
    }
    return img;
}

Image Cylinder(bool horizontal) {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            int across = horizontal ? y : x;
            if (across < 4 || across > 27) continue;
            // Cylindrical shading in bands.
            float t = (across - 4) / 23.0f;
            int shade = t < 0.15f ? 1 : t < 0.45f ? 3 : t < 0.75f ? 2 : t < 0.92f ? 1 : 0;
            img.At(x, y) = Steel.c[shade];
            int along = horizontal ? x : y;
            if (along % 16 == 0) img.At(x, y) = Steel.c[0];
            if (along % 16 == 1) img.At(x, y) = Steel.c[std::min(3, shade + 1)];
        }
    return img;
}

Image ColourBlock(const Ramp& r) {
    Image img = Canvas();
    Block(img, 0, 0, 31, 31, r, 2);
    Block(img, 1, 1, 30, 30, r, 2);
    PixelRect(img, 4, 4, 9, 5, r.c[3]);
    PixelRect(img, 4, 4, 5, 9, r.c[3]);
    return img;
}

Image Branch(bool green) {
    Image img = Canvas();
    for (int x = 0; x < P; ++x) {
        int mid = 16 + static_cast<int>(std::lround(1.5 * std::sin(x * 2 * Pi / 32)));
        for (int y = mid - 5; y <= mid + 5; ++y) {
            int shade = y == mid - 5 ? 3 : y == mid + 5 ? 0 : (y < mid ? 2 : 1);
            if (HashUnit(x, y, 1501) < 0.15f) shade = std::max(0, shade - 1);
            img.At(x, y) = Wood.c[shade];
        }
    }
    // Twigs.
    for (int k = 0; k < 3; ++k) {
        int x = 6 + k * 10;
        for (int i = 0; i < 5; ++i) img.At(x + i / 2, 10 - i) = Wood.c[1];
    }
    if (green) {
        for (int k = 0; k < 7; ++k) {
            int x = static_cast<int>(Hash32(k, 1502) % 28), y = static_cast<int>(Hash32(k, 1503) % 6) + (k % 2 ? 4 : 19);
            PixelRect(img, x, y, x + 3, y + 2, Green.c[2]);
            PixelRect(img, x, y, x + 3, y, Green.c[3]);
            img.At(x + 3, y + 2) = Green.c[0];
        }
    }
    return img;
}

Image Cannon(bool right) {
    Image img = Canvas();
    // Barrel.
    PixelShape(img, [](float x, float y) { return SdRect(x, y, 6, 9, 28, 19, 3); }, Grey.c[1]);
    PixelRect(img, 7, 10, 27, 11, Grey.c[3]);
    PixelRect(img, 7, 12, 27, 13, Grey.c[2]);
    PixelRect(img, 26, 8, 29, 20, Grey.c[0]);
    PixelRect(img, 27, 9, 28, 19, Grey.c[1]);
    PixelRect(img, 29, 12, 29, 16, Hex(0x101014));
    // Carriage and wheel.
    PixelShape(img, [](float x, float y) { return SdRect(x, y, 4, 18, 22, 25, 1); }, Wood.c[1]);
    PixelRect(img, 4, 18, 22, 18, Wood.c[3]);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 13, 25, 6); }, Wood.c[0]);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 13, 25, 4); }, Wood.c[2]);
    PixelRect(img, 12, 24, 14, 26, Grey.c[0]);
    PixelOutline(img, Hex(0x141418));
    if (!right) {
        Image flipped = Canvas();
        for (int y = 0; y < P; ++y)
            for (int x = 0; x < P; ++x) flipped.At(P - 1 - x, y) = img.At(x, y);
        return flipped;
    }
    return img;
}

Image Grid() {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            int gx = x % 8, gy = y % 8;
            if (gx < 2 || gy < 2) img.At(x, y) = (gx == 0 || gy == 0) ? Steel.c[3] : Steel.c[1];
            if (gx < 2 && gy < 2) img.At(x, y) = Steel.c[2];
        }
    return img;
}

Image Tower(bool top) {
    Image img = Canvas();
    int start = top ? 10 : 0;
    for (int row = 0; row * 6 + start < P; ++row)
        for (int col = -1; col < 3; ++col) {
            int x0 = col * 12 + (row % 2) * 6, y0 = start + row * 6;
            for (int y = 0; y < 6; ++y)
                for (int x = 0; x < 12; ++x) {
                    int px = x0 + x, py = y0 + y;
                    if (px < 0 || px >= P || py >= P) continue;
                    int shade = (x == 11 || y == 5) ? 0 : (y == 0 || x == 0) ? 3 : 2;
                    if (shade == 2 && Hash32(row, col, 1601) % 3 == 0) shade = 1;
                    img.At(px, py) = Grey.c[shade];
                }
        }
    if (top) {
        // Battlements.
        for (int k = 0; k < 3; ++k) Block(img, 1 + k * 11, 2, 8 + k * 11, 10, Grey, 2);
        PixelRect(img, 0, 10, 31, 11, Grey.c[3]);
    } else {
        // An arrow slit.
        PixelRect(img, 14, 8, 17, 23, Hex(0x101018));
        PixelRect(img, 11, 14, 20, 16, Hex(0x101018));
        PixelRect(img, 14, 8, 17, 8, Grey.c[0]);
    }
    return img;
}

Image SnowBlock() {
    Image img = Canvas(Snow.c[2]);
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            float n = Fbm2(x / 8.0f, y / 8.0f, 4, 4, 2, 1701);
            if (n > 0.25f) img.At(x, y) = Snow.c[3];
            if (n < -0.35f) img.At(x, y) = Snow.c[1];
        }
    Speckle(img, Ice, 3, 0.03f, 1702);
    return img;
}

Image Gate() {
    Image img = Canvas();
    Block(img, 0, 0, 31, 31, Grey, 1);
    PixelRect(img, 3, 3, 28, 31, Hex(0x141018));
    for (int x = 5; x < 28; x += 6) PixelRect(img, x, 3, x + 1, 31, Steel.c[2]);
    for (int y = 8; y < 31; y += 8) PixelRect(img, 3, y, 28, y + 1, Steel.c[1]);
    for (int x = 5; x < 28; x += 6) PixelRect(img, x, 30, x + 1, 31, Steel.c[3]);
    return img;
}

Image Snowman() {
    Image img = Canvas();
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 24, 8); }, Snow.c[2]);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 12, 6); }, Snow.c[2]);
    PixelBevel(img, 1.1f, 0.8f);
    PixelRect(img, 11, 3, 21, 4, Hex(0x202028));
    PixelRect(img, 13, 0, 19, 3, Hex(0x202028));
    img.At(14, 10) = Hex(0x101010);
    img.At(18, 10) = Hex(0x101010);
    PixelRect(img, 16, 12, 19, 12, Hex(0xF07820));
    PixelRect(img, 10, 16, 22, 17, Red.c[2]);
    PixelRect(img, 19, 18, 20, 21, Red.c[2]);
    img.At(16, 21) = Hex(0x101010);
    img.At(16, 25) = Hex(0x101010);
    PixelOutline(img, Hex(0x404860));
    return img;
}

Image BallPlatform() {
    Image img = Canvas();
    Block(img, 0, 14, 31, 31, Steel, 1);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 8, 12); }, Transparent);
    // A cup in the top: the ball rests here.
    PixelRect(img, 0, 14, 31, 15, Steel.c[3]);
    PixelShape(img, [](float x, float y) { return std::max(SdCircle(x, y, 16, 10, 9), 14.5f - y); }, Steel.c[0]);
    PixelRect(img, 4, 22, 27, 23, Gold.c[2]);
    return img;
}

Image Triangle(bool right) {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            int xx = right ? x : P - 1 - x;
            if (xx + y >= P - 1) img.At(x, y) = xx + y == P - 1 ? Red.c[3] : (y == P - 1 || xx == P - 1 ? Red.c[0] : Red.c[2]);
        }
    return img;
}

Image Box(const Ramp& r) {
    Image img = Canvas();
    Block(img, 0, 0, 31, 31, r, 2);
    Block(img, 3, 3, 28, 28, r, 1);
    for (int i = 4; i < 28; ++i) {
        img.At(i, i) = r.c[3];
        img.At(i, 31 - i) = r.c[3];
        img.At(i + 1 < 28 ? i + 1 : i, i) = r.c[0];
    }
    return img;
}

Image Tube(bool horizontal) {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            int across = horizontal ? y : x, along = horizontal ? x : y;
            if (across < 6 || across > 25) continue;
            float t = (across - 6) / 19.0f;
            int shade = t < 0.12f ? 1 : t < 0.4f ? 3 : t < 0.8f ? 2 : 0;
            img.At(x, y) = Green.c[shade];
            if (along % 32 < 3 && (across < 8 || across > 23 || true)) img.At(x, y) = Green.c[shade == 3 ? 3 : shade + (shade < 3)];
            if (along % 32 == 3) img.At(x, y) = Green.c[0];
        }
    return img;
}

Image IceTile() {
    Image img = Canvas();
    Block(img, 0, 0, 31, 31, Ice, 2);
    for (int i = 0; i < 9; ++i) img.At(6 + i, 20 - i) = Ice.c[3];
    for (int i = 0; i < 5; ++i) img.At(18 + i, 12 - i) = Ice.c[3];
    for (int i = 0; i < 7; ++i) img.At(10 + i, 26 - (i / 2)) = Ice.c[1];
    return img;
}

Image MarbleTile() {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            float t = Fbm2(x / 8.0f, y / 8.0f, 4, 4, 3, 1801);
            float v = std::fabs(std::sin(2 * Pi * (x / 32.0f + y / 16.0f + t * 0.8f)));
            img.At(x, y) = v < 0.12f ? Grey.c[1] : v < 0.3f ? Grey.c[2] : Snow.c[2];
        }
    return img;
}

Image Lift(bool broken) {
    Image img = Canvas();
    Block(img, 0, 4, 31, 27, Steel, 2);
    for (int x = 1; x < 31; ++x) {
        bool stripe = ((x + 0) / 3) % 2;
        img.At(x, 5) = img.At(x, 6) = stripe ? Gold.c[2] : Hex(0x202024);
        img.At(x, 25) = img.At(x, 24) = stripe ? Gold.c[2] : Hex(0x202024);
    }
    PixelRect(img, 12, 10, 19, 20, Steel.c[0]);
    // Up and down arrows.
    for (int i = 0; i < 3; ++i) {
        PixelRect(img, 15 - i, 11 + i, 16 + i, 11 + i, broken ? Red.c[1] : Toxic.c[3]);
        PixelRect(img, 15 - i, 19 - i, 16 + i, 19 - i, broken ? Red.c[1] : Toxic.c[3]);
    }
    // Cables.
    PixelRect(img, 7, 0, 7, 3, Grey.c[1]);
    PixelRect(img, 24, 0, 24, 3, Grey.c[1]);
    if (broken) {
        // A crack through the cabin, one cable gone, one corner fallen.
        for (int i = 0; i < 12; ++i) img.At(4 + i + (i % 3 == 0), 8 + i) = Hex(0x101014);
        PixelRect(img, 24, 0, 24, 3, Transparent);
        PixelRect(img, 27, 24, 31, 27, Transparent);
        Speckle(img, Earth, 1, 0.05f, 1901);
    }
    return img;
}

// ---- Traps -----------------------------------------------------------------------------------------------

Image PoisonedWater(int frame, int frames) {
    Image img = Canvas();
    float ph = Phase(frame, frames);
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            float n = Noise3(x / 8.0f, y / 8.0f, ph * 2, 4, 4, 2, 2001);
            int shade = n > 0.3f ? 2 : n > -0.2f ? 1 : 0;
            img.At(x, y) = Toxic.c[shade];
        }
    // Bubbles rising through the tile and around to its bottom.
    for (int k = 0; k < 5; ++k) {
        int bx = static_cast<int>(Hash32(k, 2002) % 28) + 2;
        int by = Wrap(static_cast<int>(Hash32(k, 2003) % 32) - frame * 2, P);
        img.AtWrap(bx, by) = Toxic.c[3];
        img.AtWrap(bx + 1, by) = Toxic.c[3];
        img.AtWrap(bx, by - 1) = Toxic.c[2];
    }
    return img;
}

// The fire of imported levels: a middle piece and the two ends and a single piece.
Image PixelFire(int frame, int frames, int shape) {   // 0 middle, 1 left end, 2 right end, 3 single
    Image img = Canvas();
    const Rgba ramp[5] = {Hex(0x7A1404), Hex(0xC8320A), Hex(0xF07A14), Hex(0xFFC83C), Hex(0xFFF4B0)};
    float ph = Phase(frame, frames);
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            float n = Fbm2(x / 8.0f, y / 8.0f + ph * 4, 4, 4, 2, 2101);
            float heat = std::pow(y / 32.0f, 1.3f) * 1.2f + 0.45f * n - 0.05f;
            // Ends taper towards their open side.
            float edge = 1;
            if (shape == 1 || shape == 3) edge = std::min(edge, Clamp01((x - 2) / 12.0f));
            if (shape == 2 || shape == 3) edge = std::min(edge, Clamp01((29 - x) / 12.0f));
            heat = heat * (0.35f + 0.65f * edge) - (1 - edge) * 0.25f;
            if (heat < 0.2f) continue;
            int idx = std::min(4, static_cast<int>((heat - 0.2f) * 5.5f));
            img.At(x, y) = ramp[idx];
        }
    // A row of coals along the bottom.
    int x0 = shape == 1 || shape == 3 ? 3 : 0, x1 = shape == 2 || shape == 3 ? 28 : 31;
    for (int x = x0; x <= x1; ++x) img.At(x, 31) = (x % 3) ? Hex(0x3A1408) : Hex(0xF07A14);
    return img;
}

Image Electricity(int frame) {
    Image img = Canvas();
    // Emitters at both sides, a bolt between them that changes every frame.
    for (int side = 0; side < 2; ++side) {
        int x = side ? 28 : 0;
        Block(img, x, 10, x + 3, 21, Steel, 2);
        PixelRect(img, side ? 28 : 3, 14, side ? 28 : 3, 17, Gold.c[3]);
    }
    Rng rng(2200 + static_cast<std::uint64_t>(frame));
    for (int bolt = 0; bolt < 2; ++bolt) {
        int y = 16 + rng.Int(-2, 2);
        for (int x = 4; x < 28; ++x) {
            y += rng.Int(-1, 1);
            y = std::clamp(y, 8, 24);
            img.At(x, y) = bolt ? Hex(0x80E0FF) : Hex(0xFFFFFF);
            if (bolt == 0) {
                if (img.At(x, y - 1).a < 0.5f) img.At(x, y - 1) = Rgba{0.4f, 0.7f, 1.0f, 0.6f};
                if (img.At(x, y + 1).a < 0.5f) img.At(x, y + 1) = Rgba{0.4f, 0.7f, 1.0f, 0.6f};
            }
        }
    }
    return img;
}

Image Laser(int frame, int frames) {
    Image img = Canvas();
    float pulse = 0.5f + 0.5f * std::sin(2 * Pi * Phase(frame, frames));
    for (int x = 0; x < P; ++x) {
        img.At(x, 15) = img.At(x, 16) = Mix(Hex(0xFF8A7A), Hex(0xFFFFFF), 0.3f + pulse * 0.6f);
        img.At(x, 14) = img.At(x, 17) = Hex(0xF0302A);
        img.At(x, 13) = img.At(x, 18) = Rgba{1.0f, 0.2f, 0.15f, 0.55f + 0.3f * pulse};
        img.At(x, 12) = img.At(x, 19) = Rgba{1.0f, 0.2f, 0.15f, 0.2f + 0.15f * pulse};
    }
    // Sparks along the beam.
    for (int k = 0; k < 3; ++k) {
        int x = Wrap(static_cast<int>(Hash32(k, 2301) % 32) + frame * 3, P);
        img.At(x, 14) = Hex(0xFFFFC0);
    }
    return img;
}

Image Static(int frame) {
    Image img = Canvas();
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            float v = HashUnit(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(frame), 2401);
            int shade = v < 0.3f ? 0 : v < 0.6f ? 1 : v < 0.85f ? 2 : 3;
            img.At(x, y) = Grey.c[shade];
        }
    // A rolling bright line.
    int line = Wrap(frame * 4, P);
    for (int x = 0; x < P; ++x) img.At(x, line) = Mix(img.At(x, line), Hex(0xFFFFFF), 0.6f);
    return img;
}

Image Kaboom(int frame, int frames) {
    Image img = Canvas();
    // A bundle of dynamite with a blinking timer.
    for (int k = 0; k < 3; ++k) Block(img, 7 + k * 6, 10, 12 + k * 6, 29, Red, 2);
    PixelRect(img, 6, 16, 25, 19, Hex(0x202024));
    bool blink = frame < frames / 2;
    PixelRect(img, 13, 16, 18, 19, blink ? Hex(0xFF3020) : Hex(0x501010));
    PixelRect(img, 9, 4, 9, 9, Hex(0xC8A46A));
    PixelRect(img, 15, 5, 15, 9, Hex(0xC8A46A));
    PixelRect(img, 21, 3, 21, 9, Hex(0xC8A46A));
    PixelOutline(img, Hex(0x181014));
    return img;
}

Image InvisibleTrap() {
    // Almost nothing: a faint shimmer of dots that a careful eye may notice.
    Image img = Canvas();
    for (int y = 1; y < P; y += 4)
        for (int x = 1 + (y / 4) % 2 * 2; x < P; x += 4) img.At(x, y) = Rgba{1, 1, 1, 0.1f};
    return img;
}

// ---- Things to collect -----------------------------------------------------------------------------------

Image CompactDisc() {
    Image img = Canvas();
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 13); }, Grey.c[2]);
    for (int y = 0; y < P; ++y)
        for (int x = 0; x < P; ++x) {
            if (img.At(x, y).a < 0.5f) continue;
            float a = std::atan2(y - 15.5f, x - 15.5f);
            float t = 0.5f + 0.5f * std::sin(a * 2);
            const Rgba rainbow[4] = {Hex(0xD0D8F0), Hex(0xA8E0F0), Hex(0xF0C8E8), Hex(0xF0F0C0)};
            img.At(x, y) = rainbow[static_cast<int>(t * 3.99f)];
        }
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 4.5f); }, Grey.c[1]);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 2); }, Transparent);
    PixelOutline(img, Hex(0x303040));
    return img;
}

Image Floppy35(const Ramp& body) {
    Image img = Canvas();
    Block(img, 4, 4, 27, 27, body, 1);
    PixelRect(img, 10, 4, 21, 12, Grey.c[2]);       // shutter
    PixelRect(img, 17, 6, 19, 10, Grey.c[0]);
    PixelRect(img, 8, 16, 23, 27, Hex(0xF0F0F0));    // label
    for (int y = 19; y < 26; y += 3) PixelRect(img, 10, y, 21, y, Grey.c[1]);
    PixelOutline(img, Hex(0x101014));
    return img;
}

Image Floppy525() {
    Image img = Canvas();
    Block(img, 2, 2, 29, 29, Grey, 0);
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 5); }, Hex(0x6A4A2A));
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 2.5f); }, Hex(0xE0E0E0));
    PixelRect(img, 14, 22, 17, 28, Hex(0x6A4A2A));
    PixelRect(img, 5, 4, 13, 9, Hex(0xF0E8C8));
    PixelRect(img, 6, 6, 12, 6, Red.c[2]);
    PixelOutline(img, Hex(0x101014));
    return img;
}

Image OsCoin() {
    Image img = Canvas();
    PixelShape(img, [](float x, float y) { return SdCircle(x, y, 16, 16, 13); }, Gold.c[2]);
    PixelShape(img, [](float x, float y) { return std::fabs(SdCircle(x, y, 16, 16, 10.5f)) - 0.6f; }, Gold.c[1]);
    PixelBevel(img, 1.25f, 0.7f);
    // "OS" in pixels.
    const char* glyphs[5] = {"### ###", "# # #  ", "# # ###", "# #   #", "### ###"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 7; ++c)
            if (glyphs[r][c] == '#') PixelRect(img, 9 + c * 2, 11 + r * 2, 10 + c * 2, 12 + r * 2, Gold.c[0]);
    PixelOutline(img, Hex(0x3A2804));
    return img;
}

Image Ballot(bool ticked) {
    Image img = Canvas();
    Block(img, 5, 3, 26, 28, Snow, 3);
    for (int y = 6; y < 12; y += 2) PixelRect(img, 8, y, 23, y, Grey.c[2]);
    Block(img, 10, 14, 21, 25, Grey, 3);
    PixelRect(img, 11, 15, 20, 24, Hex(0xFFFFFF));
    if (ticked) {
        for (int i = 0; i < 4; ++i) PixelRect(img, 11 + i, 19 + i, 12 + i, 20 + i, Red.c[1]);
        for (int i = 0; i < 9; ++i) PixelRect(img, 14 + i, 22 - i * 1, 15 + i, 23 - i * 1, Red.c[1]);
    }
    PixelOutline(img, Hex(0x303040));
    return img;
}

Image Printout() {
    Image img = Canvas();
    Block(img, 6, 2, 25, 29, Snow, 3);
    for (int y = 5; y < 27; y += 2) PixelRect(img, 9, y, 9 + static_cast<int>(Hash32(y, 2501) % 12) + 4, y, Grey.c[1]);
    // Tractor-feed holes.
    for (int y = 4; y < 28; y += 3) { img.At(7, y) = Grey.c[1]; img.At(24, y) = Grey.c[1]; }
    PixelOutline(img, Hex(0x303040));
    return img;
}

Image Drop() {
    Image img = Canvas();
    PixelShape(img, [](float x, float y) {
        float body = SdCircle(x, y, 16, 20, 8);
        std::vector<Vec2> tip = {{16, 3}, {8.5f, 18}, {23.5f, 18}};
        return std::min(body, SdPolygon(x, y, tip));
    }, Ice.c[1]);
    PixelBevel(img, 1.3f, 0.75f);
    PixelRect(img, 11, 17, 12, 21, Ice.c[3]);
    PixelOutline(img, Hex(0x1C3C6C));
    return img;
}

// ---- Backgrounds -----------------------------------------------------------------------------------------
// A legacy level's background colour, in bands like the old colour cycling. Codes 0 to 15 are the 16 text
// colours; higher codes (which old files may hold) blend the low colour at the top into the high one below.
Image BackColour(int code) {
    const auto& pal = EgaPalette();
    Rgba top = pal[code & 15], bottom = code < 16 ? Scale(pal[code & 15], 0.55f) : pal[(code >> 4) & 15];
    if (code < 16 && code != 0) top = Mix(pal[code], Hex(0xFFFFFF), 0.12f);
    if (code == 0) { top = Hex(0x101018); bottom = Hex(0x000000); }
    Image img(P, P);
    for (int y = 0; y < P; ++y) {
        int band = y / 4;
        Rgba c = Mix(top, bottom, band / 7.0f);
        for (int x = 0; x < P; ++x) img.At(x, y) = c;
    }
    return img;
}

}  // namespace

bool BuildVartoLumPack(const std::string& gameDir, std::vector<std::string>& manifest) {
    PackWriter pack;
    pack.Open(gameDir, "txtpckVarto-Lum");
    pack.nostalgicDither = 0;
    const std::string v = "Varto-Lum_";

    // Walls: cells of codes 176 and 178 and the lift.
    pack.Add(Make("wall", 'r', 'r', v + "brickwall", {BrickWall()}));
    pack.Add(Make("wall", 'r', 'r', v + "wood", {WoodPlanks()}));
    pack.Add(Make("wall", 'c', 'c', v + "metal", {MetalBlock(Steel)}));
    pack.Add(Make("wall", 'r', 'r', v + "stones", {StoneWall()}));
    pack.Add(Make("wall", 'r', 'c', v + "dirtgrass", {DirtTile(true)}));
    pack.Add(Make("wall", 'r', 'r', v + "dirt", {DirtTile(false)}));
    pack.Add(Make("wall", 'c', 'r', v + "cylinder", {Cylinder(false)}));
    pack.Add(Make("wall", 'r', 'c', v + "cylinderhorizontal", {Cylinder(true)}));
    pack.Add(Make("wall", 'c', 'c', v + "purple", {ColourBlock(Purple)}));
    pack.Add(Make("wall", 'c', 'c', v + "red", {ColourBlock(Red)}));
    pack.Add(Make("wall", 'r', 'c', v + "branch", {Branch(false)}));
    pack.Add(Make("wall", 'r', 'c', v + "branchgreen", {Branch(true)}));
    pack.Add(Make("wall", 'c', 'c', v + "cannonright", {Cannon(true)}));
    pack.Add(Make("wall", 'c', 'c', v + "cannonleft", {Cannon(false)}));
    pack.Add(Make("wall", 'r', 'r', v + "grid", {Grid()}));
    pack.Add(Make("wall", 'c', 'r', v + "tower", {Tower(false)}));
    pack.Add(Make("wall", 'c', 'c', v + "towertop", {Tower(true)}));
    pack.Add(Make("wall", 'r', 'r', v + "snow", {SnowBlock()}));
    pack.Add(Make("wall", 'c', 'c', v + "gate", {Gate()}));
    pack.Add(Make("wall", 'c', 'c', v + "snowman", {Snowman()}));
    pack.Add(Make("wall", 'c', 'c', v + "ballplatform", {BallPlatform()}));
    pack.Add(Make("wall", 'c', 'c', v + "triangleright", {Triangle(true)}));
    pack.Add(Make("wall", 'c', 'c', v + "triangleleft", {Triangle(false)}));
    pack.Add(Make("wall", 'c', 'c', v + "box", {Box(Wood)}));
    pack.Add(Make("wall", 'c', 'r', v + "verticaltube", {Tube(false)}));
    pack.Add(Make("wall", 'r', 'c', v + "horizontaltube", {Tube(true)}));
    pack.Add(Make("wall", 'c', 'c', v + "ice", {IceTile()}));
    pack.Add(Make("wall", 'c', 'c', v + "purplebox", {Box(Purple)}));
    pack.Add(Make("wall", 'r', 'r', v + "marble", {MarbleTile()}));
    pack.Add(Make("wall", 'c', 'c', v + "elevator", {Lift(false)}));
    pack.Add(Make("wall", 'c', 'c', v + "brokenlift", {Lift(true)}));

    // Traps: the looks of "v" cells.
    pack.Add(Make("trap", 'r', 'r', v + "PoisonedWater", Frames(16, [](int i) { return PoisonedWater(i, 16); })));
    pack.Add(Make("trap", 'r', 'c', v + "fire", Frames(16, [](int i) { return PixelFire(i, 16, 0); })));
    pack.Add(Make("trap", 'c', 'c', v + "FireLeft", Frames(16, [](int i) { return PixelFire(i, 16, 1); })));
    pack.Add(Make("trap", 'c', 'c', v + "FireRight", Frames(16, [](int i) { return PixelFire(i, 16, 2); })));
    pack.Add(Make("trap", 'c', 'c', v + "FireSingle", Frames(16, [](int i) { return PixelFire(i, 16, 3); })));
    pack.Add(Make("trap", 'r', 'c', v + "electricity", Frames(8, [](int i) { return Electricity(i); })));
    pack.Add(Make("trap", 'r', 'c', v + "laser", Frames(8, [](int i) { return Laser(i, 8); })));
    pack.Add(Make("trap", 'r', 'r', v + "static", Frames(8, [](int i) { return Static(i); })));
    pack.Add(Make("trap", 'c', 'c', "kaboom", Frames(16, [](int i) { return Kaboom(i, 16); })));
    pack.Add(Make("trap", 'c', 'c', "invisibletrap", {InvisibleTrap()}));

    // Things to collect: the looks of "l" cells.
    pack.Add(Make("flag", 'c', 'c', v + "disk", {CompactDisc()}));
    pack.Add(Make("flag", 'c', 'c', v + "diskblack", {Floppy35(Grey)}));
    pack.Add(Make("flag", 'c', 'c', v + "flop", {Floppy525()}));
    pack.Add(Make("flag", 'c', 'c', v + "os", {OsCoin()}));
    pack.Add(Make("flag", 'c', 'c', v + "vote", {Ballot(true)}));
    pack.Add(Make("flag", 'c', 'c', v + "voteempty", {Ballot(false)}));
    pack.Add(Make("flag", 'c', 'c', v + "print", {Printout()}));
    pack.Add(Make("flag", 'c', 'c', v + "drop", {Drop()}));

    // Backgrounds for every code the import can give: all byte values except those it maps to others
    // (2, 3, 13, 15) and 7, which is the sky of the main pack.
    char name[64];
    for (int code = 0; code < 256; ++code) {
        if (code == 2 || code == 3 || code == 7 || code == 13 || code == 15) continue;
        std::snprintf(name, sizeof name, "%sBackColor%02d", v.c_str(), code);
        pack.Add(Make("back", 'c', 'c', name, {BackColour(code)}));
    }

    manifest = pack.manifest;
    return pack.ok;
}

}  // namespace art
