#include "shell/menu.h"

#include <algorithm>

#include "base/message.h"
#include "base/files.h"
#include "base/language.h"
#include "base/settings.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/best_runs.h"
#include "shell/demo.h"
#include "shell/language.h"
#include "shell/level_load.h"
#include "shell/menu_draw.h"
#include "shell/packs.h"
#include "shell/play_screen.h"
#include "shell/players.h"
#include "shell/progression.h"
#include "shell/startup.h"
#include "sound/sound.h"

MenuState menu;
MenuHooks menuHooks;
std::function<void()> runEditor;

namespace {

// Keys as the key buffer delivers them.
const std::string KeyEnter = "\r";
const std::string KeyEscape = "\x1B";
const std::string KeyBackspace = "\b";
const std::string KeyUp = "\xFF" "H";
const std::string KeyDown = "\xFF" "P";
const std::string KeyLeft = "\xFF" "K";
const std::string KeyRight = "\xFF" "M";
const std::string KeyHome = "\xFF" "G";
const std::string KeyEnd = "\xFF" "O";
const std::string KeyClose = "\xFF" "k";

constexpr double TickSeconds = 3.0;     // the lines are rebuilt at least this often, keys or not
constexpr std::size_t NameLineLimit = 8;    // the typed name and its "|": names of at most seven characters
constexpr std::int32_t ManyPlayers = 4;     // from this many players on, the player screen manages them
constexpr std::int32_t ManyPacks = 5;       // from this many packs on, the pack screen steps through them
constexpr int ShownLanguages = 4;
constexpr int LineForBeginners = 200, LineSuggestedName = 201;

// For the menu's run: the mouse press (0 none, -1 outside every line, MessagePress on a message, or the line
// pressed), the last tick, and whether the display screen changed anything.
struct MenuRun {
    std::int32_t press = 0;
    double lastTick = 0;
    bool displayChanged = false;
};
MenuRun run;
constexpr std::int32_t MessagePress = -2;

void Show(std::int32_t screen, std::int32_t cursor) {
    menu.MenuScreen = screen;
    menu.MenuCursor = cursor;
}

const std::string& Line(int n) { return LanguageText[static_cast<size_t>(n)]; }

bool NameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ';
}

std::string PlayerName() {
    return PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() ? PlayerList[PlayerIndex] : std::string();
}

std::string PackShownName(std::int32_t index) {
    if (index < 1 || index > PackList.Count()) return "_";
    const std::string& entry = PackList[index];
    const std::size_t prefix = std::string(PackPrefix).size();
    return entry.size() > prefix ? entry.substr(prefix) : entry;
}

std::string OnOff(std::int32_t flag) { return Line(flag != 0 ? 158 : 159); }

// The cursor line for the player list: the current player, or the first line when there are many players.
std::int32_t PlayerCursor(std::int32_t many) {
    return PlayerList.Count() < ManyPlayers ? PlayerIndex + 1 : many;
}

// The first player's name line offers the language's suggested name, so that Enter alone goes on; the first key
// typed replaces it. Only letters, digits and spaces of it are kept, seven at most, as typing would give.
void ToNewPlayer() {
    menu.nameLine = "|";
    menu.nameSuggested = false;
    if (PlayerList.Empty()) {
        std::string suggested;
        for (char c : Line(LineSuggestedName))
            if (NameCharacter(c) && suggested.size() + 1 < NameLineLimit) suggested += c;
        menu.nameLine = suggested + "|";
        menu.nameSuggested = !suggested.empty();
    }
    Show(15, 4);
}

// ---- The lines of each screen ---------------------------------------------------------------------------------

using Lines = std::vector<std::string>;

Lines LanguageLines() {
    Lines lines = {Line(169)};
    for (int i = 1; i <= ShownLanguages; ++i) {
        if (i > LanguageList.Count()) {
            lines.push_back("_");
            continue;
        }
        const std::string& file = LanguageList[i];
        // The last three characters go: "english.str" shows as "english.".
        lines.push_back(file.size() > 3 ? file.substr(0, file.size() - 3) : std::string());
    }
    return lines;
}

