// The board on the headless back end: animation, hiding, explosions, the switch cell, the draw order and depths of
// each variant, culling at the screen edges (with and without the grid of big layers) and the ball's sizes.
#include "board_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

using BoardDrawing = BoardTest;

// ---- Animation ----------------------------------------------------------------------------------------------

TEST_F(BoardDrawing, FramesTenToThirteenByHalfStepsWrapToJustBelowTheFirst) {
    const double values[] = {10.5, 11, 11.5, 12, 12.5, 13, 9.5001, 10.0001, 10.5001};
    const int images[] = {10, 11, 12, 12, 12, 13, 10, 10, 11};
    // Once as an object's own animation, once as the shared frame of a tiling texture.
    const std::int32_t own = Texture("own", KindWall, 10, 13);
    const std::int32_t shared = Texture("shared", KindGround, 10, 13, -1);
    AddObject(0, 0, WallLayerNumber, own);
    AddObject(128, 0, GroundLayerNumber, shared);
    AddObject(256, 0, GroundLayerNumber, shared);
    frameStep = 0.5;
    for (int i = 0; i < 9; i++) {
        SCOPED_TRACE(i);
        const auto walls = DrawOneLayer(WallLayerNumber);
        EXPECT_NEAR(level.wallLayer[1].frame, values[i], 1e-9);
        ASSERT_EQ(walls.size(), 1u);
        EXPECT_EQ(walls[0].image, Img(images[i]));

        AnimateTilingTextures();
        EXPECT_NEAR(Entry(shared).frame, values[i], 1e-9);
        const auto ground = DrawOneLayer(GroundLayerNumber, 2);
        ASSERT_EQ(ground.size(), 2u);
        EXPECT_EQ(ground[0].image, Img(images[i]));
        EXPECT_EQ(ground[1].image, Img(images[i]));
        EXPECT_EQ(level.groundLayer[1].frame, 10);     // objects of a tiling texture keep no frame of their own
    }
}

TEST_F(BoardDrawing, ExplosionsPlayOnceAtFourCellsSquareWhereverTheyAreAndAreRemoved) {
    const std::int32_t explosion = Texture("boom", KindExplosion, 30, 33);
    for (double step : {0.5, 1.0}) {
        SCOPED_TRACE(step);
        level.explosionLayer.Clear();
        // Far off the screen: explosions are never culled.
        AddObject(-5000, 9000, ExplosionLayerNumber, explosion);
        frameStep = step;
        view.pixelsPerUnit = 0.5;
        std::vector<std::uint32_t> shown;
        int frames = 0;
        while (!level.explosionLayer.Empty() && frames < 100) {
            frames++;
            for (const QuadRecord& quad : DrawOneLayer(ExplosionLayerNumber, 10)) {
                EXPECT_EQ(quad.x, -2500);
                EXPECT_EQ(quad.y, 4500);
                EXPECT_EQ(quad.w, 256);
                EXPECT_EQ(quad.h, 256);
                shown.push_back(quad.image);
            }
        }
        EXPECT_LE(frames * step, 4.0);     // gone after about its four frames
        EXPECT_GE(frames * step, 3.0);
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << "it never starts over";
        EXPECT_EQ(shown.back(), Img(33));
        EXPECT_EQ(std::count(shown.begin(), shown.end(), Img(30)), step < 1 ? 1 : 0);
    }
}

TEST_F(BoardDrawing, AnExplosionRemovedOnTheWayLetsTheNextOneDrawInTheSameFrame) {
    const std::int32_t explosion = Texture("boom", KindExplosion, 30, 33);
    AddObject(0, 0, ExplosionLayerNumber, explosion);
    AddObject(512, 0, ExplosionLayerNumber, explosion);
    level.explosionLayer[1].frame = 33;       // on its last frame
    frameStep = 1;
    const auto quads = DrawOneLayer(ExplosionLayerNumber, 10);
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].x, 512);
    EXPECT_EQ(quads[0].image, Img(31));
    ASSERT_EQ(level.explosionLayer.Count(), 1);
    EXPECT_EQ(level.explosionLayer[1].x, 512);
}

// ---- Hiding and the switch cell ------------------------------------------------------------------------------

