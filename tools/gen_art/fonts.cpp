// The user-interface font ("standard.tga" with its metrics "standard.dat") and the big font's images.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/text_codec.h"
#include "draw.h"
#include "packs.h"
#include "text.h"
#include "writers.h"

namespace art {

namespace {

// ---- User-interface font ---------------------------------------------------------------------------------
// Glyphs are 16 x 16 cells; the game adds 2 pixels after every glyph, so the stored advance is the font's own
// advance less those 2 pixels.
constexpr int CellSize = 16;
constexpr int Baseline = 12;        // row of the baseline inside a cell
constexpr float UiFontSize = 12.0f;
constexpr int GameSpacing = 2;

struct UiGlyph {
    Field mask{CellSize, CellSize};
    int advance = 0, xOffset = 0;
};

UiGlyph MakeUiGlyph(unsigned char byte) {
    UiGlyph out;
    char32_t code = byte < 32 || byte == 127 ? Cp437ControlSymbol(byte) : Windows1252Character(byte);
    if (code == 0) {
        out.advance = 4;
        return out;
    }
    if (byte == 0xA0) code = U' ';
    if (byte == 0xAD) code = U'-';   // the soft hyphen shows as a hyphen when it is printed
    Glyph g = RenderGlyph(FontStyle::Sans, code, UiFontSize, true);
    if (!g.present) g = RenderGlyph(FontStyle::Mono, code, UiFontSize, true);
    if (!g.present) g = RenderGlyph(FontStyle::Sans, U'?', UiFontSize, true);
    // Symbols wider than the cell are shrunk to fit.
    float shrink = 1;
    if (g.mask.width > CellSize - 1) shrink = (CellSize - 1.0f) / g.mask.width;
    if (shrink < 1) {
        g = RenderGlyph(FontStyle::Sans, code, UiFontSize * shrink, true);
        if (!g.present) g = RenderGlyph(FontStyle::Mono, code, UiFontSize * shrink, true);
    }
    // The pen sits one pixel into the cell, further when the glyph reaches left of its pen position.
    int pen = std::max(1, -g.left);
    if (pen + g.left + g.mask.width > CellSize) pen = std::max(0, CellSize - g.left - g.mask.width);
    out.xOffset = pen;
    out.advance = std::max(1, static_cast<int>(std::lround(g.advance)) - GameSpacing + 1);
    if (code >= 0x2190 || (byte < 32 && byte != 0)) out.advance = std::max(out.advance, g.left + g.mask.width);
    int top = Baseline - g.top;
    // Tall symbols move down so nothing is cut off at the top.
    if (top < 0) top = 0;
    if (top + g.mask.height > CellSize) top = std::max(0, CellSize - g.mask.height);
    for (int y = 0; y < g.mask.height; ++y)
        for (int x = 0; x < g.mask.width; ++x) {
            int cx = pen + g.left + x, cy = top + y;
            if (cx < 0 || cy < 0 || cx >= CellSize || cy >= CellSize) continue;
            out.mask.At(cx, cy) = std::max(out.mask.At(cx, cy), g.mask.At(x, y));
        }
    return out;
}

void PutI32(std::string& s, std::int32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 255));
}

// ---- Big font --------------------------------------------------------------------------------------------
// The game draws big characters 47 pixels wide and 59 high (59 x 59 for floating texts) with 35 to 40 pixels
// between them, so a glyph is drawn wider than its natural shape (it is squeezed when shown) and kept inside
// the middle two thirds of its frame.
constexpr int BigSize = 128;
constexpr float BigStretch = 59.0f / 47.0f;
constexpr float BigMaxInk = 80.0f;
constexpr float BigCapTop = 18.0f, BigCapHeight = 88.0f;

