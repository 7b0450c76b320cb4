// An installed game: the programs in <prefix>/bin/, the data in <prefix>/share/kolbrix/. The program finds its data
// there when its own folder holds none, and the player's files never go into it, even for root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

// A prefix with bin/ and share/kolbrix/ in a temporary folder, and XDG_DATA_HOME pointing into it; both put back
// at the end.
struct Prefix {
    TempProgramFolder root;
    std::string savedXdg;
    bool hadXdg = false;
    Prefix() {
        fs::create_directories(root.path / "bin");
        fs::create_directories(root.path / "share" / "kolbrix");
        fs::create_directories(root.path / "build" / "game");
        if (const char* xdg = std::getenv("XDG_DATA_HOME")) savedXdg = xdg, hadXdg = true;
        setenv("XDG_DATA_HOME", (root.path / "home-data").c_str(), 1);
    }
    ~Prefix() {
        if (hadXdg) setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
        else unsetenv("XDG_DATA_HOME");
        PlatformAssumeFolderWritable(-1);
    }
    std::string Folder(const std::string& name) const { return (root.path / name).string() + "/"; }
    void GiveData(const std::string& name) const { std::ofstream(root.path / name / "standard.dat") << "font"; }
};

}  // namespace

TEST(InstalledFolder, TheProgramFindsItsDataBesideItselfOrInShareKolbrix) {
    struct Case { const char* what; bool inBin, inShare; const char* expected; };
    for (const Case& c : {Case{"installed", false, true, "share/kolbrix"},
                          Case{"a portable copy in bin/", true, true, "bin"},
                          Case{"no data anywhere", false, false, "bin"}}) {
        SCOPED_TRACE(c.what);
        Prefix prefix;
        if (c.inBin) prefix.GiveData("bin");
        if (c.inShare) prefix.GiveData("share/kolbrix");
        EXPECT_EQ(LocateProgramFolder(prefix.Folder("bin") + "kolbrix", PlatformFolderHoldsGameData),
                  prefix.Folder(c.expected));
    }
}

// Debian's games: the programs in /usr/games/, the data in /usr/share/games/kolbrix/, never written.
TEST(InstalledFolder, AGameInstalledAsDebianInstallsGamesFindsItsDataAndKeepsItsPlayersApart) {
    Prefix prefix;
    fs::create_directories(prefix.root.path / "games");
    fs::create_directories(prefix.root.path / "share" / "games" / "kolbrix");
    prefix.GiveData("share/games/kolbrix");
    const std::string found = LocateProgramFolder(prefix.Folder("games") + "kolbrix", PlatformFolderHoldsGameData);
    EXPECT_EQ(found, prefix.Folder("share/games/kolbrix"));
    UseHeadless();
    SetProgramFolder(found);
    PlatformAssumeFolderWritable(1);
    PlatformChooseDataFolder();
    EXPECT_TRUE(DataFolderIsSeparate());
    EXPECT_EQ(DataFolder(), prefix.Folder("home-data/kolbrix"));
}

TEST(InstalledFolder, TheInstalledDataIsNeverThePlayersFolderEvenWhenItCouldBeWritten) {
    struct Case { const char* programFolder; bool separate; };
    for (const Case& c : {Case{"share/kolbrix", true}, Case{"build/game", false}}) {
        SCOPED_TRACE(c.programFolder);
        Prefix prefix;
        UseHeadless();
        SetProgramFolder(prefix.Folder(c.programFolder));
        PlatformAssumeFolderWritable(1);       // as for root, who may write anywhere
        PlatformChooseDataFolder();
        EXPECT_EQ(DataFolderIsSeparate(), c.separate);
        EXPECT_EQ(DataFolder(), c.separate ? prefix.Folder("home-data/kolbrix") : prefix.Folder(c.programFolder));
    }
}
