// Level files (".kbx"): the header "QZKBX", 0x00 and a version byte, then the level in a fixed order. Textures
// are stored as pack and texture name, never as catalogue indices, so a level survives changes to the packs. The
// writer always writes the newest version; the reader takes every version since 0. Any other file is for the
// importer of the old text-screen format (play/legacy_import.h).
//
// The codec works on a LevelData record alone: decoding touches no music, camera, dialog or record, and the live
// level changes only when InstallLevel puts a decoded level in place (shell/level_load.h does both for the game).
// Reader and writer stand side by side below, field for field.
//
// Beside each level file there may be a hint file: the level path less its three-letter extension plus the
// extension that language line 84 names. Its first four lines are the level's hints.
#pragma once

#include <cstdint>
#include <string>

#include "base/binio.h"
#include "play/level.h"

constexpr std::int32_t NewestLevelFileVersion = 8;

// A texture that a level names and the catalogue does not hold.
struct MissingTexture {
    std::string pack, name;
};

// Everything a level file holds, as one value: the level itself, and what the file says beside it.
struct LevelData {
    std::int32_t version = NewestLevelFileVersion;
    Level level;                                // its ball's shadow only where hasShadow says the file stored it
    bool hasShadow = false;                     // files before version 8 stored the shadow (only its place counts)
    std::string musicTrack;                     // "audio/...", as the file names it
    List<MissingTexture> missing;               // names the catalogue did not hold, in file order (decoding)
};

// The version of the file being read; after a load, of the file that was read (-1 for an old text-screen file or
// a file that did not read).
extern std::int32_t levelFileVersion;
// The music track as the file read last names it ("audio/..."), whether or not the music list holds it.
extern std::string levelMusicTrack;

// True when the bytes start with the header of a level file of a version this reader knows.
bool IsLevelHeader(const std::string& bytes);
// Reads a level file's bytes into `data` (its layers' storage is kept and reused). False when anything runs past the end of the data (then `data` is
// partly filled and must not be installed). Objects start on a random frame of their animation, drawn from the
// game's generator in file order, so the same seed gives the same level.
bool DecodeLevel(const std::string& bytes, LevelData& data);
// The bytes of a level file of the newest version.
std::string EncodeLevel(const LevelData& data);

// The level in memory as data (music as the file read last named it), and a decoded level put in place of the
// one in memory: one assignment, then the ball's shadow keeps its texture (and its place, unless the file stored
// one), the elevators are listed and the bounds settled.
LevelData TakeLevel();
// The two levels change places: `data` is left holding the level that was in memory, whose storage the next
// DecodeLevel into it reuses, so loading level after level allocates nothing once the layers are large enough.
void InstallLevel(LevelData& data);

// One stored object: pack and texture name, then param1, param2, x and y.
void WriteRecord(std::string& file, const LevelObject& record);
void WriteLayer(std::string& file, const Layer& layer);
// Readers for files of `version`. A record read past the end of the data, or a layer count that is negative or
// larger than the data left could hold, makes the result false (and `file.ok` false).
bool ReadRecord(ByteReader& file, std::int32_t version, LevelObject& record, LevelData& data);
bool ReadLayer(ByteReader& file, std::int32_t version, Layer& layer, LevelData& data);

std::string HintFilePath(const std::string& levelPath);
// The first four lines of a hint file's text (missing lines empty).
void ParseHintLines(const std::string& text, std::string (&lines)[5]);
