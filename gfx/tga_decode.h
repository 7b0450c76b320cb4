// TGA reading for the UI font: uncompressed and run-length true-colour images of 24 or 32 bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TgaImage {
    std::int32_t width = 0, height = 0;
    std::int32_t bitsPerPixel = 0;          // 24 (R G B) or 32 (R G B A)
    std::vector<std::uint8_t> pixels;       // rows in file order (bottom row first for an ordinary TGA)
};

// The largest image accepted, in bytes of pixels; a bigger header is refused before anything is allocated.
constexpr std::uint64_t TgaMaxImageBytes = 256ull << 20;

// False on anything but a well-formed true-colour TGA; `out` is then left empty.
bool DecodeTgaBytes(const std::string& bytes, TgaImage& out);
bool DecodeTga(const std::string& path, TgaImage& out);
