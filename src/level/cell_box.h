// A box of cells in a level: the selection, and the part an operation or a
// paste covers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "level/level.h"

namespace terrafix {

// The cells from (X0, Y0, Z0) to (X1, Y1, Z1), both corners inside, the
// first no greater than the second along each axis.
struct CellBox {
  int32_t X0 = 0, Y0 = 0, Z0 = 0;
  int32_t X1 = 0, Y1 = 0, Z1 = 0;
  friend bool operator==(const CellBox&, const CellBox&) = default;
};

inline int32_t BoxWidth(const CellBox& b) { return b.X1 - b.X0 + 1; }
inline int32_t BoxLength(const CellBox& b) { return b.Y1 - b.Y0 + 1; }
inline int32_t BoxHeight(const CellBox& b) { return b.Z1 - b.Z0 + 1; }
inline size_t BoxCells(const CellBox& b) {
  return static_cast<size_t>(BoxWidth(b)) * static_cast<size_t>(BoxLength(b)) * static_cast<size_t>(BoxHeight(b));
}
// The whole level (its cells, not the plane above the top).
inline CellBox WholeLevel(const Level& level) { return {0, 0, 0, level.Width - 1, level.Length - 1, level.Height - 1}; }
inline bool BoxHolds(const CellBox& b, int32_t x, int32_t y, int32_t z) {
  return b.X0 <= x && x <= b.X1 && b.Y0 <= y && y <= b.Y1 && b.Z0 <= z && z <= b.Z1;
}
// The cells both boxes hold; false when they share none.
bool IntersectBoxes(const CellBox& a, const CellBox& b, CellBox& common);

}  // namespace terrafix
