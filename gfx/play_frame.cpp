#include "gfx/play_frame.h"

#include "gfx/display.h"
#include "gfx/hud.h"
#include "play/events.h"
#include "sound/sound.h"

void ConsumePlayEvents() {
    PlayQueuedSounds();
    ShowPlayTexts();
    playEvents.Clear();
}

void PresentPlayFrame() {
    ConsumePlayEvents();
    DrawFrame();
}
