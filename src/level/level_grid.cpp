#include "level/level_grid.h"

#include <algorithm>

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

}  // namespace

void LayNewTerrain(LevelGrid& grid) {
  FillHeights(grid, 0, LevelHeight - 1, Air);
  FillHeights(grid, 0, 25, Stone);
  FillHeights(grid, 31, 31, Grass);
  FillHeights(grid, 26, 30, Dirt);
}

}  // namespace terrafix
