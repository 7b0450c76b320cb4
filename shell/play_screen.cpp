#include "shell/play_screen.h"

#include "gfx/play_frame.h"
#include "platform/platform.h"
#include "play/play_loop.h"
#include "sound/sound.h"

namespace {
const char* const EscapeKey = "\x1B";
const char* const CloseKey = "\xFF" "k";
}  // namespace

bool PlayLevel() {
    BeginPlay();
    for (;;) {
        ++attempt.playIteration;
        attempt.playKey.clear();
        PlayLogicFrame();
        PresentPlayFrame();
        bool leave = PlayFrameEnds();
        if (!leave) {
            attempt.playKey = PlatformReadKey();
            if (attempt.playKey == "m" || attempt.playKey == "M") ToggleMusic();
            if (attempt.playKey == CloseKey) attempt.playKey = EscapeKey;
            leave = attempt.playKey == EscapeKey;
        }
        if (playIterationHook && playIterationHook()) leave = true;
        if (leave) break;
    }
    return EndPlay();
}
