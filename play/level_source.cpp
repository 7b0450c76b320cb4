#include "play/level_source.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "play/level.h"
#include "play/level_file.h"
#include "base/files.h"
#include "base/text_codec.h"
#include "tiles/catalogue.h"

namespace {

constexpr double Cell = 128;
// A map is used only while it stays reasonably dense; a few objects far apart are listed one by one instead.
constexpr std::int64_t MaxMapSide = 1000;
constexpr std::int64_t MinMapCells = 4096;
constexpr std::int64_t CellsPerObject = 16;

// The shortest text that reads back as exactly the same number.
std::string Number(double value) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// ---- Windows-1252 ----------------------------------------------------------------------------------------------

// The character a text byte stands for, or 0 for a byte that is written as an escape: controls, the bytes without
// a character, and the two that look like something else (no-break space, soft hyphen).
char32_t CharacterOfByte(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F || byte == 0xA0 || byte == 0xAD) return 0;
    return Windows1252Character(byte);
}

// ---- Writing ---------------------------------------------------------------------------------------------------

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// A text in quotes: its characters in UTF-8, escapes for the rest.
std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"') out += "\\\"";
        else if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (CharacterOfByte(c) == 0) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            AppendUtf8(out, CharacterOfByte(c));
        }
    }
    return out + "\"";
}

// Pack and texture names stand bare when they can.
std::string Word(const std::string& text) {
    if (text.empty()) return Quote(text);
    for (unsigned char c : text)
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '\\') return Quote(text);
    return text;
}

// A language's hint lines up to the last one that is not empty; the empty ones before it keep their places.
void AppendHints(std::string& out, const std::string& prefix, const std::string (&lines)[5]) {
    int last = 4;
    while (last >= 1 && lines[last].empty()) --last;
    for (int n = 1; n <= last; ++n) out += prefix + Quote(lines[n]) + "\n";
}

std::int32_t TextureOf(const LevelObject& object) {
    double t = object.texture;
    if (!(t >= 0) || t > 2147483647.0) return 0;
    return static_cast<std::int32_t>(t);
}

std::string TextureWords(const LevelObject& object) {
    const TextureEntry& entry = Entry(TextureOf(object));
    return Word(entry.pack) + " " + Word(entry.name);
}

double DefaultParam1(std::int32_t texture) {
    return TextureKindParam(Entry(texture).kind);
}

// param1 and param2 after an object's position, left out where they are what the editor would have set.
std::string ParamWords(const LevelObject& object) {
    std::int32_t texture = TextureOf(object);
    if (Bits(object.param2) != Bits(0.0)) return " " + Number(object.param1) + " " + Number(object.param2);
    if (Bits(object.param1) != Bits(DefaultParam1(texture))) return " " + Number(object.param1);
    return "";
}

struct LegendKey {
    std::int32_t layer, texture;
    std::uint64_t param1, param2;
    bool operator<(const LegendKey& o) const {
        if (layer != o.layer) return layer < o.layer;
        if (texture != o.texture) return texture < o.texture;
        if (param1 != o.param1) return param1 < o.param1;
        return param2 < o.param2;
    }
};

struct LegendLine {
    char symbol;
    std::int32_t layer;
    LevelObject sample;
};

struct SourceMap {
    std::int64_t residueX = 0, residueY = 0;
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;    // in cells
    std::map<std::pair<std::int64_t, std::int64_t>, char> cells;   // (row, column) -> symbol
    std::int64_t objects = 0;
};

// Symbols that say what a cell is at a glance; anything else gets the next free character of the pool.
char PreferredSymbol(std::int32_t kind) {
    switch (kind) {
        case KindWall: return '#';
        case KindGround: return ':';
        case KindCrack: return '%';
        case KindFlag: return 'F';
        case KindBomb: return 'B';
        case KindExit: return 'E';
        case KindTrap: return 'X';
        case KindPlatform: return '=';
        case KindArrowEast: return '>';
        case KindArrowWest: return '<';
        case KindArrowNorth: return '^';
        case KindArrowSouth: return 'v';
        case KindArrowSwitch: return 'S';
        case KindPathEast: return 'r';
        case KindPathWest: return 'l';
        case KindPathNorth: return 'u';
        case KindPathSouth: return 'd';
        case KindExplosion: return '*';
        default: return 0;
    }
}

