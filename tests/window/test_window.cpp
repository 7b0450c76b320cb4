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
#include <cstdint>
#include <cstdlib>
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

// Starts the game in `folder` with its standard error going to `log`.
pid_t StartGameLogged(const std::filesystem::path& folder, const std::filesystem::path& log) {
    pid_t child = fork();
    if (child == 0) {
        if (FILE* out = std::freopen(log.c_str(), "w", stderr)) (void)out;
        std::string binary = (folder / "kolbrix").string();
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// The size ("WxH") of the visible window named `title` whose size is not the text screen's (320 x 200 times a whole
// scale), or "" when there is none: the game's own display, not a screen explaining that it could not open.
std::string GameWindowSize(const std::string& title) {
    const std::string out = Shell("xdotool search --onlyvisible --name '^" + title +
                                  "$' getwindowgeometry %@ 2>/dev/null");
    for (size_t at = out.find("Geometry: "); at != std::string::npos; at = out.find("Geometry: ", at + 1)) {
        const std::string size = out.substr(at + 10, out.find('\n', at) - at - 10);
        const int width = std::atoi(size.c_str());
        const int height = std::atoi(size.c_str() + size.find('x') + 1);
        if (width * 200 != height * 320 || width % 320 != 0) return size;
    }
    return "";
}

// The one-line title of the game (language line 1 of the English file).
std::string GameTitle(const std::filesystem::path& folder) {
    std::ifstream english(folder / "english.str");
    std::string title;
    std::getline(english, title);
    if (!title.empty() && title.front() == '"') title.erase(0, 1);
    if (!title.empty() && title.back() == '"') title.pop_back();
    return title;
}

struct StartResult {
    bool shown = false;
    bool ended = false;
    int code = -1;
    std::string size;       // of the game's window
    std::string errors;     // what the game wrote to standard error
};

// One start as a player makes it: the logo skipped with Space as soon as the game's window shows, then the window's
// close button (Alt+F4) and Enter for the quit question, pressed again every 1.2 seconds until the game ends (keys
// pressed while it still loads may all go to the logo). A start that shows no game window within 20 seconds or does
// not end within 15 seconds after that is killed.
StartResult StartAndQuit(const std::filesystem::path& folder, const std::string& title) {
    StartResult result;
    const std::filesystem::path log = folder / "stderr.txt";
    const pid_t child = StartGameLogged(folder, log);
    int status = 0;
    bool reaped = false;
    for (int i = 0; i < 200 && !result.shown && !reaped; i++) {
        Pause(100);
        result.size = GameWindowSize(title);
        result.shown = !result.size.empty();
        reaped = waitpid(child, &status, WNOHANG) == child;
    }
    if (result.shown) Keys("space alt+F4 Return");
    for (int i = 1; i <= 150 && !reaped; i++) {
        Pause(100);
        reaped = waitpid(child, &status, WNOHANG) == child;
        if (!reaped && i % 12 == 0) Keys("alt+F4 Return");
    }
    if (!reaped) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    result.ended = reaped;
    result.code = reaped && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("kolbrix:", 0) == 0) result.errors += line + "\n";
    return result;
}

// The settings field that says full screen (1) or window (0): after the player number and the language file name.
void SetFullscreenSetting(const std::filesystem::path& folder, std::int32_t fullscreen) {
    std::fstream settings(folder / "settings.dat", std::ios::binary | std::ios::in | std::ios::out);
    std::int32_t nameLength = 0;
    settings.seekg(4);
    settings.read(reinterpret_cast<char*>(&nameLength), 4);
    settings.seekp(8 + nameLength);
    settings.write(reinterpret_cast<const char*>(&fullscreen), 4);
}

}  // namespace

// Starts in a row in one program folder, as a player does: the first start writes the settings (full screen in the
// display's largest mode), the next ones read them. Every start must show the game's window and end by itself;
// a start whose full screen cannot be set falls back to the desktop's full screen or a window and says so on
// standard error.
TEST(Window, TwentyStartsInARowInFullScreenAndInAWindowEachShowTheGameAndEnd) {
    namespace fs = std::filesystem;
    if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
    const fs::path folder = ProgramCopy("kolbrix-starts");
    const std::string title = GameTitle(folder);
    constexpr int Starts = 20;
    for (const std::int32_t fullscreen : {1, 0}) {
        int shown = 0, ended = 0, fallbacks = 0;
        for (int start = 1; start <= Starts; start++) {
            if (fs::exists(folder / "settings.dat")) SetFullscreenSetting(folder, fullscreen);
            const StartResult r = StartAndQuit(folder, title);
            const std::string what = std::string(fullscreen ? "full screen" : "window") + ", start " +
                                     std::to_string(start);
            EXPECT_TRUE(r.shown) << what << ": no game window\n" << r.errors;
            EXPECT_TRUE(r.ended) << what << ": did not end\n" << r.errors;
            EXPECT_EQ(r.code, 0) << what << "\n" << r.errors;
            shown += r.shown;
            ended += r.ended && r.code == 0;
            fallbacks += !r.errors.empty();
            if (!r.errors.empty()) std::printf("%s (%s):\n%s", what.c_str(), r.size.c_str(), r.errors.c_str());
        }
        ASSERT_TRUE(fs::exists(folder / "settings.dat"));
        std::printf("%d starts %s: %d showed the game's window, %d ended with code 0, %d fell back\n", Starts,
                    fullscreen ? "in full screen" : "in a window", shown, ended, fallbacks);
    }
    fs::remove_all(folder);
}

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

// A window never reaches past the desktop: `kolbrix-tool play --window` without a settings file opens 1024 x 768,
// and a size larger than the desktop opens as the largest window of its shape that fits.
TEST(Window, PlayInAWindowWithoutSettingsOpens1024x768AndALargerSizeFitsTheDesktop) {
    namespace fs = std::filesystem;
    if (Shell("command -v xdotool").empty()) GTEST_SKIP() << "xdotool is not installed";
    const fs::path folder = ProgramCopy("kolbrix-window-size");
    ASSERT_FALSE(fs::exists(folder / "settings.dat"));
    const std::string title = GameTitle(folder);
    int desktopWidth = 0, desktopHeight = 0;
    ASSERT_EQ(std::sscanf(Shell("xdotool getdisplaygeometry").c_str(), "%d %d", &desktopWidth, &desktopHeight), 2);
    const double scale = std::min(1.0, std::min(desktopWidth / 1920.0, desktopHeight / 1080.0));
    struct Case { std::string arguments, expected; };
    const Case cases[] = {
        {"", desktopWidth >= 1024 && desktopHeight >= 768 ? "1024x768" : ""},
        {"--size 1920x1080", std::to_string(int(1920 * scale)) + "x" + std::to_string(int(1080 * scale))},
    };
    for (const Case& c : cases) {
        if (c.expected.empty()) continue;
        const pid_t child = fork();
        if (child == 0) {
            const std::string command = "exec '" + (folder / "kolbrix-tool").string() + "' play '" +
                                        (folder / "testlevel.kbx").string() + "' --window --data '" + folder.string() +
                                        "' " + c.arguments + " 2>/dev/null";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::string size;
        for (int i = 0; i < 200 && size.empty(); i++) {
            Pause(50);
            size = GameWindowSize(title);
        }
        EXPECT_EQ(size, c.expected) << c.arguments << " on a desktop of " << desktopWidth << "x" << desktopHeight;
        Keys("Escape");
        if (!EndedWithZero(child)) std::printf("kolbrix-tool play %s did not end by itself\n", c.arguments.c_str());
    }
    fs::remove_all(folder);
}
