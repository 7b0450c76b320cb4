#include "shell/play_screen.h"

#include "gfx/play_frame.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "sound/sound.h"

namespace {
const char* const EscapeKey = "\x1B";
const char* const CloseKey = "\xFF" "k";

struct PlayScreenRun {                  // one PlayLevel; reset as it starts
    std::int32_t ballsLost = 0;
    bool dying = false;                 // a death sequence runs
} screen;
}  // namespace

std::int32_t BallsLostInPlay() { return screen.ballsLost; }

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
    screen = PlayScreenRun{};
    BeginPlay();
    for (;;) {
        ++attempt.playIteration;
        attempt.playKey.clear();
        PlayLogicFrame();
        const bool dying = level.deathCounter != 0;
        if (dying && !screen.dying) ++screen.ballsLost;
        screen.dying = dying;
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