const char SymbolPool[] =
    "ABCDGHIJKLMNOPQRTUVWYZabcefghijkmnopqstwxyz0123456789@$&+*=:%#!?/~^<>()[]{};,'`-_FBESXrlud";

bool WholeCell(double v, std::int64_t& out) {
    if (!(std::fabs(v) < 1e15) || v != std::floor(v)) return false;
    out = static_cast<std::int64_t>(v);
    return true;
}

std::int64_t Residue(std::int64_t v) {
    return ((v % 128) + 128) % 128;
}

std::int64_t FloorCell(std::int64_t v, std::int64_t residue) {
    return (v - residue) / 128;
}

bool MapFits(std::int64_t minX, std::int64_t maxX, std::int64_t minY, std::int64_t maxY, std::int64_t objects) {
    std::int64_t width = maxX - minX + 1, height = maxY - minY + 1;
    if (width > MaxMapSide || height > MaxMapSide) return false;
    return width * height <= std::max(MinMapCells, CellsPerObject * objects);
}

// How many of a layer's first objects go into a map: those that stand on one grid, each on its own cell, in
// reading order (top row first, left to right), which is exactly the order in which a map gives them back. The
// rest of the layer follows as single objects. 0 when no map is worth it.
int MappedPrefix(const Layer& layer, std::int64_t& residueX, std::int64_t& residueY) {
    std::int64_t prevX = 0, prevY = 0;
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    int count = 0;
    for (int i = 1; i <= layer.Count(); ++i) {
        std::int64_t x, y;
        if (!WholeCell(layer[i].x, x) || !WholeCell(layer[i].y, y)) break;
        if (i == 1) {
            residueX = Residue(x);
            residueY = Residue(y);
        } else if (Residue(x) != residueX || Residue(y) != residueY || y < prevY || (y == prevY && x <= prevX)) {
            break;
        }
        std::int64_t cx = FloorCell(x, residueX), cy = FloorCell(y, residueY);
        if (i == 1 || cx < minX) minX = cx;
        if (i == 1 || cx > maxX) maxX = cx;
        if (i == 1 || cy < minY) minY = cy;
        if (i == 1 || cy > maxY) maxY = cy;
        prevX = x;
        prevY = y;
        count = i;
    }
    if (count == 0 || !MapFits(minX, maxX, minY, maxY, count)) return 0;
    return count;
}

}  // namespace

