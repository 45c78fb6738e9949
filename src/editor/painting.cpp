#include "editor/painting.h"

#include "display/view_geometry.h"
#include "level/floor_divide.h"

namespace terrafix {

namespace {

bool InLevel(int32_t horizontal, int32_t z) {
  return horizontal >= 0 && horizontal < LevelWidth && z >= 0 && z < LevelHeight;
}

}  // namespace

void PaintAtPointer(const EditorState& s, LevelGrid& grid) {
  // The cell column and row under the pointer, counted from the views' origin.
  const int32_t c = FloorDivide(s.MouseX - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(s.MouseY - s.ViewOriginY, s.Zoom);
  if (ShowsTopView(s.ViewMode) && c >= 0 && c < LevelWidth && r >= 0 && r < LevelWidth) {
    WriteCell(grid, c, r, s.Layer, s.CurrentTile);
  }
  if (!ShowsSideViews(s.ViewMode)) return;
  const int32_t h = c - SideViewShift(s.ViewMode);
  if (int32_t z = LevelHeight - 1 - r; InLevel(h, z)) {
    WriteCell(grid, s.SliceX, h, z, s.CurrentTile);
  } else if (int32_t zb = SideViewBFirstRow + LevelHeight - 1 - r; InLevel(h, zb)) {
    WriteCell(grid, h, s.SliceY, zb, s.CurrentTile);
  }
}

}  // namespace terrafix
