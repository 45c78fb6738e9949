#include "editor/selection.h"

#include <algorithm>

#include "display/view_geometry.h"

namespace terrafix {

namespace {

constexpr int32_t LeftButton = 1, NoButton = 0, Unreadable = -1;

// The box from the selection's press to `to`, the third axis as the box had it.
void SelectTo(EditorState& s, const Level& level, const ViewCell& to) {
  CellBox box = s.Box;
  if (!s.BoxShown) {  // the third axis: the view's slice
    const int32_t layer = std::min(s.Layer, level.Height - 1);  // (not the plane above the top)
    box = {s.SliceX, s.SliceY, layer, s.SliceX, s.SliceY, layer};
  }
  const int32_t h0 = std::min(s.SelectFromH, to.H), h1 = std::max(s.SelectFromH, to.H);
  const int32_t v0 = std::min(s.SelectFromV, to.V), v1 = std::max(s.SelectFromV, to.V);
  switch (s.SelectView) {
    case SliceView::Top: box.X0 = h0, box.X1 = h1, box.Y0 = v0, box.Y1 = v1; break;
    case SliceView::SideA: box.Y0 = h0, box.Y1 = h1, box.Z0 = v0, box.Z1 = v1; break;
    default: box.X0 = h0, box.X1 = h1, box.Z0 = v0, box.Z1 = v1; break;
  }
  SetBox(s, box);
  FitBoxToLevel(s, level);
}

}  // namespace

bool HandleSelection(EditorState& s, const Level& level, int32_t previousButtons) {
  const int32_t buttons = s.MouseButtons;
  if (s.SelectView != SliceView::None) {
    if (buttons == Unreadable) return true;  // the pointer is away: the drag goes on as it was
    SelectTo(s, level, NearestCellOf(s, level, s.SelectView, s.MouseX, s.MouseY));
    if (buttons & LeftButton) return true;
    s.SelectView = SliceView::None;  // released: the box is set
    return false;
  }
  if (previousButtons > NoButton || buttons != LeftButton || !s.MouseSelect) return false;  // (unreadable before: a press)
  const ViewCell cell = ViewCellAt(s, level, s.MouseX, s.MouseY);
  if (cell.View == SliceView::None) return false;
  s.SelectView = cell.View;
  s.SelectFromH = cell.H;
  s.SelectFromV = cell.V;
  SelectTo(s, level, cell);
  return true;
}

void SetBox(EditorState& s, const CellBox& box) {
  s.BoxShown = 1;
  s.Box = box;
}

void ClearBox(EditorState& s) {
  s.BoxShown = 0;
  s.Box = {};
}

void FitBoxToLevel(EditorState& s, const Level& level) {
  if (s.BoxShown && !IntersectBoxes(s.Box, WholeLevel(level), s.Box)) ClearBox(s);
}

CellBox BoxOrLevel(const EditorState& s, const Level& level) { return s.BoxShown ? s.Box : WholeLevel(level); }

}  // namespace terrafix
