#include "shell/language.h"

#include <algorithm>

#include "platform/platform.h"
#include "shell/files.h"

List<std::string> LanguageList;
std::array<std::string, LanguageLineCount + 1> LanguageText;

void ListLanguageFiles() {
    LanguageList.Clear();
    std::vector<std::string> names = PlatformListFolder(ProgramFolder(), "*.str", ListKind::Files);
    // Sorted, so the language screen lists the same files in the same order on every machine.
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) LanguageList.Add(name);
}

void LoadLanguage(const std::string& fileName) {
    std::string bytes;
    if (!PlatformReadFile(ProgramFolder() + fileName, bytes)) return;   // keep the texts in use
    size_t pos = 0;
    for (int n = 1; n <= LanguageLineCount; n++) {
        std::string line;
        if (pos < bytes.size()) {
            size_t end = bytes.find('\n', pos);
            if (end == std::string::npos) end = bytes.size();
            line = bytes.substr(pos, end - pos);
            pos = end + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
        }
        // A text may stand between double quotes to keep spaces at its ends; each quote is stripped on its own.
        if (!line.empty() && line.front() == '"') line.erase(0, 1);
        if (!line.empty() && line.back() == '"') line.pop_back();
        LanguageText[static_cast<size_t>(n)] = line;
    }
}
