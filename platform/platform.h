// Everything the game asks of the operating system.
//
// Two back ends implement it: SDL2 + OpenGL for the real game, and a headless one for tests and tools
// (virtual clock, scripted input, recorded frames, sounds and text-screen cells). Game code calls only
// these procedures and never knows which back end runs; PlatformInit picks one for the whole run (each back end is
// one table of procedures, platform/backends.h, and these procedures call through the chosen table).
#pragma once

#include <cstdint>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"

enum class PlatformBackend { Sdl, Headless };

// ---- Life cycle -------------------------------------------------------------------------------------------
void PlatformInit(PlatformBackend backend, int argc, char** argv);
bool PlatformIsHeadless();
// Ends the program with `code` after closing the window and audio. On the headless back end it unwinds to the
// harness (HeadlessRun in platform/headless.h) instead of ending the process.
[[noreturn]] void PlatformExit(int code);
// The program's own path (argument 0 as given; made absolute when the OS can tell it).
std::string PlatformProgramPath();
const std::vector<std::string>& PlatformArguments();

// ---- Clock ------------------------------------------------------------------------------------------------
double PlatformClock();                 // seconds, sub-millisecond resolution
void PlatformSleep0();                  // yield the processor (a sleep of 0 ms); also pumps window events
// One idle step of a wait for keys outside play (a paused best run): about 10 ms of real time in a window.
void PlatformIdle();
// Waits until PlatformClock() >= deadline: sleeps while more than about a millisecond is left, spins the rest.
// The headless clock simply jumps to the deadline.
void PlatformWaitUntil(double deadline);
std::string PlatformTodayDate();        // "mm-dd-yyyy"
// A fixed frame time (0 switches it off): every presented frame then lasts exactly `seconds` of the game's clock,
// whatever the real time, while a window still keeps that pace in real time. Recordings use it so that a replay
// sees exactly the clock the player saw.
void PlatformSetFixedFrameTime(double seconds);
double PlatformFixedFrameTime();
// Under a fixed frame time, a window shows its frames `speed` times as fast in real time (1 is the game's pace); the
// game's clock still counts the fixed time a frame, so play is the same at every pace.
void PlatformSetRealPace(double speed);
std::uint32_t PlatformRandomSeed();     // a seed taken from the clock

// ---- Display (DisplayMode, DisplayKind and QuadRecord in platform/types.h) ------------------------------------
std::vector<DisplayMode> PlatformDisplayModes();   // 32-bit modes in the platform's order
DisplayMode PlatformDesktopMode();                 // the desktop's own resolution; {0, 0} when there is no display
// The part of the desktop a window may take: the desktop less its panels and docks; {0, 0} when it is not known.
DisplayMode PlatformUsableArea();
// Opens the display with an OpenGL context, shown. False when it cannot (the reason goes to standard error);
// nothing of the attempt stays open then, so another kind may be tried.
bool PlatformOpenDisplay(int width, int height, DisplayKind kind);
void PlatformSetSwapInterval(int interval);
void PlatformSetTitle(const std::string& title);
void PlatformShowPointer(bool shown);
void PlatformPresent();                             // glFlush + swap; the headless back end closes its recorded frame
bool PlatformHasGl();                               // true when OpenGL calls are allowed (a real context exists)
// Called right after every presented frame while set (an empty one stops it): a benchmark takes the time of each
// buffer swap there, a script puts the keys of the next frame in place.
void PlatformWatchPresents(std::function<void()> watcher);

void PlatformRecordQuad(const QuadRecord& quad);

// ---- Keyboard and mouse -----------------------------------------------------------------------------------
// One key per call from the key buffer: "" when empty; a printable or control character as itself; an extended key
// as "\xFF" followed by its set-1 scan-code character; the window's close button as "\xFF" "k".
std::string PlatformReadKey();
bool PlatformKeyHeld(int scanCode);                 // held-key test by set-1 scan code
void PlatformMouse(int& x, int& y, int& buttons);   // -1, -1 outside the window; buttons: bit 0 left, 1 right, 2 middle
int PlatformTakeWheel();                            // mouse-wheel steps since the last call: > 0 away from the user
// Keys put in by a script rather than the keyboard (a replay in a window, a benchmark), on either back end: a key held
// or let go by its set-1 scan code, until the script or the keyboard changes it again; a key string put into the key
// buffer behind what the keyboard put there.
void PlatformHoldKey(int scanCode, bool held);
void PlatformPushKey(const std::string& key);

