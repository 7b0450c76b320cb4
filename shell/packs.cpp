// Level packs: listing and ordering the pack folders, counting their levels, and the editor's pack operations.
#include "shell/packs.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <vector>

#include "base/language.h"
#include "base/message.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "sound/sound.h"

List<std::string> PackList;
std::int32_t PackIndex = 0;
std::int32_t LevelNumber = 1;
std::int32_t LevelCount = 1;

namespace {

constexpr int LineNothingChanged = 230, LineEndsBeforeGap = 235;
// The editor's moves swap two level files through this file (editor/level_ops.cpp); hint files through
// "tempinc" + their suffix.
constexpr const char* SwapFileName = "tempinc.kbx";

bool HasCurrentPack() { return PackIndex >= 1 && PackIndex <= PackList.Count(); }

const std::string& Text(int line) { return LanguageText[static_cast<size_t>(line)]; }

// The number of a level file's name ("007.kbx" -> 7, in any case), 0 for any other name.
int LevelFileNumber(const std::string& name) {
    if (name.size() != 7 || LowerCase(name.substr(3)) != ".kbx") return 0;
    int number = 0;
    for (size_t i = 0; i < 3; i++) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return 0;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// [n] is true when level file n is in the folder (1..999).
std::vector<bool> LevelFilesIn(const std::string& folder) {
    std::vector<bool> present(static_cast<size_t>(MaxLevelsPerPack) + 2, false);
    for (const std::string& name : PlatformListFolder(folder, "???.kbx", ListKind::Files))
        if (int number = LevelFileNumber(name)) present[static_cast<size_t>(number)] = true;
    return present;
}

// A move of a level swaps two neighbouring files through the swap file, so a move that stopped half-way leaves the
// swap file and one of the two numbers free: the swap file goes back to that number, and the pack is whole again
// (in the old order, or in the new one when the stop came after the second rename). When more than one number
// below the last level is free, or the pack is full, it is not clear where the file belongs: it stays.
void PutBackSwapFile(const std::string& folder, std::vector<bool>& present) {
    if (!PlatformFileExists(folder + SwapFileName)) return;
    int last = MaxLevelsPerPack;
    while (last > 0 && !present[static_cast<size_t>(last)]) last--;
    std::vector<int> free;
    for (int n = 1; n < last; n++)
        if (!present[static_cast<size_t>(n)]) free.push_back(n);
    const int target = free.empty() ? last + 1 : free.size() == 1 ? free[0] : 0;
    if (target >= 1 && target <= MaxLevelsPerPack &&
        PlatformRenameFile(folder + SwapFileName, folder + LevelFileName(target)))
        present[static_cast<size_t>(target)] = true;
}

// A swap file that could not be put back, or a hint file's (which level it belongs to cannot be told from the
// files): the message names it and the file stays for the player to look at.
void ReportLeftoverSwapFiles(const std::string& folder, const std::string& packName) {
    for (const std::string& name : PlatformListFolder(folder, "tempinc.*", ListKind::Files))
        RaiseMessage(Text(LineInterruptedMove), packName + "/" + name, Text(LineCheckFolder));
}

// The second line of a failure message: what the disk said.
int ErrorLine(int error) {
    if (error == ENOSPC || error == EDQUOT) return LineDiskFull;
    if (error == EROFS || error == EACCES || error == EPERM) return LineWriteProtected;
    return LineWriteError;
}

std::string FirstLine(const std::string& text) {
    size_t end = text.find_first_of("\r\n");
    return end == std::string::npos ? text : text.substr(0, end);
}

// Makes the pack at PackIndex the one shown: level 1, its level count, and the level itself loaded.
void EnterCurrentPack() {
    LevelNumber = 1;
    CountLevels();
    LoadLevel("");
}

// The same, where a message already up says more than one the loading might raise.
void EnterCurrentPackKeepingMessage() {
    const std::int32_t state = MessageState;
    const std::string l1 = DialogLine1, l2 = DialogLine2, l3 = DialogLine3;
    EnterCurrentPack();
    if (state != 1) return;
    MessageState = state;
    DialogButton1 = Text(LineOk);
    DialogLine1 = l1;
    DialogLine2 = l2;
    DialogLine3 = l3;
}

// A pack's files in the order they are deleted: the levels from the last to the first, then everything else.
std::vector<std::string> FilesInDeletionOrder(const std::string& folder) {
    std::vector<std::string> files = SortedListing(folder, "*", ListKind::Files);
    std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return LevelFileNumber(a) > LevelFileNumber(b);
    });
    return files;
}

