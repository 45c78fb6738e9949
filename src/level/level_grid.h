// The level in memory: tile numbers over x 0..256, y 0..256, z 0..64, of which
// x, y 0..255 and z 0..63 are the part that level files hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace terrafix {

using TileId = int32_t;

constexpr int GridExtentX = 257;
constexpr int GridExtentY = 257;
constexpr int GridExtentZ = 65;
constexpr int LevelWidth = 256;   // x and y of the level-file region: 0..255
constexpr int LevelHeight = 64;   // z of the level-file region: 0..63
constexpr int TopLayer = 64;      // the extra plane, shown and painted but never saved

struct LevelGrid {
  // z varies fastest, then y, then x. Every cell starts as air.
  std::vector<TileId> Cells = std::vector<TileId>(size_t{GridExtentX} * GridExtentY * GridExtentZ, 0);
};

constexpr size_t CellIndex(int x, int y, int z) {
  return (static_cast<size_t>(x) * GridExtentY + static_cast<size_t>(y)) * GridExtentZ + static_cast<size_t>(z);
}

inline TileId ReadCell(const LevelGrid& grid, int x, int y, int z) { return grid.Cells[CellIndex(x, y, z)]; }
inline void WriteCell(LevelGrid& grid, int x, int y, int z, TileId tile) { grid.Cells[CellIndex(x, y, z)] = tile; }

// Replaces the level-file region with the terrain of a new level: stone up to
// z 25, dirt 26..30, grass at 31, air above.
void LayNewTerrain(LevelGrid& grid);

}  // namespace terrafix
