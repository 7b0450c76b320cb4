// The menu screen on the headless back end: the picture by screen and screen shape, where the lines stand and how
// they are coloured, the pulsing cursor, the pointer report, the level screen's information panel, and the credits
// and help pages.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/language.h"
#include "base/message.h"
#include "gfx/board_fixture.h"
#include "shell/menu.h"
#include "shell/menu_draw.h"
#include "shell/packs.h"
#include "shell/players.h"

namespace {

// One text of the user-interface font as drawn (its shadow left out).
struct UiText {
    std::string text;
    std::int32_t x = 0, y = 0, z = 0;
    std::uint8_t r = 0, g = 0, b = 0;
};
// One line of the big font: the characters that have images, the left edge and the colour of the first.
struct BigLine {
    std::string text;
    std::int32_t x = 0, y = 0, w = 0;
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

class MenuDraw : public BoardTest {
protected:
    static constexpr int FontFirst = 100;       // big font: "0" is image 100, "a" 110, ":" 136, "&" 141
    static constexpr std::uint32_t GlyphImage = 6000;
    static constexpr std::uint32_t OpeningId = 5003, EndgameId = 5004, GrayId = 5002;
    // Every user-interface glyph is shifted right by 4096 times its byte, so a recorded quad's x tells which
    // character it is (x / 4096) and where it stands (x % 4096); every glyph advances 12 pixels.
    static constexpr std::int32_t GlyphTag = 4096, GlyphPixels = 12;

    std::array<std::string, LanguageLineCount + 1> savedText;

    void SetUp() override {
        BoardTest::SetUp();
        Texture("font", KindFont, FontFirst, FontFirst + 41);
        UiFont.textureId = GlyphImage;
        for (int c = 0; c < FontGlyphCount; c++) {
            UiFont.glyphs[c].advance = GlyphPixels - UiFont.spacing;
            UiFont.glyphs[c].xOffset = -GlyphTag * c;
        }
        openingImage.id = OpeningId;
        endgameImage.id = EndgameId;
        Shape(1024, 768, -1, 1024, 768);
        savedText = LanguageText;
        view.MenuActive = -1;
        menu = MenuState{};
        menuPulse = 0;
        PackList.Clear();
        PackIndex = 0;
        LevelWins.fill(0);
    }

    void TearDown() override {
        LanguageText = savedText;
        menu = MenuState{};
        menuPulse = 0;
        PackList.Clear();
        LevelWins.fill(0);
        openingImage.id = endgameImage.id = 0;
        isFourByThree = -1;
        uiScaleX = uiScaleY = 0;
        BoardTest::TearDown();
    }

    static void Shape(std::int32_t width, std::int32_t height, std::int32_t fourByThree, std::int32_t width43,
                      std::int32_t height43) {
        ActiveWidth = width;
        ActiveHeight = height;
        uiScaleX = width / 1024.0;
        uiScaleY = height / 768.0;
        isFourByThree = fourByThree;
        fourByThreeWidth = width43;
        fourByThreeHeight = height43;
    }

    static void Lines(std::int32_t screen, const std::vector<std::string>& lines, std::int32_t cursor = 0) {
        menu.MenuScreen = screen;
        menu.MenuCursor = cursor;
        menu.MenuLineCount = static_cast<std::int32_t>(lines.size());
        for (size_t i = 0; i < lines.size(); i++) menu.MenuLines[i + 1] = lines[i];
    }

    static std::vector<QuadRecord> Frame() { return Draw([] { DrawMenuScreen(); }); }

