// Texture loading on the headless back end, where every upload is recorded instead of reaching OpenGL.

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "gfx/texture.h"
#include "shell/startup.h"
#include "test_support.h"
#include "tests/gfx/png_fixture.h"

namespace {

std::string SmallPng(int width, int height) {
    png_fixture::Image img{width, height, 8, 6, {}};
    img.samples.assign(std::size_t(width) * std::size_t(height) * 4, 200);
    return png_fixture::Encode(img);
}

std::string SmallTga24(int width, int height) {
    std::string h(12, '\0');
    h[2] = 2;
    h += {char(width), 0, char(height), 0, 24, 0};
    return h + std::string(std::size_t(width) * std::size_t(height) * 3, '\x40');
}

class Textures : public ::testing::Test {
protected:
    TempProgramFolder folder;
    void SetUp() override {
        UseHeadless();
        ResetTextureRecords();
        ImageTable.Clear();
        NostalgicMode = 0;
    }
    void TearDown() override {
        NostalgicMode = 0;
        ImageTable.Clear();
    }
};

TEST_F(Textures, UploadsAreRecordedWithMadeUpIdsFlagsAndWraps) {
    folder.Write("a.png", SmallPng(3, 5));
    folder.Write("font.tga", SmallTga24(6, 2));
    TextureImage png, tga;
    ASSERT_EQ(LoadTexture(folder.File("a.png"), png, TextureMipmaps | TextureNearest, TextureWrapRepeat,
                          TextureWrapClampToEdge, 0), 0);
    ASSERT_EQ(LoadTexture(folder.File("font.tga"), tga, 0, TextureWrapRepeat, TextureWrapRepeat, 1), 0);

    ASSERT_EQ(TextureUploads.size(), 2u);
    const TextureUpload& first = TextureUploads[0];
    EXPECT_EQ(first.id, 1u);
    EXPECT_EQ(png.id, 1u);
    EXPECT_EQ(first.path, folder.File("a.png"));
    EXPECT_EQ(first.width, 3);
    EXPECT_EQ(first.height, 5);
    EXPECT_EQ(first.bitsPerPixel, 32);
    EXPECT_EQ(first.flags, TextureMipmaps | TextureNearest);
    EXPECT_EQ(first.wrapS, TextureWrapRepeat);
    EXPECT_EQ(first.wrapT, TextureWrapClampToEdge);
    EXPECT_EQ(png.format, TextureFormatRgba);
    EXPECT_TRUE(png.pixels.empty());    // released after upload

    EXPECT_EQ(tga.id, 2u);
    EXPECT_EQ(TextureUploads[1].bitsPerPixel, 24);
    EXPECT_EQ(tga.format, TextureFormatRgb);
    EXPECT_EQ(tga.pixels.size(), 6u * 2u * 3u);     // kept on request
}

TEST_F(Textures, AFailedLoadPrintsTheLineAndLeavesTheImageAlone) {
    folder.Write("upper.PNG", SmallPng(2, 2));
    folder.Write("broken.png", "not a png at all");
    folder.Write("picture.bmp", SmallPng(2, 2));
    for (const char* name : {"missing.png", "broken.png", "upper.PNG", "picture.bmp", "missing.tga"}) {
        TextureImage image;
        image.id = 77;
        image.width = 9;
        const std::string path = folder.File(name);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(LoadTexture(path, image, TextureMipmaps, TextureWrapClamp, TextureWrapClamp, 0), 1) << name;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: Loading texture... " + path + "\n");
        EXPECT_EQ(image.id, 77u) << name;
        EXPECT_EQ(image.width, 9) << name;
    }
    EXPECT_TRUE(TextureUploads.empty());
}

TEST_F(Textures, FixedImagesLoadWhenFirstDrawnWithTheirFiltering) {
    for (const char* name : {"oslogo.png", "1994oslogo.png", "endgame.png", "opening.png", "1994opening.png",
                             "editmenu.png", "editinput.png", "editdial.png", "editdial1.png", "editwait.png",
                             "editselect.png", "editgray.png"})
        folder.Write(name, SmallPng(4, 4));

    for (bool nostalgic : {false, true}) {
        ResetTextureRecords();
        NostalgicMode = nostalgic ? -1 : 0;
        // The pictures go pixel for pixel on a screen of their own size, and filtered on any other.
        ActiveWidth = nostalgic ? 1280 : 1024;
        ActiveHeight = nostalgic ? 1024 : 768;
        const std::int32_t pictures = nostalgic ? 0 : TextureNearest;
        std::size_t uploadsAtLogoHook = 99;
        LoadFixedImages([&] { uploadsAtLogoHook = TextureUploads.size(); });
        // Nothing is decoded yet: the logo is drawn by the hook's first frame, the menu's picture by the menu's.
        EXPECT_EQ(uploadsAtLogoHook, 0u);
        EXPECT_TRUE(TextureUploads.empty());

        const std::vector<std::tuple<TextureImage*, std::string, std::int32_t>> expected = {
            {&logoImage, nostalgic ? "1994oslogo.png" : "oslogo.png", pictures},
            {&endgameImage, "endgame.png", pictures},
            {&openingImage, nostalgic ? "1994opening.png" : "opening.png", pictures},
            {&editMenuImage, "editmenu.png", TextureNearest},
            {&editInputImage, "editinput.png", TextureNearest},
            {&editDialImage, "editdial.png", TextureNearest},
            {&editDial1Image, "editdial1.png", TextureNearest},
            {&editWaitImage, "editwait.png", TextureNearest},
            {&editSelectImage, "editselect.png", TextureNearest},
            {&editGrayImage, "editgray.png", TextureNearest}};
        for (const auto& [image, file, flags] : expected) {
            SCOPED_TRACE(file);
            EXPECT_EQ(image->width, 4);     // known from the header before it is drawn
            EXPECT_EQ(ResidentTexture(image->id), image->id);
            ASSERT_FALSE(TextureUploads.empty());
            EXPECT_EQ(TextureUploads.back().id, image->id);
            EXPECT_EQ(TextureUploads.back().path, folder.File(file));
            EXPECT_EQ(TextureUploads.back().flags, flags);
            EXPECT_EQ(TextureUploads.back().wrapS, TextureWrapClamp);
            EXPECT_EQ(TextureUploads.back().wrapT, TextureWrapClamp);
        }
        EXPECT_EQ(TextureUploads.size(), expected.size());

        // After the opening screen the logo gives its memory back, and comes back from its file if drawn again.
        ReleaseLogo();
        EXPECT_EQ(ReleasedTextures, (std::vector<std::uint32_t>{logoImage.id}));
        EXPECT_FALSE(TextureIsResident(logoImage.id));
        EXPECT_EQ(ResidentTexture(logoImage.id), logoImage.id);
        EXPECT_EQ(TextureUploads.back().id, logoImage.id);
    }
}

TEST_F(Textures, ReleaseDeletesEveryPackFrameButNotThePlaceholder) {
    folder.Write("f.png", SmallPng(2, 2));
    ASSERT_EQ(LoadTexture(folder.File("f.png"), ImageTable[0], TextureMipmaps, TextureWrapClamp, TextureWrapClamp, 0),
              0);
    for (int i = 0; i < 3; ++i) {
        int index = ImageTable.Add(TextureImage{});
        ASSERT_EQ(LoadTexture(folder.File("f.png"), ImageTable[index], TextureMipmaps, TextureWrapRepeat,
                              TextureWrapRepeat, 0), 0);
    }
    ImageTable.Add(TextureImage{});     // a frame that failed to load: nothing to delete
    ReleaseTextures();
    EXPECT_EQ(DeletedTextures, (std::vector<std::uint32_t>{2, 3, 4}));
    EXPECT_EQ(ImageTable[0].id, 1u);
    EXPECT_EQ(ImageTable[2].id, 0u);
}

}  // namespace

