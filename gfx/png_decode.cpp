// PNG decoding. The file is read whole; chunks are checked in place (no copies), and the image data goes through
// one `uncompress` call into a scratch buffer. 8-bit RGB and RGBA rows, what nearly every texture is, are then
// unfiltered straight from there into the RGBA output, pairs of Paeth rows (the filter most texture rows use) in
// one pass; every other format is unfiltered in place, row by row, and each row converted into the output while
// it is still in cache, rows of 1, 2 or 4 bits a byte at a time through a table of the pixels each byte value
// stands for.

#include "gfx/png_decode.h"

#include <zlib.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/platform.h"

std::int32_t pngError = 0;

namespace {

using Byte = std::uint8_t;

constexpr std::uint32_t ChunkType(const char (&name)[5]) {
    return (std::uint32_t(Byte(name[0])) << 24) | (std::uint32_t(Byte(name[1])) << 16) |
           (std::uint32_t(Byte(name[2])) << 8) | std::uint32_t(Byte(name[3]));
}

constexpr std::uint32_t kIhdr = ChunkType("IHDR");
constexpr std::uint32_t kPlte = ChunkType("PLTE");
constexpr std::uint32_t kTrns = ChunkType("tRNS");
constexpr std::uint32_t kIdat = ChunkType("IDAT");
constexpr std::uint32_t kIend = ChunkType("IEND");

constexpr Byte kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The inflate buffer is always at least this much longer than the data (and the zero row longer than a row), so
// the row loops may load a few bytes past the last pixel of a row.
constexpr std::size_t kSlack = 12;

inline std::uint32_t Be32(const Byte* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint32_t Be16(const Byte* p) { return (std::uint32_t(p[0]) << 8) | p[1]; }

struct Chunk {
    std::uint32_t type;
    std::uint32_t length;
    std::size_t offset;         // of the data in the file
};

// Reads the chunk at `pos` and moves past it. Returns 0 or an error code: 3 when the file ends inside the chunk
// (its length is checked against what is left before anything else), 6 on a CRC mismatch.
int ReadChunk(const Byte* file, std::size_t size, std::size_t& pos, Chunk& chunk) {
    std::size_t left = size - pos;
    if (left < 12) return PngReadError;
    std::uint32_t length = Be32(file + pos);
    if (length > left - 12) return PngReadError;
    const Byte* typeAndData = file + pos + 4;
    std::uint32_t stored = Be32(typeAndData + 4 + length);
    if (crc32_z(0, typeAndData, std::size_t(length) + 4) != stored) return PngCrcError;
    chunk = {Be32(typeAndData), length, pos + 8};
    pos += std::size_t(length) + 12;
    return 0;
}

// ---- Row filters ------------------------------------------------------------------------------------------
//
// `row` is unfiltered in place; `prev` is the row above, already unfiltered (zeros for the first row of an image
// or an interlace pass). `bpp` is the distance to the left neighbour in bytes.

inline Byte PaethPredict(int a, int b, int c) {
    int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return Byte(a);
    return pb <= pc ? Byte(b) : Byte(c);
}

void UnfilterSub(Byte* row, std::size_t n, int bpp) {
    for (std::size_t i = std::size_t(bpp); i < n; ++i) row[i] = Byte(row[i] + row[i - bpp]);
}

void UnfilterUp(Byte* __restrict row, const Byte* __restrict prev, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) row[i] = Byte(row[i] + prev[i]);
}

void UnfilterAverage(Byte* row, const Byte* prev, std::size_t n, int bpp) {
    std::size_t first = std::min<std::size_t>(std::size_t(bpp), n);
    for (std::size_t i = 0; i < first; ++i) row[i] = Byte(row[i] + (prev[i] >> 1));
    for (std::size_t i = first; i < n; ++i) row[i] = Byte(row[i] + ((row[i - bpp] + prev[i]) >> 1));
}

void UnfilterPaeth(Byte* row, const Byte* prev, std::size_t n, int bpp) {
    std::size_t first = std::min<std::size_t>(std::size_t(bpp), n);
    for (std::size_t i = 0; i < first; ++i) row[i] = Byte(row[i] + prev[i]);
    for (std::size_t i = first; i < n; ++i)
        row[i] = Byte(row[i] + PaethPredict(row[i - bpp], prev[i], prev[i - bpp]));
}

#if defined(__SSE2__)
// Three- and four-byte pixels are unfiltered a whole pixel at a time in vector registers. Each pixel depends on
// the one to its left, so a row runs serially, but with one short dependency chain per pixel instead of one per
// byte. The same loops serve two layouts: in place (source, destination and the row above all with Src-byte
// pixels), and 8-bit RGB or RGBA straight into the RGBA output (the row above read back from the output, and
// `alpha` OR-ed into every stored pixel to make three-byte pixels opaque). A pixel is always loaded as four
// bytes; for three-byte pixels the fourth is the next byte of the row, the next row's filter byte or the slack,
// its lane is computed along and thrown away (never stored, or overwritten by `alpha`).

inline __m128i LoadPixel(const Byte* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return _mm_cvtsi32_si128(int(v));
}

template <int Bytes>
inline void StorePixel(Byte* p, __m128i v) {
    std::uint32_t u = std::uint32_t(_mm_cvtsi128_si32(v));
    std::memcpy(p, &u, Bytes);
}

template <int Src, int Dst>
void SubSse2(const Byte* src, Byte* dst, std::size_t pixels, __m128i alpha) {
    __m128i a = _mm_setzero_si128();
    for (std::size_t x = 0; x < pixels; ++x) {
        a = _mm_add_epi8(a, LoadPixel(src + x * Src));
        StorePixel<Dst>(dst + x * Dst, _mm_or_si128(a, alpha));
    }
}

template <int Src, int Dst>
void UpSse2(const Byte* src, const Byte* prev, Byte* dst, std::size_t pixels, __m128i alpha) {
    for (std::size_t x = 0; x < pixels; ++x) {
        __m128i v = _mm_add_epi8(LoadPixel(src + x * Src), LoadPixel(prev + x * Dst));
        StorePixel<Dst>(dst + x * Dst, _mm_or_si128(v, alpha));
    }
}

template <int Src, int Dst>
void AverageSse2(const Byte* src, const Byte* prev, Byte* dst, std::size_t pixels, __m128i alpha) {
    const __m128i one = _mm_set1_epi8(1);
    __m128i a = _mm_setzero_si128();
    for (std::size_t x = 0; x < pixels; ++x) {
        __m128i b = LoadPixel(prev + x * Dst);
        // The rounding-up average, corrected down where a + b is odd.
        __m128i avg = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        a = _mm_add_epi8(avg, LoadPixel(src + x * Src));
        StorePixel<Dst>(dst + x * Dst, _mm_or_si128(a, alpha));
    }
}

// What a Paeth row carries from pixel to pixel: the left (a) and upper-left (c) pixels and three times c, all
// widened to 16 bits.
struct PaethCarry {
    __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128(), c3 = _mm_setzero_si128();
};

// Unfilters the pixel whose filtered bytes are `d` and whose upper pixel is `b` (both widened to 16 bits) and
// returns it, widened too; it becomes the left pixel of the next one.
inline __m128i PaethPixel(PaethCarry& p, __m128i b, __m128i d) {
    // The predictor in a form equal to the distance comparisons (ties to a, then b, then c for every a, b, c in
    // 0..255) whose chain through a is short: with t = 3c - (a + b), the prediction is max(a, b) when
    // t <= min(a, b), else min(a, b) when max(a, b) <= t, else c. Both comparisons are ready at once and the
    // choice is made from them with ANDs and XORs, a step shorter than choosing twice in turn.
    const __m128i threshold = _mm_sub_epi16(p.c3, _mm_add_epi16(p.a, b));
    const __m128i lo = _mm_min_epi16(p.a, b), hi = _mm_max_epi16(p.a, b);
    const __m128i aboveLo = _mm_cmpgt_epi16(threshold, lo), belowHi = _mm_cmpgt_epi16(hi, threshold);
    // hi, turned into lo where t > lo, and from lo into c where also t < hi.
    const __m128i predicted =
        _mm_xor_si128(_mm_xor_si128(hi, _mm_and_si128(aboveLo, _mm_xor_si128(lo, hi))),
                      _mm_and_si128(_mm_and_si128(aboveLo, belowHi), _mm_xor_si128(p.c, lo)));
    // Byte-wise add wraps modulo 256 in the low byte and leaves the zero high byte alone.
    p.a = _mm_add_epi8(d, predicted);
    p.c = b;
    p.c3 = _mm_add_epi16(_mm_add_epi16(b, b), b);
    return p.a;
}

inline __m128i Widen(__m128i v) { return _mm_unpacklo_epi8(v, _mm_setzero_si128()); }

template <int Src, int Dst>
void PaethSse2(const Byte* src, const Byte* prev, Byte* dst, std::size_t pixels, __m128i alpha) {
    PaethCarry p;
    for (std::size_t x = 0; x < pixels; ++x) {
        __m128i a = PaethPixel(p, Widen(LoadPixel(prev + x * Dst)), Widen(LoadPixel(src + x * Src)));
        StorePixel<Dst>(dst + x * Dst, _mm_or_si128(_mm_packus_epi16(a, a), alpha));
    }
}

// Two Paeth rows in one pass, in one register: the upper (first) row's pixel x in the low half, the lower row's
// pixel x - 2 in the high half. The lower pixel's upper neighbour is then the upper row's result of two steps
// before, already at hand, so one chain of steps, no longer than a single row's, unfilters two pixels with the
// same instructions. Textures are mostly Paeth rows, mostly next to each other. For three-byte pixels the alpha
// is OR-ed into both halves.
template <int Src>
void PaethPairSse2(const Byte* src0, const Byte* src1, const Byte* prev, Byte* dst0, Byte* dst1,
                   std::size_t pixels, __m128i alpha) {
    if (pixels < 2) {
        PaethSse2<Src, 4>(src0, prev, dst0, pixels, alpha);
        PaethSse2<Src, 4>(src1, dst0, dst1, pixels, alpha);
        return;
    }
    PaethCarry p;
    // The results of two steps and of one step before.
    __m128i older = _mm_setzero_si128(), last = _mm_setzero_si128();
    // Upper pixels 0 and 1 alone. Upper, left, upper-left and data of the high half are all zero, so it stays
    // zero, which is where the lower row starts.
    for (std::size_t x = 0; x < 2; ++x) {
        const __m128i b = _mm_unpacklo_epi64(Widen(LoadPixel(prev + x * 4)), older);
        older = last;
        last = PaethPixel(p, b, Widen(LoadPixel(src0 + x * Src)));
        StorePixel<4>(dst0 + x * 4, _mm_or_si128(_mm_packus_epi16(last, last), alpha));
    }
    for (std::size_t x = 2; x < pixels; ++x) {
        const __m128i b = _mm_unpacklo_epi64(Widen(LoadPixel(prev + x * 4)), older);
        const __m128i d = Widen(_mm_unpacklo_epi32(LoadPixel(src0 + x * Src), LoadPixel(src1 + (x - 2) * Src)));
        older = last;
        last = PaethPixel(p, b, d);
        const __m128i v = _mm_or_si128(_mm_packus_epi16(last, last), alpha);
        StorePixel<4>(dst0 + x * 4, v);
        StorePixel<4>(dst1 + (x - 2) * 4, _mm_srli_si128(v, 4));
    }
    // The lower row's last two pixels alone.
    for (std::size_t x = pixels; x < pixels + 2; ++x) {
        const __m128i b = _mm_slli_si128(older, 8);
        const __m128i d = _mm_slli_si128(Widen(LoadPixel(src1 + (x - 2) * Src)), 8);
        older = last;
        last = PaethPixel(p, b, d);
        const __m128i v = _mm_or_si128(_mm_packus_epi16(last, last), alpha);
        StorePixel<4>(dst1 + (x - 2) * 4, _mm_srli_si128(v, 4));
    }
}

// 8-bit RGB (Src 3) or RGBA (Src 4) rows, not interlaced: each row is unfiltered straight from the inflate buffer
// into its output row, so there is no second pass over the image. File row r is output row height - 1 - r.
template <int Src>
bool DecodeRowsIntoRgba(const Byte* data, std::size_t width, std::size_t height, Byte* pixels, const Byte* zeroRow) {
    const std::size_t rowBytes = width * Src, outRowBytes = width * 4;
    const __m128i alpha = Src == 3 ? _mm_set1_epi32(int(0xFF000000u)) : _mm_setzero_si128();
    for (std::size_t r = 0; r < height; ++r) {
        const Byte* src = data + r * (rowBytes + 1) + 1;
        Byte* dst = pixels + (height - 1 - r) * outRowBytes;
        const Byte* prev = r == 0 ? zeroRow : dst + outRowBytes;
        if (src[-1] == 4 && r + 1 < height && src[rowBytes] == 4) {
            PaethPairSse2<Src>(src, src + rowBytes + 1, prev, dst, dst - outRowBytes, width, alpha);
            ++r;
            continue;
        }
        switch (src[-1]) {
        case 0:
            if constexpr (Src == 4) {
                std::memcpy(dst, src, outRowBytes);
            } else {
                for (std::size_t x = 0; x < width; ++x)
                    StorePixel<4>(dst + 4 * x, _mm_or_si128(LoadPixel(src + 3 * x), alpha));
            }
            break;
        case 1:
            SubSse2<Src, 4>(src, dst, width, alpha);
            break;
        case 2:
            if constexpr (Src == 4) {
                // Sixteen bytes at a time: no pixel depends on its neighbour here.
                std::size_t i = 0;
                for (; i + 16 <= outRowBytes; i += 16) {
                    __m128i v = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i)));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), v);
                }
                for (; i < outRowBytes; ++i) dst[i] = Byte(src[i] + prev[i]);
            } else {
                UpSse2<3, 4>(src, prev, dst, width, alpha);
            }
            break;
        case 3:
            AverageSse2<Src, 4>(src, prev, dst, width, alpha);
            break;
        case 4:
            PaethSse2<Src, 4>(src, prev, dst, width, alpha);
            break;
        default:
            return false;
        }
    }
    return true;
}
#endif

