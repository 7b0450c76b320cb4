// Start-up when the display will not open as asked, and the fatal screens when no window can show them.
#include <gtest/gtest.h>

#include "base/language.h"
#include "base/message.h"

#include "base/settings.h"
#include "gfx/board.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "test_support.h"

namespace {

// A program folder with one language file; the settings ask for 1024 x 768, full screen or in a window.
struct DisplayFixture {
    TempProgramFolder folder;
    explicit DisplayFixture(bool language = true, std::int32_t fullscreen = 1) {
        UseHeadless();
        if (language) {
            std::string text;
            for (int n = 1; n <= LanguageLineCount; n++) text += "text " + std::to_string(n) + "\n";
            folder.Write("english.str", text);
        }
        std::string settings = std::string("\x01\0\0\0\x0b\0\0\0", 8) + "english.str";
        for (std::int32_t v : {fullscreen, 1024, 768, 0, 0, 0, 0})
            settings += std::string(reinterpret_cast<char*>(&v), 4);
        folder.Write("settings.dat", settings);
    }
    // Runs the program; the main menu is left at once with the window's close button and Enter. Keys are never
    // given to a text screen: a run that waits on one ends with 124 when the frame limit runs out.
    int Run() {
        std::string program = folder.File("kolbrix");
        char* argv[] = {program.data(), nullptr};
        Headless.maxFrames = 2000;
        view.MenuActive = 0;
        bool quitting = false;
        Headless.onFrame = [&](std::int64_t) {
            // A fixture folder has no menu background level: the message that says so goes first.
            if (view.MenuActive != 0 && MessageState == 1 && Headless.keys.empty()) HeadlessPushKey("\r");
            else if (view.MenuActive != 0 && !quitting) {
                quitting = true;
                HeadlessPushKey("\xFF" "k");
                HeadlessPushKey("\r");
            }
        };
        return HeadlessRun([&] { KolbrixMain(1, argv); }, -1);
    }
};

}  // namespace

TEST(StartupDisplay, AFullScreenModeThatWillNotSetFallsBackToTheDesktopThenToAWindow) {
    using Kinds = std::vector<DisplayKind>;
    struct Case {
        const char* what;
        Kinds refused;
        DisplayMode desktop;
        DisplayKind opened;
        int width, height, swapInterval;
    };
    const Case cases[] = {
        {"the mode sets", {}, {1280, 1024}, DisplayKind::Fullscreen, 1024, 768, 1},
        {"the desktop's full screen, at the desktop's size", {DisplayKind::Fullscreen}, {1280, 1024},
         DisplayKind::DesktopFullscreen, 1280, 1024, 1},
        {"a window of the mode's size", {DisplayKind::Fullscreen, DisplayKind::DesktopFullscreen}, {1280, 1024},
         DisplayKind::Window, 1024, 768, 0},
        // ... and the window is made to fit it, keeping its shape.
        {"a desktop too small for the game is skipped", {DisplayKind::Fullscreen}, {600, 400}, DisplayKind::Window,
         533, 400, 0},
    };
    for (const Case& c : cases) {
        DisplayFixture f;
        Headless.refusedKinds = c.refused;
        Headless.desktop = c.desktop;
        EXPECT_EQ(f.Run(), 0) << c.what;
        EXPECT_TRUE(Headless.displayOpen) << c.what;
        EXPECT_EQ(Headless.displayKind, c.opened) << c.what;
        EXPECT_EQ(Headless.width, c.width) << c.what;
        EXPECT_EQ(Headless.height, c.height) << c.what;
        EXPECT_EQ(ActiveWidth, c.width) << c.what;
        EXPECT_EQ(ActiveHeight, c.height) << c.what;
        EXPECT_EQ(Headless.swapInterval, c.swapInterval) << c.what;
        EXPECT_FALSE(Headless.textOpen) << c.what;
        // The player's choice is kept: the next start asks for the full-screen mode again.
        EXPECT_EQ(Fullscreen, 1) << c.what;
        EXPECT_EQ(ScreenWidth, 1024) << c.what;
        EXPECT_EQ(ScreenHeight, 768) << c.what;
    }
}

