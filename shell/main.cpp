// The game's entry: the real window, sound and clock.
#include "platform/platform.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Sdl, argc, argv);
    int code = KolbrixMain(argc, argv);
    PlatformExit(code);
}
