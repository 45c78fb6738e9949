// The yes/no questions that guard New and Quit.
#pragma once

#include <string_view>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

constexpr std::string_view NewQuestion = "Create new file? Unsaved data will be lost. (y/n) ";
constexpr std::string_view QuitQuestion = "Quit Terrafix? Unsaved data will be lost. (y/n) ";

// Asked until "y" or "n": "y" reads headers.dat again and lays down new
// terrain (and gives true).
bool ConfirmNew(LevelGrid& grid, HeaderTemplate& header);
// Asked until "y" or "n": "y" ends the program with status 0.
void ConfirmQuit();

}  // namespace terrafix