std::string WriteLevelSource(const std::string& music, const List<LevelHints>& otherHints) {
    std::string out = "kolbrix-level " + std::to_string(LevelSourceVersion) + "\n";
    out += "title " + Quote(level.levelTitle) + "\n";
    out += "music " + Quote(music) + "\n";
    out += "zoom " + Number(level.levelZoom) + "\n";
    out += "time-limit " + Number(level.timeLimit) + "\n";
    out += "bombs " + std::to_string(level.bombCount) + "\n";
    out += "ball-size-divisor " + Number(level.ballSizeDivisor) + "\n";
    out += "ball-grow-flag " + std::to_string(level.ballGrowFlag) + "\n";
    out += "ball-growth " + Number(level.ballGrowth) + "\n";
    out += "death-counter " + Number(level.deathCounter) + "\n";
    out += "win-counter " + Number(level.winCounter) + "\n";
    AppendHints(out, "hint ", level.hintLines);
    for (const LevelHints& hints : otherHints) AppendHints(out, "hint " + Word(hints.language) + " ", hints.lines);

    out += "background " + TextureWords(level.background);
    if (Bits(level.background.x) != 0 || Bits(level.background.y) != 0 || Bits(level.background.param1) != 0 ||
        Bits(level.background.param2) != 0) {
        out += " " + Number(level.background.x) + " " + Number(level.background.y);
        if (Bits(level.background.param1) != 0 || Bits(level.background.param2) != 0)
            out += " " + Number(level.background.param1) + " " + Number(level.background.param2);
    }
    out += "\n";
    out += "ball " + TextureWords(level.ball) + " " + Number(level.ball.x) + " " + Number(level.ball.y);
    if (Bits(level.ball.param1) != 0 || Bits(level.ball.param2) != 0)
        out += " " + Number(level.ball.param1) + " " + Number(level.ball.param2);
    out += "\n";

    // Legend symbols, shared by every map.
    std::map<LegendKey, char> legend;
    std::vector<LegendLine> legendLines;
    bool used[256] = {};
    used[static_cast<unsigned char>(' ')] = used[static_cast<unsigned char>('.')] = true;
    used[static_cast<unsigned char>('|')] = true;
    auto keyOf = [](std::int32_t layer, const LevelObject& object) {
        return LegendKey{layer, TextureOf(object), Bits(object.param1), Bits(object.param2)};
    };

    std::vector<SourceMap> maps;
    int mapped[LevelLayerCount + 1] = {};
    // Walls and what stands among them first, so that the first map reads like the level.
    const std::int32_t mapOrder[] = {WallLayerNumber,     HazardLayerNumber,    PickupLayerNumber, ArrowLayerNumber,
                                     PlatformLayerNumber, GroundLayerNumber,    CrackLayerNumber,  PathLayerNumber,
                                     ExplosionLayerNumber, SpareLayerNumber};
    for (std::int32_t layerNumber : mapOrder) {
        const Layer& whole = LevelLayer(layerNumber);
        std::int64_t residueX = 0, residueY = 0;
        int prefix = MappedPrefix(whole, residueX, residueY);
        if (prefix == 0) continue;
        Layer layer;
        layer.items.assign(whole.items.begin(), whole.items.begin() + prefix + 1);

        // Symbols for this layer's objects, the most common first so that it gets the telling symbol of its kind;
        // the layer is listed instead when the pool runs out.
        std::vector<std::pair<LegendKey, const LevelObject*>> distinct;
        std::map<LegendKey, int> uses;
        for (const LevelObject& object : layer) {
            LegendKey key = keyOf(layerNumber, object);
            if (uses[key]++ == 0) distinct.push_back({key, &object});
        }
        std::stable_sort(distinct.begin(), distinct.end(),
                         [&uses](const auto& a, const auto& b) { return uses[a.first] > uses[b.first]; });
        std::vector<LegendKey> added;
        bool symbolsOk = true;
        for (const auto& [key, sample] : distinct) {
            const LevelObject& object = *sample;
            char symbol = PreferredSymbol(Entry(TextureOf(object)).kind);
            if (symbol == 0 || used[static_cast<unsigned char>(symbol)]) {
                symbol = 0;
                for (const char* p = SymbolPool; *p; ++p)
                    if (!used[static_cast<unsigned char>(*p)]) {
                        symbol = *p;
                        break;
                    }
            }
            if (symbol == 0) {
                symbolsOk = false;
                break;
            }
            used[static_cast<unsigned char>(symbol)] = true;
            legend[key] = symbol;
            legendLines.push_back({symbol, layerNumber, object});
            added.push_back(key);
        }
        if (!symbolsOk) {
            for (const LegendKey& key : added) {
                used[static_cast<unsigned char>(legend[key])] = false;
                legend.erase(key);
                legendLines.pop_back();
            }
            continue;
        }

        // The first map on the same grid with none of this layer's cells taken and room for them; else a new one.
        SourceMap* target = nullptr;
        for (SourceMap& map : maps) {
            if (map.residueX != residueX || map.residueY != residueY) continue;
            std::int64_t minX = map.minX, maxX = map.maxX, minY = map.minY, maxY = map.maxY;
            bool free = true;
            for (const LevelObject& object : layer) {
                std::int64_t cx = FloorCell(static_cast<std::int64_t>(object.x), residueX);
                std::int64_t cy = FloorCell(static_cast<std::int64_t>(object.y), residueY);
                if (map.cells.count({cy, cx})) {
                    free = false;
                    break;
                }
                minX = std::min(minX, cx);
                maxX = std::max(maxX, cx);
                minY = std::min(minY, cy);
                maxY = std::max(maxY, cy);
            }
            if (free && MapFits(minX, maxX, minY, maxY, map.objects + layer.Count())) {
                target = &map;
                break;
            }
        }
        if (target == nullptr) {
            maps.push_back(SourceMap{});
            target = &maps.back();
            target->residueX = residueX;
            target->residueY = residueY;
        }
        for (const LevelObject& object : layer) {
            std::int64_t cx = FloorCell(static_cast<std::int64_t>(object.x), residueX);
            std::int64_t cy = FloorCell(static_cast<std::int64_t>(object.y), residueY);
            if (target->objects == 0) {
                target->minX = target->maxX = cx;
                target->minY = target->maxY = cy;
            }
            target->minX = std::min(target->minX, cx);
            target->maxX = std::max(target->maxX, cx);
            target->minY = std::min(target->minY, cy);
            target->maxY = std::max(target->maxY, cy);
            target->cells[{cy, cx}] = legend[keyOf(layerNumber, object)];
            ++target->objects;
        }
        mapped[layerNumber] = prefix;
    }

    for (const LegendLine& line : legendLines) {
        std::string symbol(1, line.symbol);
        out += "legend " + Word(symbol) + " " + LayerName(line.layer) + " " + TextureWords(line.sample) +
               ParamWords(line.sample) + "\n";
    }
    for (const SourceMap& map : maps) {
        out += "map " + Number(static_cast<double>(map.minX * 128 + map.residueX)) + " " +
               Number(static_cast<double>(map.minY * 128 + map.residueY)) + "\n";
        for (std::int64_t row = map.minY; row <= map.maxY; ++row) {
            std::string text = "|";
            for (std::int64_t column = map.minX; column <= map.maxX; ++column) {
                auto cell = map.cells.find({row, column});
                text += cell == map.cells.end() ? '.' : cell->second;
            }
            while (text.size() > 1 && text.back() == '.') text.pop_back();
            out += text + "\n";
        }
    }
    for (std::int32_t layerNumber = 1; layerNumber <= LevelLayerCount; ++layerNumber) {
        const Layer& layer = LevelLayer(layerNumber);
        for (int i = mapped[layerNumber] + 1; i <= layer.Count(); ++i)
            out += std::string("object ") + LayerName(layerNumber) + " " + TextureWords(layer[i]) + " " +
                   Number(layer[i].x) + " " + Number(layer[i].y) + ParamWords(layer[i]) + "\n";
    }
    return out;
}

