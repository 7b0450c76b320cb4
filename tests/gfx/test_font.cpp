// Both fonts on the headless back end: the user-interface font's metrics, widths and glyph cells, and the big font's
// character images, cells, centring, hover test and blinking cursor.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "base/binio.h"
#include "shell/settings.h"
#include "test_support.h"
#include "tiles/catalogue.h"

namespace {

// A complete metrics file for `glyphs` (the rest of the 256 records zero), cut to `size` bytes when given.
std::string MetricsFile(const std::vector<std::pair<int, GlyphMetrics>>& glyphs, std::size_t size = FontMetricsBytes) {
    GlyphMetrics all[FontGlyphCount] = {};
    for (const auto& [index, metrics] : glyphs) all[index] = metrics;
    std::string out;
    for (const GlyphMetrics& g : all) {
        PutI32(out, g.advance);
        PutI32(out, g.reserved1);
        PutI32(out, g.xOffset);
        PutI32(out, g.reserved2);
    }
    out.resize(size, '\0');
    return out;
}

std::string GlyphImageTga() {
    std::string file(12, '\0');
    file[2] = 2;                                    // uncompressed true colour
    file += {16, 0, 16, 0, 24, 0};
    return file + std::string(16 * 16 * 3, '\x7f');
}

GlyphMetrics Glyph(std::int32_t advance, std::int32_t xOffset) { return GlyphMetrics{advance, 0, xOffset, 0}; }

// Advances and offsets chosen so that every mistake in the pen arithmetic moves some cell.
const std::vector<std::pair<int, GlyphMetrics>> TestGlyphs = {
    {'A', Glyph(10, 1)}, {'B', Glyph(7, 0)}, {'C', Glyph(9, 3)}, {160, Glyph(3, 2)},
    {'w', Glyph(35, 0)}, {'W', Glyph(37, 0)}, {'M', Glyph(38, 0)}, {255, Glyph(11, 4)},
};

class FontTest : public ::testing::Test {
protected:
    TempProgramFolder folder;
    std::int32_t savedWidth = 0, savedHeight = 0;
    double savedStep = 0;

    void SetUp() override {
        UseHeadless();
        ResetTextureRecords();
        ImageTable.Clear();
        ResetTextureTable();
        savedWidth = ActiveWidth;
        savedHeight = ActiveHeight;
        savedStep = frameStep;
        ActiveWidth = 1024;
        ActiveHeight = 768;
        frameStep = 0;
        view.blinkCounter = 0;
        SetColor(255, 255, 255, 255);
        SetBlend(BlendMode::Alpha);
        SetDepthFunc(DepthFunc::Less);
        folder.Write("standard.tga", GlyphImageTga());
    }
    void TearDown() override {
        UiFont = Font{};
        ResetTextureTable();
        ImageTable.Clear();
        ActiveWidth = savedWidth;
        ActiveHeight = savedHeight;
        frameStep = savedStep;
        view.blinkCounter = 0;
    }

    bool Build(Font& font, const std::string& metrics) {
        folder.Write("standard.dat", metrics);
        return BuildFont(font, folder.File("standard.tga"), folder.File("standard.dat"));
    }

