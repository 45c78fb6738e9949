#pragma once

namespace terrafix {

// The code page 437 code of a typed printable character, or 0 when code page
// 437 has no such character.
int UnicodeToCp437(char32_t point);

// The character that the glyph of a code page 437 code shows.
char32_t Cp437ToUnicode(unsigned char code);

}  // namespace terrafix
