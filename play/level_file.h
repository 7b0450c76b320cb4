// Level files (".kbx"): the header "QZKBX", 0x00 and a version byte, then the level in a fixed order. Textures
// are stored as pack and texture name, never as catalogue indices, so a level survives changes to the packs. The
// writer always writes the newest version; the reader takes every version since 0 and hands any other file to
// the importer of the old text-screen format (tiles/legacy_import.h).
//
// Beside each level file there may be a hint file: the level path less its three-letter extension plus the
// extension that language line 84 names. Its first four lines are the level's hints.
#pragma once

#include <cstdint>
#include <string>

#include "play/level.h"
#include "shell/binio.h"

constexpr std::int32_t NewestLevelFileVersion = 8;

// The version of the file being read; after a load, of the file that was read (-1 for an old text-screen file or
// a file that did not read).
extern std::int32_t levelFileVersion;
// The music track as the file read last names it ("audio/..."), whether or not the music list holds it.
extern std::string levelMusicTrack;

// Writes the level in the newest version. The old file stays in place until the new one is completely written;
// on failure the save message is raised and the result is false.
bool SaveLevel(const std::string& path);
// Reads a level; "" reads the current level of the current pack. False (with the empty level in memory and the
// load message raised) when the file does not open or is damaged.
bool LoadLevel(const std::string& path);

// The bytes SaveLevel writes for the level in memory.
std::string EncodeLevel();

// One stored object: pack and texture name, then param1, param2, x and y.
void WriteRecord(std::string& file, const LevelObject& record);
void WriteLayer(std::string& file, const Layer& layer);
// Readers for `levelFileVersion`. A record read past the end of the data, or a layer count that is negative or
// larger than the data left could hold, makes the result false (and `file.ok` false).
bool ReadRecord(ByteReader& file, LevelObject& record);
bool ReadLayer(ByteReader& file, Layer& layer);

// data folder + current pack + "/" + three-digit level number + ".kbx": what LoadLevel("") reads.
std::string CurrentLevelPath();
std::string HintFilePath(const std::string& levelPath);
// Fills hintLines from the hint file beside `levelPath` (all empty when there is none).
void ReadHintFile(const std::string& levelPath);
