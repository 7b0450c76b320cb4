// kolbrix-tool: the game's own code behind a command line, on the headless back end.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "base/files.h"

namespace {

struct ToolCommand {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

int Help(int argc, char** argv);

}  // namespace

int ToolPng(int argc, char** argv);
int ToolStats(int argc, char** argv);
int ToolShot(int argc, char** argv);
int ToolPlay(int argc, char** argv);
int ToolGame(int argc, char** argv);
int ToolDump(int argc, char** argv);
int ToolImportLegacy(int argc, char** argv);
int ToolBuild(int argc, char** argv);
int ToolSoak(int argc, char** argv);
int ToolSolve(int argc, char** argv);
int ToolFairness(int argc, char** argv);
int ToolPack(int argc, char** argv);
int ToolReplay(int argc, char** argv);

namespace {

const ToolCommand Commands[] = {
    {"help", Help, "help                      this list"},
    {"png", ToolPng, "png FILE [OUT.pam]        decode a PNG with the game's decoder"},
    {"stats", ToolStats, "stats FILE.sts            a player's statistics file as JSON"},
    {"shot", ToolShot, "shot LEVEL OUT.png [--data DIR] [--size WxH] [--editor] [--frames N] [--plain]\n"
                       "                            the level drawn as the game shows it, saved as a picture"},
    {"play", ToolPlay, "play LEVEL [--data DIR] [--inputs FILE] [--seed N] [--difficulty D] [--fps F] [--max-frames N]\n"
                       "          [--trace]        plays a level headless from a key script; --window [--record FILE]:\n"
                       "                            in a window from the keyboard"},
    {"game", ToolGame, "game [ARG] [--data DIR] [--inputs FILE] [--seed N] [--fps F] [--date MM-DD-YYYY] [--max-frames N]\n"
                       "          [--trace]        runs the whole game headless from its start, driven by a script of\n"
                       "                            keys, pointer moves and typed text"},
    {"dump", ToolDump, "dump LEVEL [--data DIR]   a level as JSON; dump --source LEVEL: as level source"},
    {"import-legacy", ToolImportLegacy, "import-legacy IN OUT.kbx [--data DIR]  convert an old text-screen level"},
    {"build", ToolBuild, "build SRC OUT.kbx [--data DIR]  build a level file from its source"},
    {"solve", ToolSolve, "solve LEVEL [--data DIR] [--difficulty D] [--seed N] [--budget SECONDS] [--out FILE.keys]\n"
                         "          [--progress]     searches for a way to win a level and checks it by replaying it"},
    {"fairness", ToolFairness, "fairness LEVEL [--solution FILE.keys] [--data DIR] [--difficulty D] [--seed N] [--runs R]\n"
                               "          [--budget SECONDS]  a solution played with a person's timing errors, re-planned\n"
                               "                            after each; the runs won and the narrowest timing window"},
    {"pack", ToolPack, "pack export FOLDER [--out FILE.zip] | pack install FILE.zip [--data DIR]\n"
                       "                            a level or texture pack as one .zip archive, and one installed\n"
                       "                            after every check of it"},
    {"replay", ToolReplay, "replay FILE.kbr [--level LEVEL] [--data DIR] [--trace | --keys | --window]\n"
                           "                            a player's best run played headless (exit 1 when its result\n"
                           "                            differs), written as a key script, or shown in a window"},
    {"soak", ToolSoak, "soak [LEVEL...] [--data DIR] [--frames N] [--seed N] [--bound-ms MS]\n"
                       "                            every level played long with random keys, drawn headless"},
};

int Help(int, char**) {
    std::printf("usage: kolbrix-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const ToolCommand& command : Commands) std::printf("  %s\n", command.usage);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    PlatformInit(PlatformBackend::Headless, argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        Help(0, nullptr);
        return argc < 2 ? 2 : 0;
    }
    for (const ToolCommand& command : Commands)
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
    std::fprintf(stderr, "kolbrix-tool: unknown command '%s' (see kolbrix-tool --help)\n", argv[1]);
    return 2;
}