    static std::vector<QuadRecord> Draw(const std::function<void()>& draw) {
        Headless.drawing.clear();
        draw();
        return Headless.drawing;
    }
};

// ---- User-interface font ------------------------------------------------------------------------------------

TEST_F(FontTest, BuildReadsEveryRecordUploadsTheImageAndForcesTheNoBreakSpace) {
    std::vector<std::pair<int, GlyphMetrics>> glyphs;
    for (int i = 0; i < FontGlyphCount; i++) glyphs.push_back({i, GlyphMetrics{i % 13 + 3, 1000 + i, i % 5, -i}});
    Font font;
    ASSERT_TRUE(Build(font, MetricsFile(glyphs)));

    for (int i : {0, 1, int('A'), 127, 159, 161, 254, 255}) {
        EXPECT_EQ(font.glyphs[i].advance, i % 13 + 3) << i;
        EXPECT_EQ(font.glyphs[i].reserved1, 1000 + i) << i;
        EXPECT_EQ(font.glyphs[i].xOffset, i % 5) << i;
        EXPECT_EQ(font.glyphs[i].reserved2, -i) << i;
    }
    EXPECT_EQ(font.glyphs[160].advance, 16);        // the file says 160 % 13 + 3 = 6
    EXPECT_EQ(font.glyphs[160].xOffset, 0);         // only the advance is replaced

    ASSERT_EQ(TextureUploads.size(), 1u);
    EXPECT_EQ(TextureUploads[0].path, folder.File("standard.tga"));
    EXPECT_EQ(TextureUploads[0].flags, 0);
    EXPECT_EQ(TextureUploads[0].wrapS, TextureWrapRepeat);
    EXPECT_EQ(TextureUploads[0].wrapT, TextureWrapRepeat);
    EXPECT_EQ(font.textureId, TextureUploads[0].id);

    const std::uint32_t id = font.textureId;
    KillFont(font);
    EXPECT_EQ(font.textureId, 0u);
    ASSERT_EQ(DeletedTextures.size(), 1u);
    EXPECT_EQ(DeletedTextures[0], id);
}

// A file whose numbers are out of range is refused as a whole, like a missing one.
TEST_F(FontTest, AShortOrMissingMetricsFileLeavesTheMissingGlyphsAtZero) {
    std::vector<std::pair<int, GlyphMetrics>> glyphs;
    for (int i = 0; i < FontGlyphCount; i++) glyphs.push_back({i, Glyph(20 + i, 1 + i % 7)});
    const std::string full = MetricsFile(glyphs);

    struct Case {
        const char* what;
        std::size_t size;           // bytes of the file kept; npos: no file
        int fullGlyphs;             // glyphs 0 .. fullGlyphs - 1 read whole
        bool advanceOfNext;         // the next glyph's advance is in the file, its offset not
        std::optional<GlyphMetrics> glyph77;    // the record of glyph 77 ('M') instead of the usual one
    };
    const std::vector<Case> cases = {
        {"no file", std::string::npos, 0, false, {}},
        {"empty file", 0, 0, false, {}},
        {"six records and an advance", 6 * 16 + 4, 6, true, {}},
        {"the last record cut after its advance", FontMetricsBytes - 9, 255, true, {}},
        // Such advances summed over a line of text ran past the largest int.
        {"an advance wider than the screen", FontMetricsBytes, 0, false, Glyph(MaxGlyphMetric + 1, 0)},
        {"the largest advance a file holds", FontMetricsBytes, 0, false, Glyph(2147483647, 0)},
        {"an offset wider than the screen", FontMetricsBytes, 0, false, Glyph(8, -MaxGlyphMetric - 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Font font;
        // Values left over from an earlier build must not survive.
        for (GlyphMetrics& g : font.glyphs) g = GlyphMetrics{99, 99, 99, 99};
        bool built;
        if (c.size == std::string::npos) {
            std::filesystem::remove(folder.File("standard.dat"));
            built = BuildFont(font, folder.File("standard.tga"), folder.File("standard.dat"));
        } else if (c.glyph77) {
            std::vector<std::pair<int, GlyphMetrics>> damaged = glyphs;
            damaged[77].second = *c.glyph77;
            built = Build(font, MetricsFile(damaged).substr(0, c.size));
            EXPECT_EQ(TextWidth(font, std::string(2000000, 'M')), 2000000 * font.spacing);
        } else {
            built = Build(font, full.substr(0, c.size));
        }
        EXPECT_FALSE(built);
        for (int i = 0; i < FontGlyphCount; i++) {
            if (i == 160) continue;
            const bool whole = i < c.fullGlyphs;
            const bool advanceOnly = i == c.fullGlyphs && c.advanceOfNext;
            ASSERT_EQ(font.glyphs[i].advance, whole || advanceOnly ? 20 + i : 0) << i;
            ASSERT_EQ(font.glyphs[i].xOffset, whole ? 1 + i % 7 : 0) << i;
            ASSERT_EQ(font.glyphs[i].reserved2, 0) << i;
        }
        EXPECT_EQ(font.glyphs[160].advance, 16);
        KillFont(font);
    }
}

TEST_F(FontTest, TextWidthAddsAdvanceAndSpacingPerByte) {
    Font font;
    ASSERT_TRUE(Build(font, MetricsFile(TestGlyphs)));
    struct Case {
        std::string text;
        std::int32_t spacing;
        std::int32_t width;
    };
    const std::vector<Case> cases = {
        {"", 2, 0},
        {"A", 2, 12},               // its advance plus the spacing; the offset plays no part
        {"AB", 2, 21},
        {"\xA0", 2, 18},            // 16 + 2 whatever the file says
        {"A\xA0" "C", 2, 12 + 18 + 11},
        {"\xFF", 2, 13},            // bytes above 127 are glyphs like any other
        {"AB", 0, 17},
        {"AB", 5, 27},
        {"Q", 2, 2},                // a glyph without metrics still takes the spacing
    };
    for (const Case& c : cases) {
        font.spacing = c.spacing;
        EXPECT_EQ(TextWidth(font, c.text), c.width) << '"' << c.text << "\" spacing " << c.spacing;
    }
}

TEST_F(FontTest, DrawTextRunPutsEachCellAtThePenLessTheGlyphOffset) {
    Font font;
    ASSERT_TRUE(Build(font, MetricsFile(TestGlyphs)));
    struct Case {
        float scale;
        std::int32_t z, size;
        std::vector<std::int32_t> xs;
    };
    // Pens 0, 12, 21 and 39 (after the 16 + 2 of byte 160); offsets 1, 0, 2 and 3.
    const std::vector<Case> cases = {
        {1.0f, 7, 16, {99, 112, 119, 136}},
        {2.0f, 14, 32, {98, 124, 138, 172}},
    };
    for (const Case& c : cases) {
        const auto quads = Draw([&] { DrawTextRun(font, "AB\xA0" "C", 100, 50, 7, c.scale); });
        ASSERT_EQ(quads.size(), c.xs.size()) << c.scale;
        for (std::size_t i = 0; i < quads.size(); i++) {
            EXPECT_EQ(quads[i].x, c.xs[i]) << "scale " << c.scale << " glyph " << i;
            EXPECT_EQ(quads[i].y, 50);
            EXPECT_EQ(quads[i].z, c.z);
            EXPECT_EQ(quads[i].w, c.size);
            EXPECT_EQ(quads[i].h, c.size);
            EXPECT_EQ(quads[i].image, font.textureId);
        }
    }
}

TEST_F(FontTest, DrawTextPutsAHalfBlackShadowBehindTheText) {
    Font font;
    ASSERT_TRUE(Build(font, MetricsFile(TestGlyphs)));
    const auto quads = Draw([&] { DrawText(font, "AB", 10, 20, 12, 200, 100, 50, 180); });
    ASSERT_EQ(quads.size(), 4u);
    struct Expected {
        std::int32_t x, y, z;
        std::uint8_t r, g, b, a;
    };
    const Expected expected[] = {
        {10, 21, 12, 0, 0, 0, 128}, {23, 21, 12, 0, 0, 0, 128},
        {9, 20, 13, 200, 100, 50, 180}, {22, 20, 13, 200, 100, 50, 180},
    };
    for (std::size_t i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(quads[i].x, expected[i].x);
        EXPECT_EQ(quads[i].y, expected[i].y);
        EXPECT_EQ(quads[i].z, expected[i].z);
        EXPECT_EQ(quads[i].r, expected[i].r);
        EXPECT_EQ(quads[i].g, expected[i].g);
        EXPECT_EQ(quads[i].b, expected[i].b);
        EXPECT_EQ(quads[i].a, expected[i].a);
        EXPECT_EQ(quads[i].blend, static_cast<std::int32_t>(BlendMode::Premultiplied));
    }
}

TEST_F(FontTest, DrawTextCenteredRoundsHalvesToEven) {
    ASSERT_TRUE(Build(UiFont, MetricsFile(TestGlyphs)));
    UiFont.spacing = 2;
    ActiveWidth = 640;
    struct Case {
        const char* text;
        std::int32_t x;
    };
    const std::vector<Case> cases = {
        {"w", 302},     // width 37: 301.5
        {"W", 300},     // width 39: 300.5
        {"M", 300},     // width 40
        {"", 320},
    };
    for (const Case& c : cases) {
        const auto quads = Draw([&] { DrawTextCentered(c.text, 440, 255, 255, 0); });
        if (std::string(c.text).empty()) {
            EXPECT_TRUE(quads.empty());
            continue;
        }
        ASSERT_EQ(quads.size(), 2u) << c.text;
        EXPECT_EQ(quads[1].x, c.x) << c.text;
        EXPECT_EQ(quads[1].y, 440);
        EXPECT_EQ(quads[0].z, 12);
        EXPECT_EQ(quads[1].z, 13);
        EXPECT_EQ(quads[1].a, 255);
        EXPECT_EQ(quads[1].b, 0);
    }
}

// ---- Big font -----------------------------------------------------------------------------------------------

constexpr std::uint32_t ImageIdBase = 500;     // image n of the table has the texture id 500 + n
constexpr std::int32_t FontFirst = 5;          // the font's frame 0 in the image table

class BigFontTest : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        for (int n = 1; n <= 60; n++) {
            TextureImage image;
            image.id = ImageIdBase + std::uint32_t(n);
            ImageTable.Add(image);
        }
        AddFont(FontFirst, FontFirst + 52);
    }
    static void AddFont(std::int32_t first, std::int32_t last) {
        TextureEntry font;
        font.pack = "txtpckMain";
        font.name = "letters";
        font.firstFrame = first;
        font.lastFrame = last;
        font.kind = KindFont;
        AddTexture(font);
    }
    static std::uint32_t ImageOf(int offset) { return ImageIdBase + std::uint32_t(FontFirst + offset); }
};

TEST_F(BigFontTest, EachCharacterDrawsItsImageOrLeavesItsCellEmpty) {
    view.blinkCounter = 3.5;         // with no time passing, the cursor stays in its visible half
    struct Case {
        std::string ch;
        int offset;             // -1: nothing drawn
    };
    const std::vector<Case> cases = {
        {"0", 0}, {"7", 7}, {"9", 9}, {"a", 10}, {"m", 22}, {"z", 35}, {"A", 10}, {"Z", 35},
        {":", 36}, {"|", 37}, {"%", 38}, {"\xB2", 39}, {"\xB3", 40}, {"&", 41},
        // Spanish: either case of an accented letter, then the marks.
        {"\xE1", 42}, {"\xC1", 42}, {"\xE9", 43}, {"\xC9", 43}, {"\xED", 44}, {"\xCD", 44}, {"\xF3", 45},
        {"\xD3", 45}, {"\xFA", 46}, {"\xDA", 46}, {"\xF1", 47}, {"\xD1", 47}, {"\xFC", 48}, {"\xDC", 48},
        {"\xBF", 49}, {"?", 50}, {"\xA1", 51}, {"!", 52},
        {" ", -1}, {"_", -1}, {"\xC4", -1}, {"\xA0", -1}, {"\xE0", -1}, {"'", -1},
    };
    for (const Case& c : cases) {
        // The character sits in the second cell, so an empty cell must still move the pen.
        const auto quads = Draw([&] { DrawBigText(255, 255, 255, 255, 100, 40, "." + c.ch, 47, 59, 40); });
        if (c.offset < 0) {
            EXPECT_TRUE(quads.empty()) << c.ch;
            continue;
        }
        ASSERT_EQ(quads.size(), 1u) << c.ch;
        EXPECT_EQ(quads[0].image, ImageOf(c.offset)) << c.ch;
        EXPECT_EQ(quads[0].x, 140) << c.ch;
        EXPECT_EQ(quads[0].y, 40);
        EXPECT_EQ(quads[0].z, 15);
        EXPECT_EQ(quads[0].w, 47);
        EXPECT_EQ(quads[0].h, 59);
    }
}

TEST_F(BigFontTest, ASpaceLeavesAnEmptyCell) {
    const auto quads = Draw([] { DrawBigText(255, 255, 0, 255, 200, 30, "a b", 47, 59, 40); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].image, ImageOf(10));
    EXPECT_EQ(quads[0].x, 200);
    EXPECT_EQ(quads[1].image, ImageOf(11));
    EXPECT_EQ(quads[1].x, 280);
}

TEST_F(BigFontTest, UpperCaseIsDrawnWithTheLowerCaseImages) {
    const auto upper = Draw([] { DrawBigText(255, 255, 255, 255, 0, 0, "KoLBRIX 2%", 30, 40, 25); });
    const auto lower = Draw([] { DrawBigText(255, 255, 255, 255, 0, 0, "kolbrix 2%", 30, 40, 25); });
    ASSERT_EQ(upper.size(), 9u);
    ASSERT_EQ(lower.size(), upper.size());
    for (std::size_t i = 0; i < upper.size(); i++) {
        EXPECT_EQ(upper[i].image, lower[i].image) << i;
        EXPECT_EQ(upper[i].x, lower[i].x) << i;
    }
}

TEST_F(BigFontTest, CellsAndSizesRoundHalvesToEvenAndTheColourIsResetAfterwards) {
    const auto quads = Draw([] {
        DrawBigText(254.5, 127.5, 0.4, 300, 0, 5, "1111", 10.5, 11.5, 2.5);
        DrawQuad(0, 0, 0, 1, 1);
    });
    ASSERT_EQ(quads.size(), 5u);
    const std::int32_t xs[] = {0, 2, 5, 8};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(quads[i].x, xs[i]) << i;
        EXPECT_EQ(quads[i].w, 10);
        EXPECT_EQ(quads[i].h, 12);
        EXPECT_EQ(quads[i].r, 254);
        EXPECT_EQ(quads[i].g, 128);
        EXPECT_EQ(quads[i].b, 0);
        EXPECT_EQ(quads[i].a, 255);     // out-of-range alpha is held at opaque
    }
    EXPECT_EQ(quads[4].r, 255);
    EXPECT_EQ(quads[4].g, 255);
    EXPECT_EQ(quads[4].b, 255);
    EXPECT_EQ(quads[4].a, 255);
}

