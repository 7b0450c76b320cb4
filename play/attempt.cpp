#include "play/attempt.h"

#include <cmath>

#include "base/settings.h"
#include "play/events.h"
#include "play/random.h"
#include "tiles/catalogue.h"

PlayAttempt attempt;
PlayRun playRun;

void BackupLevel() {
    static std::uint64_t backupsTaken = 0;  // numbers every backup of the process apart
    levelBackup.generation = ++backupsTaken;
    for (int layer = 1; layer <= 8; ++layer) CopyLayer(LevelLayer(layer), levelBackup.layers[layer]);
    levelBackup.ball = level.ball;
    levelBackup.ballShadow = level.ballShadow;
    levelBackup.bombCount = level.bombCount;
    levelBackup.levelZoom = level.levelZoom;
    levelBackup.flagsLeft = attempt.flagsLeft;
    levelBackup.score = score;
    levelBackup.displayedScore = std::nearbyint(attempt.displayedScore);
    levelBackup.switchState = attempt.switchState;
}

void RestoreLevel() {
    for (int layer = 1; layer <= 8; ++layer) {
        CopyLayer(levelBackup.layers[layer], LevelLayer(layer));
        // Elevator speeds and the index must match the walls that are back before anything else reads them.
        if (layer == WallLayerNumber) BuildElevatorIndex();
    }
    level.explosionLayer.Clear();
    level.spareLayer.Clear();
    attempt.floatingTexts.Clear();
    DropPendingTexts();
    level.ball = levelBackup.ball;
    level.ballShadow = levelBackup.ballShadow;
    level.bombCount = levelBackup.bombCount;
    level.levelZoom = levelBackup.levelZoom;
    attempt.flagsLeft = levelBackup.flagsLeft;
    score = levelBackup.score;
    attempt.displayedScore = levelBackup.displayedScore;
    attempt.switchState = levelBackup.switchState;
}

void ApplySwitch() { SetElevatorSpeeds(attempt.switchState == -1); }

std::int32_t WholeNumber(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded == rounded)) return 0;
    if (rounded >= 2147483647.0) return 2147483647;
    if (rounded <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(rounded);
}

void AddMessage(double x, double y, const std::string& text) { EmitText(x, y, text, 255, 255, 255); }

void PlayEffect(std::int32_t id) {
    if (SoundOn) EmitSound(id, 0);
}

void PlayQuote(std::int32_t firstId, std::int32_t lastId) {
    const std::int32_t id = RandomInt(firstId, lastId);
    if (QuotesOn) EmitSound(id, -1);
}

void PlayQuoteSometimes(std::int32_t firstId, std::int32_t lastId) {
    if (RandomInt(1, 10) == 1) PlayQuote(firstId, lastId);
}

bool IsBonusLevel() { return Entry(WholeNumber(level.background.texture)).name == "bonusbackground"; }
