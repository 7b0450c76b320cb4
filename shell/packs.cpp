// Level packs: listing and ordering the pack folders, counting their levels, and the editor's pack operations.
#include "shell/packs.h"

#include <algorithm>
#include <vector>

#include "base/message.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/settings.h"

List<std::string> PackList;
std::int32_t PackIndex = 0;
std::int32_t LevelNumber = 1;
std::int32_t LevelCount = 1;

namespace {

bool HasCurrentPack() { return PackIndex >= 1 && PackIndex <= PackList.Count(); }

// The leading number of a file name, as a number reader would take it: optional sign, digits, a fraction.
double LeadingValue(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') i++;
    double sign = 1;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) { sign = text[i] == '-' ? -1 : 1; i++; }
    double value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') value = value * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (i++; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++, scale /= 10) value += (text[i] - '0') * scale;
    }
    return sign * value;
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

// Every player's pack file that names the old pack names the new one afterwards, so nobody loses their place.
void RepointPlayerPackFiles(const std::string& oldFolder, const std::string& newFolder) {
    std::string key = NameKey(oldFolder);
    for (const std::string& file : SortedListing(DataFolder(), "*.alp", ListKind::Files)) {
        std::string path = DataFolder() + file;
        std::string text;
        if (!PlatformReadFile(path, text) || NameKey(FirstLine(text)) != key) continue;
        PlatformWriteFileAtomic(path, newFolder + "\n");
    }
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

std::string CurrentPackFolder() {
    return HasCurrentPack() ? DataFolder() + PackFolderName(PackList[PackIndex]) + "/" : "";
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
    for (std::string name : SortedListing(DataFolder(), std::string(PackPrefix) + "*", ListKind::Folders)) {
        if (BonusPackUnlocked == 0 && name == HiddenPackFolder) name += LockedSuffix;
        PackList.Add(name);
    }
    if (PackList.Empty()) {
        PackList.Add(DefaultPackFolder);
        PlatformMakeFolder(DataFolder() + DefaultPackFolder);
    }
    SortPacks();
    PackIndex = 1;
}

void SortPacks() { SortNames(PackList, PackIndex); }

void CountLevels() {
    int count = 0;
    if (HasCurrentPack()) {
        for (const std::string& name : PlatformListFolder(CurrentPackFolder(), "???.kbx", ListKind::Files))
            if (LeadingValue(name) > 0) count++;
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
    if (PackFolderExists(DataFolder() + folderName)) return false;
    if (!PlatformMakeFolder(DataFolder() + folderName)) return false;
    PackIndex = PackList.Add(folderName);
    LevelCount = 1;
    LevelNumber = 1;
    ClearLevel();
    SaveLevel(CurrentPackFolder() + LevelFileName(1));
    levelModified = 0;
    SortPacks();
    return true;
}

bool RenamePack(const std::string& name) {
    if (!HasCurrentPack() || !SafeName(name)) return false;
    std::string oldName = PackList[PackIndex];
    // The locked hidden pack stays as it is until it is unlocked.
    if (IsLockedPack(oldName)) return false;
    std::string newName = PackPrefix + name;
    if (LowerCase(newName) == LowerCase(oldName)) return false;
    std::string newFolder = DataFolder() + newName + "/";
    if (PackFolderExists(DataFolder() + newName)) return false;
    if (!PlatformMakeFolder(DataFolder() + newName)) return false;

    // Levels and statistics move file by file; if one will not move, the ones already moved go back, so a pack
    // is never left split over two folders.
    std::string oldFolder = DataFolder() + oldName + "/";
    std::vector<std::string> moved;
    for (const std::string& file : SortedListing(oldFolder, "*", ListKind::Files)) {
        if (PlatformRenameFile(oldFolder + file, newFolder + file)) {
            moved.push_back(file);
            continue;
        }
        for (const std::string& back : moved) PlatformRenameFile(newFolder + back, oldFolder + back);
        PlatformRemoveFolder(DataFolder() + newName);
        return false;
    }
    PlatformRemoveFolder(DataFolder() + oldName);
    RepointPlayerPackFiles(oldName, newName);
    PackList[PackIndex] = newName;
    SortPacks();
    return true;
}

bool DeletePack() {
    // The last pack is never deleted: the game always needs one to show.
    if (!HasCurrentPack() || PackList.Count() < 2) return false;
    const std::string entry = PackList[PackIndex];
    if (IsLockedPack(entry)) return false;
    std::string folder = DataFolder() + entry + "/";
    for (const std::string& file : PlatformListFolder(folder, "*", ListKind::Files)) PlatformDeleteFile(folder + file);
    PlatformRemoveFolder(DataFolder() + entry);
    PackList.RemoveAt(PackIndex);
    if (PackIndex > PackList.Count()) PackIndex = PackList.Count();
    EnterCurrentPack();
    SortPacks();
    return true;
}