// A glyph's coverage in a 128 x 128 frame, cap height filling the glyph box.
Field BigGlyphMask(char32_t code, int size) {
    const float scale = size / static_cast<float>(BigSize);
    const float renderSize = 140.0f;
    Glyph g = RenderGlyph(FontStyle::SansBold, code, renderSize, false);
    Glyph capRef = RenderGlyph(FontStyle::SansBold, U'H', renderSize, false);
    float capHeight = static_cast<float>(capRef.top);
    float sy = BigCapHeight / capHeight * scale;
    float sx = sy * BigStretch;
    float inkMax = BigMaxInk * scale;
    if (g.mask.width * sx > inkMax) sx = inkMax / g.mask.width;
    Field out(size, size);
    float baseline = (BigCapTop + BigCapHeight) * scale;
    // The glyph's ink centred across the frame; its rows placed by the baseline.
    float left = (size - g.mask.width * sx) / 2;
    float top = baseline - g.top * sy;
    // An accent over a capital (Á, Ñ, Ü) would reach past the frame's top: the letter keeps the size of the others
    // and the rows above its cap height are pressed into the room left over it, clear of the outline.
    const float capLine = baseline - capHeight * sy;            // the frame row of the cap height
    const float aboveCap = static_cast<float>(g.top) - capHeight;   // glyph rows above the cap height
    const float accentTop = 7.0f * scale;
    const bool pressAccent = code != U'|' && top < accentTop && aboveCap > 0;
    if (code == U'|') top = BigCapTop * scale - 6 * scale;   // the cursor bar spans the whole line height
    float barStretch = code == U'|' ? (BigCapHeight + 12) * scale / (g.mask.height * sy) : 1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Supersampled 2 x 2, so the shrunken outline stays smooth.
            float sum = 0;
            for (int j = 0; j < 2; ++j)
                for (int i = 0; i < 2; ++i) {
                    float gx = (x + 0.25f + 0.5f * i - left) / sx;
                    const float fy0 = y + 0.25f + 0.5f * j;
                    float gy = (fy0 - top) / (sy * barStretch);
                    if (pressAccent && fy0 < capLine)
                        gy = fy0 < accentTop ? -1.0f : (fy0 - accentTop) / (capLine - accentTop) * aboveCap;
                    int ix = static_cast<int>(std::floor(gx - 0.5f)), iy = static_cast<int>(std::floor(gy - 0.5f));
                    float fx = gx - 0.5f - ix, fy = gy - 0.5f - iy;
                    auto m = [&](int a, int b) {
                        return (a < 0 || b < 0 || a >= g.mask.width || b >= g.mask.height) ? 0.0f : g.mask.At(a, b);
                    };
                    sum += Lerp(Lerp(m(ix, iy), m(ix + 1, iy), fx), Lerp(m(ix, iy + 1), m(ix + 1, iy + 1), fx), fy);
                }
            out.At(x, y) = sum / 4;
        }
    return out;
}

// The common look of every big-font image: light face, dark outline, soft shadow. The game tints it with
// the text colour, so the face stays near white.
Image StyleBigGlyph(const Field& mask) {
    const int size = mask.width;
    Field sdf = DistanceField(mask);
    const float outline = 5.5f;
    Image glyph(size, size);
    Field height(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float d = sdf.At(x, y);
            height.At(x, y) = SmoothStep(0, 7, -d);
            float faceCov = Coverage(d);
            float outlineCov = Coverage(d - outline);
            Rgba face = GradientAt({{0.0f, Hex(0xFFFFFF)}, {0.55f, Hex(0xF4F4F4)}, {1.0f, Hex(0xC8C8CC)}},
                                   (y - BigCapTop) / BigCapHeight);
            Rgba edge = Hex(0x121218);
            Rgba c = Mix(edge, face, faceCov);
            c.a = outlineCov;
            glyph.At(x, y) = c;
        }
    Light light;
    light.specular = 0.25f;
    light.shininess = 12;
    ApplyLight(glyph, height, 3.0f, false, light);
    Image out(size, size);
    Image shadow = DropShadow(glyph, 4, 5, 4, Rgba{0, 0, 0, 0.55f});
    Composite(out, shadow, 0, 0);
    Composite(out, glyph, 0, 0);
    return out;
}

}  // namespace

bool BuildUiFont(const std::string& gameDir) {
    Rgba8Image atlas;
    atlas.width = atlas.height = 16 * CellSize;
    atlas.bytes.assign(static_cast<size_t>(atlas.width) * atlas.height * 4, 0);
    std::string metrics;
    for (int i = 0; i < 256; ++i) {
        UiGlyph g = MakeUiGlyph(static_cast<unsigned char>(i));
        int ox = (i % 16) * CellSize, oy = (i / 16) * CellSize;
        for (int y = 0; y < CellSize; ++y)
            for (int x = 0; x < CellSize; ++x) {
                // Premultiplied white: the text is drawn with blend ONE, ONE_MINUS_SRC_ALPHA.
                auto v = static_cast<std::uint8_t>(std::lround(Clamp01(g.mask.At(x, y)) * 255));
                std::uint8_t* p = &atlas.bytes[(static_cast<size_t>(oy + y) * atlas.width + ox + x) * 4];
                p[0] = p[1] = p[2] = p[3] = v;
            }
        PutI32(metrics, g.advance);
        PutI32(metrics, 0);
        PutI32(metrics, g.xOffset);
        PutI32(metrics, 0);
    }
    bool ok = WriteTga(gameDir + "/standard.tga", atlas);
    ok = WriteFileBytes(gameDir + "/standard.dat", metrics) && ok;
    return ok;
}