// Every player's pack file that names the old pack names the new one afterwards, so nobody loses their place.
void RepointPlayerPackFiles(const std::string& oldFolder, const std::string& newFolder) {
    std::string key = NameKey(oldFolder);
    for (const std::string& file : SortedListing(DataFolder(), "*.alp", ListKind::Files)) {
        std::string path = DataFolder() + file;
        std::string text;
        if (!PlatformReadFile(path, text) || NameKey(FirstLine(text)) != key) continue;
        // One that fails keeps the old name: that player starts on the first pack next time.
        PlatformWriteFileAtomic(path, newFolder + "\n");
    }
}

// The pack folders of `folder`, with the hidden pack marked while it is locked.
std::vector<std::string> PackFoldersIn(const std::string& folder) {
    std::vector<std::string> names = SortedListing(folder, std::string(PackPrefix) + "*", ListKind::Folders);
    for (std::string& name : names)
        if (BonusPackUnlocked == 0 && name == HiddenPackFolder) name += LockedSuffix;
    return names;
}

// True when a pack folder of this name is in the data folder or, while they are apart, in the program folder (the
// first raises the "already exists" message).
bool PackNameTaken(const std::string& folderName) {
    if (PackFolderExists(DataFolder() + folderName)) return true;
    return DataFolderIsSeparate() && PackFolderExists(ProgramFolder() + folderName);
}

// A shipped pack stays as it is: changing it means making it the player's own first (editing a level does).
bool RefuseShippedPack(const std::string& entry, int line) {
    if (!IsShippedPack(entry)) return false;
    RaiseFileFailure(line, EROFS, LineNothingChanged);
    return true;
}

}  // namespace

std::vector<std::string> SortedListing(const std::string& folder, const std::string& pattern, ListKind kind) {
    std::vector<std::string> names = PlatformListFolder(folder, pattern, kind);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        std::string la = LowerCase(a), lb = LowerCase(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string LevelFileName(std::int32_t level) { return ZeroPad(level, 3) + ".kbx"; }

void RaiseFileFailure(int line1, int error, int line3) {
    RaiseMessage(Text(line1), Text(ErrorLine(error)), Text(line3));
}

std::string CurrentPackFolder() { return HasCurrentPack() ? PackFolderPath(PackList[PackIndex]) : ""; }

std::string CurrentStatsFolder() {
    return HasCurrentPack() ? DataFolder() + PackFolderName(PackList[PackIndex]) + "/" : "";
}

std::string PackFolderPath(const std::string& entry) {
    const std::string name = PackFolderName(entry);
    const std::string own = DataFolder() + name + "/";
    if (!DataFolderIsSeparate()) return own;
    // The player's folder of a shipped pack may hold only statistics; it is the pack once its first level is there
    // (a copy writes that one last, so a copy that stopped half-way leaves the shipped pack in play).
    const std::string shipped = ProgramFolder() + name + "/";
    if (PlatformFileExists(own + LevelFileName(1)) || !PlatformFolderExists(shipped)) return own;
    return shipped;
}

bool IsShippedPack(const std::string& entry) {
    return DataFolderIsSeparate() && PackFolderPath(entry) != DataFolder() + PackFolderName(entry) + "/";
}

bool CopyShippedPack() {
    if (!HasCurrentPack()) return false;
    if (!IsShippedPack(PackList[PackIndex])) return true;
    const std::string from = CurrentPackFolder(), to = CurrentStatsFolder();
    // Everything beside the levels first and level 1 last: until it is there the shipped pack stays in play.
    std::vector<std::string> files;
    for (const std::string& name : SortedListing(from, "*", ListKind::Files)) {
        const std::string lower = LowerCase(name);
        if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".sts") == 0) continue;
        if (lower != LevelFileName(1)) files.push_back(name);
    }
    files.push_back(LevelFileName(1));
    PlatformTakeFileError();
    const bool madeFolder = !PlatformFolderExists(to);
    bool complete = !madeFolder || PlatformMakeFolder(to);
    std::vector<std::string> copied;
    for (const std::string& name : files) {
        if (!complete) break;
        std::string bytes;
        // A shipped file that does not read would be a hole in the copy.
        complete = PlatformReadFile(from + name, bytes) && PlatformWriteFileAtomic(to + name, bytes);
        if (complete) copied.push_back(name);
    }
    if (complete) return true;
    int error = PlatformTakeFileError();
    if (error == 0) error = EIO;
    for (const std::string& name : copied) PlatformDeleteFile(to + name);
    if (madeFolder) PlatformRemoveFolder(to);
    RaiseFileFailure(LinePackNotMade, error, LineNothingChanged);
    return false;
}

