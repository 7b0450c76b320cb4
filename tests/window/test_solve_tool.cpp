// `kolbrix-tool solve` and `kolbrix-tool fairness` as a level designer runs them: the keys found are written and win
// with `kolbrix-tool play`; a level that does not load or a wrong command line fails with code 2 and writes
// nothing; fairness measures a shipped level with its own solution.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <filesystem>
#include <string>

#include "tests/window/tool_run.h"

namespace {

namespace fs = std::filesystem;

class SolveTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("kolbrix-solve-tool-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        tool = fs::path(KOLBRIX_GAME_DIR) / "kolbrix-tool";
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string Quoted(const fs::path& path) const { return "'" + path.string() + "'"; }
    // The last line the command writes on standard output.
    std::string LastLine(const std::string& command, int& code) const {
        const fs::path out = folder / "out.txt";
        code = ExitCodeOf(command + " >" + Quoted(out) + " 2>/dev/null");
        std::ifstream in(out);
        std::string line, last;
        while (std::getline(in, line))
            if (!line.empty()) last = line;
        return last;
    }
    fs::path folder, tool;
    const fs::path level = fs::path(KOLBRIX_GAME_DIR) / "lvlpckEpisode 1" / "001.kbx";
};

// A few shipped levels that the solver answers in about a second each.
TEST_F(SolveTool, TheKeysFoundWinWithPlay) {
    for (const char* shipped : {"lvlpckEpisode 1/001.kbx", "lvlpckEpisode 1/003.kbx", "lvlpckClassic/001.kbx"}) {
        SCOPED_TRACE(shipped);
        const fs::path path = fs::path(KOLBRIX_GAME_DIR) / shipped;
        const fs::path keys = folder / "found.keys";
        fs::remove(keys);
        int code = 0;
        const std::string answer =
            LastLine(Quoted(tool) + " solve " + Quoted(path) + " --budget 60 --progress --out " + Quoted(keys), code);
        ASSERT_EQ(code, 0) << answer;
        EXPECT_NE(answer.find("\"result\":\"solved\""), std::string::npos) << answer;
        ASSERT_TRUE(fs::exists(keys));
        const std::string replay = Quoted(tool) + " play " + Quoted(path) + " --inputs " + Quoted(keys);
        EXPECT_EQ(ExitCodeOf(replay + " >/dev/null 2>&1"), 0);
    }
}

TEST_F(SolveTool, WrongCommandLinesAndLevelsThatDoNotLoadFailAndWriteNothing) {
    const fs::path keys = folder / "never.keys";
    const std::string out = " --out " + Quoted(keys) + " >/dev/null 2>&1";
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " solve" + out), 2);
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " solve " + Quoted(level) + " --budget 0" + out), 2);
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " solve " + Quoted(level) + " --difficulty 9" + out), 2);
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " solve " + Quoted(level) + " --frobnicate" + out), 2);
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " solve " + Quoted(folder / "none.kbx") + out), 2);
    EXPECT_FALSE(fs::exists(keys));
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " fairness " + Quoted(folder / "none.kbx") + " >/dev/null 2>&1"), 2);
}

TEST_F(SolveTool, FairnessMeasuresAShippedLevelWithItsSolution) {
    const fs::path solution = fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs" / "Episode 1" / "001.keys";
    int code = 0;
    const std::string answer =
        LastLine(Quoted(tool) + " fairness " + Quoted(level) + " --solution " + Quoted(solution) + " --runs 5", code);
    ASSERT_EQ(code, 0) << answer;
    EXPECT_NE(answer.find("\"runs\":5,\"won\":5"), std::string::npos) << answer;
    EXPECT_NE(answer.find("\"narrowest window\":"), std::string::npos) << answer;

    // A solution that does not win is no solution.
    WriteTestFile(folder / "still.keys", "600\n");
    EXPECT_EQ(ExitCodeOf(Quoted(tool) + " fairness " + Quoted(level) + " --solution " + Quoted(folder / "still.keys") +
                         " >/dev/null 2>&1"),
              1);
}

}  // namespace
