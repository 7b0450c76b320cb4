// The editor on the headless back end: commands key by key on a pack of small levels in a temporary data folder,
// the level and pack operations checked on the files they leave, the repairs when a file will not move, undo and
// redo, and the mouse on the board.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/language.h"
#include "base/message.h"
#include "editor/dialogs.h"
#include "editor/editor.h"
#include "editor/editor_keys.h"
#include "editor/editor_state.h"
#include "editor/level_ops.h"
#include "editor/panel_input.h"
#include "editor/selection.h"
#include "shell/pack_archive.h"
#include "editor/undo.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "shell/level_load.h"
#include "shell/packs.h"
#include "shell/players.h"
#include "tests/play/play_fixture.h"
#include "tiles/texture_packs.h"

namespace playtest {
namespace {

namespace fs = std::filesystem;

constexpr int ShiftScan = 0x2A;

class Editor : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        for (int n = 1; n <= LanguageLineCount; ++n)
            if (LanguageText[static_cast<size_t>(n)].empty()) LanguageText[static_cast<size_t>(n)] = "line " + std::to_string(n);
        LanguageText[LineHintFileExtension] = "en.txt";
        LanguageText[51] = "Yes";
        LanguageText[52] = "No";
        TexturePackList.Clear();
        TexturePackList[0] = "txtpckAll";
        TexturePackList.Add("txtpckTest");
        editor = EditorState{};
        panelInput = PanelInput{};
        view = BoardView{};
        MessageState = 0;
        BeginEditorVisit();
        PackList.Clear();
        PlayerList.Clear();
        PackIndex = 0;
        MusicList.Clear();
        for (const char* track : {"audio/a.ogg", "audio/b.ogg", "audio/c.ogg"}) MusicList.Add(track);
        musicIndex = 1;
        ClearHistory();
        // The level a new level starts from.
        BuildLevel("");
        SaveLevel(folder->File("emptylevel.kbx"));
    }
    void TearDown() override {
        Headless.held[ShiftScan] = false;
        PackList.Clear();
        PlayerList.Clear();
        PlayTest::TearDown();
    }

    // A level with a floor of three walls and the ball above it, told apart by its title.
    static void BuildLevel(const std::string& title) {
        for (int layer = 1; layer <= LevelLayerCount; ++layer) LevelLayer(layer).Clear();
        Floor(0, 256, 384);
        Ball(128, 256);
        level.levelTitle = title;
        level.timeLimit = 60;
    }

    std::string PackPath(const std::string& file = "") const { return folder->File("lvlpckA/" + file); }

    // Pack "lvlpckA" with levels titled "A1" ... and the editor on level `current`.
    void MakePack(int count, int current = 1, const std::vector<std::string>& others = {}) {
        fs::create_directories(PackPath());
        for (int n = 1; n <= count; ++n) {
            BuildLevel("A" + std::to_string(n));
            ASSERT_TRUE(SaveLevel(PackPath(LevelFileName(n))));
        }
        PackList.Add("lvlpckA");
        for (const std::string& other : others) {
            fs::create_directories(folder->File(other));
            BuildLevel(other);
            SaveLevel(folder->File(other + "/001.kbx"));
            PackList.Add(other);
        }
        PackIndex = 1;
        LevelCount = count;
        LevelNumber = current;
        ASSERT_TRUE(LoadLevel(""));
        ClearHistory();
    }

    // The title stored in level file `n` of the pack ("" when it does not load).
    std::string TitleOf(int n) {
        LevelData data;
        std::string bytes;
        if (!PlatformReadFile(PackPath(LevelFileName(n)), bytes) || !DecodeLevel(bytes, data)) return "";
        return data.level.levelTitle;
    }

    // One key as the editor's pass hands it on: to the dialog up, or to the command table.
    void Key(const std::string& key) {
        if (MessageState != 0) EditorDialogKey(DialogKey(key));
        else EditorCommand(key);
        RevalidateSelection();
    }
    void Keys(const std::vector<std::string>& keys) {
        for (const std::string& key : keys) Key(key);
    }
    // Opens the dialog with `key`, replaces the typed text, presses Enter.
    void Answer(const std::string& key, const std::string& text) {
        Key(key);
        DialogInput = text;
        Key(KeyEnter);
    }

    static int CountAt(const Layer& layer, double x, double y) {
        int count = 0;
        for (const LevelObject& object : layer) count += object.x == x && object.y == y;
        return count;
    }
    static void At(double x, double y) {
        focusX = x;
        focusY = y;
    }
};

// ---- Choosing and placing ---------------------------------------------------------------------------------------