// Returns false for an unknown filter type.
bool UnfilterRow(int filter, Byte* row, const Byte* prev, std::size_t n, int bpp) {
    switch (filter) {
    case 0:
        return true;
    case 1:
#if defined(__SSE2__)
        if (bpp == 4) { SubSse2<4, 4>(row, row, n / 4, _mm_setzero_si128()); return true; }
        if (bpp == 3) { SubSse2<3, 3>(row, row, n / 3, _mm_setzero_si128()); return true; }
#endif
        UnfilterSub(row, n, bpp);
        return true;
    case 2:
        UnfilterUp(row, prev, n);
        return true;
    case 3:
#if defined(__SSE2__)
        if (bpp == 4) { AverageSse2<4, 4>(row, prev, row, n / 4, _mm_setzero_si128()); return true; }
        if (bpp == 3) { AverageSse2<3, 3>(row, prev, row, n / 3, _mm_setzero_si128()); return true; }
#endif
        UnfilterAverage(row, prev, n, bpp);
        return true;
    case 4:
#if defined(__SSE2__)
        if (bpp == 4) { PaethSse2<4, 4>(row, prev, row, n / 4, _mm_setzero_si128()); return true; }
        if (bpp == 3) { PaethSse2<3, 3>(row, prev, row, n / 3, _mm_setzero_si128()); return true; }
#endif
        UnfilterPaeth(row, prev, n, bpp);
        return true;
    default:
        return false;
    }
}

