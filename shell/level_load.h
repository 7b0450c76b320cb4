// Loading and saving the level in memory as the game does it: the level file's codec (play/level_file.h) plus what
// a level brings along: its music, the camera it swings in from, its hints and the player's records for it, and
// the messages when a file does not read or write.
#pragma once

#include <cstdint>
#include <string>

#include "play/level_file.h"

// The level in memory has changed since it was loaded or saved (the editor's unsaved-changes flag); a load clears it.
extern std::int32_t levelModified;

// Writes the level in the newest version, with the track that plays now. The old file stays in place until the
// new one is completely written; on failure the save message is raised and the result is false.
bool SaveLevel(const std::string& path);
// Reads a level; "" reads the current level of the current pack. False (with the empty level in memory and the
// load message raised) when the file does not open or is damaged.
bool LoadLevel(const std::string& path);
// Makes the level the empty level shipped in the program folder ("emptylevel.kbx").
void ClearLevel();

// The bytes SaveLevel writes for the level in memory.
std::string EncodeLevel();

// The current pack's folder (CurrentPackFolder) + three-digit level number + ".kbx": what LoadLevel("") reads.
std::string CurrentLevelPath();
// Fills hintLines from the hint file beside `levelPath` (all empty when there is none).
void ReadHintFile(const std::string& levelPath);
