// Game scripts: what a line means, which keys reach the key buffer on which frame, where the pointer goes, and the
// whole program played from its entry to Quit() through the run the tool uses.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "shell/game_script.h"
#include "test_support.h"
#include "tests/shell/game_fixture.h"

namespace {

std::string Hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

// A key string as the tables below write it: control characters and "\xFF" as <XX>.
std::string Shown(const std::string& key) {
    std::string text;
    for (char c : key) {
        const unsigned char byte = static_cast<unsigned char>(c);
        text += byte < 0x20 || byte >= 0x7F ? "<" + Hex(byte) + ">" : std::string(1, c);
    }
    return text;
}

// One segment in one line: "FRAMES held=1E,2A keys=A,<FF>1F typed=... mouse=X,Y,left".
std::string Described(const GameSegment& segment) {
    std::string text = std::to_string(segment.frames);
    for (size_t i = 0; i < segment.held.size(); i++) text += (i ? "," : " held=") + Hex(segment.held[i]);
    for (size_t i = 0; i < segment.buffered.size(); i++) text += (i ? "," : " keys=") + Shown(segment.buffered[i]);
    if (!segment.typed.empty()) text += " typed=" + Shown(segment.typed);
    if (segment.mouse)
        text += segment.mouseX < 0 ? " mouse=out"
                                   : " mouse=" + std::to_string(segment.mouseX) + "," + std::to_string(segment.mouseY) +
                                         (segment.mouseLeft ? ",left" : "") + (segment.mouseRight ? ",right" : "");
    if (segment.wheel != 0) text += " wheel=" + std::to_string(segment.wheel);
    return text;
}

std::string Described(const List<GameSegment>& script) {
    std::string text;
    for (const GameSegment& segment : script) text += (text.empty() ? "" : " | ") + Described(segment);
    return text;
}

}  // namespace

TEST(GameScript, ReadsKeysModifiersPointerAndText) {
    struct Case {
        const char* script;
        const char* segments;
    };
    const Case cases[] = {
        {"10 a", "10 held=1E keys=a"},
        {"3", "3"},
        {"1 shift+a\n1 ctrl+n\n1 alt+s\n1 ctrl+alt+s", "1 held=2A,1E keys=A | 1 held=1D,31 keys=<0E> | "
                                                      "1 held=38,1F keys=<FF><1F> | 1 held=1D,38,1F"},
        {"1 shift+1\n1 minus\n1 alt+1\n1 0\n1 shift+minus\n1 plus\n1 space",
         "1 held=2A,02 keys=! | 1 held=0C keys=- | 1 held=38,02 keys=<FF>x | 1 held=0B keys=0 | "
         "1 held=2A,0C keys=_ | 1 held=4E keys=+ | 1 held=39 keys= "},
        {"1 shift+tab\n1 esc\n1 enter\n1 backspace\n1 tab",
         "1 held=2A,0F keys=<FF><0F> | 1 held=01 keys=<1B> | 1 held=1C keys=<0D> | 1 held=0E keys=<08> | "
         "1 held=0F keys=<09>"},
        {"1 up\n1 ctrl+left\n1 alt+del\n1 shift+pgdn\n1 home\n1 end",
         "1 held=48 keys=<FF>H | 1 held=1D,4B keys=<FF>s | 1 held=38,53 keys=<FF><A3> | 1 held=2A,51 keys=<FF>Q | "
         "1 held=47 keys=<FF>G | 1 held=4F keys=<FF>O"},
        {"1 f1\n1 shift+f2\n1 f10\n1 f11\n1 ctrl+f12\n1 alt+f4\n1 close",
         "1 held=3B keys=<FF>; | 1 held=2A,3C keys=<FF>U | 1 held=44 keys=<FF>D | 1 held=57 keys=<FF><85> | "
         "1 held=1D,58 keys=<FF><8A> | 1 held=38,3E keys=<FF>k | 1 keys=<FF>k"},
        // A key goes into the buffer only as it goes down; Shift, Ctrl, Alt and Scroll Lock never do.
        {"2 right\n3 right+space\n1 space\n1 scrolllock+shift",
         "2 held=4D keys=<FF>M | 3 held=4D,39 keys=  | 1 held=39 | 1 held=46,2A"},
        {"1 shift\n1 shift+a\n1 close\n1 close", "1 held=2A | 1 held=2A,1E keys=A | 1 keys=<FF>k | 1"},
        {"5 mouse 512 384 left\n2 mouse OUT\n1 Mouse 0 767",
         "5 mouse=512,384,left | 2 mouse=out | 1 mouse=0,767"},
        {"2 mouse 10 20 right\n1 wheel 3\n4 wheel -2", "2 mouse=10,20,right | 1 wheel=3 | 4 wheel=-2"},
        // A line that holds no key lets the same key go down again after it.
        {"1 a\n1 mouse 1 1\n1 a\ntype x\n1 a", "1 held=1E keys=a | 1 mouse=1,1 | 1 held=1E keys=a | 1 typed=x | "
                                               "1 held=1E keys=a"},
        {"type Ada 7\ntype  two", "5 typed=Ada 7 | 4 typed= two"},
        {"type caf\xC3\xA9 \xE2\x82\xAC", "6 typed=caf<E9> <80>"},
        {"# the menu\n\n  4 LEFT+Up+left   # names in any case, once each\r\n",
         "4 held=4B,48 keys=<FF>K,<FF>H"},
    };
    for (const Case& c : cases) {
        List<GameSegment> script;
        std::string error;
        ASSERT_TRUE(ParseGameScript(c.script, script, error)) << c.script << ": " << error;
        EXPECT_EQ(Described(script), c.segments) << c.script;
    }
}

