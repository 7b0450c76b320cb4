#include "play/play_loop.h"

#include <algorithm>
#include <cmath>

#include "gfx/display.h"
#include "play/ball.h"
#include "play/elevators.h"
#include "play/level.h"
#include "play/movers.h"
#include "play/pickups.h"
#include "play/random.h"
#include "play/spatial_index.h"
#include "platform/platform.h"
#include "shell/files.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"

double levelStartTime = 0;
double elapsedTime = 0;
std::string remainingTimeText;
std::string timeLimitText;
std::int32_t timeWarningShown = 0;
std::int32_t timeUpShown = 0;
std::int32_t playing = 0;
std::int32_t restartAllowed = 0;
double animationClock = 0;
double targetZoom = 1.0;

std::int32_t cheatsOn = 0, showAll = 0, autoZoom = 0, godMode = 0;
std::int32_t hudVisible = -1;
std::int32_t Difficulty = 0;

ControlKeys heldControls;
std::int64_t controlsReadAt = 0;

std::function<bool()> playIterationHook;
std::int64_t playIteration = 0;
std::string playKey;

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

const char* const EscapeKey = "\x1B";
const char* const CloseKey = "\xFF" "k";

// One latch per key that acts when pressed: set while the key is held, cleared when it is let go.
struct KeyLatches {
    bool scrollLock = false, f8 = false, f9 = false, f10 = false, f11 = false, f12 = false, tab = false;
    bool space = false;     // set only when a bomb is dropped, so a Space held from the start drops one later
};
KeyLatches latches;         // for one attempt

double keptLevelZoom = 0.5; // for one attempt: the zoom put back at the end

std::int32_t Toggled(std::int32_t flag) { return flag != 0 ? 0 : -1; }

bool Pressed(bool held, bool& latch) {
    const bool pressed = held && !latch;
    latch = held;
    return pressed;
}

void CentredMessage(const std::string& text) { AddMessage(CentreOnScreen, ball.y, text); }

void RunLevelClock() {
    if (winCounter != 0) return;
    elapsedTime = PlatformClock() - levelStartTime;
    const double remaining = timeLimit - elapsedTime;
    remainingTimeText = remaining >= 0 ? FormatTime(std::min(remaining, 1e9)) : "00:00";
    if (remaining > WarningSeconds) {
        timeWarningShown = 0;
    } else if (timeLimit > 0 && !timeWarningShown) {
        timeWarningShown = -1;
        CentredMessage(LanguageText[241]);
        if (QuotesOn) PlaySound(SoundCountdown, 0);
    }
    if (timeLimit > 0 && !timeUpShown && elapsedTime > timeLimit) {
        CentredMessage(LanguageText[92]);
        timeUpShown = -1;
        if (deathCounter == 0 && !godMode) {
            deathCounter = 1;
            PlayEffect(SoundExplode);
            PlayEffect(SoundLose);
            PlayQuote(67, 76);
        }
    }
}

std::int32_t CountFlags() {
    std::int32_t flags = 0;
    for (const LevelObject& pickup : pickupLayer)
        if (Entry(WholeNumber(pickup.texture)).kind == KindFlag) ++flags;
    return flags;
}

void ApplyDifficulty() {
    switch (Difficulty) {
        case 1:
            bombCount = 4;
            timeLimit *= 16;
            break;
        case 2:
            bombCount = 1;
            timeLimit *= 4;
            break;
        case 3: timeLimit *= 2; break;
        default: break;
    }
}

bool SequenceOver(double counter) {
    return counter > SequenceLength && (explosionLayer.Empty() || counter > SequenceLimit);
}

}  // namespace

