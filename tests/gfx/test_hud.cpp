// The heads-up display on the headless back end: floating texts, the counters and the time at several screen
// sizes, the displayed score, and the blinking hint box.
#include "play/effects.h"
#include "board_fixture.h"

namespace {

class Hud : public BoardTest {
protected:
    static constexpr int FontFirst = 100;       // big font: "0" is image 100, "a" 110, ":" 136
    static constexpr std::uint32_t GlyphImage = 6000;

    void SetUp() override {
        BoardTest::SetUp();
        Texture("font", KindFont, FontFirst, FontFirst + 41);
        Texture("flag", KindFlag, 150, 151);
        Texture("bomb", KindBomb, 152, 152);
        UiFont.textureId = GlyphImage;
        for (GlyphMetrics& glyph : UiFont.glyphs) glyph.advance = 10;     // 12 pixels a character with spacing
    }

    static std::uint32_t Char(char c) {
        if (c >= '0' && c <= '9') return Img(FontFirst + (c - '0'));
        if (c == ':') return Img(FontFirst + 36);
        return Img(FontFirst + 10 + (c - 'a'));
    }
};

// ---- Floating texts -------------------------------------------------------------------------------------------

TEST_F(Hud, AFloatingTextRisesThenRisesFasterWhileFadingAndIsGoneAt24Point75Frames) {
    struct Case {
        int frame;
        std::int32_t y, alpha;
    };
    // Added over the cell at (256, 512): it starts at y 547 and ages a quarter frame per drawn frame.
    const Case cases[] = {{1, 546, 255}, {48, 499, 255}, {49, 497, 250}, {60, 475, 195}, {98, 399, 5}};
    AddFloatingText(256, 512, "a", 255, 255, 255);
    frameStep = 0.25;
    size_t next = 0;
    for (int frame = 1; frame <= 99; frame++) {
        const auto quads = Draw([] { StepFloatingTexts(frameStep); DrawFloatingTexts(0, 0); });
        if (frame == 99) {
            EXPECT_TRUE(quads.empty());
            EXPECT_TRUE(attempt.floatingTexts.Empty());
            break;
        }
        ASSERT_EQ(quads.size(), 1u) << frame;
        EXPECT_EQ(quads[0].x, 302);     // [256 + 64 - 35 / 2]
        if (next < std::size(cases) && cases[next].frame == frame) {
            EXPECT_EQ(quads[0].y, cases[next].y) << frame;
            EXPECT_EQ(quads[0].a, cases[next].alpha) << frame;
            next++;
        }
    }
    EXPECT_EQ(next, std::size(cases));
}

TEST_F(Hud, AWorldTextFollowsTheBoardsScaleAndCameraInItsColour) {
    view.pixelsPerUnit = 0.5;
    AddFloatingText(256, 512, "ab", 10, 20, 30);
    frameStep = 1;
    const auto quads = Draw([] { StepFloatingTexts(frameStep); DrawFloatingTexts(100, 40); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].image, Char('a'));
    EXPECT_EQ(quads[0].x, 42);          // [285 x 0.5 - 100]
    EXPECT_EQ(quads[0].y, 232);         // [543 x 0.5 - 40]
    EXPECT_EQ(quads[0].w, 30);          // [59 x 0.5]
    EXPECT_EQ(quads[1].image, Char('b'));
    EXPECT_EQ(quads[1].x, 60);          // [42 + 35 x 0.5]
    EXPECT_EQ(quads[0].r, 10);
    EXPECT_EQ(quads[0].g, 20);
    EXPECT_EQ(quads[0].b, 30);
    EXPECT_EQ(quads[0].depthFunc, static_cast<std::int32_t>(DepthFunc::LessEqual));
}

TEST_F(Hud, ACentredTextStaysCentredWhateverTheCameraDoes) {
    struct Case {
        std::int32_t width, height, x, y, size, advance;
    };
    const Case cases[] = {{1024, 768, 456, 380, 63, 48}, {1280, 1024, 570, 508, 79, 60}};
    for (const Case& c : cases) {
        ActiveWidth = c.width;
        ActiveHeight = c.height;
        for (std::int32_t camera : {0, 5000, -777}) {
            attempt.floatingTexts.Clear();
            AddFloatingText(CentreOnScreen, 12345, "go", 255, 255, 255);
            frameStep = 1;
            view.pixelsPerUnit = camera == 0 ? 1 : 0.3;
            const auto quads = Draw([&] { StepFloatingTexts(frameStep); DrawFloatingTexts(camera, camera); });
            ASSERT_EQ(quads.size(), 2u);
            EXPECT_EQ(quads[0].image, Char('g'));
            EXPECT_EQ(quads[0].x, c.x) << c.width << " camera " << camera;
            EXPECT_EQ(quads[0].y, c.y);
            EXPECT_EQ(quads[0].w, c.size);
            EXPECT_EQ(quads[0].h, c.size);
            EXPECT_EQ(quads[1].x, c.x + c.advance);
        }
    }
}

TEST_F(Hud, AnExpiredTextLetsTheNextOneDrawInTheSameFrame) {
    AddFloatingText(0, 0, "a", 255, 255, 255);
    AddFloatingText(1280, 0, "b", 255, 255, 255);
    attempt.floatingTexts[1].age = 24.5;
    frameStep = 0.25;
    const auto quads = Draw([] { StepFloatingTexts(frameStep); DrawFloatingTexts(0, 0); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].image, Char('b'));
    ASSERT_EQ(attempt.floatingTexts.Count(), 1);
    EXPECT_EQ(attempt.floatingTexts[1].text, "b");
}

// ---- Counters and time ---------------------------------------------------------------------------------------

TEST_F(Hud, CountersAndTimeSitAtTheirPlacesOnEveryScreenSize) {
    struct Case {
        std::int32_t width, height;
        std::int32_t textX, flagsY, bombsY, charWidth, charHeight, secondCharX;
        std::int32_t symbolX, symbolSide, timeX;
    };
    const Case cases[] = {
        {1024, 768, 80, 628, 698, 47, 59, 115, 10, 64, 824},
        {1280, 1024, 100, 837, 931, 59, 74, 144, 12, 85, 1030},
        {640, 480, 50, 392, 436, 29, 37, 72, 6, 40, 515},
    };
    playRun.hudVisible = -1;
    attempt.flagsLeft = 3;
    level.bombCount = 12;
    level.timeLimit = 65;
    attempt.remainingTimeText = "01:05";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        ActiveWidth = c.width;
        ActiveHeight = c.height;
        uiScaleX = c.width / 1024.0;
        uiScaleY = c.height / 768.0;
        const auto quads = Draw([] { DrawHud(0, 0); });

        const auto flags = WithImage(quads, Char('3'));
        ASSERT_EQ(flags.size(), 1u);
        EXPECT_EQ(flags[0].x, c.textX);
        EXPECT_EQ(flags[0].y, c.flagsY);
        EXPECT_EQ(flags[0].w, c.charWidth);
        EXPECT_EQ(flags[0].h, c.charHeight);
        EXPECT_EQ(flags[0].z, 15);
        EXPECT_EQ(flags[0].r, 255);
        EXPECT_EQ(flags[0].g, 255);
        EXPECT_EQ(flags[0].b, 128);

        const auto one = WithImage(quads, Char('1'));      // "12" and the "1" of the time
        const auto two = WithImage(quads, Char('2'));
        ASSERT_EQ(one.size(), 2u);
        ASSERT_EQ(two.size(), 1u);
        EXPECT_EQ(one[0].x, c.textX);
        EXPECT_EQ(one[0].y, c.bombsY);
        EXPECT_EQ(two[0].x, c.secondCharX);

        for (const auto& [image, y] : {std::pair{Img(150), c.flagsY}, std::pair{Img(152), c.bombsY}}) {
            const auto symbol = WithImage(quads, image);
            ASSERT_EQ(symbol.size(), 1u);
            EXPECT_EQ(symbol[0].x, c.symbolX);
            EXPECT_EQ(symbol[0].y, y);
            EXPECT_EQ(symbol[0].w, c.symbolSide);
            EXPECT_EQ(symbol[0].h, c.symbolSide);
            EXPECT_EQ(symbol[0].z, 16);
            EXPECT_EQ(symbol[0].b, 255);
        }

        const auto colon = WithImage(quads, Char(':'));
        const auto zeros = WithImage(quads, Char('0'));
        ASSERT_EQ(colon.size(), 1u);
        ASSERT_EQ(zeros.size(), 2u);
        EXPECT_EQ(zeros[0].x, c.timeX);
        EXPECT_EQ(zeros[0].y, c.bombsY);
        EXPECT_EQ(zeros[0].b, 128);     // yellow while no warning is up
    }
}

