// The box (the selection): set by a drag of the left button with Shift or
// Alt held on a view, along that view's two axes from the press's cell to
// the cell under the pointer; along the view's third axis it keeps the
// extent it had, or, when there was none, is the view's slice. It stays
// within the level.
#pragma once

#include <cstdint>

#include "level/cell_box.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// Acts on the mouse reading of the pass, given the buttons of the reading
// before it; true while the left button is selecting (it does not paint).
bool HandleSelection(EditorState& state, const Level& level, int32_t previousButtons);

void SetBox(EditorState& state, const CellBox& box);
void ClearBox(EditorState& state);

// The box held within the level (which may be another since it was set):
// the part of it that lies in the level, or none.
void FitBoxToLevel(EditorState& state, const Level& level);

// The box, or the whole level when there is none.
CellBox BoxOrLevel(const EditorState& state, const Level& level);

}  // namespace terrafix
