#include "gfx/font.h"

#include <algorithm>

#include "base/frame_clock.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "base/binio.h"
#include "base/files.h"
#include "base/settings.h"
#include "tiles/catalogue.h"

Font UiFont;

namespace {

constexpr int NoBreakSpace = 160;
constexpr int GlyphCellPixels = 16;

// One glyph as a 16 x 16 quad (times scale) whose cell's top-left corner lies at (x + scale x (pen - xOffset), y), at
// depth scale x z. Glyph g sits in column g mod 16, row g div 16 from the top of the image; image rows are stored
// bottom first, so the top of the image is texture coordinate 1. Without GL the same cell goes through DrawQuad,
// rounded to whole pixels, so the headless back end records it with the colour, depth test and blend mode in force.
void DrawGlyph(const Font& font, unsigned char glyph, std::int32_t x, std::int32_t y, std::int32_t z, float scale,
               std::int32_t pen) {
    const std::int32_t shift = pen - font.glyphs[glyph].xOffset;
    if (PlatformHasGl()) {
        const float u = float(glyph % 16) / 16.0f;
        const float v = float(glyph / 16) / 16.0f;
        const float side = float(GlyphCellPixels) * scale;
        DrawImageRegion(float(x) + scale * float(shift), float(y), scale * float(z), side, side, u, 0.9375f - v,
                        u + 0.0625f, 1.0f - v);
        return;
    }
    const std::int32_t size = RoundEven(double(GlyphCellPixels) * scale);
    DrawQuad(RoundEven(x + double(scale) * shift), y, RoundEven(double(scale) * z), size, size);
}

// The image offset of a big-font character within the font texture's frames; -1 when it has none.
int BigFontOffset(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return 10 + (c - 'a');
    switch (c) {
    case ':': return 36;
    case '|': return 37;
    case '%': return 38;
    case 178: return 39;        // superscript two
    case 179: return 40;        // superscript three
    case '&': return 41;
    // Spanish: both cases of an accented letter have one image (drawn as the capital), then the marks.
    case 0xE1: case 0xC1: return 42;    // a acute
    case 0xE9: case 0xC9: return 43;    // e acute
    case 0xED: case 0xCD: return 44;    // i acute
    case 0xF3: case 0xD3: return 45;    // o acute
    case 0xFA: case 0xDA: return 46;    // u acute
    case 0xF1: case 0xD1: return 47;    // n tilde
    case 0xFC: case 0xDC: return 48;    // u diaeresis
    case 0xBF: return 49;               // inverted question mark
    case '?': return 50;
    case 0xA1: return 51;               // inverted exclamation mark
    case '!': return 52;
    default: return -1;
    }
}

std::uint8_t ColorChannel(double value) {
    return static_cast<std::uint8_t>(std::clamp(RoundEven(value), 0, 255));
}

}  // namespace

bool BuildFont(Font& font, const std::string& texturePath, const std::string& metricsPath) {
    if (font.textureId != 0) KillFont(font);

    TextureImage image;
    const bool textureLoaded =
        LoadTexture(texturePath, image, 0, TextureWrapRepeat, TextureWrapRepeat, 0) == 0;
    font.textureId = image.id;

    std::string bytes;
    const bool metricsRead = PlatformReadFile(metricsPath, bytes);
    const bool metricsComplete = ReadFontMetrics(font, metricsRead ? bytes : std::string());

    return textureLoaded && metricsRead && metricsComplete;
}

bool ReadFontMetrics(Font& font, const std::string& bytes) {
    // A short or missing metrics file must not leave stale or made-up values behind: whatever it lacks is zero.
    ByteReader reader = MakeReader(bytes);
    bool inRange = true;
    for (GlyphMetrics& glyph : font.glyphs) {
        glyph.advance = ReadI32(reader);
        glyph.reserved1 = ReadI32(reader);
        glyph.xOffset = ReadI32(reader);
        glyph.reserved2 = ReadI32(reader);
        for (std::int32_t v : {glyph.advance, glyph.xOffset})
            if (v < -MaxGlyphMetric || v > MaxGlyphMetric) inRange = false;
    }
    if (!inRange)
        for (GlyphMetrics& glyph : font.glyphs) glyph = GlyphMetrics{};
    // Byte 160, the no-break space, is a fixed 16-pixel gap whatever the metrics say, so texts that pad with it
    // line up the same with any font file.
    font.glyphs[NoBreakSpace].advance = 16;
    return reader.ok && inRange;
}