// ---- Conversion to RGBA -----------------------------------------------------------------------------------

struct Format {
    int colorType = 0;
    int depth = 0;
    int channels = 0;
    // Colour key from tRNS for grey and RGB images (raw sample values, before any scaling).
    bool hasKey = false;
    std::uint32_t keyGrey = 0, keyRed = 0, keyGreen = 0, keyBlue = 0;
    // Palette images: every possible index mapped to its RGBA, indexes past the palette opaque black. Grey
    // images of 1, 2 or 4 bits: every sample value mapped to its RGBA, the colour key applied.
    Byte palette[256][4] = {};
    // Images of 1, 2 or 4 bits: every byte value mapped to the RGBA of the 8, 4 or 2 pixels it packs, so that a
    // row is expanded a byte at a time by one copy. Filled only for those images (left uninitialized otherwise).
    Byte packed[256][32];
};

// Grey levels of 1-, 2- and 4-bit samples spread over 0..255.
constexpr int kGreyScale[9] = {0, 255, 85, 0, 17, 0, 0, 0, 1};

inline void PutRgba(Byte* d, Byte r, Byte g, Byte b, Byte a) {
    d[0] = r;
    d[1] = g;
    d[2] = b;
    d[3] = a;
}

// Fills `packed` from `palette` for an image of 1, 2 or 4 bits (the first sample of a byte in its top bits): the
// pixels of each half byte first, then every byte from its two halves, some 500 small copies at any depth.
template <int Depth>
void FillPacked(Format& f) {
    constexpr int perHalf = 4 / Depth;
    constexpr unsigned mask = (1u << Depth) - 1u;
    Byte half[16][16];
    for (unsigned n = 0; n < 16; ++n)
        for (int k = 0; k < perHalf; ++k)
            std::memcpy(half[n] + 4 * k, f.palette[(n >> (4 - Depth * (k + 1))) & mask], 4);
    for (unsigned v = 0; v < 256; ++v) {
        std::memcpy(f.packed[v], half[v >> 4], 4 * perHalf);
        std::memcpy(f.packed[v] + 4 * perHalf, half[v & 15], 4 * perHalf);
    }
}

