#include "editor/panel_draw.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/frame_clock.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "editor/editor.h"
#include "editor/editor_state.h"
#include "editor/panel_input.h"
#include "editor/selection.h"
#include "editor/win_check.h"
#include "gfx/board.h"
#include "gfx/dialog_draw.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/packs.h"
#include "tiles/animation.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"

namespace {

constexpr std::int32_t PanelWidth = 374, PanelHeight = 186;
// Depths over the board (whose cursor frame stands at 13): the veil, the panel's image, what shows on it, text.
constexpr std::int32_t VeilZ = 14, PanelZ = 15, PictureZ = 16, MarkerZ = 17, TextZ = 18;
// The selection's frame and the paste's preview stand over the board's cursor and under the panel.
constexpr std::int32_t SelectionZ = 13;

constexpr std::int32_t LineLevelNumber = 89, LinePickerHelp = 87;
constexpr std::int32_t PickerThumbSide = 64;
constexpr std::int32_t TitleMaxWidth = 300;

struct Spot {
    std::int32_t x, y;
};
constexpr Spot InputText = {40, 87};

struct KindButton {
    std::int32_t kind;
    Spot at;
};
constexpr KindButton KindButtons[] = {
    {KindGround, {153, 80}},     {KindWall, {174, 80}},       {KindCrack, {195, 80}},
    {KindBomb, {216, 80}},       {KindFlag, {237, 80}},       {KindTrap, {258, 80}},
    {KindBall, {153, 101}},      {KindArrowNorth, {174, 101}}, {KindArrowEast, {195, 101}},
    {KindArrowSouth, {216, 101}}, {KindArrowWest, {237, 101}}, {KindArrowSwitch, {258, 101}},
    {KindExit, {153, 122}},      {KindPlatform, {174, 122}},  {KindPathNorth, {195, 122}},
    {KindPathEast, {216, 122}},  {KindPathSouth, {237, 122}}, {KindPathWest, {258, 122}},
};
constexpr Spot BackgroundButton = {90, 101};
constexpr std::int32_t KindMarkerSide = 17, BackgroundWidth = 51, BackgroundHeight = 38, PreviewSide = 58;
constexpr Spot PreviewSpot = {287, 80};

std::uint32_t FrameImage(double frame) {
    const std::int32_t index = RoundEven(frame);
    if (index < 0 || index > ImageTable.Count()) return ImageTable[0].id;
    return ImageTable[index].id;
}

void Picture(std::uint32_t image, std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    BindImage(image);
    DrawQuad(x, y, z, w, h);
}

// The panel's place: dialogs stand where the panel does.
DialogPlace PanelPlace() { return {PanelX, PanelY, VeilZ}; }

// Text on the panel: positions relative to the panel; black unless said otherwise.
void PanelText(const std::string& text, std::int32_t x, std::int32_t y, std::uint8_t shade = 0) {
    DrawDialogText(PanelPlace(), text, x, y, shade);
}

void DrawInput() {
    DrawDialogBackground(PanelPlace(), editInputImage.id);
    DrawDialogLines(PanelPlace(), 2);
    double& caret = panelInput.caretCounter;
    caret = AdvanceFrame(1, 6, caret, frameStep);
    PanelText(DialogInput + (caret > 3 ? "_" : ""), InputText.x, InputText.y, 255);
    PanelText(DialogButton1, DialogOnlyButtonX, DialogButtonY);
}

std::string WithoutPrefix(const std::string& folder) { return folder.size() > 6 ? folder.substr(6) : ""; }

// A coordinate as the status line writes it: whole numbers without a decimal point.
std::string PlainNumber(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string PanelTitle() {
    std::string title = PackIndex >= 1 && PackIndex <= PackList.Count() ? WithoutPrefix(PackList[PackIndex]) : "";
    if (!level.levelTitle.empty()) title += " - " + level.levelTitle;
    while (!title.empty() && TextWidth(UiFont, title) > TitleMaxWidth) title.pop_back();
    return title;
}

void DrawKindMarker() {
    if (editor.SelectedKind == KindBackground) {
        Picture(editSelectImage.id, PanelX + BackgroundButton.x, PanelY + BackgroundButton.y, MarkerZ,
                BackgroundWidth, BackgroundHeight);
        return;
    }
    for (const KindButton& button : KindButtons)
        if (button.kind == editor.SelectedKind)
            Picture(editSelectImage.id, PanelX + button.at.x, PanelY + button.at.y, MarkerZ, KindMarkerSide,
                    KindMarkerSide);
}

void DrawPanel() {
    Picture(editMenuImage.id, PanelX, PanelY, PanelZ, PanelWidth, PanelHeight);
    const TextureEntry& selected = Entry(editor.SelectedTexture);
    editor.SelectedFrame = AdvanceFrame(selected.firstFrame, selected.lastFrame, editor.SelectedFrame, frameStep);
    Picture(FrameImage(editor.SelectedFrame), PanelX + PreviewSpot.x, PanelY + PreviewSpot.y, PictureZ, PreviewSide,
            PreviewSide);
    Picture(FrameImage(level.background.frame), PanelX + BackgroundButton.x, PanelY + BackgroundButton.y, PictureZ,
            BackgroundWidth, BackgroundHeight);
    DrawKindMarker();

    PanelText(panelInput.PanelTooltip, 10, 150);
    const std::int32_t filter = editor.PackFilter;
    if (filter >= 0 && filter <= TexturePackList.Count()) PanelText(WithoutPrefix(TexturePackList[filter]), 179, 59);
    PanelText(editor.SelectedTexture == 0 ? "" : selected.name, 153, 35);
    PanelText(PanelTitle(), 8, 6, 255);
    PanelText(LanguageText[LineLevelNumber] + std::to_string(LevelNumber) + " / " + std::to_string(LevelCount), 10,
              35);
    DrawText(UiFont, "X: " + PlainNumber(focusX) + " : Y: " + PlainNumber(focusY), 0, ActiveHeight - 16, TextZ, 0, 0,
             0, 255);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
}

// The texture picker over everything: every texture of the kind and filter as a thumbnail of its first frame, and
// the name of the one under the pointer.
void DrawPicker() {
    Picture(editGrayImage.id, 0, 0, VeilZ, ActiveWidth, ActiveHeight);
    std::vector<PickerCell> cells;
    PickerLayout(cells);
    for (const PickerCell& cell : cells)
        Picture(FrameImage(Entry(cell.entry).firstFrame), cell.x, cell.y, PictureZ, PickerThumbSide, PickerThumbSide);
    int x = -1, y = -1, buttons = 0;
    PlatformMouse(x, y, buttons);
    const std::int32_t under = x == -1 ? 0 : PickerEntryAt(x, y);
    DrawText(UiFont, under != 0 ? Entry(under).name : LanguageText[LinePickerHelp], 0, ActiveHeight - 16, TextZ, 255,
             255, 255, 255);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
}

// The screen rectangle of the world rectangle at (x, y), w x h units, with the camera the board was drawn with.
ScreenRect WorldArea(double x, double y, double w, double h) {
    const std::int32_t cx = Pixels(view.cameraX), cy = Pixels(view.cameraY);
    const ScreenRect first = WorldRect(x, y, CellUnits, cx, cy);
    const ScreenRect last = WorldRect(x + w - CellUnits, y + h - CellUnits, CellUnits, cx, cy);
    return {first.left, first.top, last.left + last.width - first.left, last.top + last.height - first.top};
}

// A frame of four strips around the area, over the board and under the panel, and the count above its corner.
void DrawSelectionFrame(const ScreenRect& area, const std::string& label, std::uint8_t r, std::uint8_t g,
                        std::uint8_t b) {
    constexpr std::int32_t Thick = 3;
    // The strips take their colour from the middle of the cursor frame's top edge (v = 1 is its top row), tinted.
    BindImage(editSelectImage.id);
    SetBlend(BlendMode::Alpha);
    SetColor(r, g, b);
    const auto strip = [](std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        DrawImageRegion(static_cast<float>(x), static_cast<float>(y), SelectionZ, static_cast<float>(w),
                        static_cast<float>(h), 0.45f, 0.97f, 0.55f, 0.99f);
    };
    strip(area.left - Thick, area.top - Thick, area.width + 2 * Thick, Thick);
    strip(area.left - Thick, area.top + area.height, area.width + 2 * Thick, Thick);
    strip(area.left - Thick, area.top, Thick, area.height);
    strip(area.left + area.width, area.top, Thick, area.height);
    SetColor(255, 255, 255);
    if (!label.empty()) {
        const std::int32_t width = TextWidth(UiFont, label);
        BindImage(editGrayImage.id);
        DrawQuad(area.left - Thick, area.top - Thick - 18, SelectionZ, width + 8, 15);
        DrawText(UiFont, label, area.left + 1, area.top - Thick - 17, SelectionZ, 255, 255, 255, 255);
    }
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
}

// The clipboard where the cursor stands, each object's first frame drawn see-through, in its frame.
void DrawPastePreview() {
    const double atX = std::floor(focusX / CellUnits) * CellUnits, atY = std::floor(focusY / CellUnits) * CellUnits;
    const std::int32_t cx = Pixels(view.cameraX), cy = Pixels(view.cameraY);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255, 150);
    std::int32_t count = 0;
    for (std::int32_t n = 1; n <= EditedLayerCount; ++n) {
        for (const LevelObject& object : clipboard.layers[n]) {
            ++count;
            const ScreenRect rect = WorldRect(atX + object.x, atY + object.y, CellUnits, cx, cy);
            if (!OnScreen(rect)) continue;
            BindImage(FrameImage(Entry(static_cast<std::int32_t>(object.texture)).firstFrame));
            DrawQuad(rect.left, rect.top, SelectionZ, rect.width, rect.height);
        }
    }
    DrawSelectionFrame(WorldArea(atX, atY, clipboard.width, clipboard.height), std::to_string(count), 80, 200, 255);
}

void DrawSelectedArea() {
    const CellRect& rect = selection.rect;
    const double w = rect.right - rect.left + CellUnits, h = rect.bottom - rect.top + CellUnits;
    DrawSelectionFrame(WorldArea(rect.left, rect.top, w, h), std::to_string(CountObjectsIn(rect)), 255, 220, 0);
    if (selection.dragging && (selection.dragX != 0 || selection.dragY != 0))
        DrawSelectionFrame(WorldArea(rect.left + selection.dragX, rect.top + selection.dragY, w, h), "", 80, 200, 255);
}

void DrawSelection() {
    // Objects of two layers in one cell stand at the same depth: the later layer draws over the earlier one.
    SetDepthFunc(DepthFunc::LessEqual);
    if (selection.pasting && clipboard.full) DrawPastePreview();
    else if (selection.active) DrawSelectedArea();
    SetDepthFunc(DepthFunc::Less);
}

}  // namespace

void DrawEditorOverlay() {
    if (view.EditorMode == 0) return;
    if (editor.PickerOpen != 0) {
        SetColor(255, 255, 255);
        SetBlend(BlendMode::Alpha);
        DrawPicker();
        return;
    }
    SetColor(255, 255, 255);
    SetBlend(BlendMode::Alpha);
    DrawSelection();
    if (MessageState == 1) DrawMessageBox(PanelPlace());
    else if (MessageState == SolvingDialog) DrawWaitBox(PanelPlace());
    else if ((MessageState >= 2 && MessageState <= 100) || MessageState == 201) DrawQuestionBox(PanelPlace());
    else if (MessageState >= 101 && MessageState <= 200) DrawInput();
    else if (MessageState == 0) DrawPanel();
}
