#pragma once

namespace terrafix {

// The code page 437 code of a typed printable character, or 0 when code page
// 437 has no such character.
int UnicodeToCp437(char32_t point);

}  // namespace terrafix
