#include "display/view_geometry.h"

#include <algorithm>

#include "level/floor_divide.h"
#include "level/level_grid.h"

namespace terrafix {

namespace {

// The cell row, counted from the views' top edge, of height z in a side view
// whose first cell row is `firstRow`; the same turns a row into a height.
int32_t SideRow(int32_t firstRow, int32_t z) { return firstRow + LevelHeight - 1 - z; }

int32_t FirstRowOf(SliceView view) { return view == SliceView::SideB ? SideViewBFirstRow : 0; }

bool InRange(int32_t v, int32_t count) { return v >= 0 && v < count; }

}  // namespace

ViewCell ViewCellAt(const EditorState& s, int32_t x, int32_t y) {
  const int32_t c = FloorDivide(x - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(y - s.ViewOriginY, s.Zoom);
  if (ShowsTopView(s.ViewMode) && InRange(c, LevelWidth) && InRange(r, LevelWidth)) return {SliceView::Top, c, r};
  if (!ShowsSideViews(s.ViewMode)) return {};
  const int32_t h = c - SideViewShift(s.ViewMode);
  if (!InRange(h, LevelWidth)) return {};
  for (SliceView view : {SliceView::SideA, SliceView::SideB}) {
    const int32_t z = SideRow(FirstRowOf(view), r);
    if (InRange(z, LevelHeight)) return {view, h, z};
  }
  return {};
}

ViewCell NearestCellOf(const EditorState& s, SliceView view, int32_t x, int32_t y) {
  const int32_t c = FloorDivide(x - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(y - s.ViewOriginY, s.Zoom);
  if (view == SliceView::Top) return {view, std::clamp(c, 0, LevelWidth - 1), std::clamp(r, 0, LevelWidth - 1)};
  const int32_t h = std::clamp(c - SideViewShift(s.ViewMode), 0, LevelWidth - 1);
  return {view, h, std::clamp(SideRow(FirstRowOf(view), r), 0, LevelHeight - 1)};
}

PixelRect PixelsOfCell(const EditorState& s, const ViewCell& cell) {
  const bool top = cell.View == SliceView::Top;
  const int32_t column = top ? cell.H : cell.H + SideViewShift(s.ViewMode);
  const int32_t row = top ? cell.V : SideRow(FirstRowOf(cell.View), cell.V);
  const int32_t left = s.ViewOriginX + s.Zoom * column, upper = s.ViewOriginY + s.Zoom * row;
  return {left, upper, left + s.Zoom - 1, upper + s.Zoom - 1};
}

size_t GridIndexOf(const EditorState& s, const ViewCell& cell) {
  switch (cell.View) {
    case SliceView::Top: return CellIndex(cell.H, cell.V, s.Layer);
    case SliceView::SideA: return CellIndex(s.SliceX, cell.H, cell.V);
    default: return CellIndex(cell.H, s.SliceY, cell.V);
  }
}

}  // namespace terrafix