namespace {

// Sides that are not powers of two go to the nearer power of two: up when the two highest bits are both set.
TEST(Mipmaps, SidesGoToTheNearerPowerOfTwo) {
    const std::pair<int, int> cases[] = {{1, 1},  {2, 2},   {3, 4},    {5, 4},     {6, 8},    {7, 8},
                                         {80, 64}, {96, 128}, {100, 128}, {640, 512}, {768, 1024}, {1000, 1024}};
    for (const auto& [side, power] : cases) EXPECT_EQ(MipmapSide(side), power) << side;
}

// The chain runs from the scaled first level down to 1 x 1, each level half the one before, and keeps the image's
// mean colour: a checkerboard of two colours ends as their mean, a plain colour stays itself.
TEST(Mipmaps, ChainHalvesToOnePixelAndKeepsTheMean) {
    const int width = 6, height = 3;
    std::vector<std::uint8_t> checker, plain;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = (x + y) % 2 ? 200 : 0;
            checker.insert(checker.end(), {v, std::uint8_t(255 - v), 0, 255});
            plain.insert(plain.end(), {10, 20, 30, 40});
        }
    const std::vector<MipLevel> chain = BuildMipmapChain(checker.data(), width, height, 4);
    const std::vector<std::pair<int, int>> sizes = {{8, 4}, {4, 2}, {2, 1}, {1, 1}};
    ASSERT_EQ(chain.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        EXPECT_EQ(chain[i].width, sizes[i].first);
        EXPECT_EQ(chain[i].height, sizes[i].second);
        EXPECT_EQ(chain[i].pixels.size(), std::size_t(sizes[i].first * sizes[i].second * 4));
    }
    // 9 of the 18 source pixels are (200, 55), 9 are (0, 255).
    EXPECT_NEAR(chain.back().pixels[0], 100, 2);
    EXPECT_NEAR(chain.back().pixels[1], 155, 2);
    EXPECT_EQ(chain.back().pixels[3], 255);
    for (const MipLevel& level : BuildMipmapChain(plain.data(), width, height, 4))
        for (std::size_t i = 0; i < level.pixels.size(); i += 4)
            EXPECT_EQ(std::vector<int>(level.pixels.begin() + long(i), level.pixels.begin() + long(i) + 4),
                      (std::vector<int>{10, 20, 30, 40}));
}

}  // namespace