TEST_F(Hud, TheTimeTurnsRedWithTheWarningAndIsAbsentWithoutALimit) {
    struct Case {
        double limit;
        std::int32_t warning;
        size_t shown;
        std::uint8_t g, b;
    };
    const Case cases[] = {{60, 0, 1, 255, 128}, {60, -1, 1, 0, 0}, {0, 0, 0, 0, 0}, {-5, -1, 0, 0, 0}};
    playRun.hudVisible = -1;
    attempt.remainingTimeText = "00:04";
    for (const Case& c : cases) {
        level.timeLimit = c.limit;
        attempt.timeWarningShown = c.warning;
        const auto four = WithImage(Draw([] { DrawHud(0, 0); }), Char('4'));
        ASSERT_EQ(four.size(), c.shown) << c.limit;
        if (c.shown == 0) continue;
        EXPECT_EQ(four[0].r, 255);
        EXPECT_EQ(four[0].g, c.g);
        EXPECT_EQ(four[0].b, c.b);
    }
}

TEST_F(Hud, NothingButFloatingTextsAndTheHintWhileTheHudIsOff) {
    playRun.hudVisible = 0;
    attempt.flagsLeft = 3;
    level.timeLimit = 60;
    attempt.remainingTimeText = "01:00";
    score = 50;
    AddFloatingText(0, 0, "a", 255, 255, 255);
    level.hintLines[1] = "hint";
    const auto quads = Draw([] { DrawHud(0, 0); });
    EXPECT_EQ(WithImage(quads, Char('a')).size(), 1u);
    EXPECT_EQ(WithImage(quads, editGrayImage.id).size(), 1u);
    EXPECT_TRUE(WithImage(quads, Char('3')).empty());
    EXPECT_TRUE(WithImage(quads, Img(150)).empty());
    EXPECT_EQ(attempt.displayedScore, 0);
}