TEST_F(Editor, AKindWithNoTextureInTheFilteredPackSelectsNothingAndSpacePlacesNothing) {
    TextureEntry other;
    other.pack = "txtpckOther";
    other.name = "slate";
    other.kind = KindWall;
    AddTexture(other);
    TexturePackList.Add("txtpckOther");
    MakePack(1);
    Keys({"w", KeyEnd, KeyEnd});
    EXPECT_EQ(editor.PackFilter, 2);
    EXPECT_EQ(Entry(editor.SelectedTexture).name, "slate");
    Key("b");
    EXPECT_EQ(editor.SelectedTexture, 0);
    At(0, 0);
    const int pickups = level.pickupLayer.Count();
    Key(" ");
    EXPECT_EQ(level.pickupLayer.Count(), pickups);
    EXPECT_EQ(levelModified, 0);
    Key(KeyHome);       // back to the pack that has one
    EXPECT_EQ(Entry(editor.SelectedTexture).name, "bomb");
}

TEST_F(Editor, PlacingPutsTheKindInItsLayerWithItsDirectionAndReplacesTheCell) {
    MakePack(1);
    At(512, 0);
    Keys({"6", " "});
    ASSERT_EQ(level.arrowLayer.Count(), 1);
    EXPECT_EQ(level.arrowLayer[1].param1, 2);
    Keys({KeyAltUp, " "});
    ASSERT_EQ(level.pathLayer.Count(), 1);
    EXPECT_EQ(level.pathLayer[1].param1, 1);
    Keys({"w", " ", " "});
    EXPECT_EQ(CountAt(level.wallLayer, 512, 0), 1);
    Keys({"h", " "});
    EXPECT_EQ(level.ball.x, 512);
    EXPECT_EQ(level.ball.y, 0);
    Keys({KeyAltB, KeyPgDn, " "});
    EXPECT_EQ(level.background.texture, TexBonusSky);
    EXPECT_EQ(levelModified, -1);
}

TEST_F(Editor, ShiftWithAnArrowPaintsALineThatIsOneStepOfTheHistory) {
    MakePack(1);
    At(0, -512);
    Key("w");
    Headless.held[ShiftScan] = true;
    Keys({KeyRight, KeyRight, KeyRight});
    Headless.held[ShiftScan] = false;
    for (double x : {0, 128, 256, 384}) EXPECT_EQ(CountAt(level.wallLayer, x, -512), 1) << x;
    EXPECT_EQ(focusX, 384);
    Key(KeyCtrlZ);
    for (double x : {0, 128, 256, 384}) EXPECT_EQ(CountAt(level.wallLayer, x, -512), 0) << x;
    EXPECT_EQ(level.wallLayer.Count(), 3);
    EXPECT_EQ(levelModified, 0);
}

TEST_F(Editor, DelTakesOneObjectInLayerOrderAndNeverTheLastWall) {
    MakePack(1);
    At(0, 384);
    Keys({"8", " "});
    Key(KeyDel);
    EXPECT_EQ(CountAt(level.arrowLayer, 0, 384), 0);
    EXPECT_EQ(CountAt(level.wallLayer, 0, 384), 1);
    Key(KeyDel);
    EXPECT_EQ(CountAt(level.wallLayer, 0, 384), 0);

    // Down to one wall: Del and "d" leave it and say why; "d" still clears the rest of the cell.
    At(128, 384);
    Key(KeyDel);
    ASSERT_EQ(level.wallLayer.Count(), 1);
    At(256, 384);
    Keys({"f", " ", "g", " "});
    Key(KeyDel);        // takes the flag
    EXPECT_EQ(CountAt(level.pickupLayer, 256, 384), 0);
    Key(KeyDel);        // the ground, after the wall was refused
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine2, LanguageText[240]);
    EXPECT_EQ(CountAt(level.groundLayer, 256, 384), 0);
    Key(KeyEnter);
    Keys({"f", " ", "d"});
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(CountAt(level.pickupLayer, 256, 384), 0);
    EXPECT_EQ(level.wallLayer.Count(), 1);
}

TEST_F(Editor, PgUpAndPgDnStepThroughTheTexturesOfTheKind) {
    MakePack(1);
    Key("w");
    EXPECT_EQ(editor.SelectedTexture, TexWall);
    Key(KeyPgDn);
    EXPECT_EQ(editor.SelectedTexture, TexElevator);
    Key(KeyPgDn);       // no further wall: the selection stays
    EXPECT_EQ(editor.SelectedTexture, TexElevator);
    Keys({KeyPgUp, KeyPgUp});
    EXPECT_EQ(editor.SelectedTexture, TexWall);
}

// ---- Dialogs, zoom, leaving ---------------------------------------------------------------------------------------

TEST_F(Editor, TheTimeLimitDialogReadsMinutesAndSeconds) {
    struct Case {
        const char* typed;
        double limit;
    };
    for (const Case& c : {Case{"1:30", 90}, Case{"120", 5940}, Case{"99:99", 5940 + 99}, Case{"", 60},
                          Case{"  2:05 ", 125}}) {
        MakePack(1);
        PackList.Clear();
        PackList.Add("lvlpckA");
        Answer(KeyAltDel, c.typed);
        EXPECT_EQ(level.timeLimit, c.limit) << c.typed;
        EXPECT_EQ(levelModified, c.limit == 60 ? 0 : -1) << c.typed;
    }
    Key(KeyAltDel);
    EXPECT_EQ(DialogInput, "02:05");
    EXPECT_EQ(DialogAllowed, "0123456789:");
    Key(KeyEscape);     // closes without taking the answer
    EXPECT_EQ(MessageState, 0);
    EXPECT_EQ(level.timeLimit, 125);
}