TEST(GameScript, RefusesMistakesNamingTheLine) {
    struct Case {
        const char* script;
        const char* error;
    };
    const Case cases[] = {
        {"1 a\n\nx b", "line 3: a segment starts with its number of frames"},
        {"# waits\n0 a", "line 2: a segment lasts at least one frame"},
        {"2 left right", "line 1: keys are joined by '+'"},
        {"1 a\n1 a+f13", "line 2: unknown key 'f13'"},
        {"1 a+", "line 1: unknown key ''"},
        {"1 mouse 10", "line 1: a mouse line reads"},
        {"1 mouse 1 2 middle", "line 1: a mouse line reads"},
        {"1 wheel", "line 1: a wheel line reads"},
        {"1 wheel up", "line 1: a wheel line reads"},
        {"1 mouse out 3", "line 1: a mouse line reads"},
        {"1\n1 mouse 1024 0", "line 2: the pointer goes from 0 0 to 1023 767"},
        {"1 mouse 0 768", "line 1: the pointer goes from 0 0 to 1023 767"},
        {"type", "line 1: type needs a text"},
        {"type a\tb", "line 1: cannot type '\t'"},
        {"type \xC3", "line 1: cannot type"},
        {"type \xE2\x86\x90", "line 1: cannot type '\xE2\x86\x90'"},
        {"5 type abc", "line 1: 'type' starts its line"},
    };
    for (const Case& c : cases) {
        List<GameSegment> script;
        std::string error;
        EXPECT_FALSE(ParseGameScript(c.script, script, error)) << c.script;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.script << " gave: " << error;
    }
}

