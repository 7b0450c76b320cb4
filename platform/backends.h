// Internal: the procedures each back end provides. platform.cpp dispatches to one of them.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace sdl_backend {
void Init();
void Shutdown();
double Clock();
void Sleep0();
void WaitUntil(double deadline);
std::vector<DisplayMode> DisplayModes();
bool OpenDisplay(int width, int height, bool fullscreen);
void SetSwapInterval(int interval);
void SetTitle(const std::string& title);
void ShowPointer(bool shown);
void Present();
bool HasGl();
std::string ReadKey();
bool KeyHeld(int scanCode);
void Mouse(int& x, int& y, int& buttons);
void TextOpen();
void TextPut(int row, int column, unsigned char ch, int fg, int bg);
void TextShow();
void TextClose();
}  // namespace sdl_backend

namespace headless_backend {
[[noreturn]] void Exit(int code);
double Clock();
void Sleep0();
void WaitUntil(double deadline);
std::vector<DisplayMode> DisplayModes();
bool OpenDisplay(int width, int height, bool fullscreen);
void SetSwapInterval(int interval);
void SetTitle(const std::string& title);
void ShowPointer(bool shown);
void Present();
std::string ReadKey();
bool KeyHeld(int scanCode);
void Mouse(int& x, int& y, int& buttons);
void RecordQuad(const QuadRecord& quad);
void TextPut(int row, int column, unsigned char ch, int fg, int bg);
void TextOpen();
void Idle();        // one idle step of a wait: advances the clock and runs the frame script
std::string Today();
void NoteOpened(const std::string& target);
void SetFrameTime(double seconds);
std::uint32_t Seed();
}  // namespace headless_backend
