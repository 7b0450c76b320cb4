// Texture packs: a texture is a kind, two wrap letters, a name and its frames; a pack writer puts every
// texture into the normal pack folder and its 1994 version into the nostalgic one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "image.h"

namespace art {

struct Texture {
    std::string kind;       // four letters: grnd, wall, trap, ...
    char wrapS = 'c', wrapT = 'c';
    std::string name;
    std::vector<Image> frames;
    // The 1994 version; empty means "made from the frames" (shrunk, reduced to the 16-colour palette).
    std::vector<Image> nostalgicFrames;
    float nostalgicDither = -1;   // dither of the made 1994 version; below 0: the pack's
};

struct PackWriter {
    std::string folder;            // e.g. <program folder>/txtpckMain/
    std::string nostalgicFolder;   // e.g. <program folder>/1994txtpckMain/
    int nostalgicSize = 32;        // the pixel size the 1994 version is drawn at before it is enlarged
    float nostalgicDither = 0.35f;
    int textures = 0, files = 0;
    std::vector<std::string> manifest;   // "kind wrap name frames" lines, for the documentation
    bool ok = true;

    // Empties both folders (they hold nothing but generated files) and creates them.
    void Open(const std::string& gameDir, const std::string& packName);
    void Add(Texture texture);
};

// The 1994 look of one frame: shrunk to `size` pixels across, reduced to the 16 colours with an ordered dither,
// enlarged again with hard pixel edges.
Image NostalgicFrame(const Image& frame, int size, float dither);

// The big font's 42 images in the table's order (digits, letters, ":", "|", "%", flag, bomb, padlock).
std::vector<Image> BigFontFrames();
std::vector<Image> BigFontFrames1994();
// Shared pictures that more than one picture uses.
Image BombPicture(int size, float spark, int frame);
Image FlagPicture(int size, float phase);
Image BallPicture(int size, float angle);
Image PadlockPicture(int size);

// Packs and pictures (each writes into the program folder).
bool BuildMainPack(const std::string& gameDir, std::vector<std::string>& manifest);
bool BuildVartoLumPack(const std::string& gameDir, std::vector<std::string>& manifest);
bool BuildFixedImages(const std::string& gameDir);
bool BuildEditorImages(const std::string& gameDir);
bool BuildUiFont(const std::string& gameDir);
// The desktop's icon: <folder>/<N>x<N>/apps/<name>.png in the icon theme's sizes and scalable/apps/<name>.svg.
bool BuildIcons(const std::string& folder, const std::string& name);

}  // namespace art

namespace art {
// The first image of the main pack's typical texture of a kind ("wall", "bomb", ...), for the editor's icons.
Image MainPackSample(const std::string& kind);
}  // namespace art
