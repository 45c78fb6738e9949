// The screen backend of a desktop window, on SDL2.
#pragma once

#include <memory>
#include <string>

#include "platform/screen/screen_backend.h"

namespace terrafix {

// Opens a centred, fixed-size window of width x height pixels titled `title`;
// null when no window can be opened (no display, say).
std::unique_ptr<ScreenBackend> OpenSdlWindow(int width, int height, const std::string& title);

// The program file's own name without its folder and from its last "." on.
std::string ProgramTitle();

}  // namespace terrafix
