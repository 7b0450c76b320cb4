#include "editor/dialogs.h"

#include "base/language.h"
#include "base/message.h"
#include "editor/editor_keys.h"
#include "editor/win_check.h"

const std::string StandardAllowed =
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789$%'-@{}~!#()&_^+,.=[]";

namespace {

constexpr std::int32_t LineYes = 51, LineNo = 52;
constexpr std::int32_t LineUnsavedChanges = 48, LineSaveThemFirst = 49, LineOtherwiseLost = 50;

bool IsQuestion(std::int32_t state) { return (state >= 2 && state <= 100) || state == DeletePackQuestion; }
bool IsInput(std::int32_t state) { return state >= 101 && state <= 200; }
bool IsSaveQuestion(std::int32_t state) { return state >= SaveFirstNewLevel && state <= SaveFirstNewPack; }

DialogAnswer AnswerFor(std::int32_t state, const std::string& key) {
    if (state == 1 || state == SolvingDialog)
        return key == KeyLeftButton || key == KeyEscape ? DialogAnswer::Left : DialogAnswer::None;
    if (IsQuestion(state)) {
        if (key == KeyLeftButton || key == KeyEnter) return DialogAnswer::Left;
        if (key == KeyRightButton) return DialogAnswer::Right;
        if (key == KeyEscape && !IsSaveQuestion(state)) return DialogAnswer::Closed;
        return DialogAnswer::None;
    }
    if (IsInput(state)) {
        if (key == KeyLeftButton) return DialogAnswer::Left;
        if (key == KeyEscape) return DialogAnswer::Closed;
    }
    return DialogAnswer::None;
}

}  // namespace

void OpenInputDialog(std::int32_t state, const std::string& prompt, const std::string& input) {
    MessageState = state;
    DialogLine1 = prompt;
    DialogLine2.clear();
    DialogLine3.clear();
    DialogButton1 = LanguageText[LineOk];
    DialogButton2.clear();
    DialogInput = input;
    DialogAllowed = StandardAllowed;
}

void AskQuestion(std::int32_t state, const std::string& line1, const std::string& line2, const std::string& line3) {
    MessageState = state;
    DialogLine1 = line1;
    DialogLine2 = line2;
    DialogLine3 = line3;
    DialogButton1 = LanguageText[LineYes];
    DialogButton2 = LanguageText[LineNo];
}

void AskSaveFirst() {
    DialogLine1 = LanguageText[LineUnsavedChanges];
    DialogLine2 = LanguageText[LineSaveThemFirst];
    DialogLine3 = LanguageText[LineOtherwiseLost];
    DialogButton1 = LanguageText[LineYes];
    DialogButton2 = LanguageText[LineNo];
}

DialogResult AnswerDialog(const std::string& key) {
    DialogResult result;
    result.state = MessageState;
    result.answer = AnswerFor(MessageState, key);
    if (result.answer != DialogAnswer::None) MessageState = 0;
    return result;
}
