// Where the views stand on the screen, shared by the drawing and the painting
// hit test. Positions are in cells of Zoom pixels from the views' origin.
#pragma once

#include <cstdint>

namespace terrafix {

constexpr int32_t LayoutTopAndSides = 1;
constexpr int32_t LayoutTop = 2;
constexpr int32_t LayoutSides = 3;

constexpr int32_t SideViewShiftInLayout1 = 260;  // cell columns from the origin to the side views
constexpr int32_t SideViewBFirstRow = 70;        // cell rows from the origin to side view B

inline bool ShowsTopView(int32_t viewMode) { return viewMode != LayoutSides; }
inline bool ShowsSideViews(int32_t viewMode) { return viewMode == LayoutTopAndSides || viewMode == LayoutSides; }
inline int32_t SideViewShift(int32_t viewMode) { return viewMode == LayoutTopAndSides ? SideViewShiftInLayout1 : 0; }

}  // namespace terrafix
