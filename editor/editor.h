// The level editor: the board centred on a cursor cell, the panel over it, and one command per key.
//
// RunEditor runs the editor's own loop until the player leaves it (view.EditorMode -1 on return) or asks for a test
// play (view.EditorMode 0): the main menu then plays the level and calls RunEditor again (shell/menu.cpp). Every
// pass draws the frame; then, while a dialog is up, the dialog takes one key; otherwise one key of the keyboard or
// of the panel runs at most one command, and the mouse on the board places, paints, erases and zooms.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

void RunEditor();
// Hands RunEditor to the main menu, whose editor line calls it. The program's entry does this.
void InstallEditor();

// ---- One pass, in parts (the loop and the tests use them) ---------------------------------------------------------
// What RunEditor does on entry: the editor shows the board, the visit's state starts afresh, and the undo history
// too unless the visit follows a test play.
void BeginEditorVisit();
// Runs the command of `key` (editor/editor_keys.h); keys without a command do nothing. Changes of the level are
// recorded for undo.
void EditorCommand(const std::string& key);
// Runs the action behind a dialog's answer to `key`.
void EditorDialogKey(const std::string& key);
// The mouse on the board: a left press places at the cell under the pointer, dragging paints, a right press erases
// one object there, the wheel zooms. Nothing while the pointer is over the panel or a press began on it.
void EditorBoardMouse();
// Keeps the selection a texture of the selected kind from the filter's pack (0 when there is none).
void RevalidateSelection();
// The picker's pass: a press on a thumbnail selects it, the release after any press closes; a key closes.
void PickerPass();

// The editing commands, also used by the mouse.
void PlaceSelected();
void EraseOne();
void ClearCell();

// The picker's layout: the catalogue entries of the selected kind and filter, and where their 64 x 64 thumbnails
// stand; and the entry under a screen position (0 for none).
struct PickerCell {
    std::int32_t entry = 0;
    std::int32_t x = 0, y = 0;
};
void PickerLayout(std::vector<PickerCell>& cells);
std::int32_t PickerEntryAt(std::int32_t x, std::int32_t y);

// True when the editor's loop should return (test play or leave).
bool EditorWantsReturn();
