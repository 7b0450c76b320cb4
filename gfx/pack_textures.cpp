#include "gfx/pack_textures.h"

#include <algorithm>
#include <vector>

#include "gfx/display.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "platform/platform.h"
#include "tiles/catalogue.h"
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
    // Only the PNG headers are read now; each frame is decoded and uploaded when it is first drawn (a level, the
    // menu's background level, the editor's picker).
    if (decodeImages)
        RegisterTexture(frames[0].path, ImageTable[0], TextureMipmaps, TextureWrapClamp, TextureWrapClamp);
    std::int32_t next = 1;
    for (std::int32_t packEnd : packEnds) {
        for (; next <= packEnd; ++next) {
            std::int32_t image = ImageTable.Add(TextureImage{});
            if (!decodeImages) continue;
            const PackFrameFile& frame = frames[next];
            RegisterTexture(frame.path, ImageTable[image], TextureMipmaps, Wrap(frame.repeatS), Wrap(frame.repeatT));
            SplashFrame(false);
        }
        if (decodeImages) SplashFrame(true);
    }
}

}  // namespace

void LoadTexturePacks() { LoadPacks(true); }

void LoadTexturePackNames() { LoadPacks(false); }

void PreloadPackImages(std::int32_t first, std::int32_t last) {
    for (std::int32_t i = std::max(first, 0); i <= last && i <= ImageTable.Count(); ++i)
        ResidentTexture(ImageTable[i].id);
}

void ReleaseImagesOutsideLevel() {
    std::vector<bool> keep(static_cast<size_t>(ImageTable.Count()) + 1, false);
    auto keepEntry = [&](std::int32_t entry) {
        if (entry < 1 || entry > TextureCount()) return;
        const TextureEntry& e = Entry(entry);
        for (std::int32_t i = std::max(WholeNumber(e.firstFrame), 0);
             i <= WholeNumber(e.lastFrame) && i <= ImageTable.Count(); ++i)
            keep[static_cast<size_t>(i)] = true;
    };
    for (std::int32_t layer = 1; layer <= 10; ++layer)
        for (const LevelObject& object : LevelLayer(level, layer)) keepEntry(WholeNumber(object.texture));
    for (const LevelObject* object : {&level.background, &level.ball, &level.ballShadow})
        keepEntry(WholeNumber(object->texture));
    for (std::int32_t entry : {DefaultBackgroundTexture, DefaultBallTexture, DefaultShadowTexture, DefaultBombTexture,
                               DefaultExplosionTexture, DefaultFlagTexture, DefaultFontTexture})
        keepEntry(entry);
    bool released = false;
    for (std::int32_t i = 1; i <= ImageTable.Count(); ++i)
        if (!keep[static_cast<size_t>(i)] && TextureIsResident(ImageTable[i].id)) {
            ReleaseTexture(ImageTable[i].id);
            released = true;
        }
    if (released) PlatformTrimMemory();     // what the frames held goes back to the system
}
