// Level progression: how a player moves through a pack from the menu. Starting a pack, which level is current,
// what a played level counts for (completions, best scores, records, the end of the pack), when a level may be
// skipped, and how the hidden pack gets unlocked. The screens that call these are the menu's (shell/menu.h).
#pragma once

#include <cstdint>
#include <string>

#include "base/list.h"

// After a player was chosen (screens 16 and -16): straight to the level screen with one pack, else the pack choice.
void ContinueWithPack();
// Screen 13 with five or more packs: the previous (-1) or next (+1) pack.
void StepPack(std::int32_t delta);
// After a choice of difficulty (screen 28).
void StartPack();
void GoToLevelOne();
void GoToFirstUncompleted();
void NextLevel();
void PreviousLevel();
// Screen 14: play the current level and count what it earned.
void PlayCurrentLevel();
// Screen 14: skip the level (refused with nine or more earlier levels unsolved) or go on to the next.
void SkipOrNext();
// Back to the main screen over the menu background.
void BackToMain();
// Building screen 27 (unlocks the hidden pack once every level is solved), and any key on it.
void PackFinishedBuild();
void PackFinishedKey();

// ---- Lost attempts ---------------------------------------------------------------------------------------------
// Every ball a player loses on a pack's level played from the level screen (a death or a time-up) counts against
// that player, pack and level. From the third on, the level screen offers to watch how the level is done
// (shell/demo.h). The counts last as long as the game runs: a new session starts each level afresh, and completing
// a level forgets its count.
constexpr std::int32_t AttemptsBeforeDemo = 3;
struct LostAttempt {
    std::string player, pack;
    std::int32_t level = 0;
    std::int32_t balls = 0;
};
struct LostAttempts {                   // for the run (the session); never reset while the game runs
    List<LostAttempt> counts;
};
extern LostAttempts lostAttempts;
// The current player's lost balls on the current level of the current pack.
std::int32_t CurrentLostAttempts();
void CountLostAttempts(std::int32_t balls);
void ForgetLostAttempts();
// The level screen offers the demo.
bool DemoOffered();
