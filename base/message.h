// The message and dialog fields. Any part of the game raises a message by filling them; the editor draws and
// answers them. MessageState -1 marks the start-up phase (the splash image is drawn).
#pragma once

#include <cstdint>
#include <string>

extern std::int32_t MessageState;       // 0 none, 1 message, 2..100 question, 101..200 input, 201 delete pack,
                                        // 202 the editor's solver at work (a message whose button cancels it)
extern std::string DialogButton1, DialogButton2;
extern std::string DialogLine1, DialogLine2, DialogLine3;
extern std::string DialogInput, DialogAllowed;
extern std::int32_t PanelX, PanelY;

// Raises a message with one button labelled by language line 53.
void RaiseMessage(const std::string& line1, const std::string& line2, const std::string& line3);
