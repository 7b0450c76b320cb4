#include <algorithm>
#include <functional>
#include <vector>

#include "shell/level_load.h"
#include "tests/play/level_fixture.h"
#include "play/legacy_import.h"

namespace {

// An old text-screen level. Field rows use "#" for code 178, "%" for code 176 and "." for an empty cell (code 32);
// every other character is its own code.
struct OldLevel {
    std::string name = "Old";
    int background = 7;
    int pairs[8] = {1, 1, 1, 169, 1, 64, 1, 64};
    std::vector<std::string> rows;
    int lift[5] = {0, 0, 0, 0, 0};
    int ball[3] = {100, 0, 160};
    int time = 45;

    std::string Bytes() const {
        std::string out;
        out += static_cast<char>(name.size());
        out += name;
        out += static_cast<char>(background);
        for (int b : pairs) out += static_cast<char>(b);
        for (int r = 0; r < 10; ++r) {
            std::string row = r < static_cast<int>(rows.size()) ? rows[static_cast<size_t>(r)] : "";
            row.resize(16, '.');
            for (char c : row) out += static_cast<char>(c == '#' ? 178 : c == '%' ? 176 : c == '.' ? 32 : c);
        }
        for (int b : lift) out += static_cast<char>(b);
        for (int b : ball) out += static_cast<char>(b);
        out += static_cast<char>(time);
        return out;
    }
};

class LegacyImport : public LevelTest {
protected:
    void SetUp() override {
        LevelTest::SetUp();
        for (const char* name : {"PoisonedWater", "elevator", "fire", "FireLeft", "FireRight", "FireSingle",
                                 "brokenlift", "brickwall", "BackColor04", "BackColor05", "BackColor09",
                                 "BackColor10", "BackColor11", "BackColor12"})
            Add(LegacyPack, std::string("Varto-Lum_") + name, KindWall, 30, 30, 0);
        for (const char* name : {"bomb", "exit", "blank", "lightgreen"}) Add("txtpckMain", name, KindWall, 31, 31, 0);
        WriteEmptyLevel();
    }

