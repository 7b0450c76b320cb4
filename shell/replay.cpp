#include "shell/replay.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "gfx/display.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/play_screen.h"
#include "platform/platform.h"

namespace {

struct KeyName {
    const char* name;
    int scanCode;               // 0 for a key of the key buffer
    const char* buffered;
};

const KeyName KeyTable[] = {
    {"left", ScanLeft, ""},    {"right", ScanRight, ""}, {"down", ScanDown, ""},   {"up", ScanUp, ""},
    {"space", ScanSpace, ""},  {"tab", ScanTab, ""},     {"ctrl", ScanCtrl, ""},   {"minus", ScanMinus, ""},
    {"enter", ScanEnter, ""},  {"scrolllock", ScanScrollLock, ""},                 {"f8", ScanF8, ""},
    {"f9", ScanF9, ""},        {"f10", ScanF10, ""},     {"f11", ScanF11, ""},     {"f12", ScanF12, ""},
    {"esc", 0, "\x1B"},        {"m", 0, "m"},
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// JSON has no infinities or not-a-numbers: they are written as null.
std::string Number(double value) {
    if (!std::isfinite(value)) return "null";
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

bool Contains(const std::vector<int>& codes, int code) {
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

}  // namespace

const std::vector<int>& ScriptScanCodes() {
    static const std::vector<int> codes = [] {
        std::vector<int> list;
        for (const KeyName& key : KeyTable)
            if (key.scanCode != 0) list.push_back(key.scanCode);
        return list;
    }();
    return codes;
}

bool ParseInputScript(const std::string& text, List<InputSegment>& script, std::string& error) {
    script.Clear();
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        size_t comment = line.find('#');
        if (comment != std::string::npos) line.erase(comment);
        line = Trim(line);
        if (line.empty()) continue;
        std::istringstream words(line);
        std::string count, keys, extra;
        words >> count >> keys >> extra;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!extra.empty()) {
            error = where + "keys are joined by '+' without spaces";
            return false;
        }
        InputSegment segment;
        const bool digits = std::all_of(count.begin(), count.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (count.empty() || count.size() > 12 || !digits) {
            error = where + "a segment starts with its number of frames";
            return false;
        }
        segment.frames = std::stoll(count);
        if (segment.frames < 1) {
            error = where + "a segment lasts at least one frame";
            return false;
        }
        size_t start = 0;
        while (!keys.empty() && start <= keys.size()) {
            size_t plus = keys.find('+', start);
            std::string name = Lower(keys.substr(start, plus == std::string::npos ? std::string::npos : plus - start));
            const KeyName* found = nullptr;
            for (const KeyName& key : KeyTable)
                if (name == key.name) found = &key;
            if (!found) {
                error = where + "unknown key '" + name + "'";
                return false;
            }
            if (found->scanCode != 0) {
                if (!Contains(segment.held, found->scanCode)) segment.held.push_back(found->scanCode);
            } else {
                segment.buffered.push_back(found->buffered);
            }
            if (plus == std::string::npos) break;
            start = plus + 1;
        }
        script.Add(segment);
    }
    return true;
}

std::string KeyNames(const std::vector<int>& held, const std::vector<std::string>& buffered) {
    std::string names;
    for (const KeyName& key : KeyTable) {
        bool on = key.scanCode != 0 ? Contains(held, key.scanCode)
                                    : std::find(buffered.begin(), buffered.end(), key.buffered) != buffered.end();
        if (!on) continue;
        if (!names.empty()) names += "+";
        names += key.name;
    }
    return names;
}

std::string FormatInputScript(const List<InputSegment>& script) {
    std::string text;
    for (const InputSegment& segment : script) {
        text += std::to_string(segment.frames);
        std::string keys = KeyNames(segment.held, segment.buffered);
        if (!keys.empty()) text += " " + keys;
        text += "\n";
    }
    return text;
}

ReplayResult RunReplay(const List<InputSegment>& script, const ReplayOptions& options, const ReplayDevice& device) {
    const double fps = options.fps;
    const double seconds = 1.0 / fps;
    // As DrawFrame would set it for a frame of exactly 1/fps seconds.
    const double step = std::min(25.0 / fps, 0.5);
    const double startClock = PlatformClock();

    // The script's segment for each frame, and the keys it puts into the buffer on its first frame.
    std::int32_t segment = 1;
    std::int64_t segmentStart = 1;
    const bool live = options.record != nullptr;
    auto prepare = [&](std::int64_t frame) {
        if (live) return;
        while (segment <= script.Count() && frame >= segmentStart + script[segment].frames) {
            segmentStart += script[segment].frames;
            ++segment;
        }
        const bool inScript = segment <= script.Count();
        for (int code : ScriptScanCodes()) device.hold(code, inScript && Contains(script[segment].held, code));
        if (inScript && frame == segmentStart)
            for (const std::string& key : script[segment].buffered) device.push(key);
    };
    // Every frame lasts exactly 1/fps: the frame step is set here, and the frame pacing finds the previous frame
    // long enough ago never to wait.
    auto fixFrameTime = [&] {
        frameTime = seconds;
        frameStep = step;
        lastFrameTime = PlatformClock() - 1.0;
    };

    ReplayResult result;
    prepare(1);
    if (options.maxFrames <= 0 && !live) device.push("\x1B");
    if (!options.gamePacing) {
        device.setClock(startClock);
        fixFrameTime();
    }
    playIterationHook = [&] {
        result.frames = attempt.playIteration;
        if (live) RecordFrameKeys(*options.record);
        if (options.trace) options.trace(TraceLine(attempt.playIteration));
        if (options.afterFrame) options.afterFrame(attempt.playIteration);
        if (!options.gamePacing) {
            device.setClock(startClock + static_cast<double>(attempt.playIteration) / fps);
            fixFrameTime();
        }
        prepare(attempt.playIteration + 1);
        if (attempt.playIteration == options.maxFrames && !live) device.push("\x1B");
        return options.leave && options.leave(attempt.playIteration);
    };
    result.completed = PlayLevel();
    playIterationHook = nullptr;
    if (!live)
        for (int code : ScriptScanCodes()) device.hold(code, false);
    return result;
}

void RecordFrameKeys(List<InputSegment>& script) {
    std::vector<int> held;
    // The controls read the held keys once a frame; while they do not run (death and victory sequences) the keys
    // change nothing, and what is held at the end of the frame is written.
    if (attempt.controlsReadAt == attempt.playIteration) {
        const ControlKeys& k = attempt.heldControls;
        const std::pair<bool, int> keys[] = {
            {k.left, ScanLeft},   {k.right, ScanRight}, {k.down, ScanDown},   {k.up, ScanUp},
            {k.space, ScanSpace}, {k.tab, ScanTab},     {k.ctrl, ScanCtrl},   {k.minus, ScanMinus},
            {k.enter, ScanEnter}, {k.scrollLock, ScanScrollLock},             {k.f8, ScanF8},
            {k.f9, ScanF9},       {k.f10, ScanF10},     {k.f11, ScanF11},     {k.f12, ScanF12}};
        for (const auto& [on, code] : keys)
            if (on) held.push_back(code);
    } else {
        for (int code : ScriptScanCodes())
            if (PlatformKeyHeld(code)) held.push_back(code);
    }
    const bool escape = attempt.playKey == "\x1B", music = attempt.playKey == "m" || attempt.playKey == "M";
    if (!script.Empty() && !escape && !music && script[script.Count()].held == held) {
        ++script[script.Count()].frames;
        return;
    }
    InputSegment segment;
    segment.frames = 1;
    segment.held = held;
    if (escape) segment.buffered.push_back("\x1B");
    if (music) segment.buffered.push_back("m");
    script.Add(segment);
}

void EscapeOnLastFrame(List<InputSegment>& script) {
    if (script.Empty()) return;
    InputSegment& last = script[script.Count()];
    if (last.frames > 1) {
        --last.frames;
        InputSegment escape;
        escape.frames = 1;
        escape.held = last.held;
        script.Add(escape);
    }
    script[script.Count()].buffered = {"\x1B"};
}

std::string TraceLine(std::int64_t frame) {
    return "{\"frame\":" + std::to_string(frame) + ",\"x\":" + Number(level.ball.x) + ",\"y\":" + Number(level.ball.y) +
           ",\"vx\":" + Number(level.ball.param1) + ",\"vy\":" + Number(level.ball.param2) +
           ",\"flags\":" + std::to_string(attempt.flagsLeft) + ",\"bombs\":" + std::to_string(level.bombCount) +
           ",\"score\":" + std::to_string(score) + ",\"death\":" + Number(level.deathCounter) +
           ",\"win\":" + Number(level.winCounter) + ",\"switch\":" + std::to_string(attempt.switchState) +
           ",\"elapsed\":" + Number(attempt.elapsedTime) + "}";
}

std::string ResultLine(bool completed, std::int64_t frames) {
    return std::string("{\"result\":\"") + (completed ? "completed" : "not completed") +
           "\",\"score\":" + std::to_string(score) + ",\"frames\":" + std::to_string(frames) +
           ",\"elapsed\":" + Number(attempt.elapsedTime) + "}";
}
