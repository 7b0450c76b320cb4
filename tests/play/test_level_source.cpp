#include "shell/level_load.h"
#include "play/level_source.h"
#include "tests/play/level_fixture.h"

namespace {

using LevelSource = LevelTest;

// Writing a level as source and reading it back must give the same file, byte for byte: maps for what sits on a
// grid in reading order, single lines for everything else (off-grid, out of order, stacked, odd parameters).
TEST_F(LevelSource, ReadingTheWrittenSourceGivesBackTheSameLevel) {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    level.background = Object(TexSky, 0, 0);
    level.wallLayer.Add(Object(TexElevator, 64 + 128.0 * 3, 640, 0, -10));
    for (int i = 0; i < 12; ++i) level.wallLayer.Add(Object(TexBrick, 64 + 128.0 * i, 1024));
    level.hazardLayer.Add(Object(TexSpike, 192, 768));
    level.hazardLayer.Add(Object(TexSpike, 64, 768));                         // out of reading order
    for (int i = 0; i < 3; ++i) level.groundLayer.Add(Object(TexSky, 64 + 128.0 * i, 896));
    level.pickupLayer.Add(Object(TexFlag, 192, 896));
    level.pickupLayer.Add(Object(TexFlag, 448, 896, 2.5));                    // a parameter the editor would not set
    level.arrowLayer.Add(Object(TexArrowEast, 576, 896));                     // the kind's own direction: 2
    level.arrowLayer[1].param1 = 2;
    level.arrowLayer.Add(Object(TexArrowEast, 704, 896, 4));
    level.spareLayer.Add(Object(TexSpike, 100.5, 7));                         // off the grid
    level.crackLayer.Add(Object(TexBlankWall, 64, 1024));
    level.crackLayer.Add(Object(TexBlankWall, 64, 1024));                     // stacked
    level.platformLayer.Add(Object(TexBrick, -1e9, 3e9, -0.0, 1e-300));
    level.explosionLayer.Add(Object(TexOtherBrick, 0, 0));
    level.ball = Object(TexBall, 320, 768, 0.1, -7);
    const char title[] = "Tab\there, \"quotes\", back\\slash, \xff and\nnewline";
    level.levelTitle = std::string(title, sizeof title - 1);
    level.levelZoom = 0.3;
    level.timeLimit = 0;
    level.bombCount = 3;
    level.ballSizeDivisor = 2;
    level.ballGrowFlag = -1;
    level.ballGrowth = 0.1;
    level.deathCounter = 1;
    level.winCounter = 2;
    level.hintLines[1] = "first";
    level.hintLines[2] = "";
    level.hintLines[3] = "third";
    level.hintLines[4] = "";
    MusicList.Add("audio/x.ogg");
    musicIndex = 1;
    const std::string expected = EncodeLevel();

    const std::string source = WriteLevelSource("audio/x.ogg");
    // The walls make a map (with the elevator in a row of its own above them); the rest is listed.
    EXPECT_NE(source.find("\n|############\n"), std::string::npos) << source;
    EXPECT_NE(source.find("\nobject hazard txtpckMain spike 64 768\n"), std::string::npos) << source;

    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    for (std::string& line : level.hintLines) line = "x";
    level.levelTitle.clear();
    std::string music, error;
    List<LevelHints> otherHints;
    ASSERT_TRUE(ReadLevelSource(source, music, otherHints, error)) << error << "\n" << source;
    EXPECT_EQ(music, "audio/x.ogg");
    EXPECT_EQ(EncodeLevel(), expected) << source;
    EXPECT_EQ(level.hintLines[1], "first");
    EXPECT_EQ(level.hintLines[3], "third");
    EXPECT_EQ(level.hintLines[4], "");
    EXPECT_EQ(otherHints.Count(), 0);
    EXPECT_EQ(WriteLevelSource(music), source);
}

TEST_F(LevelSource, AHandWrittenSourceBuildsTheLevelItShows) {
    const std::string source =
        "# a comment\n"
        "kolbrix-level 1\n"
        "title \"First steps\"\n"
        "background txtpckMain sky\n"
        "ball txtpckMain ball 128 0\n"
        "legend # wall txtpckMain brick\n"
        "legend > arrow txtpckMain arrowright\n"
        "legend F pickup txtpckMain flag\n"
        "map 0 128\n"
        "|.>F\n"
        "|###\n"
        "object wall txtpckMain Lift_Elevator 384 0 0 -10\n";
    std::string music, error;
    List<LevelHints> otherHints;
    ASSERT_TRUE(ReadLevelSource(source, music, otherHints, error)) << error;
    EXPECT_EQ(level.levelTitle, "First steps");
    EXPECT_EQ(level.timeLimit, 600);
    EXPECT_EQ(level.levelZoom, 0.5);
    ASSERT_EQ(level.wallLayer.Count(), 4);
    EXPECT_EQ(level.wallLayer[3].x, 256);
    EXPECT_EQ(level.wallLayer[3].y, 256);
    EXPECT_EQ(level.wallLayer[4].param2, -10);
    ASSERT_EQ(level.arrowLayer.Count(), 1);
    EXPECT_EQ(level.arrowLayer[1].x, 128);
    EXPECT_EQ(level.arrowLayer[1].y, 128);
    EXPECT_EQ(level.arrowLayer[1].param1, 2);     // what the editor gives an east arrow
    EXPECT_EQ(level.pickupLayer[1].texture, TexFlag);
    EXPECT_EQ(level.elevatorIndex.Count(), 1);
    EXPECT_EQ(level.levelBounds.maxX, 384);
    EXPECT_EQ(level.levelBounds.minY, 0);
}

TEST_F(LevelSource, MistakesAreReportedWithTheirLine) {
    const std::string head = "kolbrix-level 1\nbackground txtpckMain sky\nball txtpckMain ball 0 0\n";
    const std::pair<std::string, std::string> cases[] = {
        {"", "the source is empty"},
        {"kolbrix-level 2\n", "line 1: "},
        {"kolbrix-level 1\nball txtpckMain ball 0 0\n", "no \"background\" line"},
        {head + "map 0 0\n|#\n", "line 5: '#' is not in the legend"},
        {head + "|#\n", "line 4: a map row"},
        {head + "legend # wall nopack nothing\n", "line 4: the texture"},
        {head + "legend ## wall txtpckMain brick\n", "line 4: a legend symbol"},
        {head + "legend # wall txtpckMain brick\nlegend # wall txtpckMain brick\n", "line 5: '#' is in the legend twice"},
        {head + "object roof txtpckMain brick 0 0\n", "line 4: \"roof\" is not a layer"},
        {head + "object wall txtpckMain brick 0 zero\n", "line 4: \"zero\" is not a number"},
        {head + "object wall txtpckMain brick nan(5) 0\n", "line 4: \"nan(5)\" is not a number"},   // payload lost
        {head + "object wall txtpckMain brick 0 0 1 2 3\n", "line 4: too many values"},
        {head + "bombs 1.5\n", "line 4: \"1.5\" is not a whole number"},
        {head + "title \"open\n", "line 4: a quoted text does not end"},
        {head + "hint a\nhint b\nhint c\nhint d\nhint e\n", "line 8: a level has at most four hint lines"},
        {head + "hint de a\nhint de b\nhint c\nhint de c\nhint de d\nhint de e\n",
         "line 9: a level has at most four hint lines"},
        {head + "hint a\nhint en b\nhint c\nhint en d\nhint en e\n", "line 8: a level has at most four hint lines"},
        {head + "hint de a b\n", "line 4: \"hint\" takes a language code and a text"},
        {head + "hint\n", "line 4: \"hint\" takes"},
        {head + "hint \"d e\" text\n", "line 4: \"d e\" is not a language code"},
        {head + "hint \"\" text\n", "line 4: \"\" is not a language code"},
        {head + "title \"Gr\xfc\xdf\"\n", "line 4: the line is not UTF-8 text"},          // Windows-1252 bytes
        {head + "title \"\xc3\"\n", "line 4: the line is not UTF-8 text"},                 // cut short
        {head + "title \"\xc0\xa0\"\n", "line 4: the line is not UTF-8 text"},            // overlong
        {head + "title \"\xc4\x81\"\n", "line 4: the character U+0101 is not in"},        // a with macron
        {head + "title \"\xc2\x81\"\n", "line 4: the character U+0081 is not in"},        // a control
        {head + "legend \xc3\xa4 wall txtpckMain brick\n", "line 4: a legend symbol is one ASCII character"},
        {head + "colour red\n", "line 4: unknown line"},
    };
    // A source that does not read leaves the level in memory, the music and the other hints as they were, whatever
    // it read before its mistake.
    std::string keptMusic = "audio/kept.ogg", keptError;
    List<LevelHints> keptHints;
    ASSERT_TRUE(ReadLevelSource(head + "title \"Kept\"\nhint de \"Hallo\"\nobject wall txtpckMain brick 384 0\n",
                                keptMusic, keptHints, keptError))
        << keptError;
    const std::string before = EncodeLevel(TakeLevel());
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        std::string music = "audio/kept.ogg", error;
        List<LevelHints> otherHints = keptHints;
        EXPECT_FALSE(ReadLevelSource(text, music, otherHints, error));
        EXPECT_NE(error.find(message), std::string::npos) << error;
        EXPECT_EQ(EncodeLevel(TakeLevel()), before);
        EXPECT_EQ(music, "audio/kept.ogg");
        ASSERT_EQ(otherHints.Count(), 1);
        EXPECT_EQ(otherHints[1].lines[1], "Hallo");
    }
}

