#include <gtest/gtest.h>

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

TEST(Language, LongFileStopsAt249AndShortFileLeavesEmptyTexts) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("long.str", NumberedLines(300));
    LoadLanguage("long.str");
    EXPECT_EQ(LanguageText[1], "line 1");
    EXPECT_EQ(LanguageText[249], "line 249");
    folder.Write("short.str", NumberedLines(10));
    LoadLanguage("short.str");
    EXPECT_EQ(LanguageText[10], "line 10");
    EXPECT_EQ(LanguageText[11], "");
    EXPECT_EQ(LanguageText[249], "");
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

TEST(Language, ShippedFilesAreCompleteSingleByteText) {
    for (const char* name : {"english.str", "german.str"}) {
        std::ifstream in(std::string(KOLBRIX_SOURCE_DIR) + "/assets/lang/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name;
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        int lines = 0;
        for (char c : text) lines += c == '\n';
        EXPECT_EQ(lines, 249) << name;
        // Windows-1252, never UTF-8: no byte sequence that only UTF-8 would produce for the umlauts.
        EXPECT_EQ(text.find("\xC3\xA4"), std::string::npos) << name;
        EXPECT_EQ(text.find("\xC3\xBC"), std::string::npos) << name;
    }
}
