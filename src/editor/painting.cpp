#include "editor/painting.h"

#include "display/view_geometry.h"
#include "level/floor_divide.h"

namespace terrafix {

namespace {

bool InLevel(int32_t horizontal, int32_t z) {
  return horizontal >= 0 && horizontal < LevelWidth && z >= 0 && z < LevelHeight;
}


void Paint(LevelGrid& grid, UndoHistory& history, int x, int y, int z, TileId tile) {
  const size_t index = CellIndex(x, y, z);
  if (grid.Cells[index] == tile) return;
  RecordPaint(history, index, grid.Cells[index]);
  grid.Cells[index] = tile;
}

}  // namespace

void PaintAtPointer(const EditorState& s, LevelGrid& grid, UndoHistory& history) {
  // The cell column and row under the pointer, counted from the views' origin.
  const int32_t c = FloorDivide(s.MouseX - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(s.MouseY - s.ViewOriginY, s.Zoom);
  if (ShowsTopView(s.ViewMode) && c >= 0 && c < LevelWidth && r >= 0 && r < LevelWidth) {
    Paint(grid, history, c, r, s.Layer, s.CurrentTile);
  }
  if (!ShowsSideViews(s.ViewMode)) return;
  const int32_t h = c - SideViewShift(s.ViewMode);
  if (int32_t z = LevelHeight - 1 - r; InLevel(h, z)) {
    Paint(grid, history, s.SliceX, h, z, s.CurrentTile);
  } else if (int32_t zb = SideViewBFirstRow + LevelHeight - 1 - r; InLevel(h, zb)) {
    Paint(grid, history, h, s.SliceY, zb, s.CurrentTile);
  }
}

}  // namespace terrafix
