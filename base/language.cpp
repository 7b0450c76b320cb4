#include "base/language.h"

List<std::string> LanguageList;
std::array<std::string, LanguageLineCount + 1> LanguageText;

void ParseLanguageText(const std::string& bytes) {
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
