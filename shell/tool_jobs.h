// Asking kolbrix-tool about a level from inside the game: the tool runs as a child process (platform/platform.h,
// "Child processes") while the game goes on drawing frames, and the game reads its reports as they come.
//
// Two jobs: the solver, `kolbrix-tool solve LEVEL --data DIR --difficulty D --seed N --budget S --out FILE
// --progress`, which reports on standard error about four times a second (one whole line a report) and ends with
// its answer (exit 0 solved, the key script written to FILE; 1 the budget ran out; 4 the level cannot be won; 2 a
// bad argument or a level that does not load, the reason on standard error) and one JSON line on standard output
// ({"result":"solved","frames":N,"seconds":S,"limit":L,"states":K}); and a replay check, `kolbrix-tool play LEVEL
// --data DIR --inputs FILE --difficulty D --seed N`, whose exit code says whether a key script wins the level.
// One job runs at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/list.h"
#include "platform/platform.h"

enum class ToolJobKind { Solve, ReplayCheck };

enum class ToolJobOutcome {
    None,           // no job was started
    Running,
    Solved,         // the solver found a way (its key script is at `keysPath`), or the replay check's script wins
    OutOfBudget,    // the solver's time ran out without an answer
    NotWinnable,    // the solver proved that the level cannot be won; or the replay check's script does not win
    Failed,         // the tool could not start, could not load the level, or ended in any other way (`failure`)
    Cancelled,      // stopped by the player
};

// What a job asks of the tool.
struct ToolJobRequest {
    ToolJobKind kind = ToolJobKind::Solve;
    std::string level;                      // the level file
    std::string keysPath;                   // Solve: where the key script goes; ReplayCheck: the script to play
    std::int32_t difficulty = 0;            // playRun.Difficulty's values: 0 as the level says, 1 very easy ... 4 hard
    std::uint32_t seed = 1;                 // the random numbers start from it (the same seed replays the same run)
    std::int32_t budgetSeconds = 60;        // Solve: the solver gives up after this long
};

// The solver's last line on standard output.
struct SolveAnswer {
    std::string result;                     // "solved", "budget", "not winnable"
    std::int64_t frames = 0;                // the solution's frames at 60 a second
    double seconds = 0;                     // the level-clock seconds it takes
    double limit = 0;                       // the level's time limit at that difficulty, 0 for none
    std::int64_t states = 0;                // positions the solver looked at
};

// One job, from StartToolJob to its end: reset by StartToolJob.
struct ToolJob {
    ToolJobRequest request;
    ToolJobOutcome outcome = ToolJobOutcome::None;
    ProcessHandle process = 0;              // while it runs
    bool started = false;                   // the tool did start (a failure after that is the tool's)
    std::string progress;                   // the newest whole line of standard error, as the tool wrote it
    List<std::string> errorLines;           // every whole line of standard error (the last 64)
    std::string errorsPending;              // standard error after its last line end
    std::string output;                     // standard output so far
    int exitCode = 0;
    SolveAnswer answer;                     // Solved: the solver's answer
    std::string failure;                    // Failed: the tool's reason, or the program that would not start
};
extern ToolJob toolJob;

// For the run: where kolbrix-tool is. Empty means beside the game's own program (PlatformProgramBeside); tests and
// tools may name another program.
struct ToolSetup {
    std::string program;
};
extern ToolSetup toolSetup;

std::string ToolProgram();
// The tool's command line for a request, after the program's name.
std::vector<std::string> ToolJobArguments(const ToolJobRequest& request);
// Starts the job (stopping one that still runs); false, with the outcome Failed, when the tool could not be
// started.
bool StartToolJob(const ToolJobRequest& request);
// Takes in what the tool wrote since the last call and, once it has ended, its answer; never waits. The outcome.
ToolJobOutcome PollToolJob();
// Stops a job that still runs (outcome Cancelled); a job that has ended keeps its outcome.
void CancelToolJob();
// Reads the solver's JSON line; false when the line is not one.
bool ParseSolveAnswer(const std::string& line, SolveAnswer& answer);
// Seconds of the level clock as M:SS, up to whole seconds: 42.7 -> "0:43", 90 -> "1:30", 0.65 -> "0:01".
std::string MinutesSeconds(double seconds);
