// kolbrix-tool play: the game's own PlayLevel on one level, headless from a key script, or in a window from the
// keyboard (docs/play.md).
//
//   play LEVEL [--data DIR] [--inputs FILE] [--seed N] [--difficulty D] [--fps F] [--max-frames N] [--trace]
//   play LEVEL --window [--record FILE] [--data DIR] [--seed N] [--difficulty D] [--fps F] [--max-frames N]
//        [--size WxH]
//
// Headless, every frame lasts exactly 1/F seconds of the virtual clock (F defaults to 60), the random numbers start
// from seed N (default 1) and the level is played at difficulty D (default 0) with sound, music and quotes on
// (recorded, not heard). FILE holds the keys, one segment a line ("COUNT [KEY[+KEY...]]"); after its last segment
// nothing is held, and Escape ends a level still running after N frames (default 100000). --trace writes one JSON
// line after every iteration of the play loop; the last line is always the result.
//
// In a window the level is played from the keyboard with its music and sounds, in a window of the size the settings
// name (or WxH). With --record FILE every frame lasts
// 1/F seconds (the window keeps that pace) and the keys are written to FILE as a key script that replays the run.
//
// Exit codes: 0 the level was completed, 1 it was not, 2 wrong command line or a level that does not load.
#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tools/tool/arguments.h"
#include "tools/tool/game_data.h"
#include "tools/tool/headless_play.h"
#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/play_loop.h"
#include "shell/play_screen.h"
#include "play/random.h"
#include "shell/replay.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"

namespace {

struct PlayArguments {
    std::string level, dataFolder, inputs, record;
    std::uint32_t seed = 1;
    std::int32_t difficulty = 0;
    double fps = 60;
    std::int64_t maxFrames = 100000;
    bool trace = false;
    bool window = false;
    std::int32_t width = 0, height = 0;     // the window's size; 0: the settings'
};

constexpr const char* Usage =
    "usage: kolbrix-tool play LEVEL [--data DIR] [--inputs FILE] [--seed N] [--difficulty D] [--fps F]\n"
    "                             [--max-frames N] [--trace]\n"
    "       kolbrix-tool play LEVEL --window [--record FILE] [--data DIR] [--seed N] [--difficulty D] [--fps F]\n"
    "                             [--max-frames N] [--trace] [--size WxH]\n";


bool ParseArguments(int argc, char** argv, PlayArguments& args) {
    int levels = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--data" && hasValue) {
            args.dataFolder = argv[++i];
        } else if (arg == "--inputs" && hasValue) {
            args.inputs = argv[++i];
        } else if (arg == "--record" && hasValue) {
            args.record = argv[++i];
        } else if (arg == "--seed" && hasValue) {
            if (!ParseInteger(argv[++i], 0, 4294967295LL, n)) return false;
            args.seed = static_cast<std::uint32_t>(n);
        } else if (arg == "--difficulty" && hasValue) {
            if (!ParseInteger(argv[++i], -2147483647LL, 2147483647LL, n)) return false;
            args.difficulty = static_cast<std::int32_t>(n);
        } else if (arg == "--fps" && hasValue) {
            // Whole frame rates only: 1/F and 25/F are then the same numbers on every machine.
            if (!ParseInteger(argv[++i], 1, 1000, n)) return false;
            args.fps = static_cast<double>(n);
        } else if (arg == "--max-frames" && hasValue) {
            if (!ParseInteger(argv[++i], 0, 1000000000000LL, n)) return false;
            args.maxFrames = n;
        } else if (arg == "--trace") {
            args.trace = true;
        } else if (arg == "--window") {
            args.window = true;
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(argv[++i], 8192, args.width, args.height)) return false;
        } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] == '-') {
            return false;
        } else {
            args.level = arg;
            ++levels;
        }
    }
    if (levels != 1) return false;
    if (!args.record.empty() && !args.window) return false;
    if (args.width > 0 && !args.window) return false;
    return !(args.window && !args.inputs.empty());
}

int UsageError(const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "kolbrix-tool play: %s\n", message.c_str());
    std::fputs(Usage, stderr);
    return 2;
}

// The run's state as a freshly started game has it before its first level: every switch on, no cheats.
void StartOfRun(std::uint32_t seed, std::int32_t difficulty) {
    InitAudio();
    SoundOn = MusicOn = QuotesOn = -1;
    playRun = PlayRun{};
    attempt = PlayAttempt{};
    view = BoardView{};
    MessageState = 0;
    score = 0;
    playRun.Difficulty = difficulty;
    SeedRandom(seed);
}

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

int PlayHeadless(const PlayArguments& args) {
    List<InputSegment> script;
    if (!args.inputs.empty()) {
        std::string text, error;
        if (!PlatformReadFile(args.inputs, text)) return UsageError("cannot read " + args.inputs);
        if (!ParseInputScript(text, script, error)) return UsageError(args.inputs + ": " + error);
    }
    if (!SetUpHeadlessPlay(args.level, args.dataFolder, args.seed, args.difficulty, args.fps)) {
        std::fprintf(stderr, "kolbrix-tool play: cannot load the level %s\n", args.level.c_str());
        return 2;
    }
    ReplayOptions options;
    options.fps = args.fps;
    options.maxFrames = args.maxFrames;
    if (args.trace) options.trace = PrintLine;
    const ReplayResult result = RunReplay(script, options, HeadlessReplayDevice());
    PrintLine(ResultLine(result.completed, result.frames));
    std::fflush(stdout);
    CloseAudio();
    return result.completed ? 0 : 1;
}

}  // namespace