    static char BigChar(std::uint32_t image) {
        const int offset = static_cast<int>(image) - static_cast<int>(Img(FontFirst));
        if (offset < 10) return static_cast<char>('0' + offset);
        if (offset < 36) return static_cast<char>('a' + offset - 10);
        return offset == 36 ? ':' : offset == 41 ? '&' : '?';
    }
    static std::vector<BigLine> BigLines(const std::vector<QuadRecord>& quads) {
        std::vector<BigLine> lines;
        for (const QuadRecord& q : quads) {
            if (q.image < Img(FontFirst) || q.image > Img(FontFirst + 41)) continue;
            if (lines.empty() || lines.back().y != q.y)
                lines.push_back({"", q.x, q.y, q.w, q.r, q.g, q.b, q.a});
            lines.back().text += BigChar(q.image);
        }
        return lines;
    }
    static std::vector<UiText> Texts(const std::vector<QuadRecord>& quads) {
        std::vector<UiText> texts;
        bool open = false;
        for (const QuadRecord& q : quads) {
            if (q.image != GlyphImage) continue;
            if (q.r == 0 && q.g == 0 && q.b == 0 && q.a == 128) {     // a shadow run starts the next text
                open = false;
                continue;
            }
            if (!open) texts.push_back({"", q.x % GlyphTag, q.y, q.z, q.r, q.g, q.b});
            open = true;
            texts.back().text += static_cast<char>(q.x / GlyphTag);
        }
        return texts;
    }
    static std::int32_t Centred(const std::string& text) {
        return RoundEven((ActiveWidth - GlyphPixels * static_cast<double>(text.size())) / 2);
    }
};

// ---- Background ---------------------------------------------------------------------------------------------------

TEST_F(MenuDraw, EachScreenHasItsPictureOrVeilFittedToTheScreensShape) {
    struct Quad {
        std::uint32_t image;
        std::int32_t x, y, w, h, z;
    };
    struct Case {
        std::int32_t screen;
        bool wide;                      // 1280 x 720 instead of 1024 x 768
        std::vector<Quad> quads;
    };
    const Case cases[] = {
        {1, false, {{OpeningId, 0, 0, 1024, 768, 12}}},
        {1, true, {{OpeningId, 160, 0, 960, 720, 12}}},            // the board shows at both sides
        {13, true, {{OpeningId, 160, 0, 960, 720, 12}}},
        {14, true, {{GrayId, 0, 0, 1280, 720, 11}}},
        {19, false, {{GrayId, 0, 0, 1024, 768, 11}}},
        {27, false, {{EndgameId, 0, 0, 1024, 768, 12}}},
        {15, true, {{EndgameId, 0, -120, 1280, 960, 11}}},
        {18, true, {{EndgameId, 0, -120, 1280, 960, 11}}},
        {8, false, {{GrayId, 0, 0, 1024, 768, 11}, {OpeningId, 0, 0, 1024, 768, 12}}},
        {9, true, {{GrayId, 0, 0, 1280, 720, 11}, {OpeningId, 160, 0, 960, 720, 12}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("screen " + std::to_string(c.screen) + (c.wide ? " wide" : " 4:3"));
        if (c.wide) Shape(1280, 720, 0, 960, 960);
        else Shape(1024, 768, -1, 1024, 768);
        Lines(c.screen, {});
        std::vector<QuadRecord> pictures;
        for (const QuadRecord& q : Frame())
            if (q.image == OpeningId || q.image == EndgameId || q.image == GrayId) pictures.push_back(q);
        ASSERT_EQ(pictures.size(), c.quads.size());
        for (size_t i = 0; i < pictures.size(); i++) {
            EXPECT_EQ(pictures[i].image, c.quads[i].image);
            EXPECT_EQ(pictures[i].x, c.quads[i].x);
            EXPECT_EQ(pictures[i].y, c.quads[i].y);
            EXPECT_EQ(pictures[i].w, c.quads[i].w);
            EXPECT_EQ(pictures[i].h, c.quads[i].h);
            EXPECT_EQ(pictures[i].z, c.quads[i].z);
            EXPECT_EQ(pictures[i].a, 255);
        }
    }
}

TEST_F(MenuDraw, NothingIsDrawnOrReportedWhileTheMenuDoesNotOwnTheScreen) {
    view.MenuActive = 0;
    Lines(1, {"play", "help"}, 1);
    menu.MenuHover = 2;
    Headless.mouseX = 512;
    Headless.mouseY = 240;
    EXPECT_TRUE(Frame().empty());
    EXPECT_EQ(menu.MenuHover, 2);
    EXPECT_EQ(menu.pointerX, -1);
    EXPECT_EQ(menuPulse, 0);
}

// ---- Lines ----------------------------------------------------------------------------------------------------------

TEST_F(MenuDraw, LinesStandLowOnThePictureScreensAndCentredElsewhereScaledWithTheHeight) {
    struct Case {
        std::int32_t screen, width, height;
        std::int32_t firstY, secondY, charWidth, charHeight, secondCharX;
    };
    const Case cases[] = {
        {1, 1024, 768, 236, 295, 47, 59, 508},          // [(768 - 295) / 2]; "ab" from [(1024 - 87) / 2] on
        {27, 1024, 768, 532, 591, 47, 59, 508},         // 768 - 236
        {15, 1024, 768, 532, 591, 47, 59, 508},
        {1, 1280, 1024, 316, 395, 63, 79, 635},         // [(1024 - [393.3]) / 2], [316 + 78.7]; [582 + 53.3]
        {18, 1280, 1024, 709, 788, 63, 79, 635},        // 1024 - [314.7]
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("screen " + std::to_string(c.screen) + " at " + std::to_string(c.height));
        Shape(c.width, c.height, 0, 0, 0);
        Lines(c.screen, {"ab", "ab"});
        const auto lines = BigLines(Frame());
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].y, c.firstY);
        EXPECT_EQ(lines[1].y, c.secondY);
        EXPECT_EQ(lines[0].w, c.charWidth);
        const auto second = WithImage(Frame(), Img(FontFirst + 11));    // the "b" of each line
        ASSERT_EQ(second.size(), 2u);
        EXPECT_EQ(second[0].x, c.secondCharX);
        EXPECT_EQ(second[0].h, c.charHeight);
    }
}

TEST_F(MenuDraw, EachLineHasTheColourOfItsKind) {
    struct Case {
        std::string line;
        std::string drawn;          // what the big font shows of it
        std::uint8_t r, g, b, a;
        std::int32_t x;
    };
    const Case cases[] = {
        {"options:", "options:", 255, 255, 255, 255, 348},      // a title
        {"play", "play", 255, 0, 0, 255, 428},                  // the cursor, at the start of its pulse
        {"player bob:_", "playerbob:", 255, 120, 60, 255, 268},  // the "_" is a gap
        {"episode 4 &", "episode4&", 255, 255, 0, 255, 328},    // centred as if the " &" were not there
        {"quit", "quit", 255, 255, 0, 255, 428},
    };
    std::vector<std::string> lines;
    for (const Case& c : cases) lines.push_back(c.line);
    Lines(1, lines, 2);
    const auto drawn = BigLines(Frame());
    ASSERT_EQ(drawn.size(), std::size(cases));
    for (size_t i = 0; i < drawn.size(); i++) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(drawn[i].text, cases[i].drawn);
        EXPECT_EQ(drawn[i].y, 236 + 59 * static_cast<std::int32_t>(i));
        EXPECT_EQ(drawn[i].r, cases[i].r);
        EXPECT_EQ(drawn[i].g, cases[i].g);
        EXPECT_EQ(drawn[i].b, cases[i].b);
        EXPECT_EQ(drawn[i].a, cases[i].a);
        EXPECT_EQ(drawn[i].x, cases[i].x);
    }
}

TEST_F(MenuDraw, OnlyFiveLinesAreDrawnAndPointedAtEvenWithSix) {
    Lines(1, {"a", "b", "c", "d", "e", "f"}, 6);
    Headless.mouseX = 512;
    Headless.mouseY = 236 + 5 * 59 + 10;        // where a sixth line would stand
    const auto lines = BigLines(Frame());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.back().text, "e");
    EXPECT_EQ(menu.MenuHover, 0);
    for (const BigLine& line : lines) EXPECT_EQ(line.g, 255) << line.text;   // no line took the cursor's colour
}

