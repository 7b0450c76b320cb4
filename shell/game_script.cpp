#include "shell/game_script.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "base/files.h"
#include "base/settings.h"
#include "base/text_codec.h"
#include "gfx/board.h"
// The game never calls into this file: it is the tools' and the tests' way of driving the whole program, and only
// the headless back end takes scripted keys.
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/play_loop.h"
#include "shell/menu.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/startup.h"
#include "sound/sound.h"

namespace {

// ---- Keys ---------------------------------------------------------------------------------------------------------

// What a key puts into the key buffer when it goes down; the modifiers change most of them.
enum class KeyKind { Letter, Digit, Space, Minus, Plus, Enter, Esc, Backspace, Tab, Navigation, Function, Close,
                     HeldOnly };

struct ScriptKey {
    std::string name;
    int scanCode;               // set-1; 0 for the close button, which is no key
    KeyKind kind;
};

constexpr int ScanShift = 0x2A, ScanAlt = 0x38, ScanControl = 0x1D;

const std::vector<ScriptKey>& KeyTable() {
    static const std::vector<ScriptKey> table = [] {
        std::vector<ScriptKey> keys;
        // The letters by their rows on the keyboard, each row's scan codes counting up from its first key.
        const std::pair<const char*, int> rows[] = {{"qwertyuiop", 0x10}, {"asdfghjkl", 0x1E}, {"zxcvbnm", 0x2C}};
        for (const auto& [row, first] : rows)
            for (int i = 0; row[i]; i++) keys.push_back({std::string(1, row[i]), first + i, KeyKind::Letter});
        for (int digit = 1; digit <= 9; digit++) keys.push_back({std::to_string(digit), 1 + digit, KeyKind::Digit});
        keys.push_back({"0", 0x0B, KeyKind::Digit});
        const ScriptKey named[] = {
            {"space", 0x39, KeyKind::Space},        {"enter", 0x1C, KeyKind::Enter},
            {"esc", 0x01, KeyKind::Esc},            {"backspace", 0x0E, KeyKind::Backspace},
            {"tab", 0x0F, KeyKind::Tab},            {"minus", 0x0C, KeyKind::Minus},
            {"plus", 0x4E, KeyKind::Plus},          // the keypad's: "+" without Shift
            {"up", 0x48, KeyKind::Navigation},      {"down", 0x50, KeyKind::Navigation},
            {"left", 0x4B, KeyKind::Navigation},    {"right", 0x4D, KeyKind::Navigation},
            {"home", 0x47, KeyKind::Navigation},    {"end", 0x4F, KeyKind::Navigation},
            {"pgup", 0x49, KeyKind::Navigation},    {"pgdn", 0x51, KeyKind::Navigation},
            {"del", 0x53, KeyKind::Navigation},     {"f11", 0x57, KeyKind::Function},
            {"f12", 0x58, KeyKind::Function},       {"scrolllock", 0x46, KeyKind::HeldOnly},
            {"shift", ScanShift, KeyKind::HeldOnly}, {"ctrl", ScanControl, KeyKind::HeldOnly},
            {"alt", ScanAlt, KeyKind::HeldOnly},    {"close", 0, KeyKind::Close},
        };
        keys.insert(keys.end(), std::begin(named), std::end(named));
        for (int n = 1; n <= 10; n++) keys.push_back({"f" + std::to_string(n), 0x3A + n, KeyKind::Function});
        return keys;
    }();
    return table;
}

const ScriptKey* FindKey(const std::string& name) {
    for (const ScriptKey& key : KeyTable())
        if (key.name == name) return &key;
    return nullptr;
}

std::string Extended(int code) { return std::string("\xFF") + static_cast<char>(code); }

// The PC keyboard's codes for navigation keys with Ctrl or Alt held; 0 where it has none.
int CombinedNavigationCode(int code, bool ctrl, bool alt) {
    static const int keys[] = {0x47, 0x48, 0x49, 0x4B, 0x4D, 0x4F, 0x50, 0x51, 0x53};
    static const int withCtrl[] = {0x77, 0x8D, 0x84, 0x73, 0x74, 0x75, 0x91, 0x76, 0x93};
    static const int withAlt[] = {0x97, 0x98, 0x99, 0x9B, 0x9D, 0x9F, 0xA0, 0xA1, 0xA3};
    for (int i = 0; i < 9; i++)
        if (keys[i] == code) return ctrl ? withCtrl[i] : alt ? withAlt[i] : code;
    return 0;
}

int CombinedFunctionCode(int code, bool shift, bool ctrl, bool alt) {
    if (code == 0x57 || code == 0x58) {
        const int base = code == 0x57 ? 0x85 : 0x86;
        return alt ? base + 6 : ctrl ? base + 4 : shift ? base + 2 : base;
    }
    return alt ? code + 0x2D : ctrl ? code + 0x23 : shift ? code + 0x19 : code;
}

// The key string a key puts into the buffer as it goes down, as the window's keyboard gives it: text keys as their
// characters (Shift for capitals and the symbols above the digits), Ctrl+letter as control characters, Alt and the
// keys without a character as "\xFF" with the keyboard's extended code. "" for a key that buffers nothing.
std::string BufferedKey(const ScriptKey& key, bool shift, bool ctrl, bool alt) {
    const char name = key.name[0];
    switch (key.kind) {
    case KeyKind::Letter:
        if (ctrl) return alt ? "" : std::string(1, static_cast<char>(name - 'a' + 1));
        if (alt) return Extended(key.scanCode);
        return std::string(1, shift ? static_cast<char>(std::toupper(name)) : name);
    case KeyKind::Digit:
        if (ctrl) return "";
        if (alt) return Extended(key.scanCode + 0x76);
        return std::string(1, shift ? ")!@#$%^&*("[name - '0'] : name);
    case KeyKind::Space: return ctrl || alt ? "" : " ";
    case KeyKind::Minus:
        if (ctrl) return "";
        if (alt) return Extended(0x82);
        return shift ? "_" : "-";
    case KeyKind::Plus: return ctrl || alt ? "" : "+";
    case KeyKind::Enter: return "\r";
    case KeyKind::Esc: return "\x1B";
    case KeyKind::Backspace: return "\b";
    case KeyKind::Tab: return shift ? Extended(0x0F) : "\t";
    case KeyKind::Navigation: return Extended(CombinedNavigationCode(key.scanCode, ctrl, alt));
    case KeyKind::Function:
        if (alt && key.name == "f4") return "\xFF" "k";     // Alt+F4 closes the window
        return Extended(CombinedFunctionCode(key.scanCode, shift, ctrl, alt));
    case KeyKind::Close: return "\xFF" "k";
    case KeyKind::HeldOnly: return "";
    }
    return "";
}

// ---- Windows-1252 ------------------------------------------------------------------------------------------------

// The byte of a character the game's keyboard can give (printable Windows-1252), or -1.
int TypedByte(char32_t c) {
    const int byte = Windows1252Byte(c);
    return byte >= 0x20 && byte != 0x7F ? byte : -1;
}

// ---- Reading ------------------------------------------------------------------------------------------------------

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string TrimmedLine(std::string line) {
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    const size_t first = line.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return line.substr(first, line.find_last_not_of(" \t\r\n") - first + 1);
}

bool ReadNumber(const std::string& word, size_t maxDigits, std::int64_t& value) {
    if (word.empty() || word.size() > maxDigits) return false;
    if (!std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    value = std::stoll(word);
    return true;
}

// "type TEXT": the characters after the word and one space, each one the game's keyboard can give.
bool ReadTyped(const std::string& line, GameSegment& segment, std::string& error) {
    std::string text = line.substr(4);
    if (!text.empty() && (text[0] == ' ' || text[0] == '\t')) text.erase(0, 1);
    if (text.empty()) {
        error = "type needs a text";
        return false;
    }
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        char32_t c = 0;
        const bool read = NextUtf8(text, at, c);
        const int byte = read ? TypedByte(c) : -1;
        if (byte < 0) {
            error = "cannot type '" + text.substr(start, read ? at - start : 1) + "'";
            return false;
        }
        segment.typed += static_cast<char>(byte);
    }
    segment.frames = static_cast<std::int64_t>(segment.typed.size());
    return true;
}

bool ReadMouse(std::istringstream& words, GameSegment& segment, std::string& error) {
    std::string x, y, button, extra;
    words >> x >> y >> button >> extra;
    segment.mouse = true;
    if (Lower(x) == "out" && y.empty()) return true;
    std::int64_t px = 0, py = 0;
    const bool place = ReadNumber(x, 4, px) && ReadNumber(y, 4, py);
    if (!place || !extra.empty() || (!button.empty() && Lower(button) != "left" && Lower(button) != "right")) {
        error = "a mouse line reads 'mouse X Y', 'mouse X Y left', 'mouse X Y right' or 'mouse out'";
        return false;
    }
    if (px > 1023 || py > 767) {
        error = "the pointer goes from 0 0 to 1023 767 (or 'out')";
        return false;
    }
    segment.mouseX = static_cast<int>(px);
    segment.mouseY = static_cast<int>(py);
    segment.mouseLeft = Lower(button) == "left";
    segment.mouseRight = Lower(button) == "right";
    return true;
}

// "KEY+KEY...": held by their scan codes; a key that was not down in the segment before goes into the buffer.
bool ReadKeys(const std::string& keys, std::vector<const ScriptKey*>& down, GameSegment& segment, std::string& error) {
    std::vector<const ScriptKey*> named;
    for (size_t start = 0; !keys.empty();) {
        const size_t plus = keys.find('+', start);
        const std::string name = Lower(keys.substr(start, plus == std::string::npos ? plus : plus - start));
        const ScriptKey* key = FindKey(name);
        if (!key) {
            error = "unknown key '" + name + "'";
            return false;
        }
        if (std::find(named.begin(), named.end(), key) == named.end()) named.push_back(key);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    auto has = [&](int scanCode) {
        return std::any_of(named.begin(), named.end(), [&](const ScriptKey* k) { return k->scanCode == scanCode; });
    };
    const bool shift = has(ScanShift), ctrl = has(ScanControl), alt = has(ScanAlt);
    for (const ScriptKey* key : named) {
        if (key->scanCode != 0) segment.held.push_back(key->scanCode);
        const bool wasDown = std::find(down.begin(), down.end(), key) != down.end();
        const std::string buffered = wasDown ? "" : BufferedKey(*key, shift, ctrl, alt);
        if (!buffered.empty()) segment.buffered.push_back(buffered);
    }
    down = named;
    return true;
}

bool ReadLine(const std::string& line, std::vector<const ScriptKey*>& down, GameSegment& segment, std::string& error) {
    std::istringstream words(line);
    std::string first, second, extra;
    words >> first;
    if (Lower(first) == "type") {
        down.clear();
        return ReadTyped(line, segment, error);
    }
    if (!ReadNumber(first, 12, segment.frames)) {
        error = "a segment starts with its number of frames (or 'type')";
        return false;
    }
    if (segment.frames < 1) {
        error = "a segment lasts at least one frame";
        return false;
    }
    words >> second;
    if (Lower(second) == "type") {
        error = "'type' starts its line: it lasts a frame for each character";
        return false;
    }
    if (Lower(second) == "mouse") {
        down.clear();
        return ReadMouse(words, segment, error);
    }
    if (Lower(second) == "wheel") {
        std::string steps;
        words >> steps >> extra;
        const bool negative = !steps.empty() && steps[0] == '-';
        std::int64_t n = 0;
        if (!ReadNumber(negative ? steps.substr(1) : steps, 3, n) || !extra.empty()) {
            error = "a wheel line reads 'wheel N' (N steps away from you, -N towards you)";
            return false;
        }
        segment.wheel = static_cast<int>(negative ? -n : n);
        return true;
    }
    words >> extra;
    if (!extra.empty()) {
        error = "keys are joined by '+' without spaces";
        return false;
    }
    return ReadKeys(second, down, segment, error);
}

// ---- Driving ------------------------------------------------------------------------------------------------------

// The segment of a frame and how far into it the frame lies; null before frame 1 and after the script.
const GameSegment* SegmentOf(GameScriptDriver& driver, std::int64_t frame, std::int64_t& offset) {
    const List<GameSegment>& script = *driver.script;
    if (frame < 1) return nullptr;
    if (frame < driver.segmentStart) {
        driver.segment = 1;
        driver.segmentStart = 1;
    }
    while (driver.segment <= script.Count() && frame >= driver.segmentStart + script[driver.segment].frames) {
        driver.segmentStart += script[driver.segment].frames;
        ++driver.segment;
    }
    if (driver.segment > script.Count()) return nullptr;
    offset = frame - driver.segmentStart;
    return &script[driver.segment];
}

// A point of the 1024 x 768 window of the script on the window the program opened (none open yet: the same).
int Scaled(int value, int size, int scriptSize) {
    return size > 0 ? static_cast<int>(static_cast<std::int64_t>(value) * size / scriptSize) : value;
}

// ---- Tracing ------------------------------------------------------------------------------------------------------

std::string MenuFields() {
    std::string lines;
    for (int i = 1; i <= std::min(menu.MenuLineCount, MenuMaxLines); i++)
        lines += (i > 1 ? "," : "") + JsonString(menu.MenuLines[i]);
    const std::string player = PlayerIndex >= 1 && PlayerIndex <= PlayerList.Count() ? PlayerList[PlayerIndex] : "";
    const std::string pack = PackIndex >= 1 && PackIndex <= PackList.Count() ? PackFolderName(PackList[PackIndex]) : "";
    return "\"screen\":" + std::to_string(menu.MenuScreen) + ",\"cursor\":" + std::to_string(menu.MenuCursor) +
           ",\"lines\":[" + lines + "],\"player\":" + JsonString(player) + ",\"pack\":" + JsonString(pack) +
           ",\"level\":" + std::to_string(LevelNumber) + ",\"levels\":" + std::to_string(LevelCount) +
           ",\"difficulty\":" + std::to_string(playRun.Difficulty) + "}";
}

std::string FramePrefix() { return "{\"frame\":" + std::to_string(Headless.frame) + ","; }

}  // namespace

bool ParseGameScript(const std::string& text, List<GameSegment>& script, std::string& error) {
    script.Clear();
    std::vector<const ScriptKey*> down;     // the keys of the segment before, which do not go down again
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = TrimmedLine(line);
        if (line.empty()) continue;
        GameSegment segment;
        if (!ReadLine(line, down, segment, error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
        script.Add(segment);
    }
    return true;
}

void DriveGameScript(GameScriptDriver& driver, std::int64_t frame) {
    std::int64_t offset = 0;
    if (const GameSegment* now = SegmentOf(driver, frame, offset)) {
        if (offset == 0) {
            for (const std::string& key : now->buffered) HeadlessPushKey(key);
            Headless.wheel += now->wheel;
        }
        if (offset < static_cast<std::int64_t>(now->typed.size())) HeadlessPushKey(std::string(1, now->typed[offset]));
    }
    const GameSegment* next = SegmentOf(driver, frame + 1, offset);
    std::fill(std::begin(Headless.held), std::end(Headless.held), false);
    Headless.mouseButtons = 0;
    if (!next) return;
    for (int code : next->held) Headless.held[code] = true;
    if (next->mouse) {
        const bool inside = next->mouseX >= 0;
        Headless.mouseX = inside ? Scaled(next->mouseX, Headless.width, 1024) : -1;
        Headless.mouseY = inside ? Scaled(next->mouseY, Headless.height, 768) : -1;
        Headless.mouseButtons = (next->mouseLeft ? 1 : 0) | (next->mouseRight ? 2 : 0);
    }
}

int RunGame(const GameOptions& options, const std::function<void(const std::string& line)>& trace) {
    HeadlessReset();
    Headless.frameTime = 1.0 / options.fps;
    Headless.date = options.date;
    Headless.seed = options.seed;
    Headless.maxFrames = options.maxFrames;
    PlatformSetFixedFrameTime(1.0 / options.fps);
    if (!options.dataFolder.empty()) SetProgramFolder(options.dataFolder);
    // A run starts as a freshly started program does, whatever ran before it in this process.
    playRun = PlayRun{};
    attempt = PlayAttempt{};
    view = BoardView{};
    menu = MenuState{};

    GameScriptDriver driver;
    driver.script = &options.script;
    DriveGameScript(driver, 0);
    Headless.onFrame = [&](std::int64_t frame) { DriveGameScript(driver, frame); };

    std::string lastMenu;
    if (trace) {
        menuHooks.linesBuilt = [&] {
            std::string state = MenuFields();
            if (state == lastMenu) return;
            lastMenu = state;
            trace(FramePrefix() + state);
        };
        menuHooks.levelPlayed = [&](std::int32_t played, bool completed, std::int32_t points) {
            trace(FramePrefix() + "\"played\":" + std::to_string(played) + ",\"result\":\"" +
                  (completed ? "completed" : "not completed") + "\",\"score\":" + std::to_string(points) + "}");
        };
        menuHooks.editor = [&](const char* what) { trace(FramePrefix() + "\"editor\":" + JsonString(what) + "}"); };
        menuHooks.bestRunWatched = [&](bool completed, std::int64_t frames) {
            trace(FramePrefix() + "\"best run\":\"" + (completed ? "completed" : "not completed") +
                  "\",\"frames\":" + std::to_string(frames) + "}");
        };
        menuHooks.demoPlayed = [&](bool completed, std::int64_t frames, std::int32_t difficulty) {
            trace(FramePrefix() + "\"demo\":\"" + (completed ? "completed" : "not completed") +
                  "\",\"frames\":" + std::to_string(frames) + ",\"difficulty\":" + std::to_string(difficulty) + "}");
        };
    }

    std::vector<std::string> arguments = {ProgramFolder() + "kolbrix"};
    if (!options.argument.empty()) arguments.push_back(options.argument);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    bool returned = false;
    int mainCode = 0;
    int code = HeadlessRun([&] {
        mainCode = KolbrixMain(static_cast<int>(arguments.size()), argv.data());
        returned = true;
    });
    if (returned) code = mainCode;
    if (Headless.frame > Headless.maxFrames) {
        code = GameOutOfFrames;
        CloseAudio();       // the program did not get to close it
    }
    if (trace) trace(FramePrefix() + "\"exit\":" + std::to_string(code) + "}");

    menuHooks = MenuHooks{};
    Headless.onFrame = nullptr;
    std::fill(std::begin(Headless.held), std::end(Headless.held), false);
    PlatformSetFixedFrameTime(0);
    return code;
}