void FillPacked(Format& f) {
    if (f.depth == 1) FillPacked<1>(f);
    else if (f.depth == 2) FillPacked<2>(f);
    else FillPacked<4>(f);
}

// Expands `width` pixels of a row of 1, 2 or 4 bits through `packed`; a last, partly used byte gives only its
// leading pixels.
template <int Depth>
void ExpandPacked(const Format& f, const Byte* src, Byte* dst, std::size_t width) {
    constexpr std::size_t perByte = 8 / Depth, bytes = perByte * 4;
    const std::size_t whole = width / perByte, rest = width % perByte;
    std::size_t i = 0;
#if defined(__SSE2__)
    if constexpr (Depth == 4) {
        // Two bytes at a time, so that each store is a full sixteen bytes.
        for (; i + 2 <= whole; i += 2) {
            const __m128i first = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(f.packed[src[i]]));
            const __m128i second = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(f.packed[src[i + 1]]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * bytes), _mm_unpacklo_epi64(first, second));
        }
    }
#endif
    for (; i < whole; ++i) std::memcpy(dst + i * bytes, f.packed[src[i]], bytes);
    if (rest) std::memcpy(dst + whole * bytes, f.packed[src[whole]], rest * 4);
}

void ExpandPacked(const Format& f, const Byte* src, Byte* dst, std::size_t width) {
    if (f.depth == 1) ExpandPacked<1>(f, src, dst, width);
    else if (f.depth == 2) ExpandPacked<2>(f, src, dst, width);
    else ExpandPacked<4>(f, src, dst, width);
}

