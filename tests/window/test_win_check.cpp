// "Can it be won?" in the real game: the game started in a copy of the program folder (kolbrix-tool beside it, as
// the build and an install put it), the editor opened on a small level, F3 pressed through the X server. The real
// solver answers: its solution file appears, the answer's question is up ("y" plays the solution, Esc drops it; the
// game deletes the file either way), and the editor answers F3 again after the demo. On a level the solver cannot
// finish quickly, Esc cancels: the solver's process is gone at once and the game goes on to quit with code 0. Needs an
// X display and xdotool, like the other window tests.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// Keys to the game's window through the X server (Xvfb runs no window manager: the window has the focus).
void Keys(const std::string& keys) {
    Shell("xdotool search --name Kolbrix windowfocus --sync key --delay 150 " + keys + " 2>/dev/null");
}

// Waits up to `seconds` for `done` to hold, checking every 100 ms.
template <typename Done>
bool WaitFor(double seconds, Done done) {
    for (int i = 0; i < seconds * 10; ++i) {
        if (done()) return true;
        Pause(100);
    }
    return done();
}

// The program folder copied (programs and small files) or linked (data folders), with one level pack: the shipped
// test level, which the solver wins in a moment, and a large level it cannot finish in a few seconds.
fs::path ProgramCopy() {
    const fs::path game = KOLBRIX_GAME_DIR;
    const fs::path folder = fs::temp_directory_path() / ("kolbrix-win-check-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(game)) {
        const std::string file = entry.path().filename().string();
        if (file[0] == '.' || file.rfind("lvlpck", 0) == 0 || file == "settings.dat" || file.ends_with(".alp") ||
            file == "tempedit.kbx" || file == "tempsolve.keys")
            continue;
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / file);
        else if (entry.is_directory()) fs::create_directory_symlink(entry.path(), folder / file);
    }
    fs::create_directories(folder / "lvlpckTest");
    fs::copy_file(game / "testlevel.kbx", folder / "lvlpckTest" / "001.kbx");
    fs::copy_file(game / "lvlpckEpisode 4" / "010.kbx", folder / "lvlpckTest" / "002.kbx");
    return folder;
}

// The processes whose parent is `parent`, by name.
std::string Children(pid_t parent) { return Shell("pgrep -l -P " + std::to_string(parent) + " 2>/dev/null"); }

TEST(WindowWinCheck, TheEditorAsksTheRealSolverAndEscCancelsIt) {
    if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
    const fs::path folder = ProgramCopy();
    const fs::path solution = folder / "tempsolve.keys";

    const pid_t game = fork();
    if (game == 0) {
        const std::string binary = (folder / "kolbrix").string();
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(game, 0);
    ASSERT_TRUE(WaitFor(20, [] { return !Shell("xdotool search --onlyvisible --name Kolbrix 2>/dev/null").empty(); }))
        << "no game window";
    Pause(1500);
    Keys("space");                                  // the logo
    Pause(1000);
    Keys("Return");                                 // the first language of a first start
    Keys("Down Down Return");                       // Level editor: level 1 of the only pack, the test level
    Pause(1500);

    // Asked twice: the first answer watches the solution (the game takes the file and plays it), the second,
    // after the demo, says no (the game drops the file): the editor answers again after a demo.
    for (const char* answer : {"y", "Escape"}) {
        SCOPED_TRACE(answer);
        // F3 is taken once the editor is back: after a demo that may be later than the pause below on a loaded
        // machine, so it is pressed again until the solver starts (the job's box takes no F3 meanwhile).
        for (int tries = 0; tries < 8; ++tries) {
            Keys("F3");
            if (WaitFor(4, [&] {
                    return fs::exists(solution) || Children(game).find("kolbrix-tool") != std::string::npos;
                }))
                break;
        }
        EXPECT_TRUE(WaitFor(30, [&] { return fs::exists(solution); })) << "the solver wrote no solution";
        EXPECT_TRUE(WaitFor(5, [&] { return Children(game).find("kolbrix-tool") == std::string::npos; }))
            << "the solver did not end";
        Pause(500);
        Keys(answer);
        EXPECT_TRUE(WaitFor(5, [&] { return !fs::exists(solution); })) << "no question took the answer";
        Pause(4000);                                // the demo: the ball rolls to the exit, the victory runs
    }

    Keys("alt+Next");                               // level 2, which the solver cannot finish quickly
    Pause(1500);
    Keys("F3");
    EXPECT_TRUE(WaitFor(10, [&] { return Children(game).find("kolbrix-tool") != std::string::npos; }))
        << "the solver did not start";
    Pause(1500);
    const auto before = std::chrono::steady_clock::now();
    Keys("Escape");
    EXPECT_TRUE(WaitFor(3, [&] { return Children(game).find("kolbrix-tool") == std::string::npos; }))
        << "Esc did not stop the solver";
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
    EXPECT_FALSE(fs::exists(solution));

    Keys("Escape");                                 // leave the editor: nothing unsaved
    Pause(1000);
    Keys("Escape Return");                          // the quit question, yes
    int status = 0;
    const bool ended = WaitFor(10, [&] { return waitpid(game, &status, WNOHANG) == game; });
    if (!ended) {
        kill(game, SIGKILL);
        waitpid(game, &status, 0);
    }
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the game did not quit with code 0";
    fs::remove_all(folder);
}

}  // namespace
