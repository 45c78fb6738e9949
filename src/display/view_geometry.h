// Where the views stand on the screen, shared by the drawing and the hit
// tests of painting, picking and filling. Positions are in cells of Zoom
// pixels from the views' origin.
#pragma once

#include <cstddef>
#include <cstdint>

#include "level/editor_state.h"
#include "platform/screen/screen.h"

namespace terrafix {

constexpr int32_t LayoutTopAndSides = 1;
constexpr int32_t LayoutTop = 2;
constexpr int32_t LayoutSides = 3;

constexpr int32_t SideViewShiftInLayout1 = 260;  // cell columns from the origin to the side views
constexpr int32_t SideViewBFirstRow = 70;        // cell rows from the origin to side view B

inline bool ShowsTopView(int32_t viewMode) { return viewMode != LayoutSides; }
inline bool ShowsSideViews(int32_t viewMode) { return viewMode == LayoutTopAndSides || viewMode == LayoutSides; }
inline int32_t SideViewShift(int32_t viewMode) { return viewMode == LayoutTopAndSides ? SideViewShiftInLayout1 : 0; }

// A cell of a view by its place in the view's plane: H across (x in the top
// view and side view B, y in side view A), V the other way (y in the top
// view, the height z in the side views).
struct ViewCell {
  SliceView View = SliceView::None;
  int32_t H = 0;
  int32_t V = 0;
};

// The view cell whose box covers pixel (x, y); View None over anything else.
// The top view is tried first, then side view A, then B.
ViewCell ViewCellAt(const EditorState& state, int32_t x, int32_t y);

// The cell of `view` nearest to pixel (x, y): the one under it, or the one on
// the view's edge where the pixel lies outside the view.
ViewCell NearestCellOf(const EditorState& state, SliceView view, int32_t x, int32_t y);

// The pixels of a view cell's box.
PixelRect PixelsOfCell(const EditorState& state, const ViewCell& cell);

// The grid cell that a view cell shows: in the top view's layer or a side
// view's plane as they are now.
size_t GridIndexOf(const EditorState& state, const ViewCell& cell);

}  // namespace terrafix