// ---- Reading ---------------------------------------------------------------------------------------------------

namespace {

struct SourceReader {
    int lineNumber = 0;
    std::string error;

    bool Fail(const std::string& message) {
        error = "line " + std::to_string(lineNumber) + ": " + message;
        return false;
    }
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One character written in UTF-8 at `at` (moved past it), added to the token as its Windows-1252 byte.
bool TakeCharacter(SourceReader& reader, const std::string& line, size_t& at, std::string& token) {
    char32_t c = 0;
    if (!NextUtf8(line, at, c)) return reader.Fail("the line is not UTF-8 text");
    const int byte = Windows1252Byte(c);
    if (byte < 0) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        return reader.Fail(std::string("the character ") + code + " is not in the game's character set (Windows-1252)");
    }
    token += static_cast<char>(byte);
    return true;
}

bool Tokenize(SourceReader& reader, const std::string& line, std::vector<std::string>& tokens) {
    tokens.clear();
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::string token;
        if (c == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                if (static_cast<unsigned char>(line[i]) >= 0x80) {
                    if (!TakeCharacter(reader, line, i, token)) return false;
                    continue;
                }
                char d = line[i++];
                if (d == '"') {
                    closed = true;
                    break;
                }
                if (d != '\\') {
                    token += d;
                    continue;
                }
                if (i >= line.size()) break;
                char e = line[i++];
                if (e == 'n') token += '\n';
                else if (e == 'r') token += '\r';
                else if (e == 't') token += '\t';
                else if (e == '"' || e == '\\') token += e;
                else if (e == 'x' && i + 1 < line.size() && HexDigit(line[i]) >= 0 && HexDigit(line[i + 1]) >= 0) {
                    token += static_cast<char>(HexDigit(line[i]) * 16 + HexDigit(line[i + 1]));
                    i += 2;
                } else {
                    return reader.Fail("unknown escape in a quoted text");
                }
            }
            if (!closed) return reader.Fail("a quoted text does not end");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
                if (line[i] == '"') return reader.Fail("a quote inside a word");
                if (static_cast<unsigned char>(line[i]) >= 0x80) {
                    if (!TakeCharacter(reader, line, i, token)) return false;
                    continue;
                }
                token += line[i++];
            }
        }
        tokens.push_back(token);
    }
    return true;
}

