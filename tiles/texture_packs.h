// Texture packs: the "txtpck*" folders beside the program ("1994txtpck*" in nostalgic mode), read once at start-up
// into the image table and the tile catalogue.
//
// A pack has no index file; file names tell everything. "wallrcbrick00.png" is frame 0 of the texture "brick" of
// kind "wall", repeating across ("r") and clamped top to bottom ("c"); its frames are 00, 01, ... 99, 100, ... up to
// the first missing number.
#pragma once

#include <cstdint>
#include <string>

#include "shell/list.h"

// For the run: the pack folder names in (sorted) listing order. Element 0 stands for all packs in the editor's
// pack filter; start-up puts its language text there after loading.
extern List<std::string> TexturePackList;

// Fills TexturePackList, the image table (image 0 = "notex.png", then every frame) and the catalogue, from empty.
// Draws frames of the splash screen while it works. Start-up calls it once, after the language is loaded and the
// display is open.
void LoadTexturePacks();

// The same catalogue, pack list and image indices from the file names alone: image records are appended but no
// file is decoded or uploaded and no frame is drawn. For tools that only need names, kinds and frame ranges.
void LoadTexturePackNames();

// A pack name as the user sees it: without its first six characters ("txtpckMain" shows as "Main",
// "1994txtpckMain" as "tpckMain").
std::string TexturePackShownName(const std::string& pack);
