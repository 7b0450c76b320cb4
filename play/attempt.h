// The state of one attempt at a level and of the run around it, with the small helpers the rules share: the
// records the play loop (play/play_loop.h) drives and a snapshot of play (play/snapshot.h) copies.
#pragma once

#include <cstdint>
#include <string>

#include "play/level.h"

// Floating texts with this x are drawn centred on the screen; any other x is a world position.
constexpr double CentreOnScreen = 19771013;

// Set-1 scan codes of the keys play reads as held.
enum PlayScanCode : int {
    ScanMinus = 12,
    ScanTab = 15,
    ScanEnter = 28,
    ScanCtrl = 29,
    ScanSpace = 57,
    ScanF8 = 66,
    ScanF9 = 67,
    ScanF10 = 68,
    ScanScrollLock = 70,
    ScanUp = 72,
    ScanLeft = 75,
    ScanRight = 77,
    ScanDown = 80,
    ScanF11 = 87,
    ScanF12 = 88,
};

// The keys as the controls read them in the current frame (tools record them).
struct ControlKeys {
    bool minus = false, enter = false, down = false, left = false, right = false, up = false, ctrl = false;
    bool scrollLock = false, f8 = false, f9 = false, f10 = false, f11 = false, f12 = false, tab = false;
    bool space = false;
};

// One latch per key that acts when pressed: set while the key is held, cleared when it is let go.
struct KeyLatches {
    bool scrollLock = false, f8 = false, f9 = false, f10 = false, f11 = false, f12 = false, tab = false;
    bool space = false;     // set only when a bomb is dropped, so a Space held from the start drops one later
};

// ---- One attempt at a level: wiped at the start of every play (BeginPlay) --------------------------------------
struct PlayAttempt {
    double levelStartTime = 0;          // clock reading when the level clock started (again after a death)
    double elapsedTime = 0;             // seconds since levelStartTime; frozen once the exit is reached
    std::string remainingTimeText;      // shown by the heads-up display
    std::string timeLimitText;
    std::int32_t timeWarningShown = 0;  // the five-second warning is up (the heads-up display shows the time in red)
    std::int32_t timeUpShown = 0;
    std::int32_t playing = 0;           // -1 from the start to the end of PlayLevel; the view eases only meanwhile
    std::int32_t restartAllowed = 0;
    double animationClock = 0;          // steps towards the next frame of the death or victory sequence
    double targetZoom = 1.0;            // the camera zoom the board drawing eases towards
    double displayedScore = 0;          // the score as the heads-up display counts it up
    std::int32_t flagsLeft = 0;         // flags still to collect (1 outside play, so nothing counts as finished)
    std::int32_t switchState = -1;      // -1 on, 0 off
    std::int32_t switchLatch = 0;       // the ball was on the switch cell in the previous frame
    std::int32_t carried = 0;           // the ball rides a platform
    std::int32_t forceCode = 0;         // arrow code under the ball this frame, 0 = none
    std::int32_t ballRolling = 0;       // the ball rolls sideways (its frames run)
    List<LevelObject> flyingObjects;    // platforms blown away by a bomb
    List<FloatingText> floatingTexts;   // emptied on restore and when play ends
    ControlKeys heldControls;           // the keys as the controls read them in the current frame
    std::int64_t controlsReadAt = 0;    // the playIteration in which the controls last read the keys
    std::int64_t playIteration = 0;     // iterations of the running PlayLevel so far, counted from 1
    std::string playKey;                // the key play acted on in this iteration (TakePlayKey; "" for none)
    KeyLatches latches;                 // the keys that act when pressed
    double keptLevelZoom = 0.5;         // the level's own zoom, put back when play ends
    double flagsReminderTime = 0;       // clock reading of the last "flags left" reminder at an exit; 0 for none
};
extern PlayAttempt attempt;

// ---- The run: never wiped; cheats stay on from level to level until Scroll Lock switches them off -------------
struct PlayRun {
    std::int32_t cheatsOn = 0, showAll = 0, autoZoom = 0, godMode = 0;
    std::int32_t hudVisible = -1;       // heads-up display shown; Tab toggles it, never saved
    std::int32_t Difficulty = 0;        // chosen before a pack is started: 1 easiest ... 4; 0 = as the level says
};
extern PlayRun playRun;

// ---- The restart point ------------------------------------------------------------------------------------------
// Taken once when play starts: layers 1 to 8, ball, shadow, bombs, zoom, flags, score and the switch (levelBackup,
// play/level.h); put back after every death.
void BackupLevel();
void RestoreLevel();

// ---- Helpers of the rules ---------------------------------------------------------------------------------------
// Every elevator up at ElevatorSpeed when switchState is -1, stopped otherwise.
void ApplySwitch();
// A white message rising from the cell whose corner is (x, y), or centred on the screen when x is CentreOnScreen
// (a text event for the heads-up display).
void AddMessage(double x, double y, const std::string& text);

// Sounds of play, as events (play/events.h): effects only with SoundOn, quotes (on the quote channel) and the countdown only with QuotesOn.
// The random numbers that choose a quote are drawn whatever the switches say, so a run plays the same with the
// sound off.
void PlayEffect(std::int32_t id);
void PlayQuote(std::int32_t firstId, std::int32_t lastId);
// One time in ten.
void PlayQuoteSometimes(std::int32_t firstId, std::int32_t lastId);

// A level whose background texture is "bonusbackground" ends at its first lost ball.
bool IsBonusLevel();

// Rounds to the nearest whole number, halves to even, kept inside the 32-bit range (0 for a value that is not a
// number), so that values from damaged files never overflow.
std::int32_t WholeNumber(double value);