TEST_F(BoardDrawing, BlankObjectsAreHiddenInPlayOnly) {
    struct Case {
        const char* name;
        std::int32_t editorMode, showAll;
        bool drawn;
    };
    const Case cases[] = {
        {"BlankWall", 0, 0, false}, {"BlankWall", -1, 0, true}, {"BlankWall", 0, -1, true},
        {"wallBlank", 0, 0, false}, {"blankwall", 0, 0, true},  // the mark is case-sensitive
        {"brick", 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string(" editor ") + std::to_string(c.editorMode) + " showAll " +
                     std::to_string(c.showAll));
        ResetTextureTable();
        level.wallLayer.Clear();
        attempt.flyingObjects.Clear();
        const std::int32_t texture = Texture(c.name, KindWall, 5, 5);
        AddObject(128, 128, WallLayerNumber, texture);
        attempt.flyingObjects.Add(level.wallLayer[1]);
        view.EditorMode = c.editorMode;
        playRun.showAll = c.showAll;
        EXPECT_EQ(DrawOneLayer(WallLayerNumber).size(), c.drawn ? 1u : 0u);
        // Blown-away platforms are never hidden.
        EXPECT_EQ(Draw([] { DrawFlyingObjects(attempt.flyingObjects, 0, 0, 0, 10); }).size(), 1u);
    }
}

TEST_F(BoardDrawing, TheSwitchCellShowsItsSecondFrameWhileTheSwitchIsOn) {
    const std::int32_t lever = Texture("switch", KindArrowSwitch, 40, 41);
    const std::int32_t arrow = Texture("arrowup", KindArrowNorth, 40, 41);
    AddObject(0, 0, ArrowLayerNumber, lever);
    AddObject(128, 0, ArrowLayerNumber, arrow);
    frameStep = 0.5;
    for (int frame = 0; frame < 6; frame++) {
        for (std::int32_t state : {0, -1}) {
            attempt.switchState = state;
            const auto quads = DrawOneLayer(ArrowLayerNumber, 10);
            ASSERT_EQ(quads.size(), 2u);
            EXPECT_EQ(quads[0].image, Img(state != 0 ? 41 : 40)) << frame;
        }
    }
    // The other arrows animate as usual and are not held by the switch.
    std::vector<std::uint32_t> arrowImages;
    for (int frame = 0; frame < 4; frame++) arrowImages.push_back(DrawOneLayer(ArrowLayerNumber, 10)[1].image);
    EXPECT_NE(std::count(arrowImages.begin(), arrowImages.end(), Img(40)), 4);
}

// ---- Draw order and depths -----------------------------------------------------------------------------------

struct Expected {
    std::uint32_t image;
    std::int32_t z;
    DepthFunc depth;
};

class DrawOrder : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        // One object in every layer, each texture with an image of its own, all on the same cell.
        level.background.texture = Texture("sky", KindBackground, 1, 1);
        level.background.frame = 1;
        const std::pair<std::int32_t, std::int32_t> layers[] = {
            {GroundLayerNumber, 2}, {HazardLayerNumber, 3}, {ArrowLayerNumber, 4},  {PathLayerNumber, 5},
            {PlatformLayerNumber, 6}, {PickupLayerNumber, 7}, {WallLayerNumber, 8}, {CrackLayerNumber, 9},
            {ExplosionLayerNumber, 10}, {SpareLayerNumber, 11},
        };
        for (const auto& [layer, image] : layers)
            AddObject(0, 0, layer, Texture("t" + std::to_string(image), KindWall, image, image));
        level.ball.texture = Texture("ball", KindBall, 12, 12);
        level.ball.frame = 12;
        level.ball.x = level.ball.y = 0;
        LevelObject flying;
        flying.texture = Texture("flying", KindPlatform, 13, 13);
        flying.frame = 13;
        attempt.flyingObjects.Add(flying);
    }

    static void ExpectOrder(const std::vector<QuadRecord>& quads, const std::vector<Expected>& expected) {
        ASSERT_EQ(quads.size(), expected.size());
        for (size_t i = 0; i < quads.size(); i++) {
            SCOPED_TRACE(i);
            EXPECT_EQ(quads[i].image, expected[i].image);
            EXPECT_EQ(quads[i].z, expected[i].z);
            EXPECT_EQ(quads[i].depthFunc, static_cast<std::int32_t>(expected[i].depth));
            const bool tinted = expected[i].image == Img(13);
            EXPECT_EQ(quads[i].g, tinted ? 0 : 255);
            EXPECT_EQ(quads[i].r, tinted ? 192 : 255);
        }
    }
};

