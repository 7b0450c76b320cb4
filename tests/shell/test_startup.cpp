#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>

#include "base/language.h"
#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "shell/language.h"
#include "shell/packs.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "platform/headless_audio.h"
#include "platform/platform.h"
#include "test_support.h"

namespace {

// A program folder with one language file whose line n reads "text n".
struct StartupFixture {
    TempProgramFolder folder;
    StartupFixture(bool withLanguage = true) {
        UseHeadless();
        if (withLanguage) {
            std::string text;
            for (int n = 1; n <= LanguageLineCount; n++) text += "text " + std::to_string(n) + "\n";
            folder.Write("english.str", text);
        }
    }
    // Runs the program; once the main menu is up, the window's close button and Enter quit it.
    int Run(std::vector<std::string> args = {}) {
        args.insert(args.begin(), folder.File("kolbrix"));
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        view.MenuActive = 0;
        std::function<void(std::int64_t)> script = Headless.onFrame;
        bool quitting = false;
        Headless.onFrame = [&](std::int64_t frame) {
            if (script) script(frame);
            // A fixture folder has no menu background level: the message that says so goes first.
            if (view.MenuActive != 0 && MessageState == 1 && Headless.keys.empty()) HeadlessPushKey("\r");
            else if (view.MenuActive != 0 && !quitting) {
                quitting = true;
                HeadlessPushKey("\xFF" "k");
                HeadlessPushKey("\r");
            }
        };
        return HeadlessRun([&] { KolbrixMain(static_cast<int>(args.size()), argv.data()); }, -1);
    }
};

std::string Trimmed(int row) {
    std::string text = HeadlessTextRow(row);
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace

TEST(Startup, OpensTheDisplayWithTitleAndEndsWithCodeZeroSavingSettings) {
    StartupFixture f;
    EXPECT_EQ(f.Run(), 0);
    EXPECT_TRUE(Headless.displayOpen);
    EXPECT_EQ(Headless.title, "text 1");
    // No 1920 x 1080 among the offered modes: the last one, full screen.
    EXPECT_EQ(Headless.width, 1280);
    EXPECT_EQ(Headless.height, 1024);
    EXPECT_TRUE(Headless.fullscreen);
    EXPECT_EQ(Headless.swapInterval, 1);
    EXPECT_TRUE(Headless.pointerShown);
    EXPECT_FALSE(Headless.textOpen);
    EXPECT_EQ(f.folder.Read("settings.dat").size(), 47u);
    EXPECT_EQ(NostalgicMode, 0);
}

TEST(Startup, SettingsThatCannotBeSavedAtQuitAreSaidBeforeTheGameEnds) {
    for (const int error : {ENOSPC, EROFS}) {
        StartupFixture f;
        bool armed = false, said = false;
        Headless.onFrame = [&](std::int64_t) {
            // Once the menu is up, every later write fails: the save at quitting is the next one.
            if (view.MenuActive != 0 && !armed) {
                armed = true;
                PlatformFailFileStep(1, error, true);
            }
            said = said || (MessageState == 1 && DialogLine1 == LanguageText[LineSettingsNotSaved]);
        };
        EXPECT_EQ(f.Run(), 0) << error;
        PlatformFailFileStep(-1, 0);
        EXPECT_TRUE(said) << error;
        EXPECT_EQ(MessageState, 0) << error << ": a key took the message away before the game ended";
    }
}

TEST(Startup, NostalgicKeywordAndDateTrigger) {
    struct Case {
        std::vector<std::string> args;
        std::string date;
        std::string key;
        bool noticeShown;
        int expectedMode;
        const char* firstLine;
    };
    const Case cases[] = {
        {{"NOSTALGIC"}, "06-15-2026", "\r", true, -1, "NOSTALGIC MODE ACTIVATED!"},
        {{"--my-nostalgia"}, "06-15-2026", "x", true, -1, "NOSTALGIC MODE ACTIVATED!"},
        {{"other", "nostalgic"}, "06-15-2026", "x", false, 0, ""},
        {{}, "01-01-2027", "x", true, -1, "HAPPY NEW YEAR!"},
        {{}, "01-01-2027", "N", true, 0, "HAPPY NEW YEAR!"},
        {{"nostalgic"}, "06-15-2026", "n", true, 0, "NOSTALGIC MODE ACTIVATED!"},
        {{"nostalgic"}, "06-15-2026", "\xFF\x48", true, -1, "NOSTALGIC MODE ACTIVATED!"},
        {{}, "12-31-2026", "x", false, 0, ""},
    };
    for (const Case& c : cases) {
        StartupFixture f;
        Headless.date = c.date;
        bool noticeSeen = false;
        std::string firstLine, closing;
        // The notice waits for a key: answer it on the first idle step and keep a copy of the screen.
        Headless.onFrame = [&](std::int64_t) {
            if (Headless.textOpen && !noticeSeen) {
                noticeSeen = true;
                firstLine = Trimmed(1);
                for (int row = 25; row >= 1 && closing.empty(); row--) closing = Trimmed(row);
                HeadlessPushKey(c.key);
            }
        };
        EXPECT_EQ(f.Run(c.args), 0);
        EXPECT_EQ(noticeSeen, c.noticeShown) << c.date;
        EXPECT_EQ(NostalgicMode, c.expectedMode) << c.date << " key " << c.key;
        EXPECT_EQ(firstLine, c.firstLine);
        if (c.noticeShown) {
            EXPECT_EQ(closing, "press [N] to cancel 'Nostalgic Mode'.");
        }
    }
}

TEST(Startup, NoticeRowsAndColours) {
    for (bool keyword : {true, false}) {
        StartupFixture f;
        if (!keyword) Headless.date = "01-01-2030";
        TextCell cells[25][40];
        Headless.onFrame = [&](std::int64_t) {
            if (Headless.textOpen && Headless.keys.empty()) {
                std::copy(&Headless.cells[0][0], &Headless.cells[0][0] + 25 * 40, &cells[0][0]);
                HeadlessPushKey("n");
            }
        };
        f.Run(keyword ? std::vector<std::string>{"nostalgic"} : std::vector<std::string>{});
        EXPECT_EQ(cells[0][0].fg, 14);
        EXPECT_EQ(cells[0][0].bg, 1);
        EXPECT_EQ(cells[1][0].ch, 'L');       // "Let's get nostalgic!"
        EXPECT_EQ(cells[1][0].fg, 15);
        EXPECT_EQ(cells[1][0].bg, 1);
        EXPECT_EQ(cells[3][0].ch, 'W');       // the flashback paragraph, light grey on blue
        EXPECT_EQ(cells[3][0].fg, 7);
        EXPECT_EQ(cells[3][0].bg, 1);
        // The web address of the 1994 paragraph is the one bright line below the mode paragraph.
        int addressRow = keyword ? 16 : 17;
        EXPECT_EQ(cells[addressRow][0].fg, 15) << keyword;
        EXPECT_EQ(cells[addressRow - 1][0].fg, 7) << keyword;
        EXPECT_EQ(cells[addressRow + 1][0].fg, 7) << keyword;
        std::string todayLine;
        for (int column = 0; column < 40; column++) todayLine += static_cast<char>(cells[9][column].ch);
        EXPECT_EQ(todayLine.rfind(keyword ? "All graphics" : "Today all graphics", 0), 0u) << todayLine;
    }
}

TEST(Startup, MissingLanguageFileScreen) {
    StartupFixture f(false);
    bool shown = false;
    Headless.onFrame = [&](std::int64_t) {
        if (Headless.textOpen && !shown) {
            shown = true;
            EXPECT_EQ(Trimmed(9), "Error: no language-files found!");
            EXPECT_EQ(Headless.cells[8][0].fg, 12);
            EXPECT_EQ(Trimmed(10), "Please redownload Kolbrix:");
            EXPECT_EQ(Headless.cells[9][0].fg, 7);
            EXPECT_EQ(Trimmed(12), "Surf to:");
            EXPECT_EQ(Headless.cells[13][0].fg, 15);
            EXPECT_FALSE(Trimmed(14).empty());
            EXPECT_EQ(Trimmed(16), "Press any key to quit.");
            EXPECT_EQ(Headless.cells[15][0].fg, 7);
            HeadlessPushKey(" ");
        }
    };
    EXPECT_EQ(f.Run(), 0);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(Headless.displayOpen);
    // Leaving through a failure screen keeps the settings file as it was (here: none).
    EXPECT_FALSE(std::filesystem::exists(f.folder.path / "settings.dat"));
}

TEST(Startup, NoUsableDisplayModeScreen) {
    StartupFixture f;
    Headless.modes = {{320, 200}, {640, 400}, {600, 480}};
    bool shown = false;
    Headless.onFrame = [&](std::int64_t) {
        if (Headless.textOpen && !shown) {
            shown = true;
            const char* rows[] = {" Kolbrix", " -------", "", " Kolbrix requires a resolution of at",
                                  " least 640 x 480 and 32 bit color.", "", " Your system doesn't seem to support",
                                  " that. Sorry.", "", " Press any key to quit."};
            const int colours[] = {14, 14, -1, 15, 15, -1, 12, 12, -1, 7};
            for (int i = 0; i < 10; i++) {
                EXPECT_EQ(Trimmed(8 + i), rows[i]) << i;
                if (colours[i] >= 0) {
                    EXPECT_EQ(Headless.cells[7 + i][1].fg, colours[i]) << i;
                }
            }
            EXPECT_EQ(Trimmed(7), "");
            HeadlessPushKey("q");
        }
    };
    EXPECT_EQ(f.Run(), 0);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(Headless.displayOpen);
}

TEST(Startup, SavedModeKeptWhenOfferedAndSettingsLanguageFallsBackToFirstListed) {
    StartupFixture f;
    f.folder.Write("aardvark.str", "aardvark title\n");
    std::string settings;
    settings += std::string("\x01\0\0\0\x0a\0\0\0", 8) + "gone.str!!";
    for (std::int32_t v : {0, 800, 600, 0, 0, 0, 0}) settings += std::string(reinterpret_cast<char*>(&v), 4);
    f.folder.Write("settings.dat", settings);
    EXPECT_EQ(f.Run(), 0);
    EXPECT_EQ(Headless.width, 800);
    EXPECT_EQ(Headless.height, 600);
    EXPECT_FALSE(Headless.fullscreen);
    EXPECT_EQ(Headless.swapInterval, 0);
    EXPECT_EQ(LanguageFile, "aardvark.str");
    EXPECT_EQ(Headless.title, "aardvark title");
}

TEST(Startup, SplashEndsOnKeyClickInsideOrAfterThreeSeconds) {
    struct Case {
        const char* what;
        int mouseX, mouseY, buttons;
        bool key;
        double minSeconds, maxSeconds;
    };
    const Case cases[] = {
        {"nothing", -1, -1, 0, false, 3.0, 3.05},
        {"key", -1, -1, 0, true, 0.3, 0.45},
        {"left click inside", 100, 100, 1, false, 0.3, 0.45},
        {"right click inside", 0, 0, 2, false, 0.3, 0.45},
        {"click outside", -1, -1, 1, false, 3.0, 3.05},
        {"pointer inside, no button", 100, 100, 0, false, 3.0, 3.05},
    };
    for (const Case& c : cases) {
        StartupFixture f;
        double start = Headless.clock;
        double splashEnd = -1;
        Headless.onFrame = [&](std::int64_t frame) {
            if (frame == 15) {
                if (c.key) HeadlessPushKey("a");
                Headless.mouseX = c.mouseX;
                Headless.mouseY = c.mouseY;
                Headless.mouseButtons = c.buttons;
            }
            if (MessageState != -1 && splashEnd < 0) splashEnd = Headless.clock;
        };
        EXPECT_EQ(f.Run(), 0);
        // The start-up phase is over (the menu may have raised a message of its own since: this folder has no menu
        // background level).
        EXPECT_NE(MessageState, -1) << c.what;
        // The splash gives way to the menu, where the program goes on.
        double lasted = splashEnd - start;
        EXPECT_GE(lasted, c.minSeconds) << c.what;
        EXPECT_LE(lasted, c.maxSeconds) << c.what;
        EXPECT_TRUE(Headless.keys.empty()) << c.what;   // the key that ended the splash was consumed
    }
}

TEST(Startup, PlayerIndexIsClampedToThePlayerCount) {
    struct Case { int players; int expected; };
    for (const Case& c : {Case{2, 2}, Case{0, 0}, Case{7, 5}}) {
        StartupFixture f;
        for (int i = 0; i < c.players; i++) f.folder.Write("player" + std::to_string(i) + ".alp", "lvlpckKolbrix");
        std::string settings;
        settings += std::string("\x05\0\0\0\x0b\0\0\0", 8) + "english.str";
        for (std::int32_t v : {0, 800, 600, 0, 0, 0, 0}) settings += std::string(reinterpret_cast<char*>(&v), 4);
        f.folder.Write("settings.dat", settings);
        EXPECT_EQ(f.Run(), 0);
        EXPECT_EQ(PlayerIndex, c.expected) << c.players;
    }
}

TEST(Startup, LogoJingleSoundsWhileTheLogoIsUpUnlessEffectsAreOff) {
    for (bool soundOn : {true, false}) {
        StartupFixture f;
        f.folder.Write("orlo.ogg", "sound");
        if (!soundOn) {
            std::string settings;
            settings += std::string("\x01\0\0\0\x0b\0\0\0", 8) + "english.str";
            for (std::int32_t v : {0, 800, 600, 0, -1, -1, 0}) settings += std::string(reinterpret_cast<char*>(&v), 4);
            f.folder.Write("settings.dat", settings);
        }
        EXPECT_EQ(f.Run(), 0);
        int jingles = 0;
        for (const AudioEvent& event : HeadlessAudioEvents())
            if (event.kind == AudioEventKind::PlayChunk && event.file.find("orlo.ogg") != std::string::npos) jingles++;
        EXPECT_EQ(jingles, soundOn ? 1 : 0);
    }
}
