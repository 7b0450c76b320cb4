// The game's side of kolbrix-tool's solver and replay check: the command lines, the newest progress line while the
// tool runs, the outcome of every way the tool can end, and stopping it. The tool is a stand-in script.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "base/files.h"
#include "shell/tool_jobs.h"
#include "tests/shell/stand_in_tool.h"
#include "tests/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

class ToolJobs : public ::testing::Test {
protected:
    void SetUp() override {
        UseHeadless();
        folder.emplace();
        tool.emplace(folder->path);
        toolJob = ToolJob{};
    }
    void TearDown() override {
        CancelToolJob();
        tool.reset();
        folder.reset();
    }

    ToolJobRequest SolveRequest() const {
        ToolJobRequest request;
        request.kind = ToolJobKind::Solve;
        request.level = folder->File("tempedit.kbx");
        request.keysPath = folder->File("tempsolve.keys");
        request.difficulty = 2;
        request.seed = 7;
        request.budgetSeconds = 60;
        return request;
    }

    // Polls until the job is no longer running (ten seconds at most).
    static ToolJobOutcome Finish() {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (PollToolJob() == ToolJobOutcome::Running && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return toolJob.outcome;
    }

    std::optional<TempProgramFolder> folder;
    std::optional<StandInTool> tool;
};

const char* const Answer = "{\"result\":\"solved\",\"frames\":2562,\"seconds\":42.7,\"limit\":90,\"states\":120345}\n";
const char* const Keys = "30\n12 right\n";

// Every way the solver can end, and what the game makes of it.
TEST_F(ToolJobs, EveryEndOfTheSolverHasItsOutcome) {
    struct Case {
        const char* name;
        int code;
        std::string answer, keys, errors;
        ToolJobOutcome outcome;
        std::string failure;
    };
    const Case cases[] = {
        {"solved", 0, Answer, Keys, "", ToolJobOutcome::Solved, ""},
        {"budget", 1, "{\"result\":\"budget\",\"states\":9}\n", "", "", ToolJobOutcome::OutOfBudget, ""},
        {"not winnable", 4, "{\"result\":\"not winnable\"}\n", "", "", ToolJobOutcome::NotWinnable, ""},
        {"bad level", 2, "",  "",
         "kolbrix-tool solve: cannot load the level x.kbx\nusage: kolbrix-tool solve LEVEL [--data DIR]\n",
         ToolJobOutcome::Failed, "kolbrix-tool solve: cannot load the level x.kbx"},
        {"solved without a solution", 0, Answer, "", "", ToolJobOutcome::Failed,
         "kolbrix-tool: no solution came with the answer"},
        {"solved without an answer", 0, "", Keys, "", ToolJobOutcome::Failed,
         "kolbrix-tool: no solution came with the answer"},
        {"an unknown code", 3, "", "", "", ToolJobOutcome::Failed, "kolbrix-tool: exit code 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tool->Solve(c.code, c.answer, c.keys, "states 10  best: 2 flags left  0.2 s\n", c.errors);
        ASSERT_TRUE(StartToolJob(SolveRequest()));
        EXPECT_EQ(Finish(), c.outcome);
        EXPECT_EQ(toolJob.exitCode, c.code);
        EXPECT_EQ(toolJob.failure, c.failure);
        if (c.outcome == ToolJobOutcome::Solved) {
            EXPECT_EQ(toolJob.answer.frames, 2562);
            EXPECT_DOUBLE_EQ(toolJob.answer.seconds, 42.7);
            EXPECT_DOUBLE_EQ(toolJob.answer.limit, 90);
            EXPECT_EQ(toolJob.answer.states, 120345);
            EXPECT_EQ(folder->Read("tempsolve.keys"), Keys);
        }
    }
}

// The solver's and the replay check's command lines: no shell, every value its own word, the program folder's data.
TEST_F(ToolJobs, TheCommandLinesNameEverythingTheToolNeeds) {
    tool->Solve(4, "", "");
    tool->PlayEnds(3, 0);
    ToolJobRequest check = SolveRequest();
    check.kind = ToolJobKind::ReplayCheck;
    check.keysPath = folder->File("lvlpckA/001.keys");
    check.difficulty = 3;
    ASSERT_TRUE(StartToolJob(SolveRequest()));
    EXPECT_EQ(Finish(), ToolJobOutcome::NotWinnable);
    ASSERT_TRUE(StartToolJob(check));
    EXPECT_EQ(Finish(), ToolJobOutcome::Solved);
    check.difficulty = 1;
    ASSERT_TRUE(StartToolJob(check));
    EXPECT_EQ(Finish(), ToolJobOutcome::NotWinnable);

    const std::vector<std::vector<std::string>> expected = {
        {"solve", folder->File("tempedit.kbx"), "--data", ProgramFolder(), "--difficulty", "2", "--seed", "7",
         "--budget", "60", "--out", folder->File("tempsolve.keys"), "--progress"},
        {"play", folder->File("tempedit.kbx"), "--data", ProgramFolder(), "--inputs", folder->File("lvlpckA/001.keys"),
         "--difficulty", "3", "--seed", "7"},
        {"play", folder->File("tempedit.kbx"), "--data", ProgramFolder(), "--inputs", folder->File("lvlpckA/001.keys"),
         "--difficulty", "1", "--seed", "7"},
    };
    EXPECT_EQ(tool->Calls(), expected);
    ASSERT_EQ(Headless.processesStarted.size(), 3u);
    EXPECT_EQ(Headless.processesStarted[0][0], tool->Program());
}

// While the solver works, the newest whole line of its reports is the progress, exactly as written; a line still
// being written is not shown yet. Cancelling stops the tool at once and leaves the outcome Cancelled.
TEST_F(ToolJobs, TheNewestReportIsShownAndCancellingStopsTheTool) {
    tool->Solve(0, Answer, Keys, "states 100  best: 3 flags left, 9 cells from the exit  0.3 s\n"
                                 "states 120345  best: 2 flags left, 7 cells from the exit  3.2 s\nstates 2");
    tool->SolveWaits();
    ASSERT_TRUE(StartToolJob(SolveRequest()));
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (toolJob.progress.empty() || toolJob.progress[7] != '1') {
        ASSERT_EQ(PollToolJob(), ToolJobOutcome::Running);
        ASSERT_LT(Clock::now(), deadline) << "no report came";
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    for (int i = 0; i < 20; ++i) PollToolJob();
    EXPECT_EQ(toolJob.progress, "states 120345  best: 2 flags left, 7 cells from the exit  3.2 s");
    ASSERT_FALSE(tool->Get("pid").empty());
    const pid_t pid = std::stoi(tool->Get("pid"));

    const auto before = Clock::now();
    CancelToolJob();
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(2));
    EXPECT_EQ(toolJob.outcome, ToolJobOutcome::Cancelled);
    EXPECT_EQ(PollToolJob(), ToolJobOutcome::Cancelled);
    EXPECT_NE(kill(pid, 0), 0) << "the stand-in still runs";
    EXPECT_FALSE(PlatformFileExists(folder->File("tempsolve.keys")));
}

// A tool that is not there fails at once and names the program; a solution left by an earlier solve never passes for
// this one's.
TEST_F(ToolJobs, AMissingToolFailsAtOnceAndAnOldSolutionIsGone) {
    folder->Write("tempsolve.keys", "999 right\n");
    toolSetup.program = folder->File("no-such-tool");
    EXPECT_FALSE(StartToolJob(SolveRequest()));
    EXPECT_EQ(toolJob.outcome, ToolJobOutcome::Failed);
    EXPECT_FALSE(toolJob.started);
    EXPECT_EQ(toolJob.failure, folder->File("no-such-tool"));
    EXPECT_FALSE(PlatformFileExists(folder->File("tempsolve.keys")));
}

TEST(SolveAnswers, TheAnswerLineIsReadFieldByField) {
    struct Case {
        const char* line;
        bool read;
        const char* result;
        std::int64_t frames;
        double seconds, limit;
    };
    const Case cases[] = {
        {"{\"result\":\"solved\",\"frames\":2562,\"seconds\":42.7,\"limit\":90,\"states\":5}", true, "solved", 2562,
         42.7, 90},
        {"  { \"limit\" : 0 , \"result\" : \"solved\", \"seconds\": 1e1 }", true, "solved", 0, 10, 0},
        {"{\"result\":\"not winnable\",\"states\":12}", true, "not winnable", 0, 0, 0},
        {"{\"result\":\"solved\",\"seconds\":\"soon\"}", true, "solved", 0, 0, 0},
        {"states 12 best: 1 flag left", false, "", 0, 0, 0},
        {"{\"frames\":3}", false, "", 0, 0, 0},
        {"", false, "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SolveAnswer answer;
        EXPECT_EQ(ParseSolveAnswer(c.line, answer), c.read);
        EXPECT_EQ(answer.result, c.result);
        EXPECT_EQ(answer.frames, c.frames);
        EXPECT_DOUBLE_EQ(answer.seconds, c.seconds);
        EXPECT_DOUBLE_EQ(answer.limit, c.limit);
    }
}

TEST(SolveAnswers, LevelClockSecondsAreWrittenAsMinutesAndSeconds) {
    const std::pair<double, const char*> cases[] = {{0, "0:00"},  {0.65, "0:01"},  {42.7, "0:43"}, {59.99, "1:00"},
                                                    {60, "1:00"}, {90, "1:30"},    {753.2, "12:34"}, {-3, "0:00"},
                                                    {5940, "99:00"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(MinutesSeconds(seconds), text) << seconds;
}

}  // namespace
