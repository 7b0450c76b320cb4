// Crash points of a save. The file layer records the changes one operation makes on disk (PlatformRecordFileOps);
// the replay puts a copy of the folder as it was before back on disk as a stop after each change would leave it,
// lets the game's own readers load it, and checks that each file is its complete old or its complete new version.
//
// A stop is replayed in two ways:
// - in order: every change up to the stop reached the disk, and a write cut at the stop reached it in part (the
//   blocks before the cut whole, the block at the cut in part);
// - flushed only: a power cut drops everything not yet flushed. A file keeps the contents of its last flush (none
//   for a new file), a folder the entries of its last flush (those it had before the operation when it was not
//   flushed since). This is how a rename whose folder was never flushed comes undone.
// After the operation returned, the flushed-only state must hold the new version: the save survives a power cut.
//
// A new case (an editor or pack operation): prepare the folder, read it with ReadDiskImage, record the operation
// with RecordFileOps, and hand ReplayCrashPoints the files it changes with a reader for each, plus a statement of
// what a stop in the middle may leave across the files when the operation cannot be atomic as a whole.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

// A folder tree in memory: files and folders by their path relative to the root ("pack/anna.sts").
struct DiskImage {
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    bool operator==(const DiskImage&) const = default;
};

DiskImage ReadDiskImage(const std::filesystem::path& root);
// Empties `root` and puts the image there.
void WriteDiskImage(const std::filesystem::path& root, const DiskImage& image);

// The changes `body` makes on disk, in order.
std::vector<FileOp> RecordFileOps(const std::function<void()>& body);

// The operations applied in order to `before` (paths taken relative to `root`); `cutWrite` > 0 applies operation
// `count` + 1, a write, in part: its first `cutWrite` bytes.
DiskImage ApplyInOrder(const DiskImage& before, const std::vector<FileOp>& ops, const std::filesystem::path& root,
                       size_t count, size_t cutWrite = 0);
// What is left when the power goes after the first `count` operations and every change not flushed is lost.
DiskImage ApplyFlushedOnly(const DiskImage& before, const std::vector<FileOp>& ops, const std::filesystem::path& root,
                           size_t count);

struct CrashState {
    std::string what;                   // "stop after 3 of 6", "... inside write 4 at byte 4096", "... flushed only"
    DiskImage disk;
    bool saveReturned = false;          // the stop came after the last change: the operation was done
};
// Every state a stop could leave: after 0..n changes in order and flushed only, and inside every write.
std::vector<CrashState> CrashStates(const DiskImage& before, const std::vector<FileOp>& ops,
                                    const std::filesystem::path& root);

// A file the operation changes and how the game reads it: `load` runs the game's reader on the folder as it is on
// disk and returns what the game took from it, in a form that compares.
struct WatchedFile {
    std::string path;                   // relative to the root
    std::function<std::string()> load;
};

// For each watched file and stop: new (true) or old (false).
using CrashVersions = std::vector<bool>;

struct CrashReplay {
    size_t operations = 0;
    size_t stops = 0;                   // crash points: after each change, and inside each write
    size_t states = 0;                  // disk states loaded (each stop in order, and flushed only)
    size_t inconsistent = 0;            // states where a file was neither complete version, or failed a statement
};

// Replays `ops` (recorded on `root`, which holds the state after the operation) from `before`, and checks every
// state: each watched file is byte for byte its old or its new version (no file only where that version has none),
// and the game's reader takes from it what it took from that version; once the operation returned, the new version.
// `statement` checks what a stop leaves across the files (it adds failures itself and returns false on one).
// Prints one line for `name`: operations, crash points and states replayed, and whether all were consistent.
CrashReplay ReplayCrashPoints(
    const std::string& name, const std::filesystem::path& root, const DiskImage& before, const std::vector<FileOp>& ops,
    const std::vector<WatchedFile>& watched,
    const std::function<bool(const CrashState&, const CrashVersions&)>& statement = {});