const std::vector<Expected> BoardUnderTheExtras = {
    {1000 + 1, 1, DepthFunc::Less},       // background
    {1000 + 2, 2, DepthFunc::Less},       // ground
    {1000 + 3, 3, DepthFunc::Less},       // exits and traps
    {1000 + 6, 4, DepthFunc::LessEqual},  // platforms
    {1000 + 13, 10, DepthFunc::LessEqual},// flying platforms, red
    {1000 + 8, 6, DepthFunc::Less},       // walls
    {1000 + 9, 7, DepthFunc::Less},       // cracks
    {1000 + 7, 8, DepthFunc::Less},       // pickups
    {1000 + 12, 9, DepthFunc::Less},      // ball
    {1000 + 4, 10, DepthFunc::Less},      // arrows
};

TEST_F(DrawOrder, PlayDrawsEveryLayerInOrderThenTheExplosionsButNeverThePathMarkers) {
    std::vector<Expected> expected = BoardUnderTheExtras;
    expected.push_back({Img(10), 10, DepthFunc::LessEqual});
    ExpectOrder(Draw([] { DrawBoard(BoardVariant::Play); }), expected);
}

TEST_F(DrawOrder, TheMenuStopsAfterTheArrows) {
    view.MenuActive = -1;
    EXPECT_EQ(CurrentBoardVariant(), BoardVariant::Menu);
    ExpectOrder(Draw([] { DrawBoard(CurrentBoardVariant()); }), BoardUnderTheExtras);
}

TEST_F(DrawOrder, TheEditorAddsItsCursorAndThePathMarkersInsteadOfTheExplosions) {
    view.EditorMode = -1;
    view.MenuActive = -1;            // the editor wins over the menu
    EXPECT_EQ(CurrentBoardVariant(), BoardVariant::Editor);
    std::vector<Expected> expected = BoardUnderTheExtras;
    expected.push_back({5001, 13, DepthFunc::Less});
    expected.push_back({Img(5), 10, DepthFunc::Less});
    const auto quads = Draw([] { DrawBoard(CurrentBoardVariant()); });
    ExpectOrder(quads, expected);
    // The cursor: one cell centred on the screen.
    view.pixelsPerUnit = 0.75;
    const auto cursor = WithImage(Draw([] { DrawEditCursor(); }), 5001);
    ASSERT_EQ(cursor.size(), 1u);
    EXPECT_EQ(cursor[0].x, 464);    // (1024 - 96) / 2
    EXPECT_EQ(cursor[0].y, 336);    // (768 - 96) / 2
    EXPECT_EQ(cursor[0].w, 96);
    EXPECT_EQ(cursor[0].h, 96);
}

TEST_F(DrawOrder, TheBackgroundFillsTheScreenAndRunsThroughItsFramesEvenWhenItTiles) {
    for (std::int32_t repeat : {0, -1}) {
        ResetTextureTable();
        level.background.texture = Texture("sky", KindBackground, 20, 22, repeat);
        level.background.frame = 20;
        frameStep = 1;
        std::vector<std::uint32_t> images;
        for (int i = 0; i < 4; i++) {
            const auto quads = Draw([] { DrawBackground(); });
            ASSERT_EQ(quads.size(), 1u);
            EXPECT_EQ(quads[0].x, 0);
            EXPECT_EQ(quads[0].y, 0);
            EXPECT_EQ(quads[0].w, 1024);
            EXPECT_EQ(quads[0].h, 768);
            EXPECT_EQ(quads[0].z, 1);
            images.push_back(quads[0].image);
        }
        EXPECT_EQ(images, (std::vector<std::uint32_t>{Img(21), Img(22), Img(20), Img(21)})) << repeat;
    }
}

// ---- Culling -------------------------------------------------------------------------------------------------

