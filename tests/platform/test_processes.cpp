// Child processes: the game starts a program without a shell, reads its two output streams without ever waiting,
// learns its exit code, and stops it (and what it started) at once. Stand-in programs are small shell scripts the
// test writes; the back end is the headless one, whose processes are real.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/types.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto PollStep = std::chrono::milliseconds(5);
constexpr auto PatienceLimit = std::chrono::seconds(10);   // far more than any stand-in here needs

// Everything a process wrote and how it ended.
struct Finished {
    bool ended = false;
    int code = -99;
    std::string output, errors;
};

class Processes : public ::testing::Test {
protected:
    void SetUp() override { UseHeadless(); }
    void TearDown() override { UseHeadless(); }     // stops whatever a failed test left running

    // An executable stand-in script in the test's folder.
    std::string Script(const std::string& name, const std::string& body) {
        folder.Write(name, "#!/bin/sh\n" + body);
        std::filesystem::permissions(folder.path / name, std::filesystem::perms::owner_all);
        return folder.File(name);
    }

    // Reads both streams until the process has ended and its streams are drained (or the patience runs out).
    static Finished RunToEnd(ProcessHandle process) {
        Finished result;
        const auto deadline = Clock::now() + PatienceLimit;
        while (Clock::now() < deadline) {
            result.output += PlatformReadProcess(process, ProcessStream::Output);
            result.errors += PlatformReadProcess(process, ProcessStream::Errors);
            if (PlatformProcessEnded(process, result.code)) {
                result.output += PlatformReadProcess(process, ProcessStream::Output);
                result.errors += PlatformReadProcess(process, ProcessStream::Errors);
                result.ended = true;
                break;
            }
            std::this_thread::sleep_for(PollStep);
        }
        PlatformStopProcess(process);
        return result;
    }

    // True once the file exists with something in it (or false after the patience).
    bool WaitForFile(const std::string& name) {
        const auto deadline = Clock::now() + PatienceLimit;
        while (Clock::now() < deadline) {
            if (!folder.Read(name).empty()) return true;
            std::this_thread::sleep_for(PollStep);
        }
        return false;
    }

    // A process id that is no longer running: gone, or a zombie that nobody has collected yet.
    static bool NotRunning(pid_t pid) {
        if (kill(pid, 0) != 0) return errno == ESRCH;
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string pidField, name, state;
        stat >> pidField >> name >> state;
        return state == "Z" || state == "X";
    }

    TempProgramFolder folder;
};

// What comes back on each stream and the exit code, for the codes the solver uses and for a signal.
TEST_F(Processes, BothStreamsAndTheExitCodeComeBack) {
    struct Case {
        const char* ending;
        int code;
    };
    const Case cases[] = {{"exit 0", 0}, {"exit 1", 1}, {"exit 2", 2}, {"exit 4", 4}, {"kill -TERM $$", 128 + SIGTERM}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ending);
        const std::string program = Script("stand-in", std::string("echo 'to stdout'\necho 'line 1' >&2\n"
                                                                   "printf 'line 2 without an end' >&2\n") +
                                                           c.ending + "\n");
        const ProcessHandle process = PlatformStartProcess(program, {});
        ASSERT_NE(process, 0);
        const Finished run = RunToEnd(process);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.output, "to stdout\n");
        EXPECT_EQ(run.errors, "line 1\nline 2 without an end");
    }
}

