// The user-interface font's metrics file ("standard.dat", gfx/font.h): 256 records of advance and offset. What
// any file gives must be usable for measuring and drawing text: every glyph placed, widths computed, with no
// arithmetic running out of range.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "gfx/font.h"
#include "platform/headless.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Font font;
    const bool complete = ReadFontMetrics(font, FuzzBytes(data, size));
    FuzzCheck(!complete || size >= std::size_t(FontMetricsBytes), "metrics read in full are all there");
    FuzzCheck(font.glyphs[160].advance == 16, "the no-break space advances 16 pixels");
    for (const GlyphMetrics& glyph : font.glyphs)
        FuzzCheck(glyph.advance >= -MaxGlyphMetric && glyph.advance <= MaxGlyphMetric &&
                      glyph.xOffset >= -MaxGlyphMetric && glyph.xOffset <= MaxGlyphMetric,
                  "glyph metrics are in range");

    // A line of every glyph, measured and drawn as the game draws text (headless: one recorded quad a glyph).
    std::string every(256, '\0');
    for (int i = 0; i < 256; ++i) every[static_cast<std::size_t>(i)] = static_cast<char>(i);
    TextWidth(font, every);
    DrawText(font, every, 1024, 700, 12, 255, 255, 255, 255);
    Headless.drawing.clear();
    return 0;
}
