#include "shell/menu_draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "base/files.h"
#include "base/frame_clock.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "shell/best_runs.h"
#include "gfx/board.h"
#include "gfx/dialog_draw.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "tiles/animation.h"

double menuPulse = 0;

namespace {

// The screens with something of their own to draw.
constexpr std::int32_t CreditsScreen = 8, BuildHelpScreen = 9, PlayHelpScreen = 10;
constexpr std::int32_t BestRunRowGap = 20;       // the best run's line under the level's state
constexpr std::int32_t LevelScreen = 14, NewPlayerScreen = 15, PlayerExistsScreen = 18, TooManySkippedScreen = 19;
constexpr std::int32_t PackFinishedScreen = 27;

// Menu lines on the 1024 x 768 layout; they scale with the height so that they keep their shape on wide screens.
constexpr double LineCharWidth = 47, LineCharHeight = 59, LineAdvance = 40;
constexpr int MostLinesShown = 5;
constexpr double LinesBlockHeight = 295;        // five lines, centred on the screen
constexpr double LowLinesFromBottom = 236;      // the picture screens keep their lines low, clear of the picture

// The level screen's information panel: the pack's counts under its name, the level's title and state under the
// screen's title line, which moves up to make room and pushes the lines after it down.
constexpr double PanelPackNameY = 40, PanelCountsTop = 80, PanelUnderTitle = 40;
constexpr std::int32_t PanelCountRows[] = {16, 33, 50, 67};    // levels, solved, unsolved, skipped
constexpr std::int32_t LevelTitleRow = 16, LevelStateRow = 67;
constexpr std::int32_t TitleRaise = 20, PanelRoom = 80, LinesAfterPanelGap = 60;

constexpr std::int32_t LineLevels = 242, LineSolvedCount = 243, LineUnsolved = 231, LineSkipped = 232;
constexpr std::int32_t LineNotSolved = 236, LineSolvedOnce = 237, LineSolvedPrefix = 238, LineSolvedTimes = 239;

// The credits page: the heading, then each entry's name with its role lines under it (offsets from the page top).
constexpr std::int32_t CreditsHeight = 247, LineCredits = 109;
struct CreditEntry {
    const char* name;
    std::int32_t nameY;
    std::int32_t roles[2];              // language lines, 0 where there is none
    std::int32_t firstRoleY;
};
// Who made the game, truthfully: a small team working with AI coding agents wrote the code, the levels and the
// picture generator (tools/gen_art); the music and sounds come from the game's own generator and the voices from
// a speech synthesizer (espeak-ng); the team and its test suite did the testing. Last, the licence of all of it.
constexpr CreditEntry Credits[] = {
    {"The team with AI agents:", 25, {114, 115}, 40},
    {"tools/gen_audio:", 80, {116, 0}, 95},
    {"espeak-ng:", 120, {117, 0}, 135},
    {"The team and its tests:", 160, {118, 0}, 175},
    {"Licence:", 200, {202, 203}, 215},
};
constexpr std::int32_t CreditRoleSpacing = 15;

// The help pages: a heading and a block of left-aligned lines centred as a whole.
struct HelpPage {
    std::int32_t screen;
    std::int32_t height;                // of the whole page, for centring
    std::int32_t heading, firstLine, lastLine;
};
constexpr HelpPage HelpPages[] = {
    {BuildHelpScreen, 232, 108, 131, 144},
    {PlayHelpScreen, 187, 107, 119, 129},
};
constexpr std::int32_t HelpFirstLineGap = 25, HelpLineSpacing = 15;

bool EndsWith(const std::string& text, char c) { return !text.empty() && text.back() == c; }

void FullScreen(std::uint32_t image, std::int32_t z) {
    BindImage(image);
    DrawQuad(0, 0, z, ActiveWidth, ActiveHeight);
}

// The pictures are 4:3: on a wide screen the opening stands in the middle with the board at its sides, and the
// end-of-game picture spans the width in a band across the middle.
void DrawMenuBackground(std::int32_t screen) {
    SetColor(255, 255, 255);
    switch (screen) {
    case LevelScreen:
    case TooManySkippedScreen:
        FullScreen(editGrayImage.id, 11);      // a veil: the level stays visible through it
        return;
    case NewPlayerScreen:
    case PlayerExistsScreen:
    case PackFinishedScreen:
        // The pictures are opaque: drawn without blending, which a software renderer does at a fraction of the cost.
        SetBlend(BlendMode::Off);
        BindImage(endgameImage.id);
        if (isFourByThree == -1) DrawQuad(0, 0, 12, ActiveWidth, ActiveHeight);
        else DrawQuad(0, RoundEven((ActiveHeight - fourByThreeHeight) / 2.0), 11, ActiveWidth, fourByThreeHeight);
        SetBlend(BlendMode::Alpha);
        return;
    case CreditsScreen:
    case BuildHelpScreen:
    case PlayHelpScreen:
        FullScreen(editGrayImage.id, 11);
        break;
    default:
        break;
    }
    SetBlend(BlendMode::Off);
    BindImage(openingImage.id);
    if (isFourByThree == -1) DrawBackdrop(0, 0, 12, ActiveWidth, ActiveHeight);
    else DrawQuad(RoundEven((ActiveWidth - fourByThreeWidth) / 2.0), 0, 12, fourByThreeWidth, ActiveHeight);
    SetBlend(BlendMode::Alpha);
}

}  // namespace