void BeginPlay() {
    deathCounter = 0;
    winCounter = 0;
    bombCount = 0;
    restartAllowed = 0;
    timeLimitText = FormatTime(timeLimit > 0 ? std::min(timeLimit, 1e9) : 0);
    keptLevelZoom = levelZoom;
    playing = -1;
    flagsLeft = CountFlags();
    // A level with a switch starts with its elevators off; one without starts them moving.
    switchState = -1;
    for (const LevelObject& arrow : arrowLayer)
        if (arrow.param1 == 5) switchState = 0;
    ApplySwitch();
    PlatformShowPointer(false);
    restartAllowed = -1;
    levelStartTime = PlatformClock();
    PlayQuote(17, 26);
    CentredMessage(LanguageText[91]);
    targetZoom = 1.0;
    ApplyDifficulty();
    BackupLevel();

    elapsedTime = 0;
    remainingTimeText = timeLimitText;
    timeWarningShown = 0;
    timeUpShown = 0;
    animationClock = 0;
    latches = KeyLatches{};
    switchLatch = 0;
    forceCode = 0;
    carried = 0;
    ballRolling = 0;
    playIteration = 0;
    controlsReadAt = 0;
    playKey.clear();
    BuildSpatialIndex();
}

bool EndPlay() {
    PlatformShowPointer(true);
    playing = 0;
    explosionLayer.Clear();
    floatingTexts.Clear();
    deathCounter = 0;
    const bool completed = winCounter != 0;
    winCounter = 0;
    targetZoom = 1.0;
    levelZoom = keptLevelZoom;
    flagsLeft = 1;
    flyingObjects.Clear();
    restartAllowed = 0;
    DropSpatialIndex();
    return completed;
}

std::int32_t WholeNumber(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded == rounded)) return 0;
    if (rounded >= 2147483647.0) return 2147483647;
    if (rounded <= -2147483648.0) return -2147483647 - 1;
    return static_cast<std::int32_t>(rounded);
}

void AddFloatingText(double x, double y, const std::string& text, float red, float green, float blue) {
    FloatingText floating;
    if (x == CentreOnScreen) {
        floating.x = CentreOnScreen;
        floating.y = ActiveHeight / 2.0;
    } else {
        // Centred over the 128-unit cell at 35 units per character.
        floating.x = x + 64 - static_cast<double>(text.size()) * 35 / 2;
        floating.y = y + 35;
    }
    floating.red = red;
    floating.green = green;
    floating.blue = blue;
    floating.age = 0;
    floating.text = text;
    floatingTexts.Add(floating);
}

void AddMessage(double x, double y, const std::string& text) { AddFloatingText(x, y, text, 255, 255, 255); }

void PlayEffect(std::int32_t id) {
    if (SoundOn) PlaySound(id, 0);
}

void PlayQuote(std::int32_t firstId, std::int32_t lastId) {
    const std::int32_t id = RandomInt(firstId, lastId);
    if (QuotesOn) PlaySound(id, -1);
}

void PlayQuoteSometimes(std::int32_t firstId, std::int32_t lastId) {
    if (RandomInt(1, 10) == 1) PlayQuote(firstId, lastId);
}

bool IsBonusLevel() { return Entry(WholeNumber(background.texture)).name == "bonusbackground"; }

void PlayLogicFrame() {
    RunLevelClock();
    UpdateMovers();
    UpdateElevators();
    UpdatePlayer();
}

bool PlayLevel() {
    BeginPlay();
    for (;;) {
        ++playIteration;
        playKey.clear();
        bool leave = false;
        PlayLogicFrame();
        DrawFrame();
        if (SequenceOver(winCounter)) {
            leave = true;
        } else if (SequenceOver(deathCounter)) {
            levelStartTime = PlatformClock();
            // A bonus level has one ball: it ends at the first loss, after the level is put back.
            if (!RestartAfterDeath() || IsBonusLevel()) leave = true;
        }
        if (!leave) {
            playKey = PlatformReadKey();
            if (playKey == "m" || playKey == "M") ToggleMusic();
            if (playKey == CloseKey) playKey = EscapeKey;
            leave = playKey == EscapeKey;
        }
        if (playIterationHook && playIterationHook()) leave = true;
        if (leave) break;
    }
    return EndPlay();
}

