// The floor check: an include that goes up a floor fails it, and the tree as it is passes.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/test_support.h"

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome CheckFloors(const std::string& tree) {
    Outcome outcome;
    const std::string command = std::string(KOLBRIX_SOURCE_DIR) + "/scripts/check-floors.sh '" + tree + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return outcome;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) outcome.output += buffer;
    outcome.status = pclose(pipe);
    return outcome;
}

TEST(CheckFloors, AnIncludeThatGoesUpAFloorFailsAndIsNamed) {
    struct Case {
        const char* file;
        const char* include;
        bool passes;
    };
    const Case cases[] = {
        {"gfx/board.cpp", "play/level.h", true},          // down
        {"play/level.cpp", "play/level.h", true},         // the same floor
        {"play/rules.cpp", "gfx/board.h", false},         // up
        {"base/list.h", "platform/platform.h", false},    // up from the bottom
        {"shell/menu.cpp", "editor/editor.h", false},     // up at the top
        {"play/rules.cpp", "nowhere/thing.h", false},     // a folder that is no floor
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " includes " + c.include);
        TempProgramFolder tree;
        tree.Write(c.file, std::string("#include \"") + c.include + "\"\n");
        const Outcome outcome = CheckFloors(tree.Folder());
        EXPECT_EQ(outcome.status == 0, c.passes) << outcome.output;
        if (!c.passes) {
            EXPECT_NE(outcome.output.find(c.file), std::string::npos) << outcome.output;
        }
    }
}

TEST(CheckFloors, TheGamesOwnTreePasses) {
    const Outcome outcome = CheckFloors(KOLBRIX_SOURCE_DIR);
    EXPECT_EQ(outcome.status, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("No include goes up a floor."), std::string::npos);
}

}  // namespace