Lines DisplayLines() {
    return {Line(160), Line(Fullscreen == 1 ? 161 : 162), Line(163),
            std::to_string(ScreenWidth) + ":" + std::to_string(ScreenHeight), Line(110)};
}

Lines PackLines() {
    if (PackList.Count() < ManyPacks) return {Line(170), PackShownName(1), PackShownName(2), PackShownName(3),
                                              PackShownName(4)};
    // Under the pack's name, the pack meant for beginners says so (an orange line the cursor skips).
    const bool beginners =
        PackIndex >= 1 && PackIndex <= PackList.Count() && ReadPackInfo(PackList[PackIndex]).beginners;
    return {Line(170), PackShownName(PackIndex), beginners ? Line(LineForBeginners) + "_" : "_", Line(171), Line(172)};
}

Lines LevelLines() {
    std::string fourth;
    if (LevelNumber == LevelCount) fourth = Line(CountSkipped(0) >= 1 ? 177 : 178);
    else fourth = Line(LevelNumber >= 1 && LevelNumber <= StatsSlots && LevelWins[static_cast<size_t>(LevelNumber)] > 0
                           ? 175 : 176);
    Lines lines = {Line(173) + std::to_string(LevelNumber) + ":", Line(101), LevelNumber == 1 ? "_" : Line(174),
                   fourth, Line(179)};
    // A player who keeps losing balls here may watch how it is done.
    if (DemoOffered()) lines.push_back(Line(LineWatchHowItIsDone));
    return lines;
}

Lines PlayerLines() {
    if (PlayerList.Count() >= ManyPlayers)
        return {Line(183) + PlayerName(), Line(184), Line(185), Line(186), Line(187)};
    Lines lines = {Line(181)};
    for (int i = 1; i <= 3; ++i) lines.push_back(i <= PlayerList.Count() ? PlayerList[i] : "_");
    lines.push_back(Line(182));
    return lines;
}

Lines PackFinishedLines() {
    PackFinishedBuild();
    const std::int32_t unsolved = CountUncompleted();
    Lines lines = {Line(219) + PlayerName(), Line(220)};
    if (unsolved == 0) {
        lines.push_back(Line(221));
        lines.push_back(menu.JustUnlocked != 0 ? Line(249) : Line(222));
    } else if (unsolved == 1) {
        lines.push_back(Line(223));
        lines.push_back(Line(224));
    } else {
        lines.push_back(Line(225) + std::to_string(unsolved) + Line(226));
        lines.push_back(Line(227));
    }
    lines.push_back("WOW");
    return lines;
}

Lines NumberedLines(std::initializer_list<int> numbers) {
    Lines lines;
    for (int n : numbers) lines.push_back(Line(n));
    return lines;
}

Lines ScreenLines(std::int32_t screen) {
    switch (screen) {
        case 1: return NumberedLines({101, 102, 103, 104, 105});
        case 2: return NumberedLines({150, 151, 152, 153, 110});
        case 3: return LanguageLines();
        case 4: return DisplayLines();
        case 5: return {Line(154), Line(155) + OnOff(SoundOn), Line(156) + OnOff(MusicOn), Line(157) + OnOff(QuotesOn),
                        Line(110)};
        case 6: return NumberedLines({106, 107, 108, 109, 110});
        case 7: return {"_", Line(111), Line(112), Line(113)};
        case 8: case 9: case 10: return {"_", "_", "_", "_", "_", Line(110)};
        case 11: return NumberedLines({145, 146, 147, 148, 149});
        case 12: run.displayChanged = false; return NumberedLines({164, 165, 166, 167, 168});
        case 13: return PackLines();
        case 14: return LevelLines();
        case 15: return {"_", Line(180), "_", menu.nameLine};
        case 16: case -16: return screen == 16 ? PlayerLines() : Lines{Line(183) + PlayerName(), Line(184), Line(185),
                                                                      Line(186), Line(187)};
        case 18: return {PlayerName() + ":", Line(192), Line(193), Line(194)};
        case 19: return NumberedLines({195, 196, 197, 198, 199});
        case 26: return {Line(214), Line(215), Line(216) + PlayerName() + ":_", Line(217), Line(218)};
        case 27: return PackFinishedLines();
        case 28: return NumberedLines({244, 245, 246, 247, 248});
        default: return {};
    }
}

