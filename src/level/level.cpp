#include "level/level.h"

#include <algorithm>

namespace terrafix {

namespace {

constexpr TileId Stone = 1, Grass = 2, Dirt = 3;

void FillLayers(Level& level, int32_t zFirst, int32_t zLast, TileId tile) {
  std::fill(level.Cells.begin() + static_cast<std::ptrdiff_t>(zFirst * PlanCells(level)),
            level.Cells.begin() + static_cast<std::ptrdiff_t>((zLast + 1) * PlanCells(level)),
            static_cast<uint8_t>(tile));
}

}  // namespace

bool IsLevelSize(int64_t width, int64_t length, int64_t height) {
  auto side = [](int64_t n) { return n >= 1 && n <= LargestSide; };
  return side(width) && side(length) && side(height);
}

uint64_t LevelMemory(int64_t width, int64_t length, int64_t height) {
  return static_cast<uint64_t>(width) * static_cast<uint64_t>(length) * static_cast<uint64_t>(height + 1);
}

void LayNewTerrain(Level& level) {
  const bool samePlan = level.Width == NewLevelWidth && level.Length == NewLevelLength;
  level.Width = NewLevelWidth;
  level.Length = NewLevelLength;
  level.Height = NewLevelHeight;
  level.Cells.assign(PlanCells(level) * NewLevelHeight, 0);
  if (!samePlan) level.TopPlane.assign(PlanCells(level), 0);
  FillLayers(level, 0, 25, Stone);
  FillLayers(level, 26, 30, Dirt);
  FillLayers(level, 31, 31, Grass);
  level.Form = {};
  level.Name.clear();
}

}  // namespace terrafix
