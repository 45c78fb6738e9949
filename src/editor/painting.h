// Painting: the cell drawn under the pointer takes CurrentTile.
#pragma once

#include "editor/undo_history.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// Writes CurrentTile into the cell under the pointer, if any, and records a
// change of its value in the stroke under way.
void PaintAtPointer(const EditorState& state, Level& level, UndoHistory& history);

}  // namespace terrafix