TEST_F(MenuDraw, TheCursorPulsesFromRedToHalfClearWhiteAndBackEvery16Frames) {
    struct Case {
        int frame;
        std::uint8_t gb, a;
    };
    // 32 pulse steps a frame over 0 to 511: up to 255 after eight frames, back to 0 after sixteen.
    const Case cases[] = {{1, 32, 239}, {7, 224, 143}, {8, 255, 128}, {9, 223, 144}, {15, 31, 240}, {16, 0, 255}};
    Lines(1, {"go"}, 1);
    frameStep = 1;
    std::vector<BigLine> seen;
    for (int frame = 1; frame <= 48; frame++) {
        const auto lines = BigLines(Frame());
        ASSERT_EQ(lines.size(), 1u);
        seen.push_back(lines[0]);
    }
    for (const Case& c : cases) {
        for (int period = 0; period < 3; period++) {
            const BigLine& line = seen[static_cast<size_t>(c.frame - 1 + 16 * period)];
            SCOPED_TRACE("frame " + std::to_string(c.frame + 16 * period));
            EXPECT_EQ(line.r, 255);
            EXPECT_EQ(line.g, c.gb);
            EXPECT_EQ(line.b, c.gb);
            EXPECT_EQ(line.a, c.a);
        }
    }
    // Half the frame step takes twice as many frames.
    menuPulse = 0;
    frameStep = 0.5;
    for (int frame = 1; frame < 16; frame++) Frame();
    EXPECT_EQ(BigLines(Frame())[0].g, 255);
}

