#include "play/level_file.h"

#include <cmath>

#include "editor/dialog.h"
#include "platform/platform.h"
#include "play/random.h"
#include "shell/files.h"
#include "shell/language.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "shell/settings.h"
#include "sound/sound.h"
#include "tiles/catalogue.h"
#include "tiles/legacy_import.h"

std::int32_t levelFileVersion = -1;
std::string levelMusicTrack;

namespace {

const char LevelMagic[6] = {'Q', 'Z', 'K', 'B', 'X', '\0'};

std::int32_t TextureOf(const LevelObject& object) {
    double t = object.texture;
    if (!(t >= 0) || t > 2147483647.0) return 0;
    return static_cast<std::int32_t>(t);
}

// The smallest stored record of the version being read: two empty strings and the four numbers (and the
// ignored extra number of version 0). A layer count is checked against it before anything is allocated.
size_t SmallestRecord() {
    size_t numbers = levelFileVersion < 3 ? 4 * 4 : 4 * 8;
    return 4 + 4 + numbers + (levelFileVersion == 0 ? 4 : 0);
}

// Whether a texture name contains "blank" in any case; runs once per object, so without a lower-cased copy.
bool NamesBlank(const std::string& name) {
    static const char word[] = "blank";
    for (size_t start = 0; start + 5 <= name.size(); ++start) {
        size_t i = 0;
        while (i < 5 && (name[start + i] | 0x20) == word[i]) ++i;
        if (i == 5) return true;
    }
    return false;
}

bool ReadObject(ByteReader& file, LevelObject& object, bool inLayer) {
    std::string pack = ReadString(file);
    std::string name = ReadString(file);
    if (levelFileVersion < 3) {
        object.param1 = ReadI32(file);
        object.param2 = ReadI32(file);
        object.x = ReadI32(file);
        object.y = ReadI32(file);
    } else {
        object.param1 = ReadF64(file);
        object.param2 = ReadF64(file);
        object.x = ReadF64(file);
        object.y = ReadF64(file);
    }
    if (levelFileVersion == 0) {
        ReadI32(file);
        object.param1 = 0;
    }
    if (!file.ok) return false;

    std::int32_t texture = FindTexture(pack, name);
    const TextureEntry& entry = Entry(texture);
    object.texture = texture;
    object.timer = 0;
    // Objects start somewhere in their animation so that a row of equal tiles does not move in step; tiling
    // textures share one animation and always start at the first frame.
    if (entry.repeat != 0) {
        object.frame = entry.firstFrame;
    } else if (inLayer) {
        object.frame = RandomInt(RoundEven(1000.0 * entry.firstFrame), RoundEven(1000.0 * entry.lastFrame)) / 1000.0;
    } else {
        object.frame = RandomInt(RoundEven(entry.firstFrame), RoundEven(entry.lastFrame));
    }
    // "blank" objects are invisible helpers (frames, markers) and do not make the level any larger.
    if (inLayer && !NamesBlank(name)) WidenLevelBounds(object.x, object.y);
    return true;
}

void RaiseSaveMessage(bool ioError) {
    MessageState = 1;
    DialogButton1 = LanguageText[53];
    DialogLine1 = LanguageText[76];
    DialogLine2 = ioError ? LanguageText[77] : LanguageText[78];
    DialogLine3 = LanguageText[79];
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
    DialogButton1 = LanguageText[53];
    DialogLine1 = LanguageText[80];
    DialogLine2 = LanguageText[81];
    DialogLine3 = CurrentLevelName();
    return false;
}

std::string CurrentMusicTrack() {
    if (musicIndex >= 1 && musicIndex <= MusicList.Count()) return MusicList[musicIndex];
    return "";
}

bool IsLevelHeader(const std::string& bytes) {
    if (bytes.size() < 7) return false;
    for (int i = 0; i < 6; ++i)
        if (bytes[static_cast<size_t>(i)] != LevelMagic[i]) return false;
    return static_cast<unsigned char>(bytes[6]) <= NewestLevelFileVersion;
}

// Everything after the header. False as soon as anything runs past the end of the data.
bool ReadLevelBody(ByteReader& file) {
    if (!ReadRecord(file, background)) return false;
    for (std::int32_t layer = GroundLayerNumber; layer <= WallLayerNumber; ++layer)
        if (!ReadLayer(file, LevelLayer(layer))) return false;
    BuildElevatorIndex();
    if (!ReadLayer(file, crackLayer)) return false;
    if (!ReadRecord(file, ball)) return false;
    if (levelFileVersion < 8) {
        // Older files stored the shadow; its place is kept but the shadow keeps the catalogue's texture.
        double shadowTexture = ballShadow.texture;
        if (!ReadRecord(file, ballShadow)) return false;
        ballShadow.texture = shadowTexture;
        ballShadow.frame = Entry(TextureOf(ballShadow)).firstFrame;
    }
    if (!ReadLayer(file, explosionLayer)) return false;
    if (!ReadLayer(file, spareLayer)) return false;

    levelMusicTrack = ReadString(file);
    if (!file.ok) return false;
    std::string wanted = LowerCase(levelMusicTrack);
    for (int i = 1; i <= MusicList.Count(); ++i) {
        if (LowerCase(MusicList[i]) == wanted) {
            musicIndex = i;
            break;
        }
    }

    if (levelFileVersion >= 4) levelZoom = ReadF64(file);
    else if (levelFileVersion >= 2) levelZoom = ReadF32(file);
    else levelZoom = 0.5;
    if (levelFileVersion >= 5) {
        deathCounter = ReadF64(file);
        winCounter = ReadF64(file);
        bombCount = ReadI32(file);
        ballSizeDivisor = ReadF64(file);
        ballGrowFlag = ReadI32(file);
        ballGrowth = ReadF64(file);
    } else {
        deathCounter = winCounter = 0;
        bombCount = 0;
        ballSizeDivisor = 0;
        ballGrowFlag = 0;
        ballGrowth = 0;
    }
    timeLimit = levelFileVersion >= 6 ? ReadF64(file) : 600;
    levelTitle = levelFileVersion >= 7 ? ReadString(file) : std::string();
    return file.ok;
}

}  // namespace

