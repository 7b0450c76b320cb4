// Players, their pack files and their statistics, and the pack and level records derived from all players.
#include "shell/players.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/platform.h"
#include "base/binio.h"
#include "base/files.h"
#include "base/language.h"
#include "shell/best_runs.h"
#include "shell/packs.h"
#include "shell/settings.h"

List<std::string> PlayerList;
std::array<std::int32_t, StatsSlots + 1> LevelWins{};
std::array<std::int32_t, StatsSlots + 1> LevelBest{};
std::int32_t PackFinished = 0;
std::int32_t PackPerfect = 0;
std::int32_t PackRecordScore = 0;
std::string PackRecordHolder;
std::int32_t LevelRecordScore = 0;
std::string LevelRecordHolder;

namespace {

struct StatsFileState {                 // for the run
    // A statistics file that is there but would not read: the player starts as on a missing file, but the file
    // is not saved over until it reads again, so a failing disk does not turn the player's progress into zeros.
    std::string unreadablePath;
} statsFile;

bool HasCurrentPlayer() { return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count(); }

std::string CurrentPlayer() { return HasCurrentPlayer() ? PlayerList[PlayerIndex] : ""; }

std::string WithoutExtension(const std::string& fileName) {
    return fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : "";
}

std::int32_t ClampToI32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int64_t SumOfBest(const StatsRecord& stats) {
    std::int64_t sum = 0;
    for (int i = 1; i <= StatsSlots; i++) sum += stats.best[static_cast<size_t>(i)];
    return sum;
}

// Every statistics file of the current pack that can be read, in name order: the order in which ties are decided.
struct StatsFile { std::string fileName; StatsRecord stats; };
std::vector<StatsFile> ReadPackStats() {
    std::vector<StatsFile> files;
    std::string folder = CurrentStatsFolder();
    if (folder.empty()) return files;
    for (const std::string& name : SortedListing(folder, "*.sts", ListKind::Files)) {
        std::string bytes;
        if (PlatformReadFile(folder + name, bytes)) files.push_back({name, DecodeStats(bytes)});
    }
    return files;
}

}  // namespace

// ---- The statistics file -----------------------------------------------------------------------------------

StatsRecord DecodeStats(const std::string& bytes) {
    StatsRecord stats;
    ByteReader r = MakeReader(bytes);
    stats.levelNumber = ReadI32(r);
    for (size_t i = 1; i <= StatsSlots; i++) {
        stats.wins[i] = ReadI32(r);
        stats.best[i] = ReadI32(r);
    }
    stats.finished = ReadI32(r);
    stats.perfect = ReadI32(r);
    return stats;
}

std::string EncodeStats(const StatsRecord& stats) {
    std::string out;
    out.reserve(StatsFileSize);
    PutI32(out, stats.levelNumber);
    for (size_t i = 1; i <= StatsSlots; i++) {
        PutI32(out, stats.wins[i]);
        PutI32(out, stats.best[i]);
    }
    PutI32(out, stats.finished);
    PutI32(out, stats.perfect);
    return out;
}

bool ShiftStatsRecord(StatsRecord& stats, int mode, std::int32_t level) {
    const int c = level;
    auto& wins = stats.wins;
    auto& best = stats.best;
    auto at = [](int i) { return static_cast<size_t>(i); };
    std::int32_t& s = stats.levelNumber;
    // A level outside the slots names no change, and the neighbour of one far outside would not be a number.
    if (c < 1 || c > StatsSlots) return false;
    if (mode == 0) {
        if (s > c) s--;
        // The deleted level's numbers go; the later levels move down one and the last slot becomes empty.
        for (int i = c; i < StatsSlots; i++) {
            wins[at(i)] = wins[at(i + 1)];
            best[at(i)] = best[at(i + 1)];
        }
        wins[at(StatsSlots)] = 0;
        best[at(StatsSlots)] = 0;
        return true;
    }
    // Swapping level c with its neighbour: a and b are the two slots that trade places.
    int a, b;
    if (mode == 1) { a = c - 1; b = c; }
    else if (mode == 2) { a = c; b = c + 1; }
    else return false;
    if (a < 1 || b > StatsSlots) return false;
    if (s == a) s = b;
    else if (s == b) s = a;
    std::swap(wins[at(a)], wins[at(b)]);
    std::swap(best[at(a)], best[at(b)]);
    return true;
}

