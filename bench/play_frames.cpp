// Play frames in a real window: a representative set of shipped levels played from their recorded solutions, and the
// editor drawing a level, each for a few seconds in an SDL2 + OpenGL window of 1024 x 768 and again of 1920 x 1080,
// against a reference measured the same way in the same run: empty frames (clear and swap) at the same size.
//
// Everything runs as in the game: its own PlayLevel loop (through RunReplay, which holds the solution's keys of each
// frame and puts its buffered keys in the key buffer), the game's own pacing (DrawFrame and PaceFrame: at least
// 16.7 ms a frame, the frame's step the time it really took) and the swap interval the game sets in a window.
// Since the steps follow the real frame times a solution may not reach the exit; it does not matter here. A level
// that ends before its time is up is loaded and played again; sound is off (the audio device differs from machine
// to machine; the drawing is what is measured).
//
// For each level and size: frames a second (mean), the median, 95th percentile and worst interval between two
// buffer swaps (taken at each swap through PlatformWatchPresents), and the process's CPU seconds per wall second
// (1.0 = one whole core; under Xvfb OpenGL is Mesa's software renderer, whose drawing threads count too), then the
// figures against the reference's. Goals at 1024 x 768: every level at least 58 frames a second on average, its 95th
// percentile interval at most 18 ms, at most one core; 1920 x 1080 is only reported.
//
//   bench_play_frames [--seconds S]            both sizes, each in a process of its own
//   bench_play_frames --size WxH [--seconds S] one size
//
// S is each run's length in seconds (default 8). Needs an X display at least as large as the window (make bench
// starts Xvfb of 1920 x 1080 when there is no display); a size larger than the display is reported as not measured.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "bench/idle_measure.h"
#include "editor/editor.h"
#include "editor/editor_keys.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/pack_textures.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/language.h"
#include "shell/level_load.h"
#include "shell/replay.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"

