#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <sstream>
#include <vector>
#include <string>
#include <utility>
#include <vector>

#include "base/language.h"
#include "shell/language.h"
#include "test_support.h"

namespace {
std::string NumberedLines(int count) {
    std::string text;
    for (int n = 1; n <= count; n++) text += "line " + std::to_string(n) + "\n";
    return text;
}
}  // namespace

TEST(Language, QuotesAreStrippedEachOnItsOwn) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("test.str", "\"  padded  \"\n\"\nplain\n\"leading only\ntrailing only\"\n\"\"\n\"a \"quoted\" word\"\r\n");
    LoadLanguage("test.str");
    EXPECT_EQ(LanguageText[1], "  padded  ");
    EXPECT_EQ(LanguageText[2], "");
    EXPECT_EQ(LanguageText[3], "plain");
    EXPECT_EQ(LanguageText[4], "leading only");
    EXPECT_EQ(LanguageText[5], "trailing only");
    EXPECT_EQ(LanguageText[6], "");
    EXPECT_EQ(LanguageText[7], "a \"quoted\" word");
}

TEST(Language, LongFileStopsAtTheLastLineAndShortFileLeavesEmptyTexts) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("long.str", NumberedLines(LanguageLineCount + 50));
    LoadLanguage("long.str");
    EXPECT_EQ(LanguageText[1], "line 1");
    EXPECT_EQ(LanguageText[LanguageLineCount], "line " + std::to_string(LanguageLineCount));
    folder.Write("short.str", NumberedLines(10));
    LoadLanguage("short.str");
    EXPECT_EQ(LanguageText[10], "line 10");
    EXPECT_EQ(LanguageText[11], "");
    EXPECT_EQ(LanguageText[LanguageLineCount], "");
}

TEST(Language, ListsOnlyStrFilesSorted) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("english.str", "x\n");
    folder.Write("german.str", "x\n");
    folder.Write("Dutch.STR", "x\n");
    folder.Write("notes.txt", "x\n");
    folder.Write(".hidden.str", "x\n");
    std::filesystem::create_directories(folder.path / "folder.str");
    ListLanguageFiles();
    ASSERT_EQ(LanguageList.Count(), 3);
    EXPECT_EQ(LanguageList[1], "Dutch.STR");
    EXPECT_EQ(LanguageList[2], "english.str");
    EXPECT_EQ(LanguageList[3], "german.str");
}

namespace {
constexpr const char* ShippedLanguages[] = {"english.str", "german.str", "french.str", "spanish.str"};

std::string ShippedLanguageBytes(const std::string& name) {
    std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/assets/lang/" + name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool InRanges(int line, std::initializer_list<std::pair<int, int>> ranges) {
    for (const auto& [first, last] : ranges)
        if (line >= first && line <= last) return true;
    return false;
}
}  // namespace

TEST(Language, ShippedFilesAreCompleteSingleByteText) {
    for (const char* name : ShippedLanguages) {
        const std::string text = ShippedLanguageBytes(name);
        ASSERT_FALSE(text.empty()) << name;
        int lines = 0;
        for (char c : text) lines += c == '\n';
        EXPECT_EQ(lines, LanguageLineCount) << name;
        // Windows-1252, never UTF-8: no byte-order mark and no two-byte sequence that UTF-8 gives the accented
        // letters of Latin-1 (C3 A4 for the umlaut a, C3 A9 for the acute e).
        EXPECT_NE(text.rfind("\xEF\xBB\xBF", 0), 0u) << name;
        size_t utf8 = std::string::npos;
        for (size_t i = 0; i + 1 < text.size() && utf8 == std::string::npos; ++i) {
            const auto lead = static_cast<unsigned char>(text[i]), next = static_cast<unsigned char>(text[i + 1]);
            if ((lead == 0xC2 || lead == 0xC3) && next >= 0x80 && next <= 0xBF) utf8 = i;
        }
        EXPECT_EQ(utf8, std::string::npos) << name << " looks like UTF-8 there";
    }
}

// The menu lines and floating messages are drawn in the big font, which has the accented letters and marks of
// Spanish (both cases of each) but no other accented letters and no quote marks: such a character would leave a
// hole in the word.
TEST(Language, ShippedBigFontLinesUseOnlyWhatTheBigFontHas) {
    const std::string accented = "\xE1\xC1\xE9\xC9\xED\xCD\xF3\xD3\xFA\xDA\xF1\xD1\xFC\xDC\xBF\xA1";
    const auto kept = LanguageText;
    for (const char* name : ShippedLanguages) {
        ParseLanguageText(ShippedLanguageBytes(name));
        for (int n = 1; n <= LanguageLineCount; ++n) {
            if (!InRanges(n, {{91, 113}, {145, 201}, {214, 227}, {241, 241}, {244, 249}, {263, 263}})) continue;
            for (char c : LanguageText[static_cast<std::size_t>(n)]) {
                const auto byte = static_cast<unsigned char>(c);
                const bool superscript = byte == 178 || byte == 179;
                const bool spanish = accented.find(c) != std::string::npos;
                EXPECT_TRUE((byte < 0x80 || superscript || spanish) && c != '\'' && c != '"' && c != '`')
                    << name << " line " << n << ": " << LanguageText[static_cast<std::size_t>(n)];
            }
        }
    }
    LanguageText = kept;
}

