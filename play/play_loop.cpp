#include "play/play_loop.h"

#include <algorithm>
#include <cmath>

#include "base/frame_clock.h"
#include "play/ball.h"
#include "play/effects.h"
#include "play/elevators.h"
#include "play/level.h"
#include "play/movers.h"
#include "play/pickups.h"
#include "play/random.h"
#include "play/spatial_index.h"
#include "platform/platform.h"
#include "base/files.h"
#include "base/language.h"
#include "base/settings.h"
#include "base/sound_ids.h"
#include "play/events.h"
#include "tiles/catalogue.h"

std::function<bool()> playIterationHook;

namespace {

constexpr double SequenceFrame = 0.1;       // steps between two frames of the death or victory sequence
constexpr double SequenceLength = 50;       // frames of the death or victory sequence...
constexpr double SequenceLimit = 100;       // ...or up to this many while explosions still run
constexpr double WarningSeconds = 5;
constexpr double KeysIgnoredSeconds = 1.0;  // Space and Tab do nothing at first: the key that started the level
constexpr double MaxTimeLimit = 5940;       // 99 minutes: the most the clock shows
constexpr double ExtraSeconds = 60;
constexpr double ZoomedOut = 0.5;
constexpr double VictoryZoom = 1.01;
constexpr double DeathZoom = 1.04;
constexpr double DeathExplosions = 10;      // explosions go off while deathCounter is below this

std::int32_t Toggled(std::int32_t flag) { return flag != 0 ? 0 : -1; }

bool Pressed(bool held, bool& latch) {
    const bool pressed = held && !latch;
    latch = held;
    return pressed;
}

void CentredMessage(const std::string& text) { AddMessage(CentreOnScreen, level.ball.y, text); }

void RunLevelClock() {
    if (level.winCounter != 0) return;
    attempt.elapsedTime = PlatformClock() - attempt.levelStartTime;
    const double remaining = level.timeLimit - attempt.elapsedTime;
    attempt.remainingTimeText = remaining >= 0 ? FormatTime(std::min(remaining, 1e9)) : "00:00";
    if (remaining > WarningSeconds) {
        attempt.timeWarningShown = 0;
    } else if (level.timeLimit > 0 && !attempt.timeWarningShown) {
        attempt.timeWarningShown = -1;
        CentredMessage(LanguageText[LineFiveSecondsLeft]);
        if (QuotesOn) EmitSound(SoundCountdown, 0);
    }
    if (level.timeLimit > 0 && !attempt.timeUpShown && attempt.elapsedTime > level.timeLimit) {
        CentredMessage(LanguageText[LineTimeUp]);
        attempt.timeUpShown = -1;
        if (level.deathCounter == 0 && !playRun.godMode) {
            level.deathCounter = 1;
            PlayEffect(SoundExplode);
            PlayEffect(SoundLose);
            PlayQuote(67, 76);
        }
    }
}

std::int32_t CountFlags() {
    std::int32_t flags = 0;
    for (const LevelObject& pickup : level.pickupLayer)
        if (Entry(WholeNumber(pickup.texture)).kind == KindFlag) ++flags;
    return flags;
}

void ApplyDifficulty() {
    switch (playRun.Difficulty) {
        case 1:
            level.bombCount = 4;
            level.timeLimit *= 16;
            break;
        case 2:
            level.bombCount = 1;
            level.timeLimit *= 4;
            break;
        case 3: level.timeLimit *= 2; break;
        default: break;
    }
}

bool SequenceOver(double counter) {
    return counter > SequenceLength && (level.explosionLayer.Empty() || counter > SequenceLimit);
}

}  // namespace

void BeginPlay() {
    attempt = PlayAttempt{};
    level.deathCounter = 0;
    level.winCounter = 0;
    level.bombCount = 0;
    attempt.timeLimitText = FormatTime(level.timeLimit > 0 ? std::min(level.timeLimit, 1e9) : 0);
    attempt.keptLevelZoom = level.levelZoom;
    attempt.playing = -1;
    attempt.flagsLeft = CountFlags();
    // A level with a switch starts with its elevators off; one without starts them moving.
    attempt.switchState = -1;
    for (const LevelObject& arrow : level.arrowLayer)
        if (arrow.param1 == 5) attempt.switchState = 0;
    ApplySwitch();
    PlatformShowPointer(false);
    attempt.restartAllowed = -1;
    attempt.levelStartTime = PlatformClock();
    PlayQuote(17, 26);
    CentredMessage(LanguageText[LineGoodLuck]);
    ApplyDifficulty();
    BackupLevel();

    attempt.remainingTimeText = attempt.timeLimitText;
    BuildSpatialIndex();
}

bool EndPlay() {
    PlatformShowPointer(true);
    attempt.playing = 0;
    level.explosionLayer.Clear();
    attempt.floatingTexts.Clear();
    DropPendingTexts();
    level.deathCounter = 0;
    const bool completed = level.winCounter != 0;
    level.winCounter = 0;
    attempt.targetZoom = 1.0;
    level.levelZoom = attempt.keptLevelZoom;
    attempt.flagsLeft = 1;
    attempt.flyingObjects.Clear();
    attempt.restartAllowed = 0;
    DropSpatialIndex();
    return completed;
}

void PlayLogicFrame() {
    RunLevelClock();
    UpdateMovers();
    UpdateElevators();
    UpdatePlayer();
}

bool PlayFrameEnds() {
    if (SequenceOver(level.winCounter)) return true;
    if (!SequenceOver(level.deathCounter)) return false;
    attempt.levelStartTime = PlatformClock();
    // A bonus level has one ball: it ends at the first loss, after the level is put back.
    return !RestartAfterDeath() || IsBonusLevel();
}

