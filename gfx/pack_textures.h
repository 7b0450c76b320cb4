// The texture packs' images: every frame that the catalogue names, loaded into the image table at start-up.
#pragma once

#include <cstdint>

// Fills TexturePackList, the image table (image 0 = "notex.png", then every frame) and the catalogue, from empty.
// The frames are registered (RegisterTexture): each is decoded and uploaded when it is first drawn. Draws frames
// of the splash screen while it works. Start-up calls it once, after the language is loaded and the
// display is open.
void LoadTexturePacks();

// The same catalogue, pack list and image indices from the file names alone: image records are appended but no
// file is decoded or uploaded and no frame is drawn. For tools that only need names, kinds and frame ranges.
void LoadTexturePackNames();

// Decodes and uploads the frames first..last of the image table now (those already there are left alone), for a
// screen about to draw them.
void PreloadPackImages(std::int32_t first, std::int32_t last);

// Gives back the memory of every texture-pack frame that the level just loaded has no use for now. Of each texture
// that its objects, its background, its ball and shadow name, and of the default textures (heads-up display,
// explosion), it keeps the frames that can show now: the first, the texture's shared frame and the object's own; of
// the big font, every frame. Frames are decoded again when drawn again. Loading a level calls it, so that the frames
// in memory are those of the level on screen and of what was drawn since.
void ReleaseImagesOutsideLevel();
