// The game's entry: the real window, sound and clock. It stands on the top floor, where both the main menu and the
// editor it opens are in sight.
#include "editor/editor.h"
#include "platform/platform.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Sdl, argc, argv);
    InstallEditor();
    int code = KolbrixMain(argc, argv);
    PlatformExit(code);
}
