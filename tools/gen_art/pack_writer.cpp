// Writing texture packs: file names, the 1994 versions, the folders.
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
                        : NostalgicFrame(t.frames[i], nostalgicSize * t.frames[i].width / 128, nostalgicDither);
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
