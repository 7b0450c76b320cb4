// "settings.dat" (shell/settings.h): the loader reads only from its path, so every input is written there first.
// Whatever the file holds, the run gets usable settings: a language file name of 1 to 255 bytes and the active
// display values taken from the loaded ones.
#include "fuzz/fuzz_support.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSetUp(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzWriteFile("settings.dat", FuzzBytes(data, size));
    LoadSettings();
    FuzzCheck(FirstRun == 0, "a settings file that is there is no first run");
    FuzzCheck(!LanguageFile.empty() && LanguageFile.size() <= 255, "the language file name has 1 to 255 bytes");
    FuzzCheck(ActiveWidth == ScreenWidth && ActiveHeight == ScreenHeight && ActiveFullscreen == Fullscreen,
              "the active display values are the loaded ones");
    return 0;
}
