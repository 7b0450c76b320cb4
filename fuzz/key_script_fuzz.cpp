// Key scripts: the input scripts of `kolbrix-tool play` (shell/replay.h) and the game scripts of `kolbrix-tool game`
// (shell/game_script.h), both from the same text. A script that does not read says why; an input script comes back
// from its writer unchanged; a game script drives the headless keys and pointer through its segments.
#include "fuzz/fuzz_support.h"
#include "platform/headless.h"
#include "shell/game_script.h"
#include "shell/replay.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

namespace {

void CheckInputScript(const std::string& text) {
    List<InputSegment> script;
    std::string error;
    if (!ParseInputScript(text, script, error)) {
        FuzzCheck(!error.empty(), "an input script that does not read says why");
        return;
    }
    const std::string written = FormatInputScript(script);
    List<InputSegment> again;
    FuzzCheck(ParseInputScript(written, again, error), "a written input script reads back", error);
    FuzzCheck(FormatInputScript(again) == written, "a written input script reads back the same", written);
}

void CheckGameScript(const std::string& text) {
    List<GameSegment> script;
    std::string error;
    if (!ParseGameScript(text, script, error)) {
        FuzzCheck(!error.empty(), "a game script that does not read says why");
        return;
    }
    // The first frames one by one, then the first frame of every segment, as a run would reach them.
    GameScriptDriver driver;
    driver.script = &script;
    for (std::int64_t frame = 0; frame <= 64; ++frame) DriveGameScript(driver, frame);
    std::int64_t start = 1;
    for (const GameSegment& segment : script) {
        FuzzCheck(segment.frames >= 1, "a segment lasts at least one frame");
        DriveGameScript(driver, start);
        start += segment.frames;
    }
    DriveGameScript(driver, start);
    Headless.keys.clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = FuzzBytes(data, size);
    CheckInputScript(text);
    CheckGameScript(text);
    return 0;
}