// ---- What each screen does with a key ----------------------------------------------------------------------------

void ChoosePlayer() {
    ListPlayers();
    if (PlayerList.Empty()) ToNewPlayer();
    else Show(16, PlayerCursor(1));
}

void ReloadLanguage() { LoadLanguage(LanguageFile); }

void StepResolution(bool forward) {
    const std::int32_t count = modeWidths.Count();
    if (count == 0) return;
    std::int32_t at = count + 1;
    for (std::int32_t i = 1; i <= count; ++i) {
        if (modeWidths[i] == ScreenWidth && modeHeights[i] == ScreenHeight) {
            at = i;
            break;
        }
    }
    at += forward ? 1 : -1;
    if (at > count) at = 1;
    if (at < 1) at = count;
    ScreenWidth = modeWidths[at];
    ScreenHeight = modeHeights[at];
    run.displayChanged = true;
}

void CreatePlayer() {
    std::string typed = menu.nameLine;
    typed.erase(std::remove(typed.begin(), typed.end(), '|'), typed.end());
    const std::string name = NameKey(typed);
    if (name.empty()) return;
    for (std::int32_t i = 1; i <= PlayerList.Count(); ++i) {
        if (NameKey(PlayerList[i]) == name) {
            PlayerIndex = i;
            Show(18, 4);
            return;
        }
    }
    PlayerIndex = PlayerList.Add(name);
    SortPlayers();
    Show(16, PlayerCursor(1));
    PackIndex = 1;
    SavePlayerPack();
}

void TypeName(const std::string& key) {
    if (menu.nameSuggested && (key == KeyBackspace || (key.size() == 1 && NameCharacter(key[0])))) {
        menu.nameLine = "|";
        menu.nameSuggested = false;
        if (key == KeyBackspace) return;
    }
    if (key == KeyBackspace) {
        if (menu.nameLine.size() > 1) menu.nameLine.erase(menu.nameLine.size() - 2, 1);
        return;
    }
    if (key.size() != 1) return;
    const char c = key[0];
    if (NameCharacter(c) && menu.nameLine.size() < NameLineLimit) menu.nameLine.insert(menu.nameLine.size() - 1, 1, c);
}

void RunEditorLoop() {
    if (!runEditor) return;
    view.MenuActive = 0;
    // The editor starts without a message (the menu takes none away while one is up); it shows what entering it
    // raises (a level that does not load).
    MessageState = 0;
    LoadLevel("");
    if (menuHooks.editor) menuHooks.editor("enter");
    do {
        runEditor();
        if (view.EditorMode == 0) {
            if (menuHooks.editor) menuHooks.editor("test");
            const std::int32_t modified = levelModified;
            score = 0;
            attempt.displayedScore = 0;
            PlayLevel();
            LoadLevel(DataFolder() + "tempedit.kbx");
            levelModified = modified;
        }
    } while (view.EditorMode != -1);
    if (menuHooks.editor) menuHooks.editor("leave");
    view.EditorMode = 0;
    view.MenuActive = -1;
    LoadMenuBackground();
}

void OpenWebPage() { PlatformOpenExternal(Line(130)); }

void Leave11() {
    if (menu.AfterPackFinish == -1) {
        menu.AfterPackFinish = 0;
        Show(1, 1);
    } else {
        Show(6, 3);
    }
}

