// The title lines, the menu line with its squares, the option boxes, the tile
// palette, the current-tile box and the two readout lines.
#pragma once

#include <cstdint>
#include <span>

#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

enum class ToolbarAction { NewLevel, Load, Save, Quit, SetViewMode, SetZoom, ToggleGrid, SetTile };

// A clickable box; both corners inside. Menu squares and option boxes are
// BoxRed, palette boxes show ColourTile at full strength.
struct ToolbarBox {
  int32_t Left, Top, Right, Bottom;
  ToolbarAction Action;
  int32_t Value;       // the layout, zoom or tile chosen
  TileId ColourTile;   // palette boxes only
};

// The 23 boxes: the four menu squares first, then the nineteen option and
// palette boxes in the order a click tests them.
std::span<const ToolbarBox> ToolbarBoxes();
constexpr size_t MenuSquareCount = 4;
uint32_t ToolbarBoxColour(const ToolbarBox& box);
bool BoxContains(const ToolbarBox& box, int32_t x, int32_t y);

void PrintTitle();
void DrawToolbar(const EditorState& state);
void PrintReadouts(const EditorState& state);

}  // namespace terrafix
