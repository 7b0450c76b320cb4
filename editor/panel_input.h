// The editor's input: the keyboard and the mouse turned into the editor's key strings (editor/editor_keys.h).
//
// The panel and every dialog stand at (PanelX, PanelY) (base/message.h) and can be dragged by the title strip
// along their top edge. A button acts when the left button is released over the same button it was pressed on; the
// keyboard is read only while no button is pending. What a dialog's keys mean depends on MessageState: a message's
// Enter and Esc press its button, a question's hot keys are the first letters of its button labels, and an input
// dialog takes typed characters into DialogInput.
#pragma once

#include <cstdint>
#include <string>

// The panel's state for the run; the pending button and the drag last only while the left button is held.
struct PanelInput {
    std::string PanelTooltip;               // help text shown on the panel, set by PanelHitTest
    std::string PendingButton;              // key of the button under a held press; empty when none
    std::int32_t PanelDragging = 0;         // -1 while the title strip is dragged
    std::int32_t MouseHeld = 0;             // -1 while the left button is held
    std::int32_t lastMouseX = -1, lastMouseY = -1;  // the pointer at the previous read
    double caretCounter = 0;                // the input dialog's caret: 1 ... 6 with the frame clock, shown above 3
};
extern PanelInput panelInput;

// The title strip, relative to the panel: a press here that is on no button drags the panel.
constexpr std::int32_t TitleStripWidth = 360, TitleStripHeight = 29;
// Typing stops once the typed text is this wide in the editor font.
constexpr std::int32_t DialogInputMaxWidth = 260;

// Hit tests on a position relative to (PanelX, PanelY): the key of the button there, empty outside every button.
// PanelHitTest also sets PanelTooltip: the button's help line, or the general help when on none.
std::string PanelHitTest(std::int32_t x, std::int32_t y);
std::string QuestionHitTest(std::int32_t x, std::int32_t y);
std::string MessageHitTest(std::int32_t x, std::int32_t y);

// One key per call, empty when nothing happened: a released panel or dialog button, else one key of the keyboard
// as the current dialog sees it. Moves the panel while its title strip is dragged.
std::string ReadEditorInput();
// The keyboard's key as the dialog of MessageState takes it (typing into an input dialog happens here).
std::string DialogKey(const std::string& key);