void WriteRecord(std::string& file, const LevelObject& record) {
    const TextureEntry& entry = Entry(TextureOf(record));
    PutString(file, entry.pack);
    PutString(file, entry.name);
    PutF64(file, record.param1);
    PutF64(file, record.param2);
    PutF64(file, record.x);
    PutF64(file, record.y);
}

bool ReadRecord(ByteReader& file, LevelObject& record) {
    return ReadObject(file, record, false);
}

void WriteLayer(std::string& file, const Layer& layer) {
    PutI32(file, layer.Count());
    for (const LevelObject& object : layer) WriteRecord(file, object);
}

bool ReadLayer(ByteReader& file, Layer& layer) {
    std::int32_t count = ReadI32(file);
    if (!file.ok || count < 0 || static_cast<size_t>(count) > BytesLeft(file) / SmallestRecord()) {
        file.ok = false;
        layer.Clear();
        return false;
    }
    layer.items.assign(static_cast<size_t>(count) + 1, LevelObject{});
    for (int i = 1; i <= count; ++i)
        if (!ReadObject(file, layer[i], true)) return false;
    return true;
}

std::string EncodeLevel() {
    std::string file(LevelMagic, sizeof LevelMagic);
    file += static_cast<char>(NewestLevelFileVersion);
    WriteRecord(file, background);
    for (std::int32_t layer = GroundLayerNumber; layer <= CrackLayerNumber; ++layer)
        WriteLayer(file, LevelLayer(layer));
    WriteRecord(file, ball);
    WriteLayer(file, explosionLayer);
    WriteLayer(file, spareLayer);
    PutString(file, CurrentMusicTrack());
    PutF64(file, levelZoom);
    PutF64(file, deathCounter);
    PutF64(file, winCounter);
    PutI32(file, bombCount);
    PutF64(file, ballSizeDivisor);
    PutI32(file, ballGrowFlag);
    PutF64(file, ballGrowth);
    PutF64(file, timeLimit);
    PutString(file, levelTitle);
    return file;
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
    std::string pack = PackIndex >= 1 && PackIndex <= PackList.Count() ? PackFolderName(PackList[PackIndex]) : "";
    return DataFolder() + pack + "/" + ZeroPad(LevelNumber, 3) + ".kbx";
}

std::string HintFilePath(const std::string& levelPath) {
    std::string stem = levelPath.size() >= 3 ? levelPath.substr(0, levelPath.size() - 3) : std::string();
    return stem + LanguageText[84];
}

void ReadHintFile(const std::string& levelPath) {
    hintBoxWidth = 0;
    for (std::string& line : hintLines) line.clear();
    std::string text;
    if (!PlatformReadFile(HintFilePath(levelPath), text)) return;
    size_t start = 0;
    for (int n = 1; n <= 4 && start < text.size(); ++n) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        hintLines[n] = line;
        start = end + 1;
    }
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
    cameraX = RandomInt(-2000, 2000);
    cameraY = RandomInt(-2000, 2000);
    currentZoom = 1.0;

    std::string bytes;
    if (!PlatformReadFile(path, bytes)) return FailLoad();

    if (!IsLevelHeader(bytes)) {
        ClearLevel();
        levelFileVersion = -1;
        levelMusicTrack.clear();
        bool imported = ImportLegacyLevel(path) != 0;
        ReadHintFile(path);
        ComputeLevelRecord();
        return imported;
    }

    levelFileVersion = static_cast<unsigned char>(bytes[6]);
    ByteReader file = MakeReader(bytes);
    ReadBytes(file, 7);
    if (!ReadLevelBody(file)) return FailLoad();
    SettleLevelBounds();

    if (MusicOn != 0) PlayMusic(CurrentMusicTrack());
    focusX = ball.x;
    focusY = ball.y;
    levelModified = 0;
    ReadHintFile(path);
    ComputeLevelRecord();
    return true;
}
