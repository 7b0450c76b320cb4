// Back-end dispatch, the text screen's cursor and colours, and the file-system services shared by both back ends.
#include "platform/platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/files.h"
#include "platform/backends.h"
#include "platform/gamepad.h"
#include "platform/process.h"

namespace {

struct PlatformRun {                    // for the whole run
    // Chosen by PlatformInit; the headless back end answers until then.
    const PlatformBackendTable* backend = &HeadlessBackend();
    std::string programPath;
    std::vector<std::string> arguments;
    // Text screen: cursor and colours in force, and the characters, which go to standard error when no window
    // can show them.
    int row = 1, column = 1, fg = 7, bg = 0;
    bool textOpen = false;
    unsigned char text[25][40] = {};
    double fixedFrame = 0;              // as last set, 0 when off
    int assumedWritable = -1;           // a test's answer for PlatformFolderWritable; -1 asks the system
    std::function<void()> presentWatcher;   // called after every presented frame while set
} run;

const PlatformBackendTable& BackendTable(PlatformBackend backend) {
    return backend == PlatformBackend::Sdl ? SdlBackend() : HeadlessBackend();
}

std::string OwnProgramPath(const char* argument0) {
    // The program finds its data in its own folder, whatever the current directory is.
    char resolved[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
    if (n <= 0) return argument0;
    resolved[n] = 0;
    return resolved;
}

}  // namespace

void PlatformInit(PlatformBackend backend, int argc, char** argv) {
    PosixStopAllProcesses();
    run.backend->Stop();
    run = PlatformRun{};
    run.backend = &BackendTable(backend);
    for (int i = 0; i < argc; i++) run.arguments.push_back(argv[i] ? argv[i] : "");
    if (argc > 0 && argv && argv[0]) run.programPath = OwnProgramPath(argv[0]);
    // The game finds its data beside the program, or where an install put it.
    SetProgramPath(run.programPath, PlatformFolderHoldsGameData);
    AudioUseBackend(run.backend->Audio());
    PadReset();
    run.backend->Start();
}

bool PlatformIsHeadless() { return run.backend == &HeadlessBackend(); }

void PlatformExit(int code) {
    PosixStopAllProcesses();
    run.backend->Exit(code);
    std::abort();   // not reached: both back ends' Exit leave, but a call through a pointer cannot promise it
}

std::string PlatformProgramPath() { return run.programPath; }
const std::vector<std::string>& PlatformArguments() { return run.arguments; }

double PlatformClock() { return run.backend->Clock(); }
void PlatformSleep0() { run.backend->Sleep0(); }
void PlatformIdle() { run.backend->Idle(); }
void PlatformWaitUntil(double deadline) { run.backend->WaitUntil(deadline); }

void PlatformSetFixedFrameTime(double seconds) {
    run.backend->SetFixedFrameTime(seconds);
    run.fixedFrame = seconds > 0 ? seconds : 0;
}
double PlatformFixedFrameTime() { return run.fixedFrame; }
void PlatformSetRealPace(double speed) { run.backend->SetRealPace(speed); }

std::string PlatformTodayDate() { return run.backend->Today(); }
std::uint32_t PlatformRandomSeed() { return run.backend->Seed(); }

std::vector<DisplayMode> PlatformDisplayModes() { return run.backend->DisplayModes(); }
DisplayMode PlatformDesktopMode() { return run.backend->DesktopMode(); }
DisplayMode PlatformUsableArea() { return run.backend->UsableArea(); }
bool PlatformOpenDisplay(int width, int height, DisplayKind kind) {
    if (run.textOpen) TextScreenClose();
    return run.backend->OpenDisplay(width, height, kind);
}
void PlatformSetSwapInterval(int interval) { run.backend->SetSwapInterval(interval); }
void PlatformSetTitle(const std::string& title) { run.backend->SetTitle(title); }
void PlatformShowPointer(bool shown) { run.backend->ShowPointer(shown); }
void PlatformPresent() {
    run.backend->Present();
    if (run.presentWatcher) run.presentWatcher();
}
void PlatformWatchPresents(std::function<void()> watcher) { run.presentWatcher = std::move(watcher); }
bool PlatformHasGl() { return run.backend->HasGl(); }
void PlatformRecordQuad(const QuadRecord& quad) { run.backend->RecordQuad(quad); }

// The keyboard first, then what the controllers gave (the back end's ReadKey has just taken in their events).
std::string PlatformReadKey() {
    std::string key = run.backend->ReadKey();
    return key.empty() ? PadTakeKey() : key;
}
bool PlatformKeyHeld(int scanCode) {
    if (scanCode < 0 || scanCode > 255) return false;
    return run.backend->KeyHeld(scanCode) || PadKeyHeld(scanCode);
}
void PlatformMouse(int& x, int& y, int& buttons) { run.backend->Mouse(x, y, buttons); }
int PlatformTakeWheel() { return run.backend->TakeWheel(); }
void PlatformHoldKey(int scanCode, bool held) {
    if (scanCode >= 0 && scanCode <= 255) run.backend->HoldKey(scanCode, held);
}
void PlatformPushKey(const std::string& key) { run.backend->PushKey(key); }

// ---- Text screen ------------------------------------------------------------------------------------------

namespace {
void TextPut(int row, int column, unsigned char ch) {
    if (row < 1 || row > 25 || column < 1 || column > 40) return;
    run.text[row - 1][column - 1] = ch;
    run.backend->TextPut(row, column, ch, run.fg, run.bg);
}

// The screen's rows from the first to the last that holds anything, without trailing blanks.
void WriteTextScreen(FILE* out) {
    int first = 25, last = -1;
    std::string rows[25];
    for (int row = 0; row < 25; row++) {
        rows[row].assign(reinterpret_cast<const char*>(run.text[row]), 40);
        rows[row].erase(rows[row].find_last_not_of(' ') + 1);
        if (rows[row].empty()) continue;
        first = std::min(first, row);
        last = row;
    }
    for (int row = first; row <= last; row++) std::fprintf(out, "%s\n", rows[row].c_str());
    std::fflush(out);
}
}  // namespace

void TextScreenOpen() {
    run.textOpen = true;
    std::memset(run.text, ' ', sizeof run.text);
    run.row = 1;
    run.column = 1;
    run.fg = 7;
    run.bg = 0;
    run.backend->TextOpen();
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
        if (!run.backend->TextShow()) {
            WriteTextScreen(stderr);
            return "";
        }
        std::string key = PlatformReadKey();
        if (!key.empty()) return key;
        run.backend->Idle();
    }
}

