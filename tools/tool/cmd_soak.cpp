// kolbrix-tool soak: long play of every level with random keys, headless, with the board drawn in every frame.
// `make soak` runs it under AddressSanitizer and UndefinedBehaviorSanitizer (README.md).
//
//   soak [LEVEL...] [--data DIR] [--frames N] [--seed N] [--bound-ms MS]
//
// Without LEVEL it plays every level the data folder ships: DIR/*.kbx and DIR/lvlpck*/*.kbx, found when it starts.
// Each level is played for N frames (default 100000) at 60 frames a second of the virtual clock: the keys are held
// in random segments of 1 to 90 frames drawn from a generator seeded with N (default 1) and the level's name, so a
// level gets the same keys whatever else is in the folder; Escape now and then gives up the attempt, and a level
// that ends (given up, completed, or a bonus level's lost ball) starts again at the next difficulty. Every frame is
// drawn and presented as in the game, text and heads-up display included.
//
// The logic of every frame (PlayLogicFrame) is timed in processor time of the thread. A frame whose logic takes
// longer than MS milliseconds (default 16.7, one frame at 60 frames a second) is timed again in a second run of its
// level with the same keys; over the bound both times, it fails the run. One line per level and a summary with the
// worst frames go to standard output.
//
// Exit codes: 0 every level played with no frame over the bound, 1 a frame over the bound, 2 a wrong command line or
// a level that does not load.
#include <time.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/frame_clock.h"
#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/pack_textures.h"
#include "gfx/play_frame.h"
#include "gfx/texture.h"
#include "platform/headless.h"
#include "platform/headless_audio.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/play_screen.h"
#include "shell/language.h"
#include "shell/level_load.h"
#include "shell/replay.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"
#include "tools/tool/arguments.h"
#include "tools/tool/game_data.h"

namespace {

constexpr const char* Usage =
    "usage: kolbrix-tool soak [LEVEL...] [--data DIR] [--frames N] [--seed N] [--bound-ms MS]\n";
constexpr double Fps = 60;

struct SoakArguments {
    std::vector<std::string> levels;
    std::string dataFolder;
    std::int64_t frames = 100000;
    std::uint32_t seed = 1;
    double boundSeconds = 1.0 / 60;
};

bool ParseArguments(int argc, char** argv, SoakArguments& args) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--data" && hasValue) {
            args.dataFolder = argv[++i];
            if (!args.dataFolder.empty() && args.dataFolder.back() != '/') args.dataFolder += '/';
        } else if (arg == "--frames" && hasValue) {
            if (!ParseInteger(argv[++i], 1, 1000000000LL, n)) return false;
            args.frames = n;
        } else if (arg == "--seed" && hasValue) {
            if (!ParseInteger(argv[++i], 0, 4294967295LL, n)) return false;
            args.seed = static_cast<std::uint32_t>(n);
        } else if (arg == "--bound-ms" && hasValue) {
            char* end = nullptr;
            const double ms = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !(ms > 0)) return false;
            args.boundSeconds = ms / 1000;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            args.levels.push_back(arg);
        }
    }
    return true;
}

// Every level the data folder ships, in name order: the levels beside the program, then each pack's.
std::vector<std::string> ShippedLevels(const std::string& folder) {
    std::vector<std::string> levels, packs = PlatformListFolder(folder, "lvlpck*", ListKind::Folders);
    for (const std::string& name : PlatformListFolder(folder, "*.kbx", ListKind::Files)) levels.push_back(name);
    std::sort(levels.begin(), levels.end());
    std::sort(packs.begin(), packs.end());
    for (const std::string& pack : packs) {
        std::vector<std::string> inPack = PlatformListFolder(folder + pack, "*.kbx", ListKind::Files);
        std::sort(inPack.begin(), inPack.end());
        for (const std::string& name : inPack) levels.push_back(pack + "/" + name);
    }
    for (std::string& level : levels) level = folder + level;
    return levels;
}


double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// FNV-1a of the level's name: each level's keys depend on the seed and its own name only.
std::uint32_t NameHash(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char ch : name) hash = (hash ^ ch) * 16777619u;
    return hash;
}

// The random keys: segments of 1 to 90 frames, the arrows, Space and Ctrl held often, the rest (the heads-up
// display, the difficulty keys and the cheats) seldom; Escape about once in 6000 frames, M once in 20000.
struct KeyGenerator {
    std::mt19937 random;
    std::int64_t segmentLeft = 0;

    bool Chance(std::uint32_t inThousand) { return random() % 1000 < inThousand; }