TEST_F(BoardDrawing, CellsTouchingTheScreenEdgesAreDrawnAndOnePixelFurtherAreNot) {
    struct Case {
        std::int32_t x, y;
        bool drawn;
    };
    // One pixel per unit, the camera at (100, 50): the screen shows units 100..1124 by 50..818.
    const Case cases[] = {
        {-28, 300, true},   {-29, 300, false},  {1124, 300, true}, {1125, 300, false},
        {500, -78, true},   {500, -79, false},  {500, 818, true},  {500, 819, false},
        {-28, -78, true},   {1124, 818, true},  {1125, 819, false},
    };
    const std::int32_t texture = Texture("brick", KindWall, 5, 5);
    for (const Case& c : cases) {
        level.wallLayer.Clear();
        AddObject(c.x, c.y, WallLayerNumber, texture);
        const auto quads = Draw([] { DrawLayer(WallLayerNumber, 0, 100, 50, 6); });
        EXPECT_EQ(quads.size(), c.drawn ? 1u : 0u) << c.x << ", " << c.y;
    }
}

TEST_F(BoardDrawing, NeighbouringCellsMeetWithoutGapsAtAnyScale) {
    const std::int32_t texture = Texture("brick", KindWall, 5, 5);
    for (int i = 0; i < 12; i++) AddObject(i * 128, 0, WallLayerNumber, texture);
    for (double ppu : {0.3, 0.48828125, 0.5, 0.61, 1.0}) {
        view.pixelsPerUnit = ppu;
        const auto quads = Draw([] { DrawLayer(WallLayerNumber, 0, 7, 3, 6); });
        ASSERT_GE(quads.size(), 2u);
        for (size_t i = 1; i < quads.size(); i++) EXPECT_EQ(quads[i].x, quads[i - 1].x + quads[i - 1].w) << ppu;
    }
}

TEST_F(BoardDrawing, ObjectsOfASingleImageKeepTheirFrameWhereverTheCameraIs) {
    const std::int32_t metal = Texture("metal", KindWall, 5, 5);
    const std::int32_t arrow = Texture("arrowup", KindArrowNorth, 10, 13);
    AddObject(0, 0, WallLayerNumber, metal);
    AddObject(5000, 0, WallLayerNumber, metal);
    AddObject(128, 0, WallLayerNumber, arrow);
    frameStep = 0.42;
    for (int i = 0; i < 10; i++) {
        const auto quads = DrawOneLayer(WallLayerNumber);
        ASSERT_EQ(quads.size(), 2u);
        EXPECT_EQ(quads[0].image, Img(5));
    }
    EXPECT_EQ(level.wallLayer[1].frame, 5);
    EXPECT_EQ(level.wallLayer[2].frame, 5);
    EXPECT_NE(level.wallLayer[3].frame, 10);      // the animated one runs
}

// A big level: every layer that does not move is sorted into a grid, so drawing looks only at what is near the
// screen. These tests hold it against the same objects walked in full (the platform layer is never sorted).
class BigLevel : public BoardTest {
protected:
    std::int32_t brick = 0, stone = 0, blank = 0, arrows = 0, lever = 0, lift = 0;
    static constexpr int Side = 120;        // 14,400 walls

    void SetUp() override {
        BoardTest::SetUp();
        brick = Texture("brick", KindWall, 5, 5);
        stone = Texture("stone", KindWall, 6, 6, -1);
        blank = Texture("BlankWall", KindWall, 14, 16);       // hidden in play, and animated
        arrows = Texture("arrowright", KindArrowEast, 10, 13);
        lever = Texture("switch", KindArrowSwitch, 40, 41);
        lift = Texture("Elevator", KindWall, 8, 8);
        for (int row = 0; row < Side; row++)
            for (int column = 0; column < Side; column++) {
                const int n = row * Side + column;
                const std::int32_t texture = n % 97 == 0 ? arrows : n % 89 == 0 ? blank : n % 83 == 0 ? lever
                                           : n % 7 == 0   ? stone : brick;
                AddObject(column * 128, row * 128, WallLayerNumber, texture);
            }
        CopyLayer(level.wallLayer, level.platformLayer);
        view.pixelsPerUnit = 0.5;
    }

