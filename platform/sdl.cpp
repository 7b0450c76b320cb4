// The SDL2 + OpenGL back end of the game.
#include <SDL.h>
#ifdef __GLIBC__
#endif
#include <SDL_opengl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <thread>
#include <vector>

#include "base/text_codec.h"
#include "platform/backends.h"
#include "platform/gamepad.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "platform/text_font.h"

namespace {

struct SdlRun {                         // for the whole run
    bool videoUp = false;
    bool videoFailed = false;           // no display could be reached: not asked again in this run
    SDL_Window* window = nullptr;       // the game's GL window
    SDL_GLContext context = nullptr;
    SDL_Window* textWindow = nullptr;   // the text-mode screen, before the display opens
    int textScale = 3;
    bool textDirty = true;
    unsigned char textCh[25][40] = {};
    std::uint8_t textFg[25][40] = {};
    std::uint8_t textBg[25][40] = {};
    std::deque<std::string> keys;
    bool held[256] = {};
    bool mouseInside = false;
    int wheel = 0;                      // steps since the game last asked
    int pressed = 0;                    // buttons pressed since the game last asked (bit 0 left, 1 right, 2 middle)
    int pressShown = 0;                 // those of them shown as held until the frame is presented
    Uint64 counterStart = 0;
    double counterFrequency = 1.0;
    // Fixed frame time: the game's clock is virtual and the window paces itself in real time.
    double fixedFrame = 0;
    double virtualClock = 0;
    double realNext = 0;
    double realPace = 1;                // fixed frames shown this many times as fast (a best run watched at 2x)
    // The game's clock is the real one plus this: after a fixed frame time it goes on from where the virtual clock
    // stood, so it never runs back (a frame paced from a reading of the virtual clock would wait for it otherwise).
    double clockOffset = 0;
    std::vector<SDL_GameController*> controllers;   // open while plugged in
} sdl;

// Set-1 scan codes (extended keys share the code of their keypad twin).
int SetOneCode(SDL_Scancode code) {
    switch (code) {
    case SDL_SCANCODE_ESCAPE: return 0x01;
    case SDL_SCANCODE_1: return 0x02; case SDL_SCANCODE_2: return 0x03; case SDL_SCANCODE_3: return 0x04;
    case SDL_SCANCODE_4: return 0x05; case SDL_SCANCODE_5: return 0x06; case SDL_SCANCODE_6: return 0x07;
    case SDL_SCANCODE_7: return 0x08; case SDL_SCANCODE_8: return 0x09; case SDL_SCANCODE_9: return 0x0A;
    case SDL_SCANCODE_0: return 0x0B;
    case SDL_SCANCODE_MINUS: return 0x0C; case SDL_SCANCODE_EQUALS: return 0x0D;
    case SDL_SCANCODE_BACKSPACE: return 0x0E; case SDL_SCANCODE_TAB: return 0x0F;
    case SDL_SCANCODE_Q: return 0x10; case SDL_SCANCODE_W: return 0x11; case SDL_SCANCODE_E: return 0x12;
    case SDL_SCANCODE_R: return 0x13; case SDL_SCANCODE_T: return 0x14; case SDL_SCANCODE_Y: return 0x15;
    case SDL_SCANCODE_U: return 0x16; case SDL_SCANCODE_I: return 0x17; case SDL_SCANCODE_O: return 0x18;
    case SDL_SCANCODE_P: return 0x19;
    case SDL_SCANCODE_LEFTBRACKET: return 0x1A; case SDL_SCANCODE_RIGHTBRACKET: return 0x1B;
    case SDL_SCANCODE_RETURN: case SDL_SCANCODE_KP_ENTER: return 0x1C;
    case SDL_SCANCODE_LCTRL: case SDL_SCANCODE_RCTRL: return 0x1D;
    case SDL_SCANCODE_A: return 0x1E; case SDL_SCANCODE_S: return 0x1F; case SDL_SCANCODE_D: return 0x20;
    case SDL_SCANCODE_F: return 0x21; case SDL_SCANCODE_G: return 0x22; case SDL_SCANCODE_H: return 0x23;
    case SDL_SCANCODE_J: return 0x24; case SDL_SCANCODE_K: return 0x25; case SDL_SCANCODE_L: return 0x26;
    case SDL_SCANCODE_SEMICOLON: return 0x27; case SDL_SCANCODE_APOSTROPHE: return 0x28;
    case SDL_SCANCODE_GRAVE: return 0x29; case SDL_SCANCODE_LSHIFT: return 0x2A;
    case SDL_SCANCODE_BACKSLASH: return 0x2B;
    case SDL_SCANCODE_Z: return 0x2C; case SDL_SCANCODE_X: return 0x2D; case SDL_SCANCODE_C: return 0x2E;
    case SDL_SCANCODE_V: return 0x2F; case SDL_SCANCODE_B: return 0x30; case SDL_SCANCODE_N: return 0x31;
    case SDL_SCANCODE_M: return 0x32;
    case SDL_SCANCODE_COMMA: return 0x33; case SDL_SCANCODE_PERIOD: return 0x34;
    case SDL_SCANCODE_SLASH: case SDL_SCANCODE_KP_DIVIDE: return 0x35;
    case SDL_SCANCODE_RSHIFT: return 0x36; case SDL_SCANCODE_KP_MULTIPLY: return 0x37;
    case SDL_SCANCODE_LALT: case SDL_SCANCODE_RALT: return 0x38;
    case SDL_SCANCODE_SPACE: return 0x39; case SDL_SCANCODE_CAPSLOCK: return 0x3A;
    case SDL_SCANCODE_F1: return 0x3B; case SDL_SCANCODE_F2: return 0x3C; case SDL_SCANCODE_F3: return 0x3D;
    case SDL_SCANCODE_F4: return 0x3E; case SDL_SCANCODE_F5: return 0x3F; case SDL_SCANCODE_F6: return 0x40;
    case SDL_SCANCODE_F7: return 0x41; case SDL_SCANCODE_F8: return 0x42; case SDL_SCANCODE_F9: return 0x43;
    case SDL_SCANCODE_F10: return 0x44;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 0x45; case SDL_SCANCODE_SCROLLLOCK: return 0x46;
    case SDL_SCANCODE_HOME: case SDL_SCANCODE_KP_7: return 0x47;
    case SDL_SCANCODE_UP: case SDL_SCANCODE_KP_8: return 0x48;
    case SDL_SCANCODE_PAGEUP: case SDL_SCANCODE_KP_9: return 0x49;
    case SDL_SCANCODE_KP_MINUS: return 0x4A;
    case SDL_SCANCODE_LEFT: case SDL_SCANCODE_KP_4: return 0x4B;
    case SDL_SCANCODE_KP_5: return 0x4C;
    case SDL_SCANCODE_RIGHT: case SDL_SCANCODE_KP_6: return 0x4D;
    case SDL_SCANCODE_KP_PLUS: return 0x4E;
    case SDL_SCANCODE_END: case SDL_SCANCODE_KP_1: return 0x4F;
    case SDL_SCANCODE_DOWN: case SDL_SCANCODE_KP_2: return 0x50;
    case SDL_SCANCODE_PAGEDOWN: case SDL_SCANCODE_KP_3: return 0x51;
    case SDL_SCANCODE_INSERT: case SDL_SCANCODE_KP_0: return 0x52;
    case SDL_SCANCODE_DELETE: case SDL_SCANCODE_KP_PERIOD: return 0x53;
    case SDL_SCANCODE_F11: return 0x57; case SDL_SCANCODE_F12: return 0x58;
    default: return 0;
    }
}

bool IsExtendedKey(int code) {
    return (code >= 0x3B && code <= 0x44) || code == 0x57 || code == 0x58 || code == 0x47 || code == 0x48 ||
           code == 0x49 || code == 0x4B || code == 0x4D || code == 0x4F || code == 0x50 || code == 0x51 ||
           code == 0x52 || code == 0x53;
}

// The extended code that the key buffer reports for a key with Ctrl or Alt held (PC keyboard BIOS codes), or 0.
int CombinedCode(int code, bool ctrl, bool alt, bool shift) {
    if (code >= 0x3B && code <= 0x44) {
        if (alt) return code + 0x2D;        // Alt+F1 0x68
        if (ctrl) return code + 0x23;       // Ctrl+F1 0x5E
        if (shift) return code + 0x19;      // Shift+F1 0x54
        return code;
    }
    if (code == 0x57 || code == 0x58) {
        int base = code == 0x57 ? 0x85 : 0x86;
        if (alt) return base + 6;
        if (ctrl) return base + 4;
        if (shift) return base + 2;
        return base;
    }
    if (ctrl) {
        switch (code) {
        case 0x4B: return 0x73; case 0x4D: return 0x74; case 0x4F: return 0x75; case 0x51: return 0x76;
        case 0x47: return 0x77; case 0x49: return 0x84; case 0x48: return 0x8D; case 0x50: return 0x91;
        case 0x52: return 0x92; case 0x53: return 0x93;
        default: return 0;
        }
    }
    if (alt) {
        switch (code) {
        case 0x47: return 0x97; case 0x48: return 0x98; case 0x49: return 0x99; case 0x4B: return 0x9B;
        case 0x4D: return 0x9D; case 0x4F: return 0x9F; case 0x50: return 0xA0; case 0x51: return 0xA1;
        case 0x52: return 0xA2; case 0x53: return 0xA3;
        default: break;
        }
        if (code >= 0x10 && code <= 0x32) return code;          // Alt+letter: the letter's scan code
        if (code >= 0x02 && code <= 0x0B) return code + 0x76;   // Alt+1 0x78 .. Alt+0 0x81
        if (code == 0x0C) return 0x82;
        if (code == 0x0D) return 0x83;
        return 0;
    }
    return IsExtendedKey(code) ? code : 0;
}

void PushExtended(int code) {
    std::string key = "\xFF";
    key += static_cast<char>(code);
    sdl.keys.push_back(key);
}

// UTF-8 text from the keyboard to the game's single-byte (Windows-1252) characters; others are dropped, and a
// malformed byte is skipped.
void PushText(const char* text) {
    const std::string typed = text;
    for (std::size_t at = 0; at < typed.size();) {
        char32_t c = 0;
        if (!NextUtf8(typed, at, c)) {
            ++at;
            continue;
        }
        const int byte = Windows1252Byte(c);
        if (byte >= 0x20 && byte != 0x7F) sdl.keys.push_back(std::string(1, static_cast<char>(byte)));
    }
}

void HandleKeyDown(const SDL_KeyboardEvent& key) {
    int code = SetOneCode(key.keysym.scancode);
    if (code) sdl.held[code] = true;
    SDL_Keymod mod = SDL_GetModState();
    bool ctrl = mod & KMOD_CTRL, alt = mod & KMOD_ALT, shift = mod & KMOD_SHIFT;
    SDL_Keycode sym = key.keysym.sym;
    if (alt && sym == SDLK_F4) {
        sdl.keys.push_back("\xFFk");
        return;
    }
    switch (sym) {
    case SDLK_RETURN: case SDLK_KP_ENTER: sdl.keys.push_back("\r"); return;
    case SDLK_ESCAPE: sdl.keys.push_back("\x1B"); return;
    case SDLK_BACKSPACE: sdl.keys.push_back("\b"); return;
    case SDLK_TAB:
        if (shift) PushExtended(0x0F);
        else sdl.keys.push_back("\t");
        return;
    default: break;
    }
    if (ctrl && !alt && sym >= SDLK_a && sym <= SDLK_z) {
        sdl.keys.push_back(std::string(1, static_cast<char>(sym - SDLK_a + 1)));
        return;
    }
    // Navigation keys on the keypad count as extended keys only with Num Lock off.
    bool keypadDigit = key.keysym.scancode >= SDL_SCANCODE_KP_1 && key.keysym.scancode <= SDL_SCANCODE_KP_PERIOD;
    if (keypadDigit && (mod & KMOD_NUM)) return;
    int combined = CombinedCode(code, ctrl, alt, shift);
    if (combined && (IsExtendedKey(code) || alt)) PushExtended(combined);
}

// ---- Game controllers: opened as they are plugged in, their events handed to platform/gamepad.cpp ------------

PadButton PadButtonOf(Uint8 button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::South;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::East;
    case SDL_CONTROLLER_BUTTON_X: return PadButton::West;
    case SDL_CONTROLLER_BUTTON_Y: return PadButton::North;
    case SDL_CONTROLLER_BUTTON_BACK: return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::Up;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::Down;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::Left;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::Right;
    default: return PadButton::Other;
    }
}

