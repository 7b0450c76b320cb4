// kolbrix-tool shot with real OpenGL (needs an X display; `make test` runs this under Xvfb when there is none): a small
// level of one-colour textures is drawn, and probed pixels must show the colour of what lies there.
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
#include "tools/common/png_write.h"

namespace {

namespace fs = std::filesystem;

struct Rgb {
    int r, g, b;
};
const Rgb Sky{40, 60, 200}, Grass{30, 170, 40}, Brick{210, 40, 30}, Hidden{220, 0, 220}, Ball{250, 230, 20};

// A 32 x 32 RGBA picture of one colour.
std::string SolidPng(Rgb colour, int alpha = 255) {
    const int side = 32;
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < side * side; i++)
        rgba.insert(rgba.end(), {std::uint8_t(colour.r), std::uint8_t(colour.g), std::uint8_t(colour.b),
                                 std::uint8_t(alpha)});
    return EncodeRgbaPng(side, side, rgba);
}

class Shot : public ::testing::Test {
protected:
    fs::path folder, tool;

    void SetUp() override {
        tool = fs::path(KOLBRIX_GAME_DIR) / "kolbrix-tool";
        ASSERT_TRUE(fs::exists(tool));
        folder = fs::temp_directory_path() / ("kolbrix-shot-" + std::to_string(getpid()));
        fs::remove_all(folder);
        const fs::path pack = folder / "txtpckTest";
        WriteTestFile(pack / "backccsky00.png", SolidPng(Sky));
        WriteTestFile(pack / "grndrrgrass00.png", SolidPng(Grass));
        WriteTestFile(pack / "wallccbrick00.png", SolidPng(Brick));
        WriteTestFile(pack / "wallccBlankWall00.png", SolidPng(Hidden));
        WriteTestFile(pack / "ballccyellow00.png", SolidPng(Ball));
        WriteTestFile(folder / "editselect.png", SolidPng(Rgb{255, 255, 255}, 0));   // a cursor that covers nothing
    }
    void TearDown() override { fs::remove_all(folder); }

    // A level four cells of grass over five of brick, the middle brick an invisible helper wall, and the ball.
    std::string Level(const std::string& name, const std::string& ballLine, double divisor) {
        const fs::path source = folder / (name + ".txt");
        WriteTestFile(source, "kolbrix-level 1\nzoom 1\ntime-limit 0\nball-size-divisor " + std::to_string(divisor) +
                          "\nbackground txtpckTest sky\n" + ballLine +
                          "\nlegend g ground txtpckTest grass\nlegend # wall txtpckTest brick\n"
                          "legend b wall txtpckTest BlankWall\nmap 0 0\n|gggg\n|##b##\n");
        const fs::path level = folder / (name + ".kbx");
        EXPECT_EQ(ExitCodeOf(tool.string() + " build " + source.string() + " " + level.string() + " --data " +
                      folder.string() + " >/dev/null"),
                  0);
        return level.string();
    }

    // Shoots the level and returns the picture (rows bottom first, as the decoder gives them).
    TextureImage Shoot(const std::string& level, const std::string& options) {
        const fs::path out = folder / "shot.png";
        fs::remove(out);
        EXPECT_EQ(ExitCodeOf(tool.string() + " shot " + level + " " + out.string() + " --data " + folder.string() + " " +
                      options + " >/dev/null"),
                  0);
        TextureImage image;
        EXPECT_TRUE(LoadPng(image, out.string()));
        return image;
    }

    static void ExpectColour(const TextureImage& image, int x, int y, Rgb colour, const char* what) {
        ASSERT_TRUE(x >= 0 && y >= 0 && x < image.width && y < image.height) << what;
        const int bytes = image.bitsPerPixel / 8;
        const size_t at = (size_t(image.height - 1 - y) * size_t(image.width) + size_t(x)) * size_t(bytes);
        const int r = image.pixels[at], g = image.pixels[at + 1], b = image.pixels[at + 2];
        EXPECT_NEAR(r, colour.r, 3) << what << " at " << x << ", " << y;
        EXPECT_NEAR(g, colour.g, 3) << what << " at " << x << ", " << y;
        EXPECT_NEAR(b, colour.b, 3) << what << " at " << x << ", " << y;
    }
};

TEST_F(Shot, ThePlayersViewShowsEachTextureWhereItLies) {
    const std::string level = Level("plain", "ball txtpckTest yellow 128 0", 0);
    const TextureImage image = Shoot(level, "--size 640x480");
    ASSERT_EQ(image.width, 640);
    ASSERT_EQ(image.height, 480);
    // 80 pixels a cell at this width; the level is narrower and lower than the screen, so it stands centred on the
    // bottom edge: cell (column, row) has its corner at (120 + 80 column, 320 + 80 row).
    ExpectColour(image, 20, 20, Sky, "background");
    ExpectColour(image, 160, 360, Grass, "grass");
    ExpectColour(image, 240, 360, Ball, "ball over the grass");
    ExpectColour(image, 160, 440, Brick, "brick");
    ExpectColour(image, 320, 440, Sky, "the hidden wall");
    ExpectColour(image, 480, 440, Brick, "last brick");
    ExpectColour(image, 100, 440, Sky, "left of the level");
}

TEST_F(Shot, TheEditorsViewCentresTheBallsCellAndShowsHiddenWalls) {
    const std::string level = Level("plain", "ball txtpckTest yellow 128 0", 0);
    const TextureImage image = Shoot(level, "--editor");
    ASSERT_EQ(image.width, 1024);
    ASSERT_EQ(image.height, 768);
    // One pixel a unit; the ball's cell from (448, 320) to (576, 448).
    ExpectColour(image, 512, 384, Ball, "ball");
    ExpectColour(image, 640, 512, Hidden, "the hidden wall, shown");
    ExpectColour(image, 384, 512, Brick, "brick");
    ExpectColour(image, 384, 384, Grass, "grass");
}

TEST_F(Shot, AShrunkBallShowsOnlyWhereNothingButTheBackgroundIs) {
    // Half a cell wide, on the open cell right of the grass: centred in it, with the sky around it.
    TextureImage image = Shoot(Level("open", "ball txtpckTest yellow 512 0", 2), "--size 640x480");
    ExpectColour(image, 480, 360, Ball, "ball in the open");
    ExpectColour(image, 446, 326, Sky, "corner of its cell");
    // On a brick cell it is hidden behind the brick.
    image = Shoot(Level("behind", "ball txtpckTest yellow 384 128", 2), "--size 640x480");
    ExpectColour(image, 400, 440, Brick, "ball behind the brick");
}

TEST_F(Shot, WrongCommandLinesAndMissingLevelsFail) {
    EXPECT_EQ(ExitCodeOf(tool.string() + " shot 2>/dev/null"), 2);
    EXPECT_EQ(ExitCodeOf(tool.string() + " shot a.kbx b.png --size 10 2>/dev/null"), 2);
    EXPECT_EQ(ExitCodeOf(tool.string() + " shot a.kbx b.png --frames 0 2>/dev/null"), 2);
    EXPECT_EQ(ExitCodeOf(tool.string() + " shot " + (folder / "none.kbx").string() + " " + (folder / "x.png").string() +
                  " --data " + folder.string() + " >/dev/null 2>&1"),
              1);
    EXPECT_FALSE(fs::exists(folder / "x.png"));
}

}  // namespace
