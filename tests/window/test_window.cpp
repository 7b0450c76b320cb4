// The game in a real window (needs an X display; `make test` runs this under Xvfb when there is none).
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

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

}  // namespace

TEST(Window, GameOpensItsWindowWithTheTitleDrawsFramesAndEndsWithCodeZero) {
    namespace fs = std::filesystem;
    fs::path game = KOLBRIX_GAME_DIR;
    ASSERT_TRUE(fs::exists(game / "kolbrix"));
    // A copy of the program folder, so the settings file of this run does not touch the build's.
    fs::path folder = fs::temp_directory_path() / ("kolbrix-window-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(game))
        if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
            fs::copy_file(entry.path(), folder / entry.path().filename());
        else if (entry.is_directory())
            fs::create_directory_symlink(entry.path(), folder / entry.path().filename());
    fs::remove(folder / "settings.dat");

    std::ifstream english(folder / "english.str");
    std::string title;
    std::getline(english, title);
    if (!title.empty() && title.front() == '"') title.erase(0, 1);
    if (!title.empty() && title.back() == '"') title.pop_back();

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::string binary = (folder / "kolbrix").string();
        execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // The splash screen lasts three seconds; meanwhile the window must be there with its title.
    bool titled = false;
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 200 && !ended; i++) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!titled) titled = Shell("xwininfo -root -tree 2>/dev/null").find("\"" + title + "\"") != std::string::npos;
        ended = waitpid(child, &status, WNOHANG) == child;
    }
    if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    EXPECT_TRUE(ended) << "the game did not end after its splash screen";
    EXPECT_TRUE(titled) << "no window titled '" << title << "'";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    // Quitting saves the settings: the display chosen from the offered modes.
    EXPECT_EQ(fs::file_size(folder / "settings.dat"), 36 + std::string("english.str").size());
    fs::remove_all(folder);
}
