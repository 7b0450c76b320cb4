#include "editor/win_check.h"

#include <string>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/dialogs.h"
#include "gfx/board.h"
#include "platform/platform.h"
#include "play/play_loop.h"
#include "shell/demo.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/tool_jobs.h"

namespace {

const std::string& Text(int line) { return LanguageText[static_cast<std::size_t>(line)]; }

std::string TestLevelPath() { return DataFolder() + "tempedit.kbx"; }
std::string SolutionPath() { return DataFolder() + SolutionFileName; }

void Tell(const char* what) {
    if (menuHooks.editor) menuHooks.editor(what);
}

void ShowProgress() {
    std::string lines[3];
    WaitingBoxLines(Text(LineLookingForAWay), lines);
    DialogLine1 = lines[0];
    DialogLine2 = lines[1];
    DialogLine3 = lines[2];
    DialogButton1 = Text(LineCancelEsc);
    DialogButton2.clear();
}

void ForgetSolution() {
    if (PlatformFileExists(SolutionPath())) PlatformDeleteFile(SolutionPath());
}

// The solver's answer in place of its dialog.
void ShowAnswer() {
    MessageState = 0;
    switch (toolJob.outcome) {
        case ToolJobOutcome::Solved:
            Tell("winnable");
            AskQuestion(WatchSolutionQuestion, WinnableText(toolJob.answer), "", Text(LineWatchTheSolution));
            return;
        case ToolJobOutcome::NotWinnable: Tell("not winnable"); break;
        case ToolJobOutcome::OutOfBudget: Tell("budget"); break;
        default: Tell("failed"); break;
    }
    RaiseToolJobMessage();
    ForgetSolution();
}

}  // namespace

void CheckCanItBeWon() {
    // The solver reads the level from the test play's file; the level in memory and its unsaved-changes flag stay.
    const std::int32_t modified = levelModified;
    if (!SaveLevel(TestLevelPath())) return;
    levelModified = modified;
    ToolJobRequest request;
    request.kind = ToolJobKind::Solve;
    request.level = TestLevelPath();
    request.keysPath = SolutionPath();
    request.difficulty = playRun.Difficulty;
    request.seed = DemoSeed;
    request.budgetSeconds = SolveBudgetSeconds;
    Tell("check");
    if (!StartToolJob(request)) {
        ShowAnswer();
        return;
    }
    MessageState = SolvingDialog;
    ShowProgress();
}

void WinCheckPass() {
    if (MessageState != SolvingDialog) return;
    if (PollToolJob() == ToolJobOutcome::Running) ShowProgress();
    else ShowAnswer();
}

namespace {

void WatchSolution() {
    DemoSetup demo;
    demo.level = toolJob.request.level;
    demo.difficulty = toolJob.request.difficulty;
    demo.seed = toolJob.request.seed;
    const bool read = PlatformReadFile(toolJob.request.keysPath, demo.keys);
    ForgetSolution();
    if (!read) return;
    Tell("watch");
    const std::int32_t modified = levelModified;
    view.EditorMode = 0;            // the board as play shows it, without the panel
    PlayDemo(demo);
    // The level as it was before the demo, read back from the file it was saved to.
    LoadLevel(demo.level);
    levelModified = modified;
    view.EditorMode = -1;
    view.editorCameraHeld = 0;
}

}  // namespace

void AnswerWinCheck(std::int32_t state, bool yes) {
    if (state == SolvingDialog) {
        CancelToolJob();
        ForgetSolution();
        Tell("cancelled");
    } else if (state == WatchSolutionQuestion) {
        if (yes) WatchSolution();
        else ForgetSolution();
    }
}
