// The whole game with a game controller fed through the headless back end: the menu driven, the level played to its
// end, and the editor's cursor moved, a wall placed and one erased.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/level_file.h"
#include "shell/menu.h"
#include "shell/startup.h"
#include "tests/shell/game_fixture.h"

namespace {
constexpr int Pad = 7;
}  // namespace

// ---- The whole game with a controller ---------------------------------------------------------------------------

namespace {

// One step of a controller script: after `wait` frames, `act`.
struct Step {
    int wait;
    std::function<void()> act;
};

Step Press(PadButton button, int wait = 10) {
    return {wait, [button] { HeadlessPadButton(Pad, button, true); }};
}
Step Release(PadButton button, int wait = 1) {
    return {wait, [button] { HeadlessPadButton(Pad, button, false); }};
}
// A press and its release the next frame.
std::vector<Step> Tap(PadButton button, int wait = 10) { return {Press(button, wait), Release(button)}; }
Step Keys(const std::vector<std::string>& keys, int wait = 10) {
    return {wait, [keys] {
        for (const std::string& key : keys) HeadlessPushKey(key);
    }};
}

std::vector<Step> Join(const std::vector<std::vector<Step>>& parts) {
    std::vector<Step> steps;
    for (const auto& part : parts) steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

// Runs the game on the fixture's folder, the controller plugged in from the start, playing `steps`.
int RunWithController(FirstStartFolder& game, const std::vector<Step>& steps) {
    std::string program = game.folder.File("kolbrix");
    char* argv[] = {program.data(), nullptr};
    HeadlessPlugPad(Pad);
    Headless.maxFrames = 20000;
    std::size_t next = 0;
    std::int64_t due = steps.empty() ? 0 : steps[0].wait;
    Headless.onFrame = [&](std::int64_t frame) {
        while (next < steps.size() && frame >= due) {
            steps[next].act();
            if (++next < steps.size()) due = frame + steps[next].wait;
        }
    };
    const int code = HeadlessRun([&] { KolbrixMain(1, argv); }, -1);
    Headless.onFrame = nullptr;
    menuHooks = MenuHooks{};
    return code;
}

}  // namespace

TEST(GamepadGame, AControllerDrivesTheMenuAndPlaysTheLevelToItsEnd) {
    for (const bool stick : {false, true}) {
        SCOPED_TRACE(stick ? "left stick" : "D-pad");
        FirstStartFolder game;
        std::vector<std::string> played;
        menuHooks.levelPlayed = [&](std::int32_t level, bool completed, std::int32_t) {
            played.push_back(std::to_string(level) + (completed ? " completed" : " not completed"));
        };
        // The recorded solution of the test level: right for 150 frames, then the ball rolls into the exit.
        const std::vector<Step> push =
            stick ? std::vector<Step>{{1, [] { HeadlessPadAxis(Pad, PadAxis::LeftX, 30000); }},
                                      {150, [] { HeadlessPadAxis(Pad, PadAxis::LeftX, 0); }}}
                  : std::vector<Step>{Press(PadButton::Right, 1), Release(PadButton::Right, 150)};
        const std::vector<Step> steps = Join({
            Tap(PadButton::South, 200),        // the first language
            Tap(PadButton::South),             // Play: no player yet, the name is asked for
            {Keys({"A", "d", "a"}), Keys({"\r"}, 1)},   // names are typed on the keyboard
            Tap(PadButton::South),             // the only pack: its level screen, the cursor on Play
            Tap(PadButton::South),             // the level starts
            push,
            {{300, [] {}}},
            Tap(PadButton::East),              // the help page, the web-site screen, back to the main screen
            Tap(PadButton::Start),
            Tap(PadButton::East),
            Tap(PadButton::East),              // the quit screen, the cursor on Yes
            Tap(PadButton::South),
        });
        EXPECT_EQ(RunWithController(game, steps), 0);
        EXPECT_EQ(played, std::vector<std::string>{"1 completed"});
        EXPECT_TRUE(std::filesystem::exists(game.folder.path / "lvlpckTest" / "ada.sts"));
    }
}

TEST(GamepadGame, AControllerMovesTheEditorsCursorPlacesAndErases) {
    FirstStartFolder game;
    const std::filesystem::path level = game.folder.path / "lvlpckTest" / "001.kbx";
    const auto before = WallsOf(level);
    ASSERT_FALSE(before.empty());
    InstallEditor();
    std::vector<std::string> editor;
    menuHooks.editor = [&](const char* what) { editor.push_back(what); };
    const std::vector<Step> steps = Join({
        Tap(PadButton::South, 200),            // the first language
        Tap(PadButton::Down), Tap(PadButton::Down), Tap(PadButton::South),   // Level editor
        {Keys({"w"})},                         // the kind "wall" from the keyboard
        Tap(PadButton::Up), Tap(PadButton::South, 2),          // a wall one cell above the ball
        Tap(PadButton::Right, 2), Tap(PadButton::South, 2),    // and one right of it ...
        Tap(PadButton::West, 2),                               // ... erased again
        {Keys({"\xFF\x1F"}, 5), Keys({"\r"}, 5)},              // saved (Alt+S), the message closed
        Tap(PadButton::East),                  // nothing unsaved: back to the main screen
        Tap(PadButton::East),                  // the quit screen, the cursor on Yes
        Tap(PadButton::South),
    });
    EXPECT_EQ(RunWithController(game, steps), 0);
    EXPECT_EQ(editor, (std::vector<std::string>{"enter", "leave"}));
    auto expected = before;
    expected.emplace_back(256, 384);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(WallsOf(level), expected);
}
