// Editor selections: copying, pasting and undoing a selection of 10,000 objects, each as the editor runs it (one
// command bracketed as one step of the history, the paste into a level that already holds 10,000 other objects).
// The goal: each within one frame at 60 frames a second. Besides the frame budget, each is put against a reference
// measured in the same run: copying the level's edited layers once, the least any operation on all of them costs.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "editor/selection.h"
#include "editor/undo.h"
#include "platform/platform.h"
#include "play/level.h"
#include "tiles/catalogue.h"

namespace {

constexpr double FrameBudget = 1.0 / 60;

void MakeCatalogue() {
    ResetTextureTable();
    const std::int32_t kinds[] = {KindWall, KindGround, KindFlag, KindTrap, KindArrowEast, KindCrack, KindPlatform,
                                  KindPathEast};
    for (int i = 1; i <= 16; ++i) {
        TextureEntry entry;
        entry.pack = "txtpckMain";
        entry.name = "texture" + std::to_string(i);
        entry.kind = kinds[i % 8];
        entry.firstFrame = entry.lastFrame = i;
        AddTexture(entry);
    }
    TakeCatalogueDefaults();
}

// `objects` objects spread over the edited layers in a square of cells at (x0, 0); the ball far away.
void FillSquare(int objects, double x0) {
    const std::int32_t layers[] = {WallLayerNumber, GroundLayerNumber, PickupLayerNumber, HazardLayerNumber,
                                   ArrowLayerNumber, CrackLayerNumber, PlatformLayerNumber, PathLayerNumber};
    int side = 1;
    while (side * side < objects) ++side;
    for (int i = 0; i < objects; ++i) {
        LevelObject object;
        object.texture = 1 + i % 16;
        object.x = x0 + 128.0 * (i % side);
        object.y = 128.0 * (i / side);
        LevelLayer(layers[i % 8]).Add(object);
    }
    selection.active = true;
    selection.rect = RectBetween(x0, 0, x0 + 128.0 * (side - 1), 128.0 * (side - 1));
}

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The worst of `runs` timed runs of `step` after `prepare` (untimed): a frame must hold the slowest one.
template <class Prepare, class Step>
double WorstTime(int runs, Prepare prepare, Step step) {
    double worst = 0;
    for (int run = 0; run < runs; ++run) {
        prepare();
        const double start = ProcessorSeconds();
        step();
        worst = std::max(worst, ProcessorSeconds() - start);
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Headless, argc, argv);
    MakeCatalogue();
    constexpr int Objects = 10000;
    const double pasteX = 128.0 * 1000;
    auto fresh = [&] {
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        PlaceBall(-1280, -1280, DefaultBallTexture);
        FillSquare(Objects, pasteX);     // what the paste replaces
        FillSquare(Objects, 0);          // the selection
        ClearHistory();
    };
    const int runs = 15;
    Layer copies[EditedLayerCount + 1];
    const double reference = WorstTime(runs, fresh, [&] {
        for (int n = 1; n <= EditedLayerCount; ++n) copies[n] = LevelLayer(n);
    });
    const double copy = WorstTime(runs, fresh, [] {
        BeginChange();
        CopySelection();
        EndChange();
    });
    const double paste = WorstTime(runs, [&] { fresh(); CopySelection(); }, [&] {
        BeginChange();
        PasteClipboard(pasteX, 0);
        EndChange();
    });
    const double undo = WorstTime(runs, [&] {
        fresh();
        CopySelection();
        BeginChange();
        PasteClipboard(pasteX, 0);
        EndChange();
    }, [] { Undo(); });
    std::printf("selection_ops: %d objects selected in a level of %d; worst of %d runs, processor time\n", Objects,
                2 * Objects, runs);
    std::printf("  %-8s %9s %16s %22s\n", "", "ms", "/ frame (16.7ms)", "/ copy of the layers");
    const struct {
        const char* name;
        double seconds;
    } rows[] = {{"copy", copy}, {"paste", paste}, {"undo", undo}};
    bool within = true;
    for (const auto& row : rows) {
        std::printf("  %-8s %9.3f %16.3f %22.2f\n", row.name, row.seconds * 1e3, row.seconds / FrameBudget,
                    row.seconds / reference);
        within = within && row.seconds < FrameBudget;
    }
    std::printf("  reference: copying the level's edited layers, %.3f ms. Goal: each below 1.0 of a frame: %s\n",
                reference * 1e3, within ? "met" : "NOT met");
    return 0;
}
