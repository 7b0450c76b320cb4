// The editor's state for the run: the selected kind and texture, the texture-pack filter and the picker. The
// values below are those of start-up; they keep their values between visits to the editor and across test plays.
// (Whether the editor shows the board is view.EditorMode, gfx/board.h.)
#pragma once

#include <cstdint>

#include "tiles/catalogue.h"

struct EditorState {
    std::int32_t SelectedKind = KindGround;     // the TextureKind that placing uses
    std::int32_t SelectedTexture = 1;           // catalogue index; 0 = none of the kind in the filter
    double SelectedFrame = 0;                   // animation frame of the panel's preview of SelectedTexture
    std::int32_t PackFilter = 0;                // 0 = every texture pack; n = only TexturePackList element n
    std::int32_t PickerOpen = 0;                // -1 while the texture picker covers the screen
    std::int32_t PickerClicked = 0;             // -1 after a click in the picker until the button is up
};
extern EditorState editor;