bool RestartAfterDeath() {
    if (!restartAllowed) return false;
    RestoreLevel();
    deathCounter = 0;
    winCounter = 0;
    timeUpShown = 0;
    targetZoom = 1.0;
    if (playing) BuildSpatialIndex();
    return true;
}

void UpdatePlayer() {
    if (deathCounter <= 0 && winCounter == 0) {
        ApplyFriction();
        if (deathCounter == 0) ReadControls();
        MoveBall();
        focusX = ball.x;
        focusY = ball.y;
    } else if (deathCounter <= 0) {
        animationClock += frameStep;
        if (animationClock > SequenceFrame) {
            winCounter += 1;
            levelZoom *= VictoryZoom;
            animationClock = 0;
        }
    } else {
        animationClock += frameStep;
        if (animationClock > SequenceFrame) {
            deathCounter += 1;
            if (deathCounter < DeathExplosions) {
                const double x = ball.x + RandomInt(-384, 0);
                const double y = ball.y + RandomInt(-384, 0);
                SpawnExplosion(x, y);
                SpawnExplosion(ball.x - 192, ball.y - 192);
            }
            levelZoom *= DeathZoom;
            animationClock = 0;
        }
    }
}

void ReadControls() {
    ControlKeys& keys = heldControls;
    controlsReadAt = playIteration;
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

    targetZoom = keys.minus || keys.enter || autoZoom || Difficulty == 1 ? ZoomedOut : 1.0;
    if (keys.down) AccelerateY(BallDownAcceleration * frameStep);
    if (keys.left) AccelerateX(-BallSideAcceleration * frameStep);
    if (keys.right) AccelerateX(BallSideAcceleration * frameStep);
    if (keys.ctrl && cheatsOn) AccelerateY(-250 * frameStep);

    if (Pressed(keys.scrollLock, latches.scrollLock)) {
        if (!cheatsOn) {
            cheatsOn = -1;
            CentredMessage("CHEATS ON: F8 TO F12");
        } else {
            cheatsOn = showAll = autoZoom = godMode = 0;
            CentredMessage("CHEATS OFF");
        }
    }
    if (Pressed(keys.f12, latches.f12) && cheatsOn) {
        showAll = Toggled(showAll);
        CentredMessage(showAll ? "CHEAT: SHOW ALL ON" : "CHEAT: SHOW ALL OFF");
    }
    if (Pressed(keys.f11, latches.f11) && cheatsOn) {
        autoZoom = Toggled(autoZoom);
        CentredMessage(autoZoom ? "CHEAT: AUTOZOOM ON" : "CHEAT: AUTOZOOM OFF");
    }
    if (Pressed(keys.f10, latches.f10) && cheatsOn) {
        godMode = Toggled(godMode);
        CentredMessage(godMode ? "CHEAT: GOD MODE ON" : "CHEAT: GOD MODE OFF");
    }
    if (Pressed(keys.f9, latches.f9) && cheatsOn) {
        CentredMessage("CHEAT: EXTRA TIME");
        // A level without a time limit keeps having none.
        if (timeLimit > 0) {
            timeLimit = std::min(timeLimit + ExtraSeconds, MaxTimeLimit);
            levelStartTime = PlatformClock();
        }
    }
    if (Pressed(keys.f8, latches.f8) && cheatsOn) {
        CentredMessage("CHEAT: EXTRA BOMB");
        if (bombCount < 2147483647) ++bombCount;
    }
    if (Pressed(keys.tab, latches.tab) && elapsedTime > KeysIgnoredSeconds) hudVisible = Toggled(hudVisible);
    if (!keys.space) {
        latches.space = false;
    } else if (!latches.space && elapsedTime > KeysIgnoredSeconds) {
        latches.space = true;
        DropBomb();
    }
}
