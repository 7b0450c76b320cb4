// Start-up as a new player sees it: the real game started on a fresh program folder (no settings, no players) under
// the X display, against the floor, bench_window_floor (a bare SDL2 + OpenGL window of the same size), measured the
// same way in the same run. Medians of several starts of each, taken in turn:
//   - window visible: from the start of the process until the X server maps its window;
//   - first drawn frame: until the window's pixels are no longer black;
//   - interactive menu: a key (Up) is pressed as soon as the window is visible, and again every 50 ms; until the
//     main menu is on screen (its title band matches the picture the menu settles on);
//   - peak memory: VmHWM of the game with the menu on screen, every shipped pack loaded; VmRSS beside it;
//   - CPU while loading: the game's CPU seconds from its start to the menu, and per second of that time (1.0 = one
//     whole core).
// Goals: the window within 1.5 x the floor's, the menu within 0.5 s, at most 100 MiB.
//
//   bench_startup [GAME [FLOOR]] [--runs N]
//
// GAME defaults to the build's game (another build of it runs on this build's data), FLOOR to bench_window_floor
// beside this program. Run it on an X display of
// 1024 x 768 (scripts/run-benchmarks.sh starts Xvfb so) with Mesa's software OpenGL; the game runs with SDL's dummy
// audio driver. Needs libXtst (xdotool's library) to press the key.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <dlfcn.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The rows sampled to see what the window shows: the menu's title band, the middle and the bottom.
constexpr int SampleRows[] = {100, 190, 384, 700};
constexpr double WatchSeconds = 4.5;      // longer than the splash's three seconds: the menu is there by then
constexpr double KeySeconds = 2.5;        // keys are pressed until then

struct Sample {
    double at = 0;                  // seconds since the start of the process
    bool drawn = false;             // some pixel is not black
    std::uint64_t title = 0;        // hash of the title rows
    double cpu = 0;                 // the process's CPU seconds so far
};

struct Run {
    bool ok = false;
    double window = -1, firstFrame = -1, menu = -1, cpuToMenu = -1;
    long hwmKib = 0, rssKib = 0;
};

// /proc/PID/status field in KiB; 0 when it cannot be read.
long StatusKib(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(in, line))
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size());
    return 0;
}

double CpuSecondsOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string skip;
    for (int i = 3; i < 14; ++i) fields >> skip;     // state ... cmajflt: fields 3 to 13
    double user = 0, system = 0;
    fields >> user >> system;
    return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

using FakeKeyEvent = int (*)(Display*, unsigned int, int, unsigned long);

struct Watcher {
    Display* display = nullptr;
    FakeKeyEvent fakeKey = nullptr;
};

