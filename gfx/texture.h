// Textures: the uploaded images, the one loading entry point, the fixed images of the menus and the editor, and the
// image table that the tile catalogue indexes.
//
// On the headless back end nothing reaches OpenGL: every upload gets a made-up id (1, 2, 3, ... for the run) and is
// recorded in TextureUploads, so tests and tools see exactly what the game would have uploaded.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/list.h"

// OpenGL's values, named here so that callers need no GL header. A clamped wrap is uploaded as GL_CLAMP_TO_EDGE,
// which every OpenGL (ES and WebGL too) has.
constexpr std::uint32_t TextureWrapClamp = 0x2900;          // GL_CLAMP
constexpr std::uint32_t TextureWrapRepeat = 0x2901;         // GL_REPEAT
constexpr std::uint32_t TextureWrapClampToEdge = 0x812F;    // GL_CLAMP_TO_EDGE
constexpr std::uint32_t TextureFormatRgb = 0x1907;          // GL_RGB
constexpr std::uint32_t TextureFormatRgba = 0x1908;         // GL_RGBA

// LoadTexture flags; they combine.
constexpr std::int32_t TextureMipmaps = 2;                  // build every mipmap level
constexpr std::int32_t TextureNearest = 4;                  // nearest filtering instead of linear

struct TextureImage {
    std::uint32_t id = 0;                   // texture name that drawing binds; 0: nothing loaded
    std::int32_t width = 0, height = 0;     // pixels
    std::vector<std::uint8_t> pixels;       // decoded rows while loading (bottom row first); empty after upload
    std::int32_t bitsPerPixel = 0;          // 24 or 32
    std::uint32_t format = 0;               // TextureFormatRgb for 24 bits, TextureFormatRgba for 32
};

// Every texture-pack frame, registered at start-up and kept for the run, decoded when first drawn. Element 0 is
// not an unused slot here: it holds the placeholder "notex.png" that every unknown texture name draws, and the
// texture packs load it there after clearing the table.
extern List<TextureImage> ImageTable;

// The fixed images, loaded at start-up and kept for the run.
extern TextureImage logoImage;          // opening screen
extern TextureImage endgameImage;       // menu backgrounds
extern TextureImage openingImage;       // main-menu background
extern TextureImage editMenuImage;      // editor panel
extern TextureImage editInputImage;     // editor input dialog
extern TextureImage editDialImage;      // editor two-button dialog
extern TextureImage editDial1Image;     // editor one-button dialog
extern TextureImage editWaitImage;      // a job at work (the solver): its one button cancels it
extern TextureImage editSelectImage;    // editor cursor and tool marker
extern TextureImage editGrayImage;      // grey panels behind texts and dialogs

// Loads a ".png" or ".tga" file into `image` and uploads it. flags: TextureMipmaps, TextureNearest. wrapS, wrapT:
// TextureWrap*. Returns 0 on success; 1 on failure, after writing "Error: Loading texture... " and the path to
// standard output, with `image` left as it was. The decoded pixels are released unless keepPixels is non-zero.
std::int32_t LoadTexture(const std::string& path, TextureImage& image, std::int32_t flags, std::uint32_t wrapS,
                         std::uint32_t wrapT, std::int32_t keepPixels);
// The same image, made ready to draw but decoded and uploaded only when it is first bound (BindImage calls
// ResidentTexture): now only the file's PNG header is read, for its size, and the image gets its texture name. A
// file that is missing or whose header is not a PNG's fails here as LoadTexture fails (the line on standard output,
// 1, `image` left as it was); one that fails to decode later says so then, with the same line, and draws as an image
// that never loaded (texture name 0). Files other than ".png" load at once.
std::int32_t RegisterTexture(const std::string& path, TextureImage& image, std::int32_t flags, std::uint32_t wrapS,
                             std::uint32_t wrapT);
// The texture name to bind for `id`: a registered image still waiting is decoded and uploaded first; one that failed
// to decode gives 0.
std::uint32_t ResidentTexture(std::uint32_t id);
// How many registered images wait to be decoded (not used yet, or released since).
std::size_t PendingTextureCount();
// True when a registered image is uploaded now.
bool TextureIsResident(std::uint32_t id);
// Gives back the memory of a registered image that is uploaded; it keeps its texture name and is decoded again when
// it is next bound. Any other id is left alone.
void ReleaseTexture(std::uint32_t id);
// Decoding only (no upload): true on success, `image` untouched on failure.
bool LoadTga(TextureImage& image, const std::string& path);
bool LoadPng(TextureImage& image, const std::string& path);
// Frees the texture's name; `id` becomes 0.
void DeleteTexture(TextureImage& image);

// Loads the fixed images from the program folder, in start-up order, with the 1994 files in nostalgic mode: each is
// registered, to be decoded when first drawn. `afterLogo` runs once the logo is registered and before the rest, so
// start-up can show the logo while it waits.
void LoadFixedImages(const std::function<void()>& afterLogo = {});
// Once the opening screen is over: the logo's pixels are given back (it would be decoded again to be drawn).
void ReleaseLogo();
// At exit: deletes every texture-pack frame (ImageTable from 1 to the last).
void ReleaseTextures();

// ---- What the drawing primitives need of an uploaded image -------------------------------------------------

// The GL side of a texture name: the texture object that holds its pixels (0 while none does), the size of its
// first level, whether every pixel is opaque (then it draws without blending), and its filters. The object is made
// at upload, so names that wait for their first draw cost the renderer nothing.
struct TextureGpu {
    std::uint32_t object = 0;
    std::int32_t width = 0, height = 0;
    bool opaque = false;
    bool mipmapped = false;
    bool nearest = false;
    std::uint32_t minFilterSet = 0;         // the filters last given to GL
    std::uint32_t magFilterSet = 0;
};
// The record of texture name `id`; nullptr when nothing is uploaded under it.
TextureGpu* FindTextureGpu(std::uint32_t id);
// Texture objects deleted or released are handed to GL only once the quads queued before that are drawn: the
// drawing primitives call this after each submission.
void DeleteRetiredTextures();
// A new GL context holds none of the old one's objects: the registered images wait to be decoded again, the others
// lose their objects.
void ForgetGlTextures();
// The mipmap chain of an image whose sides are not both powers of two: scaled to the nearest powers of two by area,
// then halved by a box filter down to 1 x 1. Level 0 first; `channels` bytes a pixel.
struct MipLevel {
    std::int32_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
};
std::vector<MipLevel> BuildMipmapChain(const std::uint8_t* pixels, std::int32_t width, std::int32_t height,
                                       std::int32_t channels);
// The power of two that a side is scaled to for its mipmaps: the nearer of the two around it, up when the side's two
// highest bits are both set.
std::int32_t MipmapSide(std::int32_t side);

// ---- Headless recordings ----------------------------------------------------------------------------------

struct TextureUpload {
    std::uint32_t id = 0;                   // the made-up id that the image received
    std::string path;
    std::int32_t width = 0, height = 0, bitsPerPixel = 0;
    std::int32_t flags = 0;
    std::uint32_t wrapS = 0, wrapT = 0;
};
extern std::vector<TextureUpload> TextureUploads;       // every upload, in order
extern std::vector<std::uint32_t> DeletedTextures;      // ids handed to DeleteTexture, in order
extern std::vector<std::uint32_t> ReleasedTextures;     // ids whose memory ReleaseTexture gave back, in order
// Forgets the recordings and starts the made-up ids at 1 again.
void ResetTextureRecords();