void TextScreenClose() {
    if (!run.textOpen) return;
    run.textOpen = false;
    run.backend->TextClose();
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

bool PlatformFolderHoldsGameData(const std::string& folder) { return PlatformFileExists(folder + "standard.dat"); }

bool PlatformFolderExists(const std::string& path) {
    struct stat info{};
    return stat(WithoutTrailingSlash(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// ---- Durable changes --------------------------------------------------------------------------------------
//
// A rename, a new or removed entry lives in the folder, not in the file: until the folder itself is flushed, a
// power cut may take the change back on Linux file systems, and a saved file with it. Every change below flushes
// the folders it touched before it returns.

namespace {

struct FileLayerSeams {                 // for the whole run; switched on by tests only
    std::vector<FileOp>* journal = nullptr;
    std::string failReadPath;
    std::int64_t failReadAfter = 0;
    bool countSteps = false;            // the failing-step seam is on
    std::int64_t stepsTaken = 0;
    std::int64_t failStep = 0;          // 0: count only
    int failError = 0;
    bool failLater = false;
} seams;

struct FileErrors {                     // for the whole run
    int first = 0;                      // the first failed step's error since PlatformTakeFileError
} fileErrors;

// A step that is about to be tried: true, with errno set, when a test made it fail.
bool InjectedFailure() {
    if (!seams.countSteps) return false;
    const std::int64_t step = ++seams.stepsTaken;
    if (seams.failStep <= 0 || step < seams.failStep || (step > seams.failStep && !seams.failLater)) return false;
    errno = seams.failError;
    return true;
}

// Notes a failed step; always returns false for the caller to pass on.
bool Failed(int error) {
    if (fileErrors.first == 0) fileErrors.first = error != 0 ? error : EIO;
    return false;
}

void Record(FileOpKind kind, const std::string& path, const std::string& to = "", std::int64_t offset = 0,
            const char* bytes = nullptr, size_t size = 0) {
    if (!seams.journal) return;
    FileOp op;
    op.kind = kind;
    op.path = path;
    op.to = to;
    op.offset = offset;
    if (bytes) op.bytes.assign(bytes, size);
    seams.journal->push_back(std::move(op));
}

std::string ParentFolder(const std::string& path) {
    std::string p = WithoutTrailingSlash(path);
    size_t slash = p.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

// False when the folder could not be opened or the disk reported an error; a file system that has nothing to flush
// for folders (it says the call is not supported) counts as flushed.
bool FlushFolder(const std::string& folder) {
    if (InjectedFailure()) return Failed(errno);
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Failed(errno);
    int result = fsync(fd);
    int error = errno;
    close(fd);
    if (result == 0) {
        Record(FileOpKind::FlushFolder, folder);
        return true;
    }
    if (error == EINVAL || error == ENOTSUP || error == ENOSYS) return true;
    return Failed(error);
}

// The destination's folder first: a stop between the two flushes then finds the entry in both folders rather than
// in neither.
void FlushFoldersOfRename(const std::string& from, const std::string& to) {
    std::string fromFolder = ParentFolder(from), toFolder = ParentFolder(to);
    FlushFolder(toFolder);
    if (fromFolder != toFolder) FlushFolder(fromFolder);
}

bool RenameEntry(const std::string& from, const std::string& to) {
    if (InjectedFailure() || std::rename(from.c_str(), to.c_str()) != 0) return Failed(errno);
    Record(FileOpKind::Rename, from, to);
    return true;
}

bool DeleteEntry(const std::string& path) {
    if (InjectedFailure() || unlink(path.c_str()) != 0) return Failed(errno);
    Record(FileOpKind::DeleteFile, path);
    return true;
}

// Writes all of `bytes` to the new file `fd` (named `path` in the journal).
bool WriteAll(int fd, const std::string& path, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = InjectedFailure() ? -1 : write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return Failed(n < 0 ? errno : EIO);
        Record(FileOpKind::WriteFile, path, "", static_cast<std::int64_t>(written), bytes.data() + written,
               static_cast<size_t>(n));
        written += static_cast<size_t>(n);
    }
    return true;
}

// A read of a file whose reads a test made fail: the bytes before the failure, then an input/output error.
ssize_t ReadBeforeInjectedFailure(int fd, std::string& bytes, size_t got) {
    std::int64_t left = seams.failReadAfter - static_cast<std::int64_t>(got);
    if (left <= 0) {
        errno = EIO;
        return -1;
    }
    return read(fd, bytes.data() + got, std::min(bytes.size() - got, static_cast<size_t>(left)));
}

}  // namespace

void PlatformRecordFileOps(std::vector<FileOp>* journal) { seams.journal = journal; }

void PlatformFailReads(const std::string& path, std::int64_t afterBytes) {
    seams.failReadPath = path;
    seams.failReadAfter = afterBytes < 0 ? 0 : afterBytes;
}

void PlatformFailFileStep(std::int64_t step, int error, bool everyLater) {
    seams.countSteps = step >= 0;
    seams.stepsTaken = 0;
    seams.failStep = step;
    seams.failError = error;
    seams.failLater = everyLater;
}

std::int64_t PlatformFileStepsTaken() { return seams.stepsTaken; }

int PlatformTakeFileError() {
    const int error = fileErrors.first;
    fileErrors.first = 0;
    return error;
}

bool PlatformMakeFolder(const std::string& path) {
    std::string folder = WithoutTrailingSlash(path);
    if (InjectedFailure() || mkdir(folder.c_str(), 0755) != 0) return Failed(errno);
    Record(FileOpKind::MakeFolder, folder);
    FlushFolder(ParentFolder(folder));
    return true;
}

bool PlatformRemoveFolder(const std::string& path) {
    std::string folder = WithoutTrailingSlash(path);
    if (InjectedFailure() || rmdir(folder.c_str()) != 0) return Failed(errno);
    Record(FileOpKind::RemoveFolder, folder);
    FlushFolder(ParentFolder(folder));
    return true;
}

bool PlatformDeleteFile(const std::string& path) {
    if (!DeleteEntry(path)) return false;
    FlushFolder(ParentFolder(path));
    return true;
}

bool PlatformRenameFile(const std::string& from, const std::string& to) {
    std::string source = WithoutTrailingSlash(from), target = WithoutTrailingSlash(to);
    if (!RenameEntry(source, target)) return false;
    FlushFoldersOfRename(source, target);
    return true;
}

namespace {

// A file just created at `path` as `fd`: `bytes` written and flushed to the disk, then closed (always). False with
// the error set when any step failed.
bool WriteFlushClose(int fd, const std::string& path, const std::string& bytes) {
    Record(FileOpKind::CreateFile, path);
    bool ok = WriteAll(fd, path, bytes);
    if (ok && (InjectedFailure() || fsync(fd) != 0)) ok = Failed(errno);
    if (ok) Record(FileOpKind::FlushFile, path);
    if (close(fd) != 0 && ok) ok = Failed(errno);
    return ok;
}

}  // namespace

bool PlatformWriteFileAtomic(const std::string& path, const std::string& bytes) {
    // The temporary file sits in the same folder so the rename cannot cross file systems. Its contents are on the
    // disk before the rename, so the name never points at a file whose data a power cut could still take away.
    std::string temp = path + ".tmp" + std::to_string(getpid());
    int fd = InjectedFailure() ? -1 : open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return Failed(errno);
    bool ok = WriteFlushClose(fd, temp, bytes);
    if (ok && !RenameEntry(temp, path)) ok = false;
    if (!ok) {
        DeleteEntry(temp);
        return false;
    }
    return FlushFolder(ParentFolder(path));
}

bool PlatformWriteNewFiles(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files) {
    for (const auto& [name, bytes] : files) {
        const std::string path = folder + name;
        int fd = InjectedFailure() ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) return Failed(errno);
        if (!WriteFlushClose(fd, path, bytes)) return false;
    }
    return FlushFolder(WithoutTrailingSlash(folder));
}

void PlatformTrimMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

namespace {

// At most `count` bytes from the start of the file, or all of it when it is shorter (the test seam's injected read
// failure included).
bool ReadFileStart(const std::string& path, size_t count, std::string& bytes) {
    bytes.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return false;
    }
    // One allocation of the size to read and reads straight into it.
    bytes.resize(std::min(count, static_cast<size_t>(info.st_size)));
    const bool injected = !seams.failReadPath.empty() && seams.failReadPath == path;
    size_t got = 0;
    bool ok = true;
    while (got < bytes.size()) {
        ssize_t n = injected ? ReadBeforeInjectedFailure(fd, bytes, got)
                             : read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        // An error, or an end before the size the system gave: what was read is not the file. Saves never write
        // into an open file (they rename a new one over it), so a file that shrinks while it is read is not ours.
        if (n <= 0) {
            ok = false;
            break;
        }
        got += static_cast<size_t>(n);
    }
    close(fd);
    if (!ok) bytes.clear();
    return ok;
}

}  // namespace

bool PlatformReadFile(const std::string& path, std::string& bytes) { return ReadFileStart(path, SIZE_MAX, bytes); }

bool PlatformReadFileStart(const std::string& path, std::size_t count, std::string& bytes) {
    return ReadFileStart(path, count, bytes);
}

void PlatformOpenExternal(const std::string& target) { run.backend->OpenExternal(target); }

// ---- Child processes ------------------------------------------------------------------------------------------

ProcessHandle PlatformStartProcess(const std::string& program, const std::vector<std::string>& arguments) {
    return run.backend->StartProcess(program, arguments);
}
std::string PlatformReadProcess(ProcessHandle process, ProcessStream stream) {
    return run.backend->ReadProcess(process, stream);
}
bool PlatformProcessEnded(ProcessHandle process, int& exitCode) { return run.backend->ProcessEnded(process, exitCode); }
void PlatformStopProcess(ProcessHandle process) { run.backend->StopProcess(process); }

std::string PlatformProgramBeside(const std::string& name) {
    const size_t slash = run.programPath.find_last_of('/');
    return (slash == std::string::npos ? std::string() : run.programPath.substr(0, slash + 1)) + name;
}

void PlatformSetGameClock(double seconds) { run.backend->SetGameClock(seconds); }

// ---- The desktop's opener -------------------------------------------------------------------------------------

namespace {

constexpr const char* OpenerName = "xdg-open";
constexpr const char* DefaultSearchPath = "/usr/local/bin:/usr/bin:/bin";

// A web address or an absolute path goes to the opener as it is; anything else names a file shipped beside the
// program, whatever folder the game was started from.
std::string OpenerTarget(const std::string& target) {
    if (target.find("://") != std::string::npos || (!target.empty() && target[0] == '/')) return target;
    return ProgramFolder() + target;
}

// The opener's full path from PATH, looked up before forking so the child only has to exec; "" when none is there.
std::string FindOnSearchPath(const std::string& name) {
    const char* variable = std::getenv("PATH");
    const std::string path = variable && *variable ? variable : DefaultSearchPath;
    size_t start = 0;
    for (;;) {
        const size_t end = path.find(':', start);
        std::string folder = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (folder.empty()) folder = ".";
        const std::string candidate = folder + "/" + name;
        struct stat info{};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos) return "";
        start = end + 1;
    }
}

// In the opener's own process: no terminal output of a browser in the game's console, none of the game's files or
// its window connection held open by the browser, and a session of its own, so nothing the game's terminal does
// reaches it. Only calls that are safe between fork and exec.
[[noreturn]] void ExecDetachedOpener(const char* program, char* const* argv) {
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    if (close_range(3, ~0U, 0) != 0)
        for (int fd = 3; fd < 1024; ++fd) close(fd);
    execv(program, argv);
    _exit(127);
}

}  // namespace

bool PlatformStartOpener(const std::string& target) {
    const std::string program = FindOnSearchPath(OpenerName);
    if (program.empty()) return false;
    std::string resolved = OpenerTarget(target);
    std::string name = OpenerName;
    char* argv[] = {name.data(), resolved.data(), nullptr};

    // Two forks: the middle process starts the opener and ends at once, so the opener belongs to init, which reaps
    // it whenever it ends, and the game waits only for a process that does nothing but fork. An opener that hangs
    // never holds up a frame and never leaves a zombie behind.
    const pid_t middle = fork();
    if (middle < 0) return false;
    if (middle == 0) {
        const pid_t opener = fork();
        if (opener == 0) ExecDetachedOpener(program.c_str(), argv);
        _exit(opener < 0 ? 1 : 0);
    }
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(middle, &status, 0);
    } while (waited < 0 && errno == EINTR);
    // ECHILD: children are reaped automatically (SIGCHLD ignored); the middle process did its one thing regardless.
    if (waited < 0) return errno == ECHILD;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// ---- Where the player's files live ----------------------------------------------------------------------------

namespace {

// Makes `folder` and every missing folder above it; true when it is there afterwards.
bool MakeFolderPath(const std::string& folder) {
    std::string path = WithoutTrailingSlash(folder);
    for (size_t at = 1; at <= path.size(); at++) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return PlatformFolderExists(path);
}

}  // namespace

std::string PlatformUserDataFolder() {
    // An XDG_DATA_HOME that is not an absolute path is to be ignored, as if it were not set.
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') return "";
        base = WithoutTrailingSlash(home) + "/.local/share";
    }
    return WithoutTrailingSlash(base) + "/kolbrix/";
}

bool PlatformFolderWritable(const std::string& folder) {
    if (run.assumedWritable >= 0) return run.assumedWritable != 0;
    // A read-only mount answers EROFS here even for root.
    return access(WithoutTrailingSlash(folder).c_str(), W_OK | X_OK) == 0;
}

void PlatformAssumeFolderWritable(int answer) { run.assumedWritable = answer < 0 ? -1 : answer != 0; }

void PlatformChooseDataFolder() {
    SetDataFolder("");
    // An installed game's data is shared by every player of the machine, so it stays untouched even for root.
    if (!IsInstalledDataFolder(ProgramFolder()) && PlatformFolderWritable(ProgramFolder())) return;
    const std::string own = PlatformUserDataFolder();
    if (!own.empty() && MakeFolderPath(own)) SetDataFolder(own);
}
