// FreeType glyph rendering.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "base/text_codec.h"

#ifndef KOLBRIX_FONT_DIR
#define KOLBRIX_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

namespace art {

namespace {

FT_Face Face(FontStyle style) {
    static FT_Library library = nullptr;
    static std::map<FontStyle, FT_Face> faces;
    if (!library && FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "kolbrix-gen-art: FreeType does not start\n");
        std::exit(1);
    }
    auto it = faces.find(style);
    if (it != faces.end()) return it->second;
    const char* file = "DejaVuSans.ttf";
    switch (style) {
        case FontStyle::Sans: file = "DejaVuSans.ttf"; break;
        case FontStyle::SansBold: file = "DejaVuSans-Bold.ttf"; break;
        case FontStyle::Serif: file = "DejaVuSerif.ttf"; break;
        case FontStyle::SerifBold: file = "DejaVuSerif-Bold.ttf"; break;
        case FontStyle::Mono: file = "DejaVuSansMono.ttf"; break;
        case FontStyle::MonoBold: file = "DejaVuSansMono-Bold.ttf"; break;
    }
    std::string path = std::string(KOLBRIX_FONT_DIR) + "/" + file;
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face)) {
        std::fprintf(stderr, "kolbrix-gen-art: cannot open the font %s (Debian package fonts-dejavu-core)\n", path.c_str());
        std::exit(1);
    }
    faces[style] = face;
    return face;
}

}  // namespace

Glyph RenderGlyph(FontStyle style, char32_t code, float pixelSize, bool hinted, bool mono) {
    Glyph g;
    FT_Face face = Face(style);
    FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64)), 72, 72);
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0) return g;
    FT_Int32 flags = FT_LOAD_RENDER;
    if (mono) flags |= FT_LOAD_TARGET_MONO;
    // Small sizes snap stems to whole pixels in both directions; larger ones only vertically.
    else if (hinted && pixelSize <= 16) flags |= FT_LOAD_TARGET_NORMAL | FT_LOAD_FORCE_AUTOHINT;
    else if (hinted) flags |= FT_LOAD_TARGET_LIGHT;
    else flags |= FT_LOAD_NO_HINTING;
    if (FT_Load_Glyph(face, index, flags)) return g;
    FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    g.present = true;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = slot->advance.x / 64.0f;
    if (hinted || mono) g.advance = std::round(g.advance);
    g.mask = Field(static_cast<int>(bm.width), static_cast<int>(bm.rows));
    for (unsigned y = 0; y < bm.rows; ++y)
        for (unsigned x = 0; x < bm.width; ++x) {
            const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
            float v = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((row[x >> 3] >> (7 - (x & 7))) & 1) : row[x] / 255.0f;
            g.mask.At(static_cast<int>(x), static_cast<int>(y)) = v;
        }
    return g;
}

TextMask RenderText(FontStyle style, const std::u32string& text, float pixelSize, float tracking, int pad, bool hinted,
                    bool mono) {
    struct Placed {
        Glyph g;
        float x;
    };
    std::vector<Placed> placed;
    float pen = 0;
    int minX = 0, maxX = 1, top = 1, bottom = 0;
    FT_Face face = Face(style);
    for (char32_t c : text) {
        Glyph g = RenderGlyph(style, c, pixelSize, hinted, mono);
        if (!g.present) g = RenderGlyph(style, U'?', pixelSize, hinted, mono);
        int gx = static_cast<int>(std::floor(pen)) + g.left;
        minX = std::min(minX, gx);
        maxX = std::max(maxX, gx + g.mask.width);
        top = std::max(top, g.top);
        bottom = std::max(bottom, g.mask.height - g.top);
        placed.push_back({g, pen});
        pen += g.advance + tracking;
    }
    // Room for the face's full ascent and descent, so lines of different text share a baseline.
    int ascent = static_cast<int>(std::ceil(face->size->metrics.ascender / 64.0));
    int descent = static_cast<int>(std::ceil(-face->size->metrics.descender / 64.0));
    top = std::max(top, ascent);
    bottom = std::max(bottom, descent);
    TextMask out;
    out.width = pen - tracking;
    out.baseline = pad + top;
    out.mask = Field(maxX - minX + 2 * pad, top + bottom + 2 * pad);
    for (const Placed& p : placed) {
        int ox = static_cast<int>(std::floor(p.x)) + p.g.left - minX + pad;
        int oy = out.baseline - p.g.top;
        for (int y = 0; y < p.g.mask.height; ++y)
            for (int x = 0; x < p.g.mask.width; ++x) {
                int tx = ox + x, ty = oy + y;
                if (tx < 0 || ty < 0 || tx >= out.mask.width || ty >= out.mask.height) continue;
                out.mask.At(tx, ty) = std::min(1.0f, out.mask.At(tx, ty) + p.g.mask.At(x, y));
            }
    }
    return out;
}

std::u32string U32(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        char32_t cp = 0;
        if (NextUtf8(s, i, cp)) out.push_back(cp);
        else ++i;           // the generator's own texts are UTF-8: a stray byte is skipped
    }
    return out;
}

char32_t Cp437ControlSymbol(unsigned char b) {
    static const char32_t low[32] = {
        0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
        0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
    };
    if (b < 32) return low[b];
    if (b == 127) return 0x2302;
    return 0;
}

}  // namespace art
