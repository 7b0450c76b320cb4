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
