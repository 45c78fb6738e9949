// What the key of a pass and a click on the toolbar do.
#pragma once

#include <cstdint>
#include <string_view>

#include "editor/undo_history.h"
#include "files/kept_work.h"
#include "formats/header_template.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// "j"/"g" move SliceX up/down, "n"/"y" SliceY, "b"/"u" Layer, within the
// level's extents, the part shown following a slice that leaves it. Of a
// level larger than the views, the arrow keys move the part shown along x
// (left, right) and y (up, down), Page Up and Page Down along the height, a
// quarter of it at a time.
void HandleKey(EditorState& state, const Level& level, std::string_view key);

// Ctrl+Z undoes the last step, Ctrl+Y redoes it.
void HandleUndoKey(std::string_view key, Level& level, UndoHistory& history);

// A menu square starts its command (a New or a Load that changes the level
// becomes a step of the history); otherwise an option or palette box applies
// its setting. `restored`: the kept work restored at the start, which a Save
// of its level removes and a New or a Load lets go.
void HandleClick(EditorState& state, Level& level, HeaderTemplate& header, UndoHistory& history,
                 KeptWork& restored, int32_t x, int32_t y);

}  // namespace terrafix
