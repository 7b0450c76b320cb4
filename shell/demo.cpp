#include "shell/demo.h"

#include <algorithm>
#include <functional>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "gfx/board.h"
#include "gfx/dialog_draw.h"
#include "gfx/display.h"
#include "gfx/draw.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "play/random.h"
#include "shell/level_load.h"
#include "shell/menu.h"
#include "shell/menu_draw.h"
#include "shell/packs.h"
#include "shell/replay.h"
#include "sound/sound.h"

namespace {

const std::string KeyEscape = "\x1B", KeyEnter = "\r", KeyClose = "\xFF" "k";
constexpr std::int32_t LevelScreen = 14, PlayLine = 2;
constexpr double LevelScreenZoom = 0.25;    // the level screen's view of the board, as progression leaves it

// The caption over the demo: a grey band at the top of the screen, one or two lines of the interface font.
constexpr std::int32_t CaptionTop = 8, CaptionLineHeight = 18, CaptionPadding = 10, CaptionZ = 11;
// The text of a dialog runs from x 15 to about 360 of its 374 pixels.
constexpr std::int32_t DialogTextWidth = 345;

const std::string& Text(int line) { return LanguageText[static_cast<std::size_t>(line)]; }

std::int64_t ScriptFrames(const List<InputSegment>& script) {
    std::int64_t frames = 0;
    for (const InputSegment& segment : script) frames += segment.frames;
    return frames;
}

// ---- The box that waits for a job ---------------------------------------------------------------------------

DialogPlace CentredDialog() {
    return {RoundEven((ActiveWidth - DialogWidth) / 2.0), RoundEven((ActiveHeight - DialogHeight) / 2.0),
            MenuMessageZ};
}

bool ClickedTheButton(int x, int y, const DialogPlace& box) {
    return x - box.x >= DialogOnlyButtonLeft && x - box.x <= DialogOnlyButtonRight &&
           y - box.y >= DialogOnlyButtonTop && y - box.y <= DialogOnlyButtonBottom;
}

// ---- Choosing the level screen's demo ---------------------------------------------------------------------------

struct DemoChoice {
    bool ready = false;
    bool cancelled = false;
    DemoSetup setup;
};

// "lvlpckX/001.kbx" -> "lvlpckX/001.keys"
std::string RecordedSolutionPath(const std::string& levelPath) {
    const std::size_t dot = levelPath.find_last_of('.');
    return (dot == std::string::npos ? levelPath : levelPath.substr(0, dot)) + ".keys";
}

bool ReadScript(const std::string& path, DemoSetup& setup) {
    std::string text;
    if (!PlatformReadFile(path, text)) return false;
    setup.keys = text;
    return true;
}

DemoChoice ChooseDemo(const std::string& levelPath) {
    DemoChoice choice;
    choice.setup.level = levelPath;
    const std::int32_t difficulty = playRun.Difficulty;
    const std::string recorded = RecordedSolutionPath(levelPath);
    if (PlatformFileExists(recorded)) {
        // Difficulty 4 (Hard) and 0 play the level as it is built, which the recordings are made for.
        std::vector<std::int32_t> tries = {difficulty};
        if (difficulty != 0 && difficulty != 4) tries.push_back(4);
        for (std::int32_t tried : tries) {
            ToolJobRequest check;
            check.kind = ToolJobKind::ReplayCheck;
            check.level = levelPath;
            check.keysPath = recorded;
            check.difficulty = tried;
            check.seed = DemoSeed;
            const ToolJobOutcome outcome = WaitForToolJob(check, Text(LineDemoGettingReady));
            if (outcome == ToolJobOutcome::Cancelled) {
                choice.cancelled = true;
                return choice;
            }
            if (outcome == ToolJobOutcome::Solved && ReadScript(recorded, choice.setup)) {
                choice.setup.difficulty = tried;
                choice.setup.atHard = tried != difficulty;
                choice.ready = true;
                return choice;
            }
        }
    }
    ToolJobRequest solve;
    solve.kind = ToolJobKind::Solve;
    solve.level = levelPath;
    solve.keysPath = DataFolder() + SolutionFileName;
    solve.difficulty = difficulty;
    solve.seed = DemoSeed;
    const ToolJobOutcome outcome = WaitForToolJob(solve, Text(LineLookingForAWay));
    choice.cancelled = outcome == ToolJobOutcome::Cancelled;
    if (outcome == ToolJobOutcome::Solved && ReadScript(solve.keysPath, choice.setup)) {
        choice.setup.difficulty = difficulty;
        choice.ready = true;
    } else {
        RaiseToolJobMessage();
    }
    if (PlatformFileExists(solve.keysPath)) PlatformDeleteFile(solve.keysPath);
    return choice;
}

}  // namespace

