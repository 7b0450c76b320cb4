#include "shell/progression.h"

#include "base/settings.h"
#include "base/sound_ids.h"
#include "gfx/board.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/best_runs.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/play_screen.h"
#include "shell/players.h"
#include "sound/sound.h"

namespace {

// After every step between levels the board is shown zoomed out behind the level screen.
constexpr double LevelScreenZoom = 0.25;
// A player may leave at most this many levels unsolved behind the one being skipped.
constexpr std::int32_t MaxSkipped = 8;
// The player who may skip freely (for trying out packs).
const char* const FreeRunPlayer = "freerun";

void Show(std::int32_t screen, std::int32_t cursor) {
    menu.MenuScreen = screen;
    menu.MenuCursor = cursor;
}

std::int32_t WinsOf(std::int32_t levelNumber) {
    if (levelNumber < 1 || levelNumber > StatsSlots) return 0;
    return LevelWins[static_cast<size_t>(levelNumber)];
}

std::string PlayerOfTheRun() {
    return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() ? PlayerList[PlayerIndex] : std::string();
}

bool CurrentPlayerIs(const char* name) {
    return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() && PlayerList[PlayerIndex] == name;
}

}  // namespace

void ContinueWithPack() {
    if (PackList.Count() < 2) {
        PackIndex = 1;
        LoadPlayerPack();
        CountLevels();
        ComputePackRecord();
        SavePlayerPack();
        LoadStats();
        GoToFirstUncompleted();
        Show(14, 2);
        LoadLevel("");
        attempt.targetZoom = LevelScreenZoom;
        return;
    }
    LoadPlayerPack();
    Show(13, PackList.Count() < 5 ? PackIndex + 1 : 2);
}

void StepPack(std::int32_t delta) {
    const std::int32_t wanted = PackIndex + delta;
    if (wanted < 1 || wanted > PackList.Count()) {
        PackIndex = wanted < 1 ? 1 : PackList.Count();
    } else {
        PackIndex = wanted;
        LevelNumber = 1;
    }
    CountLevels();
    ComputePackRecord();
}

void StartPack() {
    Show(14, 2);
    CountLevels();
    ComputePackRecord();
    SavePlayerPack();
    LoadStats();
    GoToFirstUncompleted();
    LoadLevel("");
    if (playRun.Difficulty > 1) attempt.targetZoom = LevelScreenZoom;
}

void GoToLevelOne() {
    LevelNumber = 1;
    LoadLevel("");
    attempt.targetZoom = LevelScreenZoom;
}

void GoToFirstUncompleted() {
    for (std::int32_t n = 1; n <= LevelCount; ++n) {
        if (WinsOf(n) == 0) {
            LevelNumber = n;
            break;
        }
    }
    LoadLevel("");
    attempt.targetZoom = LevelScreenZoom;
    Show(14, 2);
}

void NextLevel() {
    ++LevelNumber;
    if (LoadLevel("")) return;
    --LevelNumber;
    LoadLevel("");
}

void PreviousLevel() {
    --LevelNumber;
    if (LoadLevel("")) return;
    ++LevelNumber;
    LoadLevel("");
}