TEST(StartupDisplay, WhenNothingOpensTheNoModeScreenWaitsForAKeyAndEndsWithCodeZero) {
    struct Case {
        const char* what;
        std::int32_t fullscreen;
        std::vector<DisplayKind> refused;
    };
    const Case cases[] = {
        {"full screen, every fallback refused",
         1, {DisplayKind::Fullscreen, DisplayKind::DesktopFullscreen, DisplayKind::Window}},
        {"a window asked for is not replaced by full screen", 0, {DisplayKind::Window}},
    };
    for (const Case& c : cases) {
        DisplayFixture f(true, c.fullscreen);
        Headless.refusedKinds = c.refused;
        bool answered = false;
        std::string line;
        Headless.onFrame = [&](std::int64_t) {
            if (Headless.textOpen && !answered) {
                answered = true;
                line = HeadlessTextRow(11);
                HeadlessPushKey("q");
            }
        };
        std::string program = f.folder.File("kolbrix");
        char* argv[] = {program.data(), nullptr};
        EXPECT_EQ(HeadlessRun([&] { KolbrixMain(1, argv); }, -1), 0) << c.what;
        EXPECT_TRUE(answered) << c.what;
        EXPECT_EQ(line.rfind(" Kolbrix requires a resolution of at", 0), 0u) << c.what << ": " << line;
        EXPECT_FALSE(Headless.displayOpen) << c.what;
    }
}

// A fatal screen that no window can show would wait for a key nobody can press: its text goes to standard error
// and the program ends with the screen's code at once. The notice that is not fatal goes on with the start.
TEST(StartupDisplay, AScreenNoWindowCanShowGoesToStandardErrorAndNeverWaits) {
    struct Case {
        const char* what;
        bool language;
        std::vector<DisplayMode> modes;
        std::vector<DisplayKind> refused;
        const char* firstLine;
        const char* lastLine;
    };
    const std::vector<DisplayMode> usual = {{640, 480}, {1024, 768}};
    const std::vector<DisplayKind> every = {DisplayKind::Fullscreen, DisplayKind::DesktopFullscreen,
                                            DisplayKind::Window};
    const Case cases[] = {
        {"no language file", false, usual, {}, "Error: no language-files found!", "Press any key to quit."},
        {"no usable mode listed", true, {{320, 200}}, {}, " Kolbrix", " Press any key to quit."},
        {"no mode opens", true, usual, every, " Kolbrix", " Press any key to quit."},
    };
    for (const Case& c : cases) {
        DisplayFixture f(c.language);
        Headless.modes = c.modes;
        Headless.refusedKinds = c.refused;
        Headless.textHidden = true;
        testing::internal::CaptureStderr();
        const int code = f.Run();
        const std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(code, 0) << c.what;
        EXPECT_EQ(Headless.frame, 0) << c.what << ": no key was waited for";
        EXPECT_EQ(printed.rfind(std::string(c.firstLine) + "\n", 0), 0u) << c.what << ":\n" << printed;
        const std::string tail = std::string(c.lastLine) + "\n";
        EXPECT_TRUE(printed.size() >= tail.size() &&
                    printed.compare(printed.size() - tail.size(), tail.size(), tail) == 0)
            << c.what << ":\n" << printed;
    }

    DisplayFixture f;
    Headless.textHidden = true;
    Headless.date = "01-01-2027";
    testing::internal::CaptureStderr();
    EXPECT_EQ(f.Run(), 0);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("HAPPY NEW YEAR!\n", 0), 0u) << printed;
    EXPECT_EQ(NostalgicMode, -1) << "nobody could cancel it";
    EXPECT_TRUE(Headless.displayOpen);
}
