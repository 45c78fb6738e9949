// The yes/no questions that guard New and Quit.
#pragma once

#include <string_view>

#include "formats/header_template.h"
#include "level/level.h"

namespace terrafix {

constexpr std::string_view NewQuestion = "Create new file? Unsaved data will be lost. (y/n) ";
constexpr std::string_view QuitQuestion = "Quit Terrafix? Unsaved data will be lost. (y/n) ";

// Asked until "y" or "n": "y" reads headers.dat again and makes `made` a
// new level (and gives true).
bool ConfirmNew(Level& made, HeaderTemplate& header);
// Asked until "y" or "n": "y" ends the program with status 0.
void ConfirmQuit();

}  // namespace terrafix