TEST_F(MenuDraw, ThePointerOverAChoosableLineIsReportedWithItsPositionAndButtons) {
    struct Case {
        int x, y, buttons;
        std::int32_t hover;
    };
    // Lines stand at y 236, 295, 354, 413 and 472, each 59 high; "play" and "quit" span x 428 to 596.
    const Case cases[] = {
        {512, 300, 1, 2},       // over "play"
        {428, 354, 0, 2},       // its left and bottom edges count
        {596, 295, 4, 2},
        {427, 300, 1, 0},       // just left of it
        {512, 240, 1, 0},       // the title never hovers
        {512, 380, 0, 0},       // nor does a line with "_"
        {512, 420, 0, 0},       // nor a locked one
        {512, 480, 2, 5},
        {-1, -1, 0, 0},         // outside the window
    };
    Lines(1, {"options:", "play", "player bob:_", "episode 4 &", "quit"}, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        Headless.mouseX = c.x;
        Headless.mouseY = c.y;
        Headless.mouseButtons = c.buttons;
        menu.MenuHover = 3;             // last frame's report must not stay
        Frame();
        EXPECT_EQ(menu.MenuHover, c.hover);
        EXPECT_EQ(menu.pointerX, c.x);
        EXPECT_EQ(menu.pointerY, c.y);
        EXPECT_EQ(menu.buttons, c.buttons);
    }
}

// ---- The level screen -------------------------------------------------------------------------------------------

TEST_F(MenuDraw, TheLevelScreenShowsThePacksCountsAndTheLevelsStateBetweenItsLines) {
    struct Case {
        std::int32_t wins;              // of the current level, 3 of 5
        std::string solved, unsolved, skipped, state;
        std::uint8_t r, g;
    };
    // Wins of levels 1 to 5: 2, 0, wins, 0, 1. Every unsolved level before the last solved one counts as skipped,
    // even past the current level.
    const Case cases[] = {
        {0, "Solved: 2", "Unsolved: 3", "Skipped: 3", "Not solved yet", 255, 0},
        {1, "Solved: 3", "Unsolved: 2", "Skipped: 2", "Solved once", 0, 255},
        {12, "Solved: 3", "Unsolved: 2", "Skipped: 2", "Solved 12 times", 0, 255},
    };
    LanguageText[242] = "Levels: ";
    LanguageText[243] = "Solved: ";
    LanguageText[231] = "Unsolved: ";
    LanguageText[232] = "Skipped: ";
    LanguageText[236] = "Not solved yet";
    LanguageText[237] = "Solved once";
    LanguageText[238] = "Solved ";
    LanguageText[239] = " times";
    PackList.Add("lvlpckAlpine");
    PackIndex = 1;
    LevelCount = 5;
    LevelNumber = 3;
    level.levelTitle = "Windy Ridge";
    Lines(14, {"level 3:", "play", "_", "next", "back"}, 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        LevelWins.fill(0);
        LevelWins[1] = 2;
        LevelWins[3] = c.wins;
        LevelWins[5] = 1;
        const auto quads = Frame();

        // The title moves up 20, the panel pushes the lines after it down 80 and line 3 on a further 60.
        const auto lines = BigLines(quads);
        // The pack's name is drawn right after the title line, in white like it.
        const std::string texts[] = {"level3:", "alpine:", "play", "next", "back"};
        const std::int32_t ys[] = {216, 40, 355, 533, 592};
        ASSERT_EQ(lines.size(), std::size(texts));
        for (size_t i = 0; i < lines.size(); i++) {
            EXPECT_EQ(lines[i].text, texts[i]);
            EXPECT_EQ(lines[i].y, ys[i]) << texts[i];
        }
        EXPECT_EQ(lines[1].b, 255);

        const auto shown = Texts(quads);
        const UiText expected[] = {
            {"Levels: 5", 0, 96, 13, 255, 255, 255},
            {c.solved, 0, 113, 13, 255, 255, 255},
            {c.unsolved, 0, 130, 13, 255, 255, 255},
            {c.skipped, 0, 147, 13, 255, 255, 255},
            {"Windy Ridge", 0, 272, 13, 255, 255, 255},     // the title line's y + 40 + 16
            {c.state, 0, 323, 13, c.r, c.g, 0},             // and + 67
        };
        ASSERT_EQ(shown.size(), std::size(expected));
        for (size_t i = 0; i < shown.size(); i++) {
            EXPECT_EQ(shown[i].text, expected[i].text);
            EXPECT_EQ(shown[i].x, Centred(expected[i].text)) << expected[i].text;
            EXPECT_EQ(shown[i].y, expected[i].y) << expected[i].text;
            EXPECT_EQ(shown[i].z, expected[i].z);
            EXPECT_EQ(shown[i].r, expected[i].r) << expected[i].text;
            EXPECT_EQ(shown[i].g, expected[i].g) << expected[i].text;
            EXPECT_EQ(shown[i].b, expected[i].b) << expected[i].text;
        }
    }
}

