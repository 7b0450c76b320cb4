// The dialogs that any part of the game raises (base/message.h), drawn as a panel over a grey veil that covers the
// screen: the editor draws them in its panel's place, the menu in the middle of the screen.
#pragma once

#include <cstdint>
#include <string>

constexpr std::int32_t DialogWidth = 374, DialogHeight = 186;

// Where a dialog stands: its top-left corner, and the depth of its veil; the panel and its text lie nearer, up to
// z + 4.
struct DialogPlace {
    std::int32_t x, y, z;
};

void DrawDialogBackground(const DialogPlace& at, std::uint32_t image);
// Text on the panel at (x, y) from its corner; black unless a shade of grey is given.
void DrawDialogText(const DialogPlace& at, const std::string& text, std::int32_t x, std::int32_t y,
                    std::uint8_t shade = 0);
// The first `count` of the three dialog lines.
void DrawDialogLines(const DialogPlace& at, int count);
// A message: its three lines and its one button.
void DrawMessageBox(const DialogPlace& at);
// A question: its three lines and its two buttons.
void DrawQuestionBox(const DialogPlace& at);
// A job at work (the solver): its three lines and the one button that cancels it.
void DrawWaitBox(const DialogPlace& at);
// The place of the single button's label and of the input line, for the editor's input dialog.
constexpr std::int32_t DialogOnlyButtonX = 123, DialogButtonY = 132;
// The single button of a message, from the dialog's corner, bounds inclusive: where a click presses it.
constexpr std::int32_t DialogOnlyButtonLeft = 115, DialogOnlyButtonTop = 124, DialogOnlyButtonRight = 240,
                       DialogOnlyButtonBottom = 154;
