#include <gtest/gtest.h>

#include "gfx/display.h"
#include "shell/settings.h"
#include "test_support.h"

TEST(FramePacing, FramesAreAtLeastTheMinimumApartAndStepIsTwentyFiveTimesTheTime) {
    for (double virtualFrame : {0.001, 0.0167, 0.02, 0.1}) {
        UseHeadless();
        Headless.frameTime = virtualFrame;
        ActiveWidth = 1024;
        ActiveHeight = 768;
        ResetDisplayState();
        lastFrameTime = PlatformClock();
        double previous = lastFrameTime;
        for (int i = 0; i < 20; i++) {
            DrawFrame();
            EXPECT_GE(lastFrameTime - previous, MinFrameInterval - 1e-12) << virtualFrame;
            EXPECT_GE(frameTime, MinFrameInterval - 1e-12);
            EXPECT_DOUBLE_EQ(frameStep, std::min(25 * frameTime, 0.5));
            previous = lastFrameTime;
        }
        if (virtualFrame > MinFrameInterval) {
            EXPECT_NEAR(frameTime, virtualFrame, 1e-9);
        }
    }
}

TEST(FramePacing, SlowFrameAdvancesAtMostHalfAStep) {
    UseHeadless();
    Headless.frameTime = 0.5;
    lastFrameTime = PlatformClock();
    DrawFrame();   // the first frame waits the minimum
    DrawFrame();
    EXPECT_DOUBLE_EQ(frameTime, 0.5);
    EXPECT_DOUBLE_EQ(frameStep, 0.5);
    Headless.frameTime = 2.0;
    DrawFrame();
    DrawFrame();
    EXPECT_DOUBLE_EQ(frameStep, 0.5);
}

TEST(DisplayModes, ListKeepsModesOfAtLeast640x480AndChoiceFallsBackToTheLast) {
    UseHeadless();
    Headless.modes = {{320, 240}, {640, 480}, {639, 480}, {800, 600}, {1280, 1024}, {640, 479}};
    ListDisplayModes();
    ASSERT_EQ(modeWidths.Count(), 3);
    EXPECT_EQ(modeWidths[1], 640);
    EXPECT_EQ(modeHeights[3], 1024);
    ScreenWidth = 800; ScreenHeight = 600; Fullscreen = 0;
    ASSERT_TRUE(ChooseMode());
    EXPECT_EQ(ActiveWidth, 800);
    EXPECT_EQ(ActiveFullscreen, 0);
    ScreenWidth = 1920; ScreenHeight = 1080; Fullscreen = 0;
    ASSERT_TRUE(ChooseMode());
    EXPECT_EQ(ScreenWidth, 1280);
    EXPECT_EQ(ScreenHeight, 1024);
    EXPECT_EQ(Fullscreen, 1);
    EXPECT_EQ(ActiveFullscreen, 1);
    Headless.modes = {{320, 200}};
    ListDisplayModes();
    EXPECT_FALSE(ChooseMode());
}

// A first start has no settings: it takes the desktop's own size, full screen, rather than a fixed size the
// display may not have; later starts keep what the settings say.
TEST(DisplayModes, AFirstStartTakesTheDesktopsOwnSizeInFullScreen) {
    struct Case { std::int32_t firstRun; DisplayMode desktop; std::int32_t fullscreen, width, height; };
    const Case cases[] = {
        {-1, {1024, 768}, 1, 1024, 768},
        {-1, {1600, 900}, 1, 1600, 900},
        {-1, {0, 0}, 1, 1920, 1080},            // no desktop known: the settings' size, which the display has
        {0, {1024, 768}, 0, 800, 600},          // the settings' window stays
    };
    for (const Case& c : cases) {
        UseHeadless();
        Headless.modes = {{800, 600}, {1024, 768}, {1600, 900}, {1920, 1080}};
        Headless.desktop = c.desktop;
        ListDisplayModes();
        FirstRun = c.firstRun;
        Fullscreen = c.firstRun ? 1 : 0;
        ScreenWidth = c.firstRun ? 1920 : 800;
        ScreenHeight = c.firstRun ? 1080 : 600;
        ASSERT_TRUE(ChooseMode());
        EXPECT_EQ(ActiveFullscreen, c.fullscreen) << c.desktop.width;
        EXPECT_EQ(ActiveWidth, c.width) << c.desktop.width;
        EXPECT_EQ(ActiveHeight, c.height) << c.desktop.width;
    }
    FirstRun = 0;
}

