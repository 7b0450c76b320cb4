// Keys put in by a script and the watcher of presented frames, on the headless back end (the window's back end is
// tried in tests/window/test_scripted_keys.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

TEST(ScriptedKeys, AHeldKeyStaysHeldUntilLetGoAndCodesOutsideTheTableAreIgnored) {
    UseHeadless();
    PlatformHoldKey(0x4B, true);
    PlatformHoldKey(0x39, true);
    EXPECT_TRUE(PlatformKeyHeld(0x4B));
    EXPECT_TRUE(PlatformKeyHeld(0x39));
    EXPECT_FALSE(PlatformKeyHeld(0x4D));
    PlatformHoldKey(0x4B, false);
    EXPECT_FALSE(PlatformKeyHeld(0x4B));
    EXPECT_TRUE(PlatformKeyHeld(0x39));
    for (int code : {-1, 256, 100000}) {
        PlatformHoldKey(code, true);
        EXPECT_FALSE(PlatformKeyHeld(code)) << code;
    }
}

TEST(ScriptedKeys, PushedKeysComeBehindTheKeyboardsInOrder) {
    UseHeadless();
    HeadlessPushKey("a");
    PlatformPushKey("\xFF\x4D");
    PlatformPushKey("\x1B");
    EXPECT_EQ(PlatformReadKey(), "a");
    EXPECT_EQ(PlatformReadKey(), "\xFF\x4D");
    EXPECT_EQ(PlatformReadKey(), "\x1B");
    EXPECT_EQ(PlatformReadKey(), "");
}

TEST(ScriptedKeys, TheWatcherSeesEveryPresentedFrameUntilStoppedOrANewRun) {
    UseHeadless();
    std::vector<double> seen;
    PlatformWatchPresents([&] { seen.push_back(PlatformClock()); });
    const double before = PlatformClock();
    PlatformPresent();
    PlatformPresent();
    ASSERT_EQ(seen.size(), 2u);
    // Called once the frame is presented: the headless clock has already moved on by the frame.
    EXPECT_DOUBLE_EQ(seen[0], before + Headless.frameTime);
    EXPECT_DOUBLE_EQ(seen[1], before + 2 * Headless.frameTime);
    PlatformWatchPresents(nullptr);
    PlatformPresent();
    EXPECT_EQ(seen.size(), 2u);

    PlatformWatchPresents([&] { seen.push_back(0); });
    UseHeadless();
    PlatformPresent();
    EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