PadAxis PadAxisOf(Uint8 axis) {
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) return PadAxis::LeftX;
    if (axis == SDL_CONTROLLER_AXIS_LEFTY) return PadAxis::LeftY;
    return PadAxis::Other;
}

// `device` is the joystick index of the added event; the controller is known by its instance id from then on.
void OpenController(int device) {
    SDL_GameController* controller = SDL_GameControllerOpen(device);
    if (!controller) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    for (SDL_GameController* open : sdl.controllers) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(open)) == id) {
            SDL_GameControllerClose(controller);    // opened twice (added at start and reported again)
            return;
        }
    }
    sdl.controllers.push_back(controller);
    PadPlugged(id);
}

void CloseController(SDL_JoystickID id) {
    for (size_t i = 0; i < sdl.controllers.size(); i++) {
        if (SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(sdl.controllers[i])) != id) continue;
        SDL_GameControllerClose(sdl.controllers[i]);
        sdl.controllers.erase(sdl.controllers.begin() + static_cast<std::ptrdiff_t>(i));
        break;
    }
    PadUnplugged(id);
}

void PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: sdl.keys.push_back("\xFFk"); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE) sdl.keys.push_back("\xFFk");
            else if (event.window.event == SDL_WINDOWEVENT_ENTER) sdl.mouseInside = true;
            else if (event.window.event == SDL_WINDOWEVENT_LEAVE) sdl.mouseInside = false;
            else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) sdl.textDirty = true;
            break;
        case SDL_KEYDOWN: HandleKeyDown(event.key); break;
        case SDL_KEYUP: {
            int code = SetOneCode(event.key.keysym.scancode);
            if (code) sdl.held[code] = false;
            break;
        }
        case SDL_TEXTINPUT: {
            SDL_Keymod mod = SDL_GetModState();
            if (!(mod & (KMOD_CTRL | KMOD_ALT))) PushText(event.text.text);
            break;
        }
        case SDL_MOUSEMOTION: sdl.mouseInside = true; break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) sdl.pressed |= 1;
            if (event.button.button == SDL_BUTTON_RIGHT) sdl.pressed |= 2;
            if (event.button.button == SDL_BUTTON_MIDDLE) sdl.pressed |= 4;
            break;
        case SDL_MOUSEWHEEL:
            sdl.wheel += event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            break;
        case SDL_CONTROLLERDEVICEADDED: OpenController(event.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: CloseController(event.cdevice.which); break;
        case SDL_CONTROLLERBUTTONDOWN: case SDL_CONTROLLERBUTTONUP:
            PadButtonChanged(event.cbutton.which, PadButtonOf(event.cbutton.button),
                             event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        case SDL_CONTROLLERAXISMOTION:
            PadAxisMoved(event.caxis.which, PadAxisOf(event.caxis.axis), event.caxis.value);
            break;
        default: break;
        }
    }
}

