#include <gtest/gtest.h>

#include "display/tile_colours.h"

namespace terrafix {
namespace {

TEST(TileColour, EveryRowAtBothShades) {
  struct Row {
    TileId Tile;
    uint32_t Full, Dimmed;
  };
  const Row rows[] = {
      {1, 0xFF7F7F7F, 0xFF3F3F3F},  {2, 0xFF00C800, 0xFF006400},  {3, 0xFFA06400, 0xFF503200},
      {4, 0xFF5A5A5A, 0xFF2D2D2D},  {5, 0xFFC89600, 0xFF644B00},  {8, 0xFF0000FF, 0xFF00007F},
      {9, 0xFF0000FF, 0xFF00007F},  {10, 0xFFFF0000, 0xFF7F0000}, {11, 0xFFFF0000, 0xFF7F0000},
      {12, 0xFFFFFF7F, 0xFF7F7F3F}, {13, 0xFFC8C8C8, 0xFF646464}, {14, 0xFF7F7F7F, 0xFF3F3F3F},
      {15, 0xFF7F7F7F, 0xFF3F3F3F}, {16, 0xFF7F7F7F, 0xFF3F3F3F}, {17, 0xFF643C00, 0xFF321E00},
      {18, 0xFF00FF00, 0xFF007F00}, {19, 0xFFFFFFFF, 0xFF7F7F7F},
      // Not in the table: opaque black, air included.
      {0, 0xFF000000, 0xFF000000},  {6, 0xFF000000, 0xFF000000},  {7, 0xFF000000, 0xFF000000},
      {20, 0xFF000000, 0xFF000000}, {255, 0xFF000000, 0xFF000000}, {256, 0xFF000000, 0xFF000000},
      {-1, 0xFF000000, 0xFF000000},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TileColour(r.Tile, 1), r.Full) << "tile " << r.Tile;
    EXPECT_EQ(TileColour(r.Tile, 2), r.Dimmed) << "tile " << r.Tile;
  }
}

}  // namespace
}  // namespace terrafix
