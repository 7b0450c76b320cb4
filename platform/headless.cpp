// The headless back end: a virtual clock, scripted input and recordings instead of a window.
#include "platform/headless.h"

#include "platform/backends.h"
#include "platform/headless_audio.h"
#include "platform/process.h"

HeadlessState Headless;

namespace {
struct HeadlessExit {
    int code;
};
}  // namespace

void HeadlessReset() {
    Headless = HeadlessState{};
    HeadlessAudioReset();
    PadReset();
}

int HeadlessRun(const std::function<void()>& body, int fallback) {
    try {
        body();
    } catch (const HeadlessExit& exit) {
        return exit.code;
    }
    return fallback;
}

void HeadlessPushKey(const std::string& key) { Headless.keys.push_back(key); }

void HeadlessPlugPad(int pad) { PadPlugged(pad); }
void HeadlessUnplugPad(int pad) { PadUnplugged(pad); }
void HeadlessPadButton(int pad, PadButton button, bool down) { PadButtonChanged(pad, button, down); }
void HeadlessPadAxis(int pad, PadAxis axis, int value) { PadAxisMoved(pad, axis, value); }

std::string HeadlessTextRow(int row) {
    std::string text;
    if (row < 1 || row > 25) return text;
    for (int column = 0; column < 40; column++) text += static_cast<char>(Headless.cells[row - 1][column].ch);
    return text;
}

namespace {

[[noreturn]] void Exit(int code) { throw HeadlessExit{code}; }

// A run is nothing but the state in `Headless`, which only HeadlessReset clears.
void Start() {}
void Stop() {}

double Clock() { return Headless.clock; }

void Idle() {
    Headless.clock += Headless.frameTime;
    if (++Headless.frame > Headless.maxFrames) Exit(124);
    if (Headless.onFrame) Headless.onFrame(Headless.frame);
}

void Sleep0() {}

void WaitUntil(double deadline) {
    if (Headless.clock < deadline) Headless.clock = deadline;
}

// The headless clock is always virtual: a fixed frame time is simply its step; switching it off keeps the step.
void SetFixedFrameTime(double seconds) {
    if (seconds > 0) Headless.frameTime = seconds;
}

// The headless clock keeps no real time: a faster pace changes nothing.
void SetRealPace(double) {}

std::string Today() { return Headless.date; }
std::uint32_t Seed() { return Headless.seed; }

std::vector<DisplayMode> DisplayModes() { return Headless.modes; }

DisplayMode DesktopMode() { return Headless.desktop; }

DisplayMode UsableArea() { return Headless.usable.width > 0 ? Headless.usable : Headless.desktop; }

bool OpenDisplay(int width, int height, DisplayKind kind) {
    for (DisplayKind refused : Headless.refusedKinds)
        if (refused == kind) return false;
    Headless.displayOpen = true;
    Headless.width = width;
    Headless.height = height;
    Headless.fullscreen = kind != DisplayKind::Window;
    Headless.displayKind = kind;
    Headless.textOpen = false;
    return true;
}

void SetSwapInterval(int interval) { Headless.swapInterval = interval; }
void SetTitle(const std::string& title) { Headless.title = title; }
void ShowPointer(bool shown) { Headless.pointerShown = shown; }

void Present() {
    Headless.lastFrame.swap(Headless.drawing);
    Headless.drawing.clear();
    if (Headless.keepFrames) Headless.frames.push_back(Headless.lastFrame);
    Idle();
}

// Without a GL context the drawing primitives describe every quad here instead.
bool HasGl() { return false; }
void RecordQuad(const QuadRecord& quad) { Headless.drawing.push_back(quad); }

std::string ReadKey() {
    if (Headless.keys.empty()) return "";
    std::string key = Headless.keys.front();
    Headless.keys.pop_front();
    return key;
}

bool KeyHeld(int scanCode) { return Headless.held[scanCode]; }
void HoldKey(int scanCode, bool held) { Headless.held[scanCode] = held; }
void PushKey(const std::string& key) { HeadlessPushKey(key); }

void Mouse(int& x, int& y, int& buttons) {
    x = Headless.mouseX;
    y = Headless.mouseY;
    buttons = Headless.mouseButtons;
}

int TakeWheel() {
    const int steps = Headless.wheel;
    Headless.wheel = 0;
    return steps;
}

void TextOpen() {
    Headless.textOpen = true;
    for (auto& row : Headless.cells)
        for (auto& cell : row) cell = TextCell{' ', 7, 0};
}

void TextPut(int row, int column, unsigned char ch, int fg, int bg) {
    Headless.cells[row - 1][column - 1] = TextCell{ch, static_cast<std::uint8_t>(fg), static_cast<std::uint8_t>(bg)};
}

// The cells are the record: there is no window to draw them in or take down (a test may say none could be had).
bool TextShow() { return !Headless.textHidden; }
void TextClose() {}

void OpenExternal(const std::string& target) { Headless.opened.push_back(target); }

ProcessHandle StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> line = {program};
    line.insert(line.end(), arguments.begin(), arguments.end());
    Headless.processesStarted.push_back(line);
    return PosixStartProcess(program, arguments);
}

void SetGameClock(double seconds) { Headless.clock = seconds; }

}  // namespace

const PlatformBackendTable& HeadlessBackend() {
    static constexpr PlatformBackendTable table{
        .Start = Start, .Stop = Stop, .Exit = Exit,
        .Clock = Clock, .Sleep0 = Sleep0, .WaitUntil = WaitUntil, .Idle = Idle,
        .SetFixedFrameTime = SetFixedFrameTime, .SetRealPace = SetRealPace, .Today = Today, .Seed = Seed,
        .DisplayModes = DisplayModes, .DesktopMode = DesktopMode, .UsableArea = UsableArea,
        .OpenDisplay = OpenDisplay,
        .SetSwapInterval = SetSwapInterval,
        .SetTitle = SetTitle, .ShowPointer = ShowPointer, .Present = Present, .HasGl = HasGl,
        .RecordQuad = RecordQuad,
        .ReadKey = ReadKey, .KeyHeld = KeyHeld, .Mouse = Mouse, .TakeWheel = TakeWheel,
        .HoldKey = HoldKey, .PushKey = PushKey,
        .TextOpen = TextOpen, .TextPut = TextPut, .TextShow = TextShow, .TextClose = TextClose,
        .OpenExternal = OpenExternal,
        .StartProcess = StartProcess, .ReadProcess = PosixReadProcess, .ProcessEnded = PosixProcessEnded,
        .StopProcess = PosixStopProcess, .SetGameClock = SetGameClock,
        .Audio = HeadlessAudioBackend,
    };
    return table;
}
