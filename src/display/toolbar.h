// The title lines, the menu line with its squares, the option boxes, the tile
// palette, the current-tile box and the two readout lines.
#pragma once

#include <cstdint>
#include <span>
#include <string>

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
// The slices and the pointer; with a box, its extent on row 3 past the
// pointer's: "box 10..40 x 5..20 x 0..63: 31 x 16 x 64 = 31,744".
void PrintReadouts(const EditorState& state);

// A tile as messages name it: the palette's label, or "tile 163".
std::string TileName(TileId tile);

}  // namespace terrafix