    // Loads the old level the way the game does.
    bool Load(const OldLevel& old) {
        data->Write("old.lvl", old.Bytes());
        ClearMessage();
        return LoadLevel(data->File("old.lvl"));
    }
};

std::string NameOf(const LevelObject& object) {
    return Entry(static_cast<std::int32_t>(object.texture)).name;
}

// The names of a layer's objects at field row `row` (1-based, y = row x 128), left to right as added.
std::vector<std::string> RowNames(const Layer& layer, int row) {
    std::vector<std::string> names;
    for (const LevelObject& object : layer)
        if (object.y == row * 128.0) names.push_back(NameOf(object));
    return names;
}

std::vector<std::string> NonFrameWalls() {
    std::vector<std::string> names;
    for (const LevelObject& wall : level.wallLayer)
        if (NameOf(wall) != "blankwall") names.push_back(NameOf(wall));
    return names;
}

TEST_F(LegacyImport, BackgroundCodes) {
    const std::pair<int, const char*> cases[] = {
        {2, "Varto-Lum_BackColor10"}, {15, "Varto-Lum_BackColor09"}, {13, "Varto-Lum_BackColor05"},
        {3, "Varto-Lum_BackColor11"}, {7, "sky"},                    {12, "Varto-Lum_BackColor12"},
        {4, "Varto-Lum_BackColor04"},
    };
    for (const auto& [code, name] : cases) {
        SCOPED_TRACE(code);
        OldLevel old;
        old.background = code;
        ASSERT_TRUE(Load(old));
        EXPECT_EQ(NameOf(level.background), name);
        EXPECT_EQ(MessageState, 0);
    }
}

TEST_F(LegacyImport, CasesOfTheFieldLiftAndBall) {
    struct Case {
        const char* what;
        std::function<void(OldLevel&)> make;
        std::function<void()> check;
    };
    const std::vector<Case> cases = {
        {"fire pair as pair 1 shapes runs of fire",
         [](OldLevel& l) {
             l.pairs[0] = 1, l.pairs[1] = 106;
             l.rows = {"vvv.v.vvvv"};
         },
         [] {
             EXPECT_EQ(RowNames(level.hazardLayer, 1),
                       (std::vector<std::string>{"Varto-Lum_FireLeft", "Varto-Lum_fire", "Varto-Lum_FireRight",
                                                 "Varto-Lum_FireSingle", "Varto-Lum_FireLeft", "Varto-Lum_fire",
                                                 "Varto-Lum_fire", "Varto-Lum_FireRight"}));
             EXPECT_EQ(level.hazardLayer[1].x, 128);
             EXPECT_EQ(level.hazardLayer[4].x, 640);
         }},
        {"fire pair as pair 2 shapes the ends and keeps pair 1 in the middle",
         [](OldLevel& l) {
             l.pairs[2] = 1, l.pairs[3] = 106;
             l.rows = {"vvv", "l"};
         },
         [] {
             EXPECT_EQ(RowNames(level.hazardLayer, 1), (std::vector<std::string>{"Varto-Lum_FireLeft",
                                                                           "Varto-Lum_PoisonedWater",
                                                                           "Varto-Lum_FireRight"}));
             EXPECT_EQ(RowNames(level.pickupLayer, 2), (std::vector<std::string>{"Varto-Lum_fire"}));
         }},
        {"without fire every v cell has the look of pair 1",
         [](OldLevel& l) { l.rows = {"vv"}; },
         [] {
             EXPECT_EQ(RowNames(level.hazardLayer, 1),
                       (std::vector<std::string>{"Varto-Lum_PoisonedWater", "Varto-Lum_PoisonedWater"}));
         }},
        {"lift look as pair 3 or 4 is a broken lift, as pair 1 a lift",
         [](OldLevel& l) {
             int pairs[8] = {1, 22, 1, 169, 1, 22, 1, 22};
             std::copy(pairs, pairs + 8, l.pairs);
             l.rows = {"v%#"};
         },
         [] {
             EXPECT_EQ(RowNames(level.hazardLayer, 1), (std::vector<std::string>{"Varto-Lum_elevator"}));
             EXPECT_EQ(NonFrameWalls(), (std::vector<std::string>{"Varto-Lum_brokenlift", "Varto-Lum_brokenlift"}));
             EXPECT_EQ(RowNames(level.crackLayer, 1), (std::vector<std::string>{"blank"}));
             EXPECT_EQ(level.crackLayer[1].x, 256);
             EXPECT_EQ(level.elevatorIndex.Count(), 0);
         }},
        {"cells of every kind",
         [](OldLevel& l) { l.rows = {"", "", "lo*#%?"}; },
         [] {
             EXPECT_EQ(RowNames(level.pickupLayer, 3), (std::vector<std::string>{"lightgreen", "bomb"}));
             EXPECT_EQ(RowNames(level.hazardLayer, 3), (std::vector<std::string>{"exit"}));
             EXPECT_EQ(NonFrameWalls(), (std::vector<std::string>{"Varto-Lum_brickwall", "Varto-Lum_brickwall"}));
             EXPECT_EQ(RowNames(level.crackLayer, 3), (std::vector<std::string>{"blank"}));
         }},
        {"a pair without a look gives the placeholder silently",
         [](OldLevel& l) {
             l.pairs[6] = 2, l.pairs[7] = 2;
             l.rows = {"#"};
         },
         [] {
             EXPECT_EQ(NonFrameWalls(), (std::vector<std::string>{"missing texture"}));
             EXPECT_EQ(MessageState, 0);
         }},
        {"the lift and the ball",
         [](OldLevel& l) {
             int lift[5] = {1, 0, 100, 60, 40};
             std::copy(lift, lift + 5, l.lift);
             l.ball[0] = 10, l.ball[1] = 5, l.ball[2] = 7;
         },
         [] {
             EXPECT_EQ(NonFrameWalls(), (std::vector<std::string>{"Varto-Lum_elevator"}));
             ASSERT_EQ(level.elevatorIndex.Count(), 1);
             const LevelObject& lift = level.wallLayer[level.elevatorIndex[1]];
             EXPECT_EQ(lift.x, 1152);
             EXPECT_EQ(lift.y, 384);
             EXPECT_EQ(level.ball.x, 224);                 // (10 + 5 + 20) / 20 x 128
             EXPECT_DOUBLE_EQ(level.ball.y, 172.8);        // (7 + 20) / 20 x 128, not rounded
             EXPECT_EQ(level.ball.texture, TexBall);
             EXPECT_EQ(level.ball.frame, 4);
             EXPECT_EQ(focusX, 224);
         }},
        {"an empty field has the frame of 56 invisible walls and nothing else",
         [](OldLevel&) {},
         [] {
             ASSERT_EQ(level.wallLayer.Count(), 56);
             for (const LevelObject& wall : level.wallLayer) EXPECT_EQ(NameOf(wall), "blankwall");
             EXPECT_EQ(level.wallLayer[1].x, 0);
             EXPECT_EQ(level.wallLayer[18].x, 2176);
             EXPECT_EQ(level.wallLayer[56].y, 1408);
             EXPECT_EQ(level.hazardLayer.Count() + level.pickupLayer.Count() + level.crackLayer.Count(), 0);
             EXPECT_EQ(level.levelTitle, "Old");
             EXPECT_EQ(level.timeLimit, 45);
             EXPECT_EQ(level.levelZoom, 1.0);
             EXPECT_EQ(level.levelBounds.minX, 128);
             EXPECT_EQ(level.levelBounds.maxX, 2048);
             EXPECT_EQ(level.levelBounds.minY, 128);
             EXPECT_EQ(level.levelBounds.maxY, 1280);
             EXPECT_EQ(levelFileVersion, -1);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OldLevel old;
        c.make(old);
        ASSERT_TRUE(Load(old));
        c.check();
    }
}

// A file cut short still imports: what is missing keeps what the empty level gave it.
TEST_F(LegacyImport, AShortFileImportsWhatItHas) {
    OldLevel old;
    old.name = "Short";
    old.background = 12;
    old.rows = {"#"};
    const std::string full = old.Bytes();
    struct Case {
        size_t length;
        const char* title;
        bool background, wall;
    };
    const Case cases[] = {
        {0, "", false, false},
        {4, "Sho", false, false},
        {7, "Short", true, false},
        {15, "Short", true, false},      // colour pairs, but no field
        {16, "Short", true, true},       // the first row's first cell
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        data->Write("short.lvl", full.substr(0, c.length));
        ASSERT_TRUE(LoadLevel(data->File("short.lvl")));
        EXPECT_EQ(level.levelTitle, c.title);
        EXPECT_EQ(NameOf(level.background), c.background ? "Varto-Lum_BackColor12" : "sky");
        EXPECT_EQ(level.wallLayer.Count(), c.wall ? 57 : 56);
        EXPECT_EQ(level.ball.x, 128);         // the empty level's ball
        EXPECT_EQ(level.timeLimit, 600);
        EXPECT_EQ(level.levelZoom, 1.0);
    }
}

}  // namespace