// ---- Pages ----------------------------------------------------------------------------------------------------------

TEST_F(MenuDraw, TheCreditsPageNamesFourContributorsEachOverItsRolesThenTheLicence) {
    for (int n : {109, 114, 115, 116, 117, 118, 202, 203}) LanguageText[n] = "line " + std::to_string(n);
    Lines(8, {"_", "_", "_", "_", "_", "back"});
    const auto quads = Frame();
    EXPECT_TRUE(BigLines(quads).empty());       // blank lines only; "back" is the sixth
    const auto shown = Texts(quads);
    // Page top [(768 - 247) / 2] = 260; the names are yellow, the roles white.
    struct Row {
        std::string text;               // empty: a name, to be checked for its shape
        std::int32_t y;
        bool name;
    };
    const Row rows[] = {{"line 109", 260, false}, {"", 285, true},        {"line 114", 300, false},
                        {"line 115", 315, false}, {"", 340, true},        {"line 116", 355, false},
                        {"", 380, true},          {"line 117", 395, false}, {"", 420, true},
                        {"line 118", 435, false}, {"", 460, true},        {"line 202", 475, false},
                        {"line 203", 490, false}};
    ASSERT_EQ(shown.size(), std::size(rows));
    for (size_t i = 0; i < shown.size(); i++) {
        SCOPED_TRACE(shown[i].text);
        EXPECT_EQ(shown[i].y, rows[i].y);
        EXPECT_EQ(shown[i].x, Centred(shown[i].text));
        const bool yellow = i == 0 || rows[i].name;
        EXPECT_EQ(shown[i].b, yellow ? 0 : 255);
        if (!rows[i].name) {
            EXPECT_EQ(shown[i].text, rows[i].text);
            continue;
        }
        // A name and its colon, short enough to stand on one line of the big font on a 1024-wide screen.
        ASSERT_GE(shown[i].text.size(), 2u);
        EXPECT_EQ(shown[i].text.back(), ':');
        EXPECT_LE(static_cast<double>(shown[i].text.size() - 1) * 40 + 47, 1024);
    }
}

TEST_F(MenuDraw, AHelpPageIsAYellowHeadingOverABlockOfLinesCentredAsAWhole) {
    struct Case {
        std::int32_t screen, heading, first, last, top;
    };
    const Case cases[] = {
        {9, 108, 131, 144, 268},        // [(768 - 232) / 2]
        {10, 107, 119, 129, 290},       // [(768 - 187) / 2]
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("screen " + std::to_string(c.screen));
        LanguageText[c.heading] = "Heading";
        for (std::int32_t n = c.first; n <= c.last; n++)
            LanguageText[n] = std::string(static_cast<size_t>(n % 7 + 1), 'x');
        LanguageText[c.first + 3] = "the widest line of them all";
        Lines(c.screen, {"_", "_", "_", "_", "_", "back"});
        const auto shown = Texts(Frame());
        ASSERT_EQ(shown.size(), static_cast<size_t>(c.last - c.first + 2));
        EXPECT_EQ(shown[0].text, "Heading");
        EXPECT_EQ(shown[0].y, c.top);
        EXPECT_EQ(shown[0].x, Centred("Heading"));
        EXPECT_EQ(shown[0].b, 0);
        const std::int32_t left = Centred("the widest line of them all");
        for (std::int32_t n = c.first; n <= c.last; n++) {
            const UiText& line = shown[static_cast<size_t>(n - c.first + 1)];
            EXPECT_EQ(line.text, LanguageText[n]);
            EXPECT_EQ(line.x, left) << n;
            EXPECT_EQ(line.y, c.top + 25 + 15 * (n - c.first)) << n;
            EXPECT_EQ(line.z, 13);
            EXPECT_EQ(line.b, 255);
        }
    }
}

}  // namespace