std::uint64_t Hash(const char* data, size_t size, std::uint64_t h) {
    for (size_t i = 0; i < size; ++i) h = (h ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    return h;
}

// Starts `program` (with `args`) in `folder` and watches it for WatchSeconds; with `pressKey`, Space goes down and
// up as soon as its window is mapped.
Run Measure(Watcher& w, const std::string& program, const std::vector<std::string>& args, const std::string& folder,
            bool pressKey) {
    Run run;
    Window root = DefaultRootWindow(w.display);
    XSelectInput(w.display, root, SubstructureNotifyMask);
    XSync(w.display, True);     // forget earlier events

    const double start = Now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0) return run;

    Window window = 0;
    double nextKey = 0;
    std::vector<Sample> samples;
    const int fd = ConnectionNumber(w.display);
    while (Now() - start < WatchSeconds) {
        if (window == 0) {
            // Wait for the map, a millisecond at a time.
            fd_set set;
            FD_ZERO(&set);
            FD_SET(fd, &set);
            timeval timeout{0, 1000};
            if (XPending(w.display) == 0) select(fd + 1, &set, nullptr, nullptr, &timeout);
            while (XPending(w.display) > 0) {
                XEvent event;
                XNextEvent(w.display, &event);
                if (event.type == MapNotify && window == 0 && !event.xmap.override_redirect) {
                    window = event.xmap.window;
                    run.window = Now() - start;
                }
            }
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) return run;
            continue;
        }
        // The key goes down at the map and again every 50 ms, as a player hammering a key would: one pressed
        // before the program listens is lost. Up moves the cursor at most, on any screen of the menu.
        if (pressKey && w.fakeKey && Now() - start < KeySeconds && Now() >= nextKey) {
            const unsigned int code = XKeysymToKeycode(w.display, XK_Up);
            w.fakeKey(w.display, code, True, 0);
            w.fakeKey(w.display, code, False, 0);
            XFlush(w.display);
            nextKey = Now() + 0.05;
        }
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(w.display, window, &attributes)) break;
        Sample sample;
        sample.at = Now() - start;
        std::uint64_t title = 1469598103934665603ull;
        for (int row : SampleRows) {
            if (row >= attributes.height) continue;
            XImage* image = XGetImage(w.display, window, 0, row, static_cast<unsigned>(attributes.width), 1, AllPlanes,
                                      ZPixmap);
            if (!image) continue;
            const size_t bytes = static_cast<size_t>(image->bytes_per_line);
            for (int x = 0; x < attributes.width && !sample.drawn; ++x)
                if ((XGetPixel(image, x, 0) & 0xFFFFFF) != 0) sample.drawn = true;
            if (row < 200) title = Hash(image->data, bytes, title);
            XDestroyImage(image);
        }
        sample.title = title;
        sample.cpu = CpuSecondsOf(pid);
        samples.push_back(sample);
        usleep(2000);
    }
    run.hwmKib = StatusKib(pid, "VmHWM");
    run.rssKib = StatusKib(pid, "VmRSS");
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (window == 0 || samples.empty()) return run;

    for (const Sample& s : samples)
        if (s.drawn) {
            run.firstFrame = s.at;
            break;
        }
    // The menu: the first sample from which the title band stays what it is at the end.
    const std::uint64_t final = samples.back().title;
    for (size_t i = samples.size(); i-- > 0;) {
        if (samples[i].title != final) break;
        run.menu = samples[i].at;
        run.cpuToMenu = samples[i].cpu;
    }
    run.ok = run.firstFrame >= 0;
    return run;
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A fresh program folder for each start: the game's files linked in, its level packs copied (playing writes
// statistics there), the program itself copied (it finds its folder through its own path), no settings or players.
bool MakeFreshFolder(const fs::path& data, const fs::path& game, const fs::path& folder) {
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    if (error) return false;
    fs::copy_file(game, folder / "kolbrix", error);
    for (const fs::directory_entry& entry : fs::directory_iterator(data, error)) {
        const std::string name = entry.path().filename().string();
        const fs::path target = folder / name;
        if (name == "kolbrix" || name == "settings.dat" || name.ends_with(".alp") || name == "tempedit.kbx") continue;
        if (name.starts_with("lvlpck")) {
            fs::create_directories(target, error);
            for (const fs::directory_entry& level : fs::directory_iterator(entry.path(), error))
                if (level.path().extension() == ".kbx" || level.path().extension() == ".txt")
                    fs::copy_file(level.path(), target / level.path().filename(), error);
        } else {
            fs::create_symlink(entry.path(), target, error);
        }
        if (error) return false;
    }
    return true;
}


// ---- Playing every episode's first level ------------------------------------------------------------------------

// The keys of a first start that makes a player and plays level 1 of each episode for a few seconds, leaving
// it with Esc and going back to the main menu (the menu's own screens, as `kolbrix-tool game --trace` shows them):
// one step a line, "WAIT" seconds then the key; "type" keys a word.
struct Step {
    double wait;
    const char* key;
};
constexpr double StepSeconds = 0.7;           // between two keys: the menu has drawn its new screen by then
const Step FirstPack[] = {{StepSeconds, "Return"},    // the language screen (a first start): English
                          {StepSeconds, "Return"},    // Play: no player yet, the name is asked for
                          {StepSeconds, "type"},      // the name
                          {StepSeconds, "Return"},    // the player is made; the player screen
                          {StepSeconds, "Return"},    // the pack screen
                          {StepSeconds, "Return"},    // the difficulty screen
                          {StepSeconds, "Return"},    // the level screen
                          {StepSeconds, "Return"},    // Play: the level runs
                          {3.0, "Escape"},    // left: the level screen
                          {StepSeconds, "Escape"}};   // the main menu
const Step NextPack[] = {{StepSeconds, "Return"},     // Play: the player screen
                         {StepSeconds, "Return"},     // the pack screen
                         {StepSeconds, "Down"},   {StepSeconds, "Down"},  {StepSeconds, "Return"},   // Next pack
                         {StepSeconds, "Up"},     {StepSeconds, "Up"},    {StepSeconds, "Return"},   // the pack
                         {StepSeconds, "Return"},     // the level screen
                         {StepSeconds, "Return"},     // Play: the level runs
                         {3.0, "Escape"},     // left: the level screen
                         {StepSeconds, "Escape"}};    // the main menu
