// The moves between the grid and the file's order: every cell of the level's
// region at its place, as its low byte, and nothing outside the region touched.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "files/file_order.h"

namespace terrafix {
namespace {

TEST(FileOrder, RoundTripPutsEveryCellAtItsPlace) {
  auto level = std::make_unique<LevelGrid>();
  std::mt19937 random(7);
  for (TileId& cell : level->Cells) cell = static_cast<TileId>(random() % 256);
  WriteCell(*level, 4, 5, 6, 300);  // only its low byte reaches the file order
  WriteCell(*level, 255, 0, 63, -1);
  std::vector<uint8_t> cells(FileOrderLength);
  GridToFileOrder(*level, cells);
  EXPECT_EQ(cells[(6 * 256 + 5) * 256 + 4], 300 % 256);
  EXPECT_EQ(cells[(63 * 256 + 0) * 256 + 255], 255);
  size_t misplaced = 0;
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        misplaced += cells[(static_cast<size_t>(z) * 256 + y) * 256 + x] != static_cast<uint8_t>(ReadCell(*level, x, y, z));
  EXPECT_EQ(misplaced, 0u);

  auto back = std::make_unique<LevelGrid>();
  for (TileId& cell : back->Cells) cell = 77;  // what lies outside the region stays
  FileOrderToGrid(cells, *back);
  size_t wrong = 0;
  for (int x = 0; x < 257; ++x)
    for (int y = 0; y < 257; ++y)
      for (int z = 0; z < 65; ++z) {
        const bool inRegion = x < 256 && y < 256 && z < 64;
        const TileId expected = inRegion ? static_cast<uint8_t>(ReadCell(*level, x, y, z)) : 77;
        wrong += ReadCell(*back, x, y, z) != expected;
      }
  EXPECT_EQ(wrong, 0u);
}

}  // namespace
}  // namespace terrafix
