// File writers of the art generator: PNG (own encoder over zlib) and TGA (by hand).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image.h"

namespace art {

// 8-bit RGBA rows, top row first.
struct Rgba8Image {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bytes;
};

// Rounds a working image to 8 bits. With `bleed`, fully transparent pixels take the colour of the nearest
// visible pixel, so filtering and mipmaps do not pull dark fringes into edges.
Rgba8Image ToRgba8(const Image& img, bool bleed);

// Smallest fitting colour type: a palette (with tRNS) when at most 256 colours occur, else RGB when every pixel
// is opaque, else RGBA. Rows use the filter that best predicts them.
std::string EncodePng(const Rgba8Image& img);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool WritePng(const std::string& path, const Image& img, bool bleed = true);
bool WritePng(const std::string& path, const Rgba8Image& img);

// 32-bit run-length TGA, rows stored bottom first (the usual TGA origin). `img` rows are top first.
bool WriteTga(const std::string& path, const Rgba8Image& img);

}  // namespace art