TEST_F(Editor, TheTitleDialogTakesTheTrimmedTitleOnlyOnOk) {
    MakePack(1);
    Answer("l", "  The Pit  ");
    EXPECT_EQ(level.levelTitle, "The Pit");
    EXPECT_EQ(levelModified, -1);
    Key("L");
    DialogInput = "Other";
    Key(KeyEscape);
    EXPECT_EQ(level.levelTitle, "The Pit");
}

TEST_F(Editor, ZoomStopsAtItsLimits) {
    MakePack(1);
    level.levelZoom = 1.0;
    for (int n = 0; n < 20; ++n) Key("+");
    EXPECT_GE(level.levelZoom, 3.0);
    EXPECT_LT(level.levelZoom, 3.0 * 1.1);
    for (int n = 0; n < 100; ++n) Key("-");
    EXPECT_LE(level.levelZoom, 0.1);
    EXPECT_GT(level.levelZoom, 0.1 / 1.1);
    EXPECT_EQ(levelModified, 0);
}

TEST_F(Editor, LeavingWithoutChangesReturnsAtOnce) {
    MakePack(1);
    Key(KeyEscape);
    EXPECT_TRUE(EditorWantsReturn());
}

TEST_F(Editor, TheSaveQuestionWaitsForAButtonThenSavesOrNot) {
    MakePack(2);
    At(0, 0);
    Keys({"w", " ", KeyEscape});
    EXPECT_EQ(MessageState, SaveFirstLeave);
    Key(KeyEscape);
    EXPECT_EQ(MessageState, SaveFirstLeave);
    Key("y");           // the hot key of "Yes": saved, then left
    EXPECT_EQ(MessageState, 0);
    EXPECT_TRUE(EditorWantsReturn());
    LevelData data;
    std::string bytes;
    ASSERT_TRUE(PlatformReadFile(PackPath("001.kbx"), bytes));
    ASSERT_TRUE(DecodeLevel(bytes, data));
    EXPECT_EQ(data.level.wallLayer.Count(), 4);
}

// ---- Level and pack operations --------------------------------------------------------------------------------------

TEST_F(Editor, DeletingALevelMovesTheLaterOnesUp) {
    MakePack(5, 2);
    Key(KeyCtrlDel);
    EXPECT_EQ(MessageState, DeleteLevelQuestion);
    Key(KeyEnter);
    EXPECT_EQ(LevelCount, 4);
    EXPECT_EQ(LevelNumber, 2);
    EXPECT_EQ(level.levelTitle, "A3");
    EXPECT_EQ(TitleOf(1), "A1");
    EXPECT_EQ(TitleOf(2), "A3");
    EXPECT_EQ(TitleOf(4), "A5");
    EXPECT_FALSE(fs::exists(PackPath("005.kbx")));

    LevelNumber = 4;
    LoadLevel("");
    Keys({KeyCtrlDel, "y"});
    EXPECT_EQ(LevelCount, 3);
    EXPECT_EQ(LevelNumber, 3);
    EXPECT_EQ(level.levelTitle, "A4");
}

TEST_F(Editor, MovingALevelSwapsTheFilesAndKeepsItsEdits) {
    MakePack(5, 3);
    Answer("l", "A3 edited");
    Key(KeyLevelLater);
    EXPECT_EQ(LevelNumber, 4);
    EXPECT_EQ(TitleOf(3), "A4");
    EXPECT_EQ(TitleOf(4), "A3");
    EXPECT_EQ(level.levelTitle, "A3 edited");
    EXPECT_EQ(levelModified, -1);
    EXPECT_FALSE(fs::exists(PackPath("tempinc.kbx")));
    Key(KeyLevelEarlier);
    EXPECT_EQ(LevelNumber, 3);
    EXPECT_EQ(TitleOf(3), "A3");

    LevelNumber = 5;
    Key(KeyLevelLater);         // the last level cannot move later, the first not earlier
    EXPECT_EQ(LevelNumber, 5);
    LevelNumber = 1;
    Key(KeyLevelEarlier);
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(TitleOf(1), "A1");
    EXPECT_EQ(TitleOf(5), "A5");
}

TEST_F(Editor, TheOnlyPackAndTheOnlyLevelAreNotDeleted) {
    MakePack(1);
    Key(KeyF6);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[60]);
    Key(KeyEnter);
    Key(KeyCtrlDel);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[67]);
    EXPECT_TRUE(fs::exists(PackPath("001.kbx")));
}

TEST_F(Editor, DeletingAPackLeavesTheOtherOne) {
    MakePack(1, 1, {"lvlpckB"});
    Keys({KeyF6, "y"});
    EXPECT_FALSE(fs::exists(PackPath()));
    ASSERT_EQ(PackList.Count(), 1);
    EXPECT_EQ(PackList[1], "lvlpckB");
    EXPECT_EQ(level.levelTitle, "lvlpckB");
}