// ---- Players -----------------------------------------------------------------------------------------------

void ListPlayers() {
    PlayerList.Clear();
    for (const std::string& file : SortedListing(DataFolder(), "*.alp", ListKind::Files)) {
        std::string name = WithoutExtension(file);
        if (!name.empty()) PlayerList.Add(name);
    }
    SortPlayers();
}

void SortPlayers() { SortNames(PlayerList, PlayerIndex); }

std::string PlayerPackPath() {
    std::string name = CurrentPlayer();
    return SafeName(name) ? DataFolder() + name + ".alp" : "";
}

std::string StatsPath() {
    std::string name = CurrentPlayer();
    std::string folder = CurrentStatsFolder();
    return SafeName(name) && !folder.empty() ? folder + name + ".sts" : "";
}

bool SavePlayerPack() {
    std::string path = PlayerPackPath();
    if (path.empty() || PackIndex < 1 || PackIndex > PackList.Count()) return false;
    PlatformTakeFileError();
    if (PlatformWriteFileAtomic(path, PackList[PackIndex] + "\n")) return true;
    RaiseFileFailure(LinePlayerFileNotSaved, PlatformTakeFileError(), LineCheckFolder);
    return false;
}

void LoadPlayerPack() {
    PackIndex = 1;
    std::string path = PlayerPackPath();
    std::string text;
    if (path.empty() || !PlatformReadFile(path, text)) return;
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    // The locked hidden pack is listed with its suffix, so a remembered hidden pack is not entered before unlocking.
    std::string key = NameKey(line);
    for (int i = 1; i <= PackList.Count(); i++) {
        if (NameKey(PackList[i]) == key) {
            PackIndex = i;
            return;
        }
    }
}

bool DeletePlayer() {
    if (!HasCurrentPlayer()) return false;
    std::string name = PlayerList[PlayerIndex];
    if (SafeName(name)) {
        // The hidden pack's folder holds statistics too, locked or not. The pack file goes last: a run stopped
        // half-way still lists the player, and deleting again finishes the job. A file that will not go stops the
        // deletion there, with the player still listed, for the same reason.
        std::vector<std::string> files;
        for (const std::string& entry : PackList) {
            const std::string folder = DataFolder() + PackFolderName(entry) + "/";
            files.push_back(folder + name + ".sts");
            for (const std::string& run : BestRunFiles(folder, name)) files.push_back(run);
        }
        files.push_back(DataFolder() + name + ".alp");
        PlatformTakeFileError();
        for (const std::string& file : files) {
            if (!PlatformFileExists(file) || PlatformDeleteFile(file)) continue;
            RaiseFileFailure(LineNotEveryFileDeleted, PlatformTakeFileError(), LineCheckFolder);
            return false;
        }
        if (const int error = PlatformTakeFileError()) RaiseFileFailure(LineNotEveryChange, error, LineCheckFolder);
    }
    int count = PlayerList.Count();
    PlayerList.RemoveAt(PlayerIndex);
    if (PlayerIndex >= count) PlayerIndex = count - 1;
    return true;
}

// ---- Statistics --------------------------------------------------------------------------------------------

void LoadStats() {
    std::string path = StatsPath();
    if (path.empty()) return;
    LevelWins.fill(0);
    LevelBest.fill(0);
    PackFinished = 0;
    PackPerfect = 0;
    std::string bytes;
    statsFile.unreadablePath.clear();
    if (!PlatformReadFile(path, bytes)) {
        if (PlatformFileExists(path)) statsFile.unreadablePath = path;
        LevelNumber = 1;
        return;
    }
    StatsRecord stats = DecodeStats(bytes);
    LevelWins = stats.wins;
    LevelBest = stats.best;
    PackFinished = stats.finished;
    PackPerfect = stats.perfect;
    LevelWins[0] = LevelBest[0] = 0;
    // A damaged or empty file must not leave the player on a level that cannot exist.
    LevelNumber = stats.levelNumber >= 1 && stats.levelNumber <= StatsSlots ? stats.levelNumber : 1;
}

