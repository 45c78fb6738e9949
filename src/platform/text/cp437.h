#pragma once

#include <string>
#include <string_view>

namespace terrafix {

// The code page 437 code of a typed printable character, or 0 when code page
// 437 has no such character.
int UnicodeToCp437(char32_t point);

// The character that the glyph of a code page 437 code shows.
char32_t Cp437ToUnicode(unsigned char code);

// UTF-8 text (a file's name, a folder) as the text grid shows it: each
// character in code page 437, '?' for one it lacks.
std::string Cp437TextOf(std::string_view utf8);

}  // namespace terrafix
