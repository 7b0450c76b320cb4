#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/message.h"
#include "gfx/draw.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/startup.h"
#include "tiles/catalogue.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"
#include "tools/common/png_write.h"

namespace fs = std::filesystem;

namespace {

// A real RGBA PNG of `width` x 1 pixels, so the loader has something to decode.
std::string TinyPng(std::uint32_t width) {
    return EncodeRgbaPng(int(width), 1, std::vector<std::uint8_t>(4 * width, 0x7f));
}

struct ExpectedTexture {
    std::string name;
    std::string kind;
    std::int32_t frames;
    std::int32_t repeat;
};

class TexturePacks : public ::testing::Test {
protected:
    void SetUp() override {
        PlatformInit(PlatformBackend::Headless, 0, nullptr);
        HeadlessReset();
        root = fs::temp_directory_path() /
               ("kolbrix-tiles-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        SetProgramFolder(root.string() + "/");
        NostalgicMode = 0;
        MessageState = 0;
        LanguageText[3] = "no texture";
    }
    void TearDown() override {
        SetProgramFolder("");
        NostalgicMode = 0;
        MessageState = 0;
        ResetTextureTable();
        ImageTable.Clear();
        TexturePackList.Clear();
        fs::remove_all(root);
    }

    void Write(const std::string& relative, const std::string& bytes = "not a png") {
        fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    void WriteFrames(const std::string& pack, const std::string& base, std::int32_t count) {
        for (std::int32_t k = 0; k < count; ++k) Write(pack + "/" + base + ZeroPad(k, 2) + ".png");
    }

    // The catalogue holds exactly `expected`, in order, with their frames as consecutive images.
    static void ExpectCatalogue(const std::vector<ExpectedTexture>& expected) {
        ASSERT_EQ(TextureCount(), static_cast<std::int32_t>(expected.size()));
        double nextImage = 1;
        for (std::int32_t i = 1; i <= TextureCount(); ++i) {
            const ExpectedTexture& want = expected[static_cast<size_t>(i - 1)];
            const TextureEntry& entry = Entry(i);
            SCOPED_TRACE("entry " + std::to_string(i) + " " + want.name);
            EXPECT_EQ(entry.name, want.name);
            EXPECT_EQ(EntryKindName(i), want.kind);
            EXPECT_EQ(entry.firstFrame, nextImage);
            EXPECT_EQ(entry.frame, entry.firstFrame);
            EXPECT_EQ(entry.lastFrame - entry.firstFrame + 1, want.frames);
            EXPECT_EQ(entry.repeat, want.repeat);
            nextImage = entry.lastFrame + 1;
        }
        EXPECT_EQ(ImageTable.Count(), nextImage - 1);
    }

    fs::path root;
};

TEST_F(TexturePacks, TexturesAreToldByFileNames) {
    struct Case {
        const char* title;
        std::vector<std::pair<std::string, std::int32_t>> runs;   // base, number of frames 00, 01, ...
        std::vector<std::string> extraFiles;
        std::vector<ExpectedTexture> expected;
    };
    const std::vector<Case> cases = {
        {"frames after a gap are ignored", {{"wallrrbrick", 2}}, {"wallrrbrick03.png"}, {{"brick", "wall", 2, -1}}},
        {"upper-case kind and wrap letters, name keeps its case", {{"WALLRCBrick", 1}}, {},
         {{"Brick", "wall", 1, -1}}},
        {"clamped both ways", {{"grndccdirt", 3}}, {}, {{"dirt", "grnd", 3, 0}}},
        {"one repeat letter is enough", {{"grndcrdirt", 1}}, {}, {{"dirt", "grnd", 1, -1}}},
        {"empty name", {{"ballrr", 1}}, {}, {{"", "ball", 1, -1}}},
        {"101 frames read 99 then 100", {{"wallrrlong", 101}}, {}, {{"long", "wall", 101, -1}}},
        {"201 frames", {{"wallrrlong", 201}}, {}, {{"long", "wall", 201, -1}}},
        // Frame 100 of "brick" does not exist here, so "wallrrbrick100.png" is frame 00 of "brick1".
        {"a name ending in 1 beside a short run", {{"wallrrbrick", 2}}, {"wallrrbrick100.png"},
         {{"brick", "wall", 2, -1}, {"brick1", "wall", 1, -1}}},
        {"unknown kind still loads", {{"zzzzccthing", 1}}, {}, {{"thing", "", 1, 0}}},
        {"no frame 00, no texture", {}, {"wallrrorphan01.png", "wallrrorphan02.png"}, {}},
        {"too short for kind and wrap letters", {}, {"ball00.png", "ballr00.png"}, {}},
        {"not a png", {}, {"wallrrbrick00.txt", "wallrrbrick00.png.bak"}, {}},
        {"listing order, not creation order", {{"wallrrzeta", 1}, {"backrrsky", 1}, {"wallrralpha", 2}}, {},
         {{"sky", "back", 1, -1}, {"alpha", "wall", 2, -1}, {"zeta", "wall", 1, -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove_all(root / "txtpckMain");
        for (const auto& [base, frames] : c.runs) WriteFrames("txtpckMain", base, frames);
        for (const std::string& extra : c.extraFiles) Write("txtpckMain/" + extra);
        LoadTexturePackNames();
        ExpectCatalogue(c.expected);
        for (std::int32_t i = 1; i <= TextureCount(); ++i) EXPECT_EQ(Entry(i).pack, "txtpckMain");
    }
}

TEST_F(TexturePacks, PacksInNameOrderAndFoundAcrossPacks) {
    // Made in reverse order so that the file system's own order is not the answer by chance.
    WriteFrames("txtpckZed", "wallrrbrick", 1);
    WriteFrames("txtpckAlpha", "wallrrbrick", 2);
    WriteFrames("txtpckAlpha", "ballrrblue", 1);
    WriteFrames("otherfolder", "wallrrstone", 1);
    Write("txtpckNotAFolder");

    LoadTexturePackNames();

    ASSERT_EQ(TexturePackList.Count(), 2);
    EXPECT_EQ(TexturePackList[1], "txtpckAlpha");
    EXPECT_EQ(TexturePackList[2], "txtpckZed");
    ExpectCatalogue({{"blue", "ball", 1, -1}, {"brick", "wall", 2, -1}, {"brick", "wall", 1, -1}});
    EXPECT_EQ(Entry(1).pack, "txtpckAlpha");
    EXPECT_EQ(Entry(3).pack, "txtpckZed");
    EXPECT_EQ(FindTexture("txtpckzed", "BRICK"), 3);
    EXPECT_EQ(FindTexture("txtpckGone", "brick"), 2);
    EXPECT_EQ(MessageState, 0);
    EXPECT_EQ(FindTexture("txtpckAlpha", "stone"), 0);   // only "txtpck*" folders are packs
    EXPECT_EQ(TexturePackShownName(TexturePackList[1]), "Alpha");
}

// Packs on either side of the main pack by name, each with its own symbols: the main pack loads last, so the
// defaults that go to the last one loaded are its own, and the background (the first one loaded) is not.
TEST_F(TexturePacks, TheMainPackLoadsLastAndKeepsItsSymbols) {
    for (const bool nostalgic : {false, true}) {
        SCOPED_TRACE(nostalgic ? "nostalgic" : "ordinary");
        fs::remove_all(root);
        const std::string prefix = nostalgic ? "1994txtpck" : "txtpck";
        for (const std::string pack : {"Alpha", "Main", "Varto-Lum"}) {
            WriteFrames(prefix + pack, "backcc" + pack, 1);
            for (const std::string kind : {"ball", "blsh", "bomb", "expl", "flag", "font"})
                WriteFrames(prefix + pack, kind + "cc" + pack, 1);
        }
        NostalgicMode = nostalgic ? -1 : 0;

        LoadTexturePackNames();

        ASSERT_EQ(TexturePackList.Count(), 3);
        EXPECT_EQ(TexturePackList[1], prefix + "Alpha");
        EXPECT_EQ(TexturePackList[2], prefix + "Varto-Lum");
        EXPECT_EQ(TexturePackList[3], prefix + "Main");
        EXPECT_EQ(Entry(DefaultBackgroundTexture).pack, prefix + "Alpha");
        for (const std::int32_t entry : {DefaultBallTexture, DefaultShadowTexture, DefaultBombTexture,
                                         DefaultExplosionTexture, DefaultFlagTexture, DefaultFontTexture})
            EXPECT_EQ(Entry(entry).pack, prefix + "Main");
    }
}

TEST_F(TexturePacks, NostalgicModeReadsOnlyThe1994Packs) {
    WriteFrames("txtpckMain", "wallrrbrick", 1);
    WriteFrames("1994txtpckMain", "wallrrbrick", 3);
    NostalgicMode = -1;

    LoadTexturePackNames();

    ASSERT_EQ(TexturePackList.Count(), 1);
    EXPECT_EQ(TexturePackList[1], "1994txtpckMain");
    EXPECT_EQ(TexturePackShownName(TexturePackList[1]), "tpckMain");
    ExpectCatalogue({{"brick", "wall", 3, -1}});
    EXPECT_EQ(Entry(1).pack, "1994txtpckMain");
    // A level made with the ordinary pack finds the nostalgic texture of the same name.
    EXPECT_EQ(FindTexture("txtpckMain", "brick"), 1);
    EXPECT_EQ(MessageState, 0);
}

TEST_F(TexturePacks, NoPackLeavesOnlyThePlaceholder) {
    LoadTexturePackNames();
    EXPECT_EQ(TexturePackList.Count(), 0);
    EXPECT_EQ(TextureCount(), 0);
    EXPECT_EQ(Entry(0).name, "no texture");
    EXPECT_EQ(Entry(0).firstFrame, 0);
    EXPECT_EQ(Entry(0).lastFrame, 0);
    EXPECT_EQ(FindTexture("txtpckMain", "brick"), 0);
    EXPECT_EQ(MessageState, 1);
}

TEST_F(TexturePacks, LoadingReadsHeadersAndDecodesEachFrameWhenFirstDrawn) {
    Write("notex.png", TinyPng(4));
    Write("txtpckAlpha/wallrrbrick00.png", TinyPng(2));
    Write("txtpckAlpha/wallrrbrick01.png", "broken");
    Write("txtpckAlpha/wallrrbrick02.png", TinyPng(3));
    Write("txtpckMore/grndccdirt00.png", TinyPng(5));
    Write("txtpckMore/wallcrtall00.png", TinyPng(6));
    // A sound header over damaged image data: only decoding finds out.
    std::string damaged = TinyPng(7);
    damaged[damaged.size() - 20] ^= 0x55;
    Write("txtpckMore/wallcrworn00.png", damaged);
    MessageState = -1;   // the splash phase of start-up
    ResetTextureRecords();
    logoImage = TextureImage{};     // no name left from an earlier test: the splash binds it while loading
    std::int64_t framesBefore = Headless.frame;

    ::testing::internal::CaptureStdout();
    LoadTexturePacks();
    // A file that is no PNG at all is reported while loading, as before.
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Error: Loading texture... " + root.string() + "/txtpckAlpha/wallrrbrick01.png\n");

    ExpectCatalogue(
        {{"brick", "wall", 3, -1}, {"dirt", "grnd", 1, 0}, {"tall", "wall", 1, -1}, {"worn", "wall", 1, -1}});
    // Sizes come from the headers; nothing is decoded or uploaded yet.
    EXPECT_EQ(ImageTable[0].width, 4);
    EXPECT_EQ(ImageTable[1].width, 2);
    EXPECT_EQ(ImageTable[2].width, 0);   // reported by the loader; the frame still counts
    EXPECT_EQ(ImageTable[2].id, 0u);
    EXPECT_EQ(ImageTable[3].width, 3);
    EXPECT_EQ(ImageTable[4].width, 5);
    EXPECT_EQ(ImageTable[5].width, 6);
    EXPECT_EQ(ImageTable[6].width, 7);
    EXPECT_TRUE(TextureUploads.empty());
    EXPECT_EQ(PendingTextureCount(), 6u);
    // The splash screen is redrawn at least once per pack while loading.
    EXPECT_GE(Headless.frame - framesBefore, 2);

    // Drawn in reverse order: each is uploaded when it is first bound, mipmapped, with the wrap modes its wrap
    // letters name, and only once.
    struct Upload {
        std::int32_t image;
        std::string path;
        std::uint32_t wrapS, wrapT;
    };
    const std::vector<Upload> expected = {
        {5, "txtpckMore/wallcrtall00.png", TextureWrapClampToEdge, TextureWrapRepeat},
        {4, "txtpckMore/grndccdirt00.png", TextureWrapClampToEdge, TextureWrapClampToEdge},
        {3, "txtpckAlpha/wallrrbrick02.png", TextureWrapRepeat, TextureWrapRepeat},
        {1, "txtpckAlpha/wallrrbrick00.png", TextureWrapRepeat, TextureWrapRepeat},
        {0, "notex.png", TextureWrapClamp, TextureWrapClamp},
    };
    for (int pass = 0; pass < 2; ++pass)
        for (const Upload& u : expected) EXPECT_EQ(ResidentTexture(ImageTable[u.image].id), ImageTable[u.image].id);
    ASSERT_EQ(TextureUploads.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].path);
        EXPECT_EQ(TextureUploads[i].id, ImageTable[expected[i].image].id);
        EXPECT_EQ(TextureUploads[i].path, root.string() + "/" + expected[i].path);
        EXPECT_EQ(TextureUploads[i].width, ImageTable[expected[i].image].width);
        EXPECT_EQ(TextureUploads[i].flags, TextureMipmaps);
        EXPECT_EQ(TextureUploads[i].wrapS, expected[i].wrapS);
        EXPECT_EQ(TextureUploads[i].wrapT, expected[i].wrapT);
    }

    // The damaged frame says so when it is first drawn, once, and draws as an image that never loaded.
    const std::uint32_t worn = ImageTable[6].id;
    ASSERT_NE(worn, 0u);
    ::testing::internal::CaptureStdout();
    BindImage(worn);
    DrawQuad(0, 0, 0, 8, 8);
    BindImage(worn);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Error: Loading texture... " + root.string() + "/txtpckMore/wallcrworn00.png\n");
    ASSERT_FALSE(Headless.drawing.empty());
    EXPECT_EQ(Headless.drawing.back().image, 0u);
    EXPECT_EQ(TextureUploads.size(), expected.size());
    EXPECT_EQ(PendingTextureCount(), 0u);

    // A level that uses only "dirt": loading it gives back the other frames in memory (the placeholder, the frame
    // that failed and those never drawn are left alone); a frame given back is decoded again when drawn again.
    level = Level{};
    LevelObject dirt;
    dirt.texture = FindTexture("txtpckMore", "dirt");
    level.groundLayer.Add(dirt);
    ReleaseImagesOutsideLevel();
    EXPECT_EQ(ReleasedTextures,
              (std::vector<std::uint32_t>{ImageTable[1].id, ImageTable[3].id, ImageTable[5].id}));
    EXPECT_TRUE(TextureIsResident(ImageTable[4].id));
    EXPECT_TRUE(TextureIsResident(ImageTable[0].id));
    EXPECT_FALSE(TextureIsResident(ImageTable[5].id));
    EXPECT_EQ(PendingTextureCount(), 3u);
    const size_t uploadsBefore = TextureUploads.size();
    EXPECT_EQ(ResidentTexture(ImageTable[5].id), ImageTable[5].id);
    ASSERT_EQ(TextureUploads.size(), uploadsBefore + 1);
    EXPECT_EQ(TextureUploads.back().path, root.string() + "/txtpckMore/wallcrtall00.png");
    EXPECT_EQ(TextureUploads.back().id, ImageTable[5].id);

    // Of an animated texture that the next level names, the frames it shows now stay (the first, and the one the
    // object is at); the frames between go.
    for (int k = 0; k < 4; ++k) Write("txtpckAlpha/grndccwave0" + std::to_string(k) + ".png", TinyPng(2));
    ResetTextureRecords();
    LoadTexturePacks();
    const std::int32_t wave = FindTexture("txtpckAlpha", "wave");
    const auto firstWave = static_cast<std::int32_t>(Entry(wave).firstFrame);
    for (std::int32_t i = 0; i < 4; ++i) ResidentTexture(ImageTable[firstWave + i].id);
    level = Level{};
    LevelObject water;
    water.texture = wave;
    water.frame = firstWave + 2;
    level.groundLayer.Add(water);
    ReleaseImagesOutsideLevel();
    EXPECT_EQ(ReleasedTextures,
              (std::vector<std::uint32_t>{ImageTable[firstWave + 1].id, ImageTable[firstWave + 3].id}));
    EXPECT_TRUE(TextureIsResident(ImageTable[firstWave].id));
    EXPECT_TRUE(TextureIsResident(ImageTable[firstWave + 2].id));
    // A default texture keeps what it shows too (the explosion: its first frame), but the big font all its frames,
    // which are its letters.
    for (const bool font : {true, false}) {
        SCOPED_TRACE(font ? "font" : "explosion");
        for (std::int32_t i = 0; i < 4; ++i) ResidentTexture(ImageTable[firstWave + i].id);
        ReleasedTextures.clear();
        level = Level{};
        (font ? DefaultFontTexture : DefaultExplosionTexture) = wave;
        ReleaseImagesOutsideLevel();
        (font ? DefaultFontTexture : DefaultExplosionTexture) = 0;
        for (std::int32_t i = 0; i < 4; ++i)
            EXPECT_EQ(TextureIsResident(ImageTable[firstWave + i].id), font || i == 0) << i;
    }
    level = Level{};
    for (int k = 0; k < 4; ++k) fs::remove(root / ("txtpckAlpha/grndccwave0" + std::to_string(k) + ".png"));

    // Names only: the same catalogue, nothing decoded and no frame drawn.
    framesBefore = Headless.frame;
    ResetTextureRecords();
    LoadTexturePackNames();
    ExpectCatalogue(
        {{"brick", "wall", 3, -1}, {"dirt", "grnd", 1, 0}, {"tall", "wall", 1, -1}, {"worn", "wall", 1, -1}});
    EXPECT_EQ(ImageTable[1].width, 0);
    EXPECT_TRUE(TextureUploads.empty());
    EXPECT_EQ(PendingTextureCount(), 0u);
    EXPECT_EQ(Headless.frame, framesBefore);
}

}  // namespace
