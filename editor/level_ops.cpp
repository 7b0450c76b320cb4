#include "editor/level_ops.h"

#include <algorithm>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/undo.h"
#include "platform/platform.h"
#include "shell/level_load.h"
#include "shell/packs.h"
#include "shell/players.h"

namespace {

constexpr int LineEditorTitle = 71, LineLevelSaved = 72, LineClickOk = 73;
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

// Swaps level files `a` and `b` through the swap file. Either all three renames happen, or the ones that did are
// undone and the pack is as it was.
bool SwapLevelFiles(std::int32_t a, std::int32_t b) {
    const std::string swap = CurrentPackFolder() + SwapFileName;
    if (!PlatformRenameFile(LevelPath(a), swap)) return false;
    if (!PlatformRenameFile(LevelPath(b), LevelPath(a))) {
        PlatformRenameFile(swap, LevelPath(a));
        return false;
    }
    if (!PlatformRenameFile(swap, LevelPath(b))) {
        PlatformRenameFile(LevelPath(a), LevelPath(b));
        PlatformRenameFile(swap, LevelPath(a));
        return false;
    }
    return true;
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

void MoveLevel(std::int32_t to, int statisticsMode) {
    if (!SwapLevelFiles(LevelNumber, to)) {
        Raise(LineLevelNotMoved, LineFilesUnchanged);
        return;
    }
    // The hint files (one per language) travel with their levels.
    const std::vector<std::string> hintsA = HintSuffixes(LevelNumber), hintsB = HintSuffixes(to);
    for (const std::string& suffix : hintsA) PlatformRenameFile(HintPath(LevelNumber, suffix), HintPath(0, suffix));
    for (const std::string& suffix : hintsB) PlatformRenameFile(HintPath(to, suffix), HintPath(LevelNumber, suffix));
    for (const std::string& suffix : hintsA) PlatformRenameFile(HintPath(0, suffix), HintPath(to, suffix));
    ShiftStatistics(statisticsMode);
    LevelNumber = to;
}

}  // namespace

std::string TrimmedText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool SaveEditedLevel() {
    if (!SaveLevel(CurrentLevelPath())) return false;
    levelModified = 0;
    MarkSaved();
    Raise(LineEditorTitle, LineLevelSaved, LineClickOk);
    return true;
}

void NewLevel() {
    if (LevelCount >= MaxLevelsPerPack) return;
    const std::int32_t oldCount = LevelCount, oldNumber = LevelNumber;
    LevelCount++;
    LevelNumber = LevelCount;
    ClearLevel();
    ClearHistory();
    if (!SaveLevel(CurrentLevelPath())) {
        // No file, no level: the pack keeps its count and the editor the empty level, unsaved, at the old place.
        LevelCount = oldCount;
        LevelNumber = oldNumber;
        levelModified = -1;
        return;
    }
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
    if (PlatformDeleteFile(CurrentLevelPath())) {
        ShiftStatistics(0);
        for (const std::string& suffix : HintSuffixes(LevelNumber)) PlatformDeleteFile(HintPath(LevelNumber, suffix));
        const std::int32_t expected = LevelCount - 1;
        bool complete = true;
        for (std::int32_t n = LevelNumber; n <= expected && complete; ++n) {
            complete = PlatformRenameFile(LevelPath(n + 1), LevelPath(n));
            if (complete)
                for (const std::string& suffix : HintSuffixes(n + 1))
                    PlatformRenameFile(HintPath(n + 1, suffix), HintPath(n, suffix));
        }
        LevelCount = expected;
        if (!complete) {
            // A level that would not move leaves a hole: the pack ends before it, so every level it shows is there.
            LevelCount = std::max(ContiguousLevels(), 1);
            Raise(LineRenumberFailed, LinePackCounted);
        }
    } else {
        Raise(LineLevelNotDeleted, LineFilesUnchanged);
    }
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
    PlatformOpenExternal(DataFolder() + PackFolderName(PackList[PackIndex]));
}
