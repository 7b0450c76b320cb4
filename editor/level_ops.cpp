#include "editor/level_ops.h"

#include <algorithm>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/undo.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "shell/pack_archive.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "sound/sound.h"

namespace {

constexpr int LineEditorTitle = 71, LineLevelSaved = 72, LineClickOk = 73;
constexpr int LineExported = 273, LineInDataFolder = 274, LineNotExported = 275, LineFolderWritable = 276;
const char* const SwapFileName = "tempinc.kbx";

std::string LevelPath(std::int32_t number) { return CurrentPackFolder() + LevelFileName(number); }

void Raise(int line1, int line2, int line3 = 0) {
    RaiseMessage(LanguageText[static_cast<std::size_t>(line1)], LanguageText[static_cast<std::size_t>(line2)],
                 line3 ? LanguageText[static_cast<std::size_t>(line3)] : std::string());
}

// Loads level `number`; when it does not load, goes back to `fallback` and loads that again. The load message of
// the level that failed stays up.
void StepToLevel(std::int32_t number, std::int32_t fallback) {
    LevelNumber = number;
    const bool loaded = LoadLevel("");
    if (!loaded) {
        const std::int32_t state = MessageState;
        const std::string l1 = DialogLine1, l2 = DialogLine2, l3 = DialogLine3;
        LevelNumber = fallback;
        LoadLevel("");
        MessageState = state;
        DialogLine1 = l1;
        DialogLine2 = l2;
        DialogLine3 = l3;
    }
    ClearHistory();
}

// Swaps files `a` and `b` through `swap`. Either all three renames happen, or the ones that did are undone and the
// files are as they were.
bool SwapFiles(const std::string& a, const std::string& b, const std::string& swap) {
    if (!PlatformRenameFile(a, swap)) return false;
    if (!PlatformRenameFile(b, a)) {
        PlatformRenameFile(swap, a);
        return false;
    }
    if (!PlatformRenameFile(swap, b)) {
        PlatformRenameFile(a, b);
        PlatformRenameFile(swap, a);
        return false;
    }
    return true;
}

bool SwapLevelFiles(std::int32_t a, std::int32_t b) {
    return SwapFiles(LevelPath(a), LevelPath(b), CurrentPackFolder() + SwapFileName);
}

// A failed step of an operation that did not say so yet (a hint file that did not move, a change whose folder was
// not flushed) still gets a message.
void ReportFileErrors() {
    if (const int error = PlatformTakeFileError(); error != 0 && MessageState == 0)
        RaiseFileFailure(LineNotEveryChange, error, LineCheckFolder);
}

// The hint files beside level `number`: "NNN" + suffix, one suffix (".en.txt") per language. Number 0 names the
// swap file's ("tempinc" + suffix).
std::vector<std::string> HintSuffixes(std::int32_t number) {
    std::vector<std::string> suffixes;
    const std::string stem = ZeroPad(number, 3);
    for (const std::string& name : PlatformListFolder(CurrentPackFolder(), stem + ".*.txt", ListKind::Files))
        suffixes.push_back(name.substr(stem.size()));
    return suffixes;
}

std::string HintPath(std::int32_t number, const std::string& suffix) {
    return CurrentPackFolder() + (number == 0 ? std::string("tempinc") : ZeroPad(number, 3)) + suffix;
}

// The hint files (one per language) of levels `a` and `b` change places; one that only one level has moves across.
// A hint that will not move stays where it was, so none is ever renamed over another.
void SwapHints(std::int32_t a, std::int32_t b) {
    std::vector<std::string> suffixes = HintSuffixes(a);
    for (const std::string& suffix : HintSuffixes(b))
        if (std::find(suffixes.begin(), suffixes.end(), suffix) == suffixes.end()) suffixes.push_back(suffix);
    for (const std::string& suffix : suffixes) {
        const std::string hintA = HintPath(a, suffix), hintB = HintPath(b, suffix);
        const bool hasA = PlatformFileExists(hintA), hasB = PlatformFileExists(hintB);
        if (hasA && hasB) SwapFiles(hintA, hintB, HintPath(0, suffix));
        else if (hasA) PlatformRenameFile(hintA, hintB);
        else PlatformRenameFile(hintB, hintA);
    }
}

void MoveLevel(std::int32_t to, int statisticsMode) {
    if (!CopyShippedPack()) return;
    PlatformTakeFileError();
    if (!SwapLevelFiles(LevelNumber, to)) {
        Raise(LineLevelNotMoved, LineFilesUnchanged);
        return;
    }
    SwapHints(LevelNumber, to);
    ShiftStatistics(statisticsMode);
    LevelNumber = to;
    ReportFileErrors();
}

// Level `from` and its hint files become level `from` - 1. A hint that will not move takes the level back with it,
// so the renumbering stops before a level that is whole.
bool MoveLevelDown(std::int32_t from) {
    if (!PlatformRenameFile(LevelPath(from), LevelPath(from - 1))) return false;
    std::vector<std::string> moved;
    for (const std::string& suffix : HintSuffixes(from)) {
        if (PlatformRenameFile(HintPath(from, suffix), HintPath(from - 1, suffix))) {
            moved.push_back(suffix);
            continue;
        }
        for (const std::string& back : moved) PlatformRenameFile(HintPath(from - 1, back), HintPath(from, back));
        PlatformRenameFile(LevelPath(from - 1), LevelPath(from));
        return false;
    }
    return true;
}

}  // namespace