// Why the display or a window could not be had goes to standard error: the player may see nothing else.
void Report(const char* what) { std::fprintf(stderr, "kolbrix: %s\n", what); }
void ReportSdlError(const char* what) { std::fprintf(stderr, "kolbrix: %s: %s\n", what, SDL_GetError()); }

// The video drivers that show nothing. SDL falls back to them by itself when it cannot reach the display, as when
// the X server turns a connection away for a moment (its queue of new connections is full while it is busy): a
// window opened there exists for SDL and never appears, and a key can never reach it.
bool ShowsNothing(const char* driver) {
    if (!driver || (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0)) return false;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");      // unless someone asked for one
    return !asked || std::strstr(asked, driver) == nullptr;
}

// Starts the video on a driver that shows something, asking again a few times over about two seconds when the
// display does not answer; false, once reported, when it never does.
bool EnsureVideo() {
    if (sdl.videoUp) return true;
    if (sdl.videoFailed) return false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    constexpr int Attempts = 8;
    for (int attempt = 1; attempt <= Attempts; attempt++) {
        if (attempt > 1) SDL_Delay(static_cast<Uint32>(50 * attempt));
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            if (attempt == Attempts) ReportSdlError("cannot reach the display");
            continue;
        }
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!ShowsNothing(driver)) {
            if (attempt > 1) std::fprintf(stderr, "kolbrix: the display answered at attempt %d\n", attempt);
            sdl.videoUp = true;
            SDL_StartTextInput();
            return true;
        }
        if (attempt == 1)
            std::fprintf(stderr, "kolbrix: the display did not answer (SDL fell back to its %s driver), asking again\n",
                         driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    }
    std::fprintf(stderr, "kolbrix: the display did not answer in %d attempts\n", Attempts);
    sdl.videoFailed = true;
    return false;
}

