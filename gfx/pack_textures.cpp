#include "gfx/pack_textures.h"

#include "gfx/display.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "tiles/texture_packs.h"

namespace {

// While the packs load, the splash screen is redrawn at most this often: often enough that the window stays
// alive, rarely enough that waiting for the display does not slow loading down.
constexpr double SplashFrameInterval = 0.1;

void SplashFrame(bool always) {
    if (always || PlatformClock() - lastFrameTime >= SplashFrameInterval) DrawFrame();
}

std::uint32_t Wrap(bool repeat) { return repeat ? TextureWrapRepeat : TextureWrapClampToEdge; }

void LoadPacks(bool decodeImages) {
    List<PackFrameFile> frames;
    List<std::int32_t> packEnds;
    ImageTable.Clear();
    ScanTexturePacks(frames, packEnds);
    if (decodeImages) LoadTexture(frames[0].path, ImageTable[0], TextureMipmaps, TextureWrapClamp, TextureWrapClamp, 0);
    std::int32_t next = 1;
    for (std::int32_t packEnd : packEnds) {
        for (; next <= packEnd; ++next) {
            std::int32_t image = ImageTable.Add(TextureImage{});
            if (!decodeImages) continue;
            const PackFrameFile& frame = frames[next];
            LoadTexture(frame.path, ImageTable[image], TextureMipmaps, Wrap(frame.repeatS), Wrap(frame.repeatT), 0);
            SplashFrame(false);
        }
        if (decodeImages) SplashFrame(true);
    }
}

}  // namespace

void LoadTexturePacks() { LoadPacks(true); }

void LoadTexturePackNames() { LoadPacks(false); }