TEST(GameScript, DrivesKeysAndPointerFrameByFrame) {
    UseHeadless();
    Headless.width = 1280;
    Headless.height = 1024;
    List<GameSegment> script;
    std::string error;
    ASSERT_TRUE(ParseGameScript("2\n1 a\n2 a+shift+b\ntype hi\n1 mouse 100 200 left\n1 enter\n1 mouse out", script,
                                error))
        << error;
    // What the program finds in each frame: the keys held and the pointer while it draws the frame, and the keys in
    // the buffer when it reads them after presenting it.
    struct Frame {
        std::string held, keys;
        int x, y, buttons;
    };
    const Frame expected[] = {
        {"", "", -1, -1, 0},          {"", "", -1, -1, 0},        {"1E", "a", -1, -1, 0},
        {"1E,2A,30", "B", -1, -1, 0}, {"1E,2A,30", "", -1, -1, 0}, {"", "h", -1, -1, 0},
        {"", "i", -1, -1, 0},         {"", "", 125, 266, 1},       {"1C", "<0D>", 125, 266, 0},
        {"", "", -1, -1, 0},          {"", "", -1, -1, 0},
    };
    GameScriptDriver driver;
    driver.script = &script;
    DriveGameScript(driver, 0);
    for (std::int64_t frame = 1; frame <= static_cast<std::int64_t>(std::size(expected)); frame++) {
        Frame seen{"", "", Headless.mouseX, Headless.mouseY, Headless.mouseButtons};
        for (int code = 0; code < 256; code++)
            if (Headless.held[code]) seen.held += (seen.held.empty() ? "" : ",") + Hex(code);
        DriveGameScript(driver, frame);
        while (!Headless.keys.empty()) {
            seen.keys += Shown(Headless.keys.front());
            Headless.keys.pop_front();
        }
        const Frame& want = expected[frame - 1];
        EXPECT_EQ(seen.held, want.held) << "frame " << frame;
        EXPECT_EQ(seen.keys, want.keys) << "frame " << frame;
        EXPECT_EQ(seen.x, want.x) << "frame " << frame;
        EXPECT_EQ(seen.y, want.y) << "frame " << frame;
        EXPECT_EQ(seen.buttons, want.buttons) << "frame " << frame;
    }
}

TEST(GameScript, TracesTextsAsUtf8Json) {
    const std::pair<std::string, std::string> cases[] = {
        {"Play", "\"Play\""},
        {"say \"hi\" \\o/", "\"say \\\"hi\\\" \\\\o/\""},
        {"a\x01\tb", "\"a\\u0001\\u0009b\""},
        {"Men\xFC: \xE9t\xE9", "\"Men\xC3\xBC: \xC3\xA9t\xC3\xA9\""},
        {"\x80 \x85 \x9F \x81", "\"\xE2\x82\xAC \xE2\x80\xA6 \xC5\xB8 \xC2\x81\""},
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(JsonString(text), json) << text;
}

namespace {


std::string ReadSource(const std::string& relative) {
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value of a text field of a trace line ("" when the line has none).
std::string Field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":\"";
    const size_t start = line.find(key);
    if (start == std::string::npos) return "";
    const size_t from = start + key.size();
    return line.substr(from, line.find('"', from) - from);
}

}  // namespace

TEST(GameRun, TheExampleMakesAPlayerCompletesTheLevelAndQuits) {
    FirstStartFolder f;
    const std::string script = ReadSource("assets/scripts/example-game.keys");
    ASSERT_FALSE(script.empty());
    std::vector<std::string> trace;
    EXPECT_EQ(f.Run(script, 100000, trace), 0);
    ASSERT_FALSE(trace.empty());
    // A first start opens on the language screen.
    EXPECT_NE(trace.front().find("\"screen\":3,"), std::string::npos) << trace.front();
    std::string player, played;
    for (const std::string& line : trace) {
        if (!Field(line, "player").empty()) player = Field(line, "player");
        if (line.find("\"played\"") != std::string::npos) played = line;
    }
    EXPECT_NE(played.find("\"played\":1,\"result\":\"completed\""), std::string::npos) << played;
    EXPECT_TRUE(trace.back().ends_with(",\"exit\":0}")) << trace.back();
    ASSERT_FALSE(player.empty());
    EXPECT_TRUE(std::filesystem::exists(f.folder.path / "lvlpckTest" / (player + ".sts"))) << player;
}

TEST(GameRun, ARunOutOfFramesEndsWithItsOwnCode) {
    FirstStartFolder f;
    std::vector<std::string> trace;
    EXPECT_EQ(f.Run("", 250, trace), GameOutOfFrames);
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace.back(), "{\"frame\":251,\"exit\":3}");
    EXPECT_FALSE(std::filesystem::exists(f.folder.path / "settings.dat"));
}
