// A row transfer through RowBuffer moves 257 bytes at the row's position, one
// more than a row holds, so every row overlaps the next by one byte: the write
// of the next row, or of the trailer after the last one, replaces the extra
// byte. The rows lie back to back in the file, so all rows but the last move
// in one transfer with the same result, and the last goes through RowBuffer.
//
// The grid keeps the heights of a column side by side while the file runs
// along x, so taking a row straight from the grid touches 256 columns far
// apart. The cells are therefore rearranged in blocks between the grid and a
// copy in file order, and the rows move to and from that copy.
#include "files/level_file.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/byte_files.h"
#include "platform/helper_thread.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace terrafix {

namespace {

constexpr int64_t FirstRowPosition = CellsOffset + 1;
constexpr size_t RowLength = LevelWidth;
constexpr size_t CellCount = size_t{LevelWidth} * LevelWidth * LevelHeight;
constexpr int64_t LastCellRowPosition = FirstRowPosition + static_cast<int64_t>(CellCount - RowLength);

// The cells in file order, (z * 256 + y) * 256 + x; made once, on first use.
// In large pages, like the grid: the copy is walked across its rows, 64 KiB
// apart, and with small pages nearly every such step would cost a page-table
// look-up.
std::vector<uint8_t, LargePageAllocator<uint8_t>>& FileOrderCells() {
  static std::vector<uint8_t, LargePageAllocator<uint8_t>> cells(CellCount);
  return cells;
}

uint8_t* RowOf(uint8_t* cells, int y, int z) { return cells + (static_cast<size_t>(z) * LevelWidth + y) * RowLength; }

// Blocks of 16 columns by 16 heights are turned around in registers: the 16
// heights of a column come in as one row of bytes, and a 16 x 16 byte
// transpose makes them 16 rows of the file's order, 16 columns wide.
constexpr int Block = 16;

#if defined(__SSE2__)
// Four rounds of pairing rows i and i + 8 byte by byte transpose 16 x 16 bytes.
inline void Transpose16(__m128i rows[Block]) {
  __m128i out[Block];
  for (int round = 0; round < 4; ++round) {
    for (int i = 0; i < 8; ++i) {
      out[2 * i] = _mm_unpacklo_epi8(rows[i], rows[i + 8]);
      out[2 * i + 1] = _mm_unpackhi_epi8(rows[i], rows[i + 8]);
    }
    for (int i = 0; i < Block; ++i) rows[i] = out[i];
  }
}

// The low bytes of 16 heights of a column.
inline __m128i LowBytes(const TileId* column) {
  const __m128i low = _mm_set1_epi32(0xFF);
  auto quad = [&](int at) { return _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(column + at)), low); };
  return _mm_packus_epi16(_mm_packs_epi32(quad(0), quad(4)), _mm_packs_epi32(quad(8), quad(12)));
}

// 16 bytes widened to the 16 heights of a column.
inline void StoreWidened(TileId* column, __m128i bytes) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
  auto store = [&](int at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(column + at), v); };
  store(0, _mm_unpacklo_epi16(low, zero));
  store(4, _mm_unpackhi_epi16(low, zero));
  store(8, _mm_unpacklo_epi16(high, zero));
  store(12, _mm_unpackhi_epi16(high, zero));
}
#endif

// The grid and its copy in file order are moved in bands of Block neighbouring
// y: at each x the band's columns lie one after another, so every access to
// the grid runs on from the last one at that x, and the band's rows of the
// file stay at hand until they are whole. The bands are shared out between
// the helper thread and the caller's: moving them waits on memory, and two
// threads keep twice as many accesses in flight.
struct BandWork {
  void (*MoveBand)(BandWork& work, int y0) = nullptr;
  const LevelGrid* From = nullptr;  // when the file-order copy is made
  LevelGrid* To = nullptr;          // when the grid is filled from it
  uint8_t* Cells = nullptr;
  std::atomic<bool> Open{false};    // bands may be taken
  std::atomic<int> NextBand{0};
};

void TakeBands(void* work) {
  auto& w = *static_cast<BandWork*>(work);
  while (!w.Open.load(std::memory_order_acquire)) PauseWhileWaiting();
  for (int band; (band = w.NextBand.fetch_add(1, std::memory_order_relaxed)) < LevelWidth / Block;) {
    w.MoveBand(w, band * Block);
  }
}