// The standard 16-colour text palette.
const Uint8 TextPalette[16][3] = {
    {0, 0, 0}, {0, 0, 170}, {0, 170, 0}, {0, 170, 170}, {170, 0, 0}, {170, 0, 170}, {170, 85, 0}, {170, 170, 170},
    {85, 85, 85}, {85, 85, 255}, {85, 255, 85}, {85, 255, 255}, {255, 85, 85}, {255, 85, 255}, {255, 255, 85},
    {255, 255, 255}};

void Start() {
    sdl = SdlRun{};
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_Init(SDL_INIT_TIMER);
    // Controllers plugged in before the start are reported as added at the first pump, like those plugged in later.
    // Without the subsystem the game simply sees no controller.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    sdl.counterStart = SDL_GetPerformanceCounter();
    sdl.counterFrequency = static_cast<double>(SDL_GetPerformanceFrequency());
}

void Stop() {
    for (SDL_GameController* controller : sdl.controllers) SDL_GameControllerClose(controller);
    sdl.controllers.clear();
    if (sdl.context) SDL_GL_DeleteContext(sdl.context);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    if (sdl.textWindow) SDL_DestroyWindow(sdl.textWindow);
    sdl.context = nullptr;
    sdl.window = sdl.textWindow = nullptr;
    SDL_Quit();
    sdl.videoUp = false;
}