// Hints of several languages: plain `hint` lines are English and stay in the level, `hint CODE` lines of the other
// languages come back in the order the source first names each, and writing them gives the same source again.
TEST_F(LevelSource, HintsOfOtherLanguagesTravelBesideTheLevel) {
    const std::string source =
        "kolbrix-level 1\n"
        "background txtpckMain sky\n"
        "ball txtpckMain ball 0 0\n"
        "hint de \"Erste\"\n"
        "hint \"First\"\n"
        "hint fr \"Premi\xc3\xa8re\"\n"
        "hint de \"\"\n"
        "hint en \"Second\"\n"
        "hint de \"Dritte\"\n";
    std::string music, error;
    List<LevelHints> hints;
    ASSERT_TRUE(ReadLevelSource(source, music, hints, error)) << error;
    EXPECT_EQ(level.hintLines[1], "First");
    EXPECT_EQ(level.hintLines[2], "Second");
    EXPECT_EQ(level.hintLines[3], "");
    ASSERT_EQ(hints.Count(), 2);
    EXPECT_EQ(hints[1].language, "de");
    EXPECT_EQ(hints[1].lines[1], "Erste");
    EXPECT_EQ(hints[1].lines[2], "");
    EXPECT_EQ(hints[1].lines[3], "Dritte");
    EXPECT_EQ(hints[1].lines[4], "");
    EXPECT_EQ(hints[2].language, "fr");
    EXPECT_EQ(hints[2].lines[1], "Premi\xe8re");

    const std::string written = WriteLevelSource(music, hints);
    EXPECT_NE(written.find("\nhint \"First\"\nhint \"Second\"\nhint de \"Erste\"\nhint de \"\"\nhint de \"Dritte\"\n"
                           "hint fr \"Premi\xc3\xa8re\"\n"),
              std::string::npos)
        << written;
    List<LevelHints> again;
    ASSERT_TRUE(ReadLevelSource(written, music, again, error)) << error;
    EXPECT_EQ(WriteLevelSource(music, again), written);

    // A source without hints leaves none from the level before.
    ASSERT_TRUE(ReadLevelSource("kolbrix-level 1\nbackground txtpckMain sky\nball txtpckMain ball 0 0\n", music, again,
                                error));
    EXPECT_EQ(again.Count(), 0);
    EXPECT_EQ(level.hintLines[1], "");
}

