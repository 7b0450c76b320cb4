// Writes PNG files for the decoder's tests and benchmark: chunks with their CRCs, any colour type and depth, plain
// or Adam7, a chosen row filter, the image data split over several IDAT chunks. Samples are given unpacked (one
// value per channel per pixel, top row first) and packed here to the file's depth.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/common/png_write.h"

namespace png_fixture {

inline std::string Be32(std::uint32_t v) { return PngBigEndian32(v); }
inline std::string Signature() { return PngSignature(); }
inline std::string Chunk(const std::string& type, const std::string& data) { return PngChunk(type, data); }

inline std::string IhdrData(std::uint32_t width, std::uint32_t height, int depth, int colorType, int interlace = 0,
                            int compression = 0, int filterMethod = 0) {
    return Be32(width) + Be32(height) + char(depth) + char(colorType) + char(compression) + char(filterMethod) +
           char(interlace);
}

inline std::string Compress(const std::string& raw, int level = 6) { return PngDeflate(raw, level); }

inline int Channels(int colorType) {
    return colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;
}

struct Image {
    int width = 0, height = 0, depth = 8, colorType = 6;
    std::vector<std::uint16_t> samples;     // width x height x channels, top row first
};

enum FilterChoice { kNone = 0, kSub = 1, kUp = 2, kAverage = 3, kPaeth = 4, kRotate = -1, kAdaptive = -2 };

struct Options {
    bool interlace = false;
    int filter = kRotate;       // a fixed type 0..4, kRotate (row r uses r mod 5) or kAdaptive (libpng's heuristic)
    std::size_t idatSize = 0;   // bytes per IDAT chunk; 0: one chunk
    int level = 6;
    bool writePlte = false;
    std::string plte;
    bool writeTrns = false;
    std::string trns;
};

// Packs pixels [x0, x0 + dx, ...) of row y into PNG scanline bytes (without the filter byte).
inline std::string PackRow(const Image& img, int y, int x0, int dx) {
    const int ch = Channels(img.colorType);
    std::string row;
    unsigned acc = 0;
    int bits = 0;
    for (int x = x0; x < img.width; x += dx) {
        for (int c = 0; c < ch; ++c) {
            unsigned v = img.samples[(std::size_t(y) * std::size_t(img.width) + std::size_t(x)) * std::size_t(ch) +
                                     std::size_t(c)];
            if (img.depth == 16) {
                row += char(v >> 8);
                row += char(v & 255);
            } else if (img.depth == 8) {
                row += char(v);
            } else {
                acc = (acc << img.depth) | (v & ((1u << img.depth) - 1));
                bits += img.depth;
                if (bits == 8) {
                    row += char(acc);
                    acc = 0;
                    bits = 0;
                }
            }
        }
    }
    if (bits) row += char(acc << (8 - bits));
    return row;
}

inline int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

inline std::string FilterRow(const std::string& row, const std::string& prev, int type, int bpp) {
    std::string out(row.size() + 1, '\0');
    out[0] = char(type);
    for (std::size_t i = 0; i < row.size(); ++i) {
        int x = std::uint8_t(row[i]);
        int a = i >= std::size_t(bpp) ? std::uint8_t(row[i - bpp]) : 0;
        int b = std::uint8_t(prev[i]);
        int c = i >= std::size_t(bpp) ? std::uint8_t(prev[i - bpp]) : 0;
        int pred = type == 1 ? a : type == 2 ? b : type == 3 ? (a + b) / 2 : type == 4 ? Paeth(a, b, c) : 0;
        out[i + 1] = char(x - pred);
    }
    return out;
}

// Filters a run of rows: the chosen type, or per row the type whose output has the smallest sum of absolute
// values taken as signed bytes (what common encoders do for photographs).
inline std::string FilterRows(const std::vector<std::string>& rows, int choice, int bpp, int& rowCounter) {
    std::string out;
    std::string prev = rows.empty() ? std::string() : std::string(rows[0].size(), '\0');
    for (const std::string& row : rows) {
        std::string best;
        if (choice >= 0) {
            best = FilterRow(row, prev, choice, bpp);
        } else if (choice == kRotate) {
            best = FilterRow(row, prev, rowCounter % 5, bpp);
        } else {
            long bestSum = -1;
            for (int t = 0; t < 5; ++t) {
                std::string f = FilterRow(row, prev, t, bpp);
                long sum = 0;
                for (std::size_t i = 1; i < f.size(); ++i) sum += std::abs(int(std::int8_t(f[i])));
                if (bestSum < 0 || sum < bestSum) {
                    bestSum = sum;
                    best = std::move(f);
                }
            }
        }
        ++rowCounter;
        out += best;
        prev = row;
    }
    return out;
}

// The filtered, uncompressed image data (what inflates out of the IDAT chunks).
inline std::string Scanlines(const Image& img, bool interlace, int filter) {
    const int bpp = std::max(1, img.depth / 8) * Channels(img.colorType);
    int counter = 0;
    if (!interlace) {
        std::vector<std::string> rows;
        for (int y = 0; y < img.height; ++y) rows.push_back(PackRow(img, y, 0, 1));
        return FilterRows(rows, filter, bpp, counter);
    }
    static const int x0[7] = {0, 4, 0, 2, 0, 1, 0}, y0[7] = {0, 0, 4, 0, 2, 0, 1};
    static const int dx[7] = {8, 8, 4, 4, 2, 2, 1}, dy[7] = {8, 8, 8, 4, 4, 2, 2};
    std::string out;
    for (int p = 0; p < 7; ++p) {
        if (img.width <= x0[p]) continue;
        std::vector<std::string> rows;
        for (int y = y0[p]; y < img.height; y += dy[p]) rows.push_back(PackRow(img, y, x0[p], dx[p]));
        out += FilterRows(rows, filter, bpp, counter);
    }
    return out;
}

inline std::string IdatChunks(const std::string& compressed, std::size_t pieceSize) {
    if (pieceSize == 0) return Chunk("IDAT", compressed);
    std::string out;
    for (std::size_t at = 0; at < compressed.size(); at += pieceSize)
        out += Chunk("IDAT", compressed.substr(at, pieceSize));
    return out;
}

inline std::string Encode(const Image& img, const Options& o = {}) {
    std::string file = Signature() + Chunk("IHDR", IhdrData(std::uint32_t(img.width), std::uint32_t(img.height),
                                                             img.depth, img.colorType, o.interlace ? 1 : 0));
    if (o.writePlte) file += Chunk("PLTE", o.plte);
    if (o.writeTrns) file += Chunk("tRNS", o.trns);
    file += IdatChunks(Compress(Scanlines(img, o.interlace, o.filter), o.level), o.idatSize);
    file += Chunk("IEND", "");
    return file;
}

}  // namespace png_fixture
