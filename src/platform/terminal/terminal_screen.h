// The screen backend of the terminal the editor was started from, for where no
// window can be opened: text at the same rows and columns (what lies beyond
// the terminal's size is clipped), keys from the keyboard, the mouse through
// the terminal's mouse reports; boxes are not drawn.
#pragma once

#include <memory>

#include "platform/screen/screen_backend.h"

namespace terrafix {

// Null when standard input and output are not a terminal.
std::unique_ptr<ScreenBackend> OpenTerminalScreen();

}  // namespace terrafix
