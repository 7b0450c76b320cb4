// Level loading: the time LoadLevel takes per object for small and huge levels, against a small and a large
// texture catalogue. Every stored texture name is turned into a catalogue index, so a look-up that scanned the
// table would make the large catalogue cost a hundred times more per object; the cost per object should stay the
// same across both level sizes and both catalogues (within 1.5x of the reference: 1,000 objects, 10 textures).
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>
#include <unistd.h>

#include "base/message.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/random.h"
#include "base/files.h"
#include "shell/packs.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"

namespace {

// Textures of every placeable kind in two packs; the level names them round-robin so that every one is looked up.
void MakeCatalogue(int textures) {
    ResetTextureTable();
    const std::int32_t kinds[] = {KindWall, KindGround, KindFlag, KindTrap, KindArrowEast, KindCrack};
    for (int i = 1; i <= textures; ++i) {
        TextureEntry entry;
        entry.pack = i % 2 ? "txtpckMain" : "txtpckExtra";
        entry.name = "texture" + std::to_string(i);
        entry.kind = kinds[i % 6];
        entry.firstFrame = 4.0 * i;
        entry.lastFrame = 4.0 * i + 3;
        entry.repeat = i % 3 == 0 ? -1 : 0;
        AddTexture(entry);
    }
    TakeCatalogueDefaults();
}

void MakeLevel(int objects, int textures) {
    for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
    const std::int32_t layers[] = {WallLayerNumber, GroundLayerNumber, PickupLayerNumber, HazardLayerNumber,
                                   ArrowLayerNumber, CrackLayerNumber};
    int side = 1;
    while (side * side < objects) ++side;
    for (int i = 0; i < objects; ++i) {
        LevelObject object;
        object.texture = 1 + i % textures;
        object.x = 128.0 * (i % side);
        object.y = 128.0 * (i / side);
        object.param1 = i % 5;
        LevelLayer(layers[i % 6]).Add(object);
    }
    level.background.texture = 1;
    level.ball.texture = 1;
    level.ball.x = level.ball.y = 0;
    level.levelTitle = "Benchmark";
}

struct Result {
    int objects, textures;
    double secondsPerLoad;
    double secondsPerRead;      // of which reading the file into memory
    double nsPerObject() const { return secondsPerLoad * 1e9 / objects; }
    double nsPerObjectDecoding() const { return (secondsPerLoad - secondsPerRead) * 1e9 / objects; }
};

// Processor time of this process, so that other programs sharing the machine do not count.
double ProcessorSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// The best of several timed runs, each long enough to measure: the least disturbed figure of this machine.
template <class Step>
double BestTime(Step step) {
    double best = 1e30;
    for (int run = 0; run < 11; ++run) {
        int repeats = 0;
        double start = ProcessorSeconds();
        double elapsed = 0;
        do {
            step();
            ++repeats;
            elapsed = ProcessorSeconds() - start;
        } while (elapsed < 0.1);
        best = std::min(best, elapsed / repeats);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Headless, argc, argv);
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kolbrix-bench-levels-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    SetProgramFolder(folder.string() + "/");
    MusicList.Clear();
    MusicList.Add("audio/");
    MusicOn = 0;
    SeedRandom(1);

    std::vector<Result> results;
    for (int textures : {10, 1000}) {
        MakeCatalogue(textures);
        for (int objects : {1000, 100000}) {
            MakeLevel(objects, textures);
            std::string path = folder.string() + "/level" + std::to_string(objects) + ".kbx";
            if (!SaveLevel(path)) {
                std::fprintf(stderr, "level_load: cannot write %s\n", path.c_str());
                return 1;
            }
            MessageState = 0;
            bool loaded = true;
            double seconds = BestTime([&] { loaded = loaded && LoadLevel(path); });
            if (!loaded || MessageState != 0) {
                std::fprintf(stderr, "level_load: %s did not load cleanly\n", path.c_str());
                return 1;
            }
            std::string bytes;
            double reading = BestTime([&] { PlatformReadFile(path, bytes); });
            results.push_back({objects, textures, seconds, reading});
        }
    }

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    SetProgramFolder("");

    const Result& reference = results[0];
    std::printf("level_load: LoadLevel processor time per object (reference: %d objects, %d textures)\n", reference.objects,
                reference.textures);
    std::printf("  %9s %9s %10s %10s %8s %14s %8s\n", "objects", "textures", "ms/load", "ns/object", "ratio",
                "ns/object w/o", "ratio");
    std::printf("  %9s %9s %10s %10s %8s %14s %8s\n", "", "", "", "", "", "file read", "");
    double lowest = 1e30, highest = 0, lowestDecoding = 1e30, highestDecoding = 0;
    for (const Result& r : results) {
        lowest = std::min(lowest, r.nsPerObject());
        highest = std::max(highest, r.nsPerObject());
        lowestDecoding = std::min(lowestDecoding, r.nsPerObjectDecoding());
        highestDecoding = std::max(highestDecoding, r.nsPerObjectDecoding());
        std::printf("  %9d %9d %10.3f %10.1f %8.2f %14.1f %8.2f\n", r.objects, r.textures, r.secondsPerLoad * 1e3,
                    r.nsPerObject(), r.nsPerObject() / reference.nsPerObject(), r.nsPerObjectDecoding(),
                    r.nsPerObjectDecoding() / reference.nsPerObjectDecoding());
    }
    std::printf("  largest / smallest cost per object: %.2fx whole load, %.2fx without the file read (goal: within "
                "1.5x)\n",
                highest / lowest, highestDecoding / lowestDecoding);
    return 0;
}