// Converts `width` pixels of one unfiltered row. `src` lies inside the inflate buffer (it may be read a few bytes
// past its end); `dst` receives width x 4 bytes.
void ConvertRow(const Format& f, const Byte* src, Byte* dst, std::size_t width) {
    switch (f.colorType) {
    case 6:
        if (f.depth == 8) {
            std::memcpy(dst, src, width * 4);
        } else {
            for (std::size_t x = 0; x < width; ++x, src += 8, dst += 4) PutRgba(dst, src[0], src[2], src[4], src[6]);
        }
        return;
    case 2:
        if (f.depth == 8 && !f.hasKey) {
            if constexpr (std::endian::native == std::endian::little) {
                // Four bytes loaded per pixel, the fourth replaced by the alpha: no per-byte work at all.
                for (std::size_t x = 0; x < width; ++x, src += 3, dst += 4) {
                    std::uint32_t v;
                    std::memcpy(&v, src, 4);
                    v |= 0xFF000000u;
                    std::memcpy(dst, &v, 4);
                }
            } else {
                for (std::size_t x = 0; x < width; ++x, src += 3, dst += 4) PutRgba(dst, src[0], src[1], src[2], 255);
            }
        } else if (f.depth == 8) {
            for (std::size_t x = 0; x < width; ++x, src += 3, dst += 4) {
                bool keyed = src[0] == f.keyRed && src[1] == f.keyGreen && src[2] == f.keyBlue;
                PutRgba(dst, src[0], src[1], src[2], keyed ? 0 : 255);
            }
        } else {
            for (std::size_t x = 0; x < width; ++x, src += 6, dst += 4) {
                bool keyed = f.hasKey && Be16(src) == f.keyRed && Be16(src + 2) == f.keyGreen &&
                             Be16(src + 4) == f.keyBlue;
                PutRgba(dst, src[0], src[2], src[4], keyed ? 0 : 255);
            }
        }
        return;
    case 4:
        if (f.depth == 8) {
            for (std::size_t x = 0; x < width; ++x, src += 2, dst += 4) PutRgba(dst, src[0], src[0], src[0], src[1]);
        } else {
            for (std::size_t x = 0; x < width; ++x, src += 4, dst += 4) PutRgba(dst, src[0], src[0], src[0], src[2]);
        }
        return;
    case 3:
        if (f.depth == 8) {
            for (std::size_t x = 0; x < width; ++x, dst += 4) std::memcpy(dst, f.palette[src[x]], 4);
        } else {
            ExpandPacked(f, src, dst, width);
        }
        return;
    default:    // 0: grey
        if (f.depth == 16) {
            for (std::size_t x = 0; x < width; ++x, src += 2, dst += 4) {
                Byte alpha = f.hasKey && Be16(src) == f.keyGrey ? 0 : 255;
                PutRgba(dst, src[0], src[0], src[0], alpha);
            }
        } else if (f.depth == 8) {
            for (std::size_t x = 0; x < width; ++x, dst += 4) {
                Byte alpha = f.hasKey && src[x] == f.keyGrey ? 0 : 255;
                PutRgba(dst, src[x], src[x], src[x], alpha);
            }
        } else {
            ExpandPacked(f, src, dst, width);
        }
        return;
    }
}

