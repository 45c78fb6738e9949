// A column of the grid holds the 64 heights of one (x, y) side by side; in
// file order the same cells lie a layer (64 KiB) apart. The moves go in bands
// of a few rows of y, so that the rows of the copy that a band touches
// (64 heights x 16 rows of 256 bytes, 256 KiB) stay in the cache until every
// column of the band has been through them.
#include "files/file_order.h"

namespace terrafix {

namespace {
constexpr int BandRows = 16;
}

void GridToFileOrder(const LevelGrid& grid, std::span<uint8_t> cells) {
  for (int y0 = 0; y0 < LevelWidth; y0 += BandRows) {
    for (int x = 0; x < LevelWidth; ++x) {
      for (int y = y0; y < y0 + BandRows; ++y) {
        const TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
        uint8_t* out = cells.data() + FileOrderIndex(x, y, 0);
        for (int z = 0; z < LevelHeight; ++z) out[FileOrderIndex(0, 0, z)] = static_cast<uint8_t>(column[z]);
      }
    }
  }
}

void FileOrderToGrid(std::span<const uint8_t> cells, LevelGrid& grid) {
  for (int y0 = 0; y0 < LevelWidth; y0 += BandRows) {
    for (int x = 0; x < LevelWidth; ++x) {
      for (int y = y0; y < y0 + BandRows; ++y) {
        TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
        const uint8_t* in = cells.data() + FileOrderIndex(x, y, 0);
        for (int z = 0; z < LevelHeight; ++z) column[z] = in[FileOrderIndex(0, 0, z)];
      }
    }
  }
}

}  // namespace terrafix