TEST_F(Editor, NewLevelStopsAt999) {
    MakePack(1);
    std::string bytes;
    ASSERT_TRUE(PlatformReadFile(PackPath("001.kbx"), bytes));
    for (int n = 2; n <= 998; ++n) folder->Write("lvlpckA/" + LevelFileName(n), bytes);
    LevelCount = 998;
    Key(KeyCtrlN);
    EXPECT_EQ(LevelCount, 999);
    EXPECT_EQ(LevelNumber, 999);
    EXPECT_TRUE(fs::exists(PackPath("999.kbx")));
    Key(KeyCtrlN);
    EXPECT_EQ(LevelCount, 999);
    EXPECT_EQ(MessageState, 0);
}

TEST_F(Editor, StatisticsFollowDeletedAndMovedLevelsForEveryPlayer) {
    MakePack(4, 2);
    for (const char* player : {"ada", "bob"}) {
        StatsRecord stats;
        for (int n = 1; n <= 4; ++n) stats.wins[static_cast<size_t>(n)] = n * (player[0] == 'a' ? 1 : 10);
        folder->Write(std::string("lvlpckA/") + player + ".sts", EncodeStats(stats));
    }
    auto wins = [this](const char* player) {
        StatsRecord stats = DecodeStats(folder->Read(std::string("lvlpckA/") + player + ".sts"));
        return std::vector<int>{stats.wins[1], stats.wins[2], stats.wins[3], stats.wins[4]};
    };
    Key(KeyLevelLater);                 // 2 <-> 3
    EXPECT_EQ(wins("ada"), (std::vector<int>{1, 3, 2, 4}));
    EXPECT_EQ(wins("bob"), (std::vector<int>{10, 30, 20, 40}));
    LevelNumber = 1;
    Keys({KeyCtrlDel, "y"});            // level 1 goes
    EXPECT_EQ(wins("ada"), (std::vector<int>{3, 2, 4, 0}));
    EXPECT_EQ(wins("bob"), (std::vector<int>{30, 20, 40, 0}));
}

// ---- When a file will not move ----------------------------------------------------------------------------------------

TEST_F(Editor, AMoveWhoseFirstRenameFailsChangesNothing) {
    MakePack(5, 3);
    folder->Write("lvlpckA/tempinc.kbx/blocker", "x");     // a folder where the swap file should go
    StatsRecord stats;
    stats.wins[3] = 3;
    folder->Write("lvlpckA/ada.sts", EncodeStats(stats));
    Key(KeyLevelLater);
    EXPECT_EQ(LevelNumber, 3);
    EXPECT_EQ(TitleOf(3), "A3");
    EXPECT_EQ(TitleOf(4), "A4");
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[LineLevelNotMoved]);
    EXPECT_EQ(DecodeStats(folder->Read("lvlpckA/ada.sts")).wins[3], 3);
}

TEST_F(Editor, AMoveWhoseSecondRenameFailsPutsTheFirstBack) {
    MakePack(5, 3);
    fs::remove(PackPath("004.kbx"));        // the neighbour is gone: the swap cannot finish
    Key(KeyLevelLater);
    EXPECT_EQ(LevelNumber, 3);
    EXPECT_EQ(TitleOf(3), "A3");
    EXPECT_FALSE(fs::exists(PackPath("tempinc.kbx")));
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[LineLevelNotMoved]);
}

TEST_F(Editor, ADeleteThatCannotRenumberEndsThePackBeforeTheHoleAndSaysSo) {
    MakePack(5, 2);
    fs::remove(PackPath("004.kbx"));
    Keys({KeyCtrlDel, "y"});
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[LineRenumberFailed]);
    EXPECT_EQ(LevelCount, 2);           // 001 and 002 (the former 003); 005 waits beyond the hole
    EXPECT_EQ(LevelNumber, 2);
    EXPECT_EQ(level.levelTitle, "A3");
    EXPECT_TRUE(fs::exists(PackPath("005.kbx")));
}

TEST_F(Editor, ANewLevelThatCannotBeSavedGivesBackTheLevelBeingEdited) {
    MakePack(1);
    folder->Write("lvlpckA/002.kbx/blocker", "x");     // a folder where the new level's file should go
    At(0, 0);
    Keys({"w", " "});
    Key(KeyCtrlN);
    Key("n");                           // do not save first
    EXPECT_EQ(LevelCount, 1);
    EXPECT_EQ(LevelNumber, 1);
    EXPECT_EQ(level.levelTitle, "A1");
    EXPECT_EQ(CountAt(level.wallLayer, 0, 0), 1);
    EXPECT_EQ(levelModified, -1);
    EXPECT_EQ(MessageState, 1);         // the save message says why
    Key(KeyEnter);
    Key(KeyCtrlZ);                      // and the history is still there
    EXPECT_EQ(CountAt(level.wallLayer, 0, 0), 0);
}

