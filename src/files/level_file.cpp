// A row transfer through RowBuffer moves 257 bytes at the row's position, one
// more than a row holds, so every row overlaps the next by one byte: the write
// of the next row, or of the trailer after the last one, replaces the extra
// byte. The rows lie back to back in the file, so all rows but the last move
// in one transfer with the same result, and the last goes through RowBuffer.
//
// Taking a row straight from the grid would touch 256 columns far apart, so
// the cells are laid out in file order first (files/file_order.h) and the
// rows move to and from that copy.
#include "files/level_file.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/files/byte_files.h"

namespace terrafix {

namespace {

constexpr int64_t FirstRowPosition = CellsOffset + 1;
constexpr size_t RowLength = LevelWidth;
constexpr size_t AllButTheLastRow = FileOrderLength - RowLength;
constexpr int64_t LastRowPosition = FirstRowPosition + static_cast<int64_t>(AllButTheLastRow);

}  // namespace

void WriteAround(int slot, std::span<const uint8_t> before, std::span<const uint8_t> cells,
                 std::span<const uint8_t> after) {
  const int64_t cellsPosition = static_cast<int64_t>(before.size()) + 1;
  WriteBytesAt(slot, 1, before);
  WriteBytesAt(slot, cellsPosition, cells);
  WriteBytesAt(slot, cellsPosition + static_cast<int64_t>(cells.size()), after);
}

void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header) {
  std::span<uint8_t> cells(header.FileOrderCells);
  GridToFileOrder(grid, cells);
  if (!header.OwnHeader.empty()) return WriteAround(slot, header.OwnHeader, cells, header.OwnTrailer);
  WriteBytesAt(slot, 1, header.HeaderBytes);
  WriteBytesAt(slot, FirstRowPosition, cells.first(AllButTheLastRow));
  // RowBuffer's byte 256 is left as it is; the trailer replaces it in the file.
  std::memcpy(header.RowBuffer.data(), cells.data() + AllButTheLastRow, RowLength);
  WriteBytesAt(slot, LastRowPosition, header.RowBuffer);
  WriteBytesAt(slot, TrailerOffset + 1, header.TrailerBytes);
}

namespace {

// The bytes of `file` from `offset`, as many as `to` holds; zeros past its end.
void CopyOut(std::span<const uint8_t> file, size_t offset, std::span<uint8_t> to) {
  const size_t available = offset < file.size() ? std::min(file.size() - offset, to.size()) : 0;
  if (available > 0) std::memcpy(to.data(), file.data() + offset, available);
  std::fill(to.begin() + static_cast<std::ptrdiff_t>(available), to.end(), uint8_t{0});
}

}  // namespace

bool HeaderMatches(std::span<const uint8_t> file, HeaderTemplate& header) {
  CopyOut(file, 0, header.CompareBuffer);
  return std::equal(header.CompareBuffer.begin(), header.CompareBuffer.begin() + HeaderLength,
                    header.HeaderBytes.begin());
}

void ReadLevelCells(std::span<const uint8_t> file, LevelGrid& grid, HeaderTemplate& header) {
  CopyOut(file, 0, header.HeaderBytes);
  // RowBuffer ends as reading row by row leaves it: the last row and the
  // first trailer byte.
  CopyOut(file, CellsOffset + AllButTheLastRow, header.RowBuffer);
  if (file.size() >= CellsOffset + FileOrderLength) {
    FileOrderToGrid(file.subspan(CellsOffset, FileOrderLength), grid);  // all there: straight from the file
  } else {
    std::span<uint8_t> cells(header.FileOrderCells);
    CopyOut(file, CellsOffset, cells);  // what the file lacks reads as zeros
    FileOrderToGrid(cells, grid);
  }
  ForgetOwnParts(header);
}

void ReadOwnLevel(std::span<const uint8_t> file, size_t cellsOffset, HeaderTemplate::Format format, LevelGrid& grid,
                  HeaderTemplate& header) {
  header.OwnFormat = format;
  header.OwnTimeOffset = 0;
  const size_t trailer = cellsOffset + FileOrderLength;
  header.OwnHeader.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cellsOffset));
  header.OwnTrailer.assign(file.begin() + static_cast<std::ptrdiff_t>(trailer), file.end());
  FileOrderToGrid(file.subspan(cellsOffset, FileOrderLength), grid);
}

}  // namespace terrafix
