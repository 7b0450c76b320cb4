#include <gtest/gtest.h>

#include <string>

#include "base/text_codec.h"

// Every byte that stands for a character comes back from its character, through UTF-8 too; the five open bytes
// stand for none.
TEST(TextCodec, EveryByteRoundTripsThroughUtf8) {
    int open = 0;
    for (int byte = 0; byte < 256; ++byte) {
        const char32_t c = Windows1252Character(static_cast<unsigned char>(byte));
        if (c == 0 && byte != 0) {
            ++open;
            continue;
        }
        EXPECT_EQ(Windows1252Byte(c), byte) << byte;
        std::string utf8;
        AppendUtf8(utf8, c);
        std::size_t at = 0;
        char32_t back = 0;
        ASSERT_TRUE(NextUtf8(utf8, at, back)) << byte;
        EXPECT_EQ(back, c) << byte;
        EXPECT_EQ(at, utf8.size()) << byte;
    }
    EXPECT_EQ(open, 5);
    EXPECT_EQ(Windows1252Character(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252Character(0x9C), U'\u0153');       // the French oe
    EXPECT_EQ(Windows1252Byte(U'\u0153'), 0x9C);
    EXPECT_EQ(Windows1252Byte(0x81), -1);                    // a control character the code page has no byte for
    EXPECT_EQ(Windows1252Byte(U'\u03A9'), -1);
}

TEST(TextCodec, RefusesMalformedUtf8AndStaysPut) {
    const char* const bad[] = {
        "\x80",                 // a continuation byte first
        "\xC3",                 // cut short
        "\xE2\x82",             // cut short
        "\xC0\x80",             // an overlong NUL
        "\xE0\x80\xAF",         // an overlong slash
        "\xED\xA0\x80",         // a surrogate
        "\xF4\x90\x80\x80",     // past U+10FFFF
        "\xF8\x88\x80\x80\x80", // a five-byte form
        "\xC3(",                // a continuation that is not one
    };
    for (const char* text : bad) {
        std::size_t at = 0;
        char32_t c = U'x';
        EXPECT_FALSE(NextUtf8(text, at, c)) << text;
        EXPECT_EQ(at, 0u) << text;
        EXPECT_EQ(c, U'x') << text;
    }
    const std::string good = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xB1";
    const char32_t expected[] = {U'a', U'\u00E9', U'\u20AC', U'\U0001F3B1'};
    std::size_t at = 0;
    for (char32_t want : expected) {
        char32_t c = 0;
        ASSERT_TRUE(NextUtf8(good, at, c));
        EXPECT_EQ(c, want);
    }
    EXPECT_EQ(at, good.size());
    std::string again;
    for (char32_t c : expected) AppendUtf8(again, c);
    EXPECT_EQ(again, good);
}
