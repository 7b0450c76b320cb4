// kolbrix-tool game: the whole program, from its entry to Quit(), on the headless back end, driven by a script of
// keys, pointer moves and typed text (docs/game.md).
//
//   game [ARG] [--data DIR] [--inputs FILE] [--seed N] [--fps F] [--date MM-DD-YYYY] [--max-frames N] [--trace]
//
// ARG is the game's own first argument ("nostalgic"); after "--" it may start with dashes. DIR is the program
// folder the game reads and writes as it always does (default: the tool's own folder). Every frame lasts 1/F
// seconds of the virtual clock (default 60), today is the given date (default 06-15-2026) and start-up seeds the
// random numbers with N (default 1). --trace writes a JSON line for every change of the menu, every level played
// and every step into and out of the editor, and last the exit code.
//
// Exit codes: the program's own (0 after quitting), 3 when N frames (default 100000) ran out first, 2 for a wrong
// command line or a script that does not read.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "editor/editor.h"
#include "tools/tool/arguments.h"
#include "platform/platform.h"
#include "shell/game_script.h"

namespace {

constexpr const char* Usage =
    "usage: kolbrix-tool game [ARG] [--data DIR] [--inputs FILE] [--seed N] [--fps F] [--date MM-DD-YYYY]\n"
    "                         [--max-frames N] [--trace]\n";


// "mm-dd-yyyy" naming a day that exists: the game compares the text of today's date, so it must be well formed.
bool ValidDate(const std::string& date) {
    if (date.size() != 10 || date[2] != '-' || date[5] != '-') return false;
    for (int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (date[i] < '0' || date[i] > '9') return false;
    const int month = std::stoi(date.substr(0, 2)), day = std::stoi(date.substr(3, 2));
    const int year = std::stoi(date.substr(6));
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 && day >= 1 && day <= days[month - 1];
}

struct GameArguments {
    GameOptions options;
    std::string inputs;
    bool trace = false;
};

// False with `error` for a command line the tool does not take.
bool ParseArguments(int argc, char** argv, GameArguments& args, std::string& error) {
    int positional = 0;
    bool optionsOver = false;
    auto fail = [&](const std::string& message) {
        error = message;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (!optionsOver && arg.rfind("--", 0) == 0) {
            if (arg == "--") {
                optionsOver = true;
            } else if (arg == "--trace") {
                args.trace = true;
            } else if (!hasValue) {
                const bool known = arg == "--data" || arg == "--inputs" || arg == "--seed" || arg == "--fps" ||
                                   arg == "--date" || arg == "--max-frames";
                return fail(known ? arg + " needs a value" : "unknown option " + arg);
            } else if (arg == "--data") {
                args.options.dataFolder = argv[++i];
                if (args.options.dataFolder.empty()) return fail("--data needs a folder");
                if (args.options.dataFolder.back() != '/') args.options.dataFolder += '/';
            } else if (arg == "--inputs") {
                args.inputs = argv[++i];
            } else if (arg == "--seed") {
                if (!ParseInteger(argv[++i], 0, 4294967295LL, n)) return fail("--seed takes 0 to 4294967295");
                args.options.seed = static_cast<std::uint32_t>(n);
            } else if (arg == "--fps") {
                // Whole frame rates only: 1/F is then the same number on every machine.
                if (!ParseInteger(argv[++i], 1, 1000, n)) return fail("--fps takes 1 to 1000");
                args.options.fps = static_cast<double>(n);
            } else if (arg == "--date") {
                args.options.date = argv[++i];
                if (!ValidDate(args.options.date)) return fail("--date takes a day as MM-DD-YYYY");
            } else if (arg == "--max-frames") {
                if (!ParseInteger(argv[++i], 1, 1000000000000LL, n)) return fail("--max-frames takes a count");
                args.options.maxFrames = n;
            } else {
                return fail("unknown option " + arg);
            }
        } else {
            args.options.argument = arg;
            if (++positional > 1) return fail("the game takes one argument");
        }
    }
    return true;
}

int UsageError(const std::string& message) {
    if (!message.empty()) std::fprintf(stderr, "kolbrix-tool game: %s\n", message.c_str());
    std::fputs(Usage, stderr);
    return 2;
}

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

}  // namespace

int ToolGame(int argc, char** argv) {
    GameArguments args;
    std::string error;
    if (!ParseArguments(argc, argv, args, error)) return UsageError(error);
    if (!args.inputs.empty()) {
        std::string text;
        if (!PlatformReadFile(args.inputs, text)) return UsageError("cannot read " + args.inputs);
        if (!ParseGameScript(text, args.options.script, error)) return UsageError(args.inputs + ": " + error);
    }
    if (!args.options.dataFolder.empty() && !PlatformFolderExists(args.options.dataFolder))
        return UsageError("no folder " + args.options.dataFolder);
    InstallEditor();
    const int code = RunGame(args.options, args.trace ? PrintLine : std::function<void(const std::string&)>());
    std::fflush(stdout);
    return code;
}
