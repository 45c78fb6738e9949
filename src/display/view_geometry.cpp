#include "display/view_geometry.h"

#include <algorithm>

#include "level/floor_divide.h"

namespace terrafix {

namespace {

bool InRange(int32_t v, int32_t count) { return v >= 0 && v < count; }

// The first cell shown along an axis of `extent` cells of which `count` show.
int32_t First(int32_t pan, int32_t extent, int32_t count) { return std::clamp(pan, 0, extent - count); }

// A height's cell row in a side view whose first cell row is `firstRow`; the
// same turns a row into a height.
int32_t SideRow(const ShownPart& p, int32_t firstRow, int32_t z) { return firstRow + p.FirstZ + p.CountZ - 1 - z; }

int32_t FirstRowOf(SliceView view, const ShownPart& p) {
  return view == SliceView::SideB ? SideViewBFirstRow(p) : 0;
}

// The cells a view shows across: y in side view A, x in the others.
int32_t FirstAcross(SliceView view, const ShownPart& p) { return view == SliceView::SideA ? p.FirstY : p.FirstX; }
int32_t CountAcross(SliceView view, const ShownPart& p) { return view == SliceView::SideA ? p.CountY : p.CountX; }

}  // namespace

ShownPart PartShown(const EditorState& s, const Level& level) {
  ShownPart p;
  p.CountX = std::min(level.Width, ViewCellsAcross);
  p.CountY = std::min(level.Length, ViewCellsAcross);
  p.CountZ = std::min(level.Height, ViewCellsUp);
  p.FirstX = First(s.PanX, level.Width, p.CountX);
  p.FirstY = First(s.PanY, level.Length, p.CountY);
  p.FirstZ = First(s.PanZ, level.Height, p.CountZ);
  return p;
}

int32_t SideViewShift(const EditorState& s, const ShownPart& p) {
  return s.ViewMode == LayoutTopAndSides ? p.CountX + SideViewGap : 0;
}

int32_t SideViewBFirstRow(const ShownPart& p) { return p.CountZ + SideViewBGap; }

ViewCell ViewCellAt(const EditorState& s, const Level& level, int32_t x, int32_t y) {
  const ShownPart p = PartShown(s, level);
  const int32_t c = FloorDivide(x - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(y - s.ViewOriginY, s.Zoom);
  if (ShowsTopView(s.ViewMode) && InRange(c, p.CountX) && InRange(r, p.CountY)) {
    return {SliceView::Top, p.FirstX + c, p.FirstY + r};
  }
  if (!ShowsSideViews(s.ViewMode)) return {};
  const int32_t h = c - SideViewShift(s, p);
  for (SliceView view : {SliceView::SideA, SliceView::SideB}) {
    const int32_t z = SideRow(p, FirstRowOf(view, p), r);
    if (InRange(h, CountAcross(view, p)) && InRange(z - p.FirstZ, p.CountZ)) {
      return {view, FirstAcross(view, p) + h, z};
    }
  }
  return {};
}

ViewCell ShownCellNearest(const EditorState& s, const Level& level, const ViewCell& cell) {
  const ShownPart p = PartShown(s, level);
  if (cell.View == SliceView::Top) {
    return {cell.View, std::clamp(cell.H, p.FirstX, p.FirstX + p.CountX - 1),
            std::clamp(cell.V, p.FirstY, p.FirstY + p.CountY - 1)};
  }
  const int32_t first = FirstAcross(cell.View, p);
  return {cell.View, std::clamp(cell.H, first, first + CountAcross(cell.View, p) - 1),
          std::clamp(cell.V, p.FirstZ, p.FirstZ + p.CountZ - 1)};
}

ViewCell NearestCellOf(const EditorState& s, const Level& level, SliceView view, int32_t x, int32_t y) {
  const ShownPart p = PartShown(s, level);
  const int32_t c = FloorDivide(x - s.ViewOriginX, s.Zoom);
  const int32_t r = FloorDivide(y - s.ViewOriginY, s.Zoom);
  if (view == SliceView::Top) return ShownCellNearest(s, level, {view, p.FirstX + c, p.FirstY + r});
  return ShownCellNearest(s, level,
                          {view, FirstAcross(view, p) + c - SideViewShift(s, p), SideRow(p, FirstRowOf(view, p), r)});
}

PixelRect PixelsOfCell(const EditorState& s, const Level& level, const ViewCell& cell) {
  const ShownPart p = PartShown(s, level);
  const bool top = cell.View == SliceView::Top;
  const int32_t column = top ? cell.H - p.FirstX : cell.H - FirstAcross(cell.View, p) + SideViewShift(s, p);
  const int32_t row = top ? cell.V - p.FirstY : SideRow(p, FirstRowOf(cell.View, p), cell.V);
  const int32_t left = s.ViewOriginX + s.Zoom * column, upper = s.ViewOriginY + s.Zoom * row;
  return {left, upper, left + s.Zoom - 1, upper + s.Zoom - 1};
}

size_t CellIndexOf(const EditorState& s, const Level& level, const ViewCell& cell) {
  switch (cell.View) {
    case SliceView::Top: return CellIndex(level, cell.H, cell.V, s.Layer);
    case SliceView::SideA: return CellIndex(level, s.SliceX, cell.H, cell.V);
    default: return CellIndex(level, cell.H, s.SliceY, cell.V);
  }
}

void FitStateToLevel(EditorState& s, const Level& level) {
  s.SliceX = std::clamp(s.SliceX, 0, level.Width - 1);
  s.SliceY = std::clamp(s.SliceY, 0, level.Length - 1);
  s.Layer = std::clamp(s.Layer, 0, level.Height);
  const ShownPart p = PartShown(s, level);
  s.PanX = p.FirstX, s.PanY = p.FirstY, s.PanZ = p.FirstZ;
}

void BringSliceIntoView(EditorState& s, const Level& level, int32_t EditorState::*slice) {
  FitStateToLevel(s, level);
  const ShownPart p = PartShown(s, level);
  auto bring = [](int32_t& pan, int32_t at, int32_t count) {
    if (at < pan) pan = at;
    if (at >= pan + count) pan = at - count + 1;
  };
  if (slice == &EditorState::SliceX) bring(s.PanX, s.SliceX, p.CountX);
  if (slice == &EditorState::SliceY) bring(s.PanY, s.SliceY, p.CountY);
  // The plane above the top shows with the top layer.
  if (slice == &EditorState::Layer) bring(s.PanZ, std::min(s.Layer, level.Height - 1), p.CountZ);
  FitStateToLevel(s, level);
}

}  // namespace terrafix
