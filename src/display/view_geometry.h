// Where the views stand on the screen, shared by the drawing and the hit
// tests of painting, picking and filling. Positions are in cells of Zoom
// pixels from the views' origin.
//
// A view shows at most 256 cells along x and y and 64 up: all of a level no
// larger, placed as for a level of 256 x 256 x 64 with the level's own
// extents in place of those; of a larger level the part from the pan
// (EditorState's PanX, PanY, PanZ), the side views the same x and y as the
// top view.
#pragma once

#include <cstddef>
#include <cstdint>

#include "level/editor_state.h"
#include "level/level.h"
#include "platform/screen/screen.h"

namespace terrafix {

constexpr int32_t LayoutTopAndSides = 1;
constexpr int32_t LayoutTop = 2;
constexpr int32_t LayoutSides = 3;

constexpr int32_t ViewCellsAcross = 256;  // the most cells a view shows along x or y
constexpr int32_t ViewCellsUp = 64;       // and up
constexpr int32_t SideViewGap = 4;        // cell columns between the top view and the side views in layout 1
constexpr int32_t SideViewBGap = 6;       // cell rows from side view A's first to below it, past its cells

inline bool ShowsTopView(int32_t viewMode) { return viewMode != LayoutSides; }
inline bool ShowsSideViews(int32_t viewMode) { return viewMode == LayoutTopAndSides || viewMode == LayoutSides; }

// The part of the level the views show.
struct ShownPart {
  int32_t FirstX = 0, FirstY = 0, FirstZ = 0;
  int32_t CountX = 0, CountY = 0, CountZ = 0;
};
ShownPart PartShown(const EditorState& state, const Level& level);

// Cell columns from the origin to the side views, and cell rows to side view B.
int32_t SideViewShift(const EditorState& state, const ShownPart& part);
int32_t SideViewBFirstRow(const ShownPart& part);

// A cell of a view by its place in the level: H across (x in the top view
// and side view B, y in side view A), V the other way (y in the top view,
// the height z in the side views).
struct ViewCell {
  SliceView View = SliceView::None;
  int32_t H = 0;
  int32_t V = 0;
};

// The view cell whose box covers pixel (x, y); View None over anything else.
// The top view is tried first, then side view A, then B.
ViewCell ViewCellAt(const EditorState& state, const Level& level, int32_t x, int32_t y);

// The cell of `view` shown nearest to pixel (x, y): the one under it, or the
// one on the view's edge where the pixel lies outside the view.
ViewCell NearestCellOf(const EditorState& state, const Level& level, SliceView view, int32_t x, int32_t y);

// The same cell held within the part shown.
ViewCell ShownCellNearest(const EditorState& state, const Level& level, const ViewCell& cell);

// The pixels of a view cell's box (outside the view for a cell not shown).
PixelRect PixelsOfCell(const EditorState& state, const Level& level, const ViewCell& cell);

// The level cell that a view cell shows: in the top view's layer or a side
// view's plane as they are now.
size_t CellIndexOf(const EditorState& state, const Level& level, const ViewCell& cell);

// Slices and pans held within the level (after a Load, New or undo of one).
void FitStateToLevel(EditorState& state, const Level& level);
// The part shown moved along one axis so that the slice of that axis
// (SliceX, SliceY or Layer) is in it, after a slice key moved it.
void BringSliceIntoView(EditorState& state, const Level& level, int32_t EditorState::*slice);

}  // namespace terrafix