bool PlayUnseenFrame() {
    ++attempt.playIteration;
    attempt.playKey.clear();
    PlayLogicFrame();
    playEvents.Clear();
    StepEffects(frameStep);
    return PlayFrameEnds();
}

bool RestartAfterDeath() {
    if (!attempt.restartAllowed) return false;
    RestoreLevel();
    level.deathCounter = 0;
    level.winCounter = 0;
    attempt.timeUpShown = 0;
    attempt.targetZoom = 1.0;
    if (attempt.playing) BuildSpatialIndex();
    return true;
}

void UpdatePlayer() {
    if (level.deathCounter <= 0 && level.winCounter == 0) {
        ApplyFriction();
        if (level.deathCounter == 0) ReadControls();
        MoveBall();
        focusX = level.ball.x;
        focusY = level.ball.y;
    } else if (level.deathCounter <= 0) {
        attempt.animationClock += frameStep;
        if (attempt.animationClock > SequenceFrame) {
            level.winCounter += 1;
            level.levelZoom *= VictoryZoom;
            attempt.animationClock = 0;
        }
    } else {
        attempt.animationClock += frameStep;
        if (attempt.animationClock > SequenceFrame) {
            level.deathCounter += 1;
            if (level.deathCounter < DeathExplosions) {
                const double x = level.ball.x + RandomInt(-384, 0);
                const double y = level.ball.y + RandomInt(-384, 0);
                SpawnExplosion(x, y);
                SpawnExplosion(level.ball.x - 192, level.ball.y - 192);
            }
            level.levelZoom *= DeathZoom;
            attempt.animationClock = 0;
        }
    }
}

void ReadControls() {
    ControlKeys& keys = attempt.heldControls;
    attempt.controlsReadAt = attempt.playIteration;
    keys.minus = PlatformKeyHeld(ScanMinus);
    keys.enter = PlatformKeyHeld(ScanEnter);
    keys.down = PlatformKeyHeld(ScanDown);
    keys.left = PlatformKeyHeld(ScanLeft);
    keys.right = PlatformKeyHeld(ScanRight);
    keys.up = PlatformKeyHeld(ScanUp);
    keys.ctrl = PlatformKeyHeld(ScanCtrl);
    keys.scrollLock = PlatformKeyHeld(ScanScrollLock);
    keys.f12 = PlatformKeyHeld(ScanF12);
    keys.f11 = PlatformKeyHeld(ScanF11);
    keys.f10 = PlatformKeyHeld(ScanF10);
    keys.f9 = PlatformKeyHeld(ScanF9);
    keys.f8 = PlatformKeyHeld(ScanF8);
    keys.tab = PlatformKeyHeld(ScanTab);
    keys.space = PlatformKeyHeld(ScanSpace);

    attempt.targetZoom = keys.minus || keys.enter || playRun.autoZoom || playRun.Difficulty == 1 ? ZoomedOut : 1.0;
    if (keys.down) AccelerateY(BallDownAcceleration * frameStep);
    if (keys.left) AccelerateX(-BallSideAcceleration * frameStep);
    if (keys.right) AccelerateX(BallSideAcceleration * frameStep);
    if (keys.ctrl && playRun.cheatsOn) AccelerateY(-250 * frameStep);

    if (Pressed(keys.scrollLock, attempt.latches.scrollLock)) {
        if (!playRun.cheatsOn) {
            playRun.cheatsOn = -1;
            CentredMessage("CHEATS ON: F8 TO F12");
        } else {
            playRun.cheatsOn = playRun.showAll = playRun.autoZoom = playRun.godMode = 0;
            CentredMessage("CHEATS OFF");
        }
    }
    if (Pressed(keys.f12, attempt.latches.f12) && playRun.cheatsOn) {
        playRun.showAll = Toggled(playRun.showAll);
        CentredMessage(playRun.showAll ? "CHEAT: SHOW ALL ON" : "CHEAT: SHOW ALL OFF");
    }
    if (Pressed(keys.f11, attempt.latches.f11) && playRun.cheatsOn) {
        playRun.autoZoom = Toggled(playRun.autoZoom);
        CentredMessage(playRun.autoZoom ? "CHEAT: AUTOZOOM ON" : "CHEAT: AUTOZOOM OFF");
    }
    if (Pressed(keys.f10, attempt.latches.f10) && playRun.cheatsOn) {
        playRun.godMode = Toggled(playRun.godMode);
        CentredMessage(playRun.godMode ? "CHEAT: GOD MODE ON" : "CHEAT: GOD MODE OFF");
    }
    if (Pressed(keys.f9, attempt.latches.f9) && playRun.cheatsOn) {
        CentredMessage("CHEAT: EXTRA TIME");
        // A level without a time limit keeps having none.
        if (level.timeLimit > 0) {
            level.timeLimit = std::min(level.timeLimit + ExtraSeconds, MaxTimeLimit);
            attempt.levelStartTime = PlatformClock();
        }
    }
    if (Pressed(keys.f8, attempt.latches.f8) && playRun.cheatsOn) {
        CentredMessage("CHEAT: EXTRA BOMB");
        if (level.bombCount < 2147483647) ++level.bombCount;
    }
    if (Pressed(keys.tab, attempt.latches.tab) && attempt.elapsedTime > KeysIgnoredSeconds) playRun.hudVisible = Toggled(playRun.hudVisible);
    if (!keys.space) {
        attempt.latches.space = false;
    } else if (!attempt.latches.space && attempt.elapsedTime > KeysIgnoredSeconds) {
        attempt.latches.space = true;
        DropBomb();
    }
}