    void NextFrame() {
        if (segmentLeft-- > 0) return;
        segmentLeft = static_cast<std::int64_t>(random() % 90);
        for (int code : ScriptScanCodes()) {
            const bool common = code == ScanLeft || code == ScanRight || code == ScanUp || code == ScanDown ||
                                code == ScanSpace || code == ScanCtrl;
            Headless.held[code] = Chance(common ? 300 : 15);
        }
        if (Chance(15)) HeadlessPushKey("\x1B");
        if (Chance(5)) HeadlessPushKey("m");
    }
};

struct FrameCost {
    double seconds = 0;
    std::int64_t frame = 0;     // counted over the level's attempts
    std::string level;
};

// Frames whose logic took longer than the bound. A second run of the level, which replays the same keys and random
// numbers, times them again: only a frame that is over the bound both times counts, so that a moment in which the
// machine took the processor's time elsewhere (a page fault, an interrupt) does not.
struct OverBound {
    std::vector<std::int64_t> frames;
    std::vector<double> first, again;
};

struct LevelResult {
    std::int64_t frames = 0, attempts = 0, completed = 0, deaths = 0;
    FrameCost worstLogic, worstFrame;
    double logicSeconds = 0;
};

// While the level is played again: the frames to time again, and the frame after which to stop.
struct Replay {
    OverBound* over = nullptr;
    std::int64_t lastFrame = 0;
};

void NoteLogic(const SoakArguments& args, const Replay& replay, LevelResult& result, double logic, OverBound& over) {
    if (replay.over) {
        for (size_t i = 0; i < replay.over->frames.size(); ++i)
            if (replay.over->frames[i] == result.frames) replay.over->again[i] = logic;
        return;
    }
    if (logic > args.boundSeconds && over.frames.size() < 100) {
        over.frames.push_back(result.frames);
        over.first.push_back(logic);
        over.again.push_back(0);
    }
}

// One attempt: the loop of PlayLevel (shell/play_screen.cpp), with the logic of each frame timed apart from its
// drawing. Ends when play ends or the level's frames are used up.
bool PlayAttemptTimed(const SoakArguments& args, const Replay& replay, KeyGenerator& keys, LevelResult& result,
                      OverBound& over) {
    const double startClock = Headless.clock;
    const std::int64_t lastFrame = replay.over ? replay.lastFrame : args.frames;
    BeginPlay();
    for (;;) {
        ++attempt.playIteration;
        ++result.frames;
        attempt.playKey.clear();
        Headless.clock = startClock + static_cast<double>(attempt.playIteration) / Fps;
        frameTime = 1 / Fps;
        frameStep = std::min(25 / Fps, 0.5);
        lastFrameTime = PlatformClock() - 1.0;      // the frame pacing never waits
        keys.NextFrame();
        const bool alive = level.deathCounter == 0;
        const double before = ThreadSeconds();
        PlayLogicFrame();
        const double logic = ThreadSeconds() - before;
        PresentPlayFrame();
        const double frame = ThreadSeconds() - before;
        result.logicSeconds += logic;
        if (logic > result.worstLogic.seconds) result.worstLogic = {logic, result.frames, ""};
        if (frame > result.worstFrame.seconds) result.worstFrame = {frame, result.frames, ""};
        NoteLogic(args, replay, result, logic, over);
        if (alive && level.deathCounter != 0) ++result.deaths;
        bool leave = PlayFrameEnds();
        if (!leave) {
            attempt.playKey = TakePlayKey();
            leave = attempt.playKey == "\x1B";
        }
        if (leave || result.frames >= lastFrame) break;
    }
    return EndPlay();
}

// Plays the level from its start with its own keys until its frames are used up (or, replaying, until the last frame
// to time again). False when it does not load.
bool SoakLevel(const SoakArguments& args, const std::string& path, const Replay& replay, LevelResult& result,
               OverBound& over) {
    KeyGenerator keys;
    keys.random.seed(args.seed ^ NameHash(path.substr(ProgramFolder().size())));
    SeedRandom(args.seed);
    playRun = PlayRun{};
    SoundOn = MusicOn = QuotesOn = -1;
    Headless.clock = 1000;
    const std::int64_t lastFrame = replay.over ? replay.lastFrame : args.frames;
    while (result.frames < lastFrame) {
        if (!LoadLevel(path)) return false;
        ForgetBoardIndex();
        attempt = PlayAttempt{};
        view = BoardView{};
        MessageState = 0;
        score = 0;
        playRun.Difficulty = static_cast<std::int32_t>(result.attempts % 5);
        ++result.attempts;
        if (PlayAttemptTimed(args, replay, keys, result, over)) ++result.completed;
        std::fill(std::begin(Headless.held), std::end(Headless.held), false);
        Headless.keys.clear();
        HeadlessAudioClearEvents();
    }
    return true;
}

