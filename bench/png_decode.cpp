// The game's PNG decoder against libpng's simplified API (8-bit RGBA out, rows laid bottom first like ours) and
// against zlib's `uncompress` alone on the same image data, the floor that a decoder built on one `uncompress`
// call cannot go below. All three read the same bytes in memory (the whole file; `uncompress` its image data where
// it lies). Sets: large photo-like images and tile-like frames made here, and the shipped texture packs (txtpck*
// and 1994txtpck*, each its own set) when a built program folder has them: the one the benchmark was built with,
// or the folder given as the first argument. Both decoders' pixels are compared before anything is timed.
//
// Goals: faster than libpng on every set, and within 1.3x of the inflate-only time.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "gfx/png_decode.h"
#include "tests/gfx/png_fixture.h"

namespace {

struct Sample {
    std::string name;
    std::string file;
    std::size_t idatAt = 0;         // where the image data lies in `file` when it is one chunk
    std::string idat;               // else the image data, gathered
    std::size_t idatSize = 0;
    std::size_t inflatedSize = 0;   // what it inflates to
    std::size_t outputBytes = 0;    // width x height x 4
};

Sample MakeSample(std::string name, std::string file) {
    Sample s;
    s.name = std::move(name);
    s.file = std::move(file);
    return s;
}

std::uint32_t Be32(const std::string& s, std::size_t at) {
    return (std::uint32_t(std::uint8_t(s[at])) << 24) | (std::uint32_t(std::uint8_t(s[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(s[at + 2])) << 8) | std::uint32_t(std::uint8_t(s[at + 3]));
}

const Bytef* ImageData(const Sample& s) {
    return reinterpret_cast<const Bytef*>(s.idat.empty() ? s.file.data() + s.idatAt : s.idat.data());
}

bool Prepare(Sample& s) {
    DecodedImage img;
    if (!DecodePngBytes(s.file, img)) {
        std::printf("  %s: not decoded (pngError %d), left out\n", s.name.c_str(), int(pngError));
        return false;
    }
    s.outputBytes = img.pixels.size();
    int pieces = 0;
    for (std::size_t pos = 8; pos + 12 <= s.file.size();) {
        std::uint32_t length = Be32(s.file, pos);
        if (s.file.compare(pos + 4, 4, "IDAT") == 0 && length > 0) {
            if (pieces++ == 0) s.idatAt = pos + 8;
            s.idat += s.file.substr(pos + 8, length);
        }
        pos += std::size_t(length) + 12;
    }
    s.idatSize = s.idat.size();
    if (pieces == 1) s.idat.clear();
    std::vector<Bytef> buffer(s.outputBytes * 2 + 1024);
    uLongf size = uLongf(buffer.size());
    uncompress(buffer.data(), &size, ImageData(s), uLong(s.idatSize));
    s.inflatedSize = size;
    return true;
}

bool DecodeWithLibpng(const std::string& file, std::vector<std::uint8_t>& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    image.format = PNG_FORMAT_RGBA;
    pixels = std::vector<std::uint8_t>(PNG_IMAGE_SIZE(image));
    // A negative stride makes libpng lay the rows bottom first, as the game's decoder does.
    const png_int_32 stride = -png_int_32(PNG_IMAGE_ROW_STRIDE(image));
    return png_image_finish_read(&image, nullptr, pixels.data(), stride, nullptr) != 0;
}

// This thread's processor time (user and system, page faults included) in seconds: unlike the wall clock it does
// not count the time other programs on a busy machine take.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Seconds per pass over the whole set for each body: the best of `rounds` rounds (the least disturbed). The
// bodies take turns within a round, so anything that disturbs a round disturbs them alike.
template <std::size_t N>
std::array<double, N> BestTimes(int rounds, const std::array<std::function<void()>, N>& bodies) {
    std::array<double, N> best;
    best.fill(1e30);
    for (int r = 0; r < rounds; ++r) {
        for (std::size_t i = 0; i < N; ++i) {
            const double start = ThreadSeconds();
            bodies[i]();
            best[i] = std::min(best[i], ThreadSeconds() - start);
        }
    }
    return best;
}

void RunSet(const char* title, std::vector<Sample>& samples, int rounds) {
    std::vector<Sample> set;
    for (Sample& s : samples)
        if (Prepare(s)) set.push_back(std::move(s));
    if (set.empty()) {
        std::printf("%s: nothing to decode\n\n", title);
        return;
    }
    std::size_t outputBytes = 0, fileBytes = 0, inflatedBytes = 0;
    bool same = true;
    for (const Sample& s : set) {
        outputBytes += s.outputBytes;
        fileBytes += s.file.size();
        inflatedBytes += s.inflatedSize;
        DecodedImage ours;
        std::vector<std::uint8_t> theirs;
        DecodePngBytes(s.file, ours);
        if (!DecodeWithLibpng(s.file, theirs) || theirs != ours.pixels) {
            std::printf("  %s: pixels differ from libpng's\n", s.name.c_str());
            same = false;
        }
    }

    std::vector<Bytef> inflateBuffer;
    for (const Sample& s : set) inflateBuffer.resize(std::max(inflateBuffer.size(), s.inflatedSize));

    const auto times = BestTimes<4>(rounds, {[&] {
        for (const Sample& s : set) {
            DecodedImage img;
            DecodePngBytes(s.file, img);
        }
    }, [&] {
        for (const Sample& s : set) {
            std::vector<std::uint8_t> pixels;
            DecodeWithLibpng(s.file, pixels);
        }
    }, [&] {
        for (const Sample& s : set) {
            uLongf size = uLongf(inflateBuffer.size());
            uncompress(inflateBuffer.data(), &size, ImageData(s), uLong(s.idatSize));
        }
    }, [&] {
        for (const Sample& s : set) {
            volatile uLong crc = crc32_z(0, reinterpret_cast<const Bytef*>(s.file.data()), s.file.size());
            (void)crc;
        }
    }});
    const double ours = times[0], libpng = times[1], inflateOnly = times[2], crcOnly = times[3];

    const double mb = double(outputBytes) / 1e6;
    // The inflated size shows how much of the decoders' work inflate-only leaves out: about the output for 8-bit
    // RGB and RGBA, an eighth of it for 4-bit palette images.
    std::printf("%s: %zu image(s), %.1f MB of RGBA from %.1f MB of PNG (%.1f MB inflated)%s\n", title, set.size(),
                mb, double(fileBytes) / 1e6, double(inflatedBytes) / 1e6,
                same ? "; pixels identical to libpng's" : "");
    std::printf("  game decoder   %8.1f MB/s  (%.2f ms)\n", mb / ours, ours * 1e3);
    std::printf("  libpng         %8.1f MB/s  (%.2f ms)\n", mb / libpng, libpng * 1e3);
    std::printf("  inflate only   %8.1f MB/s  (%.2f ms)\n", mb / inflateOnly, inflateOnly * 1e3);
    std::printf("  (of which the CRCs of the whole file take %.2f ms)\n", crcOnly * 1e3);
    std::printf("  game vs libpng: %.2fx faster (goal > 1)   game / inflate only: %.2f (goal <= 1.3)\n\n",
                libpng / ours, ours / inflateOnly);
}

// A photograph-like picture: smooth shapes and gradients with fine grain on top, the way a camera image
// compresses (about half its raw size under adaptive filtering).
png_fixture::Image PhotoLike(int width, int height, int colorType) {
    png_fixture::Image img{width, height, 8, colorType, {}};
    const int ch = png_fixture::Channels(colorType);
    img.samples.resize(std::size_t(width) * std::size_t(height) * std::size_t(ch));
    std::uint32_t seed = 2463534242u;
    std::size_t at = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            for (int c = 0; c < ch; ++c) {
                seed ^= seed << 13;
                seed ^= seed >> 17;
                seed ^= seed << 5;
                double base = 128 + 60 * std::sin(6.0 * u + 2.0 * c + 3.0 * std::sin(4.0 * v)) +
                              40 * std::cos(9.0 * v - 5.0 * u + c) + 20 * std::sin(40.0 * u * v);
                if (c == 3) base = 255 - 80 * u * v;    // alpha: a soft falloff toward one corner
                double grain = c == 3 ? 0 : double(int(seed % 9) - 4);
                img.samples[at++] = std::uint16_t(std::clamp(base + grain, 0.0, 255.0));
            }
        }
    }
    return img;
}

// A texture-pack frame: a shaded, brick-textured disc on a transparent surround with a soft edge, the kind of
// picture that compresses far better than a photograph. Stands in for the shipped frames until they exist.
png_fixture::Image TileLike(int size, unsigned seed) {
    png_fixture::Image img{size, size, 8, 6, {}};
    img.samples.resize(std::size_t(size) * std::size_t(size) * 4);
    const double hue[3] = {90.0 + seed * 37 % 120, 60.0 + seed * 53 % 150, 40.0 + seed * 71 % 160};
    std::size_t at = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size - 0.5, dy = (y + 0.5) / size - 0.5;
            const double edge = std::clamp((0.46 - std::sqrt(dx * dx + dy * dy)) * size, 0.0, 1.0);
            const bool mortar = y % 16 == 0 || (x + (y / 16 % 2) * 16) % 32 == 0;
            const double shade = (mortar ? 0.55 : 1.0) * (0.7 + 0.6 * (0.5 - dy) * (0.5 - dx));
            for (int c = 0; c < 3; ++c)
                img.samples[at++] = std::uint16_t(edge > 0 ? std::clamp(hue[c] * shade, 0.0, 255.0) : 0);
            img.samples[at++] = std::uint16_t(255 * edge);
        }
    }
    return img;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The shipped texture frames: every .png in the folders of `gameDir` whose names start with `prefix`.