void Answer(std::int32_t screen, const std::string& key) {
    const bool esc = key == KeyEscape;
    auto nr = [&](int n) { return key == "nr" + std::to_string(n); };
    switch (screen) {
        case 1:
            if (nr(1)) ChoosePlayer();
            else if (nr(2)) Show(6, 2);
            else if (nr(3)) RunEditorLoop();
            else if (nr(4)) Show(2, 2);
            else if (nr(5) || esc) Show(7, 3);
            return;
        case 2:
            if (nr(2)) {
                std::int32_t cursor = 2;
                for (int i = 1; i <= std::min(LanguageList.Count(), ShownLanguages); ++i)
                    if (LanguageList[i] == LanguageFile) cursor = 1 + i;
                Show(3, cursor);
            } else if (nr(3)) {
                Show(4, 2);
            } else if (nr(4)) {
                Show(5, 2);
            } else if (nr(5) || esc) {
                Show(1, 4);
            }
            return;
        case 3:
            for (int n = 2; n <= 5; ++n)
                if (nr(n) && n - 1 <= LanguageList.Count()) LanguageFile = LanguageList[n - 1];
            if (esc || nr(2) || nr(3) || nr(4) || nr(5)) {
                if (FirstRun == 0) {
                    Show(2, 2);
                } else {
                    Show(1, 1);
                    FirstRun = 0;
                }
                ReloadLanguage();
            }
            return;
        case 4: {
            std::string command = key;
            if (menu.MenuCursor == 2 && (key == KeyLeft || key == KeyRight)) command = "nr2";
            if (menu.MenuCursor == 4 && key == KeyRight) command = "nr4";
            if (menu.MenuCursor == 4 && key == KeyLeft) command = "nr4back";
            if (command == "nr2") {
                Fullscreen = Fullscreen == 1 ? 0 : 1;
                run.displayChanged = true;
            } else if (command == "nr4" || command == "nr4back") {
                StepResolution(command == "nr4");
            } else if (command == "nr5" || esc) {
                if (run.displayChanged) Show(12, 5);
                else Show(2, 3);
            }
            return;
        }
        case 5: {
            std::string command = key;
            if ((key == KeyLeft || key == KeyRight) && menu.MenuCursor >= 2 && menu.MenuCursor <= 4)
                command = "nr" + std::to_string(menu.MenuCursor);
            if (command == "nr2") ToggleSound();
            else if (command == "nr3") ToggleMusic();
            else if (command == "nr4") ToggleQuotes();
            else if (command == "nr5" || esc) Show(2, 4);
            return;
        }
        case 6:
            if (nr(2)) Show(10, 5);
            else if (nr(3)) Show(9, 5);
            else if (nr(4)) Show(8, 6);
            else if (nr(5) || esc) Show(1, 2);
            return;
        case 7:
            if (nr(3)) Quit();
            if (nr(4) || esc) Show(1, 5);
            return;
        case 8: Show(6, 4); return;
        case 9: Show(11, 4); return;
        case 10: Show(6, 2); return;
        case 11:
            if (nr(4)) OpenWebPage();
            if (nr(4) || nr(5) || esc) Leave11();
            return;
        case 12: Show(2, 3); return;
        case 13:
            if (PackList.Count() < ManyPacks) {
                for (int n = 2; n <= 5; ++n) {
                    if (nr(n)) {
                        PackIndex = n - 1;
                        Show(28, 2);
                    }
                }
            } else if (nr(2)) {
                Show(28, 2);
            } else if (nr(4)) {
                StepPack(-1);
            } else if (nr(5)) {
                StepPack(1);
            }
            if (esc) Show(1, 1);
            return;
        case 14:
            if (nr(2)) {
                PlayCurrentLevel();
            } else if (nr(3)) {
                PreviousLevel();
                attempt.targetZoom = 0.25;
            } else if (nr(4)) {
                SkipOrNext();
            } else if (nr(5) || esc) {
                BackToMain();
            } else if (nr(6) && DemoOffered()) {
                WatchLevelDemo();
            } else if (key == "w" || key == "W") {
                WatchBestRun();
            } else if (key == "g" || key == "G") {
                ghostRaceOn = !ghostRaceOn;
            }
            return;
        case 15:
            if (nr(4)) CreatePlayer();
            else if (esc) Show(1, 1);
            else TypeName(key);
            return;
        case 16:
            if (PlayerList.Count() < ManyPlayers) {
                for (int n = 2; n <= 4; ++n) {
                    if (nr(n) && n - 1 <= PlayerList.Count()) {
                        PlayerIndex = n - 1;
                        ContinueWithPack();
                        return;
                    }
                }
                if (nr(5)) Show(-16, 1);
                else if (esc) Show(1, 1);
                return;
            }
            [[fallthrough]];
        case -16: {
            std::string command = key;
            if (menu.MenuCursor == 1 && key == KeyRight) command = "nr3";
            if (menu.MenuCursor == 1 && key == KeyLeft) command = "nr2";
            if (command == "nr1") ContinueWithPack();
            else if (command == "nr2") PlayerIndex = std::max(1, PlayerIndex - 1);
            else if (command == "nr3") PlayerIndex = std::min(PlayerList.Count(), PlayerIndex + 1);
            else if (command == "nr4") ToNewPlayer();
            else if (command == "nr5") Show(26, 5);
            else if (esc) Show(1, 1);
            return;
        }
        case 18: Show(16, PlayerCursor(5)); return;
        case 19:
            if (nr(4)) GoToFirstUncompleted();
            else if (nr(5) || esc) Show(14, 2);
            return;
        case 26:
            if (nr(4)) {
                DeletePlayer();
                if (PlayerList.Empty()) Show(1, 1);
                else Show(-16, 1);
            } else if (nr(5) || esc) {
                Show(-16, 1);
            }
            return;
        case 27: PackFinishedKey(); return;
        case 28:
            playRun.Difficulty = 0;
            for (int n = 2; n <= 5; ++n) {
                if (nr(n)) {
                    playRun.Difficulty = 6 - n;
                    StartPack();
                    return;
                }
            }
            if (esc) Show(1, 1);
            return;
        default: return;
    }
}

