// "Can it be won?": the editor asks kolbrix-tool's solver about the level being edited (F3 or the panel's button
// beside the level number). The level is saved to the test play's file "tempedit.kbx"; the solver runs as a child
// process at the difficulty the test play uses, with a budget of 60 seconds, while the editor goes on drawing
// frames with a dialog that shows the solver's newest report and cancels it (its button, Enter or Esc). Then: the
// level can be won, in M:SS of its time limit, and the solution can be watched in a test play; or it cannot be won;
// or the budget ran out without an answer; or the solver could not run.
#pragma once

#include <cstdint>

// The dialog while the solver runs (a message whose button cancels) and the question that offers the solution.
constexpr std::int32_t SolvingDialog = 202;
constexpr std::int32_t WatchSolutionQuestion = 10;
// Language lines of the editor's part (the answers' lines are in shell/demo.h).
constexpr int LineCanItBeWonTooltip = 250, LineWatchTheSolution = 255;
constexpr std::int32_t SolveBudgetSeconds = 60;

// The command: saves the level for the solver and starts it, with its dialog up. A level that cannot be saved keeps
// the save message up instead; a solver that cannot be started raises the message that says so.
void CheckCanItBeWon();
// Every pass of the editor: while the solver runs its dialog shows the newest report; once it has ended its answer
// replaces the dialog. Nothing while no solve runs.
void WinCheckPass();
// The answer to one of its dialogs (`state`; `yes` for the left button): the solving dialog's button, Enter or Esc
// cancel the solver; the question's "yes" plays the solution in the play screen (shell/demo.h) and comes back to
// the editor with the level as it was, its "no" or Esc drop the solution.
void AnswerWinCheck(std::int32_t state, bool yes);