TEST_F(Editor, ATestPlayThatCannotWriteItsFileKeepsTheEditsInMemory) {
    MakePack(1);
    folder->Write("tempedit.kbx/blocker", "x");
    Answer("l", "Unsaved work");
    Key(KeyF2);
    EXPECT_FALSE(EditorWantsReturn());
    EXPECT_EQ(view.EditorMode, -1);
    EXPECT_EQ(level.levelTitle, "Unsaved work");
    EXPECT_EQ(levelModified, -1);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine1, LanguageText[76]);
}

// ---- Undo and redo ----------------------------------------------------------------------------------------------------

TEST_F(Editor, UndoAndRedoTakeBackEveryKindOfChange) {
    MakePack(1);
    const std::string original = EncodeLevel();
    At(0, 0);
    Keys({"w", " ", KeyRight, "b", " ", KeyDel, "f", " ", "d", KeyAltB, KeyPgDn, " ", "h", " "});
    At(0, 384);
    Key(KeyDel);                                // a wall of the floor
    Answer("l", "Renamed");
    Answer(KeyAltDel, "3:00");
    Key(KeyNextTrack);
    const std::string edited = EncodeLevel();
    ASSERT_NE(edited, original);
    int steps = 0;
    while (Undo()) ++steps;
    EXPECT_EQ(steps, 11);
    EXPECT_EQ(EncodeLevel(), original);
    EXPECT_EQ(levelModified, 0);
    while (Redo()) {
    }
    EXPECT_EQ(EncodeLevel(), edited);
    EXPECT_EQ(musicIndex, 2);
    EXPECT_EQ(levelModified, -1);
}

TEST_F(Editor, UndoingBackToTheSavedLevelClearsTheChangeMark) {
    MakePack(1);
    At(0, 0);
    Keys({"w", " ", KeyAltS});
    EXPECT_EQ(levelModified, 0);
    Key(KeyEnter);                  // the "saved" message
    Key(KeyCtrlZ);
    EXPECT_EQ(levelModified, -1);
    Key(KeyCtrlY);
    EXPECT_EQ(levelModified, 0);
    // A new change after an undo drops the redo and the saved point with it.
    Keys({KeyCtrlZ, KeyRight, " "});
    EXPECT_EQ(RedoSteps(), 0);
    Key(KeyCtrlZ);
    EXPECT_EQ(levelModified, -1);
}

TEST_F(Editor, TheHistoryKeepsItsNewestThousandStepsAndIsDroppedWithTheLevel) {
    MakePack(2);
    Key("w");
    for (int n = 0; n < 1100; ++n) {
        At(128.0 * n, -1024);
        Key(" ");
    }
    EXPECT_EQ(UndoSteps(), UndoStepLimit);
    EXPECT_LT(HistoryBytes(), std::size_t{1} << 20);
    Keys({KeyAltPgDn, "n"});            // next level, without saving
    EXPECT_EQ(LevelNumber, 2);
    EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(Editor, TheHistorySurvivesATestPlay) {
    MakePack(1);
    At(0, 0);
    int frame = 0;
    Headless.onFrame = [&frame](std::int64_t) {
        ++frame;
        if (frame == 2) HeadlessPushKey("w");
        if (frame == 3) HeadlessPushKey(" ");
        if (frame == 5) HeadlessPushKey(KeyF2);
    };
    RunEditor();
    ASSERT_EQ(view.EditorMode, 0);
    EXPECT_EQ(CountAt(level.wallLayer, 0, 0), 1);
    // What the menu does around a test play: the level is played, then read back from the test file.
    const std::int32_t modified = levelModified;
    ASSERT_TRUE(LoadLevel(DataFolder() + "tempedit.kbx"));
    levelModified = modified;
    frame = 0;
    Headless.onFrame = [&frame](std::int64_t) {
        ++frame;
        if (frame == 2) HeadlessPushKey(KeyCtrlZ);
        if (frame == 4) HeadlessPushKey(KeyEscape);
    };
    RunEditor();
    Headless.onFrame = nullptr;
    EXPECT_EQ(view.EditorMode, -1);
    EXPECT_EQ(CountAt(level.wallLayer, 0, 0), 0);
    EXPECT_EQ(levelModified, 0);        // back at the saved level: Esc left without a question
}

// ---- The mouse --------------------------------------------------------------------------------------------------------

class EditorMouse : public Editor {
protected:
    void SetUp() override {
        Editor::SetUp();
        MakePack(1);
        view.pixelsPerUnit = 0.5;       // a cell is 64 pixels; the camera at the world's origin
        view.cameraX = view.cameraY = 0;
        view.editorCameraHeld = -1;
        PanelX = PanelY = 15;
        Key("w");
    }
    // The pointer at (x, y) with the buttons for one pass.
    void Mouse(int x, int y, int buttons) {
        Headless.mouseX = x;
        Headless.mouseY = y;
        Headless.mouseButtons = buttons;
        EditorBoardMouse();
    }
};

TEST_F(EditorMouse, AClickPlacesAtTheCellAndADragPaintsOneStroke) {
    Mouse(600, 500, 1);
    Mouse(600, 500, 1);
    EXPECT_EQ(focusX, 1152);            // 600 / 0.5 = 1200: the cell at 1152
    EXPECT_EQ(focusY, 896);
    EXPECT_EQ(CountAt(level.wallLayer, 1152, 896), 1);
    Mouse(700, 500, 1);
    Mouse(800, 500, 1);
    Mouse(800, 500, 0);
    for (double x : {1152, 1280, 1408, 1536}) EXPECT_EQ(CountAt(level.wallLayer, x, 896), 1) << x;
    EXPECT_EQ(UndoSteps(), 1);
    Key(KeyCtrlZ);
    EXPECT_EQ(level.wallLayer.Count(), 3);
}

TEST_F(EditorMouse, ARightClickErasesOneObjectAndTheWheelZooms) {
    Mouse(64, 250, 2);                  // the floor's wall at (128, 384), below the panel
    Mouse(64, 250, 0);
    EXPECT_EQ(CountAt(level.wallLayer, 128, 384), 0);
    const double zoom = level.levelZoom;
    Headless.wheel = 2;
    Mouse(64, 250, 0);
    EXPECT_NEAR(level.levelZoom, zoom * 1.21, 1e-12);
    Headless.wheel = -1;
    Mouse(64, 250, 0);
    EXPECT_NEAR(level.levelZoom, zoom * 1.1, 1e-12);
}

TEST_F(EditorMouse, APressOnThePanelNeverPaintsTheBoard) {
    const int walls = level.wallLayer.Count();
    Mouse(100, 100, 1);                 // on the panel ...
    Mouse(600, 500, 1);                 // ... dragged off it
    Mouse(600, 500, 0);
    EXPECT_EQ(level.wallLayer.Count(), walls);
    EXPECT_EQ(levelModified, 0);
}

// ---- The texture picker -----------------------------------------------------------------------------------------------

TEST_F(Editor, ThePickerListsTheKindAndAClickChoosesAndClosesIt) {
    MakePack(1);
    Key("w");
    std::vector<PickerCell> cells;
    PickerLayout(cells);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[0].entry, TexWall);
    EXPECT_EQ(cells[0].x, 6);
    EXPECT_EQ(cells[1].x, 76);
    editor.PickerOpen = -1;
    Headless.mouseX = 80;
    Headless.mouseY = 10;
    Headless.mouseButtons = 1;
    PickerPass();
    EXPECT_EQ(editor.SelectedTexture, TexElevator);
    EXPECT_EQ(editor.PickerOpen, -1);
    Headless.mouseButtons = 0;
    PickerPass();
    EXPECT_EQ(editor.PickerOpen, 0);
}


