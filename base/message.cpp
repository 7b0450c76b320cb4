#include "base/message.h"

#include "base/language.h"

std::int32_t MessageState = 0;
std::string DialogButton1, DialogButton2;
std::string DialogLine1, DialogLine2, DialogLine3;
std::string DialogInput, DialogAllowed;
std::int32_t PanelX = 15, PanelY = 15;

void RaiseMessage(const std::string& line1, const std::string& line2, const std::string& line3) {
    MessageState = 1;
    DialogLine1 = line1;
    DialogLine2 = line2;
    DialogLine3 = line3;
    DialogButton1 = LanguageText[LineOk];
}
