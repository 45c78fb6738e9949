// What the key of a pass and a click on the toolbar do.
#pragma once

#include <cstdint>
#include <string_view>

#include "editor/undo_history.h"
#include "files/header_template.h"
#include "level/editor_state.h"
#include "level/level_grid.h"

namespace terrafix {

// "j"/"g" move SliceX up/down, "n"/"y" SliceY, "b"/"u" Layer, within their ranges.
void HandleKey(EditorState& state, std::string_view key);

// Ctrl+Z undoes the last step, Ctrl+Y redoes it.
void HandleUndoKey(std::string_view key, LevelGrid& grid, UndoHistory& history);

// A menu square starts its command (a New or a Load that changes the level
// becomes a step of the history); otherwise an option or palette box applies
// its setting.
void HandleClick(EditorState& state, LevelGrid& grid, HeaderTemplate& header, UndoHistory& history, int32_t x,
                 int32_t y);

}  // namespace terrafix
