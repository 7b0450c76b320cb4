// The shipped test level plays to the end with its recorded solution, and not without it.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/play/built_level.h"

namespace {
ReplayResult PlayShipped(const std::string& script) {
    return PlayBuiltLevel(std::string(KOLBRIX_GAME_DIR) + "/testlevel.kbx", script, 3000);
}
}  // namespace

TEST(ShippedLevel, TheRecordedSolutionCompletesTheTestLevel) {
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/assets/levels/testlevel.keys");
    std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(script.empty());
    ReplayResult solved = PlayShipped(script);
    EXPECT_TRUE(solved.completed);
    EXPECT_GT(score, 0);
    ReplayResult idle = PlayShipped("");
    EXPECT_FALSE(idle.completed);
}