void DrawCaption(const std::vector<std::string>& lines) {
    std::int32_t width = 0;
    for (const std::string& line : lines) width = std::max(width, TextWidth(UiFont, line));
    const std::int32_t left = RoundEven((ActiveWidth - width) / 2.0) - CaptionPadding;
    SetColor(255, 255, 255);
    BindImage(editGrayImage.id);
    DrawQuad(left, CaptionTop, CaptionZ, width + 2 * CaptionPadding,
             static_cast<std::int32_t>(lines.size()) * CaptionLineHeight + CaptionPadding);
    for (std::size_t n = 0; n < lines.size(); ++n)
        DrawTextCentered(lines[n], CaptionTop + CaptionPadding / 2 + static_cast<std::int32_t>(n) * CaptionLineHeight,
                         255, 255, n == 0 ? 255 : 120);
    SetBlend(BlendMode::Alpha);
    SetColor(255, 255, 255);
}

ReplayResult PlayInputsInWindow(const List<InputSegment>& inputs, std::int64_t maxFrames,
                                const std::function<bool(std::int64_t frame)>& leave) {
    const double keptFrameTime = PlatformFixedFrameTime();
    const double clockBefore = PlatformClock();
    PlatformSetFixedFrameTime(1.0 / DemoFramesPerSecond);
    PlatformSetGameClock(DemoStartClock);
    lastBumpTime = -1e9;        // a bump heard before, on the clock before, silences none of the replay's own

    ReplayDevice device;
    device.hold = PlatformHoldKey;
    device.push = PlatformPushKey;
    device.setClock = PlatformSetGameClock;
    ReplayOptions options;
    options.fps = DemoFramesPerSecond;
    options.maxFrames = maxFrames;
    options.leave = leave;
    const ReplayResult result = RunReplay(inputs, options, device);

    // The game's clock goes on, as long after as the replay lasted, from the later of where it was and where the
    // replay started it: it never runs back behind a reading taken before or during the replay (the frame pacing
    // waits for the time after its last reading), and with the fixed frame time off it goes on from there in real
    // time. A pace the replay's keys set (a best run watched at 2x) ends with it.
    PlatformSetRealPace(1);
    PlatformSetGameClock(std::max(clockBefore, DemoStartClock) +
                         static_cast<double>(result.frames) / DemoFramesPerSecond);
    PlatformSetFixedFrameTime(keptFrameTime);
    return result;
}

bool PlayDemo(const DemoSetup& setup) {
    List<InputSegment> script;
    std::string error;
    if (!ParseInputScript(setup.keys, script, error)) return false;

    // The run as the tool starts it (no cheats, which would change the play), at the demo's difficulty.
    const PlayRun keptRun = playRun;
    playRun = PlayRun{};
    playRun.Difficulty = setup.difficulty;
    playRun.hudVisible = keptRun.hudVisible;
    score = 0;
    attempt.displayedScore = 0;
    SeedRandom(setup.seed);
    if (!LoadLevel(setup.level)) {
        playRun = keptRun;
        return false;
    }
    MessageState = 0;           // a texture the packs lack shows as the placeholder, as in the tool

    const std::function<void()> keptOverlay = frameOverlay;
    const bool atHard = setup.atHard;
    frameOverlay = [atHard] {
        std::vector<std::string> lines = {Text(LineDemoCaption)};
        if (atHard) lines.push_back(Text(LineDemoAtHard));
        DrawCaption(lines);
    };
    const ReplayResult result = PlayInputsInWindow(script, ScriptFrames(script) + DemoFramesAfterScript, {});
    frameOverlay = keptOverlay;
    playRun = keptRun;
    if (menuHooks.demoPlayed) menuHooks.demoPlayed(result.completed, result.frames, setup.difficulty);
    return result.completed;
}