std::string TrimmedText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SaveEditedLevel() {
    if (!CopyShippedPack() || !SaveLevel(CurrentLevelPath())) return false;
    levelModified = 0;
    MarkSaved();
    Raise(LineEditorTitle, LineLevelSaved, LineClickOk);
    return true;
}

void NewLevel() {
    if (LevelCount >= MaxLevelsPerPack || !CopyShippedPack()) return;
    const std::int32_t oldCount = LevelCount, oldNumber = LevelNumber;
    // A new level is made with its file or not at all: when the file does not save, the level that was being
    // edited comes back with its changes, its history and its number, under the save message (an empty level
    // left under the old number would be one Alt+S away from overwriting it).
    LevelData kept = TakeLevel();
    const std::int32_t keptModified = levelModified, keptTrack = musicIndex;
    const double keptX = focusX, keptY = focusY;
    LevelCount++;
    LevelNumber = LevelCount;
    ClearLevel();
    if (!SaveLevel(CurrentLevelPath())) {
        InstallLevel(kept);
        levelModified = keptModified;
        musicIndex = keptTrack;
        focusX = keptX;
        focusY = keptY;
        LevelCount = oldCount;
        LevelNumber = oldNumber;
        return;
    }
    ClearHistory();
    levelModified = 0;
}

void EditPreviousLevel() {
    if (LevelNumber > 1) StepToLevel(LevelNumber - 1, LevelNumber);
}

void EditNextLevel() {
    if (LevelNumber < LevelCount) StepToLevel(LevelNumber + 1, LevelNumber);
}

// The levels 1, 2, ... whose files are there, counted up to the first gap.
std::int32_t ContiguousLevels() {
    std::int32_t count = 0;
    while (count < MaxLevelsPerPack && PlatformFileExists(LevelPath(count + 1))) ++count;
    return count;
}

void DeleteLevel() {
    if (!CopyShippedPack()) return;
    PlatformTakeFileError();
    if (PlatformDeleteFile(CurrentLevelPath())) {
        ShiftStatistics(0);
        for (const std::string& suffix : HintSuffixes(LevelNumber)) PlatformDeleteFile(HintPath(LevelNumber, suffix));
        const std::int32_t expected = LevelCount - 1;
        bool complete = true;
        for (std::int32_t n = LevelNumber; n <= expected && complete; ++n) complete = MoveLevelDown(n + 1);
        LevelCount = expected;
        if (!complete) {
            // A level that would not move leaves a hole: the pack ends before it, so every level it shows is there.
            LevelCount = std::max(ContiguousLevels(), 1);
            Raise(LineRenumberFailed, LinePackCounted);
        }
    } else {
        Raise(LineLevelNotDeleted, LineFilesUnchanged);
    }
    ReportFileErrors();
    if (LevelNumber > LevelCount) LevelNumber = LevelCount;
    const std::int32_t state = MessageState;
    const std::string l1 = DialogLine1, l2 = DialogLine2, l3 = DialogLine3;
    LoadLevel("");
    if (state == 1) {
        MessageState = state;
        DialogLine1 = l1;
        DialogLine2 = l2;
        DialogLine3 = l3;
    }
    ClearHistory();
}

void MoveLevelLater() {
    if (LevelNumber < LevelCount) MoveLevel(LevelNumber + 1, 2);
}

void MoveLevelEarlier() {
    if (LevelNumber > 1) MoveLevel(LevelNumber - 1, 1);
}

void PreviousPackLevel() {
    if (PackIndex <= 1) return;
    PreviousPack();
    ClearHistory();
}

void NextPackLevel() {
    if (PackIndex >= PackList.Count()) return;
    NextPack();
    ClearHistory();
}

void MakePack(const std::string& typed) {
    const std::string name = TrimmedText(typed);
    if (name.empty()) return;
    if (NewPack(name)) ClearHistory();
}

void RenameCurrentPack(const std::string& typed) {
    const std::string name = TrimmedText(typed);
    if (!name.empty()) RenamePack(name);
}

void DeleteCurrentPack() {
    if (DeletePack()) ClearHistory();
}

void OpenPackFolder() {
    if (PackIndex < 1 || PackIndex > PackList.Count()) return;
    PlatformOpenExternal(PackFolderPath(PackList[PackIndex]));
}

void ExportCurrentPack() {
    if (PackIndex < 1 || PackIndex > PackList.Count()) return;
    const std::string folder = PackFolderName(PackList[PackIndex]);
    const std::string name = folder.substr(6) + ".zip";
    const PackArchive pack = CollectPack(PackFolderPath(PackList[PackIndex]), folder);
    const bool made = PlatformFolderExists(ExportFolder()) || PlatformMakeFolder(ExportFolder());
    if (!made || !ExportPack(pack, ExportFolder() + name)) {
        Raise(LineNotExported, LineFolderWritable);
        return;
    }
    RaiseMessage(LanguageText[LineExported], name, LanguageText[LineInDataFolder]);
    PlatformOpenExternal(ExportFolder());
}
