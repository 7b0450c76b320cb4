// Level files of every version (play/level_file.h), decoded as the game loads them: a file that decodes is
// installed as the live level. What decodes must also survive the writer: encoding it and decoding that again
// gives the same bytes once more.
#include "fuzz/fuzz_support.h"
#include "play/level.h"
#include "play/level_file.h"
#include "play/random.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Kept from input to input, as the game keeps them from level to level (their layers' storage is reused).
    static LevelData decoded, again;
    SeedRandom(1);
    if (!DecodeLevel(FuzzBytes(data, size), decoded)) return 0;
    FuzzCheck(decoded.version >= 0 && decoded.version <= NewestLevelFileVersion, "a decoded level has a known version");

    const std::string encoded = EncodeLevel(decoded);
    FuzzCheck(DecodeLevel(encoded, again), "an encoded level decodes");
    FuzzCheck(EncodeLevel(again) == encoded, "an encoded level decodes to the same level");

    InstallLevel(decoded);
    FuzzCheck(level.elevatorIndex.Count() <= level.wallLayer.Count(), "every listed elevator is a wall");
    return 0;
}
