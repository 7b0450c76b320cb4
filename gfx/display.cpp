#include "gfx/display.h"

#include <algorithm>
#include <cmath>

#include "base/message.h"
#include "gfx/board.h"
#include "gfx/font.h"
#include "gfx/draw.h"
#include "base/language.h"
#include "sound/sound.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "base/files.h"
#include "base/settings.h"

List<std::int32_t> modeWidths, modeHeights;
std::function<void()> frameOverlay;

void ListDisplayModes() {
    modeWidths.Clear();
    modeHeights.Clear();
    for (const DisplayMode& mode : PlatformDisplayModes()) {
        if (mode.width < 640 || mode.height < 480) continue;
        modeWidths.Add(mode.width);
        modeHeights.Add(mode.height);
    }
}

bool ChooseMode() {
    if (modeWidths.Empty()) return false;
    // A first start (no settings yet) takes the desktop as it is, full screen: a mode the display surely has, and
    // nothing switches.
    const DisplayMode desktop = PlatformDesktopMode();
    if (FirstRun != 0 && desktop.width >= 640 && desktop.height >= 480) {
        ScreenWidth = desktop.width;
        ScreenHeight = desktop.height;
        Fullscreen = 1;
    }
    bool offered = false;
    for (int i = 1; i <= modeWidths.Count(); i++)
        if (modeWidths[i] == ScreenWidth && modeHeights[i] == ScreenHeight) offered = true;
    if (!offered) {
        ScreenWidth = modeWidths[modeWidths.Count()];
        ScreenHeight = modeHeights[modeHeights.Count()];
        Fullscreen = 1;
    }
    ActiveWidth = ScreenWidth;
    ActiveHeight = ScreenHeight;
    ActiveFullscreen = Fullscreen;
    return true;
}

DisplayMode WindowThatFits(std::int32_t width, std::int32_t height) {
    const DisplayMode usable = PlatformUsableArea();
    if (usable.width <= 0 || usable.height <= 0 || (width <= usable.width && height <= usable.height))
        return {width, height};
    const double scale = std::min(double(usable.width) / width, double(usable.height) / height);
    return {std::max(1, static_cast<int>(width * scale)), std::max(1, static_cast<int>(height * scale))};
}

bool SetDisplayMode(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t fullscreen) {
    (void)depth;    // always 32-bit colour
    const DisplayMode size = fullscreen == 1 ? DisplayMode{width, height} : WindowThatFits(width, height);
    if (!PlatformOpenDisplay(size.width, size.height, fullscreen == 1 ? DisplayKind::Fullscreen : DisplayKind::Window))
        return false;
    ActiveWidth = size.width;
    ActiveHeight = size.height;
    SetupGlState(size.width, size.height);
    return true;
}

bool OpenActiveDisplay() {
    if (SetDisplayMode(ActiveWidth, ActiveHeight, 32, ActiveFullscreen)) return true;
    if (ActiveFullscreen == 1) {
        // The mode could not be set (a display that lists modes it will not switch to, a driver without mode
        // switching): the desktop as it is, full screen, switches nothing.
        const DisplayMode desktop = PlatformDesktopMode();
        if (desktop.width >= 640 && desktop.height >= 480 &&
            PlatformOpenDisplay(desktop.width, desktop.height, DisplayKind::DesktopFullscreen)) {
            ActiveWidth = desktop.width;
            ActiveHeight = desktop.height;
            SetupGlState(ActiveWidth, ActiveHeight);
            return true;
        }
    }
    if (ActiveFullscreen == 1 && SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0)) {
        ActiveFullscreen = 0;
        return true;
    }
    return false;
}

void SetSwapInterval(std::int32_t interval) { PlatformSetSwapInterval(interval); }

void ClearFrame() { ClearBuffers(); }

void ResetDisplayState() {
    uiScaleX = uiScaleY = 0;
    isFourByThree = 0;
    fourByThreeWidth = fourByThreeHeight = 0;
}

void PaceFrame() {
    double fixed = PlatformFixedFrameTime();
    if (fixed > 0) {
        // Every frame lasts exactly the fixed time (the platform keeps the real pace).
        frameTime = fixed;
        lastFrameTime = PlatformClock();
        frameStep = std::min(25.0 * frameTime, 0.5);
        return;
    }
    // Sleep until just before the deadline and spin the rest: the pacing stays exact without burning a core.
    double now = PlatformClock();
    if (now - lastFrameTime < MinFrameInterval) {
        PlatformWaitUntil(lastFrameTime + MinFrameInterval);
        now = PlatformClock();
    }
    frameTime = now - lastFrameTime;
    lastFrameTime = PlatformClock();
    frameStep = std::min(25.0 * frameTime, 0.5);
}

namespace {
void ComputeScale() {
    uiScaleX = ActiveWidth / 1024.0;
    uiScaleY = ActiveHeight / 768.0;
    // Compared with a tolerance: the ratio of 1024 x 768 as a double is not the double nearest to the 15-digit
    // literal, and every mode of exactly 4:3 must count as one.
    double ratio = static_cast<double>(ActiveWidth) / ActiveHeight;
    isFourByThree = std::abs(ratio - 1.333333333333333) < 1e-9 ? -1 : 0;
    fourByThreeWidth = RoundEven(ActiveHeight / 768.0 * 1024);
    fourByThreeHeight = RoundEven(ActiveWidth / 1024.0 * 768);
}
}  // namespace

namespace {
// The opening screen: the logo, full screen on a 4:3 display, letterboxed as 4:3 otherwise.
void DrawOpeningImage() {
    BindImage(logoImage.id);
    if (isFourByThree == -1) DrawQuad(0, 0, 1, ActiveWidth, ActiveHeight);
    else DrawQuad(0, RoundEven((ActiveHeight - fourByThreeHeight) / 2.0), 11, ActiveWidth, fourByThreeHeight);
    if (StartupLoading) DrawTextCentered(LanguageText[LineLoading], ActiveHeight - 30, 255, 255, 255);
}
}  // namespace

namespace {
// Frames until the freed heap is handed back to the system; 0 when nothing is due. The renderer frees a deleted
// texture's storage only once no frame in flight uses it, so the trim waits a few frames.
std::int32_t framesUntilTrim = 0;

void TrimWhenDue() {
    if (framesUntilTrim > 0 && --framesUntilTrim == 0) PlatformTrimMemory();
}
}  // namespace

void TrimMemorySoon() { framesUntilTrim = 3; }

void DrawFrame() {
    if (uiScaleX == 0) ComputeScale();
    PaceFrame();
    UpdateMusic();
    ClearFrame();
    SetDepthFunc(DepthFunc::Less);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
    if (MessageState == -1) {
        DrawOpeningImage();
        PresentFrame();
        TrimWhenDue();
        return;
    }
    DrawBoardFrame();
    if (frameOverlay) frameOverlay();
    if (PresentFrame()) TrimMemorySoon();
    TrimWhenDue();
    DecodeWaitingSound();
}