TEST_F(BigFontTest, OnlyTheFontsOwnFramesAreDrawn) {
    struct Case {
        const char* what;
        std::int32_t first, last;   // the font entry added last; first 0: none at all
        std::size_t drawn;          // of "19cd"
    };
    const std::vector<Case> cases = {
        {"no font texture", 0, 0, 0},
        {"a font of thirteen frames", 30, 42, 3},
        {"a font past the end of the image table", 50, 91, 2},
    };
    for (const Case& c : cases) {
        ResetTextureTable();
        if (c.first != 0) AddFont(c.first, c.last);
        const auto quads = Draw([] { DrawBigText(255, 255, 255, 255, 0, 0, "19cd", 10, 10, 10); });
        EXPECT_EQ(quads.size(), c.drawn) << c.what;
        for (const QuadRecord& q : quads) EXPECT_LE(q.image, ImageIdBase + 60u) << c.what;
    }
}

TEST_F(BigFontTest, CentringLeavesATrailingAmpersandOutOfTheWidth) {
    struct Case {
        const char* text;
        double charWidth, advance;
        std::int32_t x;
    };
    const std::vector<Case> cases = {
        {"ab", 47, 40, 468},        // width 87: 468.5
        {"ab &", 47, 40, 468},      // centred on "ab"; the lock hangs off to the right
        {"abc", 47, 40, 448},       // width 127: 448.5
        {"abc:", 47, 40, 428},      // a label is centred on its full length
        {"ab", 46.6, 40, 468},      // the width is rounded first: 87, not 86.6
    };
    for (const Case& c : cases) {
        const auto quads = Draw([&] { DrawBigTextCentered(255, 255, 0, 255, 100, c.text, c.charWidth, 59, c.advance, -1, -1); });
        ASSERT_FALSE(quads.empty()) << c.text;
        EXPECT_EQ(quads[0].x, c.x) << c.text;
    }
    const auto locked = Draw([] { DrawBigTextCentered(255, 255, 0, 255, 100, "ab &", 47, 59, 40, -1, -1); });
    ASSERT_EQ(locked.size(), 3u);
    EXPECT_EQ(locked[2].image, ImageOf(41));
    EXPECT_EQ(locked[2].x, 468 + 120);
}

