#include "gfx/dialog_draw.h"

#include "base/message.h"
#include "base/settings.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"

namespace {

struct Spot {
    std::int32_t x, y;
};
constexpr Spot DialogLines[] = {{15, 40}, {15, 60}, {15, 80}};
constexpr Spot LeftButtonLabel = {42, DialogButtonY}, RightButtonLabel = {203, DialogButtonY},
               OnlyButtonLabel = {DialogOnlyButtonX, DialogButtonY};
// Depths above the veil: the panel's image, then its text.
constexpr std::int32_t PanelDepth = 1, TextDepth = 4;

void Picture(std::uint32_t image, std::int32_t x, std::int32_t y, std::int32_t z, std::int32_t w, std::int32_t h) {
    BindImage(image);
    DrawQuad(x, y, z, w, h);
}

}  // namespace

void DrawDialogBackground(const DialogPlace& at, std::uint32_t image) {
    Picture(editGrayImage.id, 0, 0, at.z, ActiveWidth, ActiveHeight);
    Picture(image, at.x, at.y, at.z + PanelDepth, DialogWidth, DialogHeight);
}

void DrawDialogText(const DialogPlace& at, const std::string& text, std::int32_t x, std::int32_t y,
                    std::uint8_t shade) {
    DrawText(UiFont, text, at.x + x, at.y + y, at.z + TextDepth, shade, shade, shade, 255);
    // The text leaves its own blend mode and colour behind; the pictures after it expect the usual ones.
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
}

void DrawDialogLines(const DialogPlace& at, int count) {
    const std::string* lines[] = {&DialogLine1, &DialogLine2, &DialogLine3};
    for (int n = 0; n < count && n < 3; n++) DrawDialogText(at, *lines[n], DialogLines[n].x, DialogLines[n].y);
}

void DrawMessageBox(const DialogPlace& at) {
    DrawDialogBackground(at, editDial1Image.id);
    DrawDialogLines(at, 3);
    DrawDialogText(at, DialogButton1, OnlyButtonLabel.x, OnlyButtonLabel.y);
}

void DrawWaitBox(const DialogPlace& at) {
    DrawDialogBackground(at, editWaitImage.id);
    DrawDialogLines(at, 3);
    DrawDialogText(at, DialogButton1, OnlyButtonLabel.x, OnlyButtonLabel.y);
}

void DrawQuestionBox(const DialogPlace& at) {
    DrawDialogBackground(at, editDialImage.id);
    DrawDialogLines(at, 3);
    DrawDialogText(at, DialogButton1, LeftButtonLabel.x, LeftButtonLabel.y);
    DrawDialogText(at, DialogButton2, RightButtonLabel.x, RightButtonLabel.y);
}
