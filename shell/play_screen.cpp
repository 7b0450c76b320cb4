#include "shell/play_screen.h"

#include "gfx/play_frame.h"
#include "platform/platform.h"
#include "play/play_loop.h"
#include "sound/sound.h"

namespace {
const char* const EscapeKey = "\x1B";
const char* const CloseKey = "\xFF" "k";
}  // namespace

std::string TakePlayKey() {
    for (;;) {
        std::string key = PlatformReadKey();
        if (key.empty()) return key;
        if (key == CloseKey) return EscapeKey;
        if (key == EscapeKey) return key;
        if (key == "m" || key == "M") {
            ToggleMusic();
            return key;
        }
    }
}

bool PlayLevel() {
    BeginPlay();
    for (;;) {
        ++attempt.playIteration;
        attempt.playKey.clear();
        PlayLogicFrame();
        PresentPlayFrame();
        bool leave = PlayFrameEnds();
        if (!leave) {
            attempt.playKey = TakePlayKey();
            leave = attempt.playKey == EscapeKey;
        }
        if (playIterationHook && playIterationHook()) leave = true;
        if (leave) break;
    }
    return EndPlay();
}
