#include "display/toolbar.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string_view>

#include "display/tile_colours.h"
#include "platform/screen/screen.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

using enum ToolbarAction;
constexpr TileId NoTile = 0;
constexpr TileId AirSwatchTile = 19;  // air has no colour of its own; its box shows white

constexpr std::array<ToolbarBox, 23> Boxes = {{
    {312, 0, 318, 6, NewLevel, 0, NoTile},
    {361, 0, 367, 6, Load, 0, NoTile},
    {416, 0, 422, 6, Save, 0, NoTile},
    {472, 0, 479, 6, Quit, 0, NoTile},
    {800, 440, 807, 446, SetViewMode, 2, NoTile},
    {848, 440, 855, 446, SetViewMode, 1, NoTile},
    {976, 440, 983, 446, SetViewMode, 3, NoTile},
    {800, 448, 807, 454, SetZoom, 1, NoTile},
    {880, 448, 887, 454, SetZoom, 2, NoTile},
    {960, 448, 967, 454, SetZoom, 3, NoTile},
    {984, 456, 991, 462, ToggleGrid, 0, NoTile},
    {800, 464, 807, 470, SetTile, 0, AirSwatchTile},
    {800, 472, 807, 478, SetTile, 1, 1},
    {800, 480, 807, 486, SetTile, 2, 2},
    {800, 488, 807, 494, SetTile, 3, 3},
    {800, 496, 807, 502, SetTile, 4, 4},
    {800, 504, 807, 510, SetTile, 5, 5},
    {800, 512, 807, 518, SetTile, 8, 8},
    {800, 520, 807, 526, SetTile, 10, 10},
    {800, 528, 807, 534, SetTile, 12, 12},
    {800, 536, 807, 542, SetTile, 13, 13},
    {800, 544, 807, 550, SetTile, 17, 17},
    {800, 552, 807, 558, SetTile, 18, 18},
}};

constexpr size_t FirstLayoutBox = 4, FirstZoomBox = 7, GridBox = 10, FirstPaletteBox = 11;

constexpr std::string_view TitleLines[] = {
    "Terrafix v0.5",
    "Slice editor by the Terrafix authors",
    "Made in 2026 by the Terrafix authors.",
};
static_assert(TitleLines[1].size() == 36 && TitleLines[2].size() == 37);

constexpr std::string_view PaletteLabels[] = {"air",  "stone", "grass", "dirt",   "darker stones", "wood",
                                              "water", "lava", "sand",  "gravel", "tree wood",     "plant"};
constexpr int FirstPaletteRow = 59;
constexpr int PaletteLabelColumn = 102;
constexpr int ReadoutColumn = 40;
constexpr int BoxReadoutColumn = 66;  // past the pointer's readouts

void DrawToolbarBox(const ToolbarBox& b) {
  DrawBox(static_cast<float>(b.Left), static_cast<float>(b.Top), static_cast<float>(b.Right),
          static_cast<float>(b.Bottom), ToolbarBoxColour(b), true);
}

void DrawBoxes(size_t first, size_t count) {
  for (size_t i = first; i < first + count; ++i) DrawToolbarBox(Boxes[i]);
}

void WriteLine(int32_t row, int32_t column, std::string_view text) {
  SetTextCursor(row, column);
  PrintText(text, PrintEnding::LineBreak);
}

}  // namespace

std::span<const ToolbarBox> ToolbarBoxes() { return Boxes; }

uint32_t ToolbarBoxColour(const ToolbarBox& box) {
  return box.Action == SetTile ? TileColour(box.ColourTile, 1) : BoxRed;
}

bool BoxContains(const ToolbarBox& box, int32_t x, int32_t y) {
  return box.Left <= x && x <= box.Right && box.Top <= y && y <= box.Bottom;
}

void PrintTitle() {
  SetTextCursor(1, 1);
  for (std::string_view line : TitleLines) PrintText(line, PrintEnding::LineBreak);
}

void DrawToolbar(const EditorState& state) {
  WriteLine(1, 40, " New   Load   Save   Quit");
  DrawBoxes(0, MenuSquareCount);
  WriteLine(56, 101, " top   top and sides   sides");
  DrawBoxes(FirstLayoutBox, 3);
  WriteLine(57, 101, " zoom x1   zoom x2   zoom x3");
  DrawBoxes(FirstZoomBox, 3);
  WriteLine(58, 124, " grid");
  DrawBoxes(GridBox, 1);
  // Each label is written before the box of the next entry: a box drawn
  // first would be painted over by the text of its row.
  DrawToolbarBox(Boxes[FirstPaletteBox]);
  for (size_t i = 0; i < std::size(PaletteLabels); ++i) {
    WriteLine(FirstPaletteRow + static_cast<int32_t>(i), PaletteLabelColumn, PaletteLabels[i]);
    if (i + 1 < std::size(PaletteLabels)) DrawToolbarBox(Boxes[FirstPaletteBox + i + 1]);
  }
  WriteLine(72, 101, " current tile:");
  DrawBox(912, 568, 919, 574, TileColour(state.CurrentTile, 1), true);
}

void PrintReadouts(const EditorState& state) {
  SetTextCursor(2, ReadoutColumn);
  PrintText("", PrintEnding::NextZone);
  PrintText("x:", PrintEnding::None);
  PrintNumber(state.SliceX, PrintEnding::NextZone);
  PrintText("y:", PrintEnding::None);
  PrintNumber(state.SliceY, PrintEnding::NextZone);
  PrintText("z:", PrintEnding::None);
  PrintNumber(state.Layer, PrintEnding::LineBreak);
  SetTextCursor(3, ReadoutColumn);
  PrintText("", PrintEnding::NextZone);
  PrintText("mx:", PrintEnding::None);
  PrintNumber(state.MouseX, PrintEnding::NextZone);
  PrintText("my:", PrintEnding::None);
  PrintNumber(state.MouseY, PrintEnding::LineBreak);
  if (!state.BoxShown) return;
  const CellBox& b = state.Box;
  std::string box = "box " + std::to_string(b.X0) + ".." + std::to_string(b.X1) + " x " + std::to_string(b.Y0) +
                    ".." + std::to_string(b.Y1) + " x " + std::to_string(b.Z0) + ".." + std::to_string(b.Z1) + ": " +
                    std::to_string(BoxWidth(b)) + " x " + std::to_string(BoxLength(b)) + " x " +
                    std::to_string(BoxHeight(b)) + " = " + WithThousands(BoxCells(b));
  box.resize(std::min(box.size(), static_cast<size_t>(TextColumns - BoxReadoutColumn + 1)));  // within the row
  SetTextCursor(3, BoxReadoutColumn);
  PrintText(box, PrintEnding::None);
}

std::string TileName(TileId tile) {
  for (size_t i = 0; i < std::size(PaletteLabels); ++i) {
    if (Boxes[FirstPaletteBox + i].Value == tile) return std::string(PaletteLabels[i]);
  }
  return "tile " + std::to_string(tile);
}

}  // namespace terrafix
