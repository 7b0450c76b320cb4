// The main menu: the program's home once start-up is over. A small state machine of text screens drawn over a
// live level (the menu background), driven by keyboard and mouse. Each screen is one row of a table: how its
// lines are built and how it answers a key. It never returns; the program ends in Quit().
//
// A line that ends with ":" or "&", or holds "_" anywhere, cannot hold the cursor; "_" alone is a blank line.
// Every activation becomes a command word "nr1" ... "nr6"; screens also answer Esc and three internal words:
// "fakeup" (move the cursor off a line that cannot hold it), "nr4back" (Left on the resolution line) and
// "mouseclick" (a click that hit no line).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr int MenuMaxLines = 6;

// ---- The menu, for the run ----------------------------------------------------------------------------------------
struct MenuState {
    std::int32_t MenuScreen = 1;            // id of the screen shown (1 ... 28, and -16)
    std::int32_t MenuCursor = 1;            // 1-based line of the cursor
    std::int32_t MenuLineCount = 0;         // lines of the screen
    std::string MenuLines[MenuMaxLines + 1];    // [1..6], rebuilt from the language texts every time the menu wakes
    std::int32_t AfterPackFinish = 0;       // -1: the web-page screen was reached from a finished pack
    std::int32_t JustUnlocked = 0;          // -1 once the hidden pack was unlocked in this run
    std::string nameLine = "|";             // the new player's name as typed, followed by "|"
    bool nameSuggested = false;             // nameLine holds the suggested name: the first key typed replaces it
    // Written by the menu drawing every frame.
    std::int32_t MenuHover = 0;             // the line under the pointer, 0 when none
    int pointerX = -1, pointerY = -1;       // -1 outside the window
    int buttons = 0;                        // bit 0 left, 1 right, 2 middle
};
extern MenuState menu;

// ---- Hooks for tools (empty in the game) ------------------------------------------------------------------------
struct MenuHooks {
    std::function<void()> linesBuilt;       // after every rebuild of the lines
    std::function<void(std::int32_t level, bool completed, std::int32_t score)> levelPlayed;
    // "enter", "leave", "test"; "Can it be won?": "check", then "winnable", "not winnable", "budget", "failed" or
    // "cancelled", and "watch" when the solution is watched
    std::function<void(const char* what)> editor;
    // A demo has ended (shell/demo.h): reached the exit or not, its frames, the difficulty it was played at.
    std::function<void(bool completed, std::int64_t frames, std::int32_t difficulty)> demoPlayed;
    // A best run was watched from the level screen (shell/best_runs.h): reached the exit or not, its frames.
    std::function<void(bool completed, std::int64_t frames)> bestRunWatched;
};
extern MenuHooks menuHooks;
// The level editor, installed by the program's entry (the editor sits above the menu). It edits the level in memory
// and returns with EditorMode 0 for a test play or -1 to leave.
extern std::function<void()> runEditor;

// ---- Operations ---------------------------------------------------------------------------------------------------
[[noreturn]] void RunMainMenu();
// The menu's entry: the key buffer emptied, the first screen (the language screen after a first run), the menu
// background loaded and the menu's overlay installed on the frame.
void EnterMainMenu();
// One pass of the menu's wait: a frame, then the mouse (a press moves the cursor, the release over the same line
// gives Enter), the three-second tick and the key buffer. "" when nothing came; `tick` says whether the tick did.
std::string MenuWaitPass(bool& tick);
// The lines of the current screen into menu.MenuLines and menu.MenuLineCount.
void BuildMenuLines();
// Answers one key or command word on the current screen (what one pass of the menu loop does after reading it).
void MenuKey(const std::string& key);
// Whether a line can hold the cursor.
bool SelectableLine(const std::string& line);
// Loads "menubackground.kbx" and lets the view ease over it, as at the menu's entry.
void LoadMenuBackground();