// The frames over the bound in both runs; each one's two times are printed.
int ConfirmOverBound(const SoakArguments& args, const std::string& path, const std::string& name, OverBound& over) {
    if (over.frames.empty()) return 0;
    LevelResult again;
    OverBound unused;
    Replay replay{&over, over.frames.back()};
    SoakLevel(args, path, replay, again, unused);
    int confirmed = 0;
    for (size_t i = 0; i < over.frames.size(); ++i) {
        const bool repeated = over.again[i] > args.boundSeconds;
        confirmed += repeated;
        std::printf("  %s frame %" PRId64 ": logic %.1f us, played again %.1f us: %s\n", name.c_str(), over.frames[i],
                    over.first[i] * 1e6, over.again[i] * 1e6, repeated ? "OVER THE BOUND" : "a passing spike");
    }
    return confirmed;
}

std::string Shown(const std::string& path) {
    const std::string& folder = ProgramFolder();
    return path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : path;
}

}  // namespace

int ToolSoak(int argc, char** argv) {
    SoakArguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    HeadlessReset();
    Headless.frameTime = 1 / Fps;
    Headless.maxFrames = std::numeric_limits<std::int64_t>::max();
    PlatformSetFixedFrameTime(1 / Fps);
    if (!args.dataFolder.empty()) SetProgramFolder(args.dataFolder);
    if (args.levels.empty()) args.levels = ShippedLevels(ProgramFolder());
    if (args.levels.empty()) {
        std::fprintf(stderr, "kolbrix-tool soak: no levels in %s\n", ProgramFolder().c_str());
        return 2;
    }
    LoadSettings();
    ActiveWidth = 1024;
    ActiveHeight = 768;
    ActiveFullscreen = 0;
    ResetDisplayState();
    SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0);
    lastFrameTime = PlatformClock();
    InitAudio();
    LoadToolGameData();

    std::int64_t totalFrames = 0;
    double totalLogic = 0;
    int overBound = 0;
    FrameCost worstLogic, worstFrame;
    for (const std::string& path : args.levels) {
        LevelResult result;
        OverBound over;
        if (!SoakLevel(args, path, Replay{}, result, over)) {
            std::fprintf(stderr, "kolbrix-tool soak: cannot load the level %s\n", path.c_str());
            CloseAudio();
            return 2;
        }
        const std::string name = Shown(path);
        std::printf("%-28s %8" PRId64 " frames %5" PRId64 " attempts %3" PRId64 " completed %5" PRId64 " deaths  "
                    "logic %6.1f us a frame, worst %8.1f us (frame %" PRId64 "), worst with drawing %8.1f us\n",
                    name.c_str(), result.frames, result.attempts, result.completed, result.deaths,
                    result.logicSeconds / static_cast<double>(result.frames) * 1e6, result.worstLogic.seconds * 1e6,
                    result.worstLogic.frame, result.worstFrame.seconds * 1e6);
        overBound += ConfirmOverBound(args, path, name, over);
        std::fflush(stdout);
        totalFrames += result.frames;
        totalLogic += result.logicSeconds;
        if (result.worstLogic.seconds > worstLogic.seconds) worstLogic = {result.worstLogic.seconds,
                                                                          result.worstLogic.frame, name};
        if (result.worstFrame.seconds > worstFrame.seconds) worstFrame = {result.worstFrame.seconds,
                                                                          result.worstFrame.frame, name};
    }
    CloseAudio();
    ReleaseTextures();
    KillFont(UiFont);
    const bool within = overBound == 0;
    std::printf("soak: %zu levels, %" PRId64 " frames, logic %.1f us a frame; worst logic frame %.1f us (%s, frame "
                "%" PRId64 "), worst with drawing %.1f us (%s, frame %" PRId64 "); bound %.1f us: %s\n",
                args.levels.size(), totalFrames, totalLogic / static_cast<double>(totalFrames) * 1e6,
                worstLogic.seconds * 1e6, worstLogic.level.c_str(), worstLogic.frame, worstFrame.seconds * 1e6,
                worstFrame.level.c_str(), worstFrame.frame, args.boundSeconds * 1e6,
                within ? "no frame over it" : (std::to_string(overBound) + " frames over it").c_str());
    return within ? 0 : 1;
}
