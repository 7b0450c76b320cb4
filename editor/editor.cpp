#include "editor/editor.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "editor/dialogs.h"
#include "editor/editor_keys.h"
#include "editor/editor_state.h"
#include "editor/level_ops.h"
#include "editor/panel_draw.h"
#include "editor/panel_input.h"
#include "editor/selection.h"
#include "editor/undo.h"
#include "editor/win_check.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/tool_jobs.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"


namespace {

constexpr std::int32_t LineEditorTitle = 71, LineClickOk = 73, LineLastWall = 240;
constexpr std::int32_t LineTimeLimitPrompt = 70, LineTitlePrompt = 74, LineNewPackPrompt = 56,
                       LineNewPackAfterSave = 75, LineRenamePackPrompt = 63;
constexpr std::int32_t LineDeleteLevel1 = 64, LineDeleteLevel2 = 65, LineDeleteLevel3 = 66;
constexpr std::int32_t LineOnlyLevel1 = 67, LineOnlyLevel2 = 68, LineOnlyLevel3 = 69;
constexpr std::int32_t LineDeletePack1 = 57, LineDeletePack2 = 58, LineDeletePack3 = 59;
constexpr std::int32_t LineOnlyPack1 = 60, LineOnlyPack2 = 61, LineOnlyPack3 = 62;
constexpr double MinZoom = 0.1, MaxZoom = 3.0, ZoomStep = 1.1;
constexpr std::int32_t ShiftLeftScan = 0x2A, ShiftRightScan = 0x36, CtrlScan = 0x1D;
constexpr std::int32_t LineBallInWall = 267, LinePastLimits = 268, LineCannotFill = 269;
constexpr std::int32_t PickerThumb = 64, PickerPitch = 70;

// The editor loop's state for one visit; a test play ends the visit and the next call starts a new one.
struct EditorRun {
    bool wantReturn = false;        // leave the loop: a test play (EditorMode 0) or leaving (-1)
    bool pickerPending = false;     // Enter was pressed: the picker opens once the left button is up
    bool returningFromTest = false; // the next RunEditor comes back from a test play: keep the history
    bool stroke = false;            // a left-button stroke of the mouse paints on the board
    bool leftWasDown = false, rightWasDown = false;
    double lastCellX = 0, lastCellY = 0;
    std::int32_t pointerX = -1, pointerY = -1;  // the pointer at the last pass that pasted
};
EditorRun run;

const std::string& Text(std::int32_t line) { return LanguageText[static_cast<std::size_t>(line)]; }

std::string FilterPack() {
    if (editor.PackFilter < 1 || editor.PackFilter > TexturePackList.Count()) return "";
    return TexturePackList[editor.PackFilter];
}

bool Matches(std::int32_t index) {
    const TextureEntry& entry = Entry(index);
    return entry.kind == editor.SelectedKind && (editor.PackFilter == 0 || entry.pack == FilterPack());
}

std::int32_t FocusCellX() { return static_cast<std::int32_t>(focusX); }
std::int32_t FocusCellY() { return static_cast<std::int32_t>(focusY); }

void LastWallMessage() { RaiseMessage(Text(LineEditorTitle), Text(LineLastWall), Text(LineClickOk)); }

// Removes what stands at the cursor in `layer`; the last wall of a level stays, with its message.
bool RemoveAtCursor(std::int32_t layer) {
    if (layer == WallLayerNumber && level.wallLayer.Count() < 2) {
        if (WallAt(focusX, focusY)) LastWallMessage();
        return false;
    }
    return RemoveObjectAt(focusX, focusY, layer);
}

// ---- Selection ----------------------------------------------------------------------------------------------------
void SelectKind(std::int32_t kind) { editor.SelectedKind = kind; }

void StepTexture(std::int32_t by) {
    for (std::int32_t i = editor.SelectedTexture + by; i >= 1 && i <= TextureCount(); i += by) {
        if (!Matches(i)) continue;
        editor.SelectedTexture = i;
        editor.SelectedFrame = Entry(i).firstFrame;
        return;
    }
}

// ---- Cursor and zoom ----------------------------------------------------------------------------------------------
void MoveCursor(double dx, double dy) {
    const bool shift = PlatformKeyHeld(ShiftLeftScan) || PlatformKeyHeld(ShiftRightScan);
    if (shift) PlaceSelected();
    focusX += dx;
    focusY += dy;
    if (shift) PlaceSelected();
    view.editorCameraHeld = 0;
    if (selection.marking) selection.rect = RectBetween(selection.anchorX, selection.anchorY, focusX, focusY);
}

// ---- Selections ---------------------------------------------------------------------------------------------------
// A refused operation changed nothing; the message says why.
void Refused(SelectionRefusal refusal) {
    std::int32_t line = 0;
    switch (refusal) {
        case SelectionRefusal::BallInWall: line = LineBallInWall; break;
        case SelectionRefusal::PastLimits: line = LinePastLimits; break;
        case SelectionRefusal::NoLayer: line = LineCannotFill; break;
        case SelectionRefusal::LastWall: line = LineLastWall; break;
        default: return;
    }
    RaiseMessage(Text(LineEditorTitle), Text(line), Text(LineClickOk));
}

void Changed(SelectionRefusal refusal) {
    if (refusal == SelectionRefusal::None) levelModified = -1;
    else Refused(refusal);
}

// S marks the cursor's cell as a corner; the arrows then move the other one. S again ends the marking.
void MarkCorner() {
    if (selection.marking) {
        selection.marking = false;
        return;
    }
    selection.marking = true;
    selection.active = true;
    selection.pasting = false;
    selection.anchorX = FocusCellX();
    selection.anchorY = FocusCellY();
    selection.rect = RectBetween(focusX, focusY, focusX, focusY);
}

void PasteHere() {
    const SelectionRefusal refusal = PasteClipboard(FocusCellX(), FocusCellY());
    Changed(refusal);
    if (refusal == SelectionRefusal::None) selection.pasting = false;
}

void EnterKey() {
    if (selection.pasting) PasteHere();
    else run.pickerPending = true;
}

void DelKey() {
    if (selection.active) Changed(DeleteSelection());
    else EraseOne();
}

void CutKey() {
    const bool had = selection.active;
    Changed(CutSelection());
    if (had && MessageState == 0) selection.active = selection.marking = false;
}

void PasteKey() {
    if (!clipboard.full) return;
    selection.pasting = true;
    selection.marking = false;
    // The paste starts at the cursor; the pointer takes it along only once it moves.
    int buttons = 0;
    PlatformMouse(run.pointerX, run.pointerY, buttons);
}

void ZoomOut() {
    if (level.levelZoom > MinZoom) level.levelZoom /= ZoomStep;
    view.editorCameraHeld = 0;
}

void ZoomIn() {
    if (level.levelZoom < MaxZoom) level.levelZoom *= ZoomStep;
    view.editorCameraHeld = 0;
}

// ---- Commands behind questions ------------------------------------------------------------------------------------
void RunPendingAction(std::int32_t action) {
    switch (action) {
        case SaveFirstNewLevel: NewLevel(); break;
        case SaveFirstPreviousLevel: EditPreviousLevel(); break;
        case SaveFirstNextLevel: EditNextLevel(); break;
        case SaveFirstLeave: run.wantReturn = true; break;
        case SaveFirstPreviousPack: PreviousPackLevel(); break;
        case SaveFirstNextPack: NextPackLevel(); break;
        case SaveFirstNewPack: OpenInputDialog(NewPackNameInput, Text(LineNewPackAfterSave), ""); break;
        default: break;
    }
}

// Runs `action` now, or asks first when the level has unsaved changes.
void AskFirst(std::int32_t action) {
    if (levelModified != 0) {
        AskSaveFirst();
        MessageState = action;
        return;
    }
    if (action == SaveFirstNewPack) {
        OpenInputDialog(NewPackNameInput, Text(LineNewPackPrompt), "");
        return;
    }
    RunPendingAction(action);
}

void TestPlay() {
    const std::int32_t modified = levelModified;
    const std::string path = DataFolder() + "tempedit.kbx";
    // A test level that cannot be written must not replace the level in memory with an older file: the editor
    // stays, with the save message up and every edit kept.
    if (!SaveLevel(path)) return;
    LoadLevel(path);
    levelModified = modified;
    view.EditorMode = 0;
    run.wantReturn = true;
    run.returningFromTest = true;
}

void Leave() {
    if (levelModified == 0) {
        run.wantReturn = true;
        return;
    }
    AskSaveFirst();
    MessageState = SaveFirstLeave;
}

void AskDeleteLevel() {
    if (LevelCount < 2) {
        RaiseMessage(Text(LineOnlyLevel1), Text(LineOnlyLevel2), Text(LineOnlyLevel3));
        return;
    }
    AskQuestion(DeleteLevelQuestion, Text(LineDeleteLevel1), Text(LineDeleteLevel2), Text(LineDeleteLevel3));
}

void AskDeletePack() {
    if (PackList.Count() < 2) {
        RaiseMessage(Text(LineOnlyPack1), Text(LineOnlyPack2), Text(LineOnlyPack3));
        return;
    }
    AskQuestion(DeletePackQuestion, Text(LineDeletePack1), Text(LineDeletePack2), Text(LineDeletePack3));
}

void AskTimeLimit() {
    OpenInputDialog(TimeLimitInput, Text(LineTimeLimitPrompt), FormatTime(level.timeLimit));
    DialogAllowed = "0123456789:";
}

void AskTitle() {
    OpenInputDialog(LevelTitleInput, Text(LineTitlePrompt), level.levelTitle);
    DialogAllowed = StandardAllowed + "/\\?%*:<>.\"";
}

void AskRenamePack() {
    if (PackIndex < 1 || PackIndex > PackList.Count()) return;
    const std::string folder = PackFolderName(PackList[PackIndex]);
    OpenInputDialog(RenamePackInput, Text(LineRenamePackPrompt), folder.size() > 6 ? folder.substr(6) : "");
}

void TakeTimeLimit(const std::string& typed) {
    const std::string text = TrimmedText(typed);
    if (text.empty()) return;
    const double limit = ParseMinSec(text);
    if (limit != level.timeLimit) levelModified = -1;
    level.timeLimit = limit;
    attempt.timeLimitText = FormatTime(level.timeLimit);
}

void TakeTitle(const std::string& typed) {
    const std::string title = TrimmedText(typed);
    if (title != level.levelTitle) levelModified = -1;
    level.levelTitle = title;
}

// Saving before a pending action: quietly, since the action follows at once.
bool SaveBeforeAction() {
    if (!CopyShippedPack() || !SaveLevel(CurrentLevelPath())) return false;
    levelModified = 0;
    MarkSaved();
    return true;
}

// ---- The command table --------------------------------------------------------------------------------------------
struct Command {
    const std::string* keys[2];
    void (*run)();
};

void EscapeKey() {
    if (selection.pasting) selection.pasting = false;
    else if (selection.active) selection = SelectionState{};
    else Leave();
}
void MusicDown() {
    PreviousTrack();
    levelModified = -1;
}
void MusicUp() {
    NextTrack();
    levelModified = -1;
}
void FilterDown() { editor.PackFilter = std::max(editor.PackFilter - 1, 0); }
void FilterUp() { editor.PackFilter = std::min(editor.PackFilter + 1, TexturePackList.Count()); }

const std::string LowerM = "m", UpperM = "M", LowerR = "r", UpperR = "R", LowerL = "l", UpperL = "L", LowerG = "g",
                  UpperG = "G", LowerW = "w", UpperW = "W", LowerC = "c", UpperC = "C", LowerB = "b", UpperB = "B",
                  LowerF = "f", UpperF = "F", LowerT = "t", UpperT = "T", LowerH = "h", UpperH = "H", Eight = "8",
                  Six = "6", Two = "2", Four = "4", Five = "5", LowerE = "e", UpperE = "E", LowerP = "p", UpperP = "P",
                  Minus = "-", Plus = "+", LowerD = "d", UpperD = "D", Space = " ", LowerS = "s", UpperS = "S";

// In the order in which a key is tested; at most one command runs.
const Command Commands[] = {
    {{&KeyEnter, nullptr}, EnterKey},
    {{&KeyF2, nullptr}, TestPlay},
    {{&KeyF3, nullptr}, CheckCanItBeWon},
    {{&KeyEscape, nullptr}, EscapeKey},
    {{&KeyClose, nullptr}, Leave},
    {{&LowerS, &UpperS}, MarkCorner},
    {{&KeyCtrlC, nullptr}, CopySelection},
    {{&KeyCtrlX, nullptr}, CutKey},
    {{&KeyCtrlV, nullptr}, PasteKey},
    {{&KeyCtrlF, nullptr}, [] { Changed(FillSelection(editor.SelectedTexture)); }},
    {{&KeyCtrlR, nullptr}, [] { Changed(FlipSelection()); }},
    {{&KeyCtrlE, nullptr}, ExportCurrentPack},
    {{&KeyF5, nullptr}, [] { AskFirst(SaveFirstNewPack); }},
    {{&KeyF6, nullptr}, AskDeletePack},
    {{&KeyF7, nullptr}, OpenPackFolder},
    {{&KeyPreviousTrack, nullptr}, MusicDown},
    {{&KeyNextTrack, nullptr}, MusicUp},
    {{&LowerM, &UpperM}, ToggleMusic},
    {{&KeyCtrlN, nullptr}, [] { if (LevelCount < MaxLevelsPerPack) AskFirst(SaveFirstNewLevel); }},
    {{&UpperR, &LowerR}, AskRenamePack},
    {{&KeyLevelLater, nullptr}, MoveLevelLater},
    {{&KeyLevelEarlier, nullptr}, MoveLevelEarlier},
    {{&KeyCtrlDel, nullptr}, AskDeleteLevel},
    {{&KeyAltDel, nullptr}, AskTimeLimit},
    {{&KeyAltS, nullptr}, [] { SaveEditedLevel(); }},
    {{&LowerL, &UpperL}, AskTitle},
    {{&KeyCtrlPgUp, nullptr}, [] { if (PackIndex > 1) AskFirst(SaveFirstPreviousPack); }},
    {{&KeyCtrlPgDn, nullptr}, [] { if (PackIndex < PackList.Count()) AskFirst(SaveFirstNextPack); }},
    {{&KeyAltPgUp, nullptr}, [] { if (LevelNumber > 1) AskFirst(SaveFirstPreviousLevel); }},
    {{&KeyAltPgDn, nullptr}, [] { if (LevelNumber < LevelCount) AskFirst(SaveFirstNextLevel); }},
    {{&KeyPgUp, nullptr}, [] { StepTexture(-1); }},
    {{&KeyPgDn, nullptr}, [] { StepTexture(1); }},
    {{&KeyHome, nullptr}, FilterDown},
    {{&KeyEnd, nullptr}, FilterUp},
    {{&KeyAltB, nullptr}, [] { SelectKind(KindBackground); }},
    {{&LowerG, &UpperG}, [] { SelectKind(KindGround); }},
    {{&LowerW, &UpperW}, [] { SelectKind(KindWall); }},
    {{&LowerC, &UpperC}, [] { SelectKind(KindCrack); }},
    {{&LowerB, &UpperB}, [] { SelectKind(KindBomb); }},
    {{&LowerF, &UpperF}, [] { SelectKind(KindFlag); }},
    {{&LowerT, &UpperT}, [] { SelectKind(KindTrap); }},
    {{&LowerH, &UpperH}, [] { SelectKind(KindBall); }},
    {{&Eight, nullptr}, [] { SelectKind(KindArrowNorth); }},
    {{&Six, nullptr}, [] { SelectKind(KindArrowEast); }},
    {{&Two, nullptr}, [] { SelectKind(KindArrowSouth); }},
    {{&Four, nullptr}, [] { SelectKind(KindArrowWest); }},
    {{&Five, nullptr}, [] { SelectKind(KindArrowSwitch); }},
    {{&LowerE, &UpperE}, [] { SelectKind(KindExit); }},
    {{&LowerP, &UpperP}, [] { SelectKind(KindPlatform); }},
    {{&KeyAltUp, nullptr}, [] { SelectKind(KindPathNorth); }},
    {{&KeyAltRight, nullptr}, [] { SelectKind(KindPathEast); }},
    {{&KeyAltDown, nullptr}, [] { SelectKind(KindPathSouth); }},
    {{&KeyAltLeft, nullptr}, [] { SelectKind(KindPathWest); }},
    {{&KeyLeft, nullptr}, [] { MoveCursor(-CellUnits, 0); }},
    {{&KeyRight, nullptr}, [] { MoveCursor(CellUnits, 0); }},
    {{&KeyUp, nullptr}, [] { MoveCursor(0, -CellUnits); }},
    {{&KeyDown, nullptr}, [] { MoveCursor(0, CellUnits); }},
    {{&Minus, nullptr}, ZoomOut},
    {{&Plus, nullptr}, ZoomIn},
    {{&LowerD, &UpperD}, ClearCell},
    {{&KeyDel, nullptr}, DelKey},
    {{&Space, nullptr}, PlaceSelected},
    {{&KeyCtrlZ, nullptr}, [] { Undo(); }},
    {{&KeyCtrlY, nullptr}, [] { Redo(); }},
};

const Command* FindCommand(const std::string& key) {
    for (const Command& command : Commands)
        for (const std::string* k : command.keys)
            if (k && *k == key) return &command;
    return nullptr;
}

bool IsArrowKey(const std::string& key) {
    return key == KeyLeft || key == KeyRight || key == KeyUp || key == KeyDown;
}

// ---- The mouse on the board ---------------------------------------------------------------------------------------
bool OverPanel(std::int32_t x, std::int32_t y) {
    return x >= PanelX && x < PanelX + 374 && y >= PanelY && y < PanelY + 186;
}

// The world cell under a screen position, with the camera the board was drawn with.
void CellAt(std::int32_t x, std::int32_t y, double& cellX, double& cellY) {
    const double ppu = view.pixelsPerUnit > 0 ? view.pixelsPerUnit : level.levelZoom;
    const double worldX = (x + Pixels(view.cameraX)) / ppu, worldY = (y + Pixels(view.cameraY)) / ppu;
    cellX = std::floor(worldX / CellUnits) * CellUnits;
    cellY = std::floor(worldY / CellUnits) * CellUnits;
}

void PutCursor(double cellX, double cellY) {
    if (view.pixelsPerUnit > 0) view.editorCameraHeld = -1;
    focusX = cellX;
    focusY = cellY;
}

// The selection's part of the mouse: while pasting, the clipboard follows the pointer and a click places it; a
// press with Ctrl held drags out a rectangle; a press inside the selection drags it and the release moves it. True
// when the mouse was the selection's this pass (nothing is painted then).
bool SelectionMouse(std::int32_t x, std::int32_t y, bool left, bool freePress) {
    const bool pressed = left && !run.leftWasDown && freePress && MessageState == 0;
    double cx = 0, cy = 0;
    if (x != -1 && y != -1) CellAt(x, y, cx, cy);
    if (selection.pasting) {
        const bool moved = x != run.pointerX || y != run.pointerY;
        run.pointerX = x;
        run.pointerY = y;
        if (freePress && (moved || pressed) && MessageState == 0) PutCursor(cx, cy);
        if (pressed) {
            EndChange();
            BeginChange();
            PasteHere();
            EndChange();
        }
        return true;
    }
    if (selection.selecting || selection.dragging) {
        if (left) {
            if (selection.selecting) selection.rect = RectBetween(selection.anchorX, selection.anchorY, cx, cy);
            else {
                selection.dragX = cx - run.lastCellX;
                selection.dragY = cy - run.lastCellY;
            }
            return true;
        }
        if (selection.dragging && (selection.dragX != 0 || selection.dragY != 0)) {
            EndChange();
            BeginChange();
            Changed(MoveSelection(selection.dragX, selection.dragY));
            EndChange();
        }
        selection.selecting = selection.dragging = false;
        selection.dragX = selection.dragY = 0;
        return true;
    }
    if (!pressed) return false;
    if (PlatformKeyHeld(CtrlScan)) {
        selection = SelectionState{};
        selection.active = selection.selecting = true;
        selection.anchorX = cx;
        selection.anchorY = cy;
        selection.rect = RectBetween(cx, cy, cx, cy);
        return true;
    }
    if (selection.active && InRect(selection.rect, cx, cy)) {
        selection.dragging = true;
        selection.marking = false;
        run.lastCellX = cx;
        run.lastCellY = cy;
        return true;
    }
    // A press elsewhere drops the selection and paints as always.
    selection = SelectionState{};
    return false;
}

}  // namespace