bool IsLockedPack(const std::string& entry) { return entry == std::string(HiddenPackFolder) + LockedSuffix; }

std::string PackFolderName(const std::string& entry) { return IsLockedPack(entry) ? HiddenPackFolder : entry; }

std::string NameKey(const std::string& name) {
    const char* blanks = " \t\r\n";
    size_t first = name.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    size_t last = name.find_last_not_of(blanks);
    return LowerCase(name.substr(first, last - first + 1));
}

bool SafeName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\*?") == std::string::npos && name.find("..") == std::string::npos;
}

void SortNames(List<std::string>& list, std::int32_t& index) {
    if (list.Count() < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (int i = 2; i <= list.Count(); i++) {
            if (NameKey(list[i - 1]) <= NameKey(list[i])) continue;
            std::swap(list[i - 1], list[i]);
            if (index == i) index = i - 1;
            else if (index == i - 1) index = i;
            swapped = true;
        }
    }
}

void ListPacks() {
    PackList.Clear();
    for (const std::string& name : PackFoldersIn(DataFolder())) PackList.Add(name);
    // The shipped packs join those of the player's folder; one there under the same name is the same pack.
    if (DataFolderIsSeparate()) {
        for (const std::string& name : PackFoldersIn(ProgramFolder())) {
            const std::string key = NameKey(name);
            if (std::none_of(PackList.begin(), PackList.end(), [&](const std::string& e) { return NameKey(e) == key; }))
                PackList.Add(name);
        }
    }
    if (PackList.Empty()) {
        PackList.Add(DefaultPackFolder);
        PlatformMakeFolder(DataFolder() + DefaultPackFolder);
    }
    SortPacks();
    PackIndex = 1;
}

PackInfo ParsePackInfo(const std::string& text) {
    PackInfo info;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = NameKey(text.substr(start, end - start));
        start = end + 1;
        if (line == "beginners") {
            info.beginners = true;
        } else if (line.rfind("order ", 0) == 0) {
            // Digits only, and few enough that they cannot overflow: anything else leaves the pack without one.
            const std::string digits = NameKey(line.substr(6));
            if (digits.empty() || digits.size() > 3 ||
                digits.find_first_not_of("0123456789") != std::string::npos)
                continue;
            int order = 0;
            for (char digit : digits) order = order * 10 + (digit - '0');
            if (order >= 1) info.order = order;
        }
    }
    return info;
}