// Screens that leave on any key (the picture pages, the notices) take a click beside the lines as one.
bool AnyKeyScreen(std::int32_t screen) {
    return screen == 8 || screen == 9 || screen == 10 || screen == 12 || screen == 18 || screen == 27;
}

// One pass of the wait: a frame, the mouse, the tick and the key buffer. "" with `tick` set when only the clock
// spoke.
}  // namespace

std::string MenuWaitPass(bool& tick) {
    view.boardCovered = MenuPictureCoversScreen(menu.MenuScreen) ? -1 : 0;
    DrawFrame();
    PlatformSleep0();
    if (MessageState == 1) {
        // The message over the menu takes the next key or click; the menu sees neither.
        tick = false;
        const bool down = (menu.buttons & 1) != 0 && menu.pointerX != -1 && menu.pointerY != -1;
        const bool clicked = !down && run.press == MessagePress;
        run.press = down ? MessagePress : 0;
        if (!PlatformReadKey().empty() || clicked) MessageState = 0;
        return "";
    }
    std::string key;
    const bool down = (menu.buttons & 1) != 0 && menu.pointerX != -1 && menu.pointerY != -1;
    if (menu.MenuHover < 1) {
        if (down) {
            run.press = -1;
        } else {
            if (run.press == -1 && menu.MenuScreen != 15) key = "mouseclick";
            run.press = 0;
        }
    } else if (!down) {
        if (run.press == menu.MenuHover) key = KeyEnter;
        run.press = 0;
    } else if (run.press == 0) {
        // A press moves the cursor; the release over the same line activates it.
        menu.MenuCursor = menu.MenuHover;
        run.press = menu.MenuHover;
    }
    const double now = PlatformClock();
    tick = now - run.lastTick > TickSeconds;
    if (tick) run.lastTick = now;
    if (key.empty()) key = PlatformReadKey();
    if (key.empty() && !SelectableLine(menu.MenuLines[std::clamp(menu.MenuCursor, 0, MenuMaxLines)])) key = "fakeup";
    return key;
}

