// The editor's panel and dialogs on the headless back end: the buttons' regions, a press that counts only when
// released on its button, dragging by the title strip, the dialogs' keys and answers, and what is drawn over the
// board.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/frame_clock.h"
#include "base/language.h"
#include "base/message.h"
#include "base/settings.h"
#include "editor/dialogs.h"
#include "editor/editor_keys.h"
#include "editor/editor_state.h"
#include "editor/panel_draw.h"
#include "editor/panel_input.h"
#include "gfx/board.h"
#include "gfx/display.h"
#include "gfx/font.h"
#include "gfx/texture.h"
#include "play/level.h"
#include "shell/packs.h"
#include "test_support.h"
#include "tiles/catalogue.h"
#include "tiles/texture_packs.h"

namespace {

// One text of the user-interface font as drawn (its shadow left out).
struct UiText {
    std::string text;
    std::int32_t x = 0, y = 0;
    std::uint8_t r = 0;
};

class EditorPanel : public ::testing::Test {
protected:
    static constexpr std::uint32_t GlyphImage = 6000;
    static constexpr std::uint32_t MenuId = 7001, InputId = 7002, DialId = 7003, Dial1Id = 7004, SelectId = 7005,
                                   GrayId = 7006;
    // Every glyph is shifted right by 4096 times its byte, so a recorded quad's x tells which character it is
    // (x / 4096) and where it stands (x % 4096); every glyph advances 12 pixels.
    static constexpr std::int32_t GlyphTag = 4096, GlyphPixels = 12;

    std::array<std::string, LanguageLineCount + 1> savedText;

    void SetUp() override {
        UseHeadless();
        savedText = LanguageText;
        for (int n = 1; n <= LanguageLineCount; n++) LanguageText[n] = "line " + std::to_string(n);
        UiFont = Font{};
        UiFont.textureId = GlyphImage;
        for (int c = 0; c < FontGlyphCount; c++) {
            UiFont.glyphs[c].advance = GlyphPixels - UiFont.spacing;
            UiFont.glyphs[c].xOffset = -GlyphTag * c;
        }
        editMenuImage.id = MenuId;
        editInputImage.id = InputId;
        editDialImage.id = DialId;
        editDial1Image.id = Dial1Id;
        editSelectImage.id = SelectId;
        editGrayImage.id = GrayId;
        ActiveWidth = 1024;
        ActiveHeight = 768;
        frameStep = 0;
        view = BoardView{};
        view.EditorMode = -1;
        editor = EditorState{};
        panelInput = PanelInput{};
        PanelX = PanelY = 15;
        MessageState = 0;
        DialogButton1 = DialogButton2 = DialogLine1 = DialogLine2 = DialogLine3 = DialogInput = DialogAllowed = "";
    }

    void TearDown() override {
        LanguageText = savedText;
        UiFont = Font{};
        editMenuImage.id = editInputImage.id = editDialImage.id = editDial1Image.id = 0;
        editSelectImage.id = editGrayImage.id = 0;
        view = BoardView{};
        editor = EditorState{};
        panelInput = PanelInput{};
        PanelX = PanelY = 15;
        MessageState = 0;
        Headless.keys.clear();
        frameStep = 0;
        ResetTextureTable();
        ImageTable.Clear();
        TexturePackList.Clear();
        PackList.Clear();
        PackIndex = 0;
        LevelNumber = LevelCount = 1;
        level.levelTitle.clear();
        level.background = LevelObject{};
        focusX = focusY = 0;
    }

    // One read of the editor's input with the pointer at a place relative to the panel and the left button as given.
    static std::string At(std::int32_t x, std::int32_t y, bool held) {
        Headless.mouseX = PanelX + x;
        Headless.mouseY = PanelY + y;
        Headless.mouseButtons = held ? 1 : 0;
        return ReadEditorInput();
    }
    static std::string Outside(bool held) {
        Headless.mouseX = Headless.mouseY = -1;
        Headless.mouseButtons = held ? 1 : 0;
        return ReadEditorInput();
    }
    // A key typed with the pointer away from every button.
    static std::string Typed(const std::string& key) {
        HeadlessPushKey(key);
        return Outside(false);
    }