// No shell stands between: every argument arrives as one word, exactly as given.
TEST_F(Processes, ArgumentsArriveAsGivenWithoutAShell) {
    const std::string program = Script("echo-arguments", "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n");
    const std::vector<std::string> arguments = {"solve", "/tmp/a level.kbx", "--budget", "60",
                                                "$HOME",  "a;b",             "'q'",      ""};
    const Finished run = RunToEnd(PlatformStartProcess(program, arguments));
    EXPECT_TRUE(run.ended);
    std::string expected;
    for (const std::string& argument : arguments) expected += "[" + argument + "]\n";
    EXPECT_EQ(run.output, expected);
    ASSERT_FALSE(Headless.processesStarted.empty());
    std::vector<std::string> line = {program};
    line.insert(line.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(Headless.processesStarted.back(), line);
}

// A program that is not there or cannot run is no process.
TEST_F(Processes, AProgramThatCannotRunGivesNoProcess) {
    folder.Write("not-executable", "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(folder.path / "not-executable", std::filesystem::perms::owner_read);
    for (const std::string& program : {folder.File("missing"), folder.File("not-executable"), folder.Folder()}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(PlatformStartProcess(program, {}), 0);
    }
}

// Reading and asking never wait: a program that is busy for a long time leaves every call empty-handed at once, and
// stopping it ends it and what it started (here a sleep) at once.
TEST_F(Processes, ReadingNeverWaitsAndStoppingEndsTheProgramAndItsChildren) {
    const std::string program = Script("busy", "echo started\nsleep 30 &\necho $! > \"$(dirname \"$0\")/sleeper\"\n"
                                               "wait\necho 'never'\n");
    const ProcessHandle process = PlatformStartProcess(program, {});
    ASSERT_NE(process, 0);
    ASSERT_TRUE(WaitForFile("sleeper"));
    const pid_t sleeper = std::stoi(folder.Read("sleeper"));

    std::string output;
    int code = 0;
    const auto before = Clock::now();
    for (int i = 0; i < 100; ++i) {
        output += PlatformReadProcess(process, ProcessStream::Output);
        EXPECT_EQ(PlatformReadProcess(process, ProcessStream::Errors), "");
        EXPECT_FALSE(PlatformProcessEnded(process, code));
    }
    EXPECT_LT(Clock::now() - before, std::chrono::milliseconds(500));
    EXPECT_EQ(output, "started\n");

    PlatformStopProcess(process);
    EXPECT_LT(Clock::now() - before, std::chrono::seconds(5));
    const auto deadline = Clock::now() + PatienceLimit;
    while (!NotRunning(sleeper) && Clock::now() < deadline) std::this_thread::sleep_for(PollStep);
    EXPECT_TRUE(NotRunning(sleeper)) << "the program's own child still runs";
    // A stopped process is forgotten: asking again says it is over, reading gives nothing.
    EXPECT_TRUE(PlatformProcessEnded(process, code));
    EXPECT_EQ(PlatformReadProcess(process, ProcessStream::Output), "");
}

// A program that writes far more than a pipe holds is not stuck: the game drains it while it runs.
TEST_F(Processes, OutputBeyondAPipesCapacityIsDrained) {
    const std::string report = "states 120345  best: 2 flags left, 7 cells from the exit\n";
    const std::string digits = "0123456789012345678901234567890123456789012345678901234567890\n";
    const std::string program = Script("flood", "i=0\nwhile [ $i -lt 4000 ]; do\n  printf '" + report + "' >&2\n"
                                                "  printf '" + digits + "'\n  i=$((i+1))\ndone\nexit 3\n");
    const Finished run = RunToEnd(PlatformStartProcess(program, {}));
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.code, 3);
    std::string output, errors;
    for (int i = 0; i < 4000; ++i) {
        output += digits;
        errors += report;
    }
    EXPECT_EQ(run.output, output);
    EXPECT_EQ(run.errors, errors);
}

// A run ends its processes: a new start of the back end finds none of the old ones running.
TEST_F(Processes, ANewRunStopsTheProcessesOfTheOldOne) {
    const std::string program = Script("waits", "echo $$ > \"$(dirname \"$0\")/pid\"\nexec sleep 30\n");
    const ProcessHandle process = PlatformStartProcess(program, {});
    ASSERT_NE(process, 0);
    ASSERT_TRUE(WaitForFile("pid"));
    const pid_t pid = std::stoi(folder.Read("pid"));
    EXPECT_FALSE(NotRunning(pid));
    UseHeadless();
    EXPECT_TRUE(NotRunning(pid));
    int code = 0;
    EXPECT_TRUE(PlatformProcessEnded(process, code));
}

// The tool is found beside the running program, as the build and an install put the two.
TEST(ProgramBeside, IsInTheFolderOfTheRunningProgram) {
    UseHeadless();
    const std::filesystem::path self = PlatformProgramPath();
    EXPECT_EQ(PlatformProgramBeside("kolbrix-tool"), (self.parent_path() / "kolbrix-tool").string());
}

}  // namespace
