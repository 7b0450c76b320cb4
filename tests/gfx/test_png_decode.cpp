// The PNG decoder against files written by the fixture writer: every colour type and depth, interlaced twins,
// split image data, palettes and colour keys, and one broken file per error code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "gfx/png_decode.h"
#include "tests/gfx/png_fixture.h"

namespace {

using namespace png_fixture;

struct Key {
    bool on = false;
    std::uint16_t grey = 0, red = 0, green = 0, blue = 0;
};

// Deterministic samples that fill the whole range of the depth (or the palette).
Image MakeImage(int width, int height, int depth, int colorType, unsigned seed, unsigned paletteSize = 0) {
    Image img{width, height, depth, colorType, {}};
    const unsigned limit = colorType == 3 ? paletteSize : (1u << depth);
    std::uint32_t s = seed * 2654435761u + 12345u;
    img.samples.resize(std::size_t(width) * std::size_t(height) * std::size_t(Channels(colorType)));
    for (auto& v : img.samples) {
        s = s * 1664525u + 1013904223u;
        v = std::uint16_t((s >> 8) % limit);
    }
    return img;
}

std::string MakePalette(unsigned entries) {
    std::string plte;
    for (unsigned i = 0; i < entries; ++i) {
        plte += char(i * 7 + 1);
        plte += char(255 - i * 3);
        plte += char(i * 13 + 5);
    }
    return plte;
}

// What the game must see: 8-bit RGBA, bottom row first, written from the rules rather than from the decoder.
std::vector<std::uint8_t> Expected(const Image& img, const std::string& plte, const std::string& trns, const Key& key) {
    const int ch = Channels(img.colorType);
    const unsigned maxValue = (1u << img.depth) - 1;
    std::vector<std::uint8_t> out;
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const std::uint16_t* s = &img.samples[(std::size_t(y) * std::size_t(img.width) + std::size_t(x)) * ch];
            auto eight = [&](unsigned v) {
                return std::uint8_t(img.depth == 16 ? v >> 8 : img.depth == 8 ? v : v * 255 / maxValue);
            };
            std::uint8_t r, g, b, a = 255;
            switch (img.colorType) {
            case 0:
                r = g = b = eight(s[0]);
                if (key.on && s[0] == key.grey) a = 0;
                break;
            case 2:
                r = eight(s[0]), g = eight(s[1]), b = eight(s[2]);
                if (key.on && s[0] == key.red && s[1] == key.green && s[2] == key.blue) a = 0;
                break;
            case 3:
                if (s[0] * 3u + 2 < plte.size()) {
                    r = std::uint8_t(plte[s[0] * 3]), g = std::uint8_t(plte[s[0] * 3 + 1]);
                    b = std::uint8_t(plte[s[0] * 3 + 2]);
                    if (s[0] < trns.size()) a = std::uint8_t(trns[s[0]]);
                } else {
                    r = g = b = 0;
                }
                break;
            case 4:
                r = g = b = eight(s[0]);
                a = eight(s[1]);
                break;
            default:
                r = eight(s[0]), g = eight(s[1]), b = eight(s[2]), a = eight(s[3]);
                break;
            }
            out.insert(out.end(), {r, g, b, a});
        }
    }
    return out;
}

struct FormatCase {
    int colorType, depth;
    bool withKey;   // grey and RGB: a tRNS colour key taken from a pixel of the image; palette: a short tRNS
};

class PngFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(PngFormats, PlainAndInterlacedDecodeToTheSamePixels) {
    const FormatCase c = GetParam();
    const int width = 37, height = 23;
    const unsigned paletteSize = c.colorType == 3 ? std::min(1u << c.depth, 200u) : 0;
    Image img = MakeImage(width, height, c.depth, c.colorType, unsigned(c.colorType * 100 + c.depth), paletteSize);

