#include "play/pickups.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "play/level.h"
#include "play/attempt.h"
#include "play/spatial_index.h"
#include "platform/platform.h"
#include "base/language.h"
#include "base/sound_ids.h"
#include "tiles/catalogue.h"

namespace {

// The first object of `layer` whose cell holds the ball's centre (edges included), or 0.
std::int32_t FirstUnderBall(std::int32_t layer) {
    static std::vector<std::int32_t> candidates;
    const double cx = level.ball.x + 64, cy = level.ball.y + 64;
    FindCandidates(layer, cx - 130, cx + 2, cy - 130, cy + 2, candidates);
    const Layer& objects = LevelLayer(layer);
    for (std::int32_t position : candidates) {
        const LevelObject& object = objects[position];
        if (object.x <= cx && cx <= object.x + 128 && object.y <= cy && cy <= object.y + 128) return position;
    }
    return 0;
}

std::int32_t KindOf(const LevelObject& object) { return Entry(WholeNumber(object.texture)).kind; }

std::string Digits(std::int64_t n) { return std::to_string(n < 0 ? -n : n); }

void RemindOfFlags() {
    const double now = PlatformClock();
    if (!(now - attempt.flagsReminderTime > FlagsReminderInterval)) return;
    PlayQuoteSometimes(57, 66);
    AddMessage(CentreOnScreen, level.ball.y, Digits(attempt.flagsLeft) + LanguageText[attempt.flagsLeft == 1 ? LineFlagLeft : LineFlagsLeft]);
    attempt.flagsReminderTime = now;
}

}  // namespace

void AddScore(std::int64_t points) {
    std::int64_t total = static_cast<std::int64_t>(score) + points;
    score = static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

void CheckPickups() {
    const std::int32_t position = FirstUnderBall(PickupLayerNumber);
    if (position == 0) return;
    const std::int32_t kind = KindOf(level.pickupLayer[position]);
    if (kind == KindBomb) {
        if (level.bombCount < INT32_MAX) ++level.bombCount;
        PlayEffect(SoundBomb);
        PlayQuoteSometimes(27, 36);
        AddMessage(level.ball.x, level.ball.y, std::string(1, static_cast<char>(179)));
        AddScore(BombPoints);
    } else if (kind == KindFlag) {
        --attempt.flagsLeft;
        PlayEffect(SoundFlag);
        AddMessage(level.ball.x, level.ball.y, std::string(1, static_cast<char>(178)));
        if (attempt.flagsLeft > 0) {
            PlayQuoteSometimes(77, 86);
        } else {
            AddMessage(CentreOnScreen, level.ball.y, LanguageText[LineAllFlagsCollected]);
            PlayQuote(7, 16);
        }
        AddScore(FlagPoints);
    }
    // Whatever its kind, a pickup under the ball is taken.
    level.pickupLayer.RemoveAt(position);
    SpatialIndexRemoved(PickupLayerNumber, position);
}

void CheckHazards() {
    if (attempt.carried) return;
    // Falling off the level loses the ball even in god mode.
    if (level.ball.y > level.levelBounds.maxY + FallDepth && level.deathCounter == 0) LoseBall();
    const std::int32_t position = FirstUnderBall(HazardLayerNumber);
    if (position == 0) return;
    const std::int32_t kind = KindOf(level.hazardLayer[position]);
    if (kind == KindTrap) {
        if (level.deathCounter != 0 || playRun.godMode) return;
        LoseBall();
    } else if (kind == KindExit) {
        if (level.deathCounter == 0 && attempt.flagsLeft == 0) ReachExit();
        else RemindOfFlags();
    }
}

void LoseBall() {
    AddMessage(CentreOnScreen, level.ball.y, LanguageText[LineBallLost]);
    level.deathCounter = 1;
    PlayEffect(SoundExplode);
    PlayEffect(SoundLose);
    PlayQuote(67, 76);
}

void ReachExit() {
    if (level.winCounter != 0) return;
    if (level.timeLimit > 0) {
        const double remaining = level.timeLimit - attempt.elapsedTime;
        const double rounded = std::nearbyint(PointsPerSecondLeft * remaining);
        const std::int64_t bonus =
            std::isnan(rounded) ? 0 : static_cast<std::int64_t>(std::clamp(rounded, -4e18, 4e18));
        if (remaining < 0) {
            // Over time (only god mode gets here): the same formula takes points away.
            AddMessage(level.ball.x, level.ball.y, LanguageText[LineTimePenalty]);
            AddMessage(level.ball.x, level.ball.y + 64, LanguageText[LineMinus] + Digits(bonus));
        } else {
            AddMessage(level.ball.x, level.ball.y, LanguageText[LineTimeBonus]);
            AddMessage(level.ball.x, level.ball.y + 64, Digits(bonus));
        }
        AddScore(bonus);
        if (score < 0) score = 0;
    }
    if (level.bombCount > 0) {
        AddMessage(level.ball.x, level.ball.y - 64, "BOMBS LEFT BONUS:" + Digits(level.bombCount));
        AddScore(static_cast<std::int64_t>(PointsPerBombLeft) * level.bombCount);
    }
    level.winCounter = 1;
    PlayEffect(SoundWin);
    PlayQuote(37, 46);
}