    static std::vector<QuadRecord> Frame() {
        Headless.drawing.clear();
        DrawEditorOverlay();
        return Headless.drawing;
    }
    static std::vector<QuadRecord> WithImage(const std::vector<QuadRecord>& quads, std::uint32_t image) {
        std::vector<QuadRecord> found;
        for (const QuadRecord& q : quads)
            if (q.image == image) found.push_back(q);
        return found;
    }
    static std::vector<UiText> Texts(const std::vector<QuadRecord>& quads) {
        std::vector<UiText> texts;
        bool open = false;
        for (const QuadRecord& q : quads) {
            if (q.image != GlyphImage) {
                open = false;
                continue;
            }
            if (q.r == 0 && q.g == 0 && q.b == 0 && q.a == 128) {     // a shadow run starts the next text
                open = false;
                continue;
            }
            if (!open) texts.push_back({"", q.x % GlyphTag, q.y, q.r});
            open = true;
            texts.back().text += static_cast<char>(q.x / GlyphTag);
        }
        return texts;
    }
    static const UiText* Find(const std::vector<UiText>& texts, const std::string& text) {
        for (const UiText& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
};

// ---- Hit tests ----------------------------------------------------------------------------------------------------

TEST_F(EditorPanel, PanelButtonsGiveTheirKeysAndHelpLinesWithOverlapsResolvedInTestingOrder) {
    struct Case {
        std::int32_t x, y;
        std::string key;
        std::int32_t tooltip;           // language line; 0 = the general help
    };
    const Case cases[] = {
        {311, 0, KeyEscape, 5},         {353, 16, KeyEscape, 5},        {354, 16, "", 0},
        {300, 85, KeyEnter, 6},         {300, 78, KeyPgUp, 15},         // the picker button starts at y 80
        {287, 138, KeyEnter, 6},        {345, 139, "", 0},
        {10, 58, KeyCtrlPgUp, 7},       {28, 78, KeyCtrlPgUp, 7},       {29, 70, "", 0},
        {40, 60, KeyCtrlPgDn, 8},       {70, 60, KeyAltPgUp, 9},        {90, 60, KeyAltPgDn, 10},
        {110, 60, KeyAltS, 11},         {130, 60, "L", 12},             {160, 60, KeyHome, 13},
        {270, 60, KeyEnd, 14},          {330, 60, KeyPgDn, 16},
        {9, 79, KeyF5, 17},             {40, 90, KeyF6, 18},            {70, 90, KeyCtrlN, 19},
        {90, 90, KeyCtrlDel, 20},       {110, 90, KeyAltDel, 21},       {130, 90, KeyF2, 22},
        {160, 90, "g", 23},             {180, 90, "w", 24},             {200, 90, "c", 25},
        {220, 90, "b", 26},             {240, 90, "f", 27},             {270, 90, "t", 28},
        {100, 110, KeyAltB, 29},        {141, 139, KeyAltB, 29},        {100, 100, "", 0},     // block starts at 101
        {10, 100, "R", 30},             {40, 110, KeyLevelLater, 31},   {85, 120, KeyNextTrack, 32},
        {160, 110, "h", 33},            {180, 110, "8", 34},            {200, 110, "6", 35},
        {220, 110, "2", 36},            {240, 110, "4", 37},            {260, 110, "5", 38},
        {20, 130, KeyF7, 39},           {40, 130, KeyLevelEarlier, 40}, {70, 140, KeyPreviousTrack, 41},
        {160, 130, "e", 42},            {180, 130, "p", 43},            {200, 130, KeyAltUp, 44},
        {220, 130, KeyAltRight, 45},    {240, 130, KeyAltDown, 46},     {275, 140, KeyAltLeft, 47},
        {275, 141, "", 0},              {-1, -1, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        panelInput.PanelTooltip = "stale";
        EXPECT_EQ(PanelHitTest(c.x, c.y), c.key);
        EXPECT_EQ(panelInput.PanelTooltip,
                  c.tooltip == 0 ? "\x1B\x12\x1A" + LanguageText[4] : LanguageText[static_cast<std::size_t>(c.tooltip)]);
    }
}

TEST_F(EditorPanel, DialogButtonsAndTheCloseBoxHaveTheirRegions) {
    struct Case {
        std::int32_t x, y;
        std::string question, message;
    };
    const Case cases[] = {
        {311, 0, KeyEscape, KeyEscape},         {353, 16, KeyEscape, KeyEscape},
        {34, 124, KeyLeftButton, ""},           {159, 154, KeyLeftButton, KeyLeftButton},
        {195, 124, KeyRightButton, KeyLeftButton}, {320, 154, KeyRightButton, ""},
        {115, 124, KeyLeftButton, KeyLeftButton}, {240, 154, KeyRightButton, KeyLeftButton},
        {177, 140, "", KeyLeftButton},          {241, 140, KeyRightButton, ""},
        {100, 123, "", ""},                     {100, 155, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        EXPECT_EQ(QuestionHitTest(c.x, c.y), c.question);
        EXPECT_EQ(MessageHitTest(c.x, c.y), c.message);
    }
}

// ---- Pressing and dragging ------------------------------------------------------------------------------------------

TEST_F(EditorPanel, AButtonActsOnlyWhenReleasedOverTheButtonItWasPressedOn) {
    // F2's button spans x 124 ... 142, y 79 ... 99; F6's x 31 ... 49 on the same row.
    EXPECT_EQ(At(130, 90, true), "");
    EXPECT_EQ(panelInput.PendingButton, KeyF2);
    EXPECT_EQ(At(200, 30, true), "");
    EXPECT_EQ(At(200, 30, false), "");                  // released elsewhere: nothing
    EXPECT_EQ(panelInput.PendingButton, "");

    EXPECT_EQ(At(130, 90, true), "");
    EXPECT_EQ(At(40, 90, true), "");                    // over another button: still F2 pending
    EXPECT_EQ(At(140, 95, true), "");                   // back onto it
    EXPECT_EQ(At(140, 95, false), KeyF2);
    EXPECT_EQ(panelInput.MouseHeld, 0);

    // A press that starts off every button does not become one by moving onto a button.
    EXPECT_EQ(At(200, 170, true), "");
    EXPECT_EQ(At(130, 90, true), "");
    EXPECT_EQ(At(130, 90, false), "");
}

TEST_F(EditorPanel, APendingButtonHoldsTheKeyboardAndWaitsWhileThePointerIsOutside) {
    EXPECT_EQ(At(130, 90, true), "");
    HeadlessPushKey("w");
    EXPECT_EQ(Outside(false), "");                      // outside the window the press waits
    EXPECT_EQ(panelInput.PendingButton, KeyF2);
    EXPECT_EQ(At(130, 90, false), KeyF2);               // the key stays in the buffer meanwhile
    EXPECT_EQ(Outside(false), "w");
}

TEST_F(EditorPanel, TheTitleStripDragsThePanelUntilReleaseOrLeavingTheWindow) {
    EXPECT_EQ(At(50, 10, true), "");
    EXPECT_EQ(panelInput.PanelDragging, -1);
    EXPECT_EQ(PanelX, 15);
    Headless.mouseX += 30;                              // far below the strip: the drag goes on
    Headless.mouseY += 300;
    EXPECT_EQ(ReadEditorInput(), "");
    EXPECT_EQ(PanelX, 45);
    EXPECT_EQ(PanelY, 315);
    Headless.mouseX -= 100;
    EXPECT_EQ(ReadEditorInput(), "");
    EXPECT_EQ(PanelX, -55);                             // nothing keeps the panel on the screen

    Headless.mouseButtons = 0;
    ReadEditorInput();
    EXPECT_EQ(panelInput.PanelDragging, 0);
    Headless.mouseX += 40;
    ReadEditorInput();
    EXPECT_EQ(PanelX, -55);

    // Leaving the window ends the drag; coming back with the button still held below the strip moves nothing.
    EXPECT_EQ(At(50, 10, true), "");
    Outside(true);
    EXPECT_EQ(panelInput.PanelDragging, 0);
    EXPECT_EQ(At(50, 200, true), "");
    Headless.mouseX += 25;
    ReadEditorInput();
    EXPECT_EQ(PanelX, -55);
}

TEST_F(EditorPanel, TheStripDragsOnlyWhereNoButtonIsAndEveryDialogUsesIt) {
    EXPECT_EQ(At(320, 5, true), "");                    // the close box lies in the strip
    EXPECT_EQ(panelInput.PanelDragging, 0);
    EXPECT_EQ(At(320, 5, false), KeyEscape);
    EXPECT_EQ(At(359, 28, true), "");                   // the strip's far corner
    EXPECT_EQ(panelInput.PanelDragging, -1);
    At(359, 28, false);
    EXPECT_EQ(At(360, 28, true), "");                   // just beside it
    EXPECT_EQ(panelInput.PanelDragging, 0);
    At(360, 28, false);

    AskQuestion(DeleteLevelQuestion, "a", "b", "c");
    EXPECT_EQ(At(100, 20, true), "");
    Headless.mouseX += 7;
    Headless.mouseY += 9;
    ReadEditorInput();
    EXPECT_EQ(PanelX, 22);
    EXPECT_EQ(PanelY, 24);
}

// ---- Dialog keys and answers ----------------------------------------------------------------------------------------

TEST_F(EditorPanel, QuestionHotKeysAreTheLabelsFirstLettersAndTheLeftWinsASharedLetter) {
    struct Case {
        std::string button1, button2, key, result;
    };
    const Case cases[] = {
        {"Yes", "No", "y", KeyLeftButton},  {"Yes", "No", "Y", KeyLeftButton},  {"Yes", "No", "n", KeyRightButton},
        {"Yes", "No", "N", KeyRightButton}, {"  Ja ", "Nein", "j", KeyLeftButton}, {"Yes", "No", "x", "x"},
        {"Yes", "No", KeyEnter, KeyEnter},  {"Yes", "No", KeyEscape, KeyEscape},
        {"Save", "Skip", "s", KeyLeftButton}, {"Save", "skip", "S", KeyLeftButton},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button1 + " / " + c.button2 + " / " + c.key);
        MessageState = SaveFirstLeave;
        DialogButton1 = c.button1;
        DialogButton2 = c.button2;
        EXPECT_EQ(Typed(c.key), c.result);
    }
}

TEST_F(EditorPanel, EachQuestionIsAnsweredByItsHotKeysAndButtonsAsItAllows) {
    struct Case {
        std::int32_t state;
        std::string key;                // typed ("LB" and "RB" stand for a click on the button)
        DialogAnswer answer;
    };
    const Case cases[] = {
        {DeleteLevelQuestion, "y", DialogAnswer::Left},    {DeleteLevelQuestion, "n", DialogAnswer::Right},
        {DeleteLevelQuestion, KeyEnter, DialogAnswer::Left}, {DeleteLevelQuestion, KeyEscape, DialogAnswer::Closed},
        {DeletePackQuestion, "Y", DialogAnswer::Left},     {DeletePackQuestion, KeyEscape, DialogAnswer::Closed},
        {DeletePackQuestion, "RB", DialogAnswer::Right},
        {SaveFirstLeave, "y", DialogAnswer::Left},         {SaveFirstLeave, "N", DialogAnswer::Right},
        {SaveFirstLeave, KeyEnter, DialogAnswer::Left},    {SaveFirstLeave, KeyEscape, DialogAnswer::None},
        {SaveFirstNewPack, "LB", DialogAnswer::Left},      {SaveFirstNewLevel, "RB", DialogAnswer::Right},
        {SaveFirstNextPack, "q", DialogAnswer::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.state) + " / " + c.key);
        AskQuestion(c.state, "l1", "l2", "l3");
        DialogButton1 = "Yes";
        DialogButton2 = "No";
        std::string key;
        if (c.key == "LB") {
            At(50, 140, true);
            key = At(50, 140, false);
        } else if (c.key == "RB") {
            At(250, 140, true);
            key = At(250, 140, false);
        } else {
            key = Typed(c.key);
        }
        const DialogResult result = AnswerDialog(key);
        EXPECT_EQ(result.answer, c.answer);
        EXPECT_EQ(result.state, c.state);
        EXPECT_EQ(MessageState, c.answer == DialogAnswer::None ? c.state : 0);
    }
}

TEST_F(EditorPanel, AMessageClosesByEnterEscItsButtonAndTheCloseBox) {
    struct Way {
        const char* name;
        std::string key;                // typed; empty: a click at (x, y)
        std::int32_t x, y;
    };
    const Way ways[] = {{"Enter", KeyEnter, 0, 0}, {"Esc", KeyEscape, 0, 0}, {"OK", "", 170, 140},
                        {"close box", "", 330, 8}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        RaiseMessage("one", "two", "three");
        std::string key;
        if (!way.key.empty()) {
            key = Typed(way.key);
        } else {
            At(way.x, way.y, true);
            key = At(way.x, way.y, false);
        }
        EXPECT_EQ(AnswerDialog(key).answer, DialogAnswer::Left);
        EXPECT_EQ(MessageState, 0);
    }
    RaiseMessage("one", "", "");
    EXPECT_EQ(AnswerDialog(Typed("l")).answer, DialogAnswer::None);     // its label's letter is no hot key
    EXPECT_EQ(MessageState, 1);
}

TEST_F(EditorPanel, AnInputDialogTypesOnlyAllowedCharactersUpToItsWidth) {
    OpenInputDialog(LevelTitleInput, "title?", "ab");
    EXPECT_EQ(DialogAllowed.size(), 84u);
    EXPECT_EQ(DialogButton1, LanguageText[LineOk]);
    struct Key {
        std::string key, result;
    };
    // Characters after "z" pass as keys although the standard set holds them; others outside the set are dropped.
    const Key keys[] = {{"{", "{"}, {"}", "}"}, {"~", "~"}, {"\"", ""}, {"/", ""}, {"c", ""}, {" ", ""},
                        {"D", ""},  {"7", ""}};
    for (const Key& k : keys) EXPECT_EQ(Typed(k.key), k.result) << k.key;
    EXPECT_EQ(DialogInput, "abc D7");
    EXPECT_EQ(Typed(KeyBackspace), "");
    EXPECT_EQ(Typed(KeyLeft), "");
    EXPECT_EQ(DialogInput, "abc ");
    EXPECT_EQ(Typed(KeyF2), KeyF2);                     // extended keys pass to the dialog untyped
    EXPECT_EQ(Typed(KeyEscape), KeyEscape);

    DialogAllowed = "0123456789:";
    DialogInput.clear();
    EXPECT_EQ(Typed(KeyBackspace), "");                 // nothing to delete
    // A "1" 20 pixels wide: thirteen of them make exactly 260 pixels, and a text that wide takes no more.
    UiFont.glyphs[static_cast<unsigned char>('1')].advance = 20 - UiFont.spacing;
    for (int i = 0; i < 60; i++) Typed(i % 2 == 0 ? "1" : "a");
    EXPECT_EQ(DialogInput, std::string(DialogInputMaxWidth / 20, '1'));
    EXPECT_EQ(TextWidth(UiFont, DialogInput), DialogInputMaxWidth);

    EXPECT_EQ(Typed(KeyEnter), KeyLeftButton);
    const DialogResult result = AnswerDialog(KeyLeftButton);
    EXPECT_EQ(result.answer, DialogAnswer::Left);
    EXPECT_EQ(result.state, LevelTitleInput);
    OpenInputDialog(TimeLimitInput, "time?", "");
    EXPECT_EQ(AnswerDialog(Typed(KeyEscape)).answer, DialogAnswer::Closed);
    EXPECT_EQ(MessageState, 0);
}

// ---- Drawing --------------------------------------------------------------------------------------------------------

TEST_F(EditorPanel, EachDialogDrawsItsImageOverAVeilInThePanelsPlace) {
    struct Case {
        std::int32_t state;
        std::uint32_t image;
        std::vector<UiText> texts;
    };
    const Case cases[] = {
        {0, MenuId, {}},
        {1, Dial1Id, {{"L1", 15, 40}, {"L2", 15, 60}, {"L3", 15, 80}, {"B1", 123, 132}}},
        {SaveFirstLeave, DialId,
         {{"L1", 15, 40}, {"L2", 15, 60}, {"L3", 15, 80}, {"B1", 42, 132}, {"B2", 203, 132}}},
        {DeletePackQuestion, DialId, {{"B1", 42, 132}, {"B2", 203, 132}}},
        {RenamePackInput, InputId, {{"L1", 15, 40}, {"L2", 15, 60}, {"B1", 123, 132}}},
    };
    PanelX = 100;
    PanelY = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        MessageState = c.state;
        DialogLine1 = "L1";
        DialogLine2 = "L2";
        DialogLine3 = "L3";
        DialogButton1 = "B1";
        DialogButton2 = "B2";
        const std::vector<QuadRecord> quads = Frame();
        const std::vector<QuadRecord> panel = WithImage(quads, c.image);
        ASSERT_EQ(panel.size(), 1u);
        EXPECT_EQ(panel[0].x, 100);
        EXPECT_EQ(panel[0].y, 200);
        EXPECT_EQ(panel[0].w, 374);
        EXPECT_EQ(panel[0].h, 186);
        const std::vector<QuadRecord> veil = WithImage(quads, GrayId);
        ASSERT_EQ(veil.size(), c.state == 0 ? 0u : 1u);
        if (c.state != 0) {
            EXPECT_EQ(veil[0].w, 1024);
            EXPECT_LT(veil[0].z, panel[0].z);
        }
        const std::vector<UiText> texts = Texts(quads);
        for (const UiText& want : c.texts) {
            const UiText* got = Find(texts, want.text);
            ASSERT_NE(got, nullptr) << want.text;
            EXPECT_EQ(got->x, 100 + want.x) << want.text;
            EXPECT_EQ(got->y, 200 + want.y) << want.text;
        }
        if (c.state == DeletePackQuestion) {
            EXPECT_EQ(Find(texts, "L3")->y, 280);
        }
    }
    view.EditorMode = 0;                                // a test play: the editor draws nothing
    MessageState = 1;
    EXPECT_TRUE(Frame().empty());
}

TEST_F(EditorPanel, TheTypedTextIsWhiteWithACaretThatBlinksWithTheFrameClock) {
    OpenInputDialog(NewPackNameInput, "name?", "abc");
    frameStep = 1;
    std::string shown;
    for (int frame = 0; frame < 12; frame++) {
        const std::vector<UiText> texts = Texts(Frame());
        const UiText* typed = Find(texts, "abc_");
        if (typed == nullptr) typed = Find(texts, "abc");
        ASSERT_NE(typed, nullptr);
        EXPECT_EQ(typed->x, 15 + 40);
        EXPECT_EQ(typed->y, 15 + 87);
        EXPECT_EQ(typed->r, 255);
        shown += typed->text.size() == 4 ? '_' : '.';
    }
    EXPECT_EQ(shown, "...___...___");       // the counter runs 1 ... 6 and shows the caret above 3
}

TEST_F(EditorPanel, ThePanelShowsTheSelectionThePlaceInThePackAndTheCursor) {
    ImageTable.Clear();
    for (int i = 1; i <= 20; i++) {
        TextureImage image;
        image.id = 100 + static_cast<std::uint32_t>(i);
        ImageTable.Add(image);
    }
    ResetTextureTable();
    TextureEntry wall;
    wall.pack = "txtpckStone";
    wall.name = "brick";
    wall.firstFrame = 3;
    wall.lastFrame = 5;
    wall.kind = KindWall;
    editor.SelectedTexture = AddTexture(wall);
    editor.SelectedKind = KindWall;
    editor.SelectedFrame = 3;
    TexturePackList.Clear();
    TexturePackList[0] = "txtpckAll";
    TexturePackList.Add("txtpckStone");
    editor.PackFilter = 1;
    level.background.frame = 7;
    PackList.Clear();
    PackList.Add("lvlpckMountains");
    PackIndex = 1;
    LevelNumber = 4;
    LevelCount = 12;
    level.levelTitle = std::string(40, 'x');
    focusX = 640;
    focusY = -256.5;
    panelInput.PanelTooltip = "tip";
    frameStep = 1;

    const std::vector<QuadRecord> quads = Frame();
    const std::vector<QuadRecord> preview = WithImage(quads, 104);     // frame 3 advanced by one
    ASSERT_EQ(preview.size(), 1u);
    EXPECT_EQ(preview[0].x, 15 + 287);
    EXPECT_EQ(preview[0].w, 58);
    const std::vector<QuadRecord> background = WithImage(quads, 107);
    ASSERT_EQ(background.size(), 1u);
    EXPECT_EQ(background[0].x, 15 + 90);
    EXPECT_EQ(background[0].w, 51);
    EXPECT_EQ(background[0].h, 38);
    const std::vector<QuadRecord> marker = WithImage(quads, SelectId);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0].x, 15 + 174);
    EXPECT_EQ(marker[0].y, 15 + 80);
    EXPECT_EQ(marker[0].w, 17);

