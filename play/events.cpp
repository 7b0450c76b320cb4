#include "play/events.h"

List<PlayEvent> playEvents;

void EmitSound(std::int32_t id, std::int32_t quoteChannel) {
    PlayEvent event;
    event.kind = PlayEventKind::Sound;
    event.sound = id;
    event.quoteChannel = quoteChannel;
    playEvents.Add(event);
}

void EmitBump(std::int32_t horizontal, double velocityX, double velocityY) {
    PlayEvent event;
    event.kind = PlayEventKind::Bump;
    event.horizontal = horizontal;
    event.x = velocityX;
    event.y = velocityY;
    playEvents.Add(event);
}

void EmitText(double x, double y, const std::string& text, float red, float green, float blue) {
    PlayEvent event;
    event.kind = PlayEventKind::Text;
    event.x = x;
    event.y = y;
    event.text = text;
    event.red = red;
    event.green = green;
    event.blue = blue;
    playEvents.Add(event);
}

void DropPendingTexts() {
    List<PlayEvent> kept;
    for (const PlayEvent& event : playEvents)
        if (event.kind != PlayEventKind::Text) kept.Add(event);
    playEvents = std::move(kept);
}