    // The wall layer through its grid, and the same objects walked in full, at one camera: the grid's quads. Both
    // layers advance their animations once, so they stay in step.
    std::vector<QuadRecord> ExpectSameAsFullWalk(std::int32_t cx, std::int32_t cy) {
        const auto grid = Draw([&] { DrawLayer(WallLayerNumber, frameStep, cx, cy, 6); });
        const auto full = Draw([&] { DrawLayer(PlatformLayerNumber, frameStep, cx, cy, 6); });
        EXPECT_EQ(grid.size(), full.size()) << cx << ", " << cy;
        for (size_t i = 0; i < grid.size() && i < full.size(); i++) {
            EXPECT_EQ(grid[i].image, full[i].image) << i;
            EXPECT_EQ(grid[i].x, full[i].x) << i;
            EXPECT_EQ(grid[i].y, full[i].y) << i;
            EXPECT_EQ(grid[i].w, full[i].w) << i;
            EXPECT_EQ(grid[i].h, full[i].h) << i;
        }
        // Every object with an animation of its own is on the same frame, on the screen or not.
        int differing = 0;
        for (std::int32_t i = 1; i <= level.wallLayer.Count() && i <= level.platformLayer.Count(); i++) {
            const TextureEntry& entry = Entry(static_cast<std::int32_t>(level.wallLayer[i].texture));
            if (entry.repeat != -1 && entry.lastFrame > entry.firstFrame && level.wallLayer[i].frame != level.platformLayer[i].frame)
                differing++;
        }
        EXPECT_EQ(differing, 0);
        return grid;
    }
};

TEST_F(BigLevel, DrawsExactlyWhatAFullWalkDrawsAndLooksOnlyNearTheScreen) {
    struct Camera {
        std::int32_t x, y;
    };
    const Camera cameras[] = {{0, 0}, {-500, -400}, {1000, 2000}, {3000, 3000}, {6680, 7000}, {7000, 7100},
                              {-1100, 300}, {20000, 20000}, {1234, 567}};
    frameStep = 0.5;
    for (const Camera& c : cameras) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        const std::int64_t before = boardObjectsVisited;
        ExpectSameAsFullWalk(c.x, c.y);
        // The full walk visits all 14,400; the grid about the 17 x 13 cells on the screen and the animated arrows and
        // switches, which are visited wherever they are.
        const std::int64_t visited = boardObjectsVisited - before - Side * Side;
        EXPECT_LT(visited, 17 * 13 * 2 + Side * Side / 97 + Side * Side / 83 + 2);
    }
    // Zoomed far out, everything is on the screen.
    view.pixelsPerUnit = 0.05;
    ExpectSameAsFullWalk(0, 0);
}

TEST_F(BigLevel, AnimatedObjectsOffTheScreenKeepStepWithThoseOnIt) {
    frameStep = 0.5;
    // Seven frames with the camera on the top-left corner only, then the whole level at once.
    for (int i = 0; i < 7; i++) {
        Draw([] { DrawLayer(WallLayerNumber, frameStep, 0, 0, 6); });
        Draw([] { DrawLayer(PlatformLayerNumber, frameStep, 0, 0, 6); });
    }
    view.pixelsPerUnit = 0.05;
    const auto quads = ExpectSameAsFullWalk(0, 0);
    std::vector<std::uint32_t> arrowImages;
    for (const QuadRecord& quad : quads)
        if (quad.image >= Img(10) && quad.image <= Img(13)) arrowImages.push_back(quad.image);
    ASSERT_EQ(arrowImages.size(), static_cast<size_t>((Side * Side + 96) / 97));
    for (std::uint32_t image : arrowImages) EXPECT_EQ(image, arrowImages[0]);
    // Hidden objects stand still while hidden and run again when shown.
    for (std::int32_t shown : {-1, 0, -1}) {
        playRun.showAll = shown;
        for (int i = 0; i < 3; i++) ExpectSameAsFullWalk(i * 1000, 0);
    }
}