TEST_F(Hud, TheDisplayedScoreCountsUpFasterWhenFurtherBehindAndNeverPassesTheScore) {
    playRun.hudVisible = -1;
    frameStep = 0.5;
    score = 100;
    attempt.displayedScore = 0;
    DrawHud(0, 0);
    EXPECT_DOUBLE_EQ(attempt.displayedScore, 26);       // 100 x 0.25 + 1
    DrawHud(0, 0);
    EXPECT_DOUBLE_EQ(attempt.displayedScore, 45.5);     // 26 + 74 x 0.25 + 1
    double previous = attempt.displayedScore;
    for (int i = 0; i < 40; i++) {
        DrawHud(0, 0);
        EXPECT_GE(attempt.displayedScore, previous);
        EXPECT_LE(attempt.displayedScore, 100);
        previous = attempt.displayedScore;
    }
    EXPECT_EQ(attempt.displayedScore, 100);
    // Ahead of the score (the score was restored after a death): it drops to it.
    attempt.displayedScore = 150;
    DrawHud(0, 0);
    EXPECT_EQ(attempt.displayedScore, 100);
}

// ---- The hint box -------------------------------------------------------------------------------------------

TEST_F(Hud, TheHintBoxFitsTheWidestLineAndItsLinesStandInIt) {
    level.hintLines[1] = "abcdefghij";            // 120 pixels
    level.hintLines[2] = "abcdefghijklmno";       // 180: the widest
    level.hintLines[4] = "x";
    attempt.elapsedTime = 5;
    const auto quads = Draw([] { DrawHud(0, 0); });
    EXPECT_EQ(view.hintBoxWidth, 180);
    const auto box = WithImage(quads, editGrayImage.id);
    ASSERT_EQ(box.size(), 1u);
    EXPECT_EQ(box[0].x, 422);
    EXPECT_EQ(box[0].y, 693);
    EXPECT_EQ(box[0].w, 190);
    EXPECT_EQ(box[0].h, 65);
    EXPECT_EQ(box[0].z, 11);
    // Every glyph twice (its shadow one pixel down and right first); the empty third line draws nothing.
    const auto glyphs = WithImage(quads, GlyphImage);
    ASSERT_EQ(glyphs.size(), 2u * (10 + 15 + 1));
    EXPECT_EQ(glyphs[0].x, 428);
    EXPECT_EQ(glyphs[0].y, 699);
    EXPECT_EQ(glyphs[10].x, 427);           // the first line itself
    EXPECT_EQ(glyphs[10].y, 698);
    EXPECT_EQ(glyphs[10].a, 255);
    EXPECT_EQ(glyphs[20 + 15].y, 712);      // the second line
    EXPECT_EQ(glyphs.back().y, 740);        // the fourth
    // Measured once: a later change of the lines keeps the width until a level is read again.
    level.hintLines[2] = "a";
    Draw([] { DrawHud(0, 0); });
    EXPECT_EQ(view.hintBoxWidth, 180);
}

TEST_F(Hud, TheHintBlinksForTheFirstTwoSecondsThenStays) {
    level.hintLines[1] = "hint";
    level.hintLines[2] = "second line";
    frameStep = 0.5;        // 0.02 seconds a frame
    int shown = 0, hidden = 0;
    for (int frame = 1; frame <= 150; frame++) {
        attempt.elapsedTime = frame * 0.02;
        const auto quads = Draw([] { DrawHud(0, 0); });
        EXPECT_EQ(WithImage(quads, editGrayImage.id).size(), 1u) << "the box stays";
        const bool text = !WithImage(quads, GlyphImage).empty();
        if (attempt.elapsedTime > 2) {
            EXPECT_TRUE(text) << frame;
        } else {
            (text ? shown : hidden)++;
            EXPECT_EQ(text, view.blinkCounter > 3) << frame;
        }
    }
    // Six animation frames a blink, visible in the second half.
    EXPECT_GE(shown, 30);
    EXPECT_GE(hidden, 30);
    // No hint, no box.
    level.hintLines[1].clear();
    EXPECT_TRUE(Draw([] { DrawHud(0, 0); }).empty());
}

}  // namespace
