#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/grid.h"

TEST(FileHelpers, ZeroPad) {
    struct Case { int n, width; const char* expected; };
    for (const Case& c : {Case{7, 3, "007"}, Case{0, 2, "00"}, Case{1234, 3, "1234"}, Case{-5, 3, "0-5"},
                          Case{42, 0, "42"}, Case{12, 2, "12"}})
        EXPECT_EQ(ZeroPad(c.n, c.width), c.expected) << c.n << " width " << c.width;
}

TEST(FileHelpers, FormatTimeRoundsHalvesToEven) {
    struct Case { double seconds; const char* expected; };
    for (const Case& c : {Case{75.4, "01:15"}, Case{6000, "100:00"}, Case{59.5, "01:00"}, Case{0, "00:00"},
                          Case{58.5, "00:58"}, Case{0.5, "00:00"}, Case{1.5, "00:02"}, Case{3599.4, "59:59"}})
        EXPECT_EQ(FormatTime(c.seconds), c.expected) << c.seconds;
}

TEST(FileHelpers, ParseMinSec) {
    struct Case { const char* text; double expected; };
    for (const Case& c : {Case{"1:30", 90}, Case{"2", 120}, Case{"150", 5940}, Case{"99:59", 5999},
                          Case{"", 0}, Case{"0:45", 45}, Case{"abc", 0}, Case{"1:2:3", 62}})
        EXPECT_DOUBLE_EQ(ParseMinSec(c.text), c.expected) << c.text;
}

TEST(FileHelpers, ReplaceAllTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(ReplaceAll("a\\b\\c", "\\", "/"), "a/b/c");
    EXPECT_EQ(ReplaceAll("\\\\x\\", "\\", "/"), "//x/");
    EXPECT_EQ(ReplaceAll("plain", "\\", "/"), "plain");
    EXPECT_EQ(ReplaceAll("", "\\", "/"), "");
}

TEST(FileHelpers, FolderOfAndParentFolderName) {
    struct Case { const char* path; const char* folder; const char* parent; };
    for (const Case& c : {Case{"/games/kolbrix/kolbrix", "/games/kolbrix/", "kolbrix"},
                          Case{"C:\\Games\\Kolbrix\\txtpckMain\\wallrrbrick00.png", "C:/Games/Kolbrix/txtpckMain/",
                               "txtpckMain"},
                          Case{"/data/txtpckMain/ball00.png", "/data/txtpckMain/", "txtpckMain"},
                          Case{"kolbrix", "kolbrix/", "kolbrix"}}) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
        EXPECT_EQ(ParentFolderName(c.path), c.parent) << c.path;
    }
}

TEST(FileHelpers, RoundEvenRoundsHalvesToEven) {
    struct Case { double x; int expected; };
    for (const Case& c : {Case{0.5, 0}, Case{1.5, 2}, Case{2.5, 2}, Case{-0.5, 0}, Case{-1.5, -2}, Case{2.4999, 2},
                          Case{2.5001, 3}})
        EXPECT_EQ(RoundEven(c.x), c.expected) << c.x;
}

// ---- Where the program's data is --------------------------------------------------------------------------

namespace {
// The folders that hold the game's data in a made-up file system.
std::vector<std::string> foldersWithData;
bool HoldsData(const std::string& folder) {
    return std::find(foldersWithData.begin(), foldersWithData.end(), folder) != foldersWithData.end();
}
}  // namespace

TEST(ProgramFolderLookup, InstalledDataFolderIsShareKolbrixBesideTheProgramsFolder) {
    struct Case { const char* programFolder; const char* expected; };
    for (const Case& c : {Case{"/usr/bin/", "/usr/share/kolbrix/"}, Case{"/usr/local/bin/", "/usr/local/share/kolbrix/"},
                          Case{"/usr/games/", "/usr/share/kolbrix/"}, Case{"/opt/k/bin/", "/opt/k/share/kolbrix/"},
                          Case{"/bin/", "/share/kolbrix/"}, Case{"/", ""}, Case{"bin/", ""}})
        EXPECT_EQ(InstalledDataFolder(c.programFolder), c.expected) << c.programFolder;
    EXPECT_EQ(InstalledDataFolder("/usr/games/", true), "/usr/share/games/kolbrix/");
    EXPECT_EQ(InstalledDataFolder("/", true), "");
}

