// Paths and small text helpers used everywhere. Paths use "/" and every folder path ends with "/".
#pragma once

#include <cstdint>
#include <string>

std::string ProgramFolder();            // folder of the running program
std::string DataFolder();               // where writable files live: the program folder
std::string WindowsFolder();            // kept for the browser launcher; the system's folder on this platform
// Tests and tools point the program and data folders elsewhere ("" returns to the program's own folder).
void SetProgramFolder(const std::string& folder);
// The platform tells the running program's path when it starts; ProgramFolder is its folder.
void SetProgramPath(const std::string& path);

std::string FolderOf(const std::string& path);
std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement);
std::string ParentFolderName(const std::string& path);
std::string ZeroPad(std::int32_t n, int width);
std::string FormatTime(double seconds);
double ParseMinSec(const std::string& text);
std::string LowerCase(std::string text);
// Rounds to the nearest integer, halves to even (the rounding of every computed pixel position).
std::int32_t RoundEven(double x);