PackInfo ReadPackInfo(const std::string& entry) {
    std::string text;
    if (!PlatformReadFile(PackFolderPath(entry) + PackInfoFile, text)) return {};
    return ParsePackInfo(text);
}

void SortPacks() {
    if (PackList.Count() < 2) return;
    struct Place {
        std::int32_t rank;      // the order, or past every order for a pack without one
        std::string key;
        std::string entry;
        std::int32_t from;      // its index before the sort
    };
    std::vector<Place> places;
    for (std::int32_t i = 1; i <= PackList.Count(); ++i) {
        const PackInfo info = ReadPackInfo(PackList[i]);
        places.push_back({info.order > 0 ? info.order : 1000, NameKey(PackList[i]), PackList[i], i});
    }
    std::stable_sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return a.rank != b.rank ? a.rank < b.rank : a.key < b.key;
    });
    for (std::size_t i = 0; i < places.size(); ++i) PackList[static_cast<std::int32_t>(i + 1)] = places[i].entry;
    for (std::size_t i = 0; i < places.size(); ++i)
        if (places[i].from == PackIndex) {
            PackIndex = static_cast<std::int32_t>(i + 1);
            break;
        }
}

void CountLevels() {
    int count = 0;
    if (HasCurrentPack()) {
        const std::string folder = CurrentPackFolder();
        const std::string packName = PackFolderName(PackList[PackIndex]);
        std::vector<bool> present = LevelFilesIn(folder);
        PutBackSwapFile(folder, present);
        // Every level the pack shows is there: a missing number ends the pack, and the levels after it wait.
        while (count < MaxLevelsPerPack && present[static_cast<size_t>(count) + 1]) count++;
        if (std::find(present.begin() + count + 1, present.end(), true) != present.end()) {
            const std::string missing = packName + "/" + LevelFileName(count + 1);
            RaiseMessage(Text(LineLevelFileMissing), missing, Text(LineEndsBeforeGap));
        }
        // Raised last, so that it is the one up: it says why numbers are missing.
        ReportLeftoverSwapFiles(folder, packName);
    }
    LevelCount = count > 0 ? count : 1;
    LevelNumber = 1;
}

void PreviousPack() {
    if (PackIndex < 2 || PackIndex > PackList.Count()) return;
    if (IsLockedPack(PackList[PackIndex - 1])) {
        if (PackIndex == 2) return;
        PackIndex--;
        PreviousPack();
        return;
    }
    PackIndex--;
    EnterCurrentPack();
}

void NextPack() {
    if (PackIndex < 1 || PackIndex >= PackList.Count()) return;
    if (IsLockedPack(PackList[PackIndex + 1])) {
        if (PackIndex + 1 == PackList.Count()) return;
        PackIndex++;
        NextPack();
        return;
    }
    PackIndex++;
    EnterCurrentPack();
}

bool PackFolderExists(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    std::string parent = FolderOf(folder);
    std::string name = folder.substr(std::min(parent.size(), folder.size()));
    if (name.empty() || PlatformListFolder(parent, name, ListKind::Folders).empty()) return false;
    std::string typed = name.rfind(PackPrefix, 0) == 0 ? name.substr(6) : name;
    MessageState = 1;
    DialogButton1 = LanguageText[LineOk];
    DialogLine1 = LanguageText[LinePackExists];
    DialogLine2 = typed;
    DialogLine3 = LanguageText[LineChooseAnotherName];
    return true;
}