// Episodes 1, 2 and 3, one after the other in the pack list and open to a new player (a locked pack further on
// would change the way through the pack screen).
constexpr int PlayedPacks = 3;
constexpr double MenuSettleSeconds = 1.5;     // after the last key, before memory is read

void PressKey(Watcher& w, const char* name) {
    const unsigned int code = XKeysymToKeycode(w.display, XStringToKeysym(name));
    w.fakeKey(w.display, code, True, 0);
    w.fakeKey(w.display, code, False, 0);
    XFlush(w.display);
}

void Play(Watcher& w, const Step& step) {
    usleep(static_cast<useconds_t>(step.wait * 1e6));
    if (std::strcmp(step.key, "type") != 0) {
        PressKey(w, step.key);
        return;
    }
    for (const char* letter : {"b", "e", "n", "c", "h"}) {
        PressKey(w, letter);
        usleep(50000);
    }
}

struct Growth {
    bool ok = false;
    long menuKib = 0;                   // VmRSS at the first main menu
    std::vector<long> afterPackKib;     // VmRSS back at the main menu after each pack's level
    long hwmKib = 0;                    // VmHWM at the end
    // Of VmRSS at the first menu and at the last: anonymous memory (the heap, the renderer's textures and compiled
    // shaders) and file pages (the libraries' code, LLVM's above all, paged in as the renderer uses more of it).
    long menuAnonKib = 0, menuFileKib = 0, lastAnonKib = 0, lastFileKib = 0;
};

Growth PlayEveryPack(Watcher& w, const std::string& program, const std::string& folder) {
    Growth growth;
    Window root = DefaultRootWindow(w.display);
    XSelectInput(w.display, root, SubstructureNotifyMask);
    XSync(w.display, True);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0) return growth;
    // The splash screen runs its three seconds; the language screen comes after it.
    usleep(4000000);
    for (const Step& step : FirstPack) {
        if (&step == &FirstPack[1]) {
            usleep(static_cast<useconds_t>(MenuSettleSeconds * 1e6));
            growth.menuKib = StatusKib(pid, "VmRSS");
            growth.menuAnonKib = StatusKib(pid, "RssAnon");
            growth.menuFileKib = StatusKib(pid, "RssFile");
        }
        Play(w, step);
    }
    usleep(static_cast<useconds_t>(MenuSettleSeconds * 1e6));
    growth.afterPackKib.push_back(StatusKib(pid, "VmRSS"));
    for (int pack = 2; pack <= PlayedPacks; ++pack) {
        for (const Step& step : NextPack) Play(w, step);
        usleep(static_cast<useconds_t>(MenuSettleSeconds * 1e6));
        growth.afterPackKib.push_back(StatusKib(pid, "VmRSS"));
    }
    growth.hwmKib = StatusKib(pid, "VmHWM");
    growth.lastAnonKib = StatusKib(pid, "RssAnon");
    growth.lastFileKib = StatusKib(pid, "RssFile");
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
        std::printf("startup: the game ended while the episodes were played (%s %d)\n",
                    WIFSIGNALED(status) ? "signal" : "exit code",
                    WIFSIGNALED(status) ? WTERMSIG(status) : WEXITSTATUS(status));
        return growth;
    }
    growth.ok = growth.menuKib > 0;
    if (!growth.ok) std::printf("startup: no memory figure of the game at its first menu\n");
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return growth;
}

}  // namespace