TEST_F(Editor, CtrlEExportsThePacksSavedFilesAsOneArchiveAndSaysWhere) {
    MakePack(2);
    folder->Write("lvlpckA/Ann.sts", "statistics stay home");
    At(0, 0);
    Keys({"w", " "});                       // an edit not saved yet is not part of it
    Key(KeyCtrlE);
    EXPECT_EQ(MessageState, 1);
    EXPECT_EQ(DialogLine2, "A.zip");
    std::string bytes;
    ASSERT_TRUE(PlatformReadFile(ExportFolder() + "A.zip", bytes));
    PackArchive pack;
    ASSERT_EQ(ReadPackArchive(bytes, pack), ArchiveRefusal::None);
    EXPECT_EQ(pack.folder, "lvlpckA");
    ASSERT_EQ(pack.files.size(), 2u);
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(pack.files[n - 1].first, LevelFileName(n));
        EXPECT_EQ(pack.files[n - 1].second, folder->Read("lvlpckA/" + LevelFileName(n)));
    }
    EXPECT_EQ(levelModified, -1);
    Key(KeyEnter);                          // the message closes
    EXPECT_EQ(MessageState, 0);
}

// ---- Selections -------------------------------------------------------------------------------------------------

class EditorSelection : public Editor {
protected:
    void SetUp() override {
        Editor::SetUp();
        clipboard = Clipboard{};
        MakePack(2);
        // A block of every layer at cells (512..768, 0..256), the ball elsewhere.
        Put(GroundLayerNumber, TexGround, 512, 0);
        Hazard(TexExit, 640, 0);
        Arrow(2, 768, 0);
        Marker(2, 512, 128);
        Platform(640, 128, 3, 0);
        Pickup(TexFlag, 768, 128);
        Elevator(512, 256);
        level.wallLayer[level.wallLayer.Count()].param2 = -2;
        Put(CrackLayerNumber, TexCrack, 640, 256);
        ClearHistory();
    }
    void TearDown() override {
        selection = SelectionState{};
        clipboard = Clipboard{};
        MessageState = 0;                   // the refusals leave their message up
        Editor::TearDown();
    }
    // S at one corner, the arrows to the other, S again.
    void SelectCells(double x1, double y1, double x2, double y2) {
        At(x1, y1);
        Key("s");
        for (double x = x1; x != x2; x += x2 > x1 ? 128 : -128) Key(x2 > x1 ? KeyRight : KeyLeft);
        for (double y = y1; y != y2; y += y2 > y1 ? 128 : -128) Key(y2 > y1 ? KeyDown : KeyUp);
        Key("s");
    }
    static std::vector<LevelObject> LayerAt(std::int32_t layer, double dx, double dy) {
        std::vector<LevelObject> objects;
        for (LevelObject object : LevelLayer(layer)) {
            if (object.x < 512 + dx || object.x > 768 + dx || object.y < dy || object.y > 256 + dy) continue;
            object.x -= dx;
            object.y -= dy;
            objects.push_back(object);
        }
        return objects;
    }
};

