#include "base/files.h"

#include <cmath>
#include <cstdlib>


namespace {
std::string programFolderOverride;      // set by tests and tools
std::string runningProgramFolder;       // found when the platform tells the program's path
std::string dataFolderChoice;           // "" while the data folder is the program folder
std::string windowsFolder;              // computed once
}  // namespace

void SetProgramFolder(const std::string& folder) {
    programFolderOverride = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    dataFolderChoice.clear();
}

void SetDataFolder(const std::string& folder) {
    dataFolderChoice = folder.empty() || folder.back() == '/' ? folder : folder + "/";
}

bool DataFolderIsSeparate() { return !dataFolderChoice.empty() && dataFolderChoice != ProgramFolder(); }

std::string ProgramFolder() {
    if (!programFolderOverride.empty()) return programFolderOverride;
    return runningProgramFolder;
}

void SetProgramPath(const std::string& path, bool (*holdsData)(const std::string& folder)) {
    runningProgramFolder = holdsData ? LocateProgramFolder(path, holdsData) : FolderOf(path);
}

namespace {
const std::string InstalledDataParts[] = {"share/kolbrix/", "share/games/kolbrix/"};
}  // namespace

std::string InstalledDataFolder(const std::string& programFolder, bool games) {
    std::string folder = FolderOf(programFolder);      // ends with "/" whatever was given
    folder.pop_back();
    const size_t slash = folder.rfind('/');
    if (slash == std::string::npos) return "";
    return folder.substr(0, slash + 1) + InstalledDataParts[games ? 1 : 0];
}

std::string LocateProgramFolder(const std::string& programPath, bool (*holdsData)(const std::string& folder)) {
    const std::string own = FolderOf(programPath);
    if (holdsData(own)) return own;
    for (bool games : {false, true}) {
        const std::string installed = InstalledDataFolder(own, games);
        if (!installed.empty() && holdsData(installed)) return installed;
    }
    return own;
}

bool IsInstalledDataFolder(const std::string& folder) {
    const std::string path = FolderOf(folder.empty() || folder.back() == '/' ? folder : folder + "/");
    for (const std::string& part : InstalledDataParts)
        if (path.size() > part.size() && path.compare(path.size() - part.size(), part.size(), part) == 0 &&
            path[path.size() - part.size() - 1] == '/')
            return true;
    return false;
}

std::string DataFolder() { return dataFolderChoice.empty() ? ProgramFolder() : dataFolderChoice; }

std::string WindowsFolder() {
    // There is no Windows folder here; the browser is started through the desktop's opener instead. The value
    // stays what it was (computed once, ends with "/") for code that builds paths from it.
    if (windowsFolder.empty()) windowsFolder = ReplaceAll("/usr/bin\\", "\\", "/");
    return windowsFolder;
}

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement) {
    if (find.empty()) return text;
    std::string result;
    result.reserve(text.size());
    size_t start = 0;
    for (;;) {
        size_t at = text.find(find, start);
        if (at == std::string::npos) break;
        result.append(text, start, at - start);
        result += replacement;
        start = at + find.size();
    }
    result.append(text, start, std::string::npos);
    return result;
}

std::string FolderOf(const std::string& path) {
    std::string p = ReplaceAll(path, "\\", "/");
    size_t last = p.rfind('/');
    if (last == std::string::npos) return p + "/";
    return p.substr(0, last + 1);
}

std::string ParentFolderName(const std::string& path) {
    std::string folder = FolderOf(path);
    folder.pop_back();
    std::string above = FolderOf(folder);
    // A folder without any "/" has "folder/" as its FolderOf: then the whole text is the name.
    if (above.size() > folder.size()) return folder;
    return folder.substr(above.size());
}

std::string ZeroPad(std::int32_t n, int width) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
    return s;
}

std::int32_t RoundEven(double x) { return static_cast<std::int32_t>(std::nearbyint(x)); }

std::string FormatTime(double seconds) {
    std::int32_t t = RoundEven(seconds);
    return ZeroPad(t / 60, 2) + ":" + ZeroPad(t % 60, 2);
}

namespace {
// The numeric value of a text's leading number (spaces skipped, sign and decimals allowed); 0 when there is none.
double LeadingNumber(const std::string& text) { return std::strtod(text.c_str(), nullptr); }
}  // namespace

double ParseMinSec(const std::string& text) {
    double v = LeadingNumber(text) * 60;
    if (v > 5940) v = 5940;
    size_t colon = text.find(':');
    if (colon != std::string::npos) v += LeadingNumber(text.substr(colon + 1));
    return v;
}

std::string LowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
