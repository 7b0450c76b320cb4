// The texture packs' images: every frame that the catalogue names, loaded into the image table at start-up.
#pragma once

// Fills TexturePackList, the image table (image 0 = "notex.png", then every frame) and the catalogue, from empty.
// Draws frames of the splash screen while it works. Start-up calls it once, after the language is loaded and the
// display is open.
void LoadTexturePacks();

// The same catalogue, pack list and image indices from the file names alone: image records are appended but no
// file is decoded or uploaded and no frame is drawn. For tools that only need names, kinds and frame ranges.
void LoadTexturePackNames();