[[noreturn]] void Exit(int code) {
    Stop();
    std::fflush(stdout);
    std::exit(code);
}

double RealClock() {
    return static_cast<double>(SDL_GetPerformanceCounter() - sdl.counterStart) / sdl.counterFrequency;
}

void RealWaitUntil(double deadline) {
    // Sleep to within a few tenths of a millisecond of the deadline (a sleep overshoots by the kernel's timer slack,
    // some tens of microseconds), then yield the rest: exact pacing that costs the processor next to nothing.
    constexpr double SpinPart = 0.0003;
    for (;;) {
        const double left = deadline - RealClock();
        if (left <= 0) return;
        if (left > SpinPart) std::this_thread::sleep_for(std::chrono::duration<double>(left - SpinPart));
        else std::this_thread::yield();
    }
}

double Clock() { return sdl.fixedFrame > 0 ? sdl.virtualClock : RealClock() + sdl.clockOffset; }

void WaitUntil(double deadline) {
    if (sdl.fixedFrame > 0) sdl.virtualClock = std::max(sdl.virtualClock, deadline);
    else RealWaitUntil(deadline - sdl.clockOffset);
}

// A key wait polls the keyboard every 10 ms of real time, even under a fixed frame time: no frame is presented.
void Idle() { RealWaitUntil(RealClock() + 0.01); }

