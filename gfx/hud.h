// The heads-up display drawn over the board during play: the floating messages, the flag and bomb counters, the
// remaining time and the level's hint. It also counts the displayed score up towards the score.
#pragma once

#include <cstdint>
#include <string>

// The light yellow of the counters and the time.
constexpr std::uint8_t HudRed = 255, HudGreen = 255, HudBlue = 128;

// Everything, in order: floating texts, then (when hudVisible) the counters, the score and the time, then the hint
// box. cameraX, cameraY: the camera in use, in whole pixels.
void DrawHud(std::int32_t cameraX, std::int32_t cameraY);

// A message rising from the cell whose corner is (x, y), or centred on the screen when x is CentreOnScreen: a new
// entry of floatingTexts, placed for the screen in use.
void AddFloatingText(double x, double y, const std::string& text, float red, float green, float blue);
// Takes the texts that the rules raised in this frame (play/events.h) onto the screen.
void ShowPlayTexts();

// The steps of DrawHud.
// Every floating text where its age has brought it (play/effects.h), faded by its age. A text at x =
// CentreOnScreen is centred across the screen.
void DrawFloatingTexts(std::int32_t cameraX, std::int32_t cameraY);
// flagsLeft and bombCount with their symbols.
void DrawHudCounters();
// The displayed score counts up towards the score, faster the further behind it is, and never passes it.
void EaseDisplayedScore();
// The remaining time of a level with a time limit, red once the five-second warning is up.
void DrawRemainingTime();
// The hint lines in a grey box at the bottom of the screen, blinking for the first two seconds of the level.
void DrawHintBox();