// ---- Editing ------------------------------------------------------------------------------------------------------
void PlaceSelected() {
    if (editor.SelectedTexture == 0) return;
    levelModified = -1;
    const std::int32_t texture = editor.SelectedTexture;
    const std::int32_t kind = Entry(texture).kind;
    if (kind == KindBackground) {
        level.background.texture = texture;
        level.background.frame = Entry(texture).firstFrame;
        return;
    }
    if (kind == KindBall) {
        PlaceBall(FocusCellX(), FocusCellY(), texture);
        return;
    }
    const std::int32_t layer = TextureKindLayer(kind);
    if (layer == KindLayerNone) return;
    AddObject(FocusCellX(), FocusCellY(), layer, texture);
    const std::int32_t param = TextureKindParam(kind);
    if (param != 0) {
        Layer& objects = LevelLayer(layer);
        objects[objects.Count()].param1 = param;
    }
}

void EraseOne() {
    static const std::int32_t order[] = {ArrowLayerNumber, PathLayerNumber,     PickupLayerNumber, CrackLayerNumber,
                                         WallLayerNumber,  PlatformLayerNumber, HazardLayerNumber, GroundLayerNumber};
    for (std::int32_t layer : order) {
        if (RemoveAtCursor(layer)) {
            levelModified = -1;
            return;
        }
    }
}

