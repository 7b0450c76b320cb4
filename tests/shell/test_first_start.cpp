// A new player's road into the game: from the first start, Enter alone leads to the first level of the pack meant
// for beginners, and that level is played through.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/shell/game_fixture.h"

namespace {

std::string SourceFile(const std::string& relative) {
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The value of a string field of a trace line; "" when the line has none.
std::string Field(const std::string& line, const std::string& name) {
    const std::string key = "\"" + name + "\":\"";
    const size_t at = line.find(key);
    if (at == std::string::npos) return "";
    return line.substr(at + key.size(), line.find('"', at + key.size()) - at - key.size());
}

// A first start of the game as shipped: every language and every level pack of the build, in place of the fixture's
// English and test pack. The pack folders are the fixture's own, their files linked in, so that the statistics the
// run writes stay there.
struct ShippedFirstStart : FirstStartFolder {
    ShippedFirstStart() {
        namespace fs = std::filesystem;
        fs::remove_all(folder.path / "lvlpckTest");
        for (const char* language : {"french.str", "german.str", "spanish.str"})
            fs::create_symlink(fs::path(KOLBRIX_GAME_DIR) / language, folder.path / language);
        for (const auto& pack : fs::directory_iterator(KOLBRIX_GAME_DIR)) {
            const std::string name = pack.path().filename().string();
            if (!pack.is_directory() || name.rfind("lvlpck", 0) != 0) continue;
            fs::create_directory(folder.path / name);
            for (const auto& file : fs::directory_iterator(pack.path()))
                if (file.path().extension() != ".sts")
                    fs::create_symlink(file.path(), folder.path / name / file.path().filename());
        }
    }
};

}  // namespace

TEST(FirstStart, EnterAloneLeadsANewPlayerToTheFirstLevelOfTheBeginnersPack) {
    ShippedFirstStart f;
    // Language, Play, the suggested name, the player, the pack, the difficulty, Play: seven times Enter.
    std::string script = "200\n";
    for (int press = 1; press <= 7; ++press) script += "1 enter\n10\n";
    const std::string solution = SourceFile("assets/packs/Kolbrix/001.keys");
    ASSERT_FALSE(solution.empty());
    script += solution + "\n300\n";
    std::vector<std::string> trace;
    f.Run(script, 4000, trace);

    std::string packScreen, lastMenu, played;
    // The language screen of a first start offers every language, the cursor on the first: English.
    ASSERT_FALSE(trace.empty());
    EXPECT_NE(trace.front().find("\"screen\":3,\"cursor\":2,"), std::string::npos) << trace.front();
    EXPECT_NE(trace.front().find("\"spanish.\""), std::string::npos) << trace.front();
    for (const std::string& line : trace) {
        if (line.find("\"screen\":13,") != std::string::npos && packScreen.empty()) packScreen = line;
        if (line.find("\"played\"") != std::string::npos && played.empty()) played = line;
        if (played.empty() && line.find("\"screen\":") != std::string::npos) lastMenu = line;
    }
    // The pack screen offers the beginners' pack first and says so under its name.
    EXPECT_EQ(Field(packScreen, "pack"), "lvlpckKolbrix") << packScreen;
    EXPECT_NE(packScreen.find("\"Kolbrix\",\"for beginners_\""), std::string::npos) << packScreen;
    // The level played is its first, by the suggested player, and the recorded solution finishes it.
    EXPECT_EQ(Field(lastMenu, "pack"), "lvlpckKolbrix") << lastMenu;
    EXPECT_NE(lastMenu.find("\"level\":1,"), std::string::npos) << lastMenu;
    EXPECT_EQ(Field(lastMenu, "player"), "player") << lastMenu;
    EXPECT_NE(played.find("\"played\":1,\"result\":\"completed\""), std::string::npos) << played;
}

// The road to a best run: the first level won, its best run is a file beside the statistics, the level screen shows
// it on going back a level, W plays it to the exit at 2x (the speed is the window's pace; the frames are the same),
// and G then Play races it.
TEST(FirstStart, AWonLevelsBestRunIsWatchedAndRacedFromTheLevelScreen) {
    ShippedFirstStart f;
    std::string script = "200\n";
    for (int press = 1; press <= 7; ++press) script += "1 enter\n10\n";
    script += SourceFile("assets/packs/Kolbrix/001.keys") + "\n300\n";
    // Level 2's screen: back to level 1, W, 2x after a second, then the ghost race on and level 1 played.
    script += "1 down\n10\n1 enter\n30\n1 w\n60\n1 2\n2200\n1 g\n10\n1 enter\n200 right\n1 esc\n60\n";
    std::vector<std::string> trace;
    f.Run(script, 6000, trace);
    std::string watched, lastPlayed;
    bool levelOneScreen = false;
    for (const std::string& line : trace) {
        if (line.find("\"best run\"") != std::string::npos) watched = line;
        if (line.find("\"played\"") != std::string::npos) lastPlayed = line;
        if (line.find("\"screen\":14,") != std::string::npos && line.find("\"level\":1,") != std::string::npos &&
            !lastPlayed.empty())
            levelOneScreen = true;
    }
    EXPECT_TRUE(levelOneScreen);
    EXPECT_NE(watched.find("\"best run\":\"completed\""), std::string::npos) << watched;
    EXPECT_NE(lastPlayed.find("\"played\":1,\"result\":\"not completed\""), std::string::npos) << lastPlayed;
    EXPECT_TRUE(std::filesystem::exists(f.folder.path / "lvlpckKolbrix" / "player.001.kbr"));
}
