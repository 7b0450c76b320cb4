// Glyphs and text rendered with FreeType from the DejaVu fonts that Debian's fonts-dejavu-core installs.
#pragma once

#include <string>

#include "image.h"

namespace art {

enum class FontStyle { Sans, SansBold, Serif, SerifBold, Mono, MonoBold };

struct Glyph {
    bool present = false;   // the font has this character
    Field mask;             // coverage 0..1
    int left = 0, top = 0;  // bitmap offset from the pen position (top: rows above the baseline)
    float advance = 0;      // pixels
};

// One glyph at an em size in pixels. `hinted` snaps outlines to the pixel grid (small sizes); `mono` renders
// without anti-aliasing.
Glyph RenderGlyph(FontStyle style, char32_t code, float pixelSize, bool hinted, bool mono = false);

struct TextMask {
    Field mask;
    int baseline = 0;   // row of the baseline
    float width = 0;    // advance width of the whole text
};
// A line of text, `tracking` extra pixels after every glyph, `pad` empty pixels on every side.
TextMask RenderText(FontStyle style, const std::u32string& text, float pixelSize, float tracking = 0, int pad = 0,
                    bool hinted = false, bool mono = false);
std::u32string U32(const std::string& utf8);
// The symbols that the PC character set shows for bytes 1 to 31 and 127.
char32_t Cp437ControlSymbol(unsigned char b);

}  // namespace art