namespace {

// The levels, chosen from the shipped data (objects counted with `kolbrix-tool dump`, bombs dropped counted in the
// traces of `kolbrix-tool play --trace`).
struct BenchLevel {
    const char* pack;           // the source folder's name; built into lvlpck<pack>/ of the program folder
    const char* number;
    const char* why;
    bool editor = false;        // drawn by the editor rather than played
};
const BenchLevel Levels[] = {
    {"Kolbrix", "001", "first of the starter pack: a long hillside, 634 objects, the drifting sky"},
    {"Episode 1", "001", "first of Episode 1: the first level a new player sees"},
    {"Episode 2", "001", "first of Episode 2"},
    {"Episode 3", "001", "first of Episode 3, and the most objects on one screen of any shipped level: 315 of its "
                         "655 inside one 1024 x 768 view at its zoom of 0.4"},
    {"Episode 4", "001", "first of Episode 4"},
    {"Classic", "001", "first of Classic: an old text-screen level, imported as it loads, drawn at zoom 1"},
    {"Episode 1", "003", "an animated sky: the starry night (25 frames) behind few objects, so it fills most of "
                         "the screen"},
    {"Episode 1", "005", "explosions: six bombs, and the solution drops one every two seconds on cracked walls"},
    {"Episode 3", "001", "the editor's view of the densest level: every layer with hidden objects and path markers, "
                         "the panel over it, the cursor sweeping across the level", true},
};

constexpr double DefaultSeconds = 8;
// A whole size may take this much longer than its runs before its process is taken for hung and ended.
constexpr double LoadAllowanceSeconds = 20;

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- Timing the swaps -----------------------------------------------------------------------------------------

// The editor's cursor, moved by keys as a player sweeps it across the level: along a row of cells, four rows down
// (or up at the level's edge), back along the next.
struct EditorWalk {
    bool active = false;
    double until = 0;           // the platform's clock at which Escape leaves the editor
    std::int64_t frame = 0;
    int dirX = 1, dirY = 1;
    int rowsLeft = 0;           // cells still to go down or up before the next row
};

struct Swaps {                  // for one measured run
    std::vector<double> intervals;
    double previous = -1;       // the last swap's time; -1 before the first swap of a play
    EditorWalk walk;
} swaps;

void StepEditorWalk() {
    EditorWalk& w = swaps.walk;
    ++w.frame;
    if (PlatformClock() >= w.until) {
        if (w.frame % 10 == 0) PlatformPushKey(KeyEscape);     // again, should a dialog have taken the first
        return;
    }
    if (w.frame % 3 != 0) return;                               // a key every third frame, as a held key repeats
    const LevelBounds& bounds = level.levelBounds;
    if (w.rowsLeft > 0) {
        --w.rowsLeft;
        PlatformPushKey(w.dirY > 0 ? KeyDown : KeyUp);
        return;
    }
    const bool rowEnds = w.dirX > 0 ? focusX + CellUnits > bounds.maxX : focusX - CellUnits < bounds.minX;
    if (!rowEnds) {
        PlatformPushKey(w.dirX > 0 ? KeyRight : KeyLeft);
        return;
    }
    w.dirX = -w.dirX;
    const double next = focusY + w.dirY * 4 * CellUnits;
    if (next > bounds.maxY || next < bounds.minY) w.dirY = -w.dirY;
    w.rowsLeft = 4;
}

void NoteSwap() {
    const double now = Now();
    if (swaps.previous >= 0) swaps.intervals.push_back(now - swaps.previous);
    swaps.previous = now;
    if (swaps.walk.active) StepEditorWalk();
}

// ---- Figures ----------------------------------------------------------------------------------------------------

struct Figures {
    bool measured = false;
    std::int64_t frames = 0;        // intervals measured
    double fps = 0;                 // frames a second: intervals over their sum
    double median = 0, p95 = 0, worst = 0;      // seconds
    double cpu = 0;                 // CPU seconds per wall second
    int completed = 0;              // times the solution reached the exit
};

// CPU and wall time of the measured stretches of one level, which may be several plays.
struct Stretch {
    double cpu = 0, wall = 0;
    double cpu0 = 0, wall0 = 0;
};

void BeginStretch(Stretch& s) {
    swaps.previous = -1;
    s.cpu0 = CpuSeconds();
    s.wall0 = Now();
}

void EndStretch(Stretch& s) {
    s.cpu += CpuSeconds() - s.cpu0;
    s.wall += Now() - s.wall0;
}

// The nearest-rank percentile of sorted values.
double Percentile(const std::vector<double>& sorted, double share) {
    const size_t rank = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

Figures Summarise(const Stretch& s) {
    Figures f;
    std::vector<double> sorted = swaps.intervals;
    if (sorted.empty() || s.wall <= 0) return f;
    std::sort(sorted.begin(), sorted.end());
    double sum = 0;
    for (double i : sorted) sum += i;
    f.measured = true;
    f.frames = static_cast<std::int64_t>(sorted.size());
    f.fps = static_cast<double>(sorted.size()) / sum;
    f.median = Percentile(sorted, 0.5);
    f.p95 = Percentile(sorted, 0.95);
    f.worst = sorted.back();
    f.cpu = s.cpu / s.wall;
    return f;
}

// ---- The game's data, a level, and the three kinds of run ----------------------------------------------------

// What start-up loads for play and the editor: the language, the font, the fixed images, the audio (silent) and
// every texture pack. False when the program folder has no language file.
bool LoadGameData() {
    ListLanguageFiles();
    if (LanguageList.Empty()) return false;
    LoadLanguage(LanguageFile);
    MessageState = -1;
    lastFrameTime = PlatformClock();
    DrawFrame();                // the first frame works out the screen's scale values
    SetBlend(BlendMode::Alpha);
    UiFont.spacing = 2;
    BuildFont(UiFont, ProgramFolder() + "standard.tga", ProgramFolder() + "standard.dat");
    LoadFixedImages();
    DrawFrame();                // the opening screen, as the game shows it while it loads
    InitAudio();
    LoadTexturePacks();
    TakeCatalogueDefaults();
    TexturePackList[0] = LanguageText[LineAllTexturePacks];
    ReleaseLogo();
    PanelX = 15;
    PanelY = 15;
    MessageState = 0;
    return true;
}

std::string LevelPath(const BenchLevel& l) {
    return std::string(KOLBRIX_GAME_DIR) + "/lvlpck" + l.pack + "/" + l.number + ".kbx";
}

// The level loaded as a player starting it finds the run: no cheats, the level as it is, a fixed seed.
bool LoadForPlay(const BenchLevel& l) {
    playRun = PlayRun{};
    attempt = PlayAttempt{};
    view = BoardView{};
    score = 0;
    SeedRandom(1);
    ForgetBoardIndex();
    MessageState = -1;          // as LoadLevel finds it at start-up: a message stays for the play to show
    const bool loaded = LoadLevel(LevelPath(l));
    MessageState = 0;
    view.MenuActive = 0;
    return loaded;
}

// The reference: empty frames, paced by the game's pacing, cleared and presented.
Figures EmptyFrames(double seconds) {
    swaps.intervals.clear();
    Stretch s;
    BeginStretch(s);
    const double start = PlatformClock();
    lastFrameTime = start;
    while (PlatformClock() - start < seconds) {
        PaceFrame();
        ClearFrame();
        PresentFrame();
        PlatformReadKey();
    }
    EndStretch(s);
    return Summarise(s);
}

// The level played from its solution again and again until `seconds` have passed. measured false when the level or
// its solution cannot be read.
Figures PlaySolution(const BenchLevel& l, double seconds) {
    Figures none;
    const std::string keysPath = std::string(KOLBRIX_SOURCE_DIR) + "/assets/packs/" + l.pack + "/" + l.number + ".keys";
    std::string text, error;
    List<InputSegment> script;
    if (!PlatformReadFile(keysPath, text) || !ParseInputScript(text, script, error)) {
        std::printf("  cannot read the solution %s %s\n", keysPath.c_str(), error.c_str());
        return none;
    }
    ReplayDevice device;
    device.hold = [](int code, bool held) { PlatformHoldKey(code, held); };
    device.push = [](const std::string& key) { PlatformPushKey(key); };
    device.setClock = [](double) {};
    swaps.intervals.clear();
    Stretch s;
    int completed = 0;
    const double start = PlatformClock();
    while (PlatformClock() - start < seconds) {
        if (!LoadForPlay(l)) {
            std::printf("  cannot load %s\n", LevelPath(l).c_str());
            return none;
        }
        while (!PlatformReadKey().empty()) {
        }
        ReplayOptions options;
        options.gamePacing = true;
        options.maxFrames = std::numeric_limits<std::int64_t>::max();
        options.leave = [&](std::int64_t) { return PlatformClock() - start >= seconds; };
        lastFrameTime = PlatformClock();    // as after the level screen's last frame
        BeginStretch(s);
        const ReplayResult result = RunReplay(script, options, device);
        EndStretch(s);
        if (result.completed) ++completed;
    }
    Figures f = Summarise(s);
    f.completed = completed;
    return f;
}

// The editor on the level, its own loop run as the menu runs it, the cursor swept by keys; Escape leaves it.
Figures EditLevel(const BenchLevel& l, double seconds) {
    if (!LoadForPlay(l)) {
        std::printf("  cannot load %s\n", LevelPath(l).c_str());
        return Figures{};
    }
    levelModified = 0;
    swaps.intervals.clear();
    swaps.walk = EditorWalk{};
    swaps.walk.active = true;
    swaps.walk.until = PlatformClock() + seconds;
    lastFrameTime = PlatformClock();
    Stretch s;
    BeginStretch(s);
    RunEditor();
    EndStretch(s);
    swaps.walk.active = false;
    while (!PlatformReadKey().empty()) {
    }
    view = BoardView{};
    return Summarise(s);
}

// ---- Printing ---------------------------------------------------------------------------------------------------

std::string LevelName(const BenchLevel& l) {
    return std::string(l.editor ? "editor: " : "") + l.pack + " " + l.number;
}

void PrintFigures(const std::string& name, const Figures& f, const Figures* reference, const char* note) {
    if (!f.measured) {
        std::printf("%-26s not measured\n", name.c_str());
        return;
    }
    std::printf("%-26s %6lld %6.1f %7.2f %7.2f %7.2f %6.2f", name.c_str(), static_cast<long long>(f.frames), f.fps,
                f.median * 1000, f.p95 * 1000, f.worst * 1000, f.cpu);
    if (reference && reference->measured)
        std::printf("  | %6.3f %7.2f %+7.2f", f.fps / reference->fps, f.p95 / reference->p95, f.cpu - reference->cpu);
    std::printf("%s%s\n", note[0] ? "  " : "", note);
}

struct Extreme {
    double value = 0;
    std::string name;
    bool met = true;
};

void PrintGoal(const char* what, const Extreme& e, const char* unit) {
    std::printf("goal: every level %s: %s (%s %.2f%s, %s)\n", what, e.met ? "met" : "missed",
                e.met ? "at worst" : "worst", e.value, unit, e.name.c_str());
}

// ---- One size -----------------------------------------------------------------------------------------------------

constexpr int ExitTooSmall = 3;         // the display cannot hold the window: not measured
constexpr int ExitNoDisplay = 4;        // no display at all: the other size is not tried either

int RunSize(int width, int height, double seconds) {
    if (!std::getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
    char name[] = "bench_play_frames";
    char* argv[] = {name, nullptr};
    PlatformInit(PlatformBackend::Sdl, 1, argv);
    SetProgramFolder(KOLBRIX_GAME_DIR);
    SetDefaultSettings();
    SoundOn = MusicOn = QuotesOn = 0;
    NostalgicMode = 0;
    Fullscreen = 0;
    ScreenWidth = ActiveWidth = width;
    ScreenHeight = ActiveHeight = height;
    ActiveFullscreen = 0;
    ResetDisplayState();

    const DisplayMode desktop = PlatformDesktopMode();
    if (desktop.width == 0) {
        std::printf("play_frames: no display (is there an X display? make bench starts Xvfb when there is none)\n");
        PlatformExit(ExitNoDisplay);
    }
    if (desktop.width < width || desktop.height < height) {
        std::printf("play_frames %dx%d: not measured, the display is only %dx%d\n", width, height, desktop.width,
                    desktop.height);
        PlatformExit(ExitTooSmall);
    }
    if (!SetDisplayMode(width, height, 32, 0) || !PlatformHasGl()) {
        std::printf("play_frames: cannot open a %d x %d OpenGL window\n", width, height);
        PlatformExit(1);
    }
    SetSwapInterval(ActiveFullscreen);      // as start-up sets it: 0 in a window
    PlatformShowPointer(false);
    if (!LoadGameData()) {
        std::printf("play_frames: no language file in %s (was the game's data built?)\n", KOLBRIX_GAME_DIR);
        PlatformExit(1);
    }
    PlatformSetTitle(LanguageText[LineGameTitle]);
    PlatformWatchPresents(NoteSwap);

    std::printf("\nplay_frames: %dx%d window on a %dx%d display, swap interval %d, frames at least %.1f ms apart, "
                "%.0f s a run\n", width, height, desktop.width, desktop.height, ActiveFullscreen,
                MinFrameInterval * 1000, seconds);
    std::printf("%-26s %6s %6s %7s %7s %7s %6s  | %6s %7s %7s\n", "", "frames", "fps", "median", "p95", "worst", "cpu",
                "fps", "p95", "cpu");
    std::printf("%-26s %6s %6s %7s %7s %7s %6s  | %6s %7s %7s\n", "", "", "mean", "ms", "ms", "ms", "cores",
                "/ref", "/ref", "-ref");
    std::fflush(stdout);
    const Figures reference = EmptyFrames(seconds);
    PrintFigures("empty frames (reference)", reference, nullptr, "");
    std::fflush(stdout);

    Extreme slowest, p95, cpu;
    slowest.value = 1e9;
    bool allMeasured = reference.measured;
    for (const BenchLevel& l : Levels) {
        const Figures f = l.editor ? EditLevel(l, seconds) : PlaySolution(l, seconds);
        char note[64] = "";
        if (!l.editor && f.completed > 0) std::snprintf(note, sizeof note, "solution completed %dx", f.completed);
        PrintFigures(LevelName(l), f, &reference, note);
        std::fflush(stdout);
        if (!f.measured) {
            allMeasured = false;
            continue;
        }
        if (f.fps < slowest.value) slowest = {f.fps, LevelName(l)};
        if (f.p95 * 1000 > p95.value) p95 = {f.p95 * 1000, LevelName(l)};
        if (f.cpu > cpu.value) cpu = {f.cpu, LevelName(l)};
    }
    if (width == 1024 && height == 768) {
        slowest.met = allMeasured && slowest.value >= 58;
        p95.met = allMeasured && p95.value <= 18;
        cpu.met = allMeasured && cpu.value <= 1.0;
        PrintGoal("at least 58 frames a second on average", slowest, " fps");
        PrintGoal("with its 95th percentile interval at most 18 ms", p95, " ms");
        PrintGoal("at most 1.0 core of CPU", cpu, " cores");
    } else {
        std::printf("no goal at %dx%d: figures only\n", width, height);
    }
    std::fflush(stdout);
    PlatformWatchPresents(nullptr);
    CloseAudio();
    PlatformExit(allMeasured ? 0 : 1);
}

// ---- Both sizes, each in a process of its own -------------------------------------------------------------------

// Runs this program for one size and waits for it at most `bound` seconds. Its exit code, or -1 when it had to be
// ended or did not end by itself.
int RunChild(int width, int height, double seconds, double bound) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string secondsText = std::to_string(seconds);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        execl("/proc/self/exe", "bench_play_frames", "--size", size.c_str(), "--seconds", secondsText.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return -1;
    const double start = Now();
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Now() - start > bound) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::printf("play_frames %s: no end after %.0f s, stopped\n", size.c_str(), bound);
            return -1;
        }
        usleep(100000);
    }
    if (WIFSIGNALED(status)) {
        std::printf("play_frames %s: ended by signal %d\n", size.c_str(), WTERMSIG(status));
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool ParseSize(const char* text, int& width, int& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width >= 320 && height >= 240 && width <= 8192 &&
           height <= 8192;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = DefaultSeconds;
    int width = 0, height = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
            if (!(seconds >= 1 && seconds <= 120)) {
                std::fprintf(stderr, "bench_play_frames: --seconds takes 1 to 120\n");
                return 2;
            }
        } else if (arg == "--size" && i + 1 < argc && ParseSize(argv[i + 1], width, height)) {
            ++i;
        } else {
            std::fprintf(stderr, "usage: bench_play_frames [--seconds S] [--size WxH]\n");
            return 2;
        }
    }
    if (width > 0) return RunSize(width, height, seconds);

    std::printf("play_frames: shipped levels played from their solutions, and the editor, in a window:\n");
    for (const BenchLevel& l : Levels) std::printf("  %-24s %s\n", LevelName(l).c_str(), l.why);
    const int runs = static_cast<int>(std::size(Levels)) + 1;
    const double bound = runs * (seconds + LoadAllowanceSeconds) + 60;
    const int small = RunChild(1024, 768, seconds, bound);
    if (small == ExitNoDisplay) return 1;
    const int large = RunChild(1920, 1080, seconds, bound);
    if (small != 0) std::printf("play_frames: the 1024x768 run failed\n");
    if (large != 0 && large != ExitTooSmall) std::printf("play_frames: the 1920x1080 run failed\n");
    return small == 0 && (large == 0 || large == ExitTooSmall) ? 0 : 1;
}
