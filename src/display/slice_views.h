// The slice views: the top view of plane z = Layer and the side views of the
// planes x = SliceX (A) and y = SliceY (B), each cell in its tile's colour, an
// air cell showing the next plane dimmed, and an optional cell grid.
#pragma once

#include "level/editor_state.h"
#include "level/level.h"
#include "platform/screen/screen.h"

namespace terrafix {

// Draws the views that ViewMode selects into the frame.
// Every pixel of each view's area is written, black for air with nothing
// behind it, so the screen under the views need not be cleared first.
void DrawViews(const EditorState& state, const Level& level);

// The colour of a rectangle fill's outline: no tile's, at either shade.
constexpr uint32_t FillOutlineColour = 0xFFFF00FF;

// While a rectangle fill is under way, its outline: one pixel wide around
// the rectangle's cells as far as its view shows them, in FillOutlineColour.
void DrawFillOutline(const EditorState& state, const Level& level);

// The colour of the box's outline: no tile's, at either shade, nor the fill's.
constexpr uint32_t BoxOutlineColour = 0xFF00FFFF;

// The box, outlined one pixel wide around its cells in every view whose
// slice crosses it, as far as the view shows them, in BoxOutlineColour.
void DrawBoxOutline(const EditorState& state, const Level& level);

// The areas that DrawViews writes whole for this state, within the frame; returns how many (up to 3).
int ViewAreas(const EditorState& state, const Level& level, PixelRect areas[3]);

}  // namespace terrafix
