// Text in the game's two styles.
//
// The user-interface font is a fixed 256-glyph bitmap ("standard.tga", a 16 x 16 grid of cells, with the metrics
// file "standard.dat") drawn with a drop shadow: the editor, lists, credits, hints and small notices use it. The
// big font is the default "font" texture of the tile catalogue, one image per character, drawn at any size and
// colour: menu items, the heads-up counters and floating messages.
//
// On the headless back end every glyph of the user-interface font is recorded as a quad of its own (the font
// texture as image, the glyph's 16 x 16 cell as position and size); the glyph's byte is not part of the record.
// Big-font characters are plain quads of their own images on either back end.
#pragma once

#include <cstdint>
#include <string>

#include "gfx/view.h"      // the shared view.blinkCounter of the big-font cursor
#include "tiles/animation.h"    // AdvanceFrame

constexpr int FontGlyphCount = 256;
constexpr int FontMetricsBytes = FontGlyphCount * 16;   // the size of a complete metrics file

// One glyph's record in the metrics file: four little-endian int32 in this order.
struct GlyphMetrics {
    std::int32_t advance = 0;       // horizontal advance in pixels, before the font's spacing
    std::int32_t reserved1 = 0;     // read and kept; nothing uses it
    std::int32_t xOffset = 0;       // pixels the glyph image is shifted left when drawn
    std::int32_t reserved2 = 0;     // read and kept; nothing uses it
};

struct Font {
    GlyphMetrics glyphs[FontGlyphCount];    // per byte value
    std::uint32_t textureId = 0;            // the glyph image; 0 when it did not load
    std::int32_t spacing = 2;               // extra pixels after every glyph
};

// The user-interface font, built once at start-up and kept for the run.
extern Font UiFont;

// Loads the glyph image (no mipmaps, repeating wraps) and the metrics, each glyph drawn as a part of it.
// A metrics file shorter than 256 records leaves the missing glyphs at zero; a missing one, or one with a number out
// of range (ReadFontMetrics), leaves them all at zero. Glyph 160 (the no-break space) always advances 16 pixels.
// False when either file could not be read in full or was refused; the font is usable all the same.
bool BuildFont(Font& font, const std::string& texturePath, const std::string& metricsPath);
// No glyph's advance or offset goes past the width of the 1024-pixel screen, either way. A metrics file that says
// otherwise is no metrics file: it is refused like a missing one, before its numbers reach any text's width.
constexpr std::int32_t MaxGlyphMetric = 1024;

// The metrics of BuildFont from the metrics file's bytes: records the bytes do not hold are zero, and glyph 160
// advances 16 pixels. False when the bytes do not hold all 256 records, or when any advance or offset is out of
// range (then every glyph is zero).
bool ReadFontMetrics(Font& font, const std::string& bytes);
// At exit: deletes the glyph image.
void KillFont(Font& font);

// The sum over the text's bytes of advance + spacing; the spacing after the last glyph counts too.
std::int32_t TextWidth(const Font& font, const std::string& text);
// Draws the glyphs once in the colour and blend mode in force; (x, y) is the top-left corner of the first glyph's
// 16 x 16 cell.
void DrawTextRun(const Font& font, const std::string& text, std::int32_t x, std::int32_t y, std::int32_t z,
                 float scale);
// The shadowed text: a half-transparent black copy one pixel down and right, then the text itself at z + 1.
// Leaves the premultiplied blend mode and the colour (r, g, b, a) in force.
void DrawText(const Font& font, const std::string& text, std::int32_t x, std::int32_t y, std::int32_t z,
              std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a);
// DrawText with the user-interface font, centred across the screen, at z 12, opaque.
void DrawTextCentered(const std::string& text, std::int32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// ---- Big font -----------------------------------------------------------------------------------------------

// Big-font text with its first cell's top-left corner at (x, y), z 15: character i (1-based) at x + (i - 1) x
// advance, each charWidth x charHeight. The text is lower-cased first; characters without an image leave their cell
// empty, and "|" is a cursor that blinks with blinkCounter. Colour channels are 0..255. The colour is opaque white
// afterwards.
void DrawBigText(double r, double g, double b, double a, std::int32_t x, std::int32_t y, const std::string& text,
                 double charWidth, double charHeight, double advance);
// DrawBigText centred across the screen. Returns -1 when (mouseX, mouseY) is over the line and the line can be
// chosen, else 0. A line ending in ":" is a label and one ending in "&" cannot be chosen: neither ever hovers, and a
// trailing " &" is drawn but left out of the centred width.
std::int32_t DrawBigTextCentered(double r, double g, double b, double a, std::int32_t y, const std::string& text,
                                 double charWidth, double charHeight, double advance, std::int32_t mouseX,
                                 std::int32_t mouseY);