bool SaveStats() {
    std::string path = StatsPath();
    if (path.empty() || path == statsFile.unreadablePath) return false;
    StatsRecord stats;
    stats.levelNumber = LevelNumber;
    stats.wins = LevelWins;
    stats.best = LevelBest;
    stats.wins[0] = stats.best[0] = 0;
    stats.finished = PackFinished;
    stats.perfect = PackPerfect;
    PlatformTakeFileError();
    // A shipped pack's statistics go to a folder of its name in the player's folder, made with the first of them.
    const std::string folder = CurrentStatsFolder();
    if (!PlatformFolderExists(folder)) PlatformMakeFolder(folder);
    if (PlatformWriteFileAtomic(path, EncodeStats(stats))) return true;
    RaiseFileFailure(LineStatisticsNotSaved, PlatformTakeFileError(), LineCheckFolder);
    return false;
}

std::int32_t PlayerPackTotal() {
    std::int64_t sum = 0;
    for (size_t i = 1; i <= StatsSlots; i++) sum += LevelBest[i];
    return ClampToI32(sum);
}

std::int32_t CountUncompleted() {
    std::int32_t count = 0;
    for (int i = 1; i <= std::min<std::int32_t>(LevelCount, StatsSlots); i++)
        if (LevelWins[static_cast<size_t>(i)] == 0) count++;
    return count;
}

std::int32_t CountSkipped(int mode) {
    int last = LevelNumber - 1;
    if (mode != 0) {
        for (int i = StatsSlots; i >= 1; i--) {
            if (LevelWins[static_cast<size_t>(i)] > 0) {
                last = std::max(last, i);
                break;
            }
        }
    }
    std::int32_t count = 0;
    for (int i = 1; i <= std::min(last, StatsSlots); i++)
        if (LevelWins[static_cast<size_t>(i)] == 0) count++;
    return count;
}

void ComputePackRecord() {
    std::int64_t record = 0;
    PackRecordHolder.clear();
    for (const StatsFile& file : ReadPackStats()) {
        std::int64_t sum = SumOfBest(file.stats);
        if (sum > record) {
            record = sum;
            PackRecordHolder = WithoutExtension(file.fileName);
        }
    }
    PackRecordScore = ClampToI32(record);
    std::int64_t standard = static_cast<std::int64_t>(LevelCount) * DefaultRecordPerLevel;
    if (record < standard) {
        PackRecordHolder = DefaultRecordHolder;
        PackRecordScore = ClampToI32(standard);
    }
}

void ComputeLevelRecord() {
    LevelRecordScore = 0;
    LevelRecordHolder.clear();
    if (LevelNumber >= 1 && LevelNumber <= StatsSlots) {
        for (const StatsFile& file : ReadPackStats()) {
            std::int32_t best = file.stats.best[static_cast<size_t>(LevelNumber)];
            if (best > LevelRecordScore) {
                LevelRecordScore = best;
                LevelRecordHolder = WithoutExtension(file.fileName);
            }
        }
    }
    if (LevelRecordScore < DefaultRecordPerLevel) {
        LevelRecordHolder = DefaultRecordHolder;
        LevelRecordScore = DefaultRecordPerLevel;
    }
}

bool ShiftStatistics(int mode) {
    std::string folder = CurrentStatsFolder();
    if (folder.empty()) return true;
    // Each player's file is rewritten on its own; one that fails stays as it was and the others still follow. (The
    // file layer's error is not taken before: the editor's operation around this one takes it.)
    bool complete = true;
    for (const std::string& name : SortedListing(folder, "*.sts", ListKind::Files)) {
        std::string bytes;
        if (!PlatformReadFile(folder + name, bytes)) continue;
        StatsRecord stats = DecodeStats(bytes);
        if (!ShiftStatsRecord(stats, mode, LevelNumber)) return true;
        if (!PlatformWriteFileAtomic(folder + name, EncodeStats(stats))) complete = false;
    }
    // The best runs follow their levels; one left behind by a failure says so through its level's hash.
    if (!ShiftBestRuns(folder, mode, LevelNumber)) complete = false;
    if (!complete) RaiseFileFailure(LineStatisticsNotSaved, PlatformTakeFileError(), LineCheckFolder);
    return complete;
}