void ClearCell() {
    static const std::int32_t order[] = {GroundLayerNumber, HazardLayerNumber, PlatformLayerNumber, PickupLayerNumber,
                                         WallLayerNumber,   CrackLayerNumber,  ArrowLayerNumber,    PathLayerNumber};
    // Everything in the cell goes, also where an imported level stacked two objects.
    for (std::int32_t layer : order)
        while (RemoveAtCursor(layer)) {
        }
    levelModified = -1;
}

void RevalidateSelection() {
    const std::int32_t count = TextureCount();
    editor.SelectedTexture = std::clamp(editor.SelectedTexture, count >= 1 ? 1 : 0, count);
    if (editor.SelectedTexture >= 1 && Matches(editor.SelectedTexture)) return;
    for (std::int32_t i = 1; i <= count; ++i) {
        if (!Matches(i)) continue;
        editor.SelectedTexture = i;
        editor.SelectedFrame = Entry(i).firstFrame;
        return;
    }
    editor.SelectedTexture = 0;
    editor.SelectedFrame = Entry(0).firstFrame;
}

void EditorCommand(const std::string& key) {
    if (key.empty()) return;
    const Command* command = FindCommand(key);
    if (!command) return;
    // A line painted with Shift held is one step of the history, however many cells it covers.
    const bool painting = IsArrowKey(key) && (PlatformKeyHeld(ShiftLeftScan) || PlatformKeyHeld(ShiftRightScan));
    if (!painting && !run.stroke) EndChange();
    BeginChange();
    command->run();
    if (!painting && !run.stroke) EndChange();
}

