// kolbrix-tool replay: a player's best run (a .kbr file, shell/best_runs.h) played by the game's own PlayLevel.
//
//   replay FILE [--level LEVEL] [--data DIR] [--trace]   headless; exit 0 when the run ends as it was recorded
//   replay FILE [--level LEVEL] [--data DIR] --keys      the run as a key script on standard output
//   replay FILE [--level LEVEL] [--data DIR] --window    shown in a window, with the level screen's keys
//
// The level is LEVEL, else the level of the run's number beside the file (a pack of the player's own), else in the
// pack folder of the same name in the program folder (a shipped pack). A run recorded by another version or on
// another level file is not played. Exit codes: 0 the result is the recorded one (score, frames and level clock to
// the last bit), 1 it differs, 2 a wrong command line, a file that does not read, or a run that is not played.
#include <cstdio>
#include <string>

#include "base/files.h"
#include "base/message.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "platform/platform.h"
#include "play/level.h"
#include "play/play_loop.h"
#include "shell/best_runs.h"
#include "shell/demo.h"
#include "shell/replay.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tools/tool/game_data.h"
#include "tools/tool/headless_play.h"

namespace {

constexpr const char* Usage =
    "usage: kolbrix-tool replay FILE [--level LEVEL] [--data DIR] [--trace | --keys | --window]\n";

struct ReplayArguments {
    std::string file, level, dataFolder;
    bool trace = false, keys = false, window = false;
};

bool ParseArguments(int argc, char** argv, ReplayArguments& args) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--level" && hasValue) args.level = argv[++i];
        else if (arg == "--data" && hasValue) args.dataFolder = argv[++i];
        else if (arg == "--trace") args.trace = true;
        else if (arg == "--keys") args.keys = true;
        else if (arg == "--window") args.window = true;
        else if (arg.size() >= 2 && arg[0] == '-' && arg[1] == '-') return false;
        else {
            args.file = arg;
            ++files;
        }
    }
    return files == 1 && (args.trace + args.keys + args.window) <= 1;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "kolbrix-tool replay: %s\n", message.c_str());
    return 2;
}

// "<folder>/<player>.NNN.kbr" -> the level NNN beside it, else in the program folder's pack of the folder's name.
std::string LevelOfRun(const std::string& file, const BestRun& run) {
    const std::size_t slash = file.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : file.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const std::int32_t number = BestRunLevelOf(name, run.player);
    if (number == 0) return "";
    const std::string beside = folder + ZeroPad(number, 3) + ".kbx";
    if (PlatformFileExists(beside)) return beside;
    std::string pack = folder.empty() ? "" : folder.substr(0, folder.size() - 1);
    pack = pack.substr(pack.find_last_of('/') == std::string::npos ? 0 : pack.find_last_of('/') + 1);
    return ProgramFolder() + pack + "/" + ZeroPad(number, 3) + ".kbx";
}

void PrintLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

}  // namespace

int ToolReplay(int argc, char** argv) {
    ReplayArguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (!args.dataFolder.empty()) SetProgramFolder(args.dataFolder);
    std::string bytes, error;
    BestRun run;
    if (!PlatformReadFile(args.file, bytes)) return Fail("cannot read " + args.file);
    if (!DecodeBestRun(bytes, run, error)) return Fail(args.file + ": " + error);
    if (args.keys) {
        std::printf("# best run of %s, %s: seed %u, difficulty %d, score %d in %lld frames\n", run.player.c_str(),
                    run.date.c_str(), run.seed, run.difficulty, run.score, static_cast<long long>(run.frames));
        std::fputs(FormatInputScript(run.inputs).c_str(), stdout);
        return 0;
    }
    const std::string levelPath = args.level.empty() ? LevelOfRun(args.file, run) : args.level;
    if (levelPath.empty()) return Fail("which level? the file's name does not say (use --level LEVEL)");
    if (run.gameVersion != GameVersion)
        return Fail("recorded by Kolbrix " + run.gameVersion + ", this is " + GameVersion + ": not played");
    std::string level;
    if (!PlatformReadFile(levelPath, level)) return Fail("cannot read the level " + levelPath);
    if (LevelHash(level) != run.levelHash)
        return Fail("the level " + levelPath + " is not the one the run was recorded on: not played");

    if (args.window) {
        char name[] = "kolbrix-tool";
        char* sdlArgs[] = {name, nullptr};
        PlatformInit(PlatformBackend::Sdl, 1, sdlArgs);
        if (!args.dataFolder.empty()) SetProgramFolder(args.dataFolder);
        LoadSettings();
        ActiveWidth = 1024;
        ActiveHeight = 768;
        ActiveFullscreen = 0;
        ResetDisplayState();
        if (!SetDisplayMode(ActiveWidth, ActiveHeight, 32, 0) || !PlatformHasGl()) {
            PlatformInit(PlatformBackend::Headless, 0, nullptr);
            return Fail("cannot open an OpenGL window (is there a display?)");
        }
        SetSwapInterval(0);
        lastFrameTime = PlatformClock();
        LoadToolGameData();
        InitAudio();
        ForgetBoardIndex();
        MessageState = 0;
        const bool completed = PlayBestRunInWindow(run, levelPath);
        CloseAudio();
        PlatformInit(PlatformBackend::Headless, 0, nullptr);
        return completed ? 0 : 1;
    }

    if (!SetUpHeadlessPlay(levelPath, args.dataFolder, run.seed, run.difficulty, DemoFramesPerSecond) ||
        !StartBestRunPlay(run, levelPath))
        return Fail("cannot load the level " + levelPath);
    MessageState = 0;
    ReplayOptions options;
    options.fps = DemoFramesPerSecond;
    options.maxFrames = run.frames + DemoFramesAfterScript;
    if (args.trace) options.trace = PrintLine;
    const ReplayResult result = RunReplay(run.inputs, options, HeadlessReplayDevice());
    PrintLine(ResultLine(result.completed, result.frames));
    const bool same = result.completed && score == run.score && result.frames == run.frames &&
                      attempt.elapsedTime == run.elapsed;
    PrintLine("{\"recorded\":{\"score\":" + std::to_string(run.score) + ",\"frames\":" + std::to_string(run.frames) +
              ",\"elapsed\":" + Number(run.elapsed) + "},\"same\":" + (same ? "true" : "false") + "}");
    std::fflush(stdout);
    CloseAudio();
    return same ? 0 : 1;
}
