// The editor's state for the whole run, owned by the main loop.
#pragma once

#include <cstdint>

#include "level/cell_box.h"

namespace terrafix {

// The views a cell of the screen can belong to.
enum class SliceView : int32_t { None = 0, Top = 1, SideA = 2, SideB = 3 };

struct EditorState {
  int32_t ViewMode = 1;     // 1 top and sides, 2 top only, 3 sides only
  int32_t Zoom = 3;         // pixels on a cell's edge: 1, 2 or 3
  int32_t GridVisible = 0;  // 1: cell outlines drawn
  int32_t SliceX = 0;       // 0..width - 1, the plane of side view A
  int32_t SliceY = 0;       // 0..length - 1, the plane of side view B
  int32_t Layer = 0;        // 0..height, the plane of the top view (height: the plane above the top)
  int32_t CurrentTile = 0;  // what painting writes
  int32_t ClickLatch = 0;   // 1 while the press that made the last click is held
  int32_t MouseX = 0;       // the last mouse reading; all four -1 when unreadable
  int32_t MouseY = 0;
  int32_t MouseButtons = 0;
  int32_t MouseWheel = 0;
  int32_t MouseSelect = 0;  // 1 when Shift or Alt was held as the last reading's buttons changed
  int32_t ViewOriginX = 10;  // the pixel at the views' top-left corner
  int32_t ViewOriginY = 30;
  // Of a level larger than the views show, the first cell shown along x, y
  // and the height (the arrow keys and Page Up and Down move them).
  int32_t PanX = 0, PanY = 0, PanZ = 0;
  // A rectangle fill under way, while the right button is held: the view it
  // is on (None when there is none) and, in that view's plane, the cell of
  // the press and the cell under the pointer now (held within the part
  // shown), in the level's coordinates.
  SliceView FillView = SliceView::None;
  int32_t FillFromH = 0, FillFromV = 0;
  int32_t FillToH = 0, FillToV = 0;
  // The box (the selection): 1 while there is one, and its cells, within
  // the level's (never the plane above the top).
  int32_t BoxShown = 0;
  CellBox Box;
  // A selection under way, while the left button pressed with Shift or Alt
  // is held: the view it is on (None when there is none) and the cell of the
  // press in that view's plane.
  SliceView SelectView = SliceView::None;
  int32_t SelectFromH = 0, SelectFromV = 0;
  // The picture window: 1 while it is wanted (the key i), the quarter turns
  // of its view and its zoom (each step shows half as much, about the middle).
  int32_t PictureShown = 0;
  int32_t PictureTurn = 0;
  int32_t PictureZoom = 0;
};

}  // namespace terrafix
