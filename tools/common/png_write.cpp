#include "tools/common/png_write.h"

#include <zlib.h>

#include <cstdlib>

namespace {

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    if (pb <= pc) return static_cast<std::uint8_t>(b);
    return static_cast<std::uint8_t>(c);
}

int BitsPerPixel(const PngPicture& picture) {
    const int channels = picture.colourType == 2 ? 3 : picture.colourType == 4 ? 2 : picture.colourType == 6 ? 4 : 1;
    return channels * picture.depth;
}

}  // namespace

std::string PngBigEndian32(std::uint32_t value) {
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

std::string PngSignature() { return std::string("\x89PNG\r\n\x1a\n", 8); }

std::string PngChunk(const std::string& type, const std::string& data) {
    const std::string typed = type + data;
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    return PngBigEndian32(static_cast<std::uint32_t>(data.size())) + typed +
           PngBigEndian32(static_cast<std::uint32_t>(crc));
}

std::string PngHeaderData(std::uint32_t width, std::uint32_t height, int depth, int colourType, int interlace) {
    // Then compression method 0 (deflate) and filter method 0 (the five row filters).
    return PngBigEndian32(width) + PngBigEndian32(height) + char(depth) + char(colourType) + char(0) + char(0) +
           char(interlace);
}

std::string PngDeflate(const std::string& raw, int level) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), level) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

std::string PngFilterRows(const std::vector<std::uint8_t>& raw, int rowBytes, int rows, int bpp,
                          PngRowFilter filter) {
    std::string out;
    out.reserve(static_cast<std::size_t>(rowBytes + 1) * static_cast<std::size_t>(rows));
    const std::vector<std::uint8_t> zero(static_cast<std::size_t>(rowBytes), 0);
    std::vector<std::uint8_t> candidates[5];
    for (auto& c : candidates) c.resize(static_cast<std::size_t>(rowBytes));
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(rowBytes);
        if (filter == PngRowFilter::None) {
            out.push_back(0);
            out.append(reinterpret_cast<const char*>(row), static_cast<std::size_t>(rowBytes));
            continue;
        }
        const std::uint8_t* up = y ? row - rowBytes : zero.data();
        for (int i = 0; i < rowBytes; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
            candidates[0][i] = row[i];
            candidates[1][i] = static_cast<std::uint8_t>(row[i] - a);
            candidates[2][i] = static_cast<std::uint8_t>(row[i] - b);
            candidates[3][i] = static_cast<std::uint8_t>(row[i] - ((a + b) >> 1));
            candidates[4][i] = static_cast<std::uint8_t>(row[i] - Paeth(a, b, c));
        }
        int best = 0;
        long bestSum = -1;
        for (int f = 0; f < 5; ++f) {
            long sum = 0;
            for (int i = 0; i < rowBytes; ++i)
                sum += std::abs(static_cast<int>(static_cast<std::int8_t>(candidates[f][i])));
            if (bestSum < 0 || sum < bestSum) {
                bestSum = sum;
                best = f;
            }
        }
        out.push_back(static_cast<char>(best));
        out.append(reinterpret_cast<const char*>(candidates[best].data()), static_cast<std::size_t>(rowBytes));
    }
    return out;
}

std::string EncodePng(const PngPicture& picture, PngRowFilter filter, int level) {
    const int bits = BitsPerPixel(picture);
    const int rowBytes = (picture.width * bits + 7) / 8;
    const std::string packed =
        PngDeflate(PngFilterRows(picture.rows, rowBytes, picture.height, bits < 8 ? 1 : bits / 8, filter), level);
    if (packed.empty()) return {};
    std::string file = PngSignature();
    file += PngChunk("IHDR", PngHeaderData(static_cast<std::uint32_t>(picture.width),
                                           static_cast<std::uint32_t>(picture.height), picture.depth,
                                           picture.colourType));
    if (picture.colourType == 3) {
        file += PngChunk("PLTE", picture.palette);
        if (!picture.transparency.empty()) file += PngChunk("tRNS", picture.transparency);
    }
    file += PngChunk("IDAT", packed);
    file += PngChunk("IEND", "");
    return file;
}

std::string EncodeRgbPng(int width, int height, const std::vector<std::uint8_t>& rgb) {
    return EncodePng(PngPicture{width, height, 8, 2, rgb, {}, {}}, PngRowFilter::None);
}

std::string EncodeRgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba) {
    return EncodePng(PngPicture{width, height, 8, 6, rgba, {}, {}}, PngRowFilter::None);
}
