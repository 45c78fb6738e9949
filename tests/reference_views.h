// The slice views drawn the plain way, box by box in the order the editor
// defines, as the measure for the editor's fast drawing.
#pragma once

#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix::testing {

void DrawViewsByBoxes(const EditorState& state, const Level& grid);

// A whole pass the plain way: clear everything, title, views box by box,
// toolbar, readouts.
void DrawPassByBoxes(const EditorState& state, const Level& grid);

}  // namespace terrafix::testing
