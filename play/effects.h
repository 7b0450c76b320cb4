// Explosions and floating texts run their course frame by frame: an explosion plays its frames once and is gone,
// a floating text rises, fades and is gone. This step of the rules runs once per presented frame in play, with
// that frame's step, before the board is drawn; drawing only shows what it left.
#pragma once

#include "play/level.h"

// Floating texts rise slowly for 12 steps, then twice as fast while fading by 20 alpha per step.
constexpr double FloatingTextSlowRiseSteps = 12;

void StepEffects(double step);
// The explosion layer's part: every explosion advances by `step` frames; one that wraps has played and is removed.
void StepExplosions(double step);
// The floating texts' part: they age, rise, and are removed once faded out.
void StepFloatingTexts(double step);
// How opaque a floating text of this age is (0 to 255; not above 0 once it has faded out).
double FloatingTextAlpha(const FloatingText& text);