TEST_F(BigFontTest, OnlyAChoosableLineUnderThePointerHovers) {
    // "play": width 3 x 40 + 47 = 167, x = [428.5] = 428; the hover span is 428 ..  1024 - 428, y 100 .. 159.
    struct Case {
        const char* text;
        std::int32_t mouseX, mouseY, hovered;
    };
    const std::vector<Case> cases = {
        {"play", 512, 120, -1},
        {"play", 428, 100, -1},
        {"play", 596, 159, -1},     // the span is symmetric, one pixel beyond the last cell
        {"PLAY", 512, 120, -1},
        {"play", 427, 120, 0},
        {"play", 597, 120, 0},
        {"play", 512, 99, 0},
        {"play", 512, 160, 0},
        {"play", -1, -1, 0},
        {"options:", 512, 120, 0},
        {"episode 4 &", 512, 120, 0},
        {"a:b", 512, 120, -1},      // only a trailing colon makes a label
        {"", 512, 120, 0},
    };
    for (const Case& c : cases) {
        std::int32_t hovered = 1;
        Draw([&] { hovered = DrawBigTextCentered(255, 255, 0, 255, 100, c.text, 47, 59, 40, c.mouseX, c.mouseY); });
        EXPECT_EQ(hovered, c.hovered) << '"' << c.text << "\" at " << c.mouseX << ", " << c.mouseY;
    }
}