TEST_F(BigLevel, ChangesToTheLayerShowInTheNextFrames) {
    const std::int32_t glass = Texture("glass", KindWall, 9, 9);
    frameStep = 0;
    Draw([] { DrawLayer(WallLayerNumber, 0, 0, 0, 6); });

    // Replaced on the screen (the count stays the same: the old object goes, the new one comes last).
    AddObject(256, 256, WallLayerNumber, glass);
    AddObject(256, 256, PlatformLayerNumber, glass);
    ExpectSameAsFullWalk(0, 0);
    EXPECT_EQ(WithImage(Draw([] { DrawLayer(WallLayerNumber, 0, 0, 0, 6); }), Img(9)).size(), 1u);

    // Removed.
    RemoveObjectAt(384, 256, WallLayerNumber);
    RemoveObjectAt(384, 256, PlatformLayerNumber);
    ExpectSameAsFullWalk(0, 0);

    // Moved in place from far away onto the screen: noticed within a few frames.
    LevelObject& far = level.wallLayer[level.wallLayer.Count() / 2];
    ASSERT_GT(far.y, 3000);
    far.texture = glass;
    far.frame = 9;
    far.x = 640;
    far.y = 640;
    int frames = 0;
    while (WithImage(Draw([] { DrawLayer(WallLayerNumber, 0, 0, 0, 6); }), Img(9)).size() < 2 && frames < 1000)
        frames++;
    EXPECT_LE(frames, level.wallLayer.Count() / 32 + 1);

    // A whole new level with the same number of objects.
    const std::int32_t count = level.wallLayer.Count();
    level.wallLayer.Clear();
    for (int i = 0; i < count; i++) {
        LevelObject object;
        object.texture = glass;
        object.frame = 9;
        object.x = (i % 50) * 128;
        object.y = (i / 50) * 128;
        level.wallLayer.Add(object);
    }
    CopyLayer(level.wallLayer, level.platformLayer);
    ExpectSameAsFullWalk(0, 0);
}

TEST_F(BigLevel, FramesPutBackFromABackupAreTakenUp) {
    frameStep = 0.5;
    ExpectSameAsFullWalk(0, 0);
    Layer backup;
    CopyLayer(level.wallLayer, backup);
    for (int i = 0; i < 5; i++) ExpectSameAsFullWalk(0, 0);
    // A restart after a death: the layers as they were, frames included.
    CopyLayer(backup, level.wallLayer);
    CopyLayer(backup, level.platformLayer);
    for (int i = 0; i < 5; i++) ExpectSameAsFullWalk(i * 700, i * 300);
}

TEST_F(BigLevel, MovingElevatorsAreFollowed) {
    // A wall becomes an elevator after the grid was built (walls whose name holds "elevator" move in play).
    frameStep = 0;
    ExpectSameAsFullWalk(0, 0);
    for (Layer* layer : {&level.wallLayer, &level.platformLayer}) {
        (*layer)[5000].texture = lift;
        (*layer)[5000].frame = 8;
    }
    const double startY = level.wallLayer[5000].y;
    for (int step = 0; step < 20; step++) {
        level.wallLayer[5000].y = startY - step * 300;
        level.platformLayer[5000].y = level.wallLayer[5000].y;
        const std::int32_t cx = static_cast<std::int32_t>(level.wallLayer[5000].x * 0.5) - 500;
        const std::int32_t cy = static_cast<std::int32_t>(level.wallLayer[5000].y * 0.5) - 300;
        EXPECT_EQ(WithImage(Draw([&] { DrawLayer(WallLayerNumber, 0, cx, cy, 6); }), Img(8)).size(), 1u) << step;
        ExpectSameAsFullWalk(cx, cy);
    }
}

// ---- The ball ------------------------------------------------------------------------------------------------

