// What the key of a pass and a click on the toolbar do.
#pragma once

#include <cstdint>
#include <string_view>

#include "level/editor_state.h"
#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// "j"/"g" move SliceX up/down, "n"/"y" SliceY, "b"/"u" Layer, within their ranges.
void HandleKey(EditorState& state, std::string_view key);

// A menu square starts its command; otherwise an option or palette box
// applies its setting.
void HandleClick(EditorState& state, LevelGrid& grid, HeaderTemplate& header, int32_t x, int32_t y);

}  // namespace terrafix
