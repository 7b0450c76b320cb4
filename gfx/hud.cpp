#include "gfx/hud.h"

#include <algorithm>

#include "gfx/view.h"
#include "base/frame_clock.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "play/effects.h"
#include "play/events.h"
#include "play/play_loop.h"
#include "base/files.h"
#include "base/settings.h"
#include "tiles/catalogue.h"

namespace {

// Centred messages scale with the screen width; those over a cell scale with the board.
constexpr double CentredCharSize = 0.0614583333333333;      // of ActiveWidth
constexpr double CentredAdvance = 0.046875;                 // of ActiveWidth
constexpr double WorldCharSize = 59;                        // world units
constexpr double WorldAdvance = 35;

// Counters: big text 47 x 59 with an advance of 35 on the 1024 x 768 layout, and a 64-pixel symbol.
constexpr double CounterCharWidth = 47, CounterCharHeight = 59, CounterAdvance = 35;
constexpr double CounterTextX = 80, SymbolX = 10, SymbolSize = 64;
constexpr double FlagRowY = 140, BombRowY = 70;             // above the bottom edge
constexpr double TimeX = 200;                               // left of the right edge

// The hint box.
constexpr std::int32_t HintBoxTop = 75, HintBoxHeight = 65, HintBoxPadding = 10;
constexpr std::int32_t HintFirstLine = 70, HintLineSpacing = 14;
constexpr double HintBlinkSeconds = 2;

std::int32_t Round(double value) {
    // Far inside the 32-bit range; a value that is not a number lands off the screen.
    if (!(value >= -1e9)) return -1000000000;
    return RoundEven(std::min(value, 1e9));
}

void DrawSymbol(std::int32_t texture, double rowY) {
    if (texture == 0) return;
    const std::int32_t image = Round(Entry(texture).firstFrame);
    if (image < 0 || image > ImageTable.Count()) return;
    const std::int32_t side = Round(SymbolSize * uiScaleY);
    SetColor(255, 255, 255);
    BindImage(ImageTable[image].id);
    DrawQuad(Round(SymbolX * uiScaleX), Round(ActiveHeight - rowY * uiScaleY), 16, side, side);
}

// Big text on the 1024 x 768 layout; the characters scale with the width.
void DrawCounter(const std::string& text, double x, double rowY, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    DrawBigText(r, g, b, 255, Round(x), Round(ActiveHeight - rowY * uiScaleY), text, CounterCharWidth * uiScaleX,
                CounterCharHeight * uiScaleX, CounterAdvance * uiScaleX);
}

}  // namespace

void AddFloatingText(double x, double y, const std::string& text, float red, float green, float blue) {
    FloatingText floating;
    if (x == CentreOnScreen) {
        floating.x = CentreOnScreen;
        floating.y = ActiveHeight / 2.0;
    } else {
        // Centred over the 128-unit cell at 35 units per character.
        floating.x = x + 64 - static_cast<double>(text.size()) * 35 / 2;
        floating.y = y + 35;
    }
    floating.red = red;
    floating.green = green;
    floating.blue = blue;
    floating.age = 0;
    floating.text = text;
    attempt.floatingTexts.Add(floating);
}

void ShowPlayTexts() {
    for (const PlayEvent& event : playEvents)
        if (event.kind == PlayEventKind::Text)
            AddFloatingText(event.x, event.y, event.text, event.red, event.green, event.blue);
}

void DrawFloatingTexts(std::int32_t cameraX, std::int32_t cameraY) {
    SetDepthFunc(DepthFunc::LessEqual);
    for (const FloatingText& text : attempt.floatingTexts) {
        const double alpha = FloatingTextAlpha(text);
        if (text.x == CentreOnScreen) {
            DrawBigTextCentered(text.red, text.green, text.blue, alpha, Round(text.y), text.text,
                                ActiveWidth * CentredCharSize, ActiveWidth * CentredCharSize,
                                ActiveWidth * CentredAdvance, -1, -1);
        } else {
            const double ppu = view.pixelsPerUnit;
            DrawBigText(text.red, text.green, text.blue, alpha, Round(ppu * text.x - cameraX),
                        Round(ppu * text.y - cameraY), text.text, WorldCharSize * ppu, WorldCharSize * ppu,
                        WorldAdvance * ppu);
        }
    }
    SetDepthFunc(DepthFunc::Less);
}

void DrawHudCounters() {
    DrawCounter(std::to_string(attempt.flagsLeft), CounterTextX * uiScaleX, FlagRowY, HudRed, HudGreen, HudBlue);
    DrawSymbol(DefaultFlagTexture, FlagRowY);
    DrawCounter(std::to_string(level.bombCount), CounterTextX * uiScaleX, BombRowY, HudRed, HudGreen, HudBlue);
    DrawSymbol(DefaultBombTexture, BombRowY);
}

void DrawRemainingTime() {
    if (!(level.timeLimit > 0)) return;
    const bool warning = attempt.timeWarningShown != 0;
    DrawCounter(attempt.remainingTimeText, ActiveWidth - TimeX * uiScaleX, BombRowY, HudRed, warning ? 0 : HudGreen,
                warning ? 0 : HudBlue);
}

void EaseDisplayedScore() {
    if (attempt.displayedScore < score) attempt.displayedScore += (score - attempt.displayedScore) * frameStep / 2 + 1;
    if (attempt.displayedScore > score) attempt.displayedScore = score;
}

void DrawHintBox() {
    if (level.hintLines[1].empty()) return;
    if (view.hintBoxWidth == 0)
        for (int n = 1; n <= 4; ++n) view.hintBoxWidth = std::max(view.hintBoxWidth, TextWidth(UiFont, level.hintLines[n]));
    const std::int32_t left = Round(ActiveWidth / 2.0 - view.hintBoxWidth / 2.0);
    SetColor(255, 255, 255);
    BindImage(editGrayImage.id);
    DrawQuad(left, ActiveHeight - HintBoxTop, 11, view.hintBoxWidth + HintBoxPadding, HintBoxHeight);
    // The hint blinks for the first seconds of the level so that the player notices it, then stays.
    view.blinkCounter = AdvanceFrame(1, 6, view.blinkCounter, frameStep);
    if (view.blinkCounter > 3 || attempt.elapsedTime > HintBlinkSeconds) {
        const std::int32_t x = Round(ActiveWidth / 2.0 - view.hintBoxWidth / 2.0 + HintBoxPadding / 2.0);
        for (int n = 1; n <= 4; ++n)
            DrawText(UiFont, level.hintLines[n], x, ActiveHeight - HintFirstLine + (n - 1) * HintLineSpacing, 12, 255, 255,
                     255, 255);
        // The text leaves its own blend mode and colour behind; whatever is drawn next expects the usual ones.
        SetBlend(BlendMode::Alpha);
        SetColor(255, 255, 255);
    }
}

void DrawHud(std::int32_t cameraX, std::int32_t cameraY) {
    DrawFloatingTexts(cameraX, cameraY);
    if (playRun.hudVisible != 0) {
        DrawHudCounters();
        EaseDisplayedScore();
        DrawRemainingTime();
    }
    DrawHintBox();
}