TEST_F(BoardDrawing, TheBallIsShrunkBehindEverythingGrownOrNormal) {
    struct Case {
        double divisor;
        std::int32_t growFlag;
        double growth;
        std::int32_t x, y, side, z;
        DepthFunc depth;
    };
    // Half a pixel per unit, the camera at (10, 20), the ball at (256, 384).
    const Case cases[] = {
        {0, 0, 0, 118, 172, 64, 9, DepthFunc::Less},
        {2, 0, 0, 134, 188, 32, 1, DepthFunc::Equal},       // a 64-unit ball centred on its cell
        {3, 0, 0, 139, 193, 21, 1, DepthFunc::Equal},
        {2, -1, 64, 134, 188, 32, 1, DepthFunc::Equal},     // shrinking wins over growing
        {0, -1, 64, 102, 156, 96, 9, DepthFunc::Less},
        {-1, -1, 32, 110, 164, 80, 9, DepthFunc::Less},
    };
    level.ball.texture = Texture("ball", KindBall, 3, 3);
    level.ball.frame = 3;
    level.ball.x = 256;
    level.ball.y = 384;
    view.pixelsPerUnit = 0.5;
    const std::int32_t after = Texture("after", KindWall, 4, 4);
    AddObject(256, 384, ArrowLayerNumber, after);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.divisor);
        level.ballSizeDivisor = c.divisor;
        level.ballGrowFlag = c.growFlag;
        level.ballGrowth = c.growth;
        const auto quads = Draw([] {
            DrawBall(10, 20);
            DrawLayer(ArrowLayerNumber, 0, 10, 20, 10);
        });
        ASSERT_EQ(quads.size(), 2u);
        EXPECT_EQ(quads[0].image, Img(3));
        EXPECT_EQ(quads[0].x, c.x);
        EXPECT_EQ(quads[0].y, c.y);
        EXPECT_EQ(quads[0].w, c.side);
        EXPECT_EQ(quads[0].h, c.side);
        EXPECT_EQ(quads[0].z, c.z);
        EXPECT_EQ(quads[0].depthFunc, static_cast<std::int32_t>(c.depth));
        EXPECT_EQ(quads[1].depthFunc, static_cast<std::int32_t>(DepthFunc::Less)) << "the depth test is put back";
    }
}

TEST_F(BoardDrawing, TheBallRollsOnlyWhileRollingAndIsGoneTenFramesAfterADeath) {
    level.ball.texture = Texture("ball", KindBall, 20, 23);
    level.ball.frame = 20;
    level.ball.x = level.ball.y = 0;
    frameStep = 1;
    struct Case {
        std::int32_t rolling;
        double win, death;
        std::uint32_t image;    // after one frame from frame 20; 0 for no ball
    };
    const Case cases[] = {
        {-1, 0, 0, Img(21)}, {0, 0, 0, Img(20)}, {-1, 3, 0, Img(20)}, {-1, 0, 9.9, Img(21)}, {-1, 0, 10, 0},
    };
    for (const Case& c : cases) {
        level.ball.frame = 20;
        attempt.ballRolling = c.rolling;
        level.winCounter = c.win;
        level.deathCounter = c.death;
        const auto quads = Draw([] { DrawBall(0, 0); });
        if (c.image == 0) {
            EXPECT_TRUE(quads.empty()) << c.death;
            continue;
        }
        ASSERT_EQ(quads.size(), 1u);
        EXPECT_EQ(quads[0].image, c.image) << c.rolling << " " << c.win << " " << c.death;
    }
}

TEST_F(BoardDrawing, FlyingObjectsAreRedCulledCellsWhateverTheirKind) {
    LevelObject flying;
    flying.texture = Texture("boom", KindExplosion, 30, 33);
    flying.frame = 30;
    attempt.flyingObjects.Add(flying);
    flying.x = 2000;                    // off the screen
    attempt.flyingObjects.Add(flying);
    flying.texture = Texture("switch", KindArrowSwitch, 40, 41);
    flying.frame = 40;
    flying.x = 256;
    attempt.flyingObjects.Add(flying);          // not held by the switch
    attempt.switchState = 0;
    frameStep = 1;
    const auto quads = Draw([] {
        DrawFlyingObjects(attempt.flyingObjects, frameStep, 0, 0, 10);
        DrawBackground();
    });
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[1].image, Img(41));
    EXPECT_EQ(quads[0].w, 128);         // not the explosions' four cells
    EXPECT_EQ(quads[0].image, Img(31));
    EXPECT_EQ(quads[0].r, 192);
    EXPECT_EQ(quads[0].g, 0);
    EXPECT_EQ(quads[0].b, 0);
    EXPECT_EQ(quads[2].r, 255);         // white again afterwards
    EXPECT_EQ(quads[2].g, 255);
    EXPECT_EQ(attempt.flyingObjects[2].frame, 31);  // culled, yet animated
}

}  // namespace
