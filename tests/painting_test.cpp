#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <tuple>

#include "editor/painting.h"

namespace terrafix {
namespace {

using Cell = std::tuple<int, int, int>;

// The one cell a paint at (x, y) writes, if any.
std::optional<Cell> PaintedCell(int32_t viewMode, int32_t zoom, int32_t x, int32_t y) {
  static auto grid = std::make_unique<Level>();
  std::fill(grid->Cells.begin(), grid->Cells.end(), 0);
  std::fill(grid->TopPlane.begin(), grid->TopPlane.end(), 0);
  EditorState s;
  s.ViewMode = viewMode;
  s.Zoom = zoom;
  s.SliceX = 7;
  s.SliceY = 9;
  s.Layer = 64;
  s.CurrentTile = 5;
  s.MouseX = x;
  s.MouseY = y;
  UndoHistory history;
  PaintAtPointer(s, *grid, history);
  std::optional<Cell> found;
  for (int cx = 0; cx < grid->Width; ++cx)
    for (int cy = 0; cy < grid->Length; ++cy)
      for (int cz = 0; cz <= grid->Height; ++cz)
        if (ReadCell(*grid, cx, cy, cz) != 0) {
          EXPECT_FALSE(found) << "more than one cell painted";
          found = Cell{cx, cy, cz};
        }
  return found;
}

TEST(Painting, HitTestIsTheInverseOfTheCellPlacement) {
  struct Case {
    int32_t ViewMode, Zoom, X, Y;
    std::optional<Cell> Expected;
  };
  const std::optional<Cell> none;
  const Case cases[] = {
      // Top view (layout 1 or 2) at zoom 3, the layer being 64.
      {2, 3, 10, 30, Cell{0, 0, 64}},
      {1, 3, 777, 797, Cell{255, 255, 64}},
      {2, 3, 9, 30, none},
      {2, 3, 778, 30, none},
      {2, 3, 10, 29, none},
      {2, 3, 12, 32, Cell{0, 0, 64}},
      {2, 3, 13, 33, Cell{1, 1, 64}},
      // Layout 3, zoom 1: side view A rows 30..93, B rows 100..163.
      {3, 1, 10, 30, Cell{7, 0, 63}},
      {3, 1, 265, 93, Cell{7, 255, 0}},
      {3, 1, 10, 94, none},
      {3, 1, 10, 99, none},
      {3, 1, 10, 100, Cell{0, 9, 63}},
      {3, 1, 10, 163, Cell{0, 9, 0}},
      {3, 1, 10, 164, none},
      {3, 1, 266, 50, none},
      // Layout 3, zoom 2: two pixel rows a height.
      {3, 2, 10, 30, Cell{7, 0, 63}},
      {3, 2, 10, 31, Cell{7, 0, 63}},
      {3, 2, 10, 32, Cell{7, 0, 62}},
      {3, 2, 10, 33, Cell{7, 0, 62}},
      {3, 2, 10, 156, Cell{7, 0, 0}},
      {3, 2, 10, 157, Cell{7, 0, 0}},
      // Layout 1, zoom 1: the side views begin at column 270.
      {1, 1, 266, 40, none},
      {1, 1, 269, 40, none},
      {1, 1, 270, 40, Cell{7, 0, 53}},
      {1, 1, 265, 40, Cell{255, 10, 64}},
      // Layout 1, zoom 3: side view cells 0..86 are within the window.
      {1, 3, 790, 30, Cell{7, 0, 63}},
      {1, 3, 1049, 30, Cell{7, 86, 63}},
      {1, 3, 1049, 240, Cell{86, 9, 63}},
      // Layout 2 has no side views; the title rows and the toolbar hold no cell.
      {2, 1, 270, 40, none},
      {3, 1, 312, 3, none},
      {1, 3, 803, 482, none},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PaintedCell(c.ViewMode, c.Zoom, c.X, c.Y), c.Expected)
        << "layout " << c.ViewMode << " zoom " << c.Zoom << " at " << c.X << "," << c.Y;
  }
}

}  // namespace
}  // namespace terrafix
