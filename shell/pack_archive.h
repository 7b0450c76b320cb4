// Packs shared as one file: a level pack ("lvlpck*") or a texture pack ("txtpck*") travels as a .zip archive that
// holds the pack's folder and its files, nothing else. The archives are read and written by libarchive, in memory;
// the files go through the platform's file layer.
//
// An archive comes from anywhere, so it is checked whole before anything of it is installed, and refused whole with
// the first reason found: a name that leaves the pack (".." or an absolute path), a link or a device, two entries of
// one name, a name that is no pack file, an entry too large once unpacked, a compression ratio no pack has, too many
// entries, a damaged archive, or anything that is not one level or texture pack. Installing unpacks into a
// temporary folder in the data folder, which is removed whatever happens, and moves the pack folder into place
// only when every file is written; a pack of the same name is never touched.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Limits no real pack comes near: 999 levels with their solutions, pack.txt and a hint file per language fit the
// entry count; the largest level or texture frame fits an entry many times.
constexpr std::int32_t MaxArchiveEntries = 8192;
constexpr std::uint64_t MaxArchiveEntryBytes = 64ull << 20;
constexpr std::uint64_t MaxArchiveTotalBytes = 512ull << 20;
constexpr std::uint64_t MaxArchiveFileBytes = 256ull << 20;
// Unpacked bytes per archive byte beyond which an archive is a bomb (once it unpacks to more than a mebibyte):
// level files deflate about ten to one, pictures hardly at all.
constexpr std::uint64_t MaxCompressionRatio = 100;

enum class ArchiveRefusal : std::int32_t {
    None,
    PathLeaves,         // ".." or an absolute path
    LinkOrDevice,       // a symbolic or hard link, a device, a pipe or a socket
    DuplicateName,      // two entries of one name (letter case aside)
    BadName,            // a name that is not a file of a pack of its kind
    TooLarge,           // an entry, or all of them, over the limits; or the archive file itself
    Bomb,               // unpacks to far more than the archive holds
    TooManyEntries,
    NotAPack,           // not exactly one level or texture pack folder with at least one level or picture
    Damaged,            // libarchive cannot read it as a .zip archive
    PackExists,         // a pack of that folder name is there already
    WriteFailed,        // the files could not be written
};

// The reason as the player reads it (a language line) and as the tool prints it.
std::int32_t RefusalLine(ArchiveRefusal refusal);
const char* RefusalText(ArchiveRefusal refusal);

// A pack as an archive holds it: its folder name ("lvlpckCastle") and its files by name, in archive order.
struct PackArchive {
    std::string folder;
    std::vector<std::pair<std::string, std::string>> files;
};

// True when `name` may be a file of a pack folder called `folder`: levels "NNN.kbx", their solutions "NNN.keys"
// and hint files "NNN.xx.txt", and "pack.txt" for a level pack; "name.png" pictures for a texture pack.
bool IsPackFileName(const std::string& folder, const std::string& name);
// True for "lvlpck" or "txtpck" followed by a name the editor lets a player type.
bool IsPackFolderName(const std::string& folder);

// Reads an archive's bytes; `pack` is filled only when nothing is refused. Touches no file.
ArchiveRefusal ReadPackArchive(const std::string& bytes, PackArchive& pack);
// The archive's bytes for `pack` (entries in the order given, a fixed date, so the same pack gives the same bytes).
bool WritePackArchive(const PackArchive& pack, std::string& bytes);

// The pack files of the folder at `folderPath` (ending in "/"), named `folder`, sorted by name. Player statistics
// and the editor's temporary files are no part of what is shared.
PackArchive CollectPack(const std::string& folderPath, const std::string& folder);
// Writes `pack` as an archive to `archivePath` (through the atomic save). False when it cannot be written.
bool ExportPack(const PackArchive& pack, const std::string& archivePath);
// The archive at `archivePath` checked and installed into the data folder. `installed` is the pack folder name.
ArchiveRefusal InstallPackArchive(const std::string& archivePath, std::string& installed);

// The folder of the data folder where the editor writes exported archives: archives dropped into the data folder
// itself are installed at the next start, these are not.
std::string ExportFolder();
// At start-up, before the packs are listed: every "*.zip" in the data folder is installed, then moved to the
// data folder's "installed/" or, refused, to "refused/", so it is looked at once. A message names the last
// archive installed or refused and why.
void InstallDroppedArchives();
