#include "shell/language.h"

#include <algorithm>

#include "base/files.h"
#include "platform/platform.h"

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
    ParseLanguageText(bytes);
}
