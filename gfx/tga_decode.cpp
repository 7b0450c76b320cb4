#include "gfx/tga_decode.h"

#include <cstring>

#include "platform/platform.h"

namespace {

using Byte = std::uint8_t;

// The only two headers read: no image id, no colour map, type 2 (true colour) or 10 (run-length true colour),
// origin 0, 0.
constexpr Byte kPlainHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr Byte kRunLengthHeader[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

bool Fail(TgaImage& out) {
    out = TgaImage{};
    return false;
}

// Stored blue-green-red(-alpha) becomes red-green-blue(-alpha).
inline void CopySwapped(Byte* dst, const Byte* src, int bytesPerPixel) {
    std::memcpy(dst, src, std::size_t(bytesPerPixel));
    dst[0] = src[2];
    dst[2] = src[0];
}

}  // namespace

bool DecodeTgaBytes(const std::string& bytes, TgaImage& out) {
    const Byte* file = reinterpret_cast<const Byte*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size < 18) return Fail(out);
    bool runLength;
    if (std::memcmp(file, kPlainHeader, 12) == 0)
        runLength = false;
    else if (std::memcmp(file, kRunLengthHeader, 12) == 0)
        runLength = true;
    else
        return Fail(out);

    const std::uint32_t width = file[12] | (std::uint32_t(file[13]) << 8);
    const std::uint32_t height = file[14] | (std::uint32_t(file[15]) << 8);
    const int bits = file[16];
    if (width < 1 || height < 1 || (bits != 24 && bits != 32)) return Fail(out);
    const int bpp = bits / 8;
    const std::size_t pixelCount = std::size_t(width) * height;
    const std::size_t imageBytes = pixelCount * std::size_t(bpp);
    if (imageBytes > TgaMaxImageBytes) return Fail(out);

    const Byte* data = file + 18;
    const std::size_t left = size - 18;
    // Before anything is allocated: the file must hold enough for the whole image. A run-length packet of
    // 1 + bpp bytes stores at most 128 pixels.
    if (!runLength && left < imageBytes) return Fail(out);
    if (runLength && pixelCount > left / std::size_t(1 + bpp) * 128) return Fail(out);

    out.width = std::int32_t(width);
    out.height = std::int32_t(height);
    out.bitsPerPixel = bits;
    out.pixels.resize(imageBytes);
    Byte* dst = out.pixels.data();

    if (!runLength) {
        for (std::size_t i = 0; i < pixelCount; ++i) CopySwapped(dst + i * bpp, data + i * bpp, bpp);
        return true;
    }

    std::size_t pos = 0, stored = 0;
    while (stored < pixelCount) {
        if (pos >= left) return Fail(out);
        const Byte packet = data[pos++];
        const std::size_t count = packet >= 128 ? std::size_t(packet) - 127 : std::size_t(packet) + 1;
        // A packet that would store more pixels than the image holds is a broken file, not a clipped one.
        if (count > pixelCount - stored) return Fail(out);
        if (packet >= 128) {
            if (left - pos < std::size_t(bpp)) return Fail(out);
            CopySwapped(dst + stored * bpp, data + pos, bpp);
            for (std::size_t k = 1; k < count; ++k)
                std::memcpy(dst + (stored + k) * bpp, dst + stored * bpp, std::size_t(bpp));
            pos += std::size_t(bpp);
        } else {
            if (left - pos < count * bpp) return Fail(out);
            for (std::size_t k = 0; k < count; ++k) CopySwapped(dst + (stored + k) * bpp, data + pos + k * bpp, bpp);
            pos += count * bpp;
        }
        stored += count;
    }
    return true;
}

bool DecodeTga(const std::string& path, TgaImage& out) {
    std::string bytes;
    if (!PlatformReadFile(path, bytes)) return Fail(out);
    return DecodeTgaBytes(bytes, out);
}
