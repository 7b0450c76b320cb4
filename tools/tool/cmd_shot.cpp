// kolbrix-tool shot: a level drawn the way the game shows it, saved as a PNG picture. Level designers use it for
// previews, and the README for its pictures.
//
//   shot LEVEL OUT.png [--data DIR] [--size WxH] [--editor] [--frames N] [--plain]
//
// The level is drawn with real OpenGL in a window of W x H (default 1024 x 768; it needs an X display) with the
// textures, font and fixed images of DIR (default: the tool's own folder). The picture shows the level as a player
// sees it once the level has settled: the camera on the ball, the heads-up display at the start of play (all flags
// left, no bombs, the full time) and the hint steady. With --editor it is the editor's view instead: the camera
// centred on the ball's cell with the cursor there, hidden objects and path markers shown, no heads-up display, and
// the editor's panel over it as the editor draws it.
// N frames are drawn 1/25 s apart (default 1, the first frame of every animation); the last one is saved. --plain
// draws without the renderer's shortcuts (every quad in order, with its image's own filters): the same picture, the
// slow way.
//
// Exit codes: 0 saved, 1 the display, the level or the picture failed, 2 wrong command line.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/language.h"
#include "base/message.h"
#include "editor/editor.h"
#include "editor/panel_draw.h"
#include "editor/panel_input.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "base/binio.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"
#include "tools/common/png_write.h"
#include "tools/tool/arguments.h"
#include "tools/tool/game_data.h"

namespace {

struct ShotArguments {
    std::string level, out, dataFolder;
    std::int32_t width = 1024, height = 768;
    bool editor = false;
    bool plain = false;
    std::int32_t frames = 1;
};

constexpr std::int32_t MaxSide = 8192;
constexpr std::int32_t MaxFrames = 100000;
constexpr double ShotFrameStep = 1;         // one animation frame between two drawn frames

bool ParseArguments(int argc, char** argv, ShotArguments& args) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            args.dataFolder = argv[++i];
        } else if (arg == "--size" && i + 1 < argc) {
            if (!ParseSize(argv[++i], MaxSide, args.width, args.height)) return false;
        } else if (arg == "--frames" && i + 1 < argc) {
            long long frames = 0;
            if (!ParseInteger(argv[++i], 1, MaxFrames, frames)) return false;
            args.frames = static_cast<std::int32_t>(frames);
        } else if (arg == "--editor") {
            args.editor = true;
        } else if (arg == "--plain") {
            args.plain = true;
        } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] == '-') {
            return false;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return false;
    args.level = files[0];
    args.out = files[1];
    return true;
}

// ---- The game's data and the level ---------------------------------------------------------------------------

// Start-up's loading, without sound: the language, the font, the fixed images and every texture pack.
void LoadData() {
    MusicOn = 0;
    SoundOn = 0;
    QuotesOn = 0;
    NostalgicMode = 0;
    SeedRandom(1);
    LoadToolGameData();
}

// The state in which play shows the level at its start, at the difficulty the level was made for.
void SetUpView(bool editor) {
    attempt = PlayAttempt{};
    playRun = PlayRun{};
    view.EditorMode = editor ? -1 : 0;
    view.MenuActive = 0;
    view.currentZoom = 1.0;
    level.deathCounter = 0;
    level.winCounter = 0;
    level.bombCount = 0;
    score = 0;
    attempt.flagsLeft = 0;
    for (const LevelObject& pickup : level.pickupLayer)
        if (Entry(WholeNumber(pickup.texture)).kind == KindFlag) ++attempt.flagsLeft;
    attempt.switchState = -1;
    for (const LevelObject& arrow : level.arrowLayer)
        if (arrow.param1 == 5) attempt.switchState = 0;
    attempt.remainingTimeText = FormatTime(level.timeLimit > 0 ? level.timeLimit : 0);
    attempt.timeWarningShown = 0;
    // Past the first seconds, when the hint has stopped blinking.
    attempt.elapsedTime = 3;
    if (editor) {
        // The edit cursor stands on the ball's cell.
        focusX = std::floor(level.ball.x / CellUnits) * CellUnits;
        focusY = std::floor(level.ball.y / CellUnits) * CellUnits;
        // The panel as the editor opens: the general help, the first texture of the selected kind.
        if (!TexturePackList.Empty()) TexturePackList[0] = LanguageText[LineAllTexturePacks];
        PanelHitTest(-1, -1);
        RevalidateSelection();
    } else {
        focusX = level.ball.x;
        focusY = level.ball.y;
    }
}

// One frame as DrawFrame draws it, with the camera already where it eases to.
void DrawShotFrame(double step) {
    frameStep = step;
    frameTime = step / 25;
    ClearFrame();
    SetDepthFunc(DepthFunc::Less);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
    UpdateZoom();
    AnimateTilingTextures();
    UpdateCamera();
    view.cameraX = view.cameraTargetX;
    view.cameraY = view.cameraTargetY;
    DrawBoard(CurrentBoardVariant());
    if (view.EditorMode != 0) DrawEditorOverlay();
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "kolbrix-tool shot: %s\n", message.c_str());
    PlatformInit(PlatformBackend::Headless, 0, nullptr);     // closes the window
    return 1;
}

}  // namespace

int ToolShot(int argc, char** argv) {
    ShotArguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fprintf(stderr, "usage: kolbrix-tool shot LEVEL OUT.png [--data DIR] [--size WxH] [--editor] "
                             "[--frames N] [--plain]\n");
        return 2;
    }
    PlatformInit(PlatformBackend::Sdl, argc, argv);
    // The settings name the language; their display size gives way to the asked one.
    if (!args.dataFolder.empty()) SetProgramFolder(args.dataFolder);
    LoadSettings();
    ActiveWidth = args.width;
    ActiveHeight = args.height;
    ActiveFullscreen = 0;
    ResetDisplayState();
    SetDrawShortcuts(!args.plain);
    if (!SetDisplayMode(args.width, args.height, 32, 0) || !PlatformHasGl())
        return Fail("cannot open a " + std::to_string(args.width) + " x " + std::to_string(args.height) +
                    " OpenGL window (is there an X display?)");
    if (ActiveWidth != args.width || ActiveHeight != args.height)
        std::fprintf(stderr, "kolbrix-tool shot: the desktop has room for %d x %d only; the picture has that size\n",
                     ActiveWidth, ActiveHeight);
    lastFrameTime = PlatformClock();
    LoadData();
    ForgetBoardIndex();
    if (!LoadLevel(args.level)) return Fail("cannot load the level " + args.level);
    SetUpView(args.editor);

    std::vector<std::uint8_t> rgb;
    for (std::int32_t frame = 1; frame <= args.frames; ++frame) {
        DrawShotFrame(frame == 1 ? 0 : ShotFrameStep);
        if (frame == args.frames && !ReadBackBuffer(ActiveWidth, ActiveHeight, rgb))
            return Fail("cannot read the drawn frame back");
        PresentFrame();
    }
    const std::string png = EncodeRgbPng(ActiveWidth, ActiveHeight, rgb);
    if (png.empty() || !PlatformWriteFileAtomic(args.out, png)) return Fail("cannot write " + args.out);
    PlatformInit(PlatformBackend::Headless, 0, nullptr);
    return 0;
}
