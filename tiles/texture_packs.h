// Texture packs: the "txtpck*" folders beside the program ("1994txtpck*" in nostalgic mode), read once at start-up
// into the image table and the tile catalogue.
//
// A pack has no index file; file names tell everything. "wallrcbrick00.png" is frame 0 of the texture "brick" of
// kind "wall", repeating across ("r") and clamped top to bottom ("c"); its frames are 00, 01, ... 99, 100, ... up to
// the first missing number.
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"

// For the run: the pack folder names in loading order: by name, the main pack last. Element 0 stands for all packs
// in the editor's pack filter; start-up puts its language text there after loading.
extern List<std::string> TexturePackList;

// One image file of a pack texture. Its index in the list is its index in the image table, where the textures
// load it (gfx/pack_textures.h).
struct PackFrameFile {
    std::string path;
    bool repeatS = false, repeatT = false;      // the wrap letters say "r": the texture tiles that way
};

// Fills TexturePackList and the catalogue, from empty, from the file names alone, and lists every frame file in
// image-table order: [0] is the placeholder "notex.png", then each texture's frames. packEnds[p] is the last frame
// index of pack p (equal to the one before for a pack with no textures).
void ScanTexturePacks(List<PackFrameFile>& frames, List<std::int32_t>& packEnds);

// A pack name as the user sees it: without its first six characters ("txtpckMain" shows as "Main",
// "1994txtpckMain" as "tpckMain").
std::string TexturePackShownName(const std::string& pack);
