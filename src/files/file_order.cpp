// A column of the grid holds the 64 heights of one (x, y) side by side; in
// file order the same cells lie a layer (64 KiB) apart, and writing a column
// straight across would touch 64 cache lines that all compete for the same
// few places in the cache. So the moves go a tile at a time through a small
// buffer: the 64 heights of 64 neighbouring columns along x, so that each
// layer's part of the tile is 64 bytes side by side in the copy, one cache
// line that moves in one piece.
#include "files/file_order.h"

#include <array>
#include <cstring>

namespace terrafix {

namespace {

constexpr int TileWidth = 64;  // columns along x
using Tile = std::array<std::array<uint8_t, TileWidth>, LevelHeight>;  // [z][x]
static_assert(LevelWidth % TileWidth == 0);

}  // namespace

void GridToFileOrder(const LevelGrid& grid, std::span<uint8_t> cells) {
  Tile tile;
  for (int y = 0; y < LevelWidth; ++y) {
    for (int x0 = 0; x0 < LevelWidth; x0 += TileWidth) {
      const TileId* column = grid.Cells.data() + CellIndex(x0, y, 0);
      constexpr size_t NextColumn = CellIndex(1, 0, 0);
      for (int z = 0; z < LevelHeight; ++z) {
        for (int k = 0; k < TileWidth; ++k) tile[z][k] = static_cast<uint8_t>(column[k * NextColumn + z]);
      }
      for (int z = 0; z < LevelHeight; ++z) std::memcpy(cells.data() + FileOrderIndex(x0, y, z), tile[z].data(), TileWidth);
    }
  }
}

void FileOrderToGrid(std::span<const uint8_t> cells, LevelGrid& grid) {
  Tile tile;
  for (int y = 0; y < LevelWidth; ++y) {
    for (int x0 = 0; x0 < LevelWidth; x0 += TileWidth) {
      for (int z = 0; z < LevelHeight; ++z) std::memcpy(tile[z].data(), cells.data() + FileOrderIndex(x0, y, z), TileWidth);
      for (int k = 0; k < TileWidth; ++k) {
        TileId* column = grid.Cells.data() + CellIndex(x0 + k, y, 0);
        for (int z = 0; z < LevelHeight; ++z) column[z] = tile[z][k];
      }
    }
  }
}

}  // namespace terrafix
