// "Can it be won?" in the editor, on the headless back end with a stand-in for kolbrix-tool: F3 saves the level
// and starts the solver, its dialog shows the newest report while the editor's passes go on, Esc cancels it, and
// every way the solver ends has its answer; a solution is watched in the play screen and the editor comes back with
// the level as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <signal.h>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/dialogs.h"
#include "editor/editor.h"
#include "editor/editor_keys.h"
#include "editor/editor_state.h"
#include "editor/panel_input.h"
#include "editor/undo.h"
#include "editor/win_check.h"
#include "gfx/board.h"
#include "shell/demo.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "tests/play/play_fixture.h"
#include "tests/shell/game_fixture.h"
#include "tests/shell/stand_in_tool.h"

namespace playtest {
namespace {

using Clock = std::chrono::steady_clock;

const char* const Answer = "{\"result\":\"solved\",\"frames\":2562,\"seconds\":42.7,\"limit\":90,\"states\":120345}\n";

class WinCheck : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        for (int n = 1; n <= LanguageLineCount; ++n) LanguageText[static_cast<size_t>(n)] = "line " + std::to_string(n);
        LanguageText[LineHintFileExtension] = "en.txt";
        LanguageText[51] = "Yes";
        LanguageText[52] = "No";
        LanguageText[LineWinnableInLimit] = "Winnable, in %1 of the %2 limit.";
        LanguageText[LineWinnableNoLimit] = "Winnable, in %1 (no time limit).";
        editor = EditorState{};
        panelInput = PanelInput{};
        view = BoardView{};
        MessageState = 0;
        PackList.Clear();
        PackIndex = 0;
        BeginEditorVisit();
        ClearHistory();
        menuHooks = MenuHooks{};
        menuHooks.editor = [this](const char* what) { said.push_back(what); };
        menuHooks.demoPlayed = [this](bool completed, std::int64_t frames, std::int32_t difficulty) {
            demos.push_back({completed, frames, difficulty});
            editorModeInDemo = view.EditorMode;
        };
        tool.emplace(folder->path);
        toolJob = ToolJob{};
        // The ball drops straight into the exit: the shortest of solutions wins.
        Floor(0, 512, 384);
        Hazard(TexExit, 128, 256);
        Ball(128, 128);
        level.timeLimit = 90;
        Finish();
    }
    void TearDown() override {
        CancelToolJob();
        tool.reset();
        menuHooks = MenuHooks{};
        PlayTest::TearDown();
    }

