// Painting: the cell drawn under the pointer takes CurrentTile.
#pragma once

#include "level/editor_state.h"
#include "level/level_grid.h"

namespace terrafix {

void PaintAtPointer(const EditorState& state, LevelGrid& grid);

}  // namespace terrafix
