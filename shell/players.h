// Players and their statistics. Each player has a pack file (name + ".alp", the pack chosen last) in the data
// folder and, in every pack played, a statistics file (name + ".sts", 8004 bytes) in the pack's folder of the data
// folder (for a shipped pack read from the program folder, a folder of the same name in the data folder).
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/list.h"

inline constexpr int StatsSlots = 999;                 // level slots in every statistics file, whatever the pack
inline constexpr std::size_t StatsFileSize = 8004;
inline constexpr std::int32_t DefaultRecordPerLevel = 10000;
inline constexpr const char* DefaultRecordHolder = "Orlo Software";

// One statistics file as stored: level number, then (wins, best) pairs for levels 1..999, then the two flags.
struct StatsRecord {
    std::int32_t levelNumber = 0;
    std::array<std::int32_t, StatsSlots + 1> wins{};   // [1..999]; [0] unused
    std::array<std::int32_t, StatsSlots + 1> best{};   // [1..999]; [0] unused
    std::int32_t finished = 0;
    std::int32_t perfect = 0;
};
// A file shorter than 8004 bytes reads what is there; the rest is 0.
StatsRecord DecodeStats(const std::string& bytes);
std::string EncodeStats(const StatsRecord& stats);
// The rewrite after an editor change at level `level`: 0 deleted, 1 swapped with the one before, 2 with the one after.
// False (record unchanged) when the mode or level does not name a possible change.
bool ShiftStatsRecord(StatsRecord& stats, int mode, std::int32_t level);

// For the run; rebuilt by ListPlayers() at start-up and on the menu's play choice.
extern List<std::string> PlayerList;    // player names, sorted

// The current player's statistics in the current pack; loaded when a pack is started, saved after each level.
extern std::array<std::int32_t, StatsSlots + 1> LevelWins;   // [1..999]: completions of level i, 0 = uncompleted
extern std::array<std::int32_t, StatsSlots + 1> LevelBest;   // [1..999]: best score on level i
extern std::int32_t PackFinished;       // -1 once the pack's last level was completed
extern std::int32_t PackPerfect;        // -1 once every level of the pack was completed

// Records of the current pack, recomputed when a pack is chosen, after a completed level and at every level load.
extern std::int32_t PackRecordScore;
extern std::string PackRecordHolder;
extern std::int32_t LevelRecordScore;
extern std::string LevelRecordHolder;

void ListPlayers();
void SortPlayers();
std::string PlayerPackPath();           // data folder + current player + ".alp"; "" without a current player
std::string StatsPath();                // statistics folder + current player + ".sts"; "" when either is missing
bool SavePlayerPack();
void LoadPlayerPack();
// Deletes the player's statistics and best runs in every pack, then the pack file. False, with the player still
// listed and a message raised, when one of the player's files will not go.
bool DeletePlayer();
void LoadStats();
// False when there is nothing to save or the file was unreadable; a write that fails also raises a message.
bool SaveStats();
std::int32_t PlayerPackTotal();
std::int32_t CountUncompleted();
std::int32_t CountSkipped(int mode);
void ComputePackRecord();
void ComputeLevelRecord();
// The editor's change at LevelNumber followed in every player's statistics file and best run (shell/best_runs.h) of
// the pack; false (and a message) when a file could not be written.
bool ShiftStatistics(int mode);
