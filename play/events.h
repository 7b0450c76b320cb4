// What the rules tell the rest of the game: sounds to play and texts to show. The rules only append to the list;
// after each logic frame the sound module plays the sounds and the heads-up display takes the texts
// (gfx/play_frame.h), and the list starts empty again. The rules never call sound or drawing themselves.
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"

enum class PlayEventKind : std::int32_t {
    Sound,          // `sound` once; on the quote channel when `quoteChannel` is set
    Bump,           // the ball hit a wall: the bump sound, loud by the speed across it
    Text,           // a floating text rising from the cell at (x, y), or centred on the screen
};

struct PlayEvent {
    PlayEventKind kind = PlayEventKind::Sound;
    std::int32_t sound = 0;             // Sound: the sound id
    std::int32_t quoteChannel = 0;      // Sound: non-zero for the quote channel
    std::int32_t horizontal = 0;        // Bump: -1 for a side wall, 0 for a floor or ceiling
    double x = 0, y = 0;                // Bump: the ball's velocity; Text: the cell's corner (x CentreOnScreen: centred)
    float red = 255, green = 255, blue = 255;   // Text
    std::string text;                   // Text
};

// The events of the frame so far, in the order the rules raised them.
extern List<PlayEvent> playEvents;

void EmitSound(std::int32_t id, std::int32_t quoteChannel);
void EmitBump(std::int32_t horizontal, double velocityX, double velocityY);
void EmitText(double x, double y, const std::string& text, float red, float green, float blue);
// Forgets the texts not yet shown (the level they belonged to was put back); sounds stay.
void DropPendingTexts();
