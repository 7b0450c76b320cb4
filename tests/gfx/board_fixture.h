// A small world for the board and heads-up display tests: an image table whose image i has the id 1000 + i, a
// catalogue built by hand, an empty level, a 1024 x 768 screen at one pixel per world unit and the camera at (0, 0).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "play/effects.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/hud.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/settings.h"
#include "test_support.h"
#include "tiles/catalogue.h"

class BoardTest : public ::testing::Test {
protected:
    static constexpr int ImageCount = 200;
    static constexpr std::uint32_t PlaceholderId = 999;

    void SetUp() override {
        UseHeadless();
        ImageTable.Clear();
        ImageTable[0].id = PlaceholderId;
        for (int i = 1; i <= ImageCount; i++) {
            TextureImage image;
            image.id = Img(i);
            ImageTable.Add(image);
        }
        ResetTextureTable();
        for (int layer = 1; layer <= LevelLayerCount; layer++) LevelLayer(layer).Clear();
        attempt.flyingObjects.Clear();
        attempt.floatingTexts.Clear();
        level.elevatorIndex.Clear();
        ForgetBoardIndex();
        UiFont = Font{};
        editSelectImage.id = 5001;
        editGrayImage.id = 5002;

        ActiveWidth = 1024;
        ActiveHeight = 768;
        uiScaleX = 1;
        uiScaleY = 1;
        frameStep = 0;
        frameTime = 0;

        view = BoardView{};
        attempt = PlayAttempt{};
        playRun = PlayRun{};
        playRun.hudVisible = 0;
        level.levelZoom = 1;
        view.pixelsPerUnit = 1;
        level.deathCounter = level.winCounter = 0;
        level.ballSizeDivisor = 0;
        level.ballGrowFlag = 0;
        level.ballGrowth = 0;
        attempt.ballRolling = 0;
        attempt.switchState = -1;
        level.background = LevelObject{};
        level.ball = LevelObject{};
        level.ball.x = level.ball.y = -100000;      // out of the way unless a test places it
        for (std::string& line : level.hintLines) line.clear();
        level.timeLimit = 0;
        attempt.flagsLeft = 0;
        level.bombCount = 0;
        score = 0;
        level.levelBounds = LevelBounds{};
        focusX = focusY = 0;

        SetColor(255, 255, 255);
        SetDepthFunc(DepthFunc::Less);
        SetBlend(BlendMode::Alpha);
    }

    void TearDown() override {
        ResetTextureTable();
        ImageTable.Clear();
        for (int layer = 1; layer <= LevelLayerCount; layer++) LevelLayer(layer).Clear();
        attempt.flyingObjects.Clear();
        attempt.floatingTexts.Clear();
        ForgetBoardIndex();
        UiFont = Font{};
        view = BoardView{};
        playRun = PlayRun{};
        ActiveWidth = 1024;
        ActiveHeight = 768;
        frameStep = 0;
        level.levelZoom = 0.5;
        for (std::string& line : level.hintLines) line.clear();
    }

    static std::uint32_t Img(int i) { return 1000 + static_cast<std::uint32_t>(i); }

    static std::int32_t Texture(const std::string& name, std::int32_t kind, double first, double last,
                                std::int32_t repeat = 0) {
        TextureEntry entry;
        entry.pack = "txtpckTest";
        entry.name = name;
        entry.firstFrame = first;
        entry.lastFrame = last;
        entry.repeat = repeat;
        entry.kind = kind;
        return AddTexture(entry);
    }

    // The quads that `draw` records.
    static std::vector<QuadRecord> Draw(const std::function<void()>& draw) {
        Headless.drawing.clear();
        draw();
        return Headless.drawing;
    }
    static std::vector<QuadRecord> DrawOneLayer(std::int32_t layer, std::int32_t z = 6) {
        // In a frame of play the rules run the explosions before the board is drawn.
        if (layer == ExplosionLayerNumber) StepExplosions(frameStep);
        return Draw([&] { DrawLayer(layer, frameStep, RoundEven(view.cameraX), RoundEven(view.cameraY), z); });
    }
    static std::vector<QuadRecord> WithImage(const std::vector<QuadRecord>& quads, std::uint32_t image) {
        std::vector<QuadRecord> found;
        for (const QuadRecord& quad : quads)
            if (quad.image == image) found.push_back(quad);
        return found;
    }
};