// ---- Text screen (40 x 25 cells of 8 x 8 glyphs, 16-colour text palette) ------------------------------------
void TextScreenOpen();                  // clears to background 0, cursor at row 1, column 1
void TextScreenColor(int foreground, int background = -1);   // -1 keeps the background in force
void TextScreenLocate(int row, int column);
void TextScreenPrint(const std::string& line);  // writes the line, then moves to column 1 of the next row
// Shows the screen and waits for any key. A screen that cannot be shown (no window could be opened for it) never
// waits for a key that could not come: its text goes to standard error and "" comes back at once.
std::string TextScreenWaitKey();
void TextScreenClose();

// ---- Files and folders ------------------------------------------------------------------------------------
enum class ListKind { Files, Folders };
// Names (no folder) in `folder` matching `pattern` ("*" and "?" wildcards, case-insensitive like the original
// platform), in the order the OS returns them. Hidden entries (leading ".") are never listed.
std::vector<std::string> PlatformListFolder(const std::string& folder, const std::string& pattern, ListKind kind);
bool PlatformFileExists(const std::string& path);
bool PlatformFolderExists(const std::string& path);
bool PlatformMakeFolder(const std::string& path);
bool PlatformRemoveFolder(const std::string& path);  // empty folders only
bool PlatformDeleteFile(const std::string& path);
bool PlatformRenameFile(const std::string& from, const std::string& to);  // replaces `to` atomically
// Folder creation, removal, deleting and renaming flush the folders they change before they return, so the change
// survives a power cut; their result says whether the change was made (a caller undoing a half-done operation
// relies on that), a folder that then could not be flushed does not turn it into false.
//
// Writes `bytes` to `path` through a temporary file in the same folder, flushed and renamed over the old file,
// then flushes the folder. True: the new contents are there and survive a power cut. False: the old file is
// untouched, except when only that last flush of the folder failed; the new file is then in place but may not
// survive a power cut.
bool PlatformWriteFileAtomic(const std::string& path, const std::string& bytes);
// Writes new files into `folder` (ending in "/"), none of which may exist yet: each is written and flushed, then the
// folder is flushed once. For a folder that is made for them and renamed into place afterwards, so that the rename
// is the moment they appear (an installed pack); a failure leaves the files written so far, for the caller to remove.
bool PlatformWriteNewFiles(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files);
// The error number of the first step of the file layer that failed since the last call, 0 when none. A step is one
// change or flush on the disk: creating a file, each write into it, flushing it, a rename, a delete, making or
// removing a folder, flushing a folder. A rename, delete or folder change whose folder then could not be flushed
// returns true (the change is made) and shows here, so an operation of several changes can still tell the player
// that not all of it reached the disk. An operation takes it once before it starts and again when it ends.
int PlatformTakeFileError();
// The whole file, or false: missing, not an ordinary file, or a read that failed part-way (an input/output error,
// or a file that ended before the size the system gave). Never a part of a file reported as the file.
bool PlatformReadFile(const std::string& path, std::string& bytes);
// The first `count` bytes of a file, or all of it when it is shorter; false as PlatformReadFile fails.
bool PlatformReadFileStart(const std::string& path, std::size_t count, std::string& bytes);
// Hands the memory that the process has freed back to the system, so that it no longer counts as resident.
void PlatformTrimMemory();
// Opens a web address, a file or a folder with the user's browser or file manager, and returns at once: the
// desktop's opener runs on its own with its output discarded, so an opener that hangs or a browser slow to start
// never freezes the game. A target without "://" that does not start with "/" names a file in the program folder
// ("kolbrix.html" opens the manual shipped beside the program). The headless back end records the target as given.
void PlatformOpenExternal(const std::string& target);
// The SDL back end's opener as a plain procedure, which tests call without a window: resolves the target as above
// and starts the xdg-open found on PATH detached. False when there is no opener on PATH or it could not be started.
bool PlatformStartOpener(const std::string& target);

