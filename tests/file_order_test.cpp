// The moves between the grid and the file's order: a move into the grid
// taken up part way, after some slabs went in one band at a time, ends as the
// whole move does; and a round trip gives back the low bytes.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "files/file_order.h"

namespace terrafix {
namespace {

TEST(FileOrder, SlabsTakenUpPartWayEndAsTheWholeMove) {
  auto level = std::make_unique<LevelGrid>();
  std::mt19937 random(7);
  for (TileId& cell : level->Cells) cell = static_cast<TileId>(random() % 256);
  WriteCell(*level, 4, 5, 6, 300);  // only its low byte reaches the file order
  std::vector<uint8_t> cells(FileOrderLength);
  SharedMove toFile;
  SetUpMoveToFileOrder(toFile, *level, cells.data());
  MoveOnBothThreads(toFile);
  EXPECT_EQ(cells[(6 * 256 + 5) * 256 + 4], 300 % 256);

  auto whole = std::make_unique<LevelGrid>();
  SharedMove all;
  SetUpMoveFromFileOrder(all, cells.data(), *whole);
  MoveOnBothThreads(all);
  auto expected = std::make_unique<LevelGrid>(*level);
  WriteCell(*expected, 4, 5, 6, 300 % 256);
  for (int x = 0; x < 257; ++x)
    for (int y = 0; y < 257; ++y)
      for (int z = 0; z < 65; ++z) {
        if (x == 256 || y == 256 || z == 64) WriteCell(*expected, x, y, z, 0);  // outside the file: untouched
      }
  EXPECT_TRUE(whole->Cells == expected->Cells);

  const int partCount = SlabCount * BandCount;
  for (int firstPart : {0, 1, BandCount + 3, partCount - 1, partCount}) {
    auto grid = std::make_unique<LevelGrid>();
    for (int part = 0; part < firstPart; ++part) MoveSlabBand(cells.data(), *grid, part / BandCount, part % BandCount);
    SharedMove rest;
    SetUpSlabsFromFileOrder(rest, cells.data(), *grid, firstPart);
    MoveOnBothThreads(rest);
    EXPECT_TRUE(grid->Cells == whole->Cells) << "taken up at part " << firstPart;
  }
}

}  // namespace
}  // namespace terrafix