bool MenuPictureCoversScreen(std::int32_t screen) {
    if (isFourByThree != -1) return false;
    switch (screen) {
    case LevelScreen:
    case TooManySkippedScreen:
        return false;
    default:
        return true;
    }
}

namespace {

// The cursor line's green, blue and fading: 0 to 255 and back.
std::int32_t AdvancePulse() {
    menuPulse = AdvanceFrame(0, 511, menuPulse, 32 * frameStep);
    std::int32_t p = RoundEven(menuPulse);
    if (p > 255) p = RoundEven(std::abs(menuPulse - 511));
    return p;
}

std::int32_t FirstLineY(std::int32_t screen) {
    if (screen == NewPlayerScreen || screen == PlayerExistsScreen || screen == PackFinishedScreen)
        return ActiveHeight - RoundEven(LowLinesFromBottom * uiScaleY);
    return RoundEven((ActiveHeight - RoundEven(LinesBlockHeight * uiScaleY)) / 2.0);
}

std::string CurrentPackName() {
    if (PackIndex < 1 || PackIndex > PackList.Count()) return "";
    const std::string& folder = PackList[PackIndex];
    return folder.size() > 6 ? folder.substr(6) : "";
}

std::int32_t CurrentLevelWins() {
    if (LevelNumber < 1 || LevelNumber > StatsSlots) return 0;
    return LevelWins[static_cast<std::size_t>(LevelNumber)];
}

void DrawLevelPanel(std::int32_t titleY) {
    DrawBigTextCentered(255, 255, 255, 255, RoundEven(PanelPackNameY * uiScaleY), CurrentPackName() + ":",
                        LineCharWidth * uiScaleY, LineCharHeight * uiScaleY, LineAdvance * uiScaleY, -1, -1);
    const std::int32_t unsolved = CountUncompleted();
    const std::string counts[] = {
        LanguageText[LineLevels] + std::to_string(LevelCount),
        LanguageText[LineSolvedCount] + std::to_string(LevelCount - unsolved),
        LanguageText[LineUnsolved] + std::to_string(unsolved),
        LanguageText[LineSkipped] + std::to_string(CountSkipped(1)),
    };
    const double countsTop = PanelCountsTop * uiScaleY;
    for (int row = 0; row < 4; row++)
        DrawTextCentered(counts[row], RoundEven(countsTop + PanelCountRows[row]), 255, 255, 255);

    const double underTitle = titleY + PanelUnderTitle * uiScaleY;
    DrawTextCentered(level.levelTitle, RoundEven(underTitle + LevelTitleRow), 255, 255, 255);
    const std::int32_t wins = CurrentLevelWins();
    const std::int32_t stateY = RoundEven(underTitle + LevelStateRow);
    if (wins == 0) DrawTextCentered(LanguageText[LineNotSolved], stateY, 255, 0, 0);
    else if (wins == 1) DrawTextCentered(LanguageText[LineSolvedOnce], stateY, 0, 255, 0);
    else
        DrawTextCentered(LanguageText[LineSolvedPrefix] + std::to_string(wins) + LanguageText[LineSolvedTimes], stateY,
                         0, 255, 0);
    // The best run and the keys that watch it and race it: the way to them is on the screen.
    const std::string bestRun = BestRunLine();
    if (!bestRun.empty()) DrawTextCentered(bestRun, stateY + BestRunRowGap, 140, 200, 255);
}

void ReadPointer() {
    PlatformMouse(menu.pointerX, menu.pointerY, menu.buttons);
    menu.MenuHover = 0;
}

void DrawMenuLines(std::int32_t screen, std::int32_t pulse) {
    std::int32_t y0 = FirstLineY(screen);
    // The level screen's sixth line is the demo's offer; elsewhere a sixth line is an invisible one.
    const std::int32_t shown = std::min(menu.MenuLineCount, screen == LevelScreen ? MenuMaxLines : MostLinesShown);
    const bool pointerIn = menu.pointerX != -1 && menu.pointerY != -1;
    for (std::int32_t i = 1; i <= shown; i++) {
        const std::string& line = menu.MenuLines[i];
        const bool title = EndsWith(line, ':');
        if (screen == LevelScreen && i == 3) y0 += LinesAfterPanelGap;
        if (screen == LevelScreen && title) y0 -= TitleRaise;
        const std::int32_t y = RoundEven(y0 + (i - 1) * uiScaleY * LineCharHeight);

        double r = 255, g = 255, b = 0, a = 255;
        if (i == menu.MenuCursor) {
            g = b = pulse;
            a = 255 - pulse / 2.0;
        } else if (title) {
            b = 255;
        } else if (EndsWith(line, '_')) {
            g = 120;
            b = 60;
        }
        // A line with "_" in it can never hold the cursor, so the pointer must not be able to put it there either.
        const bool pointable = pointerIn && line.find('_') == std::string::npos;
        const std::int32_t hovered =
            DrawBigTextCentered(r, g, b, a, y, line, LineCharWidth * uiScaleY, LineCharHeight * uiScaleY,
                                LineAdvance * uiScaleY, pointable ? menu.pointerX : -1, pointable ? menu.pointerY : -1);
        if (hovered != 0) menu.MenuHover = i;

        if (screen == LevelScreen && title) {
            DrawLevelPanel(y);
            y0 += PanelRoom;
        }
    }
}

void DrawCreditsPage() {
    const std::int32_t top = RoundEven((ActiveHeight - CreditsHeight) / 2.0);
    DrawTextCentered(LanguageText[LineCredits], top, 255, 255, 0);
    for (const CreditEntry& entry : Credits) {
        DrawTextCentered(entry.name, top + entry.nameY, 255, 255, 0);
        for (int k = 0; k < 2 && entry.roles[k] != 0; k++)
            DrawTextCentered(LanguageText[entry.roles[k]], top + entry.firstRoleY + k * CreditRoleSpacing, 255, 255,
                             255);
    }
}

void DrawHelpPage(const HelpPage& page) {
    const std::int32_t top = RoundEven((ActiveHeight - page.height) / 2.0);
    std::int32_t widest = 0;
    for (std::int32_t n = page.firstLine; n <= page.lastLine; n++)
        widest = std::max(widest, TextWidth(UiFont, LanguageText[n]));
    const std::int32_t left = RoundEven((ActiveWidth - widest) / 2.0);
    DrawTextCentered(LanguageText[page.heading], top, 255, 255, 0);
    for (std::int32_t n = page.firstLine; n <= page.lastLine; n++)
        DrawText(UiFont, LanguageText[n], left, top + HelpFirstLineGap + (n - page.firstLine) * HelpLineSpacing, 12,
                 255, 255, 255, 255);
}

void DrawPageExtras(std::int32_t screen) {
    if (screen == CreditsScreen) DrawCreditsPage();
    for (const HelpPage& page : HelpPages)
        if (page.screen == screen) DrawHelpPage(page);
}

}  // namespace

void DrawMenuScreen() {
    if (view.MenuActive == 0) return;
    const std::int32_t screen = menu.MenuScreen;
    DrawMenuBackground(screen);
    const std::int32_t pulse = AdvancePulse();
    ReadPointer();
    DrawMenuLines(screen, pulse);
    DrawPageExtras(screen);
    // The texts leave their own blend mode and colour behind; whatever is drawn next expects the usual ones.
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
    // A message raised outside the editor (a save that failed, a level that did not load, a pack that ends before a
    // gap) stands in the middle, over everything, until a key or a click takes it away.
    if (MessageState == 1)
        DrawMessageBox({RoundEven((ActiveWidth - DialogWidth) / 2.0), RoundEven((ActiveHeight - DialogHeight) / 2.0),
                        MenuMessageZ});
}
