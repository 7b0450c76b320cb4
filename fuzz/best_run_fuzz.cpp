// Best runs ("<player>.NNN.kbr", shell/best_runs.h): a player's won run, its result and its keys. A file that is not
// a whole best run gives an error and never a crash; one that reads is written again to the same bytes, and the
// game's own check of a best run (LoadBestRun, from its path, as the level screen reads it) says what it is.
#include "fuzz/fuzz_support.h"
#include "shell/best_runs.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = FuzzBytes(data, size);
    BestRun run;
    std::string error;
    const bool read = DecodeBestRun(bytes, run, error);
    FuzzCheck(read == error.empty(), "a best run that does not read says why, one that reads says nothing");
    if (read) {
        FuzzCheck(EncodeBestRun(run) == bytes, "a best run is written again as it was read");
        std::int64_t frames = 0;
        for (const InputSegment& segment : run.inputs) {
            FuzzCheck(segment.frames >= 1, "every key segment lasts a frame at least");
            frames += segment.frames;
        }
        FuzzCheck(frames <= MaxBestRunFrames && run.frames <= MaxBestRunFrames, "a run's frames are bounded");
        // The script a best run becomes reads back to the same keys.
        List<InputSegment> script;
        FuzzCheck(ParseInputScript(FormatInputScript(run.inputs), script, error), "its key script reads", error);
    }
    FuzzWriteFile("fuzz.001.kbr", bytes);
    const LoadedBestRun loaded = LoadBestRun(FuzzFolder() + "fuzz.001.kbr", FuzzFolder() + "001.kbx");
    FuzzCheck((loaded.state == BestRunState::Unreadable) == !read, "the level screen's check reads it alike");
    return 0;
}