std::string WinnableText(const SolveAnswer& answer) {
    if (answer.limit > 0)
        return ReplaceAll(ReplaceAll(Text(LineWinnableInLimit), "%1", MinutesSeconds(answer.seconds)), "%2",
                          MinutesSeconds(answer.limit));
    return ReplaceAll(Text(LineWinnableNoLimit), "%1", MinutesSeconds(answer.seconds));
}

void RaiseToolJobMessage() {
    switch (toolJob.outcome) {
        case ToolJobOutcome::NotWinnable: RaiseMessage(Text(LineNotWinnable1), Text(LineNotWinnable2), ""); break;
        case ToolJobOutcome::OutOfBudget:
            RaiseMessage(Text(LineNoAnswer1), Text(LineNoAnswer2), Text(LineNoAnswer3));
            break;
        case ToolJobOutcome::Failed:
            RaiseMessage(Text(LineNotChecked), FitWidth(toolJob.failure, DialogTextWidth),
                         toolJob.started ? "" : Text(LineToolDidNotStart));
            break;
        default: break;
    }
}

std::string FitWidth(const std::string& text, std::int32_t width) {
    std::string fitted = text;
    while (!fitted.empty() && TextWidth(UiFont, fitted) > width) fitted.pop_back();
    return fitted;
}

void WaitingBoxLines(const std::string& title, std::string lines[3]) {
    lines[0] = title;
    lines[1] = toolJob.progress;
    lines[2].clear();
    if (TextWidth(UiFont, lines[1]) <= DialogTextWidth) return;
    // The widest first part that ends at a space, the rest on the third line.
    std::size_t space = lines[1].rfind(' ');
    while (space != std::string::npos && space > 0 && TextWidth(UiFont, lines[1].substr(0, space)) > DialogTextWidth)
        space = lines[1].rfind(' ', space - 1);
    if (space == std::string::npos || space == 0) {
        lines[1] = FitWidth(lines[1], DialogTextWidth);
        return;
    }
    const std::string rest = lines[1].substr(lines[1].find_first_not_of(' ', space));
    lines[1].erase(space);
    lines[2] = FitWidth(rest, DialogTextWidth);
}

ToolJobOutcome WaitForToolJob(const ToolJobRequest& request, const std::string& title) {
    if (!StartToolJob(request)) return toolJob.outcome;
    const std::function<void()> keptOverlay = frameOverlay;
    frameOverlay = [&title] {
        std::string lines[3];
        WaitingBoxLines(title, lines);
        DialogLine1 = lines[0];
        DialogLine2 = lines[1];
        DialogLine3 = lines[2];
        DialogButton1 = Text(LineCancelEsc);
        DrawWaitBox(CentredDialog());
    };
    bool wasDown = false, pressedOnButton = false;
    while (PollToolJob() == ToolJobOutcome::Running) {
        DrawFrame();
        PlatformSleep0();
        const std::string key = PlatformReadKey();
        int x = -1, y = -1, buttons = 0;
        PlatformMouse(x, y, buttons);
        const bool down = (buttons & 1) != 0 && x != -1;
        // A click is a press and a release over the box's button.
        const bool clicked = !down && wasDown && pressedOnButton && ClickedTheButton(x, y, CentredDialog());
        if (down && !wasDown) pressedOnButton = ClickedTheButton(x, y, CentredDialog());
        wasDown = down;
        if (key == KeyEscape || key == KeyEnter || key == KeyClose || clicked) CancelToolJob();
    }
    frameOverlay = keptOverlay;
    return toolJob.outcome;
}

void WatchLevelDemo() {
    // While the tool works the board stays as the menu shows it, under the job's box in place of the menu's lines.
    const DemoChoice choice = ChooseDemo(CurrentLevelPath());
    view.MenuActive = 0;
    if (choice.ready) PlayDemo(choice.setup);
    ReturnToLevelScreen();
}

void ReturnToLevelScreen() {
    const std::int32_t message = MessageState;
    LoadLevel("");
    if (message == 1) MessageState = 1;
    view.MenuActive = -1;
    attempt.targetZoom = LevelScreenZoom;
    menu.MenuScreen = LevelScreen;
    menu.MenuCursor = PlayLine;
}