// ---- Child processes --------------------------------------------------------------------------------------
// A program the game starts and watches while it goes on drawing frames (kolbrix-tool's level solver). Nothing here
// waits for the program: its output is read as far as it has come, its end is asked for, and it can be stopped.
// ProcessHandle and ProcessStream: platform/types.h.
// Starts `program` (a path: no shell, no search of PATH) with `arguments` after its own name; it reads nothing
// (standard input is empty) and writes its standard output and error into two pipes the game reads. Returns once
// the program runs (or could not be started: 0, as for a missing or non-executable file or no process to be had).
ProcessHandle PlatformStartProcess(const std::string& program, const std::vector<std::string>& arguments);
// What the program wrote on `stream` since the last call, "" when nothing new came. Stays readable after its end.
std::string PlatformReadProcess(ProcessHandle process, ProcessStream stream);
// True once the program has ended, with its exit code (128 + the signal's number when a signal ended it, as a
// shell reports it; -1 when the system could not tell). Whatever it started and left running is ended with it.
bool PlatformProcessEnded(ProcessHandle process, int& exitCode);
// Ends the program at once if it still runs (it and everything it started), collects it and closes its pipes; the
// handle is then forgotten. Every process still known is stopped when its run ends (PlatformInit, PlatformExit).
void PlatformStopProcess(ProcessHandle process);
// The path of a program that is installed beside the running one: `make install` puts kolbrix-tool in bin/ beside
// kolbrix, the build puts both in build/game/.
std::string PlatformProgramBeside(const std::string& name);
// The game's clock under a fixed frame time (PlatformSetFixedFrameTime) is set to `seconds`, so that a replay reads
// the very clock readings its recording was made with; without a fixed frame time the real clock runs and this does
// nothing. (The headless clock is always virtual: it is set.)
void PlatformSetGameClock(double seconds);

// ---- Where the player's files live ------------------------------------------------------------------------
// The player's own folder for the game: $XDG_DATA_HOME/kolbrix/ (an absolute XDG_DATA_HOME only), otherwise
// $HOME/.local/share/kolbrix/; "" when neither tells one.
std::string PlatformUserDataFolder();
// True when files can be made in `folder` (the system's answer, unless a test decided it).
bool PlatformFolderWritable(const std::string& folder);
// Chooses the data folder once at the start: the program folder when it is writable and not an installed game's
// data (IsInstalledDataFolder), otherwise the player's own folder, made (with its parents) when it is not there
// yet. A player's folder that cannot be had leaves the program folder, whose writes then fail with their messages.
void PlatformChooseDataFolder();
// True when `folder` (ending with "/") holds the game's data, told by its interface font: PlatformInit looks for
// the data with it, beside the program and then where an install puts it (LocateProgramFolder).
bool PlatformFolderHoldsGameData(const std::string& folder);
// Test seam: 1 or 0 makes every folder writable or not for PlatformFolderWritable; -1 (the default after
// PlatformInit) asks the system. Tests running as root need it, since a folder without write permission stays
// writable for root.
void PlatformAssumeFolderWritable(int answer);

// ---- Test seams of the file layer (off unless a test switches them on; normal play pays one pointer test) ------
// One change the file layer made on disk. Paths are as the file layer used them.
enum class FileOpKind {
    CreateFile,     // created, or emptied when it was there
    WriteFile,      // `bytes` written at `offset`
    FlushFile,      // the file's contents flushed to the disk
    Rename,         // `path` renamed to `to`, replacing it
    DeleteFile,
    MakeFolder,
    RemoveFolder,
    FlushFolder,    // the folder's entries flushed to the disk
};
struct FileOp {
    FileOpKind kind = FileOpKind::CreateFile;
    std::string path;
    std::string to;                     // Rename only
    std::int64_t offset = 0;            // WriteFile only
    std::string bytes;                  // WriteFile only: what the system took
};
// While a journal is set, every change that succeeds is appended to it in the order it was made; nullptr stops.
void PlatformRecordFileOps(std::vector<FileOp>* journal);
// Reads of `path` fail with an input/output error once `afterBytes` bytes of it were read, as on a failing disk;
// an empty path ends it.
void PlatformFailReads(const std::string& path, std::int64_t afterBytes);
// Counts the steps of the file layer (see PlatformTakeFileError) from this call on and makes step `step` (1 is the
// next one) fail with `error` as the system would report it: EIO a failing disk, ENOSPC a full disk, EROFS a
// read-only folder. With `everyLater` every later step fails too. Step 0 only counts; a negative step ends it.
void PlatformFailFileStep(std::int64_t step, int error, bool everyLater = false);
std::int64_t PlatformFileStepsTaken();  // steps tried since PlatformFailFileStep, the failed ones included
