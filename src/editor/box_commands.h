// The keys of building in boxes, the same in the window and the terminal:
//   a (Ctrl+A)  selects the whole level       Esc     clears the box
//   f           fills the box, current tile   Delete  fills the box with air
//   r           replaces, in the box or the level, the tile under the pointer
//               by the current tile
//   o, l        flood fill from the cell under the pointer: on that view's
//               slice, or through the level (within the box when there is one)
//   c (Ctrl+C)  copies the box                x (Ctrl+X)  copies and clears it
//   v (Ctrl+V)  pastes, its least corner at the cell under the pointer
//   t           pastes leaving the level's cell where the clipboard holds air
//   [ ]         turn the clipboard anticlockwise and clockwise, m mirrors it
// Each change of the level is one undo step; each says what it did on row 1
// until the next key or click.
#pragma once

#include <string>
#include <string_view>

#include "editor/editor_work.h"
#include "editor/undo_history.h"
#include "level/cell_box.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// "31 x 16 x 64".
std::string SizeText(int32_t width, int32_t length, int32_t height);

// Why the box's cells cannot be copied out of the level: more than this
// machine's memory holds (with its size and the memory it needs); else empty.
std::string BoxTooLarge(const CellBox& box);

// Acts on the key of the pass, if it is one of the box keys.
void HandleBoxKey(EditorState& state, Level& level, UndoHistory& history, EditorWork& work, std::string_view key);

}  // namespace terrafix
