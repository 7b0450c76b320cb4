// The editor's level and pack operations: saving, making, deleting and reordering the levels of the current pack,
// stepping between levels and packs, and making, renaming, deleting and opening packs.
//
// A pack's levels are always 001.kbx ... LevelCount without gaps. Operations that move files stop at the first file
// that will not move, put back what they already moved and say so in a message, so a failing disk never costs a
// level or leaves the numbering with a hole. Every operation that loads another level drops the undo history.
//
// A shipped pack read from the program folder while the player's files live elsewhere is copied to the player's
// folder (CopyShippedPack) before the first change to it is written; the change is then made to the copy.
#pragma once

#include <string>

// Language lines of the editor's failure messages.
constexpr int LineLevelNotMoved = 229, LineFilesUnchanged = 230, LineLevelNotDeleted = 233,
              LineRenumberFailed = 234, LinePackCounted = 235;

// Saves the level to its file; on success the "saved" message, on failure the save message stays up.
bool SaveEditedLevel();
// A new empty level at the end of the pack (nothing on a pack of 999 levels).
void NewLevel();
// The previous / next level of the pack; a level that does not load leaves the editor on the one it had.
void EditPreviousLevel();
void EditNextLevel();
// Deletes the level's file and moves the later levels up one place, statistics with them.
void DeleteLevel();
// Swaps the level with the next (later) or the previous (earlier) one, files and statistics; the level in memory
// keeps its edits and follows its new number.
void MoveLevelLater();
void MoveLevelEarlier();
// The previous / next pack, at its first level.
void PreviousPackLevel();
void NextPackLevel();
// The typed name, trimmed; an empty name does nothing.
void MakePack(const std::string& typed);
void RenameCurrentPack(const std::string& typed);
void DeleteCurrentPack();
// Opens the pack's folder in the desktop's file browser without waiting for it.
void OpenPackFolder();
// Writes the current pack's saved files as one .zip archive into the data folder's export folder, says where,
// and opens that folder in the file browser. Edits not saved yet are not in it.
void ExportCurrentPack();

std::string TrimmedText(const std::string& text);
