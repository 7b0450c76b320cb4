// The TGA reader: plain and run-length files of 24 and 32 bits, and files it must refuse.

#include <gtest/gtest.h>

#include "gfx/tga_decode.h"

namespace {

std::string Header(int type, int width, int height, int bits) {
    std::string h(12, '\0');
    h[2] = char(type);
    h += char(width & 255);
    h += char(width >> 8);
    h += char(height & 255);
    h += char(height >> 8);
    h += char(bits);
    h += char(0x08);    // descriptor: ignored
    return h;
}

// Pixels as stored: blue, green, red (, alpha).
std::string Bgr(int b, int g, int r) { return {char(b), char(g), char(r)}; }
std::string Bgra(int b, int g, int r, int a) { return {char(b), char(g), char(r), char(a)}; }

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> v;
    for (int x : values) v.push_back(std::uint8_t(x));
    return v;
}

TEST(TgaDecode, PlainImagesSwapBlueAndRedAndKeepRowOrder) {
    TgaImage out;
    ASSERT_TRUE(
        DecodeTgaBytes(Header(2, 2, 2, 24) + Bgr(1, 2, 3) + Bgr(4, 5, 6) + Bgr(7, 8, 9) + Bgr(10, 11, 12), out));
    EXPECT_EQ(out.width, 2);
    EXPECT_EQ(out.height, 2);
    EXPECT_EQ(out.bitsPerPixel, 24);
    EXPECT_EQ(out.pixels, Bytes({3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));

    ASSERT_TRUE(DecodeTgaBytes(Header(2, 1, 2, 32) + Bgra(1, 2, 3, 4) + Bgra(5, 6, 7, 8), out));
    EXPECT_EQ(out.bitsPerPixel, 32);
    EXPECT_EQ(out.pixels, Bytes({3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(TgaDecode, RunLengthPacketsRepeatAndCopy) {
    // 3 x 2: a run of four, then two raw pixels.
    std::string file = Header(10, 3, 2, 32) + char(128 + 3) + Bgra(1, 2, 3, 200) + char(1) + Bgra(4, 5, 6, 7) +
                       Bgra(8, 9, 10, 11);
    TgaImage out;
    ASSERT_TRUE(DecodeTgaBytes(file, out));
    EXPECT_EQ(out.pixels, Bytes({3, 2, 1, 200, 3, 2, 1, 200, 3, 2, 1, 200, 3, 2, 1, 200, 6, 5, 4, 7, 10, 9, 8, 11}));

    // The longest packets: 128 repeated, 128 raw.
    std::string big = Header(10, 256, 1, 24) + char(255) + Bgr(9, 8, 7) + char(127);
    for (int i = 0; i < 128; ++i) big += Bgr(i, 0, 1);
    ASSERT_TRUE(DecodeTgaBytes(big, out));
    EXPECT_EQ(out.pixels[127 * 3], 7);
    EXPECT_EQ(out.pixels[255 * 3 + 2], 127);
}

TEST(TgaDecode, RefusedFiles) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::string pixel = Bgr(1, 2, 3);
    std::string colourMapped = Header(2, 1, 1, 24) + pixel;
    colourMapped[1] = 1;
    const Case cases[] = {
        {"a run past the image end", Header(10, 2, 2, 24) + char(128 + 2) + pixel + char(128 + 1) + pixel},
        {"raw packet past the image end", Header(10, 2, 1, 24) + char(2) + pixel + pixel + pixel},
        {"run-length data cut short", Header(10, 2, 2, 24) + char(128 + 1) + pixel + char(1) + pixel},
        {"plain data cut short", Header(2, 2, 2, 24) + pixel + pixel + pixel},
        {"colour-mapped", colourMapped},
        {"grey (type 3)", Header(3, 1, 1, 24) + pixel},
        {"16 bits", Header(2, 1, 1, 16) + "ab"},
        {"zero width", Header(2, 0, 1, 24) + pixel},
        {"zero height", Header(2, 1, 0, 24) + pixel},
        {"header cut short", Header(2, 1, 1, 24).substr(0, 17)},
        {"65535 x 65535 run-length in a tiny file", Header(10, 65535, 65535, 32) + char(255) + Bgra(0, 0, 0, 0)},
    };
    for (const Case& c : cases) {
        TgaImage out;
        out.width = 9;
        EXPECT_FALSE(DecodeTgaBytes(c.bytes, out)) << c.what;
        EXPECT_EQ(out.width, 0) << c.what;
        EXPECT_TRUE(out.pixels.empty()) << c.what;
    }
}

}  // namespace
