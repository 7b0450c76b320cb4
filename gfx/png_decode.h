// The game's own PNG decoder: chunks and CRCs read here, image data inflated by zlib's `uncompress`.
//
// Every colour type and bit depth and Adam7 interlace are read; the result is always 8-bit RGBA with the
// image's bottom row first (output row 0 is the last row of the file), the way textures are laid out.
// Nothing throws: a failure returns false, leaves `out` empty and puts one of the codes below in pngError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;   // width x height x 4 bytes, R G B A, bottom row first
};

// Why the last decode failed (0 after a success).
enum PngErrorCode : std::int32_t {
    PngOk = 0,
    PngBadRequest = 1,          // requested bits neither 24 nor 32
    PngCannotOpen = 2,
    PngReadError = 3,           // file ends inside a chunk (or a chunk's length runs past the end)
    PngNotPng = 4,              // signature mismatch
    PngOutOfMemory = 5,         // also: image larger than PngMaxImageBytes of RGBA
    PngCrcError = 6,
    PngIhdrNotFirst = 7,
    PngBadIhdrLength = 8,
    PngZeroSize = 9,
    PngBadBitDepth = 10,
    PngBadColorType = 11,
    PngBadCompression = 12,
    PngBadFilterMethod = 13,
    PngBadInterlace = 14,
    PngTooFewChunks = 15,
    PngIendNotLast = 16,
    PngNoPalette = 17,
    PngNoImageData = 18,
    PngInflateError = 20,
    PngWrongInflatedSize = 21,
    PngBadRowFilter = 22,
    PngTrnsWithAlpha = 24,
    PngBadTrnsLength = 25,
};

// The largest decoded image accepted, in bytes of RGBA output. Anything bigger is refused as out of memory
// before a single large buffer is allocated.
constexpr std::uint64_t PngMaxImageBytes = 256ull << 20;

extern std::int32_t pngError;

// Decodes a whole PNG file held in memory.
bool DecodePngBytes(const std::string& bytes, DecodedImage& out);
// Reads and decodes the file at `path`. `bitsPerPixel` is the depth the caller wants to upload (24 or 32, anything
// else is refused with code 1); the pixels are RGBA either way.
bool DecodePng(const std::string& path, std::int32_t bitsPerPixel, DecodedImage& out);
bool DecodePng(const std::string& path, DecodedImage& out);   // bitsPerPixel 32
// Reads only what the file says about itself before its image data: true with the size when the signature and the
// IHDR chunk are sound (checked as DecodePng checks them, with the same codes in pngError). What comes after IHDR
// is looked at only when the image is decoded.
bool ReadPngSize(const std::string& path, std::int32_t& width, std::int32_t& height);