bool ParseNumber(SourceReader& reader, const std::string& token, double& value) {
    if (token.empty()) return reader.Fail("a number is missing");
    // A not-a-number is the plain "nan" the writer writes: the payload of "nan(5)" would not survive a dump and a
    // rebuild, and the level would change under it.
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size() || token.find('(') != std::string::npos)
        return reader.Fail("\"" + token + "\" is not a number");
    return true;
}

bool ParseInteger(SourceReader& reader, const std::string& token, std::int32_t& value) {
    double number;
    if (!ParseNumber(reader, token, number)) return false;
    if (number != std::floor(number) || number < -2147483648.0 || number > 2147483647.0)
        return reader.Fail("\"" + token + "\" is not a whole number");
    value = static_cast<std::int32_t>(number);
    return true;
}

bool ParseLayer(SourceReader& reader, const std::string& token, std::int32_t& layer) {
    for (std::int32_t n = 1; n <= LevelLayerCount; ++n)
        if (token == LayerName(n)) {
            layer = n;
            return true;
        }
    return reader.Fail("\"" + token + "\" is not a layer (ground, hazard, arrow, path, platform, pickup, wall, crack, "
                                      "explosion, spare)");
}

bool ParseTexture(SourceReader& reader, const std::string& pack, const std::string& name, std::int32_t& texture) {
    texture = FindTexture(pack, name);
    if (texture == 0) return reader.Fail("the texture " + Quote(pack) + " " + Quote(name) + " is in no texture pack");
    return true;
}

// Reads numbers from tokens[first] on into values, leaving the defaults where the line stops.
bool ParseNumbers(SourceReader& reader, const std::vector<std::string>& tokens, size_t first,
                  std::vector<double*> values) {
    if (tokens.size() > first + values.size()) return reader.Fail("too many values");
    for (size_t i = first; i < tokens.size(); ++i)
        if (!ParseNumber(reader, tokens[i], *values[i - first])) return false;
    return true;
}

struct LegendEntry {
    std::int32_t layer = 0;
    LevelObject object;
    bool widens = true;         // not a "blank" texture
};

void PlaceObject(Level& into, std::int32_t layer, const LevelObject& object, bool widens) {
    LevelLayer(into, layer).Add(object);
    if (widens) WidenLevelBounds(into.levelBounds, object.x, object.y);
}

// A language code names a file: letters, digits, "-" and "_".
bool IsLanguageCode(const std::string& code) {
    if (code.empty() || code.size() > 16) return false;
    for (unsigned char c : code)
        if (!std::isalnum(c) && c != '-' && c != '_') return false;
    return true;
}

// `hint TEXT` (English) or `hint LANGUAGE TEXT`: the next of that language's four lines.
bool ReadHint(SourceReader& reader, const std::vector<std::string>& tokens, std::map<std::string, int>& counts,
              Level& into, List<LevelHints>& otherHints) {
    if (tokens.size() != 2 && tokens.size() != 3) return reader.Fail("\"hint\" takes a language code and a text, or a text");
    const std::string language = tokens.size() == 3 ? tokens[1] : DefaultHintLanguage;
    if (!IsLanguageCode(language))
        return reader.Fail(Quote(language) + " is not a language code (the hint file's extension without \".txt\")");
    int& count = counts[language];
    if (count >= 4) return reader.Fail("a level has at most four hint lines in each language");
    ++count;
    if (language == DefaultHintLanguage) {
        into.hintLines[count] = tokens.back();
        return true;
    }
    int entry = 1;
    while (entry <= otherHints.Count() && otherHints[entry].language != language) ++entry;
    if (entry > otherHints.Count()) {
        LevelHints hints;
        hints.language = language;
        entry = otherHints.Add(hints);
    }
    otherHints[entry].lines[count] = tokens.back();
    return true;
}

