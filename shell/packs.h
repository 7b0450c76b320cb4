// Level packs: folders "lvlpck*" holding the numbered level files 001.kbx upward and one statistics file per player.
// The pack list, the current pack and the current level live here for the whole run.
//
// The shipped packs are in the program folder, the player's own in the data folder. While the two are the same
// folder that is all. When the data folder is the player's own folder, the list shows the packs of both; a pack of
// the player's with a shipped pack's name is the one played (a shipped pack that was edited is copied there first),
// and the statistics of a shipped pack go to a folder of the same name in the data folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "base/list.h"

inline constexpr const char* PackPrefix = "lvlpck";                 // every pack folder starts with it
inline constexpr const char* HiddenPackFolder = "lvlpckEpisode 4";  // listed as locked until a pack is completed
inline constexpr const char* DefaultPackFolder = "lvlpckKolbrix";   // created when there is no pack at all
inline constexpr const char* LockedSuffix = " &";                  // marks the locked hidden pack's entry
inline constexpr int MaxLevelsPerPack = 999;
// A pack folder's own file that gives its place in the pack list (below).
inline constexpr const char* PackInfoFile = "pack.txt";

// For the run; rebuilt by ListPacks() at start-up and when the hidden pack is unlocked.
extern List<std::string> PackList;      // folder names with prefix, sorted; the locked hidden pack ends with " &"
extern std::int32_t PackIndex;          // current pack in PackList
extern std::int32_t LevelNumber;        // current level of the current pack, from 1
extern std::int32_t LevelCount;         // levels of the current pack, at least 1

// Language lines of the messages on files that would not read, write or move as they should.
inline constexpr int LineDiskFull = 82, LineWriteProtected = 83, LineStatisticsNotSaved = 204,
                     LineSettingsNotSaved = 205, LinePlayerFileNotSaved = 206, LinePackNotMade = 207,
                     LinePackNotRenamed = 208, LineNotEveryFileDeleted = 209, LineNotEveryChange = 210,
                     LineInterruptedMove = 211, LineLevelFileMissing = 212;

// What a pack's "pack.txt" says: its place among the packs, and whether the pack screen points beginners to it.
// The shipped packs carry one, so that a new player meets them in the order they are meant to be played; a pack
// without one (every pack a player makes) has neither and comes after them.
//   order N      1 to 999: packs with an order come first, lowest first
//   beginners    the pack screen says, under the pack's name, that this is the pack to start with
// Lines starting with "#" and lines of any other word are skipped.
struct PackInfo {
    std::int32_t order = 0;     // 0: none
    bool beginners = false;
};
PackInfo ParsePackInfo(const std::string& text);
PackInfo ReadPackInfo(const std::string& entry);     // of the pack folder the entry plays from; {} when it has none

void ListPacks();
// The packs with an order first, in that order; then the others by name (NameKey). PackIndex stays on its pack.
void SortPacks();
// The current pack's level count: its level files 001.kbx upward, up to the first missing number (at least 1), and
// LevelNumber 1. It first repairs what a stopped move of the editor leaves: the swap file "tempinc.kbx" goes back to
// the free number it came from; when that is not clear, or a hint's swap file is left, or levels wait beyond a
// missing number, a message says so and nothing is moved.
void CountLevels();
void PreviousPack();
void NextPack();
// The editor's pack operations on the current pack. `name` is the typed display name (no prefix), trimmed.
// Each returns true when it changed something; on a file that would not change it raises a message.
bool NewPack(const std::string& name);
bool RenamePack(const std::string& name);
bool DeletePack();
// True when the folder exists (matched without regard to case); then also raises the "already exists" message.
bool PackFolderExists(const std::string& path);
// Raises the message on a file operation that failed: `line1` says what, the second line why (`error`, an error
// number as PlatformTakeFileError gives it: a full disk, a write-protected folder, any other write error),
// `line3` what now.
void RaiseFileFailure(int line1, int error, int line3);

// Helpers shared with the players' files and the level loader.
std::string LevelFileName(std::int32_t level);                 // 7 -> "007.kbx", 1234 -> "1234.kbx"
std::string CurrentPackFolder();        // the folder of the current pack's levels, ending in "/"; "" without one
std::string CurrentStatsFolder();       // data folder + current pack folder + "/"; "" without a current pack
// The folder a pack's levels are read from: the data folder's pack when it holds level files or there is no shipped
// pack of that name, otherwise the shipped one in the program folder. Ends with "/".
std::string PackFolderPath(const std::string& entry);
// True when the pack's levels are the shipped ones, read from the program folder while the data folder is elsewhere:
// a change to the pack has to copy it to the data folder first.
bool IsShippedPack(const std::string& entry);
// Copies the current shipped pack (levels, hint files and anything else beside them but statistics) into the data
// folder, so that it can be edited there. True when the pack is the player's own afterwards (or already was);
// false, with a message, when the copy failed (what was copied is removed again).
bool CopyShippedPack();
bool IsLockedPack(const std::string& entry);                   // the hidden pack's entry while locked
std::string PackFolderName(const std::string& entry);          // the entry without the locked suffix
std::string NameKey(const std::string& name);                  // lower-cased and trimmed: how names compare
// A pack or player name must stay inside the data folder and name one file: not empty, no "/", "\", "..", "*", "?".
bool SafeName(const std::string& name);
// A folder listing sorted by name (without regard to case), so that every run and every machine sees the same
// order wherever the order decides something.
std::vector<std::string> SortedListing(const std::string& folder, const std::string& pattern, ListKind kind);
// The bubble sort by NameKey shared by the pack and player lists; `index` stays on the same entry.
void SortNames(List<std::string>& list, std::int32_t& index);