// Sources are UTF-8 and the level keeps the game's Windows-1252 bytes: every character of that set goes in as its
// byte and comes out as the same UTF-8; an escape gives its byte as it is, and bytes with no character of their own
// (or a misleading one) are written as escapes.
TEST_F(LevelSource, TextsAreUtf8InTheSourceAndWindows1252InTheLevel) {
    const struct {
        const char* source;     // inside the quotes of a title line
        const char* bytes;      // the title in the level
        const char* written;    // the title line's quoted text as written back
    } cases[] = {
        {"Gr\xc3\xbc\xc3\x9f\xc3\xa9 \xc3\x84\xc3\x96\xc3\x9c", "Gr\xfc\xdf\xe9 \xc4\xd6\xdc", nullptr},
        {"\xe2\x82\xac \xe2\x80\x93 \xe2\x80\x9e\xe2\x80\x9c \xc5\xb8", "\x80 \x96 \x84\x93 \x9f", nullptr},   // euro, dash, quotes, Y diaeresis
        {"\xc3\xbf", "\xff", nullptr},
        {"\\xe4\\x81", "\xe4\x81", "\xc3\xa4\\x81"},             // escapes; 0x81 has no character
        {"\\xa0\\xad\\x7f", "\xa0\xad\x7f", "\\xa0\\xad\\x7f"},   // no-break space, soft hyphen, delete
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string source = std::string("kolbrix-level 1\nbackground txtpckMain sky\nball txtpckMain ball 0 0\n"
                                               "title \"") + c.source + "\"\n";
        std::string music, error;
        List<LevelHints> hints;
        ASSERT_TRUE(ReadLevelSource(source, music, hints, error)) << error;
        EXPECT_EQ(level.levelTitle, c.bytes);
        const std::string title = std::string("\ntitle \"") + (c.written ? c.written : c.source) + "\"\n";
        EXPECT_NE(WriteLevelSource(music).find(title), std::string::npos) << WriteLevelSource(music);
    }
}

}  // namespace
