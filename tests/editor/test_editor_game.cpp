// The editor as the whole program reaches it: `kolbrix-tool game` with the editor handed to the menu, driven by the
// example script in assets/scripts, the level file read back afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "play/level_file.h"
#include "tests/shell/game_fixture.h"

namespace {

TEST(EditorGame, TheExampleEditsSavesTestsAndLeavesTheEditor) {
    FirstStartFolder f;
    const std::string level = (f.folder.path / "lvlpckTest" / "001.kbx").string();
    const std::vector<std::pair<double, double>> before = WallsOf(level);
    ASSERT_FALSE(before.empty());
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/assets/scripts/example-editor.keys", std::ios::binary);
    const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(script.empty());

    InstallEditor();
    std::vector<std::string> trace;
    EXPECT_EQ(f.Run(script, 100000, trace), 0);
    std::vector<std::string> steps;
    for (const std::string& line : trace) {
        const size_t at = line.find("\"editor\":\"");
        if (at != std::string::npos) steps.push_back(line.substr(at + 10, line.find('"', at + 10) - at - 10));
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"enter", "test", "leave"}));
    ASSERT_FALSE(trace.empty());
    EXPECT_TRUE(trace.back().ends_with(",\"exit\":0}")) << trace.back();

    // One wall from the keys above the ball, two of the painted stroke left after the right button took one.
    const std::vector<std::pair<double, double>> after = WallsOf(level);
    EXPECT_EQ(after.size(), before.size() + 3);
    const auto has = [&after](double x, double y) {
        return std::binary_search(after.begin(), after.end(), std::make_pair(x, y));
    };
    EXPECT_TRUE(has(256, 384));
    EXPECT_FALSE(has(640, 256)) << "the right button erased the stroke's first wall";
    EXPECT_TRUE(has(768, 256) && has(896, 256)) << "the stroke's other walls";
}

}  // namespace
