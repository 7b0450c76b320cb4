// The heads-up display drawn over the board during play: the floating messages, the flag and bomb counters, the
// remaining time and the level's hint. It also counts the displayed score up towards the score.
#pragma once

#include <cstdint>

// The light yellow of the counters and the time.
constexpr std::uint8_t HudRed = 255, HudGreen = 255, HudBlue = 128;

// Everything, in order: floating texts, then (when hudVisible) the counters, the score and the time, then the hint
// box. cameraX, cameraY: the camera in use, in whole pixels.
void DrawHud(std::int32_t cameraX, std::int32_t cameraY);

// The steps of DrawHud.
// Every floating text ages by frameStep and rises; after 12 frames it rises twice as fast and fades out, and it is
// removed once its age reaches 24.75 frames. A text at x = CentreOnScreen is centred across the screen.
void DrawFloatingTexts(std::int32_t cameraX, std::int32_t cameraY);
// flagsLeft and bombCount with their symbols.
void DrawHudCounters();
// The displayed score counts up towards the score, faster the further behind it is, and never passes it.
void EaseDisplayedScore();
// The remaining time of a level with a time limit, red once the five-second warning is up.
void DrawRemainingTime();
// The hint lines in a grey box at the bottom of the screen, blinking for the first two seconds of the level.
void DrawHintBox();
