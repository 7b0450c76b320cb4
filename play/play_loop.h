// The play loop: one attempt at the level in memory, from the first frame until the exit is reached, the player
// gives up, or a bonus level loses its ball. It owns the level clock, the controls and cheat keys, the difficulty
// adjustments, the death and victory sequences and the restart after a death.
//
// Time in play is counted in steps of 1/25 s: every speed and rate is per step and is multiplied by frameStep
// (base/frame_clock.h), which the frame pacing sets from the time the frame took.
#pragma once

#include <cstdint>
#include <functional>
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

// ---- Hook for tools and tests (empty in the game) ---------------------------------------------------------------
// Called at the end of every iteration of the play loop, the one that leaves the loop included; after a restart
// it sees the restored level. Returning true leaves the loop as Escape would (a tool's frame limit in a window,
// where no key can be put into the buffer).
extern std::function<bool()> playIterationHook;

// ---- Operations -------------------------------------------------------------------------------------------------
// The parts of the play loop (PlayLevel, shell/play_screen.h): its start, the game's logic of one frame (the
// level clock, the platforms, the elevators and the player's ball; no drawing, no key buffer, no end of the
// level), the end of a frame once it was shown, and the end of play.
void BeginPlay();
void PlayLogicFrame();
// After the frame was shown: true when play is over (the victory sequence has run, or a death sequence has run
// and the level could not restart or was a bonus level); a death sequence that has run restarts the level.
bool PlayFrameEnds();
bool EndPlay();
// One iteration of the play loop for a frame that is not shown (the solver's search, tests): what PlayLevel's
// iteration does to the state of the rules, the key buffer left out. The logic frame runs, its events are dropped
// (no sound is heard, no text rises), the effects take the step that drawing the frame would give them, and the
// frame ends as PlayLevel's does; true when play is over. The caller holds the keys and sets the clock.
bool PlayUnseenFrame();
// Puts the level back as it was when play started; false when no play is running.
bool RestartAfterDeath();
// One frame of the player's ball: its motion and the controls while it lives, else the step of the death or
// victory sequence.
void UpdatePlayer();
// The keys and cheat keys of one frame.
void ReadControls();
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
