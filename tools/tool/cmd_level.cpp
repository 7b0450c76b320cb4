// Level commands of kolbrix-tool. Each one reads levels through the game's own loader and catalogue; the
// catalogue is built from the texture packs' file names alone (no image is decoded).
//
//   dump LEVEL [--data DIR]            the level as one JSON object
//   dump --source LEVEL [--data DIR]   the level as level source text (docs/levels.md)
//   import-legacy IN OUT.kbx [--data DIR]
//                                      reads IN (any version, or the old text-screen format) and saves OUT.kbx
//   build SRC OUT.kbx [--data DIR]     builds a level file (and its hint files) from level source text
//
// Hint files come one per language, named by the extension that line 84 of each language file gives ("001.en.txt",
// "001.de.txt"). A level in memory holds one language's hints, so `build` and `dump --source` carry the other
// languages' hints beside it: build writes a hint file for every language the source has hints in (and removes
// the stale hint files of the folder's other languages), and dump --source reads the hint files of every language
// of the folder, writing the English ones as `hint` lines and the others as `hint CODE` lines.
//
// DIR is the program folder whose texture packs, language file and audio/ folder are used (default: the tool's
// own folder). Exit codes: 0 done, 1 the level did not load or save (or the source has a mistake), 2 wrong
// command line.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/text_codec.h"
#include "base/message.h"
#include "platform/platform.h"
#include "play/level.h"
#include "shell/level_load.h"
#include "play/level_source.h"
#include "play/random.h"
#include "base/files.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "gfx/pack_textures.h"
#include "tiles/texture_packs.h"
#include "tools/tool/game_data.h"

namespace {

struct LevelArguments {
    std::vector<std::string> files;
    std::string dataFolder;
    bool source = false;
};

// Splits the arguments after the command name; false on an unknown option or a missing value.
bool ParseArguments(int argc, char** argv, bool allowSource, LevelArguments& args) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0) {
            if (i + 1 >= argc) return false;
            args.dataFolder = argv[++i];
        } else if (allowSource && std::strcmp(argv[i], "--source") == 0) {
            args.source = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return false;
        } else {
            args.files.push_back(argv[i]);
        }
    }
    return true;
}

// The language file PrepareData chose ("" for none).
std::string preparedLanguage;

// The program folder as the game would see it: its language, its texture packs (names only), its music list
// (nothing plays), and the level records set to the catalogue's defaults.
void PrepareData(const std::string& dataFolder) {
    SetProgramFolder(dataFolder);
    LoadSettings();
    MusicOn = 0;
    SoundOn = 0;
    QuotesOn = 0;
    preparedLanguage = LoadLanguageOfSettings();
    LoadTexturePackNames();
    TakeCatalogueDefaults();
    MusicList = ListMusic(ProgramFolder());
    musicIndex = 1;
    SeedRandom(1);
    MessageState = 0;
}

// The track a saved copy of the loaded level would name: the file's own for a level file, else the current one.
std::string LoadedMusicTrack() {
    if (levelFileVersion >= 0) return levelMusicTrack;
    return musicIndex >= 1 && musicIndex <= MusicList.Count() ? MusicList[musicIndex] : std::string();
}

