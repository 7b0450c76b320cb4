// Watching how a level is done: a key script played by the real play screen (PlayLevel through RunReplay), frame by
// frame at 60 frames a second of the game's clock and of real time, so that it plays exactly as `kolbrix-tool play`
// plays it headless: the same seed before the load, the same difficulty, the same clock readings. The editor shows
// the solver's solution with it; the level screen shows it to a player who has lost three balls on a level.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/replay.h"
#include "shell/tool_jobs.h"

// Language lines of the solver's answers and the demo (the editor's own are in editor/win_check.h).
inline constexpr int LineLookingForAWay = 251, LineCancelEsc = 252, LineWinnableInLimit = 253,
                     LineWinnableNoLimit = 254, LineNotWinnable1 = 256, LineNotWinnable2 = 257,
                     LineNoAnswer1 = 258, LineNoAnswer2 = 259, LineNoAnswer3 = 260, LineNotChecked = 261,
                     LineToolDidNotStart = 262, LineWatchHowItIsDone = 263, LineDemoGettingReady = 264,
                     LineDemoCaption = 265, LineDemoAtHard = 266;

// The tool's runs start their clock here (the headless back end's start): a demo's level clock does too, so that
// every reading of it is the tool's to the last bit (a frame whose clock reads exactly 1.0 s is still in the first
// second, where Space drops no bomb).
inline constexpr double DemoStartClock = 1000.0;
inline constexpr double DemoFramesPerSecond = 60;
// A demo whose script has run out ends this many frames later at the latest (its ball rolls on meanwhile).
inline constexpr std::int64_t DemoFramesAfterScript = 600;
// The seed every demo and every solve of the game uses: recorded solutions are made with it.
inline constexpr std::uint32_t DemoSeed = 1;
// Where the solver writes its solutions, in the data folder.
inline constexpr const char* SolutionFileName = "tempsolve.keys";

struct DemoSetup {
    std::string level;                  // the level file
    std::string keys;                   // the key script
    std::int32_t difficulty = 0;        // playRun.Difficulty's values
    std::uint32_t seed = DemoSeed;
    bool atHard = false;                // played at Hard in place of the player's difficulty: the caption says so
};

// Plays the demo once with its caption (how it is done, Esc leaves; played at Hard when `atHard`). The player's keys
// do not steer the ball: the script holds its keys anew every frame. Escape or the close button leave. It writes
// nothing (no statistics, record or completion), leaves the run's switches (difficulty, cheats) as they were and the
// demo's level in memory: the caller loads what it shows next. True when the exit was reached; false at once when
// the script does not read or the level does not load.
bool PlayDemo(const DemoSetup& setup);
// Plays `inputs` in the window as demos and watched best runs play: 60 fixed frames a second from the demos' start
// clock, at most `maxFrames`, `leave` asked after each (when set). The game's clock and frame time are put back
// afterwards, the clock moved on by as long as the replay lasted.
ReplayResult PlayInputsInWindow(const List<InputSegment>& inputs, std::int64_t maxFrames,
                                const std::function<bool(std::int64_t frame)>& leave);

// The caption over a demo or a best run: a grey band at the top of the screen, one line of the interface font each,
// the first white, the others grey.
void DrawCaption(const std::vector<std::string>& lines);

// "Winnable, in 0:42 of the 1:30 limit." (or without a limit) for the solver's answer.
std::string WinnableText(const SolveAnswer& answer);
// The message for a job that ended without a way to win (not winnable, out of budget, failed); nothing for the
// others.
void RaiseToolJobMessage();
// A text cut at its end to fit `width` pixels of the interface font.
std::string FitWidth(const std::string& text, std::int32_t width);
// The three lines of the box that waits for a job: the title, then the newest progress line, broken at a space
// over two lines where it is wider than the box.
void WaitingBoxLines(const std::string& title, std::string lines[3]);

// ---- The level screen's demo ----------------------------------------------------------------------------------
// Screen 14's line "watch how it is done", offered once the player has lost AttemptsBeforeDemo balls on the level
// (shell/progression.h). The demo plays the pack's recorded solution (NNN.keys beside the level file) at the player's
// difficulty when it wins there, else at Hard when it wins there (the caption says so), else the solver's solution at
// the player's difficulty. Checking a recorded solution and solving run kolbrix-tool while a box shows what it does
// and Esc cancels. Back on the level screen the level is loaded again; nothing of the player's is written.
void WatchLevelDemo();
// Back on the level screen after a demo or a watched run: its level loaded again as the player left it (an open
// message stays), the menu drawing, the screen's zoom and the cursor on "Play".
void ReturnToLevelScreen();
// The job's box over the frame until the job ends or the player cancels it (Esc, Enter, the close button, a click
// on the box's button); the outcome (Cancelled when cancelled).
ToolJobOutcome WaitForToolJob(const ToolJobRequest& request, const std::string& title);