void EditorDialogKey(const std::string& key) {
    const DialogResult result = AnswerDialog(key);
    if (result.answer == DialogAnswer::None) return;
    // The dialogs of "Can it be won?" change nothing of the level: no step of the history.
    if (result.state == SolvingDialog || result.state == WatchSolutionQuestion) {
        AnswerWinCheck(result.state, result.answer == DialogAnswer::Left);
        return;
    }
    if (result.answer == DialogAnswer::Closed) return;
    const bool left = result.answer == DialogAnswer::Left;
    EndChange();
    BeginChange();
    switch (result.state) {
        case DeleteLevelQuestion:
            if (left) DeleteLevel();
            break;
        case DeletePackQuestion:
            if (left) DeleteCurrentPack();
            break;
        case NewPackNameInput: MakePack(DialogInput); break;
        case RenamePackInput: RenameCurrentPack(DialogInput); break;
        case TimeLimitInput: TakeTimeLimit(DialogInput); break;
        case LevelTitleInput: TakeTitle(DialogInput); break;
        default:
            if (result.state >= SaveFirstNewLevel && result.state <= SaveFirstNewPack) {
                // A save that fails keeps the level and its edits: the action waits, the save message says why.
                if (left && !SaveBeforeAction()) break;
                RunPendingAction(result.state);
            }
            break;
    }
    EndChange();
}