    Options o;
    std::string plte, trns;
    Key key;
    if (c.colorType == 3) {
        plte = MakePalette(paletteSize);
        o.writePlte = true;
        o.plte = plte;
        if (c.withKey) trns = std::string("\x10\x80\x00", 3);   // entries 0..2 only
    } else if (c.withKey) {
        // The key is the colour of pixel (5, 3), so at least one pixel turns transparent.
        const std::uint16_t* s = &img.samples[(3u * width + 5u) * Channels(c.colorType)];
        key.on = true;
        if (c.colorType == 0) {
            key.grey = s[0];
            trns = std::string(1, char(s[0] >> 8)) + char(s[0] & 255);
        } else {
            key.red = s[0], key.green = s[1], key.blue = s[2];
            for (int i = 0; i < 3; ++i) trns += std::string(1, char(s[i] >> 8)) + char(s[i] & 255);
        }
    }
    o.writeTrns = c.withKey;
    o.trns = trns;

    const std::vector<std::uint8_t> expected = Expected(img, plte, trns, key);
    for (bool interlace : {false, true}) {
        o.interlace = interlace;
        DecodedImage out;
        ASSERT_TRUE(DecodePngBytes(Encode(img, o), out)) << "interlace " << interlace << " pngError " << pngError;
        EXPECT_EQ(pngError, 0);
        EXPECT_EQ(out.width, width);
        EXPECT_EQ(out.height, height);
        EXPECT_EQ(out.pixels, expected) << "interlace " << interlace;
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllTypesAndDepths, PngFormats,
    ::testing::Values(FormatCase{0, 1, false}, FormatCase{0, 2, false}, FormatCase{0, 4, false},
                      FormatCase{0, 8, false}, FormatCase{0, 16, false}, FormatCase{2, 8, false},
                      FormatCase{2, 16, false}, FormatCase{3, 1, false}, FormatCase{3, 2, false},
                      FormatCase{3, 4, false}, FormatCase{3, 8, false}, FormatCase{4, 8, false},
                      FormatCase{4, 16, false}, FormatCase{6, 8, false}, FormatCase{6, 16, false},
                      // Colour keys and a palette with a short tRNS.
                      FormatCase{0, 2, true}, FormatCase{0, 8, true}, FormatCase{0, 16, true},
                      FormatCase{2, 8, true}, FormatCase{2, 16, true}, FormatCase{3, 8, true}),
    [](const ::testing::TestParamInfo<FormatCase>& info) {
        return "type" + std::to_string(info.param.colorType) + "_depth" + std::to_string(info.param.depth) +
               (info.param.withKey ? "_trns" : "");
    });

TEST(PngDecode, EveryFilterOnWideRgbAndRgbaRows) {
    // Long rows, so the four- and three-byte pixel paths run well past their first pixels, one filter per image.
    for (int type : {2, 6}) {
        Image img = MakeImage(301, 9, 8, type, 7);
        for (int filter = 0; filter <= 4; ++filter) {
            Options o;
            o.filter = filter;
            DecodedImage out;
            ASSERT_TRUE(DecodePngBytes(Encode(img, o), out)) << pngError;
            EXPECT_EQ(out.pixels, Expected(img, "", "", {})) << "type " << type << " filter " << filter;
        }
    }
}

TEST(PngDecode, TopLeftPixelOfTheFileIsTheFirstPixelOfTheLastRow) {
    Image img{2, 2, 8, 6, {10, 20, 30, 40, 0, 0, 0, 0, 0, 0, 0, 0, 50, 60, 70, 80}};
    DecodedImage out;
    ASSERT_TRUE(DecodePngBytes(Encode(img), out));
    EXPECT_EQ(std::vector<std::uint8_t>(out.pixels.begin() + 8, out.pixels.begin() + 12),
              (std::vector<std::uint8_t>{10, 20, 30, 40}));
    EXPECT_EQ(std::vector<std::uint8_t>(out.pixels.begin() + 4, out.pixels.begin() + 8),
              (std::vector<std::uint8_t>{50, 60, 70, 80}));
}

TEST(PngDecode, OneBitGreyIsBlackOrWhiteAndOpaque) {
    Image img{9, 1, 1, 0, {1, 0, 1, 1, 0, 0, 0, 1, 1}};
    DecodedImage out;
    ASSERT_TRUE(DecodePngBytes(Encode(img), out));
    for (int x = 0; x < 9; ++x) {
        std::uint8_t v = img.samples[x] ? 255 : 0;
        EXPECT_EQ(std::vector<std::uint8_t>(out.pixels.begin() + 4 * x, out.pixels.begin() + 4 * x + 4),
                  (std::vector<std::uint8_t>{v, v, v, 255}));
    }
}

TEST(PngDecode, ImageDataSplitOverManyChunksDecodesAsOne) {
    Image img = MakeImage(40, 30, 8, 2, 3);
    Options whole, split;
    split.idatSize = 7;
    DecodedImage a, b;
    ASSERT_TRUE(DecodePngBytes(Encode(img, whole), a));
    std::string file = Encode(img, split);
    // Neither an empty IDAT among the pieces nor another chunk before them changes anything.
    file.insert(file.size() - 12, Chunk("IDAT", ""));
    file.insert(8 + 25, Chunk("tEXt", std::string("Comment\0split", 13)));
    ASSERT_TRUE(DecodePngBytes(file, b)) << pngError;
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST(PngDecode, PaletteIndexBeyondThePaletteIsOpaqueBlack) {
    Image img{4, 1, 8, 3, {0, 1, 2, 250}};
    Options o;
    o.writePlte = true;
    o.plte = MakePalette(2);
    o.writeTrns = true;
    o.trns = std::string("\x40\x41\x42\x43", 4);
    DecodedImage out;
    ASSERT_TRUE(DecodePngBytes(Encode(img, o), out));
    const std::uint8_t c0 = 1, c1 = 255, c2 = 5;
    EXPECT_EQ(out.pixels, (std::vector<std::uint8_t>{c0, c1, c2, 0x40, 8, 252, 18, 0x41, 0, 0, 0, 255, 0, 0, 0, 255}));
}

// ---- Broken files -----------------------------------------------------------------------------------------

std::string SmallScanlines() { return Scanlines(MakeImage(3, 2, 8, 6, 1), false, kRotate); }

std::string FileWith(const std::string& ihdrData, const std::string& middle,
                     const std::string& tail = Chunk("IEND", "")) {
    return Signature() + Chunk("IHDR", ihdrData) + middle + tail;
}

std::string Rgba3x2() { return IhdrData(3, 2, 8, 6); }
std::string GoodIdat() { return Chunk("IDAT", Compress(SmallScanlines())); }

struct BrokenCase {
    const char* what;
    std::string bytes;
    int code;
};

std::vector<BrokenCase> BrokenFiles() {
    std::vector<BrokenCase> cases;
    const std::string good = FileWith(Rgba3x2(), GoodIdat());

    cases.push_back({"truncated inside the image data", good.substr(0, good.size() - 20), PngReadError});
    {
        // A chunk that claims two gigabytes in a small file.
        std::string f = FileWith(Rgba3x2(), GoodIdat());
        std::string huge = Be32(0x7FFFFFF0u) + "tEXt" + "abc" + Be32(0);
        f.insert(f.size() - 12, huge);
        cases.push_back({"chunk length past the end of the file", f, PngReadError});
    }
    cases.push_back({"signature", "\x89PNG\r\n\x1a\x0b" + good.substr(8), PngNotPng});
    cases.push_back({"shorter than a signature", good.substr(0, 5), PngNotPng});
    cases.push_back({"width x height x 4 overflows", FileWith(IhdrData(0xFFFFFFFFu, 0xFFFFFFFFu, 8, 6), GoodIdat()),
                     PngOutOfMemory});
    cases.push_back({"just over the size limit", FileWith(IhdrData(8193, 8192, 8, 6), GoodIdat()), PngOutOfMemory});
    {
        std::string f = good;
        f[f.size() - 20] ^= 1;      // inside the IDAT data
        cases.push_back({"CRC of the image data", f, PngCrcError});
        std::string g = good;
        g[8 + 8 + 3] ^= 1;          // IHDR width
        cases.push_back({"CRC of the header", g, PngCrcError});
    }
    cases.push_back({"IHDR not first",
                     Signature() + Chunk("tEXt", "a") + Chunk("IHDR", Rgba3x2()) + GoodIdat() + Chunk("IEND", ""),
                     PngIhdrNotFirst});
    cases.push_back({"IHDR of 12 bytes", FileWith(Rgba3x2().substr(0, 12), GoodIdat()), PngBadIhdrLength});
    cases.push_back({"zero width", FileWith(IhdrData(0, 2, 8, 6), GoodIdat()), PngZeroSize});
    cases.push_back({"zero height", FileWith(IhdrData(3, 0, 8, 6), GoodIdat()), PngZeroSize});
    cases.push_back({"RGB of 4 bits", FileWith(IhdrData(3, 2, 4, 2), GoodIdat()), PngBadBitDepth});
    cases.push_back({"grey of 3 bits", FileWith(IhdrData(3, 2, 3, 0), GoodIdat()), PngBadBitDepth});
    cases.push_back({"palette of 16 bits", FileWith(IhdrData(3, 2, 16, 3), GoodIdat()), PngBadBitDepth});
    cases.push_back({"colour type 5", FileWith(IhdrData(3, 2, 8, 5), GoodIdat()), PngBadColorType});
    cases.push_back({"compression method 1", FileWith(IhdrData(3, 2, 8, 6, 0, 1), GoodIdat()), PngBadCompression});
    cases.push_back({"filter method 1", FileWith(IhdrData(3, 2, 8, 6, 0, 0, 1), GoodIdat()), PngBadFilterMethod});
    cases.push_back({"interlace method 2", FileWith(IhdrData(3, 2, 8, 6, 2), GoodIdat()), PngBadInterlace});
    cases.push_back({"only IEND after the header", FileWith(Rgba3x2(), ""), PngTooFewChunks});
    cases.push_back({"nothing after the header", Signature() + Chunk("IHDR", Rgba3x2()), PngTooFewChunks});
    cases.push_back({"IEND not last, data complete",
                     FileWith(Rgba3x2(), GoodIdat() + Chunk("IEND", ""), Chunk("tEXt", "x")), PngIendNotLast});
    cases.push_back({"palette image without PLTE", FileWith(IhdrData(3, 2, 8, 3), GoodIdat()), PngNoPalette});
    cases.push_back({"no IDAT", FileWith(Rgba3x2(), Chunk("tEXt", "x")), PngNoImageData});
    cases.push_back({"only an empty IDAT", FileWith(Rgba3x2(), Chunk("IDAT", "")), PngNoImageData});
    cases.push_back({"image data not zlib", FileWith(Rgba3x2(), Chunk("IDAT", "not a zlib stream")), PngInflateError});
    cases.push_back({"image data cut short",
                     FileWith(Rgba3x2(), Chunk("IDAT", Compress(SmallScanlines().substr(0, 20)))),
                     PngWrongInflatedSize});
    cases.push_back({"image data one byte too long",
                     FileWith(Rgba3x2(), Chunk("IDAT", Compress(SmallScanlines() + "x"))), PngWrongInflatedSize});
    {
        std::string lines = SmallScanlines();
        lines[13] = 5;              // filter byte of the second row
        cases.push_back({"row filter 5", FileWith(Rgba3x2(), Chunk("IDAT", Compress(lines))), PngBadRowFilter});
        std::string passes = Scanlines(MakeImage(3, 2, 8, 6, 1), true, kNone);
        passes[0] = 5;
        cases.push_back({"row filter 5, interlaced",
                         FileWith(IhdrData(3, 2, 8, 6, 1), Chunk("IDAT", Compress(passes))), PngBadRowFilter});
    }
    auto withTrns = [](const std::string& ihdr, std::size_t length) {
        return FileWith(ihdr, Chunk("tRNS", std::string(length, '\0')) + GoodIdat());
    };
    cases.push_back({"tRNS on RGBA", withTrns(Rgba3x2(), 6), PngTrnsWithAlpha});
    cases.push_back({"tRNS on grey-alpha", withTrns(IhdrData(3, 2, 8, 4), 2), PngTrnsWithAlpha});
    cases.push_back({"grey key of 6 bytes", withTrns(IhdrData(3, 2, 8, 0), 6), PngBadTrnsLength});
    cases.push_back({"RGB key of 2 bytes", withTrns(IhdrData(3, 2, 8, 2), 2), PngBadTrnsLength});
    return cases;
}

TEST(PngDecode, EachBrokenFileFailsWithItsCode) {
    // The good file first, so every case below fails for its own fault only.
    DecodedImage out;
    ASSERT_TRUE(DecodePngBytes(FileWith(Rgba3x2(), GoodIdat()), out)) << pngError;
    for (const BrokenCase& c : BrokenFiles()) {
        out.width = 5;
        out.pixels.assign(10, 1);
        EXPECT_FALSE(DecodePngBytes(c.bytes, out)) << c.what;
        EXPECT_EQ(pngError, c.code) << c.what;
        EXPECT_EQ(out.width, 0) << c.what;
        EXPECT_TRUE(out.pixels.empty()) << c.what;
    }
}

TEST(PngDecode, TheHeaderAloneFailsAsTheDecoderDoesUpToIhdrAndGivesTheSize) {
    // Texture packs are listed from the headers alone: a file whose signature or IHDR is wrong is refused then, with
    // the decoder's code; any fault after IHDR is found only when the image is decoded.
    const std::string path = (std::filesystem::temp_directory_path() / "kolbrix_png_header_test.png").string();
    auto write = [&](const std::string& bytes) { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; };
    const std::vector<int> headerCodes = {PngNotPng,        PngIhdrNotFirst,   PngBadIhdrLength,
                                          PngZeroSize,      PngBadBitDepth,    PngBadColorType,
                                          PngBadCompression, PngBadFilterMethod, PngBadInterlace};
    for (const BrokenCase& c : BrokenFiles()) {
        const std::string what = c.what;
        const bool inHeader = std::find(headerCodes.begin(), headerCodes.end(), c.code) != headerCodes.end() ||
                              what == "CRC of the header" || what == "width x height x 4 overflows";
        write(c.bytes);
        std::int32_t width = -1, height = -1;
        EXPECT_EQ(ReadPngSize(path, width, height), !inHeader) << c.what;
        if (inHeader) {
            EXPECT_EQ(pngError, c.code) << c.what;
        } else {
            EXPECT_EQ(pngError, PngOk) << c.what;
            EXPECT_GT(width, 0) << c.what;
            EXPECT_GT(height, 0) << c.what;
        }
    }
    write(FileWith(IhdrData(300, 20, 8, 6), GoodIdat()));
    std::int32_t width = 0, height = 0;
    ASSERT_TRUE(ReadPngSize(path, width, height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 20);
    std::filesystem::remove(path);
    EXPECT_FALSE(ReadPngSize(path, width, height));
    EXPECT_EQ(pngError, PngCannotOpen);
}

TEST(PngDecode, TruncatedAtEveryLengthFailsCleanly) {
    // Under the sanitizers this shows that no cut reads past the file.
    Image img = MakeImage(9, 7, 8, 3, 11, 16);
    Options o;
    o.writePlte = true;
    o.plte = MakePalette(16);
    o.interlace = true;
    o.idatSize = 17;
    const std::string file = Encode(img, o);
    for (std::size_t n = 0; n < file.size(); ++n) {
        DecodedImage out;
        EXPECT_FALSE(DecodePngBytes(file.substr(0, n), out)) << n;
        EXPECT_NE(pngError, 0) << n;
    }
}

TEST(PngDecode, FromFileAndRequestedDepth) {
    const std::string path = (std::filesystem::temp_directory_path() / "kolbrix_png_decode_test.png").string();
    Image img = MakeImage(5, 4, 8, 2, 9);
    {
        std::ofstream f(path, std::ios::binary);
        std::string bytes = Encode(img);
        f.write(bytes.data(), std::streamsize(bytes.size()));
    }
    DecodedImage out;
    ASSERT_TRUE(DecodePng(path, out)) << pngError;
    EXPECT_EQ(out.pixels, Expected(img, "", "", {}));
    ASSERT_TRUE(DecodePng(path, 24, out));          // still RGBA
    EXPECT_EQ(out.pixels.size(), 5u * 4u * 4u);
    EXPECT_FALSE(DecodePng(path, 16, out));
    EXPECT_EQ(pngError, PngBadRequest);
    std::remove(path.c_str());
    EXPECT_FALSE(DecodePng(path, out));
    EXPECT_EQ(pngError, PngCannotOpen);
}

}  // namespace
