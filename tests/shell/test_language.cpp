#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
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
constexpr const char* ShippedLanguages[] = {"english.str", "german.str", "french.str"};

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

// The menu lines and floating messages are drawn in the big font, which has no accented letters and no quote
// marks: such a character would leave a hole in the word.
TEST(Language, ShippedBigFontLinesHaveNoAccentsOrApostrophes) {
    const auto kept = LanguageText;
    for (const char* name : ShippedLanguages) {
        ParseLanguageText(ShippedLanguageBytes(name));
        for (int n = 1; n <= LanguageLineCount; ++n) {
            if (!InRanges(n, {{91, 113}, {145, 199}, {214, 227}, {241, 241}, {244, 249}, {263, 263}})) continue;
            for (char c : LanguageText[static_cast<std::size_t>(n)]) {
                const auto byte = static_cast<unsigned char>(c);
                const bool superscript = byte == 178 || byte == 179;
                EXPECT_TRUE((byte < 0x80 || superscript) && c != '\'' && c != '"' && c != '`')
                    << name << " line " << n << ": " << LanguageText[static_cast<std::size_t>(n)];
            }
        }
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
