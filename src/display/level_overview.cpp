#include "display/level_overview.h"

#include <algorithm>

namespace terrafix {

namespace {

int32_t Blocks(int64_t extent, int32_t step) { return static_cast<int32_t>((extent + step - 1) / step); }

// The tile the block at (bx, by, bz) shows from above: its topmost cell
// that is not air (air when all are).
uint8_t BlockTile(const Level& level, int32_t step, int32_t bx, int32_t by, int32_t bz) {
  const int32_t x0 = bx * step, x1 = std::min(x0 + step, level.Width);
  const int32_t y0 = by * step, y1 = std::min(y0 + step, level.Length);
  const int32_t z0 = bz * step, z1 = std::min(z0 + step, level.Height);
  for (int32_t z = z1 - 1; z >= z0; --z) {
    for (int32_t y = y0; y < y1; ++y) {
      const uint8_t* row = &level.Cells[CellIndex(level, 0, y, z)];
      for (int32_t x = x0; x < x1; ++x) {
        if (row[x] != 0) return row[x];
      }
    }
  }
  return 0;
}

}  // namespace

uint64_t PicturePixels(int64_t width, int64_t length, int64_t height, int64_t scale) {
  const int64_t across = width + length;
  return static_cast<uint64_t>(2 * scale * across) * static_cast<uint64_t>(scale * across + 2 * scale * height);
}

int32_t OverviewStep(int64_t width, int64_t length, int64_t height, int64_t scale, uint64_t bytesPerPixel,
                     uint64_t bound) {
  for (int32_t step = 1; step <= 2 * LargestSide; step *= 2) {
    const uint64_t pixels = PicturePixels(Blocks(width, step), Blocks(length, step), Blocks(height, step), scale);
    if (pixels * bytesPerPixel <= bound) return step;
  }
  return 0;
}

void MakeOverview(const Level& level, int32_t step, Level& overview) {
  overview.Width = Blocks(level.Width, step);
  overview.Length = Blocks(level.Length, step);
  overview.Height = Blocks(level.Height, step);
  overview.Cells.assign(size_t(overview.Width) * size_t(overview.Length) * size_t(overview.Height), 0);
  overview.TopPlane.assign(PlanCells(overview), 0);
  int32_t x0 = 0, y0 = 0, z0 = 0, x1 = level.Width - 1, y1 = level.Length - 1, z1 = level.Height - 1;
  UpdateOverview(level, step, x0, y0, z0, x1, y1, z1, overview);
}

void UpdateOverview(const Level& level, int32_t step, int32_t& x0, int32_t& y0, int32_t& z0, int32_t& x1,
                    int32_t& y1, int32_t& z1, Level& overview) {
  x0 /= step, y0 /= step, z0 /= step, x1 /= step, y1 /= step, z1 /= step;
  for (int32_t bz = z0; bz <= z1; ++bz) {
    for (int32_t by = y0; by <= y1; ++by) {
      for (int32_t bx = x0; bx <= x1; ++bx) WriteCell(overview, bx, by, bz, BlockTile(level, step, bx, by, bz));
    }
  }
}

}  // namespace terrafix
