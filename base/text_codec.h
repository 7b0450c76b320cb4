// The game's texts are single bytes of Windows-1252 (what its fonts draw); the files that people edit and the
// tools' output are UTF-8. One codec between them for the whole program.
#pragma once

#include <cstddef>
#include <string>

// The character a byte stands for; 0 for the five bytes the code page leaves open (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t Windows1252Character(unsigned char byte);
// The byte of a character, or -1 when Windows-1252 has none.
int Windows1252Byte(char32_t c);

void AppendUtf8(std::string& out, char32_t c);
// The character of the UTF-8 sequence at `at`, and `at` moved past it; false, with `at` unchanged, for a malformed,
// truncated or overlong sequence, a surrogate or a value past U+10FFFF.
bool NextUtf8(const std::string& text, std::size_t& at, char32_t& c);

// A Windows-1252 text as a JSON string in UTF-8, quotes included: control characters as \uXXXX, and each open byte
// as the control character of its number.
std::string JsonString(const std::string& windows1252);
