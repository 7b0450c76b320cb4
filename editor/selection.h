// The editor's selections: a rectangle of cells on the level, and a clipboard that holds a copy of one.
//
// Every operation works on the layers the editor places in (ground ... crack), so walls, elevators (with their
// speed), grounds, arrows, platforms (with their speed) and their path markers, pickups and hazards all travel;
// the ball's start, the background and the level's properties never do. A paste or move puts each object where the
// same layer held one in the same cell before, as placing does. An operation that is refused (a wall on the ball's
// start cell, a place past the level's limits, the last wall of the level taken away) changes nothing and says why
// in its result; the editor raises the message. The editor brackets each operation as one step of the history.
#pragma once

#include <cstdint>

#include "play/level.h"

// Cells are named by the world position of their top-left corner (multiples of CellUnits).
// How far from (0, 0) the editor may put an object by a paste, a move or a fill: 2^24 units (131,072 cells) each
// way, so every position stays a whole number that a level file and the rules of play hold exactly.
constexpr double LevelCoordinateLimit = 16777216.0;
// A fill or a selection copied covers at most this many cells, so one command never stalls the editor.
constexpr double SelectionCellLimit = 1048576.0;

// The corner cells of a rectangle, both included; left <= right and top <= bottom.
struct CellRect {
    double left = 0, top = 0, right = 0, bottom = 0;
};
CellRect RectBetween(double x1, double y1, double x2, double y2);
// True when the object's position lies in one of the rectangle's cells.
bool InRect(const CellRect& rect, double x, double y);

// The selection of the level being edited: dropped with a new visit of the editor, kept while the player moves
// between levels (it is only a rectangle).
struct SelectionState {
    bool active = false;            // a rectangle is selected
    bool marking = false;           // the keyboard marked a corner: the cursor is the other corner
    double anchorX = 0, anchorY = 0;    // the marked corner
    CellRect rect;
    bool pasting = false;           // the clipboard follows the cursor until a click or Enter places it
    bool selecting = false;         // the mouse drags out a rectangle (Ctrl held at the press)
    bool dragging = false;          // the mouse drags the selection; released, it moves by (dragX, dragY)
    double dragX = 0, dragY = 0;
};
extern SelectionState selection;

// The clipboard, for the run: survives every level and pack change, so a part of one level pastes into another.
// Positions are relative to the top-left cell of the rectangle it was copied from.
constexpr std::int32_t EditedLayerCount = CrackLayerNumber;
struct Clipboard {
    bool full = false;
    double width = 0, height = 0;   // the copied rectangle, in world units
    Layer layers[EditedLayerCount + 1];     // [1 .. 8]
};
extern Clipboard clipboard;

enum class SelectionRefusal {
    None,
    Nothing,        // no selection, or an empty clipboard
    BallInWall,     // a wall would stand on the ball's start cell
    PastLimits,     // past LevelCoordinateLimit, or more than SelectionCellLimit cells
    LastWall,       // the level would lose its last wall
    NoLayer,        // the selected texture is not one that fills cells (background, ball)
};

// Objects of the edited layers in the rectangle.
std::int32_t CountObjectsIn(const CellRect& rect);

void CopySelection();
SelectionRefusal DeleteSelection();
SelectionRefusal CutSelection();
// The clipboard with its top-left cell at (x, y); on success the selection becomes the pasted rectangle.
SelectionRefusal PasteClipboard(double x, double y);
// The selection's objects moved by (dx, dy) units, the selection with them.
SelectionRefusal MoveSelection(double dx, double dy);
// Every cell of the selection gets an object of `texture` in its kind's layer (arrows and paths their direction).
SelectionRefusal FillSelection(std::int32_t texture);
// The selection mirrored left-right: positions, arrows and path markers east <-> west, platforms' x speed.
SelectionRefusal FlipSelection();
