// The editor's key strings: what the keyboard buffer delivers (a character, or "\xFF" followed by the key's scan
// code for an extended key) and the strings that only the panel's buttons and the dialogs produce.
#pragma once

#include <string>

const std::string KeyEnter = "\r";
const std::string KeyEscape = "\x1B";
const std::string KeyBackspace = "\b";
const std::string KeyCtrlN = "\x0E";
const std::string KeyCtrlZ = "\x1A";         // undo
const std::string KeyCtrlY = "\x19";         // redo
const std::string KeyCtrlC = "\x03";         // copy the selection
const std::string KeyCtrlX = "\x18";         // cut the selection
const std::string KeyCtrlV = "\x16";         // paste: the clipboard follows the cursor
const std::string KeyCtrlF = "\x06";         // fill the selection with the selected texture
const std::string KeyCtrlR = "\x12";         // flip the selection left-right
const std::string KeyCtrlE = "\x05";         // export the pack as one archive
const std::string KeyClose = "\xFF\x6B";        // the window's close box, the same as Alt+F4
const std::string KeyF2 = "\xFF\x3C";
const std::string KeyF3 = "\xFF\x3D";
const std::string KeyF5 = "\xFF\x3F";
const std::string KeyF6 = "\xFF\x40";
const std::string KeyF7 = "\xFF\x41";
const std::string KeyHome = "\xFF\x47";
const std::string KeyUp = "\xFF\x48";
const std::string KeyPgUp = "\xFF\x49";
const std::string KeyLeft = "\xFF\x4B";
const std::string KeyRight = "\xFF\x4D";
const std::string KeyEnd = "\xFF\x4F";
const std::string KeyDown = "\xFF\x50";
const std::string KeyPgDn = "\xFF\x51";
const std::string KeyDel = "\xFF\x53";
const std::string KeyAltS = "\xFF\x1F";
const std::string KeyAltB = "\xFF\x30";
const std::string KeyCtrlPgDn = "\xFF\x76";
const std::string KeyCtrlPgUp = "\xFF\x84";
const std::string KeyCtrlDel = "\xFF\x93";
const std::string KeyAltUp = "\xFF\x98";
const std::string KeyAltPgUp = "\xFF\x99";
const std::string KeyAltLeft = "\xFF\x9B";
const std::string KeyAltRight = "\xFF\x9D";
const std::string KeyAltDown = "\xFF\xA0";
const std::string KeyAltPgDn = "\xFF\xA1";
const std::string KeyAltDel = "\xFF\xA3";

// Panel buttons without a key of their own.
const std::string KeyLevelLater = "INC";
const std::string KeyLevelEarlier = "DEC";
const std::string KeyNextTrack = "M+";
const std::string KeyPreviousTrack = "M-";
// A dialog's left (or only) and right button.
const std::string KeyLeftButton = "LB";
const std::string KeyRightButton = "RB";