void PlayCurrentLevel() {
    view.MenuActive = 0;
    score = 0;
    attempt.displayedScore = 0;
    // Every play is recorded; a won one that beats the player's best run of the level is kept.
    RefreshBestRunOffer();
    const bool racing = ghostRaceOn && bestRunOffer.loaded.state == BestRunState::Playable;
    BestRun run;
    const bool completed = PlayRecordedLevel(CurrentLevelPath(), racing ? &bestRunOffer.loaded.run : nullptr, run);
    if (menuHooks.levelPlayed) menuHooks.levelPlayed(LevelNumber, completed, score);
    if (completed) ForgetLostAttempts();
    else CountLostAttempts(BallsLostInPlay());
    if (!completed) {
        LoadLevel("");
    } else {
        const std::int32_t played = LevelNumber;
        run.player = PlayerOfTheRun();
        SaveBestRunIfBetter(run, played);
        const size_t slot = static_cast<size_t>(played >= 1 && played <= StatsSlots ? played : 0);
        if (slot != 0) ++LevelWins[slot];
        // The best score is kept where it beats the pack's record for the level, or where there was none yet.
        if (score > LevelRecordScore) {
            if (slot != 0) LevelBest[slot] = score;
            LevelRecordScore = score;
            SaveStats();
        } else if (slot != 0 && LevelBest[slot] == 0) {
            LevelBest[slot] = score;
        }
        if (played == LevelCount && PackFinished == 0) {
            PackFinished = -1;
            if (CountUncompleted() == 0) PackPerfect = -1;
            Show(27, 5);
        } else if (CountUncompleted() == 0 && PackPerfect == 0 && PackFinished == -1) {
            PackPerfect = -1;
            Show(27, 5);
        }
        if (played == LevelCount) GoToLevelOne();
        else NextLevel();
        SaveStats();
        ComputePackRecord();
    }
    view.MenuActive = -1;
    attempt.targetZoom = LevelScreenZoom;
}

// ---- Lost attempts -------------------------------------------------------------------------------------------

LostAttempts lostAttempts;

namespace {

std::string CurrentPlayerName() {
    return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() ? PlayerList[PlayerIndex] : std::string();
}

std::string CurrentPackName() {
    return PackIndex >= 1 && PackIndex <= PackList.Count() ? PackFolderName(PackList[PackIndex]) : std::string();
}

// The count of the current player, pack and level; nullptr when there is none yet.
LostAttempt* CurrentCount() {
    const std::string player = NameKey(CurrentPlayerName()), pack = NameKey(CurrentPackName());
    for (LostAttempt& count : lostAttempts.counts)
        if (count.level == LevelNumber && NameKey(count.player) == player && NameKey(count.pack) == pack)
            return &count;
    return nullptr;
}

}  // namespace

std::int32_t CurrentLostAttempts() {
    const LostAttempt* count = CurrentCount();
    return count ? count->balls : 0;
}

void CountLostAttempts(std::int32_t balls) {
    if (balls <= 0) return;
    LostAttempt* count = CurrentCount();
    if (!count) {
        LostAttempt fresh;
        fresh.player = CurrentPlayerName();
        fresh.pack = CurrentPackName();
        fresh.level = LevelNumber;
        count = &lostAttempts.counts[lostAttempts.counts.Add(fresh)];
    }
    count->balls += balls;
}

void ForgetLostAttempts() {
    if (LostAttempt* count = CurrentCount()) count->balls = 0;
}

bool DemoOffered() { return CurrentLostAttempts() >= AttemptsBeforeDemo; }

void SkipOrNext() {
    const std::int32_t skipped = CountSkipped(0);
    if (skipped >= 1 && LevelNumber == LevelCount) {
        GoToFirstUncompleted();
    } else if (LevelNumber == LevelCount) {
        GoToLevelOne();
    } else if (WinsOf(LevelNumber) == 0 && skipped > MaxSkipped && !CurrentPlayerIs(FreeRunPlayer)) {
        Show(19, 5);
    } else {
        NextLevel();
        SaveStats();
        attempt.targetZoom = LevelScreenZoom;
    }
}

void BackToMain() {
    Show(1, 1);
    attempt.targetZoom = 1.0;
    LoadMenuBackground();
}

void PackFinishedBuild() {
    if (CountUncompleted() != 0 || BonusPackUnlocked != 0) return;
    if (SoundOn != 0) PlaySound(SoundUnlock, 0);
    menu.JustUnlocked = -1;
    BonusPackUnlocked = -1;
    ListPacks();
}

void PackFinishedKey() {
    if (CountUncompleted() == 0) {
        menu.AfterPackFinish = -1;
        Show(9, 5);
        LoadMenuBackground();
        return;
    }
    Show(14, 2);
    GoToFirstUncompleted();
}
