// Controller buttons and the left stick as keyboard keys.
#include "platform/gamepad.h"

#include <algorithm>
#include <deque>
#include <vector>

namespace {

struct PadKey {
    int scan;                           // set-1 scan code held while the button is down
    const char* key;                    // what the key buffer gets when it goes down
};

constexpr int ScanEsc = 0x01, ScanSpace = 0x39, ScanUp = 0x48, ScanLeft = 0x4B, ScanRight = 0x4D, ScanDown = 0x50,
              ScanDel = 0x53;

// The key of a button; scan 0 for a button that gives none.
PadKey KeyOf(PadButton button) {
    switch (button) {
    case PadButton::South: return {ScanSpace, " "};
    case PadButton::East: case PadButton::Start: return {ScanEsc, "\x1B"};
    case PadButton::West: return {ScanDel, "\xFF\x53"};
    case PadButton::Up: return {ScanUp, "\xFF\x48"};
    case PadButton::Down: return {ScanDown, "\xFF\x50"};
    case PadButton::Left: return {ScanLeft, "\xFF\x4B"};
    case PadButton::Right: return {ScanRight, "\xFF\x4D"};
    default: return {0, ""};
    }
}

struct Pad {
    int id = 0;
    std::vector<PadButton> down;        // buttons held
    int stickX = 0, stickY = 0;         // -1, 0 or 1: the stick's direction outside the dead zone
};

struct PadState {                       // for the run
    std::vector<Pad> pads;
    std::deque<std::string> keys;       // keys given and not yet read
} state;

Pad* Find(int id) {
    for (Pad& pad : state.pads)
        if (pad.id == id) return &pad;
    return nullptr;
}

int Direction(int value) { return value <= -PadDeadZone ? -1 : value >= PadDeadZone ? 1 : 0; }

void Push(const char* key) { state.keys.push_back(key); }

}  // namespace

void PadReset() { state = PadState{}; }

void PadPlugged(int pad) {
    if (!Find(pad)) state.pads.push_back(Pad{pad, {}, 0, 0});
}

void PadUnplugged(int pad) {
    state.pads.erase(std::remove_if(state.pads.begin(), state.pads.end(), [pad](const Pad& p) { return p.id == pad; }),
                     state.pads.end());
}

void PadButtonChanged(int id, PadButton button, bool down) {
    Pad* pad = Find(id);
    if (!pad || KeyOf(button).scan == 0) return;
    auto at = std::find(pad->down.begin(), pad->down.end(), button);
    if (!down) {
        if (at != pad->down.end()) pad->down.erase(at);
        return;
    }
    if (at != pad->down.end()) return;      // already down: a repeat gives no second key
    pad->down.push_back(button);
    Push(KeyOf(button).key);
}

void PadAxisMoved(int id, PadAxis axis, int value) {
    Pad* pad = Find(id);
    if (!pad || axis == PadAxis::Other) return;
    int& held = axis == PadAxis::LeftX ? pad->stickX : pad->stickY;
    const int direction = Direction(value);
    if (direction == held) return;
    held = direction;
    if (direction == 0) return;
    const PadButton arrow = axis == PadAxis::LeftX ? (direction < 0 ? PadButton::Left : PadButton::Right)
                                                   : (direction < 0 ? PadButton::Up : PadButton::Down);
    Push(KeyOf(arrow).key);
}

std::string PadTakeKey() {
    if (state.keys.empty()) return "";
    std::string key = state.keys.front();
    state.keys.pop_front();
    return key;
}

bool PadKeyHeld(int scanCode) {
    for (const Pad& pad : state.pads) {
        for (PadButton button : pad.down)
            if (KeyOf(button).scan == scanCode) return true;
        if ((pad.stickX < 0 && scanCode == ScanLeft) || (pad.stickX > 0 && scanCode == ScanRight) ||
            (pad.stickY < 0 && scanCode == ScanUp) || (pad.stickY > 0 && scanCode == ScanDown))
            return true;
    }
    return false;
}

int PadCount() { return static_cast<int>(state.pads.size()); }
