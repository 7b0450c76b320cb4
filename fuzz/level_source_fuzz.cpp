// Level sources (play/level_source.h), the text that `kolbrix-tool build` turns into level files. A source that
// reads must come back from the writer (`kolbrix-tool dump --source`) as a source that reads to the same level; one
// that does not read says why.
#include "fuzz/fuzz_support.h"
#include "play/level.h"
#include "play/level_file.h"
#include "play/level_source.h"
#include "play/random.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(true);
    return 0;
}

namespace {

std::string Encoded(const std::string& music) {
    LevelData data = TakeLevel();
    data.musicTrack = music;
    return EncodeLevel(data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SeedRandom(1);
    std::string music, error;
    List<LevelHints> hints;
    if (!ReadLevelSource(FuzzBytes(data, size), music, hints, error)) {
        FuzzCheck(!error.empty(), "a source that does not read says why");
        return 0;
    }
    const std::string encoded = Encoded(music);
    const std::string source = WriteLevelSource(music, hints);

    std::string musicAgain, errorAgain;
    List<LevelHints> hintsAgain;
    FuzzCheck(ReadLevelSource(source, musicAgain, hintsAgain, errorAgain), "a written source reads back",
              errorAgain + "\n" + source);
    FuzzCheck(musicAgain == music && Encoded(musicAgain) == encoded, "a written source reads back to the same level",
              source);
    return 0;
}