TEST(ProgramFolderLookup, TheProgramsOwnFolderWinsThenTheInstalledOne) {
    struct Case { std::vector<std::string> withData; const char* expected; };
    const char* program = "/usr/bin/kolbrix";
    for (const Case& c : {Case{{"/usr/bin/", "/usr/share/kolbrix/"}, "/usr/bin/"},   // a portable copy in bin/
                          Case{{"/usr/share/kolbrix/"}, "/usr/share/kolbrix/"},      // installed
                          Case{{}, "/usr/bin/"},                                     // nowhere: its own folder
                          Case{{"/usr/local/share/kolbrix/"}, "/usr/bin/"},          // another prefix's data
                          Case{{"/usr/share/games/kolbrix/"}, "/usr/share/games/kolbrix/"},  // as Debian's games
                          Case{{"/usr/share/kolbrix/", "/usr/share/games/kolbrix/"}, "/usr/share/kolbrix/"}}) {
        foldersWithData = c.withData;
        EXPECT_EQ(LocateProgramFolder(program, HoldsData), c.expected) << c.withData.size();
    }
    foldersWithData = {"/share/kolbrix/"};
    EXPECT_EQ(LocateProgramFolder("/kolbrix", HoldsData), "/") << "a program at the top has no prefix above it";
    foldersWithData.clear();
}

TEST(ProgramFolderLookup, SetProgramPathFindsTheDataOnlyWhenAskedTo) {
    const std::string saved = ProgramFolder();
    foldersWithData = {"/opt/kolbrix/share/kolbrix/"};
    SetProgramPath("/opt/kolbrix/bin/kolbrix", HoldsData);
    EXPECT_EQ(ProgramFolder(), "/opt/kolbrix/share/kolbrix/");
    SetProgramPath("/opt/kolbrix/bin/kolbrix");
    EXPECT_EQ(ProgramFolder(), "/opt/kolbrix/bin/");
    foldersWithData.clear();
    SetProgramPath(saved + "kolbrix");
}

TEST(ProgramFolderLookup, OnlyAShareKolbrixFolderCountsAsInstalled) {
    struct Case { const char* folder; bool installed; };
    for (const Case& c : {Case{"/usr/share/kolbrix/", true}, Case{"/usr/local/share/kolbrix", true},
                          Case{"/usr/share/games/kolbrix/", true}, Case{"/usr/games/kolbrix/", false},
                          Case{"/home/ada/.local/share/kolbrix/", true},
                          Case{"/home/ada/kolbrix/build/game/", false}, Case{"/usr/share/kolbrix/lvlpckKolbrix/", false},
                          Case{"/usr/myshare/kolbrix/", false}, Case{"share/kolbrix/", false}, Case{"", false}})
        EXPECT_EQ(IsInstalledDataFolder(c.folder), c.installed) << c.folder;
}

TEST(Grid, FitsTheSmallestPowerOfTwoCellWithinTheBudget) {
    struct Case {
        double minX, maxX, minY, maxY, budget;
        double size;
        std::int32_t columns, rows;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c : {
             Case{0, 0, 0, 0, 4096, 128, 1, 1},                 // one point
             Case{0, 127.9, 0, 127.9, 4096, 128, 1, 1},         // inside one cell
             Case{0, 128, 0, 0, 4096, 128, 2, 1},               // on the next cell's edge
             Case{-640, 640, 0, 1280, 100, 256, 6, 6},          // 121 cells do not fit: the cell doubles
             Case{-640, 640, 0, 1280, 121, 128, 11, 11},
             Case{0, 1e12, 0, 1e12, 4096, 128 * std::pow(2.0, 27), 59, 59},   // half the cell: 117 x 117
             Case{0, inf, 0, 10, 4096, 128, 1, 1},               // a span that is not finite counts as a point
             Case{5, 1, 0, 0, 0, 128, 1, 1},                     // min past max, and no budget at all
         }) {
        const GridShape shape = FitGrid(c.minX, c.maxX, c.minY, c.maxY, 128, c.budget);
        EXPECT_EQ(shape.cellSize, c.size) << c.maxX << " " << c.budget;
        EXPECT_EQ(shape.columns, c.columns) << c.maxX << " " << c.budget;
        EXPECT_EQ(shape.rows, c.rows) << c.maxX << " " << c.budget;
        EXPECT_LE(double(shape.columns) * shape.rows, std::max(c.budget, 1.0));
    }
}
