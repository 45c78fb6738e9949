// The right button's rectangle fill and the middle button's pick, through
// passes of the main loop on the in-memory surface.
#include <gtest/gtest.h>

#include <memory>

#include "display/slice_views.h"
#include "editor/fill_and_pick.h"
#include "editor/main_loop.h"
#include "memory_screen.h"
#include "platform/screen/key_codes.h"

namespace terrafix {
namespace {

constexpr int32_t Left = 1, Right = 2, Middle = 4;

struct Editor {
  EditorState State;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  HeaderTemplate Header;
  UndoHistory History;
  EditorWork Work;
  MemorySurface& Surface = testing::FreshScreen();

  void Pass(int32_t x, int32_t y, int32_t buttons) {
    Surface.Pointer = {x, y, buttons, 0, true, true};
    RunPass(State, *Grid, Header, History, Work);
  }
  // The pixel at the centre of a view cell.
  static int32_t At(int32_t origin, int32_t zoom, int32_t cell) { return origin + zoom * cell + zoom / 2; }
  // How many cells of the level hold `tile`.
  size_t Count(TileId tile) const { return static_cast<size_t>(std::count(Grid->Cells.begin(), Grid->Cells.end(), tile)); }
};

// A right drag on each view at zoom 1 and 3 fills the rectangle of its slice,
// and nothing else; the outline shows while the button is held; Ctrl+Z takes
// the whole fill back.
TEST(FillAndPick, RightDragFillsARectangleOnEachView) {
  struct Case {
    int32_t ViewMode, Zoom;
    int32_t FromColumn, FromRow, ToColumn, ToRow;  // cell columns and rows from the views' origin
    int FirstX, FirstY, FirstZ, LastX, LastY, LastZ;
  };
  // Side A is x = SliceX (3), side B is y = SliceY (5), the top view z = Layer (7).
  const Case cases[] = {
      {2, 1, 10, 20, 14, 22, 10, 20, 7, 14, 22, 7},                      // top view, dragged down and right
      {1, 3, 14, 22, 10, 20, 10, 20, 7, 14, 22, 7},                      // the same, dragged up and left
      {3, 1, 40, 63 - 2, 45, 63 - 6, 3, 40, 2, 3, 45, 6},                // side A: y 40..45, z 2..6
      {1, 3, 260 + 20, 70 + 63 - 10, 260 + 25, 70 + 63 - 12, 20, 5, 10, 25, 5, 12},  // side B
  };
  for (const Case& c : cases) {
    Editor e;
    e.State.ViewMode = c.ViewMode;
    e.State.Zoom = c.Zoom;
    e.State.SliceX = 3, e.State.SliceY = 5, e.State.Layer = 7;
    e.State.CurrentTile = 12;
    const int32_t fx = Editor::At(10, c.Zoom, c.FromColumn), fy = Editor::At(30, c.Zoom, c.FromRow);
    const int32_t tx = Editor::At(10, c.Zoom, c.ToColumn), ty = Editor::At(30, c.Zoom, c.ToRow);
    e.Pass(fx, fy, 0);
    e.Pass(fx, fy, Right);
    e.Pass(tx, ty, Right);
    e.Pass(tx, ty, Right);  // drawn with the pointer's cell
    // The outline's corners: the two cells' outer pixels.
    const int32_t left = 10 + c.Zoom * std::min(c.FromColumn, c.ToColumn);
    const int32_t right = 10 + c.Zoom * (std::max(c.FromColumn, c.ToColumn) + 1) - 1;
    const int32_t top = 30 + c.Zoom * std::min(c.FromRow, c.ToRow);
    const int32_t bottom = 30 + c.Zoom * (std::max(c.FromRow, c.ToRow) + 1) - 1;
    EXPECT_EQ(testing::PixelAt(left, top), FillOutlineColour);
    EXPECT_EQ(testing::PixelAt(right, bottom), FillOutlineColour);
    EXPECT_EQ(testing::PixelAt(left + 1, top + 1), 0xFF000000u);  // inside: the views as they are
    EXPECT_EQ(e.Count(12), 0u);  // nothing filled while held
    e.Pass(tx, ty, 0);
    const size_t cells = static_cast<size_t>((c.LastX - c.FirstX + 1) * (c.LastY - c.FirstY + 1) * (c.LastZ - c.FirstZ + 1));
    EXPECT_EQ(e.Count(12), cells);
    EXPECT_EQ(ReadCell(*e.Grid, c.FirstX, c.FirstY, c.FirstZ), 12);
    EXPECT_EQ(ReadCell(*e.Grid, c.LastX, c.LastY, c.LastZ), 12);
    EXPECT_EQ(e.State.FillView, SliceView::None);
    e.Pass(tx, ty, 0);
    EXPECT_NE(testing::PixelAt(left, top), FillOutlineColour);  // the outline has gone
    // One undo step.
    e.Surface.ScriptedKeys.push_back(KeyCtrlZ);
    e.Pass(tx, ty, 0);
    EXPECT_EQ(e.Count(12), 0u);
    e.Surface.ScriptedKeys.push_back(KeyCtrlY);
    e.Pass(tx, ty, 0);
    EXPECT_EQ(e.Count(12), cells);
  }
}

TEST(FillAndPick, TheRectangleIsHeldWithinItsViewAndFollowsTheSliceKeys) {
  Editor e;  // layout 1, zoom 3
  e.State.CurrentTile = 1;
  e.Pass(Editor::At(10, 3, 250), Editor::At(30, 3, 250), 0);
  e.Pass(Editor::At(10, 3, 250), Editor::At(30, 3, 250), Right);
  e.Pass(1040, 799, Right);  // past the top view's corner, over side view B
  EXPECT_EQ(e.State.FillToH, 255);
  EXPECT_EQ(e.State.FillToV, 255);
  e.Surface.ScriptedKeys.push_back('b');  // the layer goes up while held
  e.Pass(1040, 799, Right);
  e.Pass(1040, 799, 0);
  EXPECT_EQ(e.Count(1), 36u);
  EXPECT_EQ(ReadCell(*e.Grid, 255, 255, 1), 1);
  EXPECT_EQ(ReadCell(*e.Grid, 255, 255, 0), 0);
}

TEST(FillAndPick, ALeftPressCancelsAndPressesOutsideTheViewsDoNothing) {
  Editor e;
  e.State.CurrentTile = 1;
  e.Pass(100, 100, 0);
  e.Pass(100, 100, Right);
  e.Pass(200, 200, Right);
  e.Pass(200, 200, Right | Left);  // cancelled
  e.Pass(200, 200, Right);
  e.Pass(200, 200, 0);
  EXPECT_EQ(e.Count(1), 0u);
  EXPECT_TRUE(e.History.Steps.empty());
  // A right press on the toolbar, dragged onto a view: nothing.
  e.Pass(900, 600, 0);
  e.Pass(900, 600, Right);
  e.Pass(100, 100, Right);
  e.Pass(100, 100, 0);
  EXPECT_EQ(e.Count(1), 0u);
  EXPECT_EQ(e.State.GridVisible, 0);
}

TEST(FillAndPick, MiddlePressPicksTheCellsValue) {
  Editor e;
  WriteCell(*e.Grid, 5, 6, 0, 201);  // a tile the palette lacks, as a loaded level has
  e.Pass(Editor::At(10, 3, 5), Editor::At(30, 3, 6), 0);
  e.Pass(Editor::At(10, 3, 5), Editor::At(30, 3, 6), Middle);
  EXPECT_EQ(e.State.CurrentTile, 201);
  e.Pass(Editor::At(10, 3, 5), Editor::At(30, 3, 6), 0);
  e.Pass(Editor::At(10, 3, 9), Editor::At(30, 3, 9), Left);  // paints the picked tile
  EXPECT_EQ(ReadCell(*e.Grid, 9, 9, 0), 201);
  e.Pass(900, 600, 0);
  e.Pass(900, 600, Middle);  // over no view cell: nothing
  EXPECT_EQ(e.State.CurrentTile, 201);
  EXPECT_EQ(e.History.Steps.size(), 1u);  // the stroke that painted; the picks made none
}

// A fill's step is the cells it changed: many fills stay within the bound.
TEST(FillAndPick, FillsKeepTheHistoryWithinItsBound) {
  Editor e;
  e.History.Limit = 4 << 20;
  for (int i = 0; i < 20; ++i) {
    e.State.Layer = i % 64;
    FillRectangle(e.State, SliceView::Top, 0, 0, 255, 255, 1 + i % 2, *e.Grid, e.History);
    EXPECT_LE(e.History.Bytes, e.History.Limit);
  }
  EXPECT_GE(e.History.Steps.size(), 2u);
}

}  // namespace
}  // namespace terrafix