bool NewPack(const std::string& name) {
    if (!SafeName(name)) return false;
    std::string folderName = PackPrefix + name;
    if (PackNameTaken(folderName)) return false;
    PlatformTakeFileError();
    if (!PlatformMakeFolder(DataFolder() + folderName)) {
        RaiseFileFailure(LinePackNotMade, PlatformTakeFileError(), LineCheckFolder);
        return false;
    }
    // A pack is made with its first level or not at all: when the level does not save, the folder goes again and
    // the level in memory comes back as it was, under the save message.
    LevelData kept = TakeLevel();
    const std::int32_t keptModified = levelModified, keptTrack = musicIndex;
    ClearLevel();
    if (!SaveLevel(DataFolder() + folderName + "/" + LevelFileName(1))) {
        PlatformRemoveFolder(DataFolder() + folderName);
        InstallLevel(kept);
        levelModified = keptModified;
        musicIndex = keptTrack;
        return false;
    }
    PackIndex = PackList.Add(folderName);
    LevelCount = 1;
    LevelNumber = 1;
    levelModified = 0;
    SortPacks();
    if (const int error = PlatformTakeFileError()) RaiseFileFailure(LineNotEveryChange, error, LineCheckFolder);
    return true;
}

bool RenamePack(const std::string& name) {
    if (!HasCurrentPack() || !SafeName(name)) return false;
    std::string oldName = PackList[PackIndex];
    // The locked hidden pack stays as it is until it is unlocked.
    if (IsLockedPack(oldName)) return false;
    std::string newName = PackPrefix + name;
    if (LowerCase(newName) == LowerCase(oldName)) return false;
    if (RefuseShippedPack(oldName, LinePackNotRenamed)) return false;
    if (PackNameTaken(newName)) return false;
    // The folder is renamed as a whole, levels and statistics in it: one rename, which happens or does not, so a
    // failure or a stop never leaves the pack split over two folders.
    PlatformTakeFileError();
    if (!PlatformRenameFile(DataFolder() + oldName, DataFolder() + newName)) {
        RaiseFileFailure(LinePackNotRenamed, PlatformTakeFileError(), LineNothingChanged);
        return false;
    }
    RepointPlayerPackFiles(oldName, newName);
    PackList[PackIndex] = newName;
    // The player's copy of a shipped pack moved away: the shipped pack is listed again under its own name.
    if (DataFolderIsSeparate() && PlatformFolderExists(ProgramFolder() + oldName)) PackList.Add(oldName);
    SortPacks();
    if (const int error = PlatformTakeFileError()) RaiseFileFailure(LineNotEveryChange, error, LineCheckFolder);
    return true;
}

bool DeletePack() {
    // The last pack is never deleted: the game always needs one to show.
    if (!HasCurrentPack() || PackList.Count() < 2) return false;
    const std::string entry = PackList[PackIndex];
    if (IsLockedPack(entry)) return false;
    if (RefuseShippedPack(entry, LineNotEveryFileDeleted)) return false;
    const std::string folder = DataFolder() + entry + "/";
    // The levels go from the last to the first, then the rest, then the folder: a deletion that fails or stops
    // half-way leaves a pack that still counts its remaining levels without a gap, and deleting it again finishes.
    PlatformTakeFileError();
    int deleted = 0;
    bool complete = true;
    for (const std::string& file : FilesInDeletionOrder(folder)) {
        complete = PlatformDeleteFile(folder + file);
        if (!complete) break;
        deleted++;
    }
    complete = complete && PlatformRemoveFolder(DataFolder() + entry);
    if (!complete) {
        RaiseFileFailure(LineNotEveryFileDeleted, PlatformTakeFileError(), LineCheckFolder);
        if (deleted == 0) return false;
        EnterCurrentPackKeepingMessage();
        return true;
    }
    // Deleting the player's copy of a shipped pack brings the shipped one back in its place.
    const bool shippedStays = DataFolderIsSeparate() && PlatformFolderExists(ProgramFolder() + entry);
    if (!shippedStays) PackList.RemoveAt(PackIndex);
    if (PackIndex > PackList.Count()) PackIndex = PackList.Count();
    if (const int error = PlatformTakeFileError()) {
        RaiseFileFailure(LineNotEveryChange, error, LineCheckFolder);
        EnterCurrentPackKeepingMessage();
    } else {
        EnterCurrentPack();
    }
    SortPacks();
    return true;
}