TEST_F(EditorSelection, TheKeyboardSelectsAndTheFrameCountsEveryLayer) {
    SelectCells(512, 0, 768, 256);
    ASSERT_TRUE(selection.active);
    EXPECT_EQ(selection.rect.left, 512);
    EXPECT_EQ(selection.rect.bottom, 256);
    EXPECT_EQ(CountObjectsIn(selection.rect), 8);
    EXPECT_EQ(UndoSteps(), 0);              // selecting changes nothing
    Key(KeyEscape);                         // drops the selection, the editor stays
    EXPECT_FALSE(selection.active);
    EXPECT_FALSE(EditorWantsReturn());
}

TEST_F(EditorSelection, CopyPastesEveryLayerIntoAnotherLevelWithoutTheBallOrProperties) {
    std::vector<LevelObject> before[EditedLayerCount + 1];
    for (int n = 1; n <= EditedLayerCount; ++n) before[n] = LayerAt(n, 0, 0);
    SelectCells(512, 0, 768, 256);
    Key(KeyCtrlC);
    Key(KeyAltPgDn);                        // level 2: the clipboard goes with the editor
    ASSERT_EQ(level.levelTitle, "A2");
    const double ballX = level.ball.x, ballY = level.ball.y, limit = level.timeLimit;
    At(2048, 1024);
    Keys({KeyCtrlV, KeyRight, KeyEnter});   // the paste follows the cursor until Enter
    EXPECT_FALSE(selection.pasting);
    EXPECT_EQ(UndoSteps(), 1);
    for (int n = 1; n <= EditedLayerCount; ++n) {
        const std::vector<LevelObject> after = LayerAt(n, 2176 - 512, 1024);
        ASSERT_EQ(after.size(), before[n].size()) << LayerName(n);
        for (std::size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].texture, before[n][i].texture) << LayerName(n);
            EXPECT_EQ(after[i].param1, before[n][i].param1) << LayerName(n);
            EXPECT_EQ(after[i].param2, before[n][i].param2) << LayerName(n);
            EXPECT_EQ(after[i].x, before[n][i].x) << LayerName(n);
        }
    }
    EXPECT_EQ(level.ball.x, ballX);
    EXPECT_EQ(level.ball.y, ballY);
    EXPECT_EQ(level.levelTitle, "A2");
    EXPECT_EQ(level.timeLimit, limit);
    EXPECT_EQ(CountObjectsIn(selection.rect), 8);   // the pasted rectangle is selected
}

// Every operation is one step: undone, the level is byte for byte what it was; redone, what the operation made.
TEST_F(EditorSelection, EachOperationIsOneStepOfTheHistory) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {"cut", {KeyCtrlX}},
        {"delete", {KeyDel}},
        {"paste", {KeyCtrlC, KeyUp, KeyUp, KeyUp, KeyUp, KeyCtrlV, KeyEnter}},
        {"fill", {"g", KeyCtrlF}},
        {"flip", {KeyCtrlR}},
        {"cut and paste", {KeyCtrlX, KeyRight, KeyRight, KeyRight, KeyCtrlV, KeyEnter}},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        SelectCells(512, 0, 768, 256);
        const std::string original = EncodeLevel();
        const int steps = UndoSteps();
        Keys(c.keys);
        EXPECT_EQ(MessageState, 0) << c.name;
        const std::string edited = EncodeLevel();
        EXPECT_NE(edited, original) << c.name;
        EXPECT_EQ(levelModified, -1) << c.name;
        const int made = UndoSteps() - steps;
        EXPECT_GE(made, 1) << c.name;
        EXPECT_LE(made, 2) << c.name;       // cut and paste: two commands, two steps
        for (int n = 0; n < made; ++n) Key(KeyCtrlZ);
        EXPECT_EQ(EncodeLevel(), original) << c.name;
        for (int n = 0; n < made; ++n) Key(KeyCtrlY);
        EXPECT_EQ(EncodeLevel(), edited) << c.name;
        if (std::string(c.name) != "cut and paste") {
            EXPECT_EQ(made, 1) << c.name;
        }
    }
}

