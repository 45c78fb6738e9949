#include "level/level_grid.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace terrafix {

namespace {

constexpr TileId Air = 0, Stone = 1, Grass = 2, Dirt = 3;

void FillHeights(LevelGrid& grid, int zFirst, int zLast, TileId tile) {
  for (int x = 0; x < LevelWidth; ++x) {
    for (int y = 0; y < LevelWidth; ++y) {
      TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
      std::fill(column + zFirst, column + zLast + 1, tile);
    }
  }
}

constexpr size_t LargePage = size_t{2} << 20;

}  // namespace

void* AllocateInLargePages(size_t bytes) {
  const size_t rounded = (bytes + LargePage - 1) / LargePage * LargePage;
  void* p = std::aligned_alloc(LargePage, rounded);
  if (!p) throw std::bad_alloc();
  madvise(p, rounded, MADV_HUGEPAGE);  // a hint; without large pages all works the same
  return p;
}

void LayNewTerrain(LevelGrid& grid) {
  FillHeights(grid, 0, LevelHeight - 1, Air);
  FillHeights(grid, 0, 25, Stone);
  FillHeights(grid, 31, 31, Grass);
  FillHeights(grid, 26, 30, Dirt);
}

}  // namespace terrafix
