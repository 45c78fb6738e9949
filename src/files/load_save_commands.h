// Load and Save: a typed name, the uncompressed level file of that name, and
// the compressor that turns it into name.dat and back.
#pragma once

#include <string_view>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

constexpr std::string_view LoadPrompt = "Type filename to load without extension (must be .dat) (blank to cancel): ";
constexpr std::string_view SavePrompt = "Type filename to save to without extension (leave blank to cancel): ";
constexpr std::string_view HeaderMismatchMessage =
    "File header check didn't match, could mean file not found, press any key...                ";
constexpr std::string_view CompressorFailureMessage =
    "Failed to (de)compress file, could mean file not found, press any key...                     ";
static_assert(LoadPrompt.size() == 74 && SavePrompt.size() == 68);
static_assert(HeaderMismatchMessage.size() == 91 && CompressorFailureMessage.size() == 93);

void LoadCommand(LevelGrid& grid, HeaderTemplate& header);
void SaveCommand(const LevelGrid& grid, HeaderTemplate& header);

}  // namespace terrafix
