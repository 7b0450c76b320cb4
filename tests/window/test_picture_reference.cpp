// The shipped textures drawn with real OpenGL must look as they always did: `kolbrix-tool shot` of three small levels
// (the main pack at half and full zoom with animated, translucent, tiling and mipmapped textures; the Varto-Lum pack;
// the editor's view with its panel) is averaged over blocks of 8 x 8 pixels and compared with pictures made the
// same way by the game before texture frames were decoded on first use and their mipmaps left to OpenGL
// (tests/window/data/reference-*.png, 128 x 96; only the heads-up display's flag has changed in them since, to the
// main pack's). OpenGL's own mipmaps round a little differently from GLU's, so a
// block may differ by a few levels; a missing, wrong or misplaced texture changes blocks by far more.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/texture.h"
#include "tests/window/tool_run.h"

namespace {

namespace fs = std::filesystem;

constexpr int Block = 8;
constexpr int MaxBlockDifference = 12;      // of 255, in any channel of any block
constexpr double MaxMeanDifference = 0.5;   // of 255, over every channel of every block

const char* const MainLevel = R"(kolbrix-level 1
zoom ZOOM
time-limit 0
background txtpckMain starrynight
ball txtpckMain ball 640 384
legend # wall txtpckMain brick
legend s wall txtpckMain stone
legend g wall txtpckMain grasstop
legend m wall txtpckMain marble
legend i wall txtpckMain ice
legend l wall txtpckMain elevator
legend F pickup txtpckMain flag
legend B pickup txtpckMain bomb
legend E hazard txtpckMain exit
legend L hazard txtpckMain lava
legend f hazard txtpckMain fire
legend w hazard txtpckMain saw
legend > arrow txtpckMain arrowright
legend ^ arrow txtpckMain arrowup
legend : ground txtpckMain grass
legend ~ ground txtpckMain water
legend t ground txtpckMain torch
legend c crack txtpckMain crack
legend P platform txtpckMain platform
map 0 0
|#################
|#..t..F.....B..E#
|#.^.>>>.P...ggg.#
|#.^.........s.s.#
|#gggg.l..f..mmmm#
|#~~~~~~~LLLLiiii#
|#######w#########
map 384 512
|c.c
)";

const char* const VartoLumLevel = R"(kolbrix-level 1
zoom 0.5
time-limit 0
background txtpckVarto-Lum Varto-Lum_BackColor100
ball txtpckMain ball 512 256
legend # wall txtpckVarto-Lum Varto-Lum_brickwall
legend w wall txtpckVarto-Lum Varto-Lum_wood
legend o wall txtpckVarto-Lum Varto-Lum_snowman
legend d pickup txtpckVarto-Lum Varto-Lum_disk
legend v hazard txtpckVarto-Lum Varto-Lum_fire
legend e hazard txtpckVarto-Lum Varto-Lum_electricity
legend p hazard txtpckVarto-Lum Varto-Lum_PoisonedWater
map 0 0
|##############
|#..d..o...d..#
|#.www....www.#
|#vvvv.ee.pppp#
|##############
)";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

// Averages of Block x Block pixels, RGB, top row first; the picture is bottom row first, as LoadPng gives it.
std::vector<int> Blocks(const TextureImage& image) {
    const int columns = image.width / Block, rows = image.height / Block, bytes = image.bitsPerPixel / 8;
    std::vector<int> out;
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < columns; ++bx)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int y = by * Block; y < (by + 1) * Block; ++y)
                    for (int x = bx * Block; x < (bx + 1) * Block; ++x)
                        sum += image.pixels[static_cast<size_t>(((image.height - 1 - y) * image.width + x) * bytes +
                                                                c)];
                out.push_back((sum + Block * Block / 2) / (Block * Block));
            }
    return out;
}

class PictureReference : public ::testing::Test {
protected:
    fs::path folder, tool, game = KOLBRIX_GAME_DIR;