// The helper is woken as early as its caller can: after a wait (as for the
// compressor) it may take a millisecond or more to run again.
void WakeHelperForBands(BandWork& work) { StartHelperJob(TakeBands, &work); }

void MoveAllBands(BandWork& work) {
  work.Open.store(true, std::memory_order_release);
  TakeBands(&work);
  FinishHelperJob();
}

// Low bytes of one band of the level-file region, in file order.
void BandToFileOrder(BandWork& w, int y0) {
  const LevelGrid& grid = *w.From;
  for (int x0 = 0; x0 < LevelWidth; x0 += Block) {
    for (int y = y0; y < y0 + Block; ++y) {
      for (int z0 = 0; z0 < LevelHeight; z0 += Block) {
#if defined(__SSE2__)
        __m128i rows[Block];
        for (int k = 0; k < Block; ++k) rows[k] = LowBytes(grid.Cells.data() + CellIndex(x0 + k, y, z0));
        Transpose16(rows);
        for (int j = 0; j < Block; ++j) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(RowOf(w.Cells, y, z0 + j) + x0), rows[j]);
        }
#else
        for (int k = 0; k < Block; ++k)
          for (int j = 0; j < Block; ++j) RowOf(w.Cells, y, z0 + j)[x0 + k] = static_cast<uint8_t>(ReadCell(grid, x0 + k, y, z0 + j));
#endif
      }
    }
  }
}

// One band of the file-order copy written into the grid.
void BandFromFileOrder(BandWork& w, int y0) {
  LevelGrid& grid = *w.To;
  for (int x0 = 0; x0 < LevelWidth; x0 += Block) {
    for (int y = y0; y < y0 + Block; ++y) {
      for (int z0 = 0; z0 < LevelHeight; z0 += Block) {
#if defined(__SSE2__)
        __m128i rows[Block];
        for (int i = 0; i < Block; ++i) {
          rows[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(RowOf(w.Cells, y, z0 + i) + x0));
        }
        Transpose16(rows);
        for (int k = 0; k < Block; ++k) StoreWidened(grid.Cells.data() + CellIndex(x0 + k, y, z0), rows[k]);
#else
        for (int i = 0; i < Block; ++i)
          for (int k = 0; k < Block; ++k) WriteCell(grid, x0 + k, y, z0 + i, RowOf(w.Cells, y, z0 + i)[x0 + k]);
#endif
      }
    }
  }
}


}  // namespace

void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header) {
  uint8_t* cells = FileOrderCells().data();
  BandWork work;
  work.MoveBand = BandToFileOrder;
  work.From = &grid;
  work.Cells = cells;
  WakeHelperForBands(work);
  MoveAllBands(work);
  WriteBytesAt(slot, 1, header.HeaderBytes);
  // Every row but the last in one transfer: the same bytes as row by row,
  // where each row's extra byte is replaced by the next row. The last goes
  // through RowBuffer (byte 256 is left as it is), and the trailer replaces
  // its extra byte.
  WriteBytesAt(slot, FirstRowPosition, std::span<const uint8_t>(cells, CellCount - RowLength));
  std::memcpy(header.RowBuffer.data(), cells + CellCount - RowLength, RowLength);
  WriteBytesAt(slot, LastCellRowPosition, header.RowBuffer);
  WriteBytesAt(slot, TrailerOffset + 1, header.TrailerBytes);
}

void ReadLevelCells(int slot, LevelGrid& grid, HeaderTemplate& header) {
  uint8_t* cells = FileOrderCells().data();
  BandWork work;
  work.MoveBand = BandFromFileOrder;
  work.To = &grid;
  work.Cells = cells;
  WakeHelperForBands(work);  // it waits while the rows are read
  ReadBytesAt(slot, 1, header.HeaderBytes);
  // Every row but the last in one transfer, and the last through RowBuffer:
  // the same cells, and RowBuffer left as reading row by row leaves it.
  ReadBytesAt(slot, FirstRowPosition, std::span<uint8_t>(cells, CellCount - RowLength));
  ReadBytesAt(slot, LastCellRowPosition, header.RowBuffer);
  std::memcpy(cells + CellCount - RowLength, header.RowBuffer.data(), RowLength);
  MoveAllBands(work);
}

}  // namespace terrafix