// A refused operation says why and changes nothing: not the level, not the history.
TEST_F(EditorSelection, RefusedOperationsSayWhyAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<void()> act;
        int line;
    };
    const Case cases[] = {
        {"wall pasted on the ball",
         [&] {
             SelectCells(512, 256, 512, 256);      // the elevator
             Key(KeyCtrlC);
             At(level.ball.x, level.ball.y);
             Keys({KeyCtrlV, KeyEnter});
         },
         267},
        {"paste past the limits",
         [&] {
             SelectCells(512, 0, 768, 256);
             Key(KeyCtrlC);
             At(LevelCoordinateLimit - 256, 0);
             Keys({KeyCtrlV, KeyEnter});
         },
         268},
        {"fill of walls over the ball",
         [&] {
             SelectCells(0, 0, 256, 256);
             Keys({"w", KeyCtrlF});
         },
         267},
        {"fill with the ball",
         [&] {
             SelectCells(512, 0, 768, 256);
             Keys({"h", KeyCtrlF});
         },
         269},
        {"delete of every wall",
         [&] {
             SelectCells(0, 0, 768, 384);
             Key(KeyDel);
         },
         240},
        {"fill of too many cells",
         [&] {
             At(0, -128 * 2000);
             Key("s");
             selection.rect = RectBetween(0, -128 * 2000, 128 * 1000, -128);
             Keys({"s", "g", KeyCtrlF});
         },
         268},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        const std::string original = EncodeLevel();
        c.act();
        EXPECT_EQ(MessageState, 1) << c.name;
        EXPECT_EQ(DialogLine2, "line " + std::to_string(c.line)) << c.name;
        EXPECT_EQ(EncodeLevel(), original) << c.name;
        EXPECT_EQ(UndoSteps(), 0) << c.name;
        EXPECT_EQ(levelModified, 0) << c.name;
    }
}

TEST_F(EditorSelection, FlipMirrorsPlacesArrowsPathsAndPlatformSpeeds) {
    SelectCells(512, 0, 768, 256);
    Key(KeyCtrlR);
    ASSERT_EQ(level.arrowLayer.Count(), 1);
    EXPECT_EQ(level.arrowLayer[1].x, 512);          // 768 mirrored in 512 .. 768
    EXPECT_EQ(level.arrowLayer[1].texture, TexArrowWest);
    EXPECT_EQ(level.arrowLayer[1].param1, 4);
    ASSERT_EQ(level.pathLayer.Count(), 1);
    EXPECT_EQ(level.pathLayer[1].x, 768);
    EXPECT_EQ(level.pathLayer[1].texture, TexPathWest);
    EXPECT_EQ(level.pathLayer[1].param1, 4);
    ASSERT_EQ(level.platformLayer.Count(), 1);
    EXPECT_EQ(level.platformLayer[1].x, 640);
    EXPECT_EQ(level.platformLayer[1].param1, -3);
    EXPECT_EQ(CountAt(level.wallLayer, 768, 256), 1);   // the elevator, with its speed
    Key(KeyCtrlR);                                      // twice is the level as it was
    Key(KeyCtrlZ);
    Key(KeyCtrlZ);
    EXPECT_EQ(UndoSteps(), 0);
}

TEST_F(EditorSelection, FillPutsTheTextureInEveryCellOfItsLayer) {
    SelectCells(512, 0, 768, 256);
    Keys({"8", KeyCtrlF});
    EXPECT_EQ(level.arrowLayer.Count(), 9);             // the east arrow replaced, nothing stacked
    for (const LevelObject& arrow : level.arrowLayer) {
        EXPECT_EQ(arrow.texture, TexArrowNorth);
        EXPECT_EQ(arrow.param1, 1);
    }
}

TEST_F(EditorSelection, TheMouseSelectsMovesAndPastes) {
    view.pixelsPerUnit = 0.5;
    view.cameraX = view.cameraY = 0;
    view.editorCameraHeld = -1;
    PanelX = PanelY = -1000;
    auto mouse = [](int x, int y, int buttons) {
        Headless.mouseX = x;
        Headless.mouseY = y;
        Headless.mouseButtons = buttons;
        EditorBoardMouse();
    };
    Headless.held[0x1D] = true;                         // Ctrl: a drag selects
    mouse(256 + 10, 10, 1);
    mouse(384 + 10, 128 + 10, 1);
    Headless.held[0x1D] = false;
    mouse(384 + 10, 128 + 10, 0);
    EXPECT_EQ(CountObjectsIn(selection.rect), 8);
    EXPECT_EQ(UndoSteps(), 0);
    mouse(300, 10, 1);                                  // a drag from inside moves it three cells down
    mouse(300, 202, 1);
    mouse(300, 202, 0);
    EXPECT_EQ(UndoSteps(), 1);
    EXPECT_EQ(CountObjectsIn(RectBetween(512, 0, 768, 256)), 0);
    EXPECT_EQ(CountObjectsIn(selection.rect), 8);
    EXPECT_EQ(selection.rect.top, 384);
    Key(KeyCtrlC);
    Key(KeyCtrlV);
    mouse(1000, 600, 0);                                // the preview follows the pointer
    EXPECT_EQ(focusX, 1920);
    EXPECT_EQ(focusY, 1152);
    mouse(1000, 600, 1);                                // and a click places it
    mouse(1000, 600, 0);
    EXPECT_FALSE(selection.pasting);
    EXPECT_EQ(UndoSteps(), 2);
    EXPECT_EQ(CountObjectsIn(RectBetween(1920, 1152, 2176, 1408)), 8);
}

}  // namespace
}  // namespace playtest
