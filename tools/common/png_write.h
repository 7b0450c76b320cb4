// PNG files written by the tools and the tests: the chunk framing with its CRC, the row filters and the deflate
// stream (zlib's). The game itself only reads PNG (gfx/png_decode.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

std::string PngBigEndian32(std::uint32_t value);
std::string PngSignature();
// One chunk: length, type, data and the CRC over type and data.
std::string PngChunk(const std::string& type, const std::string& data);
// The 13 bytes of an IHDR chunk's data.
std::string PngHeaderData(std::uint32_t width, std::uint32_t height, int depth, int colourType, int interlace = 0);
// `raw` as one zlib stream at `level`; empty when zlib fails.
std::string PngDeflate(const std::string& raw, int level = 6);

enum class PngRowFilter {
    None,           // every row as it is (filter type 0)
    Adaptive,       // each row the filter whose output has the smallest sum of absolute values (libpng's heuristic)
};

// Rows of `rowBytes` each, packed to the file's depth, top row first; `bpp` is bytes a pixel (at least 1).
std::string PngFilterRows(const std::vector<std::uint8_t>& raw, int rowBytes, int rows, int bpp, PngRowFilter filter);

// A whole non-interlaced picture: its rows packed to `depth` (unfiltered), the palette and transparency chunks'
// data when it has them.
struct PngPicture {
    int width = 0, height = 0;
    int depth = 8;
    int colourType = 6;             // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    std::vector<std::uint8_t> rows;
    std::string palette, transparency;
};

// The PNG file of `picture`; empty when compressing failed.
std::string EncodePng(const PngPicture& picture, PngRowFilter filter, int level = 6);

// The common cases: 8-bit RGB or RGBA rows, top row first, unfiltered.
std::string EncodeRgbPng(int width, int height, const std::vector<std::uint8_t>& rgb);
std::string EncodeRgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba);
