// The cells of the level-file region moved between the grid, which keeps the
// heights of a column side by side, and a copy in the order of a level file:
// rows of 256 along x, then y, then z, one byte a cell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "level/level_grid.h"

namespace terrafix {

constexpr size_t FileOrderLength = size_t{LevelWidth} * LevelWidth * LevelHeight;

// The offset of cell (x, y, z) in the copy.
constexpr size_t FileOrderIndex(int x, int y, int z) {
  return (static_cast<size_t>(z) * LevelWidth + static_cast<size_t>(y)) * LevelWidth + static_cast<size_t>(x);
}

// Each cell's low byte into `cells` (FileOrderLength bytes).
void GridToFileOrder(const LevelGrid& grid, std::span<uint8_t> cells);

// Every byte of `cells` (FileOrderLength bytes), zero-extended, into the grid.
void FileOrderToGrid(std::span<const uint8_t> cells, LevelGrid& grid);

}  // namespace terrafix