// A window never reaches past the part of the desktop it may take: a larger one shrinks, keeping its shape; full
// screen is left as asked.
TEST(DisplayModes, AWindowIsMadeToFitTheDesktopsUsableArea) {
    struct Case { DisplayMode usable; std::int32_t width, height, fullscreen, openedWidth, openedHeight; };
    const Case cases[] = {
        {{1024, 768}, 1920, 1080, 0, 1024, 576},
        {{1024, 740}, 1024, 768, 0, 986, 740},
        {{1920, 1040}, 1024, 768, 0, 1024, 768},
        {{1024, 768}, 1024, 768, 0, 1024, 768},
        {{1024, 768}, 1920, 1080, 1, 1920, 1080},
        {{0, 0}, 1920, 1080, 0, 1280, 720},     // no panels: the whole desktop of 1280 x 1024
    };
    for (const Case& c : cases) {
        UseHeadless();
        Headless.desktop = {1280, 1024};
        Headless.usable = c.usable;
        const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " on " +
                                 std::to_string(c.usable.width) + "x" + std::to_string(c.usable.height);
        ASSERT_TRUE(SetDisplayMode(c.width, c.height, 32, c.fullscreen)) << what;
        EXPECT_EQ(Headless.width, c.openedWidth) << what;
        EXPECT_EQ(Headless.height, c.openedHeight) << what;
        EXPECT_EQ(ActiveWidth, c.openedWidth) << what;
        EXPECT_EQ(ActiveHeight, c.openedHeight) << what;
    }
}

TEST(DisplayModes, ScaleValuesOnTheFirstFrame) {
    struct Case { int w, h; double scaleX, scaleY; int fourByThree, wide, tall; };
    for (const Case& c : {Case{1024, 768, 1, 1, -1, 1024, 768}, Case{1280, 1024, 1.25, 1024 / 768.0, 0, 1365, 960},
                          Case{1920, 1080, 1.875, 1.40625, 0, 1440, 1440}, Case{640, 480, 0.625, 0.625, -1, 640, 480},
                          Case{1600, 1200, 1.5625, 1.5625, -1, 1600, 1200}}) {
        UseHeadless();
        ActiveWidth = c.w;
        ActiveHeight = c.h;
        ResetDisplayState();
        DrawFrame();
        EXPECT_DOUBLE_EQ(uiScaleX, c.scaleX) << c.w;
        EXPECT_DOUBLE_EQ(uiScaleY, c.scaleY) << c.w;
        EXPECT_EQ(isFourByThree, c.fourByThree) << c.w;
        EXPECT_EQ(fourByThreeWidth, c.wide) << c.w;
        EXPECT_EQ(fourByThreeHeight, c.tall) << c.w;
    }
}

TEST(FramePacing, FixedFrameTimeGivesExactStepsEvenBelowTheMinimumInterval) {
    for (int fps : {60, 100, 30}) {
        UseHeadless();
        PlatformSetFixedFrameTime(1.0 / fps);
        lastFrameTime = PlatformClock();
        double start = PlatformClock();
        for (int i = 1; i <= 10; i++) {
            DrawFrame();
            EXPECT_EQ(frameTime, 1.0 / fps) << fps;
            EXPECT_EQ(frameStep, std::min(25.0 / fps, 0.5)) << fps;
        }
        // Ten frames of game clock, with no waiting added for the minimum interval.
        EXPECT_NEAR(PlatformClock() - start, 10.0 / fps, 1e-9) << fps;
        PlatformSetFixedFrameTime(0);
        EXPECT_EQ(PlatformFixedFrameTime(), 0);
    }
}