TEST(AdvanceFrame, WrapsFromLastToFirstCarryingTheRest) {
    struct Case {
        double first, last, current, step, result;
    };
    const std::vector<Case> cases = {
        {1, 6, 0, 0.5, 0.5},
        {1, 6, 6, 0.5, 6.5},            // 6.5 still rounds (to even) to the last frame
        {1, 6, 6.5, 0.5, 0.5001},       // one past the last: the value that rounds to the first
        {1, 6, 5.5001, 1, 0.5001},
        {0, 511, 500, 32, 19.5001},     // the 20 frames beyond 511 carry over
        {0, 0, 0, 0.5, 0.5},
        {3, 3, 3.4, 0.5, 2.5001},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(AdvanceFrame(c.first, c.last, c.current, c.step), c.result, 1e-9)
            << c.first << ".." << c.last << " from " << c.current << " by " << c.step;
    }
}

TEST_F(BigFontTest, TheCursorBlinksOverSixAnimationFramesVisibleInTheSecondHalf) {
    for (double step : {0.5, 1.0}) {
        SCOPED_TRACE(step);
        frameStep = step;
        view.blinkCounter = 0;
        const int period = static_cast<int>(6 / step);
        std::vector<bool> shown;
        std::vector<double> counters;
        for (int i = 0; i < 4 * period; i++) {
            const auto quads = Draw([] { DrawBigText(255, 255, 255, 255, 0, 0, "a|", 10, 10, 10); });
            ASSERT_GE(quads.size(), 1u);
            ASSERT_EQ(quads[0].image, ImageOf(10));
            shown.push_back(quads.size() == 2);
            if (quads.size() == 2) {
                EXPECT_EQ(quads[1].image, ImageOf(37));
            }
            counters.push_back(view.blinkCounter);
        }
        // Once past the first wrap, every cycle is a hidden run and then a shown run of about half the cycle (the
        // wrapped counter starts a hair above a whole frame, so a step that lands on 3 exactly shows one early).
        std::size_t wrap = 1;
        while (wrap < counters.size() && counters[wrap] > counters[wrap - 1]) wrap++;
        ASSERT_LT(wrap + 2 * period, counters.size());
        for (int cycle = 0; cycle < 2; cycle++) {
            const std::size_t start = wrap + std::size_t(cycle * period);
            EXPECT_LT(counters[start], counters[start - 1]) << "cycle " << cycle << " wraps after " << period;
            for (int i = 1; i < period; i++)
                EXPECT_GT(counters[start + std::size_t(i)], counters[start + std::size_t(i) - 1]) << cycle << ", " << i;
            int hidden = 0;
            while (hidden < period && !shown[start + std::size_t(hidden)]) hidden++;
            for (int i = hidden; i < period; i++) EXPECT_TRUE(shown[start + std::size_t(i)]) << cycle << ", " << i;
            EXPECT_GE(period - hidden, period / 2) << "cycle " << cycle;
            EXPECT_LE(period - hidden, period / 2 + 1) << "cycle " << cycle;
        }
    }
    // Text without a cursor leaves the blink alone.
    view.blinkCounter = 2;
    frameStep = 0.5;
    Draw([] { DrawBigText(255, 255, 255, 255, 0, 0, "abc", 10, 10, 10); });
    EXPECT_EQ(view.blinkCounter, 2);
}

}  // namespace