// ---- Image geometry ---------------------------------------------------------------------------------------

constexpr int kPassX0[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr int kPassY0[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr int kPassDx[7] = {8, 8, 4, 4, 2, 2, 1};
constexpr int kPassDy[7] = {8, 8, 8, 4, 4, 2, 2};

std::uint64_t PassExtent(std::uint64_t size, int origin, int step) {
    return size > std::uint64_t(origin) ? (size - std::uint64_t(origin) + std::uint64_t(step) - 1) / std::uint64_t(step)
                                        : 0;
}

// Bytes of one row of `width` pixels, without its filter byte.
std::uint64_t RowBytes(std::uint64_t width, int depth, int channels) {
    return (width * std::uint64_t(depth) + 7) / 8 * std::uint64_t(channels);
}

// ---- The decoder ------------------------------------------------------------------------------------------

bool Fail(int code, DecodedImage& out) {
    pngError = code;
    out = DecodedImage{};
    return false;
}

// Unfilters `rows` rows of `rowBytes` bytes starting at `data` (each row led by its filter byte) in place and
// hands each to `emit` (row number, unfiltered bytes) while it is still in cache. False on an unknown filter type.
template <class Emit>
bool DecodeRows(const Format& f, Byte* data, std::size_t rowBytes, std::size_t rows, const Byte* zeroRow,
                Emit emit) {
    const int bpp = std::max(1, f.depth / 8) * f.channels;
    const Byte* prev = zeroRow;
    for (std::size_t r = 0; r < rows; ++r) {
        Byte* row = data + r * (rowBytes + 1);
        if (!UnfilterRow(row[0], row + 1, prev, rowBytes, bpp)) return false;
        emit(r, static_cast<const Byte*>(row + 1));
        prev = row + 1;
    }
    return true;
}

// The signature and the IHDR chunk: 0 when they are sound, with `pos` after IHDR and `ihdr` at its 13 bytes; else
// the error code.
int ReadHeader(const Byte* file, std::size_t size, std::size_t& pos, const Byte*& ihdr) {
    if (size < 8 || std::memcmp(file, kSignature, 8) != 0) return PngNotPng;
    pos = 8;
    Chunk header;
    if (int code = ReadChunk(file, size, pos, header)) return code;
    if (header.type != kIhdr) return PngIhdrNotFirst;
    if (header.length != 13) return PngBadIhdrLength;
    ihdr = file + header.offset;
    const std::uint32_t width = Be32(ihdr), height = Be32(ihdr + 4);
    const int depth = ihdr[8], colorType = ihdr[9];
    if (width == 0 || height == 0) return PngZeroSize;
    switch (colorType) {
    case 0:
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return PngBadBitDepth;
        break;
    case 2:
    case 4:
    case 6:
        if (depth != 8 && depth != 16) return PngBadBitDepth;
        break;
    case 3:
        if (depth != 1 && depth != 2 && depth != 4 && depth != 8) return PngBadBitDepth;
        break;
    default:
        return PngBadColorType;
    }
    if (ihdr[10] != 0) return PngBadCompression;
    if (ihdr[11] != 0) return PngBadFilterMethod;
    if (ihdr[12] > 1) return PngBadInterlace;
    return 0;
}

}  // namespace

bool ReadPngSize(const std::string& path, std::int32_t& width, std::int32_t& height) {
    pngError = 0;
    // The signature and the IHDR chunk are the first 33 bytes; the rest is read when the image is decoded.
    std::string bytes;
    if (!PlatformReadFileStart(path, 64, bytes)) {
        pngError = PngCannotOpen;
        return false;
    }
    std::size_t pos = 0;
    const Byte* ihdr = nullptr;
    if (int code = ReadHeader(reinterpret_cast<const Byte*>(bytes.data()), bytes.size(), pos, ihdr)) {
        pngError = code;
        return false;
    }
    const std::uint32_t w = Be32(ihdr), h = Be32(ihdr + 4);
    if (w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) {
        pngError = PngOutOfMemory;
        return false;
    }
    width = static_cast<std::int32_t>(w);
    height = static_cast<std::int32_t>(h);
    return true;
}

bool DecodePngBytes(const std::string& bytes, DecodedImage& out) {
    pngError = 0;
    const Byte* file = reinterpret_cast<const Byte*>(bytes.data());
    const std::size_t size = bytes.size();

    std::size_t pos = 0;
    const Byte* ihdr = nullptr;
    if (int code = ReadHeader(file, size, pos, ihdr)) return Fail(code, out);
    const std::uint32_t width = Be32(ihdr), height = Be32(ihdr + 4);
    const int depth = ihdr[8], colorType = ihdr[9];
    const bool interlaced = ihdr[12] == 1;

    // The rest of the file, chunk by chunk. Only positions are kept; the data stays where it is.
    std::vector<Chunk> chunks;
    try {
        chunks.reserve(8);
        while (pos < size) {
            Chunk chunk;
            if (int code = ReadChunk(file, size, pos, chunk)) return Fail(code, out);
            chunks.push_back(chunk);
        }
    } catch (const std::bad_alloc&) {
        return Fail(PngOutOfMemory, out);
    }
    if (chunks.size() < 2) return Fail(PngTooFewChunks, out);
    if (chunks.back().type != kIend) return Fail(PngIendNotLast, out);

    auto firstOf = [&](std::uint32_t type) -> const Chunk* {
        for (const Chunk& c : chunks)
            if (c.type == type) return &c;
        return nullptr;
    };

    // Default-initialized: the expansion table is filled only where it is used.
    std::unique_ptr<Format> format(new (std::nothrow) Format);
    if (!format) return Fail(PngOutOfMemory, out);
    Format& f = *format;
    f.colorType = colorType;
    f.depth = depth;
    f.channels = colorType == 2 ? 3 : colorType == 4 ? 2 : colorType == 6 ? 4 : 1;

    const Chunk* trns = firstOf(kTrns);
    if (colorType == 3) {
        const Chunk* plte = firstOf(kPlte);
        if (!plte) return Fail(PngNoPalette, out);
        std::size_t entries = std::min<std::size_t>(plte->length / 3, 256);
        std::size_t alphas = trns ? std::min<std::size_t>(trns->length, 256) : 0;
        const Byte* rgb = file + plte->offset;
        for (std::size_t i = 0; i < 256; ++i) {
            if (i < entries)
                PutRgba(f.palette[i], rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2],
                        i < alphas ? file[trns->offset + i] : 255);
            else
                PutRgba(f.palette[i], 0, 0, 0, 255);
        }
    } else if (trns) {
        if (colorType == 4 || colorType == 6) return Fail(PngTrnsWithAlpha, out);
        const Byte* key = file + trns->offset;
        if (colorType == 0) {
            if (trns->length != 2) return Fail(PngBadTrnsLength, out);
            f.keyGrey = Be16(key);
        } else {
            if (trns->length != 6) return Fail(PngBadTrnsLength, out);
            f.keyRed = Be16(key);
            f.keyGreen = Be16(key + 2);
            f.keyBlue = Be16(key + 4);
        }
        f.hasKey = true;
    }
    if (colorType == 0 && depth < 8) {
        // Grey levels spread over 0..255; the key is compared with the raw sample.
        const unsigned scale = unsigned(kGreyScale[depth]);
        for (unsigned raw = 0; raw < (1u << depth); ++raw) {
            const Byte grey = Byte(raw * scale);
            PutRgba(f.palette[raw], grey, grey, grey, f.hasKey && raw == f.keyGrey ? 0 : 255);
        }
    }

    // Nothing large is allocated for an image whose RGBA output would pass the limit (this also keeps every size
    // below far from overflowing).
    if (std::uint64_t(width) * height > PngMaxImageBytes / 4) return Fail(PngOutOfMemory, out);

    // The image data: used where it lies when it is one chunk, else gathered in file order.
    std::size_t compressedSize = 0, idatCount = 0;
    const Byte* compressed = nullptr;
    for (const Chunk& c : chunks) {
        if (c.type != kIdat || c.length == 0) continue;
        compressedSize += c.length;
        ++idatCount;
        compressed = file + c.offset;
    }
    if (compressedSize == 0) return Fail(PngNoImageData, out);
    std::unique_ptr<Byte[]> gathered;
    if (idatCount > 1) {
        gathered.reset(new (std::nothrow) Byte[compressedSize]);
        if (!gathered) return Fail(PngOutOfMemory, out);
        std::size_t at = 0;
        for (const Chunk& c : chunks) {
            if (c.type != kIdat) continue;
            std::memcpy(gathered.get() + at, file + c.offset, c.length);
            at += c.length;
        }
        compressed = gathered.get();
    }

    std::uint64_t expected = 0;
    if (!interlaced) {
        expected = (RowBytes(width, depth, f.channels) + 1) * height;
    } else {
        for (int p = 0; p < 7; ++p) {
            std::uint64_t pw = PassExtent(width, kPassX0[p], kPassDx[p]);
            std::uint64_t ph = PassExtent(height, kPassY0[p], kPassDy[p]);
            if (pw && ph) expected += (RowBytes(pw, depth, f.channels) + 1) * ph;
        }
    }

    // Room for a fifth more than expected, so that data that inflates too long is told apart from broken data.
    const std::size_t capacity = std::size_t(expected + expected / 5 + kSlack);
    std::unique_ptr<Byte[]> inflated(new (std::nothrow) Byte[capacity]);
    if (!inflated) return Fail(PngOutOfMemory, out);
    uLongf inflatedSize = capacity;
    if (uncompress(inflated.get(), &inflatedSize, compressed, uLong(compressedSize)) != Z_OK)
        return Fail(PngInflateError, out);
    if (inflatedSize != expected) return Fail(PngWrongInflatedSize, out);
    gathered.reset();
    if (depth < 8) FillPacked(f);

    const std::size_t outRowBytes = std::size_t(width) * 4;
    // The row above the first: as long as a row of the file or of the output, whichever is longer.
    const std::size_t zeroRowBytes =
        std::size_t(std::max<std::uint64_t>(RowBytes(width, depth, f.channels), outRowBytes));
    std::unique_ptr<Byte[]> zeroRow(new (std::nothrow) Byte[zeroRowBytes + kSlack]());
    if (!zeroRow) return Fail(PngOutOfMemory, out);
    try {
        out.pixels.resize(outRowBytes * height);
    } catch (const std::bad_alloc&) {
        return Fail(PngOutOfMemory, out);
    }
    out.width = std::int32_t(width);
    out.height = std::int32_t(height);
    Byte* pixels = out.pixels.data();

#if defined(__SSE2__)
    if (!interlaced && depth == 8 && (colorType == 6 || (colorType == 2 && !f.hasKey))) {
        bool ok = colorType == 6 ? DecodeRowsIntoRgba<4>(inflated.get(), width, height, pixels, zeroRow.get())
                                 : DecodeRowsIntoRgba<3>(inflated.get(), width, height, pixels, zeroRow.get());
        if (!ok) return Fail(PngBadRowFilter, out);
        return true;
    }
#endif
    if (!interlaced) {
        // File row r is output row height - 1 - r.
        Byte* bottom = pixels + (std::size_t(height) - 1) * outRowBytes;
        const std::size_t rowBytes = std::size_t(RowBytes(width, depth, f.channels));
        bool ok = DecodeRows(f, inflated.get(), rowBytes, height, zeroRow.get(), [&](std::size_t r, const Byte* src) {
            ConvertRow(f, src, bottom - r * outRowBytes, width);
        });
        if (!ok) return Fail(PngBadRowFilter, out);
    } else {
        std::unique_ptr<Byte[]> passRow(new (std::nothrow) Byte[outRowBytes]);
        if (!passRow) return Fail(PngOutOfMemory, out);
        Byte* data = inflated.get();
        for (int p = 0; p < 7; ++p) {
            const std::size_t pw = std::size_t(PassExtent(width, kPassX0[p], kPassDx[p]));
            const std::size_t ph = std::size_t(PassExtent(height, kPassY0[p], kPassDy[p]));
            if (!pw || !ph) continue;
            const std::size_t rowBytes = std::size_t(RowBytes(pw, depth, f.channels));
            bool ok = DecodeRows(f, data, rowBytes, ph, zeroRow.get(), [&](std::size_t r, const Byte* src) {
                ConvertRow(f, src, passRow.get(), pw);
                std::size_t y = std::size_t(kPassY0[p]) + r * std::size_t(kPassDy[p]);
                Byte* dst = pixels + (std::size_t(height) - 1 - y) * outRowBytes + std::size_t(kPassX0[p]) * 4;
                const std::size_t step = std::size_t(kPassDx[p]) * 4;
                for (std::size_t x = 0; x < pw; ++x) std::memcpy(dst + x * step, passRow.get() + x * 4, 4);
            });
            if (!ok) return Fail(PngBadRowFilter, out);
            data += (rowBytes + 1) * ph;
        }
    }
    return true;
}

bool DecodePng(const std::string& path, std::int32_t bitsPerPixel, DecodedImage& out) {
    pngError = 0;
    if (bitsPerPixel != 24 && bitsPerPixel != 32) return Fail(PngBadRequest, out);
    std::string bytes;
    if (!PlatformReadFile(path, bytes)) return Fail(PngCannotOpen, out);
    return DecodePngBytes(bytes, out);
}

bool DecodePng(const std::string& path, DecodedImage& out) { return DecodePng(path, 32, out); }
