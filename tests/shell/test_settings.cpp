#include <gtest/gtest.h>

#include "base/binio.h"
#include "shell/settings.h"
#include "test_support.h"

namespace {
std::string SettingsBytes(std::int32_t player, const std::string& language, std::int32_t fullscreen,
                          std::int32_t width, std::int32_t height, std::int32_t sound, std::int32_t music,
                          std::int32_t quotes, std::int32_t bonus) {
    std::string out;
    PutI32(out, player);
    PutString(out, language);
    for (std::int32_t v : {fullscreen, width, height, sound, music, quotes, bonus}) PutI32(out, v);
    return out;
}
}  // namespace

TEST(Settings, MissingFileGivesDefaultsAndFirstRun) {
    UseHeadless();
    TempProgramFolder folder;
    LoadSettings();
    EXPECT_EQ(FirstRun, -1);
    EXPECT_EQ(PlayerIndex, 1);
    EXPECT_EQ(LanguageFile, "english.str");
    EXPECT_EQ(Fullscreen, 1);
    EXPECT_EQ(ScreenWidth, 1920);
    EXPECT_EQ(ScreenHeight, 1080);
    EXPECT_EQ(SoundOn, -1);
    EXPECT_EQ(MusicOn, -1);
    EXPECT_EQ(QuotesOn, -1);
    EXPECT_EQ(BonusPackUnlocked, 0);
    EXPECT_EQ(ActiveWidth, 1920);
    EXPECT_EQ(ActiveHeight, 1080);
    EXPECT_EQ(ActiveFullscreen, 1);
}

TEST(Settings, FileLayoutIsFortySevenBytesForEnglish) {
    UseHeadless();
    TempProgramFolder folder;
    LoadSettings();
    SaveSettings();
    std::string bytes = folder.Read("settings.dat");
    ASSERT_EQ(bytes.size(), 47u);
    EXPECT_EQ(bytes, SettingsBytes(1, "english.str", 1, 1920, 1080, -1, -1, -1, 0));
    EXPECT_EQ(bytes.substr(4, 4), std::string("\x0b\0\0\0", 4));
}

TEST(Settings, RoundTripKeepsEveryFieldAndActiveValuesFollowOnlyAtLoad) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("settings.dat", SettingsBytes(3, "deutsch.str", 0, 800, 600, 0, -1, 0, -1));
    LoadSettings();
    EXPECT_EQ(FirstRun, 0);
    EXPECT_EQ(PlayerIndex, 3);
    EXPECT_EQ(LanguageFile, "deutsch.str");
    EXPECT_EQ(ActiveWidth, 800);
    EXPECT_EQ(ActiveFullscreen, 0);
    // A new resolution chosen in the menu is saved, but this run keeps the old one.
    ScreenWidth = 1024;
    ScreenHeight = 768;
    SaveSettings();
    EXPECT_EQ(ActiveWidth, 800);
    EXPECT_EQ(folder.Read("settings.dat"), SettingsBytes(3, "deutsch.str", 0, 1024, 768, 0, -1, 0, -1));
    LoadSettings();
    EXPECT_EQ(ActiveWidth, 1024);
    EXPECT_EQ(ActiveHeight, 768);
    EXPECT_EQ(BonusPackUnlocked, -1);
    EXPECT_EQ(SoundOn, 0);
    EXPECT_EQ(MusicOn, -1);
}

TEST(Settings, DamagedFileKeepsDefaultsForWhatIsMissing) {
    UseHeadless();
    TempProgramFolder folder;
    std::string full = SettingsBytes(2, "german.str", 0, 640, 480, 0, 0, 0, -1);
    struct Case { std::string bytes; int player; const char* language; int width; int sound; };
    const Case cases[] = {
        {full.substr(0, 2), 1, "english.str", 1920, -1},             // not even the player index
        {full.substr(0, 4), 2, "english.str", 1920, -1},             // player only
        {full.substr(0, 12), 2, "english.str", 1920, -1},            // name cut short
        {full.substr(0, 26), 2, "german.str", 640, -1},              // up to the height
        {full.substr(0, full.size() - 2), 2, "german.str", 640, 0},  // bonus flag cut
        {SettingsBytes(2, "", 0, 640, 480, 0, 0, 0, 0), 2, "english.str", 1920, -1},          // length 0
        {SettingsBytes(2, std::string(256, 'x'), 0, 640, 480, 0, 0, 0, 0), 2, "english.str", 1920, -1},
        {std::string("\x02\0\0\0\xff\xff\xff\x7f", 8), 2, "english.str", 1920, -1},           // huge length
        {std::string("\x02\0\0\0\xff\xff\xff\xff", 8), 2, "english.str", 1920, -1},          // negative length
    };
    for (const Case& c : cases) {
        folder.Write("settings.dat", c.bytes);
        LoadSettings();
        EXPECT_EQ(FirstRun, 0);
        EXPECT_EQ(PlayerIndex, c.player) << c.bytes.size();
        EXPECT_EQ(LanguageFile, c.language) << c.bytes.size();
        EXPECT_EQ(ScreenWidth, c.width) << c.bytes.size();
        EXPECT_EQ(SoundOn, c.sound) << c.bytes.size();
    }
}

// The language name becomes a path beside the program: a name that reaches out of the folder is never taken, the
// rest of the file is.
TEST(Settings, ALanguageNameThatLeavesTheProgramFolderKeepsTheDefault) {
    UseHeadless();
    TempProgramFolder folder;
    for (const char* name : {"../x", "..", "/etc/passwd", "lang/../../x", "sub/german.str", "a\\b.str", "*.str"}) {
        folder.Write("settings.dat", SettingsBytes(2, name, 0, 640, 480, 0, 0, 0, 0));
        LoadSettings();
        EXPECT_EQ(LanguageFile, "english.str") << name;
        EXPECT_EQ(ScreenWidth, 640) << name;
    }
    folder.Write("settings.dat", SettingsBytes(2, "german.str", 0, 640, 480, 0, 0, 0, 0));
    LoadSettings();
    EXPECT_EQ(LanguageFile, "german.str");
}

TEST(Settings, SaveReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    UseHeadless();
    TempProgramFolder folder;
    folder.Write("settings.dat", std::string(500, 'z'));
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(folder.Read("settings.dat").size(), 47u);
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(folder.path)) files += entry.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(Settings, FailedSaveKeepsTheOldFile) {
    UseHeadless();
    TempProgramFolder folder;
    std::string old = SettingsBytes(4, "english.str", 1, 1024, 768, -1, -1, -1, 0);
    folder.Write("settings.dat", old);
    LoadSettings();
    PlayerIndex = 9;
    // A folder that cannot be written to: the save fails and the old settings stay.
    std::filesystem::permissions(folder.path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    bool writable = ::access(folder.path.c_str(), W_OK) == 0;   // root may write anyway
    SaveSettings();
    std::filesystem::permissions(folder.path, std::filesystem::perms::owner_all);
    if (!writable) EXPECT_EQ(folder.Read("settings.dat"), old);
    else EXPECT_EQ(folder.Read("settings.dat").substr(0, 4), std::string("\x09\0\0\0", 4));
}