namespace {
std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The ids of the manual's chapters (<h2 id="...">), in order.
std::vector<std::string> ManualChapters(const std::string& html) {
    std::vector<std::string> ids;
    const std::string mark = "<h2 id=\"";
    for (size_t at = html.find(mark); at != std::string::npos; at = html.find(mark, at + 1)) {
        const size_t start = at + mark.size();
        ids.push_back(html.substr(start, html.find('"', start) - start));
    }
    return ids;
}

// The hint lines of a hint file that say something.
int HintLines(const std::filesystem::path& path) {
    int lines = 0;
    std::istringstream in(FileText(path));
    for (std::string line; std::getline(in, line);) lines += line.find_first_not_of(" \r\t") != std::string::npos;
    return lines;
}
}  // namespace

// Every shipped language says everything English says: each line English fills, the hints of every shipped level
// (as many lines as the English ones, in the hint file that the language's line 84 names), and every chapter of
// the manual its line 130 opens.
TEST(Language, EveryShippedLanguageHasEveryLineEveryHintAndEveryManualChapter) {
    namespace fs = std::filesystem;
    const auto kept = LanguageText;
    ParseLanguageText(ShippedLanguageBytes("english.str"));
    const auto english = LanguageText;
    const fs::path manuals = fs::path(KOLBRIX_SOURCE_DIR) / "assets" / "manual";
    const std::vector<std::string> chapters = ManualChapters(FileText(manuals / english[130]));
    ASSERT_GE(chapters.size(), 9u);
    std::vector<fs::path> levels;
    for (const auto& pack : fs::directory_iterator(KOLBRIX_GAME_DIR)) {
        if (!pack.is_directory() || pack.path().filename().string().rfind("lvlpck", 0) != 0) continue;
        for (const auto& file : fs::directory_iterator(pack.path()))
            if (file.path().extension() == ".kbx") levels.push_back(file.path());
    }
    ASSERT_GE(levels.size(), 55u) << "the shipped packs are built";
    for (const char* name : ShippedLanguages) {
        ParseLanguageText(ShippedLanguageBytes(name));
        for (int n = 1; n <= LanguageLineCount; ++n) {
            if (!english[static_cast<size_t>(n)].empty()) {
                EXPECT_FALSE(LanguageText[static_cast<size_t>(n)].empty()) << name << " line " << n;
            }
        }
        const std::string ending = LanguageText[84];
        for (const fs::path& level : levels) {
            const fs::path hints = level.parent_path() / (level.stem().string() + "." + ending);
            const fs::path englishHints = level.parent_path() / (level.stem().string() + "." + english[84]);
            ASSERT_TRUE(fs::exists(englishHints)) << englishHints;
            EXPECT_EQ(HintLines(hints), HintLines(englishHints)) << name << ": " << hints;
        }
        const std::string page = LanguageText[130];
        EXPECT_EQ(ManualChapters(FileText(manuals / page)), chapters) << name << ": " << page;
    }
    LanguageText = kept;
}

// Line 130 names the manual page the menu opens; a page beside the program must be one the build ships.
TEST(Language, ShippedManualPagesExist) {
    const auto kept = LanguageText;
    for (const char* name : ShippedLanguages) {
        ParseLanguageText(ShippedLanguageBytes(name));
        const std::string& page = LanguageText[130];
        if (page.find("://") != std::string::npos) continue;
        EXPECT_TRUE(std::filesystem::is_regular_file(std::string(KOLBRIX_SOURCE_DIR) + "/assets/manual/" + page))
            << name << " names " << page;
    }
    LanguageText = kept;
}

// The solver's answer puts the solution's time in place of "%1" and the time limit in place of "%2": a translation
// that lost one would show a sentence without its number.
TEST(Language, ShippedLinesKeepTheirPlaceholders) {
    const auto kept = LanguageText;
    struct Case {
        int line;
        std::vector<const char*> placeholders;
    };
    const Case cases[] = {{253, {"%1", "%2"}}, {254, {"%1"}}};
    for (const char* name : ShippedLanguages) {
        ParseLanguageText(ShippedLanguageBytes(name));
        for (const Case& c : cases)
            for (const char* placeholder : c.placeholders)
                EXPECT_NE(LanguageText[static_cast<std::size_t>(c.line)].find(placeholder), std::string::npos)
                    << name << " line " << c.line << " lacks " << placeholder;
    }
    LanguageText = kept;
}