// Writes the hint lines beside a level file, or removes a hint file that the level no longer has.
bool WriteHints(const std::string& levelPath) {
    bool any = false;
    for (int n = 1; n <= 4; ++n) any = any || !level.hintLines[n].empty();
    if (LanguageText[LineHintFileExtension].empty()) {
        if (!any) return true;
        std::fprintf(stderr, "no language file names the hint file's extension (line 84)\n");
        return false;
    }
    std::string path = HintFilePath(levelPath);
    if (!any) {
        if (PlatformFileExists(path)) PlatformDeleteFile(path);
        return true;
    }
    int last = 4;
    while (level.hintLines[last].empty()) --last;
    std::string text;
    for (int n = 1; n <= last; ++n) text += level.hintLines[n] + "\r\n";
    if (!PlatformWriteFileAtomic(path, text)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// The hint-file codes of the folder's languages: each language file's line 84 without ".txt" (languages whose
// extension does not end so are left out: no source line can name their hint files).
std::vector<std::string> FolderHintLanguages() {
    std::vector<std::string> codes;
    for (const std::string& name : LanguageList) {
        LoadLanguage(name);
        const std::string& extension = LanguageText[LineHintFileExtension];
        if (extension.size() > 4 && extension.ends_with(".txt")) {
            const std::string code = extension.substr(0, extension.size() - 4);
            if (std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
        }
    }
    if (!preparedLanguage.empty()) LoadLanguage(preparedLanguage);
    return codes;
}

// Writes one language's hint file beside a level file, or removes it when the lines are all empty.
bool WriteHintFile(const std::string& levelPath, const std::string& language, const std::string (&lines)[5]) {
    const std::string path = HintFilePathFor(levelPath, language);
    int last = 4;
    while (last >= 1 && lines[last].empty()) --last;
    if (last == 0) {
        if (PlatformFileExists(path)) PlatformDeleteFile(path);
        return true;
    }
    std::string text;
    for (int n = 1; n <= last; ++n) text += lines[n] + "\r\n";
    if (!PlatformWriteFileAtomic(path, text)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

// The hint files of a built level: the English hints in memory and every other language of the source; the hint
// files of the folder's languages that the source has no hints for are removed.
bool WriteSourceHints(const std::string& levelPath, const List<LevelHints>& otherHints) {
    const std::vector<std::string> folderLanguages = FolderHintLanguages();
    std::vector<std::string> written = {DefaultHintLanguage};
    bool ok = WriteHintFile(levelPath, DefaultHintLanguage, level.hintLines);
    for (const LevelHints& hints : otherHints) {
        ok = WriteHintFile(levelPath, hints.language, hints.lines) && ok;
        written.push_back(hints.language);
        if (std::find(folderLanguages.begin(), folderLanguages.end(), hints.language) == folderLanguages.end())
            std::fprintf(stderr, "build: no language file of the program folder reads hint files \"%s\"\n",
                         HintFilePathFor(levelPath, hints.language).c_str());
    }
    const std::string empty[5];
    for (const std::string& language : folderLanguages)
        if (std::find(written.begin(), written.end(), language) == written.end())
            ok = WriteHintFile(levelPath, language, empty) && ok;
    return ok;
}

// The hints of every language of the folder from the hint files beside a level: the English ones into hintLines,
// the others into the list.
void ReadAllHints(const std::string& levelPath, List<LevelHints>& otherHints) {
    otherHints.Clear();
    for (std::string& line : level.hintLines) line.clear();
    for (const std::string& language : FolderHintLanguages()) {
        std::string text;
        if (!PlatformReadFile(HintFilePathFor(levelPath, language), text)) continue;
        if (language == DefaultHintLanguage) {
            ParseHintLines(text, level.hintLines);
            continue;
        }
        LevelHints hints;
        hints.language = language;
        ParseHintLines(text, hints.lines);
        otherHints.Add(hints);
    }
}

// ---- JSON ------------------------------------------------------------------------------------------------------

// The shortest text that reads back as the same double; JSON has no infinities or NaN.
std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string JsonObject(const LevelObject& object) {
    double t = object.texture;
    std::int32_t texture = t >= 0 && t <= 2147483647.0 ? static_cast<std::int32_t>(t) : 0;
    const TextureEntry& entry = Entry(texture);
    return "{\"texture\": " + JsonNumber(object.texture) + ", \"pack\": " + JsonString(entry.pack) +
           ", \"name\": " + JsonString(entry.name) + ", \"kind\": " + JsonString(EntryKindName(texture)) +
           ", \"param1\": " + JsonNumber(object.param1) + ", \"param2\": " + JsonNumber(object.param2) +
           ", \"x\": " + JsonNumber(object.x) + ", \"y\": " + JsonNumber(object.y) + "}";
}

std::string JsonLevel(const std::string& message1, const std::string& message2,
                      const std::string& message3, bool messageRaised) {
    std::string out = "{";
    out += "\"version\": " + (levelFileVersion >= 0 ? std::to_string(levelFileVersion) : std::string("null"));
    out += ", \"levelTitle\": " + JsonString(level.levelTitle);
    out += ", \"music\": " +
           JsonString(musicIndex >= 1 && musicIndex <= MusicList.Count() ? MusicList[musicIndex] : std::string());
    out += ", \"levelZoom\": " + JsonNumber(level.levelZoom);
    out += ", \"deathCounter\": " + JsonNumber(level.deathCounter);
    out += ", \"winCounter\": " + JsonNumber(level.winCounter);
    out += ", \"bombCount\": " + std::to_string(level.bombCount);
    out += ", \"ballSizeDivisor\": " + JsonNumber(level.ballSizeDivisor);
    out += ", \"ballGrowFlag\": " + std::to_string(level.ballGrowFlag);
    out += ", \"ballGrowth\": " + JsonNumber(level.ballGrowth);
    out += ", \"timeLimit\": " + JsonNumber(level.timeLimit);
    out += ", \"hints\": [";
    for (int n = 1; n <= 4; ++n) out += (n > 1 ? ", " : "") + JsonString(level.hintLines[n]);
    out += "]";
    out += ", \"bounds\": {\"minX\": " + JsonNumber(level.levelBounds.minX) + ", \"maxX\": " + JsonNumber(level.levelBounds.maxX) +
           ", \"minY\": " + JsonNumber(level.levelBounds.minY) + ", \"maxY\": " + JsonNumber(level.levelBounds.maxY) + "}";
    out += ", \"background\": " + JsonObject(level.background);
    out += ", \"ball\": " + JsonObject(level.ball);
    out += ", \"ballShadow\": " + JsonObject(level.ballShadow);
    out += ", \"layers\": {";
    for (std::int32_t layer = 1; layer <= LevelLayerCount; ++layer) {
        out += std::string(layer > 1 ? ", " : "") + "\"" + LayerName(layer) + "\": [";
        const Layer& objects = LevelLayer(layer);
        for (int i = 1; i <= objects.Count(); ++i) out += (i > 1 ? ", " : "") + JsonObject(objects[i]);
        out += "]";
    }
    out += "}";
    out += ", \"elevators\": [";
    for (int i = 1; i <= level.elevatorIndex.Count(); ++i) out += (i > 1 ? ", " : "") + std::to_string(level.elevatorIndex[i]);
    out += "]";
    out += ", \"message\": ";
    if (messageRaised)
        out += "[" + JsonString(message1) + ", " + JsonString(message2) + ", " + JsonString(message3) + "]";
    else
        out += "null";
    out += "}";
    return out;
}

}  // namespace

int ToolDump(int argc, char** argv) {
    LevelArguments args;
    if (!ParseArguments(argc, argv, true, args) || args.files.size() != 1) {
        std::fprintf(stderr, "usage: kolbrix-tool dump [--source] LEVEL [--data DIR]\n");
        return 2;
    }
    PrepareData(args.dataFolder);
    bool loaded = LoadLevel(args.files[0]);
    bool messageRaised = MessageState != 0;
    if (args.source) {
        List<LevelHints> otherHints;
        ReadAllHints(args.files[0], otherHints);
        std::fputs(WriteLevelSource(LoadedMusicTrack(), otherHints).c_str(), stdout);
        if (messageRaised)
            std::fprintf(stderr, "%s\n%s\n%s\n", DialogLine1.c_str(), DialogLine2.c_str(), DialogLine3.c_str());
    } else {
        std::string json = JsonLevel(DialogLine1, DialogLine2, DialogLine3, messageRaised);
        std::printf("%s\n", json.c_str());
    }
    return loaded ? 0 : 1;
}

int ToolImportLegacy(int argc, char** argv) {
    LevelArguments args;
    if (!ParseArguments(argc, argv, false, args) || args.files.size() != 2) {
        std::fprintf(stderr, "usage: kolbrix-tool import-legacy IN OUT.kbx [--data DIR]\n");
        return 2;
    }
    PrepareData(args.dataFolder);
    if (!LoadLevel(args.files[0])) {
        std::fprintf(stderr, "import-legacy: %s does not read\n", args.files[0].c_str());
        return 1;
    }
    if (MessageState != 0)
        std::fprintf(stderr, "%s %s %s\n", DialogLine1.c_str(), DialogLine2.c_str(), DialogLine3.c_str());
    if (!SaveLevel(args.files[1])) {
        std::fprintf(stderr, "import-legacy: cannot save %s\n", args.files[1].c_str());
        return 1;
    }
    return WriteHints(args.files[1]) ? 0 : 1;
}

int ToolBuild(int argc, char** argv) {
    LevelArguments args;
    if (!ParseArguments(argc, argv, false, args) || args.files.size() != 2) {
        std::fprintf(stderr, "usage: kolbrix-tool build SRC OUT.kbx [--data DIR]\n");
        return 2;
    }
    PrepareData(args.dataFolder);
    std::string text;
    if (!PlatformReadFile(args.files[0], text)) {
        std::fprintf(stderr, "build: cannot read %s\n", args.files[0].c_str());
        return 1;
    }
    std::string music, error;
    List<LevelHints> otherHints;
    if (!ReadLevelSource(text, music, otherHints, error)) {
        std::fprintf(stderr, "%s: %s\n", args.files[0].c_str(), error.c_str());
        return 1;
    }
    // The file names exactly the track the source names, whatever the music folder holds.
    MusicList.Clear();
    if (!music.empty()) MusicList.Add(music);
    musicIndex = 1;
    if (!SaveLevel(args.files[1])) {
        std::fprintf(stderr, "build: cannot save %s\n", args.files[1].c_str());
        return 1;
    }
    return WriteSourceHints(args.files[1], otherHints) ? 0 : 1;
}