void EditorBoardMouse() {
    int x = -1, y = -1, buttons = 0;
    PlatformMouse(x, y, buttons);
    const bool inside = x != -1 && y != -1;
    const bool left = (buttons & 1) != 0 && inside, right = (buttons & 2) != 0 && inside;
    const bool freePress = inside && !OverPanel(x, y) && panelInput.PendingButton.empty() &&
                           panelInput.PanelDragging == 0;

    if (SelectionMouse(x, y, left, freePress)) {
        run.leftWasDown = left;
        run.rightWasDown = right;
        return;
    }
    if (left && !run.leftWasDown && freePress && MessageState == 0) {
        EndChange();
        BeginChange();
        run.stroke = true;
        run.lastCellX = run.lastCellY = std::nan("");
    }
    if (run.stroke) {
        if (left) {
            double cx = 0, cy = 0;
            CellAt(x, y, cx, cy);
            if (cx != run.lastCellX || cy != run.lastCellY) {
                // Every cell on the way from the last one, so a quick stroke leaves no gaps.
                const bool first = std::isnan(run.lastCellX);
                const double dx = first ? 0 : (cx - run.lastCellX) / CellUnits, dy = first ? 0 : (cy - run.lastCellY) / CellUnits;
                const int steps = std::max(1, static_cast<int>(std::min(std::max(std::fabs(dx), std::fabs(dy)), 4096.0)));
                for (int n = first ? steps : 1; n <= steps; ++n) {
                    const double px = first ? cx : run.lastCellX + std::round(dx * n / steps) * CellUnits;
                    const double py = first ? cy : run.lastCellY + std::round(dy * n / steps) * CellUnits;
                    PutCursor(px, py);
                    PlaceSelected();
                }
                run.lastCellX = cx;
                run.lastCellY = cy;
            }
        } else {
            run.stroke = false;
            EndChange();
        }
    }
    if (right && !run.rightWasDown && freePress && !run.stroke && MessageState == 0) {
        double cx = 0, cy = 0;
        CellAt(x, y, cx, cy);
        PutCursor(cx, cy);
        EndChange();
        BeginChange();
        EraseOne();
        EndChange();
    }
    run.leftWasDown = left;
    run.rightWasDown = right;

    const int wheel = PlatformTakeWheel();
    if (MessageState == 0) {
        for (int n = 0; n < wheel; ++n) ZoomIn();
        for (int n = 0; n > wheel; --n) ZoomOut();
    }
}

