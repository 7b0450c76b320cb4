// Game controllers fed through the headless back end: the keys their buttons and stick give.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"
#include "tests/test_support.h"

namespace {

constexpr int Pad = 7;

// Every key in the buffer, read the way the game reads it.
std::vector<std::string> ReadAllKeys() {
    std::vector<std::string> keys;
    for (std::string key = PlatformReadKey(); !key.empty(); key = PlatformReadKey()) keys.push_back(key);
    return keys;
}

}  // namespace

// ---- What a controller gives ------------------------------------------------------------------------------------

TEST(Gamepad, EachButtonGivesItsKeyOnceAndHoldsItsScanCodeWhileDown) {
    struct Case { PadButton button; std::string key; int scan; };
    const Case cases[] = {
        {PadButton::South, " ", 0x39},           {PadButton::East, "\x1B", 0x01},
        {PadButton::Start, "\x1B", 0x01},        {PadButton::West, "\xFF\x53", 0x53},
        {PadButton::Up, "\xFF\x48", 0x48},       {PadButton::Down, "\xFF\x50", 0x50},
        {PadButton::Left, "\xFF\x4B", 0x4B},     {PadButton::Right, "\xFF\x4D", 0x4D},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scan);
        UseHeadless();
        HeadlessPlugPad(Pad);
        HeadlessPadButton(Pad, c.button, true);
        HeadlessPadButton(Pad, c.button, true);    // reported down again: still one press
        EXPECT_TRUE(PlatformKeyHeld(c.scan));
        EXPECT_EQ(ReadAllKeys(), std::vector<std::string>{c.key});
        HeadlessPadButton(Pad, c.button, false);
        EXPECT_FALSE(PlatformKeyHeld(c.scan));
        EXPECT_TRUE(ReadAllKeys().empty());
    }
    // Buttons without a part in the game give nothing.
    UseHeadless();
    HeadlessPlugPad(Pad);
    for (PadButton button : {PadButton::North, PadButton::Back, PadButton::Other}) HeadlessPadButton(Pad, button, true);
    EXPECT_TRUE(ReadAllKeys().empty());
    for (int scan = 0; scan < 256; scan++) EXPECT_FALSE(PlatformKeyHeld(scan)) << scan;
}

TEST(Gamepad, TheLeftStickActsAsTheArrowsOutsideItsDeadZone) {
    struct Case { PadAxis axis; int value; std::vector<std::string> keys; int held; };
    const Case cases[] = {
        {PadAxis::LeftX, -(PadDeadZone - 1), {}, 0},
        {PadAxis::LeftX, PadDeadZone - 1, {}, 0},
        {PadAxis::LeftX, -PadDeadZone, {"\xFF\x4B"}, 0x4B},
        {PadAxis::LeftX, 32767, {"\xFF\x4D"}, 0x4D},
        {PadAxis::LeftY, -32768, {"\xFF\x48"}, 0x48},
        {PadAxis::LeftY, 20000, {"\xFF\x50"}, 0x50},
        {PadAxis::Other, 32767, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        UseHeadless();
        HeadlessPlugPad(Pad);
        HeadlessPadAxis(Pad, c.axis, c.value);
        EXPECT_EQ(ReadAllKeys(), c.keys);
        for (int scan : {0x48, 0x4B, 0x4D, 0x50}) EXPECT_EQ(PlatformKeyHeld(scan), scan == c.held) << scan;
    }
    // Further along the same way is the same press; back through the middle and out again is a new one.
    UseHeadless();
    HeadlessPlugPad(Pad);
    HeadlessPadAxis(Pad, PadAxis::LeftX, 12000);
    HeadlessPadAxis(Pad, PadAxis::LeftX, 32000);
    EXPECT_EQ(ReadAllKeys().size(), 1u);
    HeadlessPadAxis(Pad, PadAxis::LeftX, 100);
    EXPECT_FALSE(PlatformKeyHeld(0x4D));
    HeadlessPadAxis(Pad, PadAxis::LeftX, 32000);
    EXPECT_EQ(ReadAllKeys().size(), 1u);
    // Straight from one side to the other.
    HeadlessPadAxis(Pad, PadAxis::LeftX, -32000);
    EXPECT_EQ(ReadAllKeys(), std::vector<std::string>{"\xFF\x4B"});
    EXPECT_TRUE(PlatformKeyHeld(0x4B));
    EXPECT_FALSE(PlatformKeyHeld(0x4D));
}

TEST(Gamepad, OnlyPluggedControllersCountAndUnpluggingLetsGoOfWhatTheyHeld) {
    UseHeadless();
    HeadlessPadButton(Pad, PadButton::South, true);     // never plugged in
    HeadlessPadAxis(Pad, PadAxis::LeftX, 32767);
    EXPECT_TRUE(ReadAllKeys().empty());
    EXPECT_FALSE(PlatformKeyHeld(0x39));

    HeadlessPlugPad(1);
    HeadlessPlugPad(2);
    HeadlessPadButton(1, PadButton::Right, true);
    HeadlessPadAxis(2, PadAxis::LeftX, 32767);
    HeadlessPadButton(2, PadButton::South, true);
    EXPECT_EQ(ReadAllKeys(), (std::vector<std::string>{"\xFF\x4D", "\xFF\x4D", " "}));
    HeadlessPadButton(1, PadButton::Right, false);
    EXPECT_TRUE(PlatformKeyHeld(0x4D)) << "the other controller's stick still holds it";
    HeadlessUnplugPad(2);
    EXPECT_FALSE(PlatformKeyHeld(0x4D));
    EXPECT_FALSE(PlatformKeyHeld(0x39));
    HeadlessPadButton(2, PadButton::South, false);      // a late event of the controller taken away
    HeadlessPadButton(2, PadButton::South, true);
    EXPECT_TRUE(ReadAllKeys().empty());

    // The keyboard's keys come first, the controller's after them, and both hold keys alike.
    HeadlessPushKey("a");
    HeadlessPadButton(1, PadButton::East, true);
    Headless.held[0x50] = true;
    EXPECT_EQ(ReadAllKeys(), (std::vector<std::string>{"a", "\x1B"}));
    EXPECT_TRUE(PlatformKeyHeld(0x50));
    EXPECT_TRUE(PlatformKeyHeld(0x01));
}

