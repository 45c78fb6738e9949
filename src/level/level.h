// The level in memory, one record: its size, its cells, the form it came in
// and the name it was last loaded or saved under. New, Load and the restore
// of kept work replace the whole record (and their undo steps bring the
// earlier one back whole); painting and fills change cells only.
//
// A level is Width cells along x, Length along y (the plan) and Height along
// z (up). Its cells lie as the level formats store them, x fastest, then y,
// then z, one byte each, so that Load and Save copy them as they are. Above
// the top lies one more plane (z = Height), shown and painted but never saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace terrafix {

using TileId = int32_t;

// The size of a new level.
constexpr int32_t NewLevelWidth = 256;
constexpr int32_t NewLevelLength = 256;
constexpr int32_t NewLevelHeight = 64;
// Every side of a level is 1 to this many cells.
constexpr int32_t LargestSide = 32767;

// What stands around the cells in the file the level came from.
struct LevelForm {
  enum class Kind { Template, GameLevel, ClassicWorld, ServerMap, Schematic };
  Kind Of = Kind::Template;      // Template: headers.dat's header and trailer, nothing of its own
  std::vector<uint8_t> Header;   // every byte of its file before the cells
  std::vector<uint8_t> Trailer;  // every byte after them
  size_t TimeOffset = 0;         // a world's LastModified, from the file's start; 0 for none
};

struct Level {
  int32_t Width = NewLevelWidth;
  int32_t Length = NewLevelLength;
  int32_t Height = NewLevelHeight;
  std::vector<uint8_t> Cells = std::vector<uint8_t>(size_t{NewLevelWidth} * NewLevelLength * NewLevelHeight);
  std::vector<uint8_t> TopPlane = std::vector<uint8_t>(size_t{NewLevelWidth} * NewLevelLength);  // z = Height
  LevelForm Form;
  std::string Name;  // empty for a level never loaded or saved
};

inline size_t PlanCells(const Level& level) { return static_cast<size_t>(level.Width) * static_cast<size_t>(level.Length); }

// A cell's place: its index in Cells, or past them in TopPlane for z = Height.
inline size_t CellIndex(const Level& level, int32_t x, int32_t y, int32_t z) {
  return static_cast<size_t>(z) * PlanCells(level) + static_cast<size_t>(y) * static_cast<size_t>(level.Width) +
         static_cast<size_t>(x);
}
inline uint8_t& CellAt(Level& level, size_t index) {
  return index < level.Cells.size() ? level.Cells[index] : level.TopPlane[index - level.Cells.size()];
}
inline uint8_t CellAt(const Level& level, size_t index) {
  return index < level.Cells.size() ? level.Cells[index] : level.TopPlane[index - level.Cells.size()];
}
inline TileId ReadCell(const Level& level, int32_t x, int32_t y, int32_t z) {
  return CellAt(level, CellIndex(level, x, y, z));
}
// A cell holds one byte: the tile's low byte.
inline void WriteCell(Level& level, int32_t x, int32_t y, int32_t z, TileId tile) {
  CellAt(level, CellIndex(level, x, y, z)) = static_cast<uint8_t>(tile);
}

// Whether a level of that size can be: every side 1..LargestSide.
bool IsLevelSize(int64_t width, int64_t length, int64_t height);

// The bytes a level of that size takes in memory (its cells and top plane).
uint64_t LevelMemory(int64_t width, int64_t length, int64_t height);

// Where a spawn stands on the column (x, y): the first air above its highest
// cell that is not air (at most the top layer), or 0 for a column of air.
inline int32_t FirstAirAbove(const Level& level, int32_t x, int32_t y) {
  for (int32_t z = level.Height - 1; z >= 0; --z) {
    if (ReadCell(level, x, y, z) != 0) return z + 1 < level.Height ? z + 1 : level.Height - 1;
  }
  return 0;
}

// A new level: 256 x 256 x 64 of stone up to z 25, dirt 26..30, grass at 31,
// air above; the form of the template, no name. The top plane is kept where
// the level had the same plan.
void LayNewTerrain(Level& level);

}  // namespace terrafix
