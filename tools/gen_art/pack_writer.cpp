// Writing texture packs: file names, the 1994 versions, the folders.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "packs.h"
#include "writers.h"

namespace art {

void PackWriter::Open(const std::string& gameDir, const std::string& packName) {
    folder = gameDir + "/" + packName + "/";
    nostalgicFolder = gameDir + "/1994" + packName + "/";
    std::error_code ec;
    for (const std::string& f : {folder, nostalgicFolder}) {
        std::filesystem::remove_all(f, ec);
        std::filesystem::create_directories(f, ec);
        if (ec) {
            std::fprintf(stderr, "kolbrix-gen-art: cannot create %s\n", f.c_str());
            ok = false;
        }
    }
}

Image NostalgicFrame(const Image& frame, int size, float dither) {
    int factor = frame.width / size;
    Image small = factor > 1 ? Downscale(frame, factor) : frame;
    // Old palettes had few dark shades: surfaces (the dithered ones) stretch their own range of brightness half-way
    // to the full range and strengthen their colours, so dark and soft pictures keep their forms instead of turning
    // into dots. Plain blocks and objects keep their colours.
    std::vector<float> lum;
    for (const Rgba& p : small.pixels)
        if (p.a >= 0.5f) lum.push_back(0.3f * p.r + 0.59f * p.g + 0.11f * p.b);
    if (lum.size() > 8 && dither > 0) {
        std::sort(lum.begin(), lum.end());
        float lo = lum[lum.size() / 20], hi = lum[lum.size() - 1 - lum.size() / 20];
        if (hi - lo > 0.04f) {
            for (Rgba& p : small.pixels) {
                float l = 0.3f * p.r + 0.59f * p.g + 0.11f * p.b;
                float target = Lerp(l, Clamp01((l - lo) / (hi - lo) * 0.8f + 0.1f), 0.5f);
                float k = l > 1e-4f ? target / l : 1;
                Rgba c{p.r * k, p.g * k, p.b * k, p.a};
                float m = 0.3f * c.r + 0.59f * c.g + 0.11f * c.b;
                p = {Clamp01(m + (c.r - m) * 1.3f), Clamp01(m + (c.g - m) * 1.3f), Clamp01(m + (c.b - m) * 1.3f), p.a};
            }
        }
    }
    Quantize(small, EgaPalette(), dither, 0.5f);
    return UpscaleNearest(small, factor);
}

void PackWriter::Add(Texture t) {
    char frameNumber[24];
    std::string base = t.kind + t.wrapS + t.wrapT + t.name;
    for (size_t i = 0; i < t.frames.size(); ++i) {
        std::snprintf(frameNumber, sizeof frameNumber, "%02zu", i);
        ok = WritePng(folder + base + frameNumber + ".png", t.frames[i]) && ok;
        Image old = i < t.nostalgicFrames.size()
                        ? t.nostalgicFrames[i]
                        : NostalgicFrame(t.frames[i], nostalgicSize * t.frames[i].width / 128, t.nostalgicDither >= 0 ? t.nostalgicDither : nostalgicDither);
        ok = WritePng(nostalgicFolder + base + frameNumber + ".png", old, false) && ok;
        files += 2;
    }
    ++textures;
    char line[256];
    std::snprintf(line, sizeof line, "%s %c%c %s %zu %dx%d", t.kind.c_str(), t.wrapS, t.wrapT, t.name.c_str(), t.frames.size(),
                  t.frames[0].width, t.frames[0].height);
    manifest.push_back(line);
}

}  // namespace art
