// Paths and small text helpers used everywhere. Paths use "/" and every folder path ends with "/".
#pragma once

#include <cstdint>
#include <string>

std::string ProgramFolder();            // folder of the running program
// Where the player's own files live: settings, players, statistics, the editor's temporary levels and the packs the
// player made. The program folder while it can be written to; otherwise the player's own folder (chosen at start).
std::string DataFolder();
std::string WindowsFolder();            // kept for the browser launcher; the system's folder on this platform
// Tests and tools point the program and data folders elsewhere ("" returns to the program's own folder). The data
// folder follows it again.
void SetProgramFolder(const std::string& folder);
// The start's choice of the data folder: a folder of its own, or "" for the program folder.
void SetDataFolder(const std::string& folder);
// True when the data folder is not the program folder: the shipped data and the player's files are apart.
bool DataFolderIsSeparate();
// The platform tells the running program's path when it starts. ProgramFolder is its folder, or, when `holdsData`
// is given, the folder LocateProgramFolder finds with it.
void SetProgramPath(const std::string& path, bool (*holdsData)(const std::string& folder) = nullptr);
// An installed game keeps its programs and its data apart: <prefix>/bin/kolbrix reads <prefix>/share/kolbrix/, and
// a game installed as Debian installs games, /usr/games/kolbrix, reads /usr/share/games/kolbrix/.
// The data folder that goes with a program folder ("" for a folder at the top, which has no prefix above it);
// `games` gives the second layout's.
std::string InstalledDataFolder(const std::string& programFolder, bool games = false);
// Where the data of the program at `programPath` is: its own folder when that holds the data (a build folder, a
// portable copy); otherwise the installed data folder (share/kolbrix, then share/games/kolbrix) that does;
// otherwise its own folder.
std::string LocateProgramFolder(const std::string& programPath, bool (*holdsData)(const std::string& folder));
// True for a folder laid out as an installed game's data (".../share/kolbrix/", ".../share/games/kolbrix/"). It is
// shipped data, shared by every player of the machine: the game never writes there, even when the system would let
// it (root).
bool IsInstalledDataFolder(const std::string& folder);

std::string FolderOf(const std::string& path);
std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement);
std::string ParentFolderName(const std::string& path);
std::string ZeroPad(std::int32_t n, int width);
std::string FormatTime(double seconds);
double ParseMinSec(const std::string& text);
std::string LowerCase(std::string text);
// Rounds to the nearest integer, halves to even (the rounding of every computed pixel position).
std::int32_t RoundEven(double x);
