// Internal: the table of procedures a back end provides. Each back end fills one table; PlatformInit chooses one
// for the run and platform.cpp calls through it, so no call has to ask again which back end runs and a new back end
// is one more table rather than one more branch in every procedure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/audio_backend.h"
#include "platform/types.h"

struct PlatformBackendTable {
    // Life cycle.
    void (*Start)();                                // PlatformInit starts a run on this back end
    void (*Stop)();                                 // a later PlatformInit ends it
    void (*Exit)(int code);                         // never returns (a pointer's type cannot say [[noreturn]])

    // Clock. Under a fixed frame time Clock and WaitUntil are the game's clock, which Present advances.
    double (*Clock)();
    void (*Sleep0)();
    void (*WaitUntil)(double deadline);
    void (*Idle)();                                 // one idle step of a key wait
    void (*SetFixedFrameTime)(double seconds);      // 0 switches it off
    void (*SetRealPace)(double speed);              // fixed frames shown `speed` times as fast in real time
    std::string (*Today)();                         // "mm-dd-yyyy"
    std::uint32_t (*Seed)();

    // Display.
    std::vector<DisplayMode> (*DisplayModes)();
    DisplayMode (*DesktopMode)();
    DisplayMode (*UsableArea)();
    bool (*OpenDisplay)(int width, int height, DisplayKind kind);
    void (*SetSwapInterval)(int interval);
    void (*SetTitle)(const std::string& title);
    void (*ShowPointer)(bool shown);
    void (*Present)();
    bool (*HasGl)();
    void (*RecordQuad)(const QuadRecord& quad);

    // Keyboard and mouse; platform.cpp has already checked that scanCode is 0..255.
    std::string (*ReadKey)();
    bool (*KeyHeld)(int scanCode);
    void (*Mouse)(int& x, int& y, int& buttons);
    int (*TakeWheel)();
    void (*HoldKey)(int scanCode, bool held);       // a script's keys (PlatformHoldKey, PlatformPushKey)
    void (*PushKey)(const std::string& key);

    // Text screen; platform.cpp keeps the cursor and colours and hands over cells inside 25 x 40 only.
    void (*TextOpen)();
    void (*TextPut)(int row, int column, unsigned char ch, int fg, int bg);
    bool (*TextShow)();                             // brings the screen up to date while a key is awaited; false
                                                    // when it cannot be shown (there is no window for it)
    void (*TextClose)();

    void (*OpenExternal)(const std::string& target);

    // Child processes (platform/process.h has the POSIX procedures both back ends use) and the game's clock under a
    // fixed frame time.
    ProcessHandle (*StartProcess)(const std::string& program, const std::vector<std::string>& arguments);
    std::string (*ReadProcess)(ProcessHandle process, ProcessStream stream);
    bool (*ProcessEnded)(ProcessHandle process, int& exitCode);
    void (*StopProcess)(ProcessHandle process);
    void (*SetGameClock)(double seconds);

    // The audio device that goes with this back end; PlatformInit hands it to platform/audio.cpp.
    const AudioBackendTable& (*Audio)();
};

const PlatformBackendTable& SdlBackend();         // platform/sdl.cpp
const PlatformBackendTable& HeadlessBackend();    // platform/headless.cpp