// Behind a picture that fills a 4:3 screen the level is hidden: none of it is drawn (a software renderer would spend
// most of the frame on it). The level screen's veil and a wide screen's sides show it.
TEST_F(MenuDraw, TheLevelIsDrawnOnlyWhereThePictureLeavesItVisible) {
    view.MenuActive = -1;
    LevelObject wall;
    wall.texture = 0;
    wall.x = 0;
    wall.y = 0;
    level.wallLayer.Add(wall);
    struct Case {
        std::int32_t width, height, fourByThree, screen;
        bool drawn;
    };
    for (const Case& c : {Case{1024, 768, -1, 1, false}, Case{1024, 768, -1, 18, false},
                          Case{1024, 768, -1, 14, true}, Case{1280, 720, 0, 1, true}}) {
        Shape(c.width, c.height, c.fourByThree, 960, 720);
        view.boardCovered = MenuPictureCoversScreen(c.screen) ? -1 : 0;
        EXPECT_EQ(Draw([] { DrawBoardFrame(); }).empty(), !c.drawn) << c.width << " screen " << c.screen;
    }
}

// ---- A message over the menu ---------------------------------------------------------------------------------------

TEST_F(MenuDraw, ARaisedMessageStandsCentredOverEverythingTheMenuDraws) {
    constexpr std::uint32_t MessagePanelId = 5009;
    editDial1Image.id = MessagePanelId;
    LanguageText[LineOk] = "OK";        // the button's caption, whatever an earlier test left there
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "1280 x 720" : "1024 x 768");
        if (wide) Shape(1280, 720, 0, 960, 960);
        else Shape(1024, 768, -1, 1024, 768);
        Lines(1, {"play", "help", "quit"}, 1);
        MessageState = 0;
        const std::vector<QuadRecord> plain = Frame();
        RaiseMessage("Could not save", "the disk is full", "check the folder");
        const std::vector<QuadRecord> quads = Frame();
        MessageState = 0;

        // The menu is drawn as without the message; the message comes after it, nearer than all of it.
        ASSERT_GT(quads.size(), plain.size());
        std::int32_t menuNearest = -128;
        for (size_t i = 0; i < plain.size(); i++) {
            EXPECT_EQ(quads[i].image, plain[i].image);
            menuNearest = std::max(menuNearest, plain[i].z);
        }
        const QuadRecord& veil = quads[plain.size()];
        const QuadRecord& panel = quads[plain.size() + 1];
        EXPECT_EQ(veil.image, GrayId);
        EXPECT_EQ(veil.w, ActiveWidth);
        EXPECT_EQ(veil.h, ActiveHeight);
        EXPECT_GT(veil.z, menuNearest);
        EXPECT_EQ(panel.image, MessagePanelId);
        EXPECT_EQ(panel.x, (ActiveWidth - 374) / 2);
        EXPECT_EQ(panel.y, (ActiveHeight - 186) / 2);
        EXPECT_GT(panel.z, veil.z);

        std::vector<std::string> texts;
        for (const UiText& t : Texts(std::vector<QuadRecord>(quads.begin() + plain.size(), quads.end()))) {
            texts.push_back(t.text);
            EXPECT_GT(t.z, panel.z) << t.text;
            EXPECT_GE(t.x, panel.x) << t.text;
            EXPECT_LT(t.y, panel.y + 186) << t.text;
        }
        EXPECT_EQ(texts, (std::vector<std::string>{"Could not save", "the disk is full", "check the folder",
                                                   LanguageText[LineOk]}));
    }
    editDial1Image.id = 0;
}