    void SetUp() override {
        tool = game / "kolbrix-tool";
        ASSERT_TRUE(fs::exists(tool));
        folder = fs::temp_directory_path() / ("kolbrix-picture-" + std::to_string(getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Build(const std::string& name, const std::string& source) {
        WriteTestFile(folder / (name + ".txt"), source);
        const fs::path level = folder / (name + ".kbx");
        EXPECT_EQ(ExitCodeOf(tool.string() + " build " + (folder / (name + ".txt")).string() + " " + level.string() +
                             " --data " + game.string() + " >/dev/null"),
                  0);
        return level.string();
    }

    void Compare(const std::string& level, const std::string& options, const std::string& reference) {
        SCOPED_TRACE(reference);
        const fs::path out = folder / "shot.png";
        fs::remove(out);
        ASSERT_EQ(ExitCodeOf(tool.string() + " shot " + level + " " + out.string() + " --data " + game.string() + " " +
                             options + " >/dev/null"),
                  0);
        TextureImage shot, want;
        ASSERT_TRUE(LoadPng(shot, out.string()));
        ASSERT_TRUE(LoadPng(want, (fs::path(__FILE__).parent_path() / "data" / reference).string()));
        ASSERT_EQ(shot.width, want.width * Block);
        ASSERT_EQ(shot.height, want.height * Block);
        const std::vector<int> got = Blocks(shot);
        std::vector<int> expected;
        for (int y = want.height - 1; y >= 0; --y)
            for (int x = 0; x < want.width; ++x)
                for (int c = 0; c < 3; ++c)
                    expected.push_back(want.pixels[static_cast<size_t>((y * want.width + x) * 4 + c)]);
        ASSERT_EQ(got.size(), expected.size());
        int worst = 0;
        double total = 0;
        for (size_t i = 0; i < got.size(); ++i) {
            const int difference = std::abs(got[i] - expected[i]);
            worst = std::max(worst, difference);
            total += difference;
        }
        EXPECT_LE(worst, MaxBlockDifference);
        EXPECT_LE(total / static_cast<double>(got.size()), MaxMeanDifference);
    }
};

// The renderer's shortcuts (opaque images first and unblended, images drawn texel for texel unfiltered, images
// filtered once to the size they are drawn at, which happens after a few frames at one size) give the picture of
// the plain way, pixel for pixel but for a level of rounding.
TEST_F(PictureReference, ShortcutsDrawThePlainPicture) {
    const std::string half = Build("half", Replace(MainLevel, "ZOOM", "0.5"));
    const std::string full = Build("full", Replace(MainLevel, "ZOOM", "1"));
    const std::string varto = Build("varto", VartoLumLevel);
    const std::string shipped = (game / "lvlpckEpisode 3" / "009.kbx").string();
    const struct {
        std::string level, options;
    } cases[] = {
        {half, "--frames 12"},
        {full, "--frames 12"},
        {varto, "--frames 12"},
        {half, "--frames 12 --editor"},
        {"'" + shipped + "'", "--frames 12"},
        {"'" + shipped + "'", "--frames 12 --size 800x600"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level + " " + c.options);
        TextureImage pictures[2];
        for (int plain = 0; plain < 2; ++plain) {
            const fs::path out = folder / (plain ? "plain.png" : "quick.png");
            ASSERT_EQ(ExitCodeOf(tool.string() + " shot " + c.level + " " + out.string() + " --data " +
                                 game.string() + " " + c.options + (plain ? " --plain" : "") + " >/dev/null"),
                      0);
            ASSERT_TRUE(LoadPng(pictures[plain], out.string()));
        }
        ASSERT_EQ(pictures[0].pixels.size(), pictures[1].pixels.size());
        int worst = 0;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < pictures[0].pixels.size(); ++i) {
            const int difference = std::abs(int(pictures[0].pixels[i]) - int(pictures[1].pixels[i]));
            worst = std::max(worst, difference);
            differing += difference != 0;
        }
        EXPECT_LE(worst, 1);
        EXPECT_LT(differing, pictures[0].pixels.size() / 1000);
    }
}

TEST_F(PictureReference, ShotsLookAsBefore) {
    const std::string half = Build("half", Replace(MainLevel, "ZOOM", "0.5"));
    const std::string full = Build("full", Replace(MainLevel, "ZOOM", "1"));
    const std::string varto = Build("varto", VartoLumLevel);
    Compare(half, "", "reference-main-half.png");
    Compare(half, "--frames 23", "reference-main-half-animated.png");
    Compare(full, "", "reference-main-full.png");
    Compare(varto, "--frames 9", "reference-vartolum.png");
    Compare(half, "--editor", "reference-editor.png");
}

}  // namespace