std::vector<Sample> ShippedSet(const std::filesystem::path& gameDir, const std::string& prefix) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (const auto& folder : std::filesystem::directory_iterator(gameDir, ec)) {
        if (!folder.is_directory() || folder.path().filename().string().rfind(prefix, 0) != 0) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path(), ec))
            if (entry.path().extension() == ".png") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<Sample> set;
    for (const auto& f : files) set.push_back(MakeSample(f.filename().string(), ReadFile(f)));
    return set;
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("PNG decoding: game decoder vs libpng %s (simplified API) vs zlib %s uncompress alone\n\n",
                PNG_LIBPNG_VER_STRING, zlibVersion());

    png_fixture::Options adaptive;
    adaptive.filter = png_fixture::kAdaptive;
    std::vector<Sample> photos;
    photos.push_back(MakeSample("photo RGB 2048x1536", png_fixture::Encode(PhotoLike(2048, 1536, 2), adaptive)));
    photos.push_back(MakeSample("photo RGBA 2048x1536", png_fixture::Encode(PhotoLike(2048, 1536, 6), adaptive)));
    for (Sample& s : photos) {
        std::vector<Sample> one{s};
        RunSet(s.name.c_str(), one, 15);
    }

    std::vector<Sample> tiles;
    for (unsigned i = 0; i < 40; ++i)
        tiles.push_back(
            MakeSample("tile " + std::to_string(i), png_fixture::Encode(TileLike(i < 32 ? 128 : 256, i), adaptive)));
    RunSet("tile-like RGBA frames (32 of 128x128, 8 of 256x256)", tiles, 30);

    // A build without the game's data can still be pointed at a program folder that has it.
    const std::filesystem::path gameDir = argc > 1 ? argv[1] : KOLBRIX_GAME_DIR;
    for (const char* prefix : {"txtpck", "1994txtpck"}) {
        std::vector<Sample> shipped = ShippedSet(gameDir, prefix);
        const std::string title = std::string("shipped textures (") + prefix + "*)";
        if (shipped.empty())
            std::printf("%s: none under %s/%s*/ (build the game's data first)\n", title.c_str(),
                        gameDir.string().c_str(), prefix);
        else
            RunSet(title.c_str(), shipped, 15);
    }
    return 0;
}
