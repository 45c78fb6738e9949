// The slice views: the top view of plane z = Layer and the side views of the
// planes x = SliceX (A) and y = SliceY (B), each cell in its tile's colour, an
// air cell showing the next plane dimmed, and an optional cell grid.
#pragma once

#include "editor/editor_state.h"
#include "level/level_grid.h"

namespace terrafix {

// Draws the views that ViewMode selects into the frame.
void DrawViews(const EditorState& state, const LevelGrid& grid);

}  // namespace terrafix
