// The operations on a box of the level: fill, replace, flood fill and paste.
// Each changes the level and returns the undo step that takes the change
// back, or throws std::bad_alloc before it changes anything.
#pragma once

#include <cstddef>
#include <cstdint>

#include "editor/undo_history.h"
#include "level/clipboard.h"
#include "level/level.h"

namespace terrafix {

// Every cell of `box` takes `tile`; the step keeps a byte a cell.
UndoStep FillBox(Level& level, const CellBox& box, uint8_t tile);

// Every cell of `box` that holds `from` takes `to`; `changed` counts them.
// The step keeps a bit a cell.
UndoStep ReplaceInBox(Level& level, const CellBox& box, uint8_t from, uint8_t to, size_t& changed);

// The cell (x, y, z) of `region` and every cell of `region` joined to it
// face to face through cells that hold its tile take `tile`; `changed`
// counts them (none when the cell holds `tile` already). The step keeps a
// bit a cell of `region`. A run along x is filled as soon as it is found,
// and waits on a list to have the rows beside it searched for more: no
// recursion, no cell-by-cell queue, and no run found twice.
UndoStep FloodFill(Level& level, const CellBox& region, int32_t x, int32_t y, int32_t z, uint8_t tile,
                   size_t& changed);

// The part of the level that the clipboard covers with its least corner at
// (x, y, z); false when none of it falls in the level.
bool PastedPart(const Level& level, const Clipboard& clip, int32_t x, int32_t y, int32_t z, CellBox& part);

// The clipboard written with its least corner at (x, y, z) over `part`
// (PastedPart), every cell, or with `keepUnderAir` only those that are not
// air. The step keeps a byte a cell of `part`.
UndoStep PasteClipboard(Level& level, const Clipboard& clip, int32_t x, int32_t y, int32_t z, bool keepUnderAir,
                        const CellBox& part);

}  // namespace terrafix
