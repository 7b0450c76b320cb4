#include "play/effects.h"

#include "play/attempt.h"
#include "tiles/animation.h"
#include "tiles/catalogue.h"

namespace {

constexpr double SlowRise = 4;
constexpr double FastRise = 8;
constexpr double FadePerStep = 20;

std::int32_t TextureIndex(double texture) {
    if (!(texture >= 0) || texture > 2147483647.0) return 0;
    return static_cast<std::int32_t>(texture);
}

// Hidden helpers ("Blank" in the name) stand still unless the show-all cheat is on, as they are not drawn.
bool Hidden(const TextureEntry& entry) { return playRun.showAll == 0 && entry.name.find("Blank") != std::string::npos; }

}  // namespace

void StepEffects(double step) {
    StepExplosions(step);
    StepFloatingTexts(step);
}

void StepExplosions(double step) {
    // The count is read again every time: explosions that have played are removed on the way.
    for (std::int32_t i = 1; i <= level.explosionLayer.Count();) {
        LevelObject& object = level.explosionLayer[i];
        const TextureEntry& entry = Entry(TextureIndex(object.texture));
        // A tiling texture runs on its shared frame; a single image of another kind has nothing to run through.
        const bool tiling = entry.repeat == -1;
        const bool single = !tiling && entry.lastFrame <= entry.firstFrame && entry.kind != KindExplosion;
        if (Hidden(entry) || tiling || single) {
            ++i;
            continue;
        }
        const double next = AdvanceFrame(entry.firstFrame, entry.lastFrame, object.frame, step);
        if (entry.kind == KindExplosion && next < object.frame) {
            level.explosionLayer.RemoveAt(i);
            continue;
        }
        object.frame = next;
        ++i;
    }
}

double FloatingTextAlpha(const FloatingText& text) {
    if (text.age > FloatingTextSlowRiseSteps)
        return 255 - (FadePerStep * text.age - FadePerStep * FloatingTextSlowRiseSteps);
    return 255;
}

void StepFloatingTexts(double step) {
    for (std::int32_t i = 1; i <= attempt.floatingTexts.Count();) {
        FloatingText& text = attempt.floatingTexts[i];
        text.age += step;
        text.y -= (text.age > FloatingTextSlowRiseSteps ? FastRise : SlowRise) * step;
        if (!(FloatingTextAlpha(text) > 0)) {
            attempt.floatingTexts.RemoveAt(i);
            continue;
        }
        ++i;
    }
}
