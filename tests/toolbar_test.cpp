#include <gtest/gtest.h>

#include "display/tile_colours.h"
#include "display/toolbar.h"
#include "editor/main_loop.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

using testing::PixelAt;
using testing::TextAt;

void DrawWith(const EditorState& s) {
  static Level grid;
  testing::FreshScreen();
  DrawPass(s, grid);
}

TEST(Toolbar, EveryBoxAtItsRectangleInItsColour) {
  struct Expected {
    int Left, Top, Right, Bottom;
    uint32_t Colour;
  };
  const Expected boxes[] = {
      {312, 0, 318, 6, BoxRed},        {361, 0, 367, 6, BoxRed},        {416, 0, 422, 6, BoxRed},
      {472, 0, 479, 6, BoxRed},        {800, 440, 807, 446, BoxRed},    {848, 440, 855, 446, BoxRed},
      {976, 440, 983, 446, BoxRed},    {800, 448, 807, 454, BoxRed},    {880, 448, 887, 454, BoxRed},
      {960, 448, 967, 454, BoxRed},    {984, 456, 991, 462, BoxRed},    {800, 464, 807, 470, 0xFFFFFFFF},
      {800, 472, 807, 478, 0xFF7F7F7F}, {800, 480, 807, 486, 0xFF00C800}, {800, 488, 807, 494, 0xFFA06400},
      {800, 496, 807, 502, 0xFF5A5A5A}, {800, 504, 807, 510, 0xFFC89600}, {800, 512, 807, 518, 0xFF0000FF},
      {800, 520, 807, 526, 0xFFFF0000}, {800, 528, 807, 534, 0xFFFFFF7F}, {800, 536, 807, 542, 0xFFC8C8C8},
      {800, 544, 807, 550, 0xFF643C00}, {800, 552, 807, 558, 0xFF00FF00},
  };
  ASSERT_EQ(ToolbarBoxes().size(), std::size(boxes));
  for (int32_t mode = 1; mode <= 3; ++mode) {  // no setting changes a colour
    EditorState s;
    s.ViewMode = mode;
    s.Zoom = mode;
    s.GridVisible = mode % 2;
    DrawWith(s);
    for (size_t i = 0; i < std::size(boxes); ++i) {
      const Expected& b = boxes[i];
      for (int y = b.Top; y <= b.Bottom; ++y)
        for (int x = b.Left; x <= b.Right; ++x) ASSERT_EQ(PixelAt(x, y), b.Colour) << "box " << i << " at " << x << "," << y;
      EXPECT_NE(PixelAt(b.Left, b.Bottom + 1), b.Colour) << "box " << i << ": the cell's eighth row stays free";
      EXPECT_NE(PixelAt(b.Right + 1, b.Top), b.Colour) << "box " << i;
    }
  }
}

TEST(Toolbar, TextsAtTheirRowsAndColumns) {
  EditorState s;
  DrawWith(s);
  EXPECT_EQ(TextAt(1, 1, 14), "Terrafix v0.5 ");
  EXPECT_EQ(TextAt(2, 1, 37), "Slice editor by the Terrafix authors ");
  EXPECT_EQ(TextAt(3, 1, 38), "Made in 2026 by the Terrafix authors. ");
  EXPECT_EQ(TextAt(1, 41, 24), "New   Load   Save   Quit");
  EXPECT_EQ(TextAt(56, 102, 27), "top   top and sides   sides");
  EXPECT_EQ(TextAt(57, 102, 27), "zoom x1   zoom x2   zoom x3");
  EXPECT_EQ(TextAt(58, 125, 4), "grid");
  const char* labels[] = {"air", "stone", "grass", "dirt", "darker stones", "wood",
                          "water", "lava", "sand", "gravel", "tree wood", "plant"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(TextAt(59 + i, 102, 13).substr(0, strlen(labels[i])), labels[i]);
  EXPECT_EQ(TextAt(72, 101, 14), " current tile:");
}

TEST(Toolbar, CurrentTileBoxShowsTheTile) {
  EditorState s;
  DrawWith(s);
  EXPECT_EQ(PixelAt(912, 568), 0xFF000000u);  // air: black on black
  EXPECT_EQ(PixelAt(800, 464), 0xFFFFFFFFu);  // while the air swatch is white
  s.CurrentTile = 17;
  DrawWith(s);
  EXPECT_EQ(PixelAt(912, 568), 0xFF643C00u);
  EXPECT_EQ(PixelAt(919, 574), 0xFF643C00u);
  EXPECT_EQ(PixelAt(920, 574), 0xFF000000u);
  EXPECT_EQ(PixelAt(919, 575), 0xFF000000u);
}

TEST(Readouts, LabelsStayInPlaceWhateverTheValues) {
  struct Case {
    int32_t SliceX, SliceY, Layer, MouseX, MouseY;
    const char* Row2;
    const char* Row3;
  };
  const Case cases[] = {
      {0, 0, 0, 0, 0, "   x: 0          y: 0          z: 0", "   mx: 0         my: 0"},
      {255, 255, 64, 1049, 799, "   x: 255        y: 255        z: 64", "   mx: 1049      my: 799"},
      {64, 7, 63, -1, -1, "   x: 64         y: 7          z: 63", "   mx:-1         my:-1"},
  };
  for (const Case& c : cases) {
    EditorState s;
    s.SliceX = c.SliceX;
    s.SliceY = c.SliceY;
    s.Layer = c.Layer;
    s.MouseX = c.MouseX;
    s.MouseY = c.MouseY;
    DrawWith(s);
    EXPECT_EQ(TextAt(2, 40, static_cast<int>(strlen(c.Row2)) + 1), std::string(c.Row2) + " ");
    EXPECT_EQ(TextAt(3, 40, static_cast<int>(strlen(c.Row3)) + 1), std::string(c.Row3) + " ");
  }
}

}  // namespace
}  // namespace terrafix
