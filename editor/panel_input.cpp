#include "editor/panel_input.h"

#include <cctype>

#include "base/language.h"
#include "base/message.h"
#include "editor/editor_keys.h"
#include "editor/selection.h"
#include "editor/win_check.h"
#include "gfx/dialog_draw.h"
#include "gfx/font.h"
#include "platform/platform.h"

PanelInput panelInput;

namespace {

// A button's rectangle, bounds inclusive, relative to the panel.
struct Region {
    std::int32_t left, top, right, bottom;
    bool Holds(std::int32_t x, std::int32_t y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

const Region CloseBox = {311, 0, 353, 16};
constexpr std::int32_t ExportTooltipLine = 272;

struct PanelButton {
    Region region;
    const std::string* key;
    std::int32_t tooltipLine;
};

const std::string KeyLevelTitle = "L", KeyGround = "g", KeyWall = "w", KeyCrack = "c", KeyBomb = "b",
                  KeyFlag = "f", KeyTrap = "t", KeyRename = "R", KeyBall = "h", KeyArrowNorth = "8",
                  KeyArrowEast = "6", KeyArrowSouth = "2", KeyArrowWest = "4", KeyArrowSwitch = "5", KeyExit = "e",
                  KeyPlatform = "p";

// In testing order: the close box, the picker button over the rows it overlaps, then the rows by their y range
// with the background button over the middle of the two lowest. The first region that holds the pointer wins.
const PanelButton PanelButtons[] = {
    {CloseBox, &KeyEscape, 5},
    {{287, 80, 345, 138}, &KeyEnter, 6},
    {{10, 58, 28, 78}, &KeyCtrlPgUp, 7},
    {{32, 58, 48, 78}, &KeyCtrlPgDn, 8},
    {{60, 58, 77, 78}, &KeyAltPgUp, 9},
    {{82, 58, 98, 78}, &KeyAltPgDn, 10},
    {{103, 58, 120, 78}, &KeyAltS, 11},
    {{123, 58, 141, 78}, &KeyLevelTitle, 12},
    {{152, 58, 170, 78}, &KeyHome, 13},
    {{257, 58, 277, 78}, &KeyEnd, 14},
    {{286, 58, 304, 78}, &KeyPgUp, 15},
    {{327, 58, 346, 78}, &KeyPgDn, 16},
    {{9, 79, 28, 99}, &KeyF5, 17},
    {{31, 79, 49, 99}, &KeyF6, 18},
    {{61, 79, 79, 99}, &KeyCtrlN, 19},
    {{82, 79, 99, 99}, &KeyCtrlDel, 20},
    {{102, 79, 121, 99}, &KeyAltDel, 21},
    {{124, 79, 142, 99}, &KeyF2, 22},
    {{123, 33, 141, 53}, &KeyF3, LineCanItBeWonTooltip},
    {{103, 33, 121, 53}, &KeyCtrlE, ExportTooltipLine},
    {{153, 79, 171, 99}, &KeyGround, 23},
    {{174, 79, 192, 99}, &KeyWall, 24},
    {{194, 79, 214, 99}, &KeyCrack, 25},
    {{216, 79, 234, 99}, &KeyBomb, 26},
    {{236, 79, 256, 99}, &KeyFlag, 27},
    {{257, 79, 275, 99}, &KeyTrap, 28},
    {{90, 101, 141, 139}, &KeyAltB, 29},
    {{10, 100, 28, 120}, &KeyRename, 30},
    {{31, 100, 49, 120}, &KeyLevelLater, 31},
    {{61, 100, 85, 120}, &KeyNextTrack, 32},
    {{153, 100, 171, 120}, &KeyBall, 33},
    {{174, 100, 192, 120}, &KeyArrowNorth, 34},
    {{194, 100, 214, 120}, &KeyArrowEast, 35},
    {{216, 100, 234, 120}, &KeyArrowSouth, 36},
    {{236, 100, 256, 120}, &KeyArrowWest, 37},
    {{257, 100, 275, 120}, &KeyArrowSwitch, 38},
    {{10, 121, 28, 140}, &KeyF7, 39},
    {{31, 121, 49, 140}, &KeyLevelEarlier, 40},
    {{61, 121, 85, 140}, &KeyPreviousTrack, 41},
    {{153, 121, 171, 140}, &KeyExit, 42},
    {{174, 121, 192, 140}, &KeyPlatform, 43},
    {{194, 121, 214, 140}, &KeyAltUp, 44},
    {{216, 121, 234, 140}, &KeyAltRight, 45},
    {{236, 121, 256, 140}, &KeyAltDown, 46},
    {{257, 121, 275, 140}, &KeyAltLeft, 47},
};

// The general help: the arrow-key symbols (left, up-down, right) before the help line.
constexpr std::int32_t GeneralHelpLine = 4, SelectionHelpLine = 270, PasteHelpLine = 271;
const std::string ArrowSymbols = "\x1B\x12\x1A";

bool IsQuestion(std::int32_t state) { return (state >= 2 && state <= 100) || state == 201; }
bool IsInput(std::int32_t state) { return state >= 101 && state <= 200; }

std::string HitTestForDialog(std::int32_t x, std::int32_t y) {
    if (MessageState == 0) return PanelHitTest(x, y);
    if (MessageState == 1 || MessageState == SolvingDialog || IsInput(MessageState)) return MessageHitTest(x, y);
    if (IsQuestion(MessageState)) return QuestionHitTest(x, y);
    return "";
}

std::string TrimSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The hot key of a button: the first letter of its trimmed label, in either case.
bool IsHotKey(const std::string& key, const std::string& label) {
    const std::string trimmed = TrimSpaces(label);
    if (key.size() != 1 || trimmed.empty()) return false;
    return std::tolower(static_cast<unsigned char>(key[0])) == std::tolower(static_cast<unsigned char>(trimmed[0]));
}

std::string InputKey(const std::string& key) {
    if (key == KeyBackspace || key == KeyLeft) {
        if (!DialogInput.empty()) DialogInput.pop_back();
        return "";
    }
    if (key == KeyEnter) return KeyLeftButton;
    // Control and extended keys (and the characters after "z") are not typed; they pass to the dialog.
    if (key < " " || key > "z") return key;
    if (DialogAllowed.find(key) != std::string::npos && key.size() == 1 &&
        TextWidth(UiFont, DialogInput) < DialogInputMaxWidth)
        DialogInput += key;
    return "";
}

}  // namespace

std::string PanelHitTest(std::int32_t x, std::int32_t y) {
    // Away from the buttons the help line says what the keys do now: while pasting, with a selection, or always.
    if (selection.pasting) panelInput.PanelTooltip = LanguageText[PasteHelpLine];
    else if (selection.active) panelInput.PanelTooltip = LanguageText[SelectionHelpLine];
    else panelInput.PanelTooltip = ArrowSymbols + LanguageText[GeneralHelpLine];
    for (const PanelButton& button : PanelButtons) {
        if (!button.region.Holds(x, y)) continue;
        panelInput.PanelTooltip = LanguageText[static_cast<std::size_t>(button.tooltipLine)];
        return *button.key;
    }
    return "";
}

std::string QuestionHitTest(std::int32_t x, std::int32_t y) {
    if (CloseBox.Holds(x, y)) return KeyEscape;
    if (Region{34, 124, 159, 154}.Holds(x, y)) return KeyLeftButton;
    if (Region{195, 124, 320, 154}.Holds(x, y)) return KeyRightButton;
    return "";
}

std::string MessageHitTest(std::int32_t x, std::int32_t y) {
    if (CloseBox.Holds(x, y)) return KeyEscape;
    if (Region{DialogOnlyButtonLeft, DialogOnlyButtonTop, DialogOnlyButtonRight, DialogOnlyButtonBottom}.Holds(x, y))
        return KeyLeftButton;
    return "";
}

std::string DialogKey(const std::string& key) {
    if (MessageState == 1 || MessageState == SolvingDialog)
        return key == KeyEnter || key == KeyEscape ? KeyLeftButton : key;
    if (IsQuestion(MessageState)) {
        if (IsHotKey(key, DialogButton1)) return KeyLeftButton;
        if (IsHotKey(key, DialogButton2)) return KeyRightButton;
        return key;
    }
    if (IsInput(MessageState)) return InputKey(key);
    return key;
}

std::string ReadEditorInput() {
    PanelInput& p = panelInput;
    int x = -1, y = -1, buttons = 0;
    PlatformMouse(x, y, buttons);
    const bool inside = x != -1 && y != -1;
    const std::string hit = HitTestForDialog(x - PanelX, y - PanelY);
    std::string result;
    if ((buttons & 1) != 0 && inside) {
        if (p.PanelDragging != 0) {
            PanelX += x - p.lastMouseX;
            PanelY += y - p.lastMouseY;
        } else if (hit.empty()) {
            const bool inStrip = x - PanelX >= 0 && x - PanelX < TitleStripWidth && y - PanelY >= 0 &&
                                 y - PanelY < TitleStripHeight;
            if (inStrip && p.PendingButton.empty()) p.PanelDragging = -1;
        } else if (p.MouseHeld == 0) {
            p.PendingButton = hit;
        }
        p.MouseHeld = -1;
    } else if (p.PendingButton.empty()) {
        p.PanelDragging = 0;
        p.MouseHeld = 0;
        result = DialogKey(PlatformReadKey());
    } else if (inside) {
        // A press counts only when released over the button it started on.
        result = hit == p.PendingButton ? p.PendingButton : "";
        p.PendingButton.clear();
        p.MouseHeld = 0;
    }
    p.lastMouseX = x;
    p.lastMouseY = y;
    return result;
}