int main(int argc, char** argv) {
    fs::path self = fs::canonical("/proc/self/exe");
    fs::path game = fs::path(KOLBRIX_GAME_DIR) / "kolbrix";
    fs::path floor = self.parent_path() / "bench_window_floor";
    int runs = 3;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
        else files.push_back(arg);
    }
    if (!files.empty()) game = fs::absolute(files[0]);
    if (files.size() > 1) floor = fs::absolute(files[1]);

    Watcher w;
    w.display = XOpenDisplay(nullptr);
    if (!w.display) {
        std::printf("startup: no X display\n");
        return 1;
    }
    if (void* xtst = dlopen("libXtst.so.6", RTLD_NOW))
        w.fakeKey = reinterpret_cast<FakeKeyEvent>(dlsym(xtst, "XTestFakeKeyEvent"));
    if (!w.fakeKey) std::printf("startup: libXtst not found, no key is pressed (the menu comes after the splash)\n");
    const Screen* screen = DefaultScreenOfDisplay(w.display);
    std::printf("startup: %s on a %dx%d display, %d starts each\n", game.string().c_str(), WidthOfScreen(screen),
                HeightOfScreen(screen), runs);

    const fs::path folder = fs::temp_directory_path() / ("kolbrix-startup-" + std::to_string(getpid()));
    const fs::path copy = folder / "kolbrix";
    std::vector<double> floorWindow, floorFirst, gameWindow, gameFirst, gameMenu, cpu, cpuShare, hwm, rss, floorHwm;
    // One start of each first, not counted: the files come into the page cache as they would on a second start.
    for (int i = 0; i <= runs; ++i) {
        if (!MakeFreshFolder(KOLBRIX_GAME_DIR, game, folder)) {
            std::printf("startup: cannot prepare %s\n", folder.string().c_str());
            return 1;
        }
        const Run f = Measure(w, floor.string(), {"1024", "768", "10"}, "", false);
        const Run g = Measure(w, copy.string(), {}, folder.string(), true);
        if (!f.ok || !g.ok) {
            std::printf("startup: a start failed (floor %s, game %s)\n", f.ok ? "ok" : "failed",
                        g.ok ? "ok" : "failed");
            continue;
        }
        std::printf("  start %d%s: floor window %.3f s; game window %.3f s, first frame %.3f s, menu %.3f s, "
                    "VmHWM %.1f MiB\n", i, i == 0 ? " (warm-up)" : "", f.window, g.window, g.firstFrame, g.menu,
                    g.hwmKib / 1024.0);
        if (i == 0) continue;
        floorWindow.push_back(f.window);
        floorFirst.push_back(f.firstFrame);
        floorHwm.push_back(f.hwmKib / 1024.0);
        gameWindow.push_back(g.window);
        gameFirst.push_back(g.firstFrame);
        gameMenu.push_back(g.menu);
        cpu.push_back(g.cpuToMenu);
        cpuShare.push_back(g.menu > 0 ? g.cpuToMenu / g.menu : 0);
        hwm.push_back(g.hwmKib / 1024.0);
        rss.push_back(g.rssKib / 1024.0);
    }
    Growth growth;
    if (!w.fakeKey) {
    } else if (!MakeFreshFolder(KOLBRIX_GAME_DIR, game, folder)) {
        std::printf("startup: cannot prepare %s\n", folder.string().c_str());
    } else {
        growth = PlayEveryPack(w, copy.string(), folder.string());
    }
    std::error_code error;
    fs::remove_all(folder, error);
    if (gameMenu.empty()) return 1;

    const double fw = Median(floorWindow), gw = Median(gameWindow), gm = Median(gameMenu), peak = Median(hwm);
    std::printf("floor (bare SDL2 + OpenGL window): window %.3f s, first frame %.3f s, VmHWM %.1f MiB\n", fw,
                Median(floorFirst), Median(floorHwm));
    std::printf("window visible:      %.3f s  ratio to floor %.2f  (goal <= 1.5: %s)\n", gw, gw / fw,
                gw / fw <= 1.5 ? "met" : "missed");
    std::printf("first drawn frame:   %.3f s  ratio to floor %.2f\n", Median(gameFirst), Median(gameFirst) / fw);
    std::printf("interactive menu:    %.3f s  ratio to floor %.2f  (goal <= 0.5 s: %s)\n", gm, gm / fw,
                gm <= 0.5 ? "met" : "missed");
    std::printf("peak memory at menu: VmHWM %.1f MiB, VmRSS %.1f MiB, ratio to floor %.2f  (goal <= 100 MiB: %s)\n",
                peak, Median(rss), peak / Median(floorHwm), peak <= 100 ? "met" : "missed");
    std::printf("CPU while loading:   %.2f s to the menu, %.2f cores\n", Median(cpu), Median(cpuShare));
    if (growth.ok) {
        std::printf("after each episode's first level, back at the menu: VmRSS %.1f MiB at the first menu",
                    growth.menuKib / 1024.0);
        for (long kib : growth.afterPackKib) std::printf(", %.1f", kib / 1024.0);
        std::printf(" MiB; growth %+.1f MiB (anonymous %+.1f, file pages %+.1f); VmHWM %.1f MiB\n",
                    (growth.afterPackKib.back() - growth.menuKib) / 1024.0,
                    (growth.lastAnonKib - growth.menuAnonKib) / 1024.0,
                    (growth.lastFileKib - growth.menuFileKib) / 1024.0, growth.hwmKib / 1024.0);
    } else {
        std::printf("after each episode's first level: not measured (the game ended, or no key could be pressed)\n");
    }
    XCloseDisplay(w.display);
    return 0;
}
