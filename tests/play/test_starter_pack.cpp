// The starter pack shipped with the game (assets/packs/Kolbrix, built into lvlpckKolbrix): every level is in the
// table, plays to the end with the solution kept beside its source and not without it, and has its title and hints.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "tests/play/built_level.h"

namespace {

struct StarterLevel {
    const char* number;
    const char* title;
};

void PrintTo(const StarterLevel& level, std::ostream* out) { *out << level.number; }

const StarterLevel StarterLevels[] = {
    {"001", "Down the Hillside"},
    {"002", "Follow the Arrows"},
    {"003", "Handle with Care"},
    {"004", "Going Up"},
    {"005", "The Grand Tour"},
};

namespace fs = std::filesystem;

fs::path Sources() { return fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "packs" / "Kolbrix"; }
fs::path BuiltPack() { return fs::path(KOLBRIX_GAME_DIR) / "lvlpckKolbrix"; }

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Plays the built level with the script; its title is the one in the table.
ReplayResult Play(const StarterLevel& starter, const std::string& script) {
    const ReplayResult result =
        PlayBuiltLevel((BuiltPack() / (std::string(starter.number) + ".kbx")).string(), script, 4000);
    EXPECT_EQ(level.levelTitle, starter.title);
    return result;
}

class StarterPack : public ::testing::TestWithParam<StarterLevel> {};

TEST_P(StarterPack, TheSolutionCompletesTheLevelAndStandingStillDoesNot) {
    const StarterLevel& starter = GetParam();
    const std::string script = ReadText(Sources() / (std::string(starter.number) + ".keys"));
    ASSERT_FALSE(script.empty()) << "no solution for level " << starter.number;
    EXPECT_TRUE(Play(starter, script).completed);
    EXPECT_FALSE(Play(starter, "").completed);
}

TEST_P(StarterPack, TheBuiltLevelHasItsHintsBesideIt) {
    // The hint file's extension comes from the language the build ran with, so any "NNN.<language>.txt" will do.
    const std::string prefix = std::string(GetParam().number) + ".";
    std::string hints;
    if (fs::is_directory(BuiltPack()))
        for (const fs::directory_entry& entry : fs::directory_iterator(BuiltPack())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && name.ends_with(".txt")) hints = ReadText(entry.path());
        }
    EXPECT_NE(hints.find_first_not_of("\r\n"), std::string::npos) << "no hints beside level " << GetParam().number;
}

INSTANTIATE_TEST_SUITE_P(Levels, StarterPack, ::testing::ValuesIn(StarterLevels),
                         [](const ::testing::TestParamInfo<StarterLevel>& info) {
                             return std::string("Level") + info.param.number;
                         });

TEST(StarterPackContents, EveryLevelSourceOfThePackIsInTheTable) {
    std::set<std::string> sources, table;
    for (const fs::directory_entry& entry : fs::directory_iterator(Sources())) {
        const fs::path& path = entry.path();
        if (path.extension() == ".txt") sources.insert(path.stem().string());
    }
    for (const StarterLevel& starter : StarterLevels) table.insert(starter.number);
    EXPECT_EQ(sources, table);
}

}  // namespace
