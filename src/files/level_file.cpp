// Each row transfer moves 257 bytes at the row's position, one more than a row
// holds, so every row overlaps the next by one byte: the write of the next row,
// or of the trailer after the last one, replaces the extra byte.
#include "files/level_file.h"

#include "platform/byte_files.h"

namespace terrafix {

namespace {
constexpr int64_t FirstRowPosition = CellsOffset + 1;
constexpr int64_t LastRowPosition = TrailerOffset;  // no row starts past this position
}  // namespace

void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header) {
  WriteBytesAt(slot, 1, header.HeaderBytes);
  int y = 0, z = 0;
  for (int64_t p = FirstRowPosition; p <= LastRowPosition; p += LevelWidth) {
    for (int x = 0; x < LevelWidth; ++x) header.RowBuffer[x] = static_cast<uint8_t>(ReadCell(grid, x, y, z));
    WriteBytesAt(slot, p, header.RowBuffer);
    if (++y > LevelWidth - 1) y = 0, ++z;
  }
  WriteBytesAt(slot, TrailerOffset + 1, header.TrailerBytes);
}

void ReadLevelCells(int slot, LevelGrid& grid, HeaderTemplate& header) {
  ReadBytesAt(slot, 1, header.HeaderBytes);
  int y = 0, z = 0;
  for (int64_t p = FirstRowPosition; p <= LastRowPosition; p += LevelWidth) {
    ReadBytesAt(slot, p, header.RowBuffer);
    for (int x = 0; x < LevelWidth; ++x) WriteCell(grid, x, y, z, header.RowBuffer[x]);
    if (++y > LevelWidth - 1) y = 0, ++z;
  }
}

}  // namespace terrafix
