// Reading keys and mouse reports from a terminal's input bytes.
#pragma once

#include <string>

#include "platform/screen/screen_backend.h"

namespace terrafix {

// Takes what it can of `input` (bytes from the terminal): keys go into the key
// queue while it has room, mouse reports into `pointer`. Leaves in `input`
// what did not fit and an unfinished escape sequence or UTF-8 character; with
// `final` set, a lone Esc left at the end is the Esc key.
void ParseTerminalInput(std::string& input, PointerState& pointer, bool final);

}  // namespace terrafix
