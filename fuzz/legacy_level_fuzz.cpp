// Levels of the old text-screen game (play/legacy_import.h): any bytes imported on top of the empty level, as the
// loader does with a file that has no level-file header. Every field of a short file is optional.
#include "fuzz/fuzz_support.h"
#include "play/legacy_import.h"
#include "play/level.h"
#include "play/random.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SeedRandom(1);
    MakeBuiltInEmptyLevel();
    FuzzCheck(ImportLegacyBytes(FuzzBytes(data, size)) == -1, "the import always reports a level");
    // The field of 16 x 10 cells inside its ring of invisible walls (18 x 12 cells), and the lift, which may stand
    // anywhere.
    FuzzCheck(level.levelTitle.size() <= 255, "an imported title is at most 255 bytes");
    FuzzCheck(level.wallLayer.Count() >= 2 * 18 + 2 * 10 && level.wallLayer.Count() <= 18 * 12 + 1,
              "an imported level has its wall ring and no more walls than cells");
    return 0;
}
