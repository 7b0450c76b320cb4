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
    auto keepFrames = [&](std::int32_t first, std::int32_t last) {
        for (std::int32_t i = std::max(first, 0); i <= last && i <= ImageTable.Count(); ++i)
            keep[static_cast<size_t>(i)] = true;
    };
    // Of a texture, the frames it can show now: its first, the texture's shared frame and the object's own. An
    // animation's other frames come back as it reaches them, so a 32-frame sky played through once does not stay
    // whole in memory behind a menu that never moves it.
    auto keepShown = [&](std::int32_t entry, double objectFrame) {
        if (entry < 1 || entry > TextureCount()) return;
        const TextureEntry& e = Entry(entry);
        const std::int32_t first = WholeNumber(e.firstFrame), last = WholeNumber(e.lastFrame);
        for (const double frame : {e.firstFrame, e.frame, objectFrame}) {
            const std::int32_t shown = WholeNumber(frame);
            if (shown >= first && shown <= last) keepFrames(shown, shown);
        }
    };
    for (std::int32_t layer = 1; layer <= 10; ++layer)
        for (const LevelObject& object : LevelLayer(level, layer)) keepShown(WholeNumber(object.texture), object.frame);
    for (const LevelObject* object : {&level.background, &level.ball, &level.ballShadow})
        keepShown(WholeNumber(object->texture), object->frame);
    // The default textures the same way (the heads-up display's symbols, the explosion), but the big font whole:
    // its frames are its letters.
    for (std::int32_t entry : {DefaultBackgroundTexture, DefaultBallTexture, DefaultShadowTexture, DefaultBombTexture,
                               DefaultExplosionTexture, DefaultFlagTexture})
        keepShown(entry, Entry(entry).firstFrame);
    if (DefaultFontTexture >= 1 && DefaultFontTexture <= TextureCount())
        keepFrames(WholeNumber(Entry(DefaultFontTexture).firstFrame), WholeNumber(Entry(DefaultFontTexture).lastFrame));
    bool released = false;
    for (std::int32_t i = 1; i <= ImageTable.Count(); ++i)
        if (!keep[static_cast<size_t>(i)] && TextureIsResident(ImageTable[i].id)) {
            ReleaseTexture(ImageTable[i].id);
            released = true;
        }
    if (released) TrimMemorySoon();     // what the frames held goes back to the system
}