    const std::vector<UiText> texts = Texts(quads);
    struct Want {
        std::string text;
        std::int32_t x, y;
        std::uint8_t r;
    };
    // The title is cut to 300 pixels: 25 characters of 12.
    const std::string title = ("Mountains - " + level.levelTitle).substr(0, 300 / GlyphPixels);
    const Want wants[] = {
        {"tip", 25, 165, 0},           {"Stone", 194, 74, 0},       {"brick", 168, 50, 0},
        {title, 23, 21, 255},          {LanguageText[89] + "4 / 12", 25, 50, 0},
        {"X: 640 : Y: -256.5", 0, 752, 0},
    };
    for (const Want& want : wants) {
        const UiText* got = Find(texts, want.text);
        ASSERT_NE(got, nullptr) << want.text;
        EXPECT_EQ(got->x, want.x) << want.text;
        EXPECT_EQ(got->y, want.y) << want.text;
        EXPECT_EQ(got->r, want.r) << want.text;
    }

    editor.SelectedKind = KindBackground;
    const std::vector<QuadRecord> backMarker = WithImage(Frame(), SelectId);
    ASSERT_EQ(backMarker.size(), 1u);
    EXPECT_EQ(backMarker[0].x, 15 + 90);
    EXPECT_EQ(backMarker[0].w, 51);
    EXPECT_EQ(backMarker[0].h, 38);

}

}  // namespace
