// The game in a real window (needs an X display; `make test` runs this under Xvfb when there is none).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <csignal>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
    return out;
}

// Keys to the game's window as a player would press them, through the X server.
// (Xvfb runs no window manager: the window gets the keyboard focus directly.)
void Keys(const std::string& keys) {
    Shell("xdotool search --name Kolbrix windowfocus --sync key --delay 150 " + keys + " 2>/dev/null");
}
void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

// A copy of the program folder, so the files of this run do not touch the build's: the data linked, the program and
// the small files copied, and one level pack holding the shipped test level twice.
std::filesystem::path ProgramCopy(const char* name) {
    namespace fs = std::filesystem;
    fs::path game = KOLBRIX_GAME_DIR;
    fs::path folder = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(game)) {
        const std::string file = entry.path().filename().string();
        if (file[0] == '.' || file.rfind("lvlpck", 0) == 0 || file == "settings.dat" || file.ends_with(".alp")) continue;
        if (entry.is_regular_file()) fs::copy_file(entry.path(), folder / file);
        else if (entry.is_directory()) fs::create_directory_symlink(entry.path(), folder / file);
    }
    // Two levels, so that finishing the first one lands on the level screen, where stray keys do nothing.
    fs::create_directories(folder / "lvlpckTest");
    fs::copy_file(game / "testlevel.kbx", folder / "lvlpckTest" / "001.kbx");
    fs::copy_file(game / "testlevel.kbx", folder / "lvlpckTest" / "002.kbx");
    return folder;
}

// Starts the game in `folder`; the window's title is language line 1.
pid_t StartGame(const std::filesystem::path& folder) {
    pid_t child = fork();
    if (child == 0) {
        std::string binary = (folder / "kolbrix").string();
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Waits up to five seconds for the game to end; kills it otherwise. True when it ended with code 0.
bool EndedWithZero(pid_t child) {
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 100 && !ended; i++) {
        Pause(50);
        ended = waitpid(child, &status, WNOHANG) == child;
    }
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The walls of a level file as `kolbrix-tool dump` lists them: "x,y" per wall.
std::vector<std::string> Walls(const std::filesystem::path& folder, const std::filesystem::path& levelFile) {
    const std::string json = Shell("'" + (folder / "kolbrix-tool").string() + "' dump '" + levelFile.string() + "'");
    std::vector<std::string> walls;
    size_t at = json.find("\"wall\": [");
    const size_t end = json.find(']', at);
    while (at != std::string::npos && (at = json.find("\"x\": ", at)) != std::string::npos && at < end) {
        const size_t y = json.find("\"y\": ", at);
        walls.push_back(std::to_string(std::stoi(json.substr(at + 5))) + "," + std::to_string(std::stoi(json.substr(y + 5))));
        at = y;
    }
    return walls;
}

// A click of the left button at (x, y) of the game's window.
void Click(int x, int y) {
    Shell("xdotool search --name Kolbrix windowfocus --sync mousemove --window %1 " + std::to_string(x) + " " +
          std::to_string(y) + " 2>/dev/null");
    Pause(200);
    Shell("xdotool mousedown 1 2>/dev/null");
    Pause(200);
    Shell("xdotool mouseup 1 2>/dev/null");
    Pause(200);
}

}  // namespace

TEST(Window, TheEditorPlacesWithKeysAndMouseUndoesSavesTestsAndLeaves) {
    namespace fs = std::filesystem;
    if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
    const fs::path folder = ProgramCopy("kolbrix-editor-window");
    const fs::path levelFile = folder / "lvlpckTest" / "001.kbx";
    const std::vector<std::string> before = Walls(folder, levelFile);
    ASSERT_FALSE(before.empty());

    const pid_t child = StartGame(folder);
    ASSERT_GE(child, 0);
    Pause(6000);                                    // loading and the splash
    Keys("Return");                                 // the first language
    Keys("Down Down Return");                       // Level editor: level 1 of the only pack
    Pause(1000);
    Keys("w Up space");                             // a wall one cell above the ball
    Click(850, 650);                                // two walls placed with the mouse ...
    Click(930, 650);
    Keys("ctrl+z");                                 // ... and the second one taken back
    Keys("alt+s");                                  // saved: the message closes with Enter
    Pause(300);
    Keys("Return F2");                              // test play, left at once with Esc
    Pause(1500);
    Keys("Escape");
    Pause(1500);
    Keys("Escape");                                 // nothing unsaved: straight back to the menu
    Pause(1000);
    Keys("Escape Return");                          // the quit question, yes
    EXPECT_TRUE(EndedWithZero(child)) << "the game did not quit with code 0";

    const std::vector<std::string> after = Walls(folder, levelFile);
    EXPECT_EQ(after.size(), before.size() + 2);
    EXPECT_NE(std::find(after.begin(), after.end(), "256,384"), after.end()) << "the wall placed with the keys";
    fs::remove_all(folder);
}

TEST(Window, AFirstStartGoesFromTheLanguageToAPlayedLevelAndQuitsWithCodeZero) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(fs::exists(fs::path(KOLBRIX_GAME_DIR) / "kolbrix"));
    if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
    const fs::path folder = ProgramCopy("kolbrix-window");

    std::ifstream english(folder / "english.str");
    std::string title;
    std::getline(english, title);
    if (!title.empty() && title.front() == '"') title.erase(0, 1);
    if (!title.empty() && title.back() == '"') title.pop_back();

    const pid_t child = StartGame(folder);
    ASSERT_GE(child, 0);
    bool titled = false;
    for (int i = 0; i < 100 && !titled; i++) {
        Pause(50);
        titled = Shell("xwininfo -root -tree 2>/dev/null").find("\"" + title + "\"") != std::string::npos;
    }
    EXPECT_TRUE(titled) << "no window titled '" << title << "'";
    Pause(6000);                                    // loading and the splash
    Keys("Return");                                 // the first language of the first start
    Keys("Return");                                 // Play: nobody yet, so a name is asked for
    Pause(300);
    Keys("t e s t e r Return");
    Keys("Return");                                 // play as the new player: the one pack's first level
    Pause(500);
    Keys("Return");                                 // Play
    Pause(1000);
    // The level's recorded solution is to roll right until the exit; in a window it is held until the level is
    // counted, however fast the machine draws.
    const fs::path stats = folder / "lvlpckTest" / "tester.sts";
    Shell("xdotool search --name Kolbrix windowfocus --sync keydown Right 2>/dev/null");
    for (int i = 0; i < 1200 && !fs::exists(stats); i++) Pause(50);
    Shell("xdotool keyup Right 2>/dev/null");
    Pause(1000);
    Keys("Escape Escape Return");                   // back to the main screen, quit, yes
    ASSERT_TRUE(EndedWithZero(child)) << "the game did not quit with code 0";
    // Quitting saves the settings; the played level counts in the new player's statistics.
    EXPECT_EQ(fs::file_size(folder / "settings.dat"), 36 + std::string("english.str").size());
    EXPECT_TRUE(fs::exists(folder / "tester.alp"));
    std::ifstream statsFile(stats, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(statsFile)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 8004u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 1) << "level 1 completed once";
    fs::remove_all(folder);
}
