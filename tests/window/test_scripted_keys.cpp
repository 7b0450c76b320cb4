// A script's keys and the watcher of presented frames on the window's back end: what a replay in a window and the
// play-frames benchmark rely on. Needs an X display, like every window test.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"

namespace {

TEST(WindowScriptedKeys, HeldAndPushedKeysSurviveTheEventPumpAndEveryPresentIsSeen) {
    char name[] = "kolbrix-window-test";
    char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Sdl, 1, argv);
    ASSERT_TRUE(PlatformOpenDisplay(320, 240, DisplayKind::Window)) << "no window (is there an X display?)";
    int presents = 0;
    PlatformWatchPresents([&] { ++presents; });

    PlatformHoldKey(0x4D, true);
    PlatformPushKey("\xFF\x4B");
    PlatformPushKey("m");
    // Presenting pumps the window's events; nothing the keyboard did lets go of the script's key.
    for (int i = 0; i < 3; ++i) PlatformPresent();
    EXPECT_EQ(presents, 3);
    EXPECT_TRUE(PlatformKeyHeld(0x4D));
    EXPECT_FALSE(PlatformKeyHeld(0x4B));
    EXPECT_EQ(PlatformReadKey(), "\xFF\x4B");
    EXPECT_EQ(PlatformReadKey(), "m");
    PlatformHoldKey(0x4D, false);
    PlatformPresent();
    EXPECT_FALSE(PlatformKeyHeld(0x4D));
    EXPECT_EQ(presents, 4);

    PlatformWatchPresents(nullptr);
    PlatformPresent();
    EXPECT_EQ(presents, 4);
    PlatformInit(PlatformBackend::Headless, 0, nullptr);    // closes the window
}

}  // namespace
