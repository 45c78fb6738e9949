#include "level/clipboard.h"

#include <algorithm>
#include <utility>

#include "platform/machine/machine_memory.h"

namespace terrafix {

bool IntersectBoxes(const CellBox& a, const CellBox& b, CellBox& common) {
  common = {std::max(a.X0, b.X0), std::max(a.Y0, b.Y0), std::max(a.Z0, b.Z0),
            std::min(a.X1, b.X1), std::min(a.Y1, b.Y1), std::min(a.Z1, b.Z1)};
  return common.X0 <= common.X1 && common.Y0 <= common.Y1 && common.Z0 <= common.Z1;
}

void CopyBox(const Level& level, const CellBox& box, Clipboard& clip) {
  std::vector<uint8_t> cells;
  cells.reserve(BoxCells(box));
  AdviseLargePages(cells.data(), cells.capacity());  // (a whole level: a few hundred page faults)
  const auto width = static_cast<std::ptrdiff_t>(BoxWidth(box));
  for (int32_t z = box.Z0; z <= box.Z1; ++z) {
    for (int32_t y = box.Y0; y <= box.Y1; ++y) {
      const auto from = level.Cells.begin() + static_cast<std::ptrdiff_t>(CellIndex(level, box.X0, y, z));
      cells.insert(cells.end(), from, from + width);
    }
  }
  clip = {BoxWidth(box), BoxLength(box), BoxHeight(box), std::move(cells)};
}

void TurnClipboard(Clipboard& clip, bool clockwise) {
  const size_t w = static_cast<size_t>(clip.Width), l = static_cast<size_t>(clip.Length);
  std::vector<uint8_t> turned;
  turned.reserve(clip.Cells.size());
  AdviseLargePages(turned.data(), turned.capacity());
  turned.resize(clip.Cells.size());
  // The turned clipboard is l wide and w long. Its cell (tx, ty) is the
  // clipboard's (w - 1 - ty, tx) turned anticlockwise, (ty, l - 1 - tx)
  // clockwise. It is written a layer at a time, in tiles of Tile x Tile
  // cells, so that the rows a tile reads stay in the cache while it is read
  // down its columns.
  constexpr size_t Tile = 64;
  for (size_t layer = 0; layer < clip.Cells.size(); layer += w * l) {
    const uint8_t* from = clip.Cells.data() + layer;
    uint8_t* to = turned.data() + layer;
    for (size_t ty0 = 0; ty0 < w; ty0 += Tile) {
      for (size_t tx0 = 0; tx0 < l; tx0 += Tile) {
        for (size_t ty = ty0; ty < std::min(ty0 + Tile, w); ++ty) {
          const size_t x = clockwise ? ty : w - 1 - ty;
          for (size_t tx = tx0; tx < std::min(tx0 + Tile, l); ++tx) {
            const size_t y = clockwise ? l - 1 - tx : tx;
            to[ty * l + tx] = from[y * w + x];
          }
        }
      }
    }
  }
  clip.Cells = std::move(turned);
  std::swap(clip.Width, clip.Length);
}

void MirrorClipboard(Clipboard& clip) {
  const size_t w = static_cast<size_t>(clip.Width);
  for (size_t row = 0; row < clip.Cells.size(); row += w) {
    std::reverse(clip.Cells.begin() + static_cast<std::ptrdiff_t>(row),
                 clip.Cells.begin() + static_cast<std::ptrdiff_t>(row + w));
  }
}

}  // namespace terrafix