bool Widens(const std::string& name) {
    return LowerCase(name).find("blank") == std::string::npos;
}

}  // namespace

bool ReadLevelSource(const std::string& text, std::string& music, List<LevelHints>& otherHints, std::string& error) {
    // The level is built aside and put in place only once the whole text has read.
    LevelData data;
    Level& built = data.level;
    EmptyLevelBounds(built.levelBounds);
    std::string readMusic;
    List<LevelHints> readHints;

    SourceReader reader;
    std::map<char, LegendEntry> legend;
    bool sawHeader = false, sawBackground = false, sawBall = false;
    bool inMap = false;
    double mapX = 0, mapY = 0;
    int mapRow = 0;
    std::map<std::string, int> hintCounts;      // lines so far, by language
    std::vector<std::string> tokens;

    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++reader.lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();

        if (!line.empty() && line[0] == '|') {
            if (!inMap) {
                reader.Fail("a map row without a \"map\" line above it");
                error = reader.error;
                return false;
            }
            for (size_t column = 1; column < line.size(); ++column) {
                char symbol = line[column];
                if (symbol == ' ' || symbol == '.') continue;
                auto entry = legend.find(symbol);
                if (entry == legend.end()) {
                    reader.Fail(std::string("'") + symbol + "' is not in the legend");
                    error = reader.error;
                    return false;
                }
                LevelObject object = entry->second.object;
                object.x = mapX + Cell * static_cast<double>(column - 1);
                object.y = mapY + Cell * mapRow;
                PlaceObject(built, entry->second.layer, object, entry->second.widens);
            }
            ++mapRow;
            continue;
        }
        inMap = false;

        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        if (!Tokenize(reader, line, tokens)) {
            error = reader.error;
            return false;
        }
        const std::string& keyword = tokens[0];
        bool ok = true;

        if (!sawHeader) {
            if (keyword != "kolbrix-level" || tokens.size() != 2 || tokens[1] != std::to_string(LevelSourceVersion))
                ok = reader.Fail("a level source starts with \"kolbrix-level " + std::to_string(LevelSourceVersion) +
                                 "\"");
            sawHeader = true;
        } else if (keyword == "title" || keyword == "music") {
            if (tokens.size() != 2) ok = reader.Fail("\"" + keyword + "\" takes one text");
            else if (keyword == "title") built.levelTitle = tokens[1];
            else readMusic = tokens[1];
        } else if (keyword == "hint") {
            ok = ReadHint(reader, tokens, hintCounts, built, readHints);
        } else if (keyword == "zoom" || keyword == "time-limit" || keyword == "ball-size-divisor" ||
                   keyword == "ball-growth" || keyword == "death-counter" || keyword == "win-counter") {
            double* target = keyword == "zoom"                ? &built.levelZoom
                             : keyword == "time-limit"        ? &built.timeLimit
                             : keyword == "ball-size-divisor" ? &built.ballSizeDivisor
                             : keyword == "ball-growth"       ? &built.ballGrowth
                             : keyword == "death-counter"     ? &built.deathCounter
                                                              : &built.winCounter;
            ok = tokens.size() == 2 ? ParseNumber(reader, tokens[1], *target)
                                    : reader.Fail("\"" + keyword + "\" takes one number");
        } else if (keyword == "bombs" || keyword == "ball-grow-flag") {
            std::int32_t* target = keyword == "bombs" ? &built.bombCount : &built.ballGrowFlag;
            ok = tokens.size() == 2 ? ParseInteger(reader, tokens[1], *target)
                                    : reader.Fail("\"" + keyword + "\" takes one whole number");
        } else if (keyword == "background" || keyword == "ball") {
            LevelObject& record = keyword == "ball" ? built.ball : built.background;
            std::int32_t texture = 0;
            record = LevelObject{};
            ok = tokens.size() >= 3 || reader.Fail("\"" + keyword + "\" takes a pack and a texture name");
            ok = ok && ParseTexture(reader, tokens[1], tokens[2], texture);
            ok = ok && ParseNumbers(reader, tokens, 3, {&record.x, &record.y, &record.param1, &record.param2});
            record.texture = texture;
            record.frame = Entry(texture).firstFrame;
            (keyword == "ball" ? sawBall : sawBackground) = true;
        } else if (keyword == "legend") {
            LegendEntry entry;
            std::int32_t texture = 0;
            ok = tokens.size() >= 5 || reader.Fail("\"legend\" takes a symbol, a layer, a pack and a texture name");
            ok = ok && ((tokens[1].size() == 1 && tokens[1][0] > ' ' && tokens[1][0] < 0x7F && tokens[1] != "." &&
                         tokens[1] != "|") ||
                        reader.Fail("a legend symbol is one ASCII character other than space, \".\" and \"|\""));
            ok = ok && (!legend.count(tokens[1][0]) || reader.Fail("'" + tokens[1] + "' is in the legend twice"));
            ok = ok && ParseLayer(reader, tokens[2], entry.layer);
            ok = ok && ParseTexture(reader, tokens[3], tokens[4], texture);
            if (ok) {
                entry.object.texture = texture;
                entry.object.frame = Entry(texture).firstFrame;
                entry.object.param1 = DefaultParam1(texture);
                entry.widens = Widens(tokens[4]);
                ok = ParseNumbers(reader, tokens, 5, {&entry.object.param1, &entry.object.param2});
                legend[tokens[1][0]] = entry;
            }
        } else if (keyword == "map") {
            ok = tokens.size() == 3 || reader.Fail("\"map\" takes the x and y of its first cell");
            ok = ok && ParseNumber(reader, tokens[1], mapX) && ParseNumber(reader, tokens[2], mapY);
            inMap = ok;
            mapRow = 0;
        } else if (keyword == "object") {
            std::int32_t layer = 0, texture = 0;
            LevelObject object;
            ok = tokens.size() >= 6 || reader.Fail("\"object\" takes a layer, a pack, a texture name, x and y");
            ok = ok && ParseLayer(reader, tokens[1], layer);
            ok = ok && ParseTexture(reader, tokens[2], tokens[3], texture);
            if (ok) {
                object.texture = texture;
                object.frame = Entry(texture).firstFrame;
                object.param1 = DefaultParam1(texture);
                ok = ParseNumber(reader, tokens[4], object.x) && ParseNumber(reader, tokens[5], object.y) &&
                     ParseNumbers(reader, tokens, 6, {&object.param1, &object.param2});
            }
            if (ok) PlaceObject(built, layer, object, Widens(tokens[3]));
        } else {
            ok = reader.Fail("unknown line \"" + keyword + "\"");
        }
        if (!ok) {
            error = reader.error;
            return false;
        }
    }

    reader.lineNumber = 0;
    if (!sawHeader) error = "the source is empty";
    else if (!sawBackground) error = "the level has no \"background\" line";
    else if (!sawBall) error = "the level has no \"ball\" line";
    if (!error.empty()) return false;

    // What a load would make of the same file: the elevators listed, the extent measured, the shadow beside the ball
    // (with the texture it has).
    data.hasShadow = true;
    built.ballShadow.x = built.ball.x + 16;
    built.ballShadow.y = built.ball.y + 16;
    InstallLevel(data);
    focusX = level.ball.x;
    focusY = level.ball.y;
    music = std::move(readMusic);
    otherHints = std::move(readHints);
    error.clear();
    return true;
}

std::string HintFilePathFor(const std::string& levelPath, const std::string& language) {
    const std::string stem = levelPath.size() >= 3 ? levelPath.substr(0, levelPath.size() - 3) : std::string();
    return stem + language + ".txt";
}