void PickerLayout(std::vector<PickerCell>& cells) {
    cells.clear();
    std::int32_t x = 6, y = 5;
    for (std::int32_t i = 1; i <= TextureCount(); ++i) {
        if (!Matches(i)) continue;
        if (!cells.empty()) {
            x += PickerPitch;
            if (x + PickerThumb - 1 > ActiveWidth) {
                x = 5;
                y += PickerPitch;
            }
        }
        cells.push_back({i, x, y});
    }
}

std::int32_t PickerEntryAt(std::int32_t x, std::int32_t y) {
    std::vector<PickerCell> cells;
    PickerLayout(cells);
    for (const PickerCell& cell : cells)
        if (x >= cell.x && x < cell.x + PickerThumb && y >= cell.y && y < cell.y + PickerThumb) return cell.entry;
    return 0;
}

void PickerPass() {
    int x = -1, y = -1, buttons = 0;
    PlatformMouse(x, y, buttons);
    const bool down = (buttons & 1) != 0;
    run.leftWasDown = down && x != -1;
    if (!PlatformReadKey().empty()) {
        editor.PickerOpen = 0;
        editor.PickerClicked = 0;
        return;
    }
    if (down) {
        if (editor.PickerClicked == 0) {
            const std::int32_t entry = PickerEntryAt(x, y);
            if (entry != 0) {
                editor.SelectedTexture = entry;
                editor.SelectedFrame = Entry(entry).firstFrame;
            }
            editor.PickerClicked = -1;
        }
    } else if (editor.PickerClicked != 0) {
        editor.PickerOpen = 0;
        editor.PickerClicked = 0;
    }
}

