// A row transfer through RowBuffer moves 257 bytes at the row's position, one
// more than a row holds, so every row overlaps the next by one byte: the write
// of the next row, or of the trailer after the last one, replaces the extra
// byte. The rows lie back to back in the file, so all rows but the last move
// in one transfer with the same result, and the last goes through RowBuffer.
//
// Taking a row straight from the grid would touch 256 columns far apart, so
// the cells are first laid out in file order (files/file_order.h) and the
// rows move to and from that copy.
#include "files/level_file.h"

#include <cstring>
#include <span>

#include "files/file_order.h"
#include "platform/byte_files.h"
#include "platform/helper_thread.h"

namespace terrafix {

namespace {

constexpr int64_t FirstRowPosition = CellsOffset + 1;
constexpr size_t RowLength = LevelWidth;
constexpr int64_t LastCellRowPosition = FirstRowPosition + static_cast<int64_t>(FileOrderLength - RowLength);

// A layout begun by LayOutLevelFileAhead, for the grid it was begun from.
struct AheadLayout {
  SharedMove Move;
  const LevelGrid* Grid = nullptr;
};

AheadLayout& Ahead() {
  static AheadLayout ahead;
  return ahead;
}

}  // namespace

void LayOutLevelFileAhead(const LevelGrid& grid) {
  DropLevelFileLayout();
  AheadLayout& ahead = Ahead();
  SetUpMoveToFileOrder(ahead.Move, grid, FileOrderCells());
  ahead.Move.Open.store(true, std::memory_order_release);
  OfferMoveToHelper(ahead.Move);
  ahead.Grid = &grid;
}

void DropLevelFileLayout() {
  AheadLayout& ahead = Ahead();
  if (!ahead.Grid) return;
  ahead.Move.NextPart.store(ahead.Move.PartCount, std::memory_order_relaxed);  // no band is begun after this
  FinishHelperJob();
  ahead.Grid = nullptr;
}

void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header) {
  uint8_t* cells = FileOrderCells();
  AheadLayout& ahead = Ahead();
  if (ahead.Grid == &grid) {
    FinishMove(ahead.Move);  // whatever the helper has not laid out yet, laid out here
    ahead.Grid = nullptr;
  } else {
    DropLevelFileLayout();
    SharedMove move;
    SetUpMoveToFileOrder(move, grid, cells);
    MoveOnBothThreads(move);
  }
  WriteBytesAt(slot, 1, header.HeaderBytes);
  // Every row but the last in one transfer: the same bytes as row by row,
  // where each row's extra byte is replaced by the next row. The last goes
  // through RowBuffer (byte 256 is left as it is), and the trailer replaces
  // its extra byte.
  WriteBytesAt(slot, FirstRowPosition, std::span<const uint8_t>(cells, FileOrderLength - RowLength));
  std::memcpy(header.RowBuffer.data(), cells + FileOrderLength - RowLength, RowLength);
  WriteBytesAt(slot, LastCellRowPosition, header.RowBuffer);
  WriteBytesAt(slot, TrailerOffset + 1, header.TrailerBytes);
}

void ReadLevelCells(int slot, LevelGrid& grid, HeaderTemplate& header) {
  DropLevelFileLayout();
  uint8_t* cells = FileOrderCells();
  SharedMove move;
  SetUpMoveFromFileOrder(move, cells, grid);
  OfferMoveToHelper(move);  // it waits while the rows are read
  ReadBytesAt(slot, 1, header.HeaderBytes);
  // Every row but the last in one transfer, and the last through RowBuffer:
  // the same cells, and RowBuffer left as reading row by row leaves it.
  ReadBytesAt(slot, FirstRowPosition, std::span<uint8_t>(cells, FileOrderLength - RowLength));
  ReadBytesAt(slot, LastCellRowPosition, header.RowBuffer);
  std::memcpy(cells + FileOrderLength - RowLength, header.RowBuffer.data(), RowLength);
  FinishMove(move);
}

void ReadLevelFileEnds(int slot, HeaderTemplate& header) {
  ReadBytesAt(slot, 1, header.HeaderBytes);
  ReadBytesAt(slot, LastCellRowPosition, header.RowBuffer);
}

}  // namespace terrafix