namespace {

std::string WaitForKey() {
    for (;;) {
        bool tick = false;
        std::string key = MenuWaitPass(tick);
        if (!key.empty() || tick) return key;
    }
}

void MoveCursor(std::int32_t by) {
    const std::int32_t count = std::max(menu.MenuLineCount, 1);
    menu.MenuCursor += by;
    if (menu.MenuCursor < 1) menu.MenuCursor = count;
    if (menu.MenuCursor > count) menu.MenuCursor = 1;
}

}  // namespace

bool SelectableLine(const std::string& line) {
    if (!line.empty() && (line.back() == ':' || line.back() == '&')) return false;
    return line.find('_') == std::string::npos;
}

void BuildMenuLines() {
    const Lines lines = ScreenLines(menu.MenuScreen);
    menu.MenuLineCount = static_cast<std::int32_t>(std::min<std::size_t>(lines.size(), MenuMaxLines));
    for (int i = 1; i <= MenuMaxLines; ++i)
        menu.MenuLines[i] = i <= menu.MenuLineCount ? lines[static_cast<std::size_t>(i - 1)] : std::string();
    if (menu.MenuScreen == 14) {
        RefreshBestRunOffer();
        // The level screen shows the board zoomed out behind the panel, easing there.
        attempt.targetZoom = level.levelZoom / 2;
        attempt.playing = -1;
    }
    if (menuHooks.linesBuilt) menuHooks.linesBuilt();
}

void MenuKey(const std::string& pressed) {
    std::string key = pressed;
    const std::int32_t screen = menu.MenuScreen;
    if ((key == "m" || key == "M") && screen != 15) {
        ToggleMusic();
        return;
    }
    if (key == KeyUp || key == "fakeup") {
        MoveCursor(-1);
        if (key == "fakeup") key.clear();
    } else if (key == KeyDown) {
        MoveCursor(1);
    } else if (key == KeyHome) {
        menu.MenuCursor = 1;
    } else if (key == KeyEnd) {
        menu.MenuCursor = std::max(menu.MenuLineCount, 1);
    } else if (key == KeyEnter || (key == " " && screen != 15)) {
        key = "nr" + std::to_string(menu.MenuCursor);
    }
    // The cursor never rests on a title, a blank or a disabled line (a screen without any keeps it where it is).
    for (int tries = 0; tries < MenuMaxLines && !SelectableLine(menu.MenuLines[std::clamp(menu.MenuCursor, 0, MenuMaxLines)]);
         ++tries)
        MoveCursor(pressed == KeyUp ? -1 : 1);
    if (key == KeyClose) {
        if (screen == 14) BackToMain();
        Show(7, 3);
        return;
    }
    if (key.empty()) return;
    if (key == "mouseclick" && !AnyKeyScreen(menu.MenuScreen)) return;
    Answer(menu.MenuScreen, key);
}

void LoadMenuBackground() {
    LoadLevel(ProgramFolder() + "menubackground.kbx");
    attempt.playing = -1;
    attempt.targetZoom = 1.0;
}

void EnterMainMenu() {
    while (!PlatformReadKey().empty()) {
    }
    view.MenuActive = -1;
    frameOverlay = DrawMenuScreen;
    // A first start asks for the language with the cursor on the first one, whatever the languages that follow it.
    Show(FirstRun != 0 ? 3 : 1, FirstRun != 0 ? 2 : 1);
    run = MenuRun{};
    run.lastTick = PlatformClock();
    LoadMenuBackground();
}

void RunMainMenu() {
    EnterMainMenu();
    for (;;) {
        BuildMenuLines();
        const std::string key = WaitForKey();
        if (!key.empty()) MenuKey(key);
    }
}