bool EditorWantsReturn() { return run.wantReturn; }

void BeginEditorVisit() {
    view.EditorMode = -1;
    view.editorCameraHeld = 0;
    // A message raised on the way in (a level that did not load) is shown; nothing else is left up.
    if (MessageState != 1) MessageState = 0;
    attempt.ballRolling = 0;
    // The history belongs to the level: it goes on after a test play and starts afresh with a level from the menu.
    if (!run.returningFromTest) ClearHistory();
    run = EditorRun{};
    // The clipboard stays for the run; the selection is the visit's.
    selection = SelectionState{};
}

void RunEditor() {
    BeginEditorVisit();
    std::function<void()> overlay = frameOverlay;
    frameOverlay = DrawEditorOverlay;

    while (!run.wantReturn) {
        DrawFrame();
        PlatformSleep0();
        WinCheckPass();
        if (run.pickerPending) {
            int x = -1, y = -1, buttons = 0;
            PlatformMouse(x, y, buttons);
            if ((buttons & 1) == 0) {
                run.pickerPending = false;
                editor.PickerOpen = -1;
                editor.PickerClicked = 0;
            }
        } else if (editor.PickerOpen != 0) {
            PickerPass();
        } else if (MessageState != 0) {
            EditorDialogKey(ReadEditorInput());
        } else {
            EditorCommand(ReadEditorInput());
            if (MessageState == 0 && editor.PickerOpen == 0 && !run.wantReturn) EditorBoardMouse();
        }
        RevalidateSelection();
    }
    EndChange();
    CancelToolJob();
    frameOverlay = overlay;
}

void InstallEditor() { runEditor = RunEditor; }