void KillFont(Font& font) {
    TextureImage image;
    image.id = font.textureId;
    DeleteTexture(image);
    font.textureId = 0;
}

std::int32_t TextWidth(const Font& font, const std::string& text) {
    std::int32_t width = 0;
    for (unsigned char c : text) width += font.glyphs[c].advance + font.spacing;
    return width;
}

void DrawTextRun(const Font& font, const std::string& text, std::int32_t x, std::int32_t y, std::int32_t z,
                 float scale) {
    BindImage(font.textureId);
    std::int32_t pen = 0;
    for (unsigned char c : text) {
        DrawGlyph(font, c, x, y, z, scale, pen);
        pen += font.glyphs[c].advance + font.spacing;
    }
}

void DrawText(const Font& font, const std::string& text, std::int32_t x, std::int32_t y, std::int32_t z,
              std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    // The glyph image carries its own coverage, so the font blends premultiplied; the shadow is half-transparent
    // black one pixel down and right, behind the text.
    SetBlend(BlendMode::Premultiplied);
    SetColor(0, 0, 0, 128);
    DrawTextRun(font, text, x + 1, y + 1, z, 1.0f);
    SetColor(r, g, b, a);
    SetBlend(BlendMode::Premultiplied);
    DrawTextRun(font, text, x, y, z + 1, 1.0f);
}

void DrawTextCentered(const std::string& text, std::int32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::int32_t x = RoundEven((ActiveWidth - TextWidth(UiFont, text)) / 2.0);
    DrawText(UiFont, text, x, y, 12, r, g, b, 255);
}

void DrawBigText(double r, double g, double b, double a, std::int32_t x, std::int32_t y, const std::string& text,
                 double charWidth, double charHeight, double advance) {
    if (text.empty()) return;
    const std::string lower = LowerCase(text);
    SetColor(ColorChannel(r), ColorChannel(g), ColorChannel(b), ColorChannel(a));

    // Without a font texture there is nothing to draw with; a font with fewer frames than characters draws only
    // the characters it has rather than frames of whatever texture follows it.
    const TextureEntry& font = Entry(DefaultFontTexture);
    const bool haveFont = DefaultFontTexture != 0;
    const std::int32_t first = static_cast<std::int32_t>(font.firstFrame);
    const std::int32_t last = std::min(static_cast<std::int32_t>(font.lastFrame), ImageTable.Count());
    const std::int32_t width = RoundEven(charWidth);
    const std::int32_t height = RoundEven(charHeight);

    for (std::size_t i = 0; i < lower.size(); i++) {
        const unsigned char c = static_cast<unsigned char>(lower[i]);
        const int offset = BigFontOffset(c);
        if (offset < 0) continue;
        if (c == '|') {
            // Every cursor drawn advances the shared counter, so a blinking cursor keeps time with the frames.
            view.blinkCounter = AdvanceFrame(1, 6, view.blinkCounter, frameStep);
            if (view.blinkCounter <= 3) continue;
        }
        const std::int32_t image = first + offset;
        if (!haveFont || image < 0 || image > last) continue;
        BindImage(ImageTable[image].id);
        DrawQuad(RoundEven(x + double(i) * advance), y, 15, width, height);
    }
    SetColor(255, 255, 255, 255);
}

std::int32_t DrawBigTextCentered(double r, double g, double b, double a, std::int32_t y, const std::string& text,
                                 double charWidth, double charHeight, double advance, std::int32_t mouseX,
                                 std::int32_t mouseY) {
    const double length = double(text.size());
    const char lastChar = text.empty() ? '\0' : text.back();
    // A locked line ends in " &": the lock symbol hangs off the right of a line centred on its name alone.
    const double width = lastChar == '&' ? (length - 3) * advance + charWidth : (length - 1) * advance + charWidth;
    const std::int32_t x = RoundEven((ActiveWidth - RoundEven(width)) / 2.0);

    // An empty line shows nothing, so there is nothing to point at.
    const bool selectable = !text.empty() && lastChar != ':' && lastChar != '&';
    const bool over = mouseX >= x && mouseX <= ActiveWidth - x && mouseY >= y && mouseY <= y + charHeight;
    const std::int32_t hovered = selectable && over ? -1 : 0;

    DrawBigText(r, g, b, a, x, y, text, charWidth, charHeight, advance);
    return hovered;
}
