// The right and middle buttons over the views: a rectangle fill dragged on a
// view's slice, and the pick of a cell's value as the current tile.
#pragma once

#include <cstdint>

#include "editor/undo_history.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// Acts on the mouse reading of the pass (in `state`), given the buttons of
// the reading before it:
// - a press of the middle button alone over a view cell makes that cell's
//   value the current tile;
// - a press of the right button alone over a view cell starts a rectangle on
//   that view; while it is held the rectangle follows the pointer (held
//   within the view); its release fills the rectangle on the view's slice as
//   it is then with the current tile, as one undo step; the left button
//   pressed meanwhile cancels it.
void HandleFillAndPick(EditorState& state, Level& level, UndoHistory& history, int32_t previousButtons);

// Every cell of the rectangle from (fromH, fromV) to (toH, toV) in `view`'s
// plane, at the slices of `state`, takes `tile`; the cells that changed
// become one step of the history.
void FillRectangle(const EditorState& state, SliceView view, int32_t fromH, int32_t fromV, int32_t toH, int32_t toV,
                   TileId tile, Level& level, UndoHistory& history);

}  // namespace terrafix
