// The clipboard: the cells of a box copied out of one level, to be turned,
// mirrored and pasted into any level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "level/cell_box.h"
#include "level/level.h"

namespace terrafix {

// Cells of a box, x fastest, then y, then z, as a level keeps them. Empty
// (no cells) until something is copied.
struct Clipboard {
  int32_t Width = 0, Length = 0, Height = 0;
  std::vector<uint8_t> Cells;
};

inline bool ClipboardEmpty(const Clipboard& clip) { return clip.Cells.empty(); }

// The clipboard takes the box's cells. A failed allocation (std::bad_alloc)
// leaves the clipboard as it was.
void CopyBox(const Level& level, const CellBox& box, Clipboard& clip);

// A quarter turn about the vertical axis as the top view shows it (x to the
// right, y down): anticlockwise carries the top-right corner to the top
// left, clockwise the top-left corner to the top right.
void TurnClipboard(Clipboard& clip, bool clockwise);
// Left to right as the top view shows it: x becomes Width - 1 - x.
void MirrorClipboard(Clipboard& clip);

}  // namespace terrafix