    void Key(const std::string& key) {
        if (MessageState != 0) EditorDialogKey(DialogKey(key));
        else EditorCommand(key);
    }
    // The editor's passes while the solver's dialog is up (ten seconds at most).
    void PassesWhileSolving() {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (MessageState == SolvingDialog && Clock::now() < deadline) {
            WinCheckPass();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    std::vector<std::pair<double, double>> Walls() const {
        std::vector<std::pair<double, double>> walls;
        for (const LevelObject& wall : level.wallLayer) walls.emplace_back(wall.x, wall.y);
        std::sort(walls.begin(), walls.end());
        return walls;
    }
    static const std::string& Text(int line) { return LanguageText[static_cast<size_t>(line)]; }

    struct Demo {
        bool completed;
        std::int64_t frames;
        std::int32_t difficulty;
    };
    std::optional<StandInTool> tool;
    std::vector<std::string> said;
    std::vector<Demo> demos;
    std::int32_t editorModeInDemo = -2;
};

// Every end of the solver, and the dialog it leaves: the question that offers the solution, or a message.
TEST_F(WinCheck, EveryEndOfTheSolverHasItsAnswer) {
    struct Case {
        const char* name;
        int code;
        std::string answer, keys, errors;
        std::int32_t state;
        std::string lines[3];
        const char* said;
    };
    const Case cases[] = {
        {"winnable", 0, Answer, "40\n", "", WatchSolutionQuestion,
         {"Winnable, in 0:43 of the 1:30 limit.", "", Text(LineWatchTheSolution)}, "winnable"},
        {"winnable without a limit", 0, "{\"result\":\"solved\",\"frames\":40,\"seconds\":42.7,\"limit\":0}",
         "40\n", "", WatchSolutionQuestion, {"Winnable, in 0:43 (no time limit).", "", Text(LineWatchTheSolution)}, "winnable"},
        {"budget", 1, "{\"result\":\"budget\"}", "", "", 1,
         {Text(LineNoAnswer1), Text(LineNoAnswer2), Text(LineNoAnswer3)}, "budget"},
        {"not winnable", 4, "{\"result\":\"not winnable\"}", "", "", 1,
         {Text(LineNotWinnable1), Text(LineNotWinnable2), ""}, "not winnable"},
        {"refused", 2, "", "", "kolbrix-tool solve: cannot load the level\nusage: kolbrix-tool solve LEVEL\n", 1,
         {Text(LineNotChecked), "kolbrix-tool solve: cannot load the level", ""}, "failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        said.clear();
        tool->Solve(c.code, c.answer, c.keys, "states 10  best: 1 flag left  0.1 s\n", c.errors);
        Key(KeyF3);
        ASSERT_EQ(MessageState, SolvingDialog);
        EXPECT_EQ(DialogLine1, Text(LineLookingForAWay));
        EXPECT_EQ(DialogButton1, Text(LineCancelEsc));
        PassesWhileSolving();
        EXPECT_EQ(MessageState, c.state);
        EXPECT_EQ(DialogLine1, c.lines[0]);
        EXPECT_EQ(DialogLine2, c.lines[1]);
        EXPECT_EQ(DialogLine3, c.lines[2]);
        EXPECT_EQ(said, (std::vector<std::string>{"check", c.said}));
        EXPECT_EQ(PlatformFileExists(DataFolder() + SolutionFileName), c.state == WatchSolutionQuestion);
        Key(KeyEscape);
        EXPECT_EQ(MessageState, 0);
        EXPECT_FALSE(PlatformFileExists(DataFolder() + SolutionFileName)) << "Esc drops the solution";
    }
}

// A tool that is not beside the game says so at once, naming the program the editor looked for.
TEST_F(WinCheck, AToolThatIsNotThereIsNamed) {
    toolSetup.program = folder->File("kolbrix-tool");
    Key(KeyF3);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, Text(LineNotChecked));
    EXPECT_EQ(DialogLine2, folder->File("kolbrix-tool"));
    EXPECT_EQ(DialogLine3, Text(LineToolDidNotStart));
    EXPECT_EQ(said, (std::vector<std::string>{"check", "failed"}));
}

// The solver reads the level as it is on screen, unsaved edits included, from the test play's file, at the
// difficulty of the test play; the level in memory and its unsaved-changes flag stay as they were.
TEST_F(WinCheck, TheSolverGetsTheLevelOnScreenAtTheTestPlaysDifficulty) {
    tool->Solve(4, "", "");
    Wall(1024, 1024);
    levelModified = -1;
    playRun.Difficulty = 3;
    const auto walls = Walls();
    Key(KeyF3);
    PassesWhileSolving();
    const std::vector<std::vector<std::string>> calls = {
        {"solve", DataFolder() + "tempedit.kbx", "--data", ProgramFolder(), "--difficulty", "3", "--seed", "1",
         "--budget", "60", "--out", DataFolder() + SolutionFileName, "--progress"}};
    EXPECT_EQ(tool->Calls(), calls);
    EXPECT_EQ(WallsOf(DataFolder() + "tempedit.kbx"), walls);
    EXPECT_EQ(Walls(), walls);
    EXPECT_EQ(levelModified, -1);
}

// While the solver works the editor goes on: each pass shows its newest report, and Esc (or Enter, or the dialog's
// button) stops it at once; the editor takes keys again.
TEST_F(WinCheck, TheNewestReportShowsAndEscCancelsAtOnce) {
    for (const std::string& cancel : {KeyEscape, KeyEnter, KeyLeftButton}) {
        SCOPED_TRACE(cancel == KeyEscape ? "Esc" : cancel == KeyEnter ? "Enter" : "button");
        said.clear();
        std::filesystem::remove(tool->folder / "pid");
        tool->Solve(0, Answer, "40\n",
                    "states 100  best: 3 flags left  0.3 s\nstates 2000  best: 2 flags left  1.1 s\n");
        tool->SolveWaits();
        Key(KeyF3);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (DialogLine2 != "states 2000  best: 2 flags left  1.1 s" && Clock::now() < deadline) {
            WinCheckPass();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_EQ(DialogLine2, "states 2000  best: 2 flags left  1.1 s");
        EXPECT_EQ(MessageState, SolvingDialog);
        ASSERT_FALSE(tool->Get("pid").empty());
        const pid_t pid = std::stoi(tool->Get("pid"));

        const auto before = Clock::now();
        if (cancel == KeyLeftButton) EditorDialogKey(KeyLeftButton);
        else Key(cancel);
        EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));
        EXPECT_EQ(MessageState, 0);
        EXPECT_EQ(toolJob.outcome, ToolJobOutcome::Cancelled);
        EXPECT_NE(kill(pid, 0), 0) << "the solver still runs";
        EXPECT_EQ(said, (std::vector<std::string>{"check", "cancelled"}));
        WinCheckPass();
        EXPECT_EQ(MessageState, 0) << "no answer comes after a cancel";
        Key("w");
        EXPECT_EQ(editor.SelectedKind, KindWall) << "the editor takes keys again";
        editor.SelectedKind = KindGround;
    }
}

// "Yes" plays the solution in the play screen at the solver's difficulty, without the panel, and the editor comes
// back with the level as it was, its unsaved changes and its history; "no" drops the solution.
TEST_F(WinCheck, TheSolutionIsWatchedInPlayAndTheEditorComesBackAsItWas) {
    tool->Solve(0, Answer, "40\n");
    playRun.Difficulty = 2;
    const auto before = Walls();
    editor.SelectedKind = KindWall;
    editor.SelectedTexture = TexWall;
    focusX = 1024;
    focusY = 1024;
    EditorCommand(" ");
    const auto walls = Walls();
    ASSERT_EQ(walls.size(), before.size() + 1);
    ASSERT_EQ(levelModified, -1);

    Key(KeyF3);
    PassesWhileSolving();
    ASSERT_EQ(MessageState, WatchSolutionQuestion);
    Key("n");
    EXPECT_TRUE(demos.empty());
    EXPECT_FALSE(PlatformFileExists(DataFolder() + SolutionFileName));

    Key(KeyF3);
    PassesWhileSolving();
    ASSERT_EQ(MessageState, WatchSolutionQuestion);
    Key("y");
    ASSERT_EQ(demos.size(), 1u);
    EXPECT_TRUE(demos[0].completed);
    EXPECT_EQ(demos[0].difficulty, 2);
    EXPECT_EQ(editorModeInDemo, 0) << "the demo shows the board as play does";
    EXPECT_EQ(said.back(), "watch");
    EXPECT_EQ(view.EditorMode, -1);
    EXPECT_EQ(MessageState, 0);
    EXPECT_EQ(Walls(), walls);
    EXPECT_EQ(levelModified, -1);
    EXPECT_EQ(playRun.Difficulty, 2);
    EXPECT_FALSE(PlatformFileExists(DataFolder() + SolutionFileName));
    Key(KeyCtrlZ);
    EXPECT_EQ(Walls(), before) << "the history goes on after the demo";
}

}  // namespace
}  // namespace playtest