void SetFixedFrameTime(double seconds) {
    if (seconds > 0 && sdl.fixedFrame <= 0) {
        // The game's clock goes on from the real one; presents keep it within a frame of real time afterwards.
        sdl.virtualClock = RealClock() + sdl.clockOffset;
        sdl.realNext = RealClock() + seconds;
    }
    // Back to real time from where the game's clock stood.
    if (seconds <= 0 && sdl.fixedFrame > 0) sdl.clockOffset = sdl.virtualClock - RealClock();
    sdl.fixedFrame = seconds > 0 ? seconds : 0;
}

void SetRealPace(double speed) { sdl.realPace = speed > 0 ? speed : 1; }

void Sleep0() {
    PumpEvents();
    std::this_thread::yield();
}

std::string Today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[40];      // room for any int the compiler can imagine; a real date takes 10
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", local.tm_mon + 1, local.tm_mday, local.tm_year + 1900);
    return text;
}

std::uint32_t Seed() {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return static_cast<std::uint32_t>(ticks ^ (ticks >> 32));
}

// The modes SDL lists for the first display, 32-bit and of a real size only.
std::vector<DisplayMode> ListedModes() {
    std::vector<DisplayMode> modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w <= 0 || mode.h <= 0) continue;
        if (SDL_BYTESPERPIXEL(mode.format) != 4 && SDL_BITSPERPIXEL(mode.format) < 24) continue;
        bool seen = std::any_of(modes.begin(), modes.end(),
                                [&](const DisplayMode& m) { return m.width == mode.w && m.height == mode.h; });
        if (!seen) modes.push_back({mode.w, mode.h});
    }
    return modes;
}

std::vector<DisplayMode> DisplayModes() {
    if (!EnsureVideo()) return {};
    std::vector<DisplayMode> modes = ListedModes();
    SDL_DisplayMode desktop;
    // A display that lists no usable mode still shows its desktop.
    if (modes.empty() && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
        Report("the display lists no usable mode, taking the desktop's");
        modes.push_back({desktop.w, desktop.h});
    }
    // Smallest first, so the last listed mode is the display's largest.
    std::sort(modes.begin(), modes.end(), [](const DisplayMode& a, const DisplayMode& b) {
        return a.width != b.width ? a.width < b.width : a.height < b.height;
    });
    return modes;
}

DisplayMode DesktopMode() {
    SDL_DisplayMode desktop;
    if (!EnsureVideo() || SDL_GetDesktopDisplayMode(0, &desktop) != 0) return {0, 0};
    return {desktop.w, desktop.h};
}

DisplayMode UsableArea() {
    SDL_Rect area;
    if (!EnsureVideo() || SDL_GetDisplayUsableBounds(0, &area) != 0 || area.w <= 0 || area.h <= 0) return {0, 0};
    return {area.w, area.h};
}

void CloseDisplay() {
    if (sdl.context) SDL_GL_DeleteContext(sdl.context);
    if (sdl.window) SDL_DestroyWindow(sdl.window);
    sdl.context = nullptr;
    sdl.window = nullptr;
}

const char* KindName(DisplayKind kind) {
    switch (kind) {
    case DisplayKind::Fullscreen: return "full screen";
    case DisplayKind::DesktopFullscreen: return "the desktop's full screen";
    default: return "a window";
    }
}

