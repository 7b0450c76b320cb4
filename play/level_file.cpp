#include "play/level_file.h"

#include <utility>

#include "base/files.h"
#include "base/language.h"
#include "play/random.h"
#include "tiles/catalogue.h"

std::int32_t levelFileVersion = -1;
std::string levelMusicTrack;

namespace {

const char LevelMagic[6] = {'Q', 'Z', 'K', 'B', 'X', '\0'};

std::int32_t TextureOf(const LevelObject& object) {
    double t = object.texture;
    if (!(t >= 0) || t > 2147483647.0) return 0;
    return static_cast<std::int32_t>(t);
}

// The smallest stored record of a version: two empty strings and the four numbers (and the ignored extra number
// of version 0). A layer count is checked against it before anything is allocated.
size_t SmallestRecord(std::int32_t version) {
    size_t numbers = version < 3 ? 4 * 4 : 4 * 8;
    return 4 + 4 + numbers + (version == 0 ? 4 : 0);
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

bool ReadObject(ByteReader& file, std::int32_t version, LevelObject& object, bool inLayer, LevelData& data) {
    std::string pack = ReadString(file);
    std::string name = ReadString(file);
    if (version < 3) {
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
    if (version == 0) {
        ReadI32(file);
        object.param1 = 0;
    }
    if (!file.ok) return false;

    std::int32_t texture = LookUpTexture(pack, name);
    if (texture == 0) data.missing.Add(MissingTexture{pack, name});
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
    if (inLayer && !NamesBlank(name)) WidenLevelBounds(data.level.levelBounds, object.x, object.y);
    return true;
}

}  // namespace

// ---- One object and one layer ---------------------------------------------------------------------------------

void WriteRecord(std::string& file, const LevelObject& record) {
    const TextureEntry& entry = Entry(TextureOf(record));
    PutString(file, entry.pack);
    PutString(file, entry.name);
    PutF64(file, record.param1);
    PutF64(file, record.param2);
    PutF64(file, record.x);
    PutF64(file, record.y);
}

bool ReadRecord(ByteReader& file, std::int32_t version, LevelObject& record, LevelData& data) {
    return ReadObject(file, version, record, false, data);
}

void WriteLayer(std::string& file, const Layer& layer) {
    PutI32(file, layer.Count());
    for (const LevelObject& object : layer) WriteRecord(file, object);
}

bool ReadLayer(ByteReader& file, std::int32_t version, Layer& layer, LevelData& data) {
    std::int32_t count = ReadI32(file);
    if (!file.ok || count < 0 || static_cast<size_t>(count) > BytesLeft(file) / SmallestRecord(version)) {
        file.ok = false;
        layer.Clear();
        return false;
    }
    layer.items.assign(static_cast<size_t>(count) + 1, LevelObject{});
    for (int i = 1; i <= count; ++i)
        if (!ReadObject(file, version, layer[i], true, data)) return false;
    return true;
}

// ---- The whole level ------------------------------------------------------------------------------------------

bool IsLevelHeader(const std::string& bytes) {
    if (bytes.size() < 7) return false;
    for (int i = 0; i < 6; ++i)
        if (bytes[static_cast<size_t>(i)] != LevelMagic[i]) return false;
    return static_cast<unsigned char>(bytes[6]) <= NewestLevelFileVersion;
}

namespace {

// `data` as a fresh LevelData, but with the storage of its layers kept for the objects to come.
void Empty(LevelData& data) {
    Layer kept[LevelLayerCount + 1];
    for (std::int32_t layer = 1; layer <= LevelLayerCount; ++layer) {
        kept[layer] = std::move(LevelLayer(data.level, layer));
        kept[layer].items.resize(1);
        kept[layer].items[0] = LevelObject{};
    }
    data = LevelData{};
    for (std::int32_t layer = 1; layer <= LevelLayerCount; ++layer)
        LevelLayer(data.level, layer) = std::move(kept[layer]);
}

}  // namespace

bool DecodeLevel(const std::string& bytes, LevelData& data) {
    Empty(data);
    Level& level = data.level;
    EmptyLevelBounds(level.levelBounds);
    if (!IsLevelHeader(bytes)) return false;
    const std::int32_t version = data.version = static_cast<unsigned char>(bytes[6]);
    ByteReader file = MakeReader(bytes);
    ReadBytes(file, 7);

    if (!ReadRecord(file, version, level.background, data)) return false;
    for (std::int32_t layer = GroundLayerNumber; layer <= CrackLayerNumber; ++layer)
        if (!ReadLayer(file, version, LevelLayer(level, layer), data)) return false;
    if (!ReadRecord(file, version, level.ball, data)) return false;
    if (version < 8) {
        data.hasShadow = true;
        if (!ReadRecord(file, version, level.ballShadow, data)) return false;
    }
    if (!ReadLayer(file, version, level.explosionLayer, data)) return false;
    if (!ReadLayer(file, version, level.spareLayer, data)) return false;

    data.musicTrack = ReadString(file);
    if (!file.ok) return false;
    if (version >= 4) level.levelZoom = ReadF64(file);
    else if (version >= 2) level.levelZoom = ReadF32(file);
    if (version >= 5) {
        level.deathCounter = ReadF64(file);
        level.winCounter = ReadF64(file);
        level.bombCount = ReadI32(file);
        level.ballSizeDivisor = ReadF64(file);
        level.ballGrowFlag = ReadI32(file);
        level.ballGrowth = ReadF64(file);
    }
    if (version >= 6) level.timeLimit = ReadF64(file);
    if (version >= 7) level.levelTitle = ReadString(file);
    return file.ok;
}

std::string EncodeLevel(const LevelData& data) {
    const Level& level = data.level;
    std::string file(LevelMagic, sizeof LevelMagic);
    file += static_cast<char>(NewestLevelFileVersion);
    WriteRecord(file, level.background);
    for (std::int32_t layer = GroundLayerNumber; layer <= CrackLayerNumber; ++layer)
        WriteLayer(file, LevelLayer(level, layer));
    WriteRecord(file, level.ball);
    WriteLayer(file, level.explosionLayer);
    WriteLayer(file, level.spareLayer);
    PutString(file, data.musicTrack);
    PutF64(file, level.levelZoom);
    PutF64(file, level.deathCounter);
    PutF64(file, level.winCounter);
    PutI32(file, level.bombCount);
    PutF64(file, level.ballSizeDivisor);
    PutI32(file, level.ballGrowFlag);
    PutF64(file, level.ballGrowth);
    PutF64(file, level.timeLimit);
    PutString(file, level.levelTitle);
    return file;
}

LevelData TakeLevel() {
    LevelData data;
    data.level = level;
    data.musicTrack = levelMusicTrack;
    return data;
}

void InstallLevel(LevelData& data) {
    const LevelObject shadow = level.ballShadow;
    const LevelObject storedShadow = data.level.ballShadow;
    std::swap(level, data.level);
    level.ballShadow = shadow;
    if (data.hasShadow) {
        // Older files stored the shadow; its place is kept but the shadow keeps the catalogue's texture.
        level.ballShadow = storedShadow;
        level.ballShadow.texture = shadow.texture;
        level.ballShadow.frame = Entry(TextureOf(level.ballShadow)).firstFrame;
    }
    BuildElevatorIndex();
    SettleLevelBounds();
}

// ---- Hints ----------------------------------------------------------------------------------------------------

std::string HintFilePath(const std::string& levelPath) {
    std::string stem = levelPath.size() >= 3 ? levelPath.substr(0, levelPath.size() - 3) : std::string();
    return stem + LanguageText[LineHintFileExtension];
}

void ParseHintLines(const std::string& text, std::string (&lines)[5]) {
    for (std::string& line : lines) line.clear();
    size_t start = 0;
    for (int n = 1; n <= 4 && start < text.size(); ++n) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines[n] = line;
        start = end + 1;
    }
}