Image PadlockPicture(int size) {
    float k = size / 128.0f;
    Image img(size, size);
    // Shackle, then the body in gold with a keyhole.
    Image lock(size, size);
    FillShape(lock, [&](float x, float y) {
        float ring = std::fabs(SdCircle(x, y, 64 * k, 50 * k, 24 * k)) - 7 * k;
        return y > 50 * k ? std::max(ring, std::min(std::fabs(x - 40 * k), std::fabs(x - 88 * k)) - 7 * k) : ring;
    }, Hex(0xB8BCC8));
    FillShape(lock, [&](float x, float y) { return SdRect(x, y, 28 * k, 58 * k, 100 * k, 112 * k, 9 * k); }, Hex(0xE8B830));
    FillShape(lock, [&](float x, float y) {
        return std::min(SdCircle(x, y, 64 * k, 78 * k, 8 * k), SdRect(x, y, 60 * k, 80 * k, 68 * k, 98 * k, 2 * k));
    }, Hex(0x3A2608));
    Field sdf = DistanceField(AlphaOf(lock));
    ApplyLight(lock, BevelHeight(sdf, 6 * k), 4, false, Light{0.5f, 0.8f, 0.35f, 16});
    Image outline(size, size);
    FillShape(outline, [&](float x, float y) {
        return sdf.AtClamp(static_cast<int>(x), static_cast<int>(y)) - 5 * k;
    }, Hex(0x121218));
    Composite(img, DropShadow(outline, static_cast<int>(4 * k), static_cast<int>(5 * k), static_cast<int>(4 * k), {0, 0, 0, 0.55f}), 0, 0);
    Composite(img, outline, 0, 0);
    Composite(img, lock, 0, 0);
    return img;
}

namespace {

// A symbol picture (flag, bomb, padlock) outlined like the letters.
Image SymbolGlyph(const Image& picture) {
    const int size = picture.width;
    float k = size / 128.0f;
    Field sdf = DistanceField(AlphaOf(picture));
    Image out(size, size), outline(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) outline.At(x, y) = {0.07f, 0.07f, 0.09f, Coverage(sdf.At(x, y) - 5 * k)};
    Composite(out, DropShadow(outline, static_cast<int>(4 * k), static_cast<int>(5 * k), static_cast<int>(4 * k), {0, 0, 0, 0.55f}), 0, 0);
    Composite(out, outline, 0, 0);
    Composite(out, picture, 0, 0);
    return out;
}

std::u32string BigFontCharacters() {
    return U"0123456789abcdefghijklmnopqrstuvwxyz:|%";
}

// After the three pictures: the accented letters and marks of Spanish (the game maps both cases of a letter to
// one image, gfx/font.cpp BigFontOffset).
std::u32string BigFontAccented() {
    return U"áéíóúñü¿?¡!";
}

// The shape drawn for a character: capitals read best in menus and counters.
char32_t BigShape(char32_t c) {
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c >= U'\u00E0' && c <= U'\u00FE' && c != U'\u00F7') return c - 32;     // á -> Á ... ü -> Ü
    return c;
}

}  // namespace

std::vector<Image> BigFontFrames() {
    std::vector<Image> frames;
    for (char32_t c : BigFontCharacters()) frames.push_back(StyleBigGlyph(BigGlyphMask(BigShape(c), BigSize)));
    // Flag and bomb, as shown when one is picked up, centred in the letter box.
    Image flag = FlagPicture(BigSize, 0.0f), bomb = BombPicture(BigSize, 1.0f, 0);
    Image flagBox(BigSize, BigSize), bombBox(BigSize, BigSize);
    Composite(flagBox, ResizeBilinear(flag, 104, 104), 12, 10);
    Composite(bombBox, ResizeBilinear(bomb, 104, 104), 12, 12);
    frames.push_back(SymbolGlyph(flagBox));
    frames.push_back(SymbolGlyph(bombBox));
    Image lock = PadlockPicture(BigSize);
    Image lockBox(BigSize, BigSize);
    Composite(lockBox, ResizeBilinear(lock, 104, 104), 12, 12);
    frames.push_back(lockBox);
    for (char32_t c : BigFontAccented()) frames.push_back(StyleBigGlyph(BigGlyphMask(BigShape(c), BigSize)));
    return frames;
}

std::vector<Image> BigFontFrames1994() {
    // Drawn at 32 x 32 with hard pixels: white letters, a grey lower half, a black outline.
    const int n = 32;
    std::vector<Image> frames;
    auto finish = [&](const Field& mask) {
        Image small(n, n);
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                if (mask.At(x, y) >= 0.5f) small.At(x, y) = y >= 18 ? Hex(0xAAAAAA) : Hex(0xFFFFFF);
        Image out = small;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                if (small.At(x, y).a > 0) continue;
                bool near = false;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i) {
                        int xx = x + i, yy = y + j;
                        if (xx >= 0 && yy >= 0 && xx < n && yy < n && small.At(xx, yy).a > 0) near = true;
                    }
                if (near) out.At(x, y) = Hex(0x000000);
            }
        return UpscaleNearest(out, BigSize / n);
    };
    for (char32_t c : BigFontCharacters()) frames.push_back(finish(BigGlyphMask(BigShape(c), n)));
    for (int s = 0; s < 3; ++s) {
        Image pic = s == 0 ? FlagPicture(BigSize, 0.0f) : s == 1 ? BombPicture(BigSize, 1.0f, 0) : PadlockPicture(BigSize);
        Image box(BigSize, BigSize);
        Composite(box, ResizeBilinear(pic, 104, 104), 12, 12);
        frames.push_back(NostalgicFrame(box, n, 0.0f));
    }
    for (char32_t c : BigFontAccented()) frames.push_back(finish(BigGlyphMask(BigShape(c), n)));
    return frames;
}

}  // namespace art
