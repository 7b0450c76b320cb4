#include "shell/level_load.h"

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "gfx/board.h"
#include "gfx/pack_textures.h"
#include "platform/platform.h"
#include "play/legacy_import.h"
#include "play/random.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"

std::int32_t levelModified = 0;

namespace {

// Guards ClearLevel against itself: loading "emptylevel.kbx" may fail, and a failed load clears the level.
bool clearingLevel = false;

void RaiseSaveMessage(bool ioError) {
    MessageState = 1;
    DialogButton1 = LanguageText[LineOk];
    DialogLine1 = LanguageText[LineSaveFailed];
    DialogLine2 = ioError ? LanguageText[LineWriteError] : LanguageText[LineCannotCreate];
    DialogLine3 = LanguageText[LineCheckFolder];
}

// The level the player is on, as the load message names it, whatever file was asked for.
std::string CurrentLevelName() {
    std::string pack = PackIndex >= 1 && PackIndex <= PackList.Count() ? PackFolderName(PackList[PackIndex]) : "";
    return pack + "/" + ZeroPad(LevelNumber, 3) + ".kbx";
}

bool FailLoad() {
    ClearLevel();
    levelFileVersion = -1;
    levelMusicTrack.clear();
    MessageState = 1;
    DialogButton1 = LanguageText[LineOk];
    DialogLine1 = LanguageText[LineLoadingProblem];
    DialogLine2 = LanguageText[LineLevelUnreadable];
    DialogLine3 = CurrentLevelName();
    return false;
}

std::string CurrentMusicTrack() {
    if (musicIndex >= 1 && musicIndex <= MusicList.Count()) return MusicList[musicIndex];
    return "";
}

// The level names its own track when the music list holds it (by name, in any case).
void TakeLevelMusic(const std::string& track) {
    std::string wanted = LowerCase(track);
    for (int i = 1; i <= MusicList.Count(); ++i) {
        if (LowerCase(MusicList[i]) == wanted) {
            musicIndex = i;
            break;
        }
    }
}

bool LoadOldLevel(const std::string& path) {
    ClearLevel();
    levelFileVersion = -1;
    levelMusicTrack.clear();
    bool imported = ImportLegacyLevel(path) != 0;
    ReadHintFile(path);
    ComputeLevelRecord();
    return imported;
}

}  // namespace

std::string EncodeLevel() {
    LevelData data = TakeLevel();
    data.musicTrack = CurrentMusicTrack();
    return EncodeLevel(data);
}

bool SaveLevel(const std::string& path) {
    // The new file is written beside the old one and renamed over it only when complete, so a full disk or a
    // crash never costs the level that was there.
    if (PlatformWriteFileAtomic(path, EncodeLevel())) return true;
    // A missing folder (or no usable name) is not an input/output error; a write that failed on the way is.
    std::string folder = FolderOf(path);
    bool folderThere = !path.empty() && path.back() != '/' && (folder.empty() || PlatformFolderExists(folder));
    RaiseSaveMessage(folderThere);
    return false;
}

std::string CurrentLevelPath() {
    // Without a current pack, a name in a folder "/" of the data folder that is never there.
    std::string folder = CurrentPackFolder();
    if (folder.empty()) folder = DataFolder() + "/";
    return folder + ZeroPad(LevelNumber, 3) + ".kbx";
}

void ReadHintFile(const std::string& levelPath) {
    view.hintBoxWidth = 0;
    std::string text;
    if (!PlatformReadFile(HintFilePath(levelPath), text)) text.clear();
    ParseHintLines(text, level.hintLines);
}

void ClearLevel() {
    if (clearingLevel) {
        // "emptylevel.kbx" itself did not read (or is not a level file): fall back to the built-in one.
        MakeBuiltInEmptyLevel();
        return;
    }
    clearingLevel = true;
    LoadLevel(ProgramFolder() + "emptylevel.kbx");
    clearingLevel = false;
}

bool LoadLevel(const std::string& requestedPath) {
    ResetLevelBounds();
    std::string path = requestedPath;
    if (path.empty()) {
        path = CurrentLevelPath();
    } else {
        // Each level of a pack plays the next track unless the file names its own.
        ++musicIndex;
        if (musicIndex > MusicList.Count() || musicIndex < 1) musicIndex = 1;
    }
    view.cameraX = RandomInt(-2000, 2000);
    view.cameraY = RandomInt(-2000, 2000);
    view.currentZoom = 1.0;

    std::string bytes;
    if (!PlatformReadFile(path, bytes)) return FailLoad();
    if (!IsLevelHeader(bytes)) {
        const bool loaded = LoadOldLevel(path);
        ReleaseImagesOutsideLevel();     // the frames in memory are the new level's
        return loaded;
    }

    // Decoded into the same record every time: it holds the level before last, whose storage is reused.
    static LevelData data;
    const bool read = DecodeLevel(bytes, data);
    levelFileVersion = data.version;
    if (read) levelMusicTrack = data.musicTrack;
    // Each missing texture raises the message; the last one stays on screen.
    for (const MissingTexture& missing : data.missing) RaiseMissingTexture(missing.pack, missing.name);
    if (!read) return FailLoad();
    TakeLevelMusic(data.musicTrack);
    InstallLevel(data);
    ReleaseImagesOutsideLevel();         // the frames in memory are the new level's

    if (MusicOn != 0) PlayMusic(CurrentMusicTrack());
    focusX = level.ball.x;
    focusY = level.ball.y;
    levelModified = 0;
    ReadHintFile(path);
    ComputeLevelRecord();
    return true;
}
