// Back-end dispatch, the text screen's cell grid, and the file-system services shared by both back ends.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "platform/backends.h"

namespace {

struct PlatformRun {                    // for the whole run
    PlatformBackend backend = PlatformBackend::Headless;
    bool initialised = false;
    std::string programPath;
    std::vector<std::string> arguments;
    // Text screen: cursor and colours in force.
    int row = 1, column = 1, fg = 7, bg = 0;
    bool textOpen = false;
    // Fixed frame time on the SDL back end: the game's clock is virtual and the window paces itself in real time.
    double fixedFrame = 0;
    double virtualClock = 0;
    double realNext = 0;
} run;

bool Headless() { return run.backend == PlatformBackend::Headless; }

}  // namespace

void PlatformInit(PlatformBackend backend, int argc, char** argv) {
    if (run.initialised && run.backend == PlatformBackend::Sdl) sdl_backend::Shutdown();
    run = PlatformRun{};
    run.backend = backend;
    run.initialised = true;
    for (int i = 0; i < argc; i++) run.arguments.push_back(argv[i] ? argv[i] : "");
    if (argc > 0 && argv && argv[0]) {
        run.programPath = argv[0];
        // The program finds its data in its own folder, whatever the current directory is.
        char resolved[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
        if (n > 0) {
            resolved[n] = 0;
            run.programPath = resolved;
        }
    }
    if (backend == PlatformBackend::Sdl) sdl_backend::Init();
}

bool PlatformIsHeadless() { return Headless(); }

void PlatformExit(int code) {
    if (Headless()) headless_backend::Exit(code);
    sdl_backend::Shutdown();
    std::fflush(stdout);
    std::exit(code);
}

std::string PlatformProgramPath() { return run.programPath; }
const std::vector<std::string>& PlatformArguments() { return run.arguments; }

double PlatformClock() {
    if (Headless()) return headless_backend::Clock();
    return run.fixedFrame > 0 ? run.virtualClock : sdl_backend::Clock();
}
void PlatformSleep0() { Headless() ? headless_backend::Sleep0() : sdl_backend::Sleep0(); }
void PlatformWaitUntil(double deadline) {
    if (Headless()) headless_backend::WaitUntil(deadline);
    else if (run.fixedFrame > 0) run.virtualClock = std::max(run.virtualClock, deadline);
    else sdl_backend::WaitUntil(deadline);
}

void PlatformSetFixedFrameTime(double seconds) {
    if (Headless()) {
        if (seconds > 0) headless_backend::SetFrameTime(seconds);
    } else if (seconds > 0 && run.fixedFrame <= 0) {
        // The game's clock starts from real time; presents keep it within a frame of real time afterwards.
        run.virtualClock = sdl_backend::Clock();
        run.realNext = sdl_backend::Clock() + seconds;
    }
    run.fixedFrame = seconds > 0 ? seconds : 0;
}

double PlatformFixedFrameTime() { return run.fixedFrame; }

std::string PlatformTodayDate() {
    if (Headless()) return headless_backend::Today();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    return text;
}

std::uint32_t PlatformRandomSeed() {
    if (Headless()) return headless_backend::Seed();
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

std::vector<DisplayMode> PlatformDisplayModes() {
    return Headless() ? headless_backend::DisplayModes() : sdl_backend::DisplayModes();
}
bool PlatformOpenDisplay(int width, int height, bool fullscreen) {
    if (run.textOpen) TextScreenClose();
    return Headless() ? headless_backend::OpenDisplay(width, height, fullscreen)
                      : sdl_backend::OpenDisplay(width, height, fullscreen);
}
void PlatformSetSwapInterval(int interval) {
    Headless() ? headless_backend::SetSwapInterval(interval) : sdl_backend::SetSwapInterval(interval);
}
void PlatformSetTitle(const std::string& title) {
    Headless() ? headless_backend::SetTitle(title) : sdl_backend::SetTitle(title);
}
void PlatformShowPointer(bool shown) {
    Headless() ? headless_backend::ShowPointer(shown) : sdl_backend::ShowPointer(shown);
}
void PlatformPresent() {
    if (Headless()) {
        headless_backend::Present();
        return;
    }
    sdl_backend::Present();
    if (run.fixedFrame > 0) {
        run.virtualClock += run.fixedFrame;
        double now = sdl_backend::Clock();
        if (run.realNext < now - 0.25) run.realNext = now;   // far behind (a stall): don't rush to catch up
        sdl_backend::WaitUntil(run.realNext);
        run.realNext += run.fixedFrame;
    }
}
bool PlatformHasGl() { return !Headless() && sdl_backend::HasGl(); }
void PlatformRecordQuad(const QuadRecord& quad) {
    if (Headless()) headless_backend::RecordQuad(quad);
}

std::string PlatformReadKey() { return Headless() ? headless_backend::ReadKey() : sdl_backend::ReadKey(); }
bool PlatformKeyHeld(int scanCode) {
    if (scanCode < 0 || scanCode > 255) return false;
    return Headless() ? headless_backend::KeyHeld(scanCode) : sdl_backend::KeyHeld(scanCode);
}
void PlatformMouse(int& x, int& y, int& buttons) {
    Headless() ? headless_backend::Mouse(x, y, buttons) : sdl_backend::Mouse(x, y, buttons);
}

// ---- Text screen ------------------------------------------------------------------------------------------

namespace {
void TextPut(int row, int column, unsigned char ch) {
    if (row < 1 || row > 25 || column < 1 || column > 40) return;
    if (Headless()) headless_backend::TextPut(row, column, ch, run.fg, run.bg);
    else sdl_backend::TextPut(row, column, ch, run.fg, run.bg);
}
}  // namespace

void TextScreenOpen() {
    run.textOpen = true;
    run.row = 1;
    run.column = 1;
    run.fg = 7;
    run.bg = 0;
    Headless() ? headless_backend::TextOpen() : sdl_backend::TextOpen();
}

void TextScreenColor(int foreground, int background) {
    if (foreground >= 0) run.fg = foreground & 15;
    if (background >= 0) run.bg = background & 15;
}

void TextScreenLocate(int row, int column) {
    run.row = row;
    run.column = column;
}

void TextScreenPrint(const std::string& line) {
    if (!run.textOpen) TextScreenOpen();
    for (unsigned char ch : line) {
        if (run.column > 40) {          // long lines wrap like a text console
            run.column = 1;
            run.row++;
        }
        TextPut(run.row, run.column, ch);
        run.column++;
    }
    run.row++;
    run.column = 1;
}

std::string TextScreenWaitKey() {
    if (!run.textOpen) TextScreenOpen();
    for (;;) {
        if (!Headless()) sdl_backend::TextShow();
        std::string key = PlatformReadKey();
        if (!key.empty()) return key;
        if (Headless()) headless_backend::Idle();
        else sdl_backend::WaitUntil(sdl_backend::Clock() + 0.01);
    }
}

void TextScreenClose() {
    if (!run.textOpen) return;
    run.textOpen = false;
    if (!Headless()) sdl_backend::TextClose();
}

// ---- Files and folders ------------------------------------------------------------------------------------

namespace {

bool WildcardMatch(const char* pattern, const char* name) {
    // Iterative '*' / '?' matcher, case-insensitive.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '?' || (*pattern && std::tolower(static_cast<unsigned char>(*pattern)) ==
                                                std::tolower(static_cast<unsigned char>(*name)))) {
            pattern++;
            name++;
        } else if (*pattern == '*') {
            starPattern = pattern++;
            starName = name;
        } else if (starPattern) {
            pattern = starPattern + 1;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*') pattern++;
    return *pattern == 0;
}

std::string WithoutTrailingSlash(const std::string& path) {
    if (path.size() > 1 && path.back() == '/') return path.substr(0, path.size() - 1);
    return path;
}

}  // namespace

std::vector<std::string> PlatformListFolder(const std::string& folder, const std::string& pattern, ListKind kind) {
    std::vector<std::string> names;
    std::string dirPath = folder.empty() ? "." : folder;
    DIR* dir = opendir(dirPath.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;
        if (!WildcardMatch(pattern.c_str(), name)) continue;
        std::string full = dirPath;
        if (full.back() != '/') full += '/';
        full += name;
        struct stat info{};
        if (stat(full.c_str(), &info) != 0) continue;
        bool isFolder = S_ISDIR(info.st_mode);
        if (kind == ListKind::Folders ? isFolder : S_ISREG(info.st_mode)) names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool PlatformFileExists(const std::string& path) {
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool PlatformFolderExists(const std::string& path) {
    struct stat info{};
    return stat(WithoutTrailingSlash(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformMakeFolder(const std::string& path) { return mkdir(WithoutTrailingSlash(path).c_str(), 0755) == 0; }
bool PlatformRemoveFolder(const std::string& path) { return rmdir(WithoutTrailingSlash(path).c_str()) == 0; }
bool PlatformDeleteFile(const std::string& path) { return unlink(path.c_str()) == 0; }
bool PlatformRenameFile(const std::string& from, const std::string& to) {
    return std::rename(WithoutTrailingSlash(from).c_str(), WithoutTrailingSlash(to).c_str()) == 0;
}

bool PlatformWriteFileAtomic(const std::string& path, const std::string& bytes) {
    // The temporary file sits in the same folder so the rename cannot cross file systems.
    std::string temp = path + ".tmp" + std::to_string(getpid());
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    size_t written = 0;
    bool ok = true;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0) {
            ok = false;
            break;
        }
        written += static_cast<size_t>(n);
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool PlatformReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    // One allocation of the file's size and reads straight into it.
    bytes.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
        ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    close(fd);
    bytes.resize(got);
    return true;
}

void PlatformOpenExternal(const std::string& target) {
    if (Headless()) {
        headless_backend::NoteOpened(target);
        return;
    }
    pid_t child = fork();
    if (child == 0) {
        execlp("xdg-open", "xdg-open", target.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child > 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}