bool SetUpHeadlessPlay(const std::string& levelPath, const std::string& dataFolder, std::uint32_t seed,
                       std::int32_t difficulty, double fps) {
    HeadlessReset();
    Headless.frameTime = 1.0 / fps;
    PlatformSetFixedFrameTime(1.0 / fps);
    Headless.maxFrames = std::numeric_limits<std::int64_t>::max();
    if (!dataFolder.empty()) SetProgramFolder(dataFolder);
    LoadSettings();
    LoadLanguageOfSettings();
    LoadTexturePackNames();
    TakeCatalogueDefaults();
    ActiveWidth = 1024;
    ActiveHeight = 768;
    ActiveFullscreen = 0;
    ResetDisplayState();
    SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0);
    StartOfRun(seed, difficulty);
    if (!LoadLevel(levelPath)) return false;
    MessageState = 0;
    return true;
}

double RealSeconds() {
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point start = Clock::now();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int ReadLevelArgument(int argc, char** argv, int& i, LevelArguments& args) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long long n = 0;
    if (arg == "--data" && hasValue) {
        args.dataFolder = argv[++i];
    } else if (arg == "--seed" && hasValue) {
        if (!ParseInteger(argv[++i], 0, 4294967295LL, n)) return -1;
        args.seed = static_cast<std::uint32_t>(n);
    } else if (arg == "--difficulty" && hasValue) {
        if (!ParseInteger(argv[++i], 0, 4, n)) return -1;
        args.difficulty = static_cast<std::int32_t>(n);
    } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] == '-') {
        return 0;
    } else {
        args.level = arg;
        ++args.levels;
    }
    return 1;
}

ReplayDevice HeadlessReplayDevice() {
    ReplayDevice device;
    device.hold = [](int code, bool held) { Headless.held[code] = held; };
    device.push = [](const std::string& key) { HeadlessPushKey(key); };
    device.setClock = [](double seconds) { Headless.clock = seconds; };
    return device;
}

namespace {

// ---- In a window -----------------------------------------------------------------------------------------------

int PlayInWindow(const PlayArguments& args) {
    char name[] = "kolbrix-tool";
    char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Sdl, 1, argv);
    if (!args.dataFolder.empty()) SetProgramFolder(args.dataFolder);
    LoadSettings();
    // The asked size, else the settings' (a first start has none: 1024 x 768); made to fit the desktop when opened.
    const bool settingsSize = FirstRun == 0 && ScreenWidth > 0 && ScreenHeight > 0;
    ActiveWidth = args.width > 0 ? args.width : settingsSize ? ScreenWidth : 1024;
    ActiveHeight = args.height > 0 ? args.height : settingsSize ? ScreenHeight : 768;
    ActiveFullscreen = 0;
    ResetDisplayState();
    auto fail = [](const std::string& message, int code) {
        std::fprintf(stderr, "kolbrix-tool play: %s\n", message.c_str());
        PlatformInit(PlatformBackend::Headless, 0, nullptr);    // closes the window
        return code;
    };
    if (!SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0) || !PlatformHasGl())
        return fail("cannot open an OpenGL window (is there a display?)", 2);
    SetSwapInterval(0);
    lastFrameTime = PlatformClock();
    LoadToolGameData();
    PlatformSetTitle(LanguageText[LineGameTitle]);
    MessageState = -1;          // as LoadLevel finds it at start-up
    ForgetBoardIndex();
    StartOfRun(args.seed, args.difficulty);
    if (!LoadLevel(args.level)) {
        CloseAudio();
        return fail("cannot load the level " + args.level, 2);
    }
    MessageState = 0;

    const bool recording = !args.record.empty();
    const double seconds = 1.0 / args.fps;
    const double step = std::min(25.0 / args.fps, 0.5);
    List<InputSegment> script;
    double deadline = PlatformClock();
    auto fixFrame = [&] {
        // Every frame of a recording lasts 1/F: the game's steps are exact, and the window keeps the pace.
        frameTime = seconds;
        frameStep = step;
        deadline += seconds;
        PlatformWaitUntil(deadline);
        lastFrameTime = PlatformClock() - seconds;
    };
    if (recording) {
        // The game's clock then counts 1/F per frame too, so the level clock of the recording is exact.
        PlatformSetFixedFrameTime(seconds);
        frameTime = seconds;
        frameStep = step;
        lastFrameTime = PlatformClock() - seconds;
    }
    playIterationHook = [&] {
        if (args.trace) PrintLine(TraceLine(attempt.playIteration));
        if (recording) {
            RecordFrameKeys(script);
            fixFrame();
        }
        // As Escape put into the buffer after frame N would: read in the next frame.
        if (attempt.playIteration == args.maxFrames + 1) {
            if (recording) EscapeOnLastFrame(script);
            return true;
        }
        return false;
    };
    const bool completed = PlayLevel();
    playIterationHook = nullptr;
    if (args.trace) PrintLine(ResultLine(completed, attempt.playIteration));
    std::fflush(stdout);
    CloseAudio();
    PlatformInit(PlatformBackend::Headless, 0, nullptr);

    if (recording) {
        std::string text = "# " + args.level + ": recorded at " + std::to_string(static_cast<long long>(args.fps)) +
                           " frames a second, seed " + std::to_string(args.seed) + ", difficulty " +
                           std::to_string(args.difficulty) + (completed ? ", completed" : ", not completed") +
                           "\n" + FormatInputScript(script);
        if (!PlatformWriteFileAtomic(args.record, text)) {
            std::fprintf(stderr, "kolbrix-tool play: cannot write %s\n", args.record.c_str());
            return 2;
        }
    }
    return completed ? 0 : 1;
}

}  // namespace

int ToolPlay(int argc, char** argv) {
    PlayArguments args;
    if (!ParseArguments(argc, argv, args)) return UsageError("");
    return args.window ? PlayInWindow(args) : PlayHeadless(args);
}
