// What the editor draws over the board: the panel while editing, or the dialog that is up, in the panel's place.
// The board itself, the cursor frame and the path markers are the board's editor variant (gfx/board.h).
#pragma once

#include <cstdint>

// The editor installs this in frameOverlay while it runs; it draws only while view.EditorMode says the editor
// shows the board.
void DrawEditorOverlay();