// A window that failed half-way (a window without its context) is taken down again: left behind, a full-screen one
// would cover whatever the game shows next, the text screen that explains the failure included.
bool OpenDisplay(int width, int height, DisplayKind kind) {
    if (!EnsureVideo()) return false;
    CloseDisplay();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    if (kind == DisplayKind::Fullscreen) flags |= SDL_WINDOW_FULLSCREEN;
    if (kind == DisplayKind::DesktopFullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    char what[96];
    std::snprintf(what, sizeof what, "cannot open %s of %d x %d", KindName(kind), width, height);
    sdl.window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!sdl.window) {
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);     // some visuals have no destination alpha
        sdl.window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    }
    if (sdl.window) sdl.context = SDL_GL_CreateContext(sdl.window);
    if (!sdl.window || !sdl.context) {
        ReportSdlError(what);
        CloseDisplay();
        return false;
    }
    SDL_GL_MakeCurrent(sdl.window, sdl.context);
    SDL_RaiseWindow(sdl.window);
    PumpEvents();
    return true;
}

void SetSwapInterval(int interval) {
    if (sdl.context) SDL_GL_SetSwapInterval(interval);
}

void SetTitle(const std::string& title) {
    if (!sdl.window) return;
    // Titles are single-byte text; the window manager wants UTF-8.
    std::string utf8;
    for (unsigned char ch : title) {
        if (ch < 0x80) utf8 += static_cast<char>(ch);
        else {
            utf8 += static_cast<char>(0xC0 | (ch >> 6));
            utf8 += static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    SDL_SetWindowTitle(sdl.window, utf8.c_str());
}

void ShowPointer(bool shown) {
    if (sdl.videoUp) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}

void SwapWindow() {
    if (!sdl.window) return;
    glFlush();
    SDL_GL_SwapWindow(sdl.window);
    PumpEvents();
}

// Under a fixed frame time every frame lasts exactly one step of the game's clock and about as long in real time.
void PaceFixedFrame() {
    sdl.virtualClock += sdl.fixedFrame;
    double now = RealClock();
    if (sdl.realNext < now - 0.25) sdl.realNext = now;   // far behind (a stall): don't rush to catch up
    RealWaitUntil(sdl.realNext);
    sdl.realNext += sdl.fixedFrame / sdl.realPace;
}

void Present() {
    SwapWindow();
    sdl.pressShown = 0;
    if (sdl.fixedFrame > 0) PaceFixedFrame();
}

bool HasGl() { return sdl.context != nullptr; }

// The window keeps no draw lists: quads come here only while there is no GL context, and are dropped.
void RecordQuad(const QuadRecord&) {}

std::string ReadKey() {
    PumpEvents();
    if (sdl.keys.empty()) return "";
    std::string key = sdl.keys.front();
    sdl.keys.pop_front();
    return key;
}

bool KeyHeld(int scanCode) { return sdl.held[scanCode]; }

// A script's keys go where the keyboard's events put theirs.
void HoldKey(int scanCode, bool held) { sdl.held[scanCode] = held; }
void PushKey(const std::string& key) { sdl.keys.push_back(key); }

void Mouse(int& x, int& y, int& buttons) {
    PumpEvents();
    SDL_Window* focus = SDL_GetMouseFocus();
    Uint32 state = SDL_GetMouseState(&x, &y);
    SDL_Window* ours = sdl.window ? sdl.window : sdl.textWindow;
    if (!ours || focus != ours) {
        x = y = -1;
    }
    buttons = 0;
    if (state & SDL_BUTTON(SDL_BUTTON_LEFT)) buttons |= 1;
    if (state & SDL_BUTTON(SDL_BUTTON_RIGHT)) buttons |= 2;
    if (state & SDL_BUTTON(SDL_BUTTON_MIDDLE)) buttons |= 4;
    // A click quicker than a frame still shows as held, from the first read after it until the frame is presented,
    // so the release that follows is a click.
    sdl.pressShown |= sdl.pressed;
    sdl.pressed = 0;
    buttons |= sdl.pressShown;
}

int TakeWheel() {
    PumpEvents();
    const int steps = sdl.wheel;
    sdl.wheel = 0;
    return steps;
}

void TextOpen() {
    std::memset(sdl.textCh, ' ', sizeof sdl.textCh);
    std::memset(sdl.textFg, 7, sizeof sdl.textFg);
    std::memset(sdl.textBg, 0, sizeof sdl.textBg);
    sdl.textDirty = true;
    if (sdl.textWindow || !EnsureVideo()) return;
    // The largest whole scale of 320 x 200 that fits comfortably on the desktop.
    SDL_DisplayMode desktop;
    int scale = 3;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0)
        scale = std::max(1, std::min((desktop.w * 3 / 4) / 320, (desktop.h * 3 / 4) / 200));
    sdl.textScale = scale;
    sdl.textWindow = SDL_CreateWindow("Kolbrix", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 320 * scale,
                                      200 * scale, SDL_WINDOW_SHOWN);
    if (!sdl.textWindow) {
        ReportSdlError("cannot open the text screen's window");
        return;
    }
    SDL_RaiseWindow(sdl.textWindow);
}

void TextPut(int row, int column, unsigned char ch, int fg, int bg) {
    sdl.textCh[row - 1][column - 1] = ch;
    sdl.textFg[row - 1][column - 1] = static_cast<std::uint8_t>(fg);
    sdl.textBg[row - 1][column - 1] = static_cast<std::uint8_t>(bg);
    sdl.textDirty = true;
}

// False when the screen cannot be shown: there is no window for it, or the window has nothing to draw in.
bool TextShow() {
    if (!sdl.textWindow) return false;
    if (!sdl.textDirty) return true;
    SDL_Surface* surface = SDL_GetWindowSurface(sdl.textWindow);
    if (!surface) {
        ReportSdlError("cannot draw the text screen");
        return false;
    }
    sdl.textDirty = false;
    const int scale = sdl.textScale;
    for (int row = 0; row < 25; row++)
        for (int column = 0; column < 40; column++) {
            const unsigned char* glyph = TextFont8x8[sdl.textCh[row][column]];
            const Uint8* fg = TextPalette[sdl.textFg[row][column] & 15];
            const Uint8* bg = TextPalette[sdl.textBg[row][column] & 15];
            Uint32 fgColor = SDL_MapRGB(surface->format, fg[0], fg[1], fg[2]);
            Uint32 bgColor = SDL_MapRGB(surface->format, bg[0], bg[1], bg[2]);
            for (int gy = 0; gy < 8; gy++)
                for (int gx = 0; gx < 8; gx++) {
                    Uint32 color = (glyph[gy] & (0x80 >> gx)) ? fgColor : bgColor;
                    SDL_Rect cell{(column * 8 + gx) * scale, (row * 8 + gy) * scale, scale, scale};
                    SDL_FillRect(surface, &cell, color);
                }
        }
    SDL_UpdateWindowSurface(sdl.textWindow);
    return true;
}

void TextClose() {
    if (sdl.textWindow) SDL_DestroyWindow(sdl.textWindow);
    sdl.textWindow = nullptr;
}

// The game never waits for the browser: the opener starts detached and this returns at once.
void OpenExternal(const std::string& target) { PlatformStartOpener(target); }

// Only the virtual clock of a fixed frame time can be set; the real clock runs on.
void SetGameClock(double seconds) {
    if (sdl.fixedFrame > 0) sdl.virtualClock = seconds;
}

}  // namespace

const PlatformBackendTable& SdlBackend() {
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
        .StartProcess = PosixStartProcess, .ReadProcess = PosixReadProcess, .ProcessEnded = PosixProcessEnded,
        .StopProcess = PosixStopProcess, .SetGameClock = SetGameClock,
        .Audio = SdlAudioBackend,
    };
    return table;
}
