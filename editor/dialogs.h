// The editor's dialogs: opening them with their texts, and what a key answers.
//
// Every dialog is a value of MessageState with the texts in the Dialog* fields (base/message.h): 1 a message with
// one button; 2 to 100 and 201 a question with two buttons, the value naming the action that waits for the answer;
// 101 to 200 a text input. A dialog takes one key per pass of the editor (editor/panel_input.h) and does nothing
// else; the actions behind the answers belong to the commands that opened the dialogs.
#pragma once

#include <cstdint>
#include <string>

// The editor's questions and inputs.
constexpr std::int32_t DeleteLevelQuestion = 2;
constexpr std::int32_t SaveFirstNewLevel = 3, SaveFirstPreviousLevel = 4, SaveFirstNextLevel = 5,
                       SaveFirstLeave = 6, SaveFirstPreviousPack = 7, SaveFirstNextPack = 8, SaveFirstNewPack = 9;
constexpr std::int32_t NewPackNameInput = 101, RenamePackInput = 102, TimeLimitInput = 103, LevelTitleInput = 104;
constexpr std::int32_t DeletePackQuestion = 201;

// What may be typed into an input dialog unless its opener says otherwise.
extern const std::string StandardAllowed;

// Opens input dialog `state` with the prompt and the text to start from; one button (language line 53), the
// standard characters allowed.
void OpenInputDialog(std::int32_t state, const std::string& prompt, const std::string& input);
// Sets the texts of a two-button question (yes, no: language lines 51 and 52) and opens it as `state`.
void AskQuestion(std::int32_t state, const std::string& line1, const std::string& line2, const std::string& line3);
// Sets the texts of the save question; the caller sets MessageState to the action that waits.
void AskSaveFirst();

enum class DialogAnswer {
    None,       // the dialog stays up
    Left,       // the left (or only) button, or what stands for it: yes, save first, take the typed text
    Right,      // a question's right button: no, go on without saving
    Closed,     // closed without an answer: the close box or Esc where the dialog allows it
};
struct DialogResult {
    DialogAnswer answer = DialogAnswer::None;
    std::int32_t state = 0;             // the dialog that was answered
};
// Hands one key of the editor's input to the dialog up. Every answer closes the dialog (MessageState 0) before the
// caller runs the action behind it, so an action may open the next dialog or raise a message that stays up. The
// save question ignores Esc: its changes are kept or dropped only on purpose.
DialogResult AnswerDialog(const std::string& key);
