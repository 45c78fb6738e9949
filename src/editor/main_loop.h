// The editor's loop: every pass redraws the whole window, then reads the mouse
// once and one key and acts on them.
#pragma once

#include "level/editor_state.h"
#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// Start-up, then passes for ever; the process ends inside the Quit question.
[[noreturn]] void RunEditor();

void RunPass(EditorState& state, LevelGrid& grid, HeaderTemplate& header);

// Everything drawn by a pass, from the lock to the unlock.
void DrawPass(const EditorState& state, const LevelGrid& grid);

}  // namespace terrafix
