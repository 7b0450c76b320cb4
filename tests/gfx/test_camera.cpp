// The zoom and the camera: the scale of the board, the clamps to the level's edges, the easing, and the editor's
// unclamped camera.
#include "board_fixture.h"

namespace {

using Camera = BoardTest;

void Bounds(double minX, double maxX, double minY, double maxY) {
    level.levelBounds.minX = minX;
    level.levelBounds.maxX = maxX;
    level.levelBounds.minY = minY;
    level.levelBounds.maxY = maxY;
}

TEST_F(Camera, TheBoardScalesWithZoomLevelZoomAndTheScreenWidthOnly) {
    struct Case {
        std::int32_t width, height;
        double zoom, levelZoom, pixelsPerUnit;
    };
    const Case cases[] = {
        {1024, 768, 1, 0.5, 0.5}, {1024, 600, 0.5, 0.5, 0.25}, {2048, 768, 1, 0.5, 1.0},
        {1280, 1024, 1, 0.5, 0.625}, {640, 480, 0.25, 1, 0.15625},
    };
    for (const Case& c : cases) {
        ActiveWidth = c.width;
        ActiveHeight = c.height;
        attempt.targetZoom = c.zoom;
        level.levelZoom = c.levelZoom;
        UpdateZoom();
        EXPECT_DOUBLE_EQ(view.currentZoom, c.zoom);
        EXPECT_DOUBLE_EQ(view.pixelsPerUnit, c.pixelsPerUnit) << c.width << " x " << c.height;
    }
}

TEST_F(Camera, TheZoomEasesOnlyWhilePlaying) {
    level.levelZoom = 1;
    attempt.targetZoom = 0.5;
    view.currentZoom = 1;
    attempt.playing = -1;
    frameTime = 0.02;
    UpdateZoom();
    EXPECT_DOUBLE_EQ(view.currentZoom, 1 - 0.5 / 32);
    EXPECT_DOUBLE_EQ(view.smoothClock, 0.02);
    // Not enough time gathered since the view last eased: no step.
    view.smoothClock = 0;
    frameTime = 0.005;
    UpdateZoom();
    EXPECT_DOUBLE_EQ(view.currentZoom, 1 - 0.5 / 32);
    // A zoom of 0 takes the target at once.
    view.currentZoom = 0;
    frameTime = 0.02;
    UpdateZoom();
    EXPECT_DOUBLE_EQ(view.currentZoom, 0.5);
    attempt.playing = 0;
    attempt.targetZoom = 0.25;
    UpdateZoom();
    EXPECT_DOUBLE_EQ(view.currentZoom, 0.25);
}

TEST_F(Camera, TargetsAreClampedToTheLevel) {
    struct Case {
        const char* what;
        std::int32_t width, height;
        double minX, maxX, minY, maxY, focusX, focusY;
        double targetX, targetY;
    };
    // Half a pixel per unit at 1024 x 768: a cell is 64 pixels.
    const Case cases[] = {
        // A wide, tall level: the focus cell is centred, except where an edge of the level would show.
        {"middle", 1024, 768, 0, 12672, 0, 12672, 6400, 6400, 2720, 2848},
        {"left and top", 1024, 768, 0, 12672, 0, 12672, 0, 0, 0, 0},
        {"right and bottom", 1024, 768, 0, 12672, 0, 12672, 12672, 12672, 5376, 5632},
        // Narrower than the screen: centred whichever edge clamped first.
        {"narrow, focus left", 1024, 768, 0, 1152, 0, 12672, 0, 6400, -192, 2848},
        {"narrow, focus right", 1024, 768, 0, 1152, 0, 12672, 1152, 6400, -192, 2848},
        // Lower than the screen: it stands on the bottom edge.
        {"low", 1024, 768, 0, 12672, 1280, 1536, 6400, 1280, 2720, 64},
        // One cell on a large screen (0.78125 pixels per unit, 100 pixels a cell).
        {"one cell", 1600, 1200, 640, 640, 640, 640, 640, 640, -250, -600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ActiveWidth = c.width;
        ActiveHeight = c.height;
        level.levelZoom = 0.5;
        UpdateZoom();
        Bounds(c.minX, c.maxX, c.minY, c.maxY);
        focusX = c.focusX;
        focusY = c.focusY;
        UpdateCamera();
        EXPECT_DOUBLE_EQ(view.cameraTargetX, c.targetX);
        EXPECT_DOUBLE_EQ(view.cameraTargetY, c.targetY);
    }
}

TEST_F(Camera, AOneCellLevelIsCentredAndStandsOnTheBottomEdgeOfALargeScreen) {
    ActiveWidth = 1600;
    ActiveHeight = 1200;
    level.levelZoom = 0.5;
    const std::int32_t brick = Texture("brick", KindWall, 5, 5);
    AddObject(640, 640, WallLayerNumber, brick);
    Bounds(640, 640, 640, 640);
    focusX = focusY = 640;
    // The camera eases there from anywhere.
    view.cameraX = 3000;
    view.cameraY = -4000;
    attempt.playing = -1;
    frameTime = 0.02;
    for (int i = 0; i < 200; i++) {
        UpdateZoom();
        UpdateCamera();
    }
    const auto quads = Draw([] { DrawBoard(BoardVariant::Play); });
    const auto walls = WithImage(quads, Img(5));
    ASSERT_EQ(walls.size(), 1u);
    EXPECT_EQ(walls[0].w, 100);
    EXPECT_EQ(walls[0].x, (1600 - 100) / 2);
    EXPECT_EQ(walls[0].y, 1200 - 100);
}

TEST_F(Camera, EasesAnEighthOfTheWayOrHalfDuringTheDeathAndVictorySequences) {
    struct Case {
        double death, win, clock, movedTo;
    };
    const Case cases[] = {
        {0, 0, 0.02, 100}, {1, 0, 0.02, 400}, {0, 3, 0.02, 400}, {0.4, 0, 0.02, 100},  // [0.4] is 0
        {0, 0, 0.01, 0},                                                                // not past 0.01 s
    };
    Bounds(0, 100000, 0, 100000);
    view.pixelsPerUnit = 1;
    for (const Case& c : cases) {
        level.deathCounter = c.death;
        level.winCounter = c.win;
        view.smoothClock = c.clock;
        view.cameraX = view.cameraY = 0;
        // The focus cell's centre 800 pixels right and down of the screen's centre.
        focusX = 800 + (1024 - 128) / 2.0;
        focusY = 800 + (768 - 128) / 2.0;
        UpdateCamera();
        EXPECT_DOUBLE_EQ(view.cameraX, c.movedTo) << c.death << " " << c.win << " " << c.clock;
        EXPECT_DOUBLE_EQ(view.cameraY, c.movedTo);
        EXPECT_EQ(view.smoothClock, c.movedTo != 0 ? 0 : c.clock);
    }
}

TEST_F(Camera, TheEditorsCameraJumpsToTheCursorWithoutClamps) {
    view.EditorMode = -1;
    Bounds(0, 1280, 0, 1280);
    view.pixelsPerUnit = 0.5;
    focusX = -640;
    focusY = 5120;
    view.cameraX = view.cameraY = 12345;
    view.smoothClock = 0;
    UpdateCamera();
    EXPECT_DOUBLE_EQ(view.cameraX, -320 - (1024 - 64) / 2.0);
    EXPECT_DOUBLE_EQ(view.cameraY, 2560 - (768 - 64) / 2.0);
    // The whole frame: the cursor sits on the focus cell.
    const std::int32_t brick = Texture("brick", KindWall, 5, 5);
    AddObject(-640, 5120, WallLayerNumber, brick);
    const auto quads = Draw([] { DrawBoardFrame(); });
    const auto wall = WithImage(quads, Img(5));
    const auto cursor = WithImage(quads, editSelectImage.id);
    ASSERT_EQ(wall.size(), 1u);
    ASSERT_EQ(cursor.size(), 1u);
    EXPECT_EQ(wall[0].x, cursor[0].x);
    EXPECT_EQ(wall[0].y, cursor[0].y);
    EXPECT_EQ(wall[0].w, cursor[0].w);
}

}  // namespace
