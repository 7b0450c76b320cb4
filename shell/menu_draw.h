// The menu screen over the board: the picture or grey veil of the screen, the menu lines in the big font with the
// pulsing cursor line, the extras of some screens (the level screen's information panel, the credits and the two
// help pages), and the mouse report that the menu loop reads back. It draws only; the menu (shell/menu.h) decides
// what the lines say and what a key does. The menu installs it as the frame's overlay while it owns the screen.
#pragma once

#include <cstdint>

// The cursor line's colour animation, 0 to 511: up and back down over 16 animation frames. For the run.
extern double menuPulse;

// The depth of the veil under a message that stands over the menu: nearer than everything the menu draws.
constexpr std::int32_t MenuMessageZ = 20;

// Draws the menu state of `menu` over the board when view.MenuActive is set (nothing otherwise), with a raised message
// over it, and writes the line under the pointer (menu.MenuHover), the pointer position and the button mask.
void DrawMenuScreen();
// True when the screen's picture is opaque and covers the whole screen (a 4:3 screen showing the opening or the
// end-of-game picture), so the level behind the menu need not be drawn.
bool MenuPictureCoversScreen(std::int32_t screen);
