#include "files/file_order.h"

#include <algorithm>
#include <vector>

#include "platform/helper_thread.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace terrafix {

namespace {

constexpr size_t RowLength = LevelWidth;

uint8_t* RowOf(uint8_t* cells, int y, int z) { return cells + (static_cast<size_t>(z) * LevelWidth + y) * RowLength; }
const uint8_t* RowOf(const uint8_t* cells, int y, int z) {
  return cells + (static_cast<size_t>(z) * LevelWidth + y) * RowLength;
}

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

// The first `heights` (4, 8, 12 or 16) of 16 bytes widened to as many
// heights of a column.
inline void StoreWidened(TileId* column, __m128i bytes, int heights) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(bytes, zero), high = _mm_unpackhi_epi8(bytes, zero);
  const __m128i quads[4] = {_mm_unpacklo_epi16(low, zero), _mm_unpackhi_epi16(low, zero),
                            _mm_unpacklo_epi16(high, zero), _mm_unpackhi_epi16(high, zero)};
  for (int q = 0; q < heights / 4; ++q) _mm_storeu_si128(reinterpret_cast<__m128i*>(column + 4 * q), quads[q]);
}
#endif

// In a band, at each x the band's columns lie one after another, so every
// access to the grid runs on from the last one at that x, and the band's rows
// of the file stay at hand until they are whole. Moving waits on memory, and
// two threads keep twice as many accesses in flight.
void BandToFileOrder(const LevelGrid& grid, uint8_t* cells, int y0) {
  for (int x0 = 0; x0 < LevelWidth; x0 += Block) {
    for (int y = y0; y < y0 + BandHeight; ++y) {
      for (int z0 = 0; z0 < LevelHeight; z0 += Block) {
#if defined(__SSE2__)
        __m128i rows[Block];
        for (int k = 0; k < Block; ++k) rows[k] = LowBytes(grid.Cells.data() + CellIndex(x0 + k, y, z0));
        Transpose16(rows);
        for (int j = 0; j < Block; ++j) {
          _mm_storeu_si128(reinterpret_cast<__m128i*>(RowOf(cells, y, z0 + j) + x0), rows[j]);
        }
#else
        for (int k = 0; k < Block; ++k)
          for (int j = 0; j < Block; ++j) RowOf(cells, y, z0 + j)[x0 + k] = static_cast<uint8_t>(ReadCell(grid, x0 + k, y, z0 + j));
#endif
      }
    }
  }
}

// Heights zFirst..zEnd - 1 of one band written into the grid, in blocks of
// up to 16 heights (a multiple of 4).
void BandFromFileOrder(const uint8_t* cells, LevelGrid& grid, int y0, int zFirst, int zEnd) {
  for (int x0 = 0; x0 < LevelWidth; x0 += Block) {
    for (int y = y0; y < y0 + BandHeight; ++y) {
      for (int z0 = zFirst; z0 < zEnd; z0 += Block) {
        const int heights = std::min(Block, zEnd - z0);
#if defined(__SSE2__)
        __m128i rows[Block];
        for (int i = 0; i < Block; ++i) {
          rows[i] = i < heights ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(RowOf(cells, y, z0 + i) + x0))
                                : _mm_setzero_si128();
        }
        Transpose16(rows);
        for (int k = 0; k < Block; ++k) StoreWidened(grid.Cells.data() + CellIndex(x0 + k, y, z0), rows[k], heights);
#else
        for (int i = 0; i < heights; ++i)
          for (int k = 0; k < Block; ++k) WriteCell(grid, x0 + k, y, z0 + i, RowOf(cells, y, z0 + i)[x0 + k]);
#endif
      }
    }
  }
}

static_assert(BandHeight % Block == 0 && SlabDepth % 4 == 0 && (SlabDepth % Block == 0 || SlabDepth < Block));

void TakeParts(void* data) {
  auto& move = *static_cast<SharedMove*>(data);
  while (!move.Open.load(std::memory_order_acquire)) PauseWhileWaiting();
  for (int part; (part = move.NextPart.fetch_add(1, std::memory_order_relaxed)) < move.PartCount;) {
    move.MovePart(move, part);
  }
}

void SetUp(SharedMove& move, void (*movePart)(SharedMove&, int), int firstPart, int partCount) {
  move.MovePart = movePart;
  move.PartCount = partCount;
  move.NextPart.store(firstPart, std::memory_order_relaxed);
  move.Open.store(false, std::memory_order_relaxed);
}

}  // namespace

uint8_t* FileOrderCells() {
  // In large pages, like the grid: the copy is walked across its rows, 64 KiB
  // apart, and with small pages nearly every such step would cost a
  // page-table look-up.
  static std::vector<uint8_t, LargePageAllocator<uint8_t>> cells(FileOrderLength);
  return cells.data();
}

void SetUpMoveToFileOrder(SharedMove& move, const LevelGrid& grid, uint8_t* cells) {
  SetUp(move, [](SharedMove& m, int band) { BandToFileOrder(*m.From, m.ToCells, band * BandHeight); }, 0, BandCount);
  move.From = &grid;
  move.ToCells = cells;
}

void SetUpMoveFromFileOrder(SharedMove& move, const uint8_t* cells, LevelGrid& grid) {
  SetUp(move, [](SharedMove& m, int band) { BandFromFileOrder(m.FromCells, *m.To, band * BandHeight, 0, LevelHeight); },
        0, BandCount);
  move.FromCells = cells;
  move.To = &grid;
}

void SetUpSlabsFromFileOrder(SharedMove& move, const uint8_t* cells, LevelGrid& grid, int firstPart) {
  SetUp(move, [](SharedMove& m, int part) { MoveSlabBand(m.FromCells, *m.To, part / BandCount, part % BandCount); },
        firstPart, SlabCount * BandCount);
  move.FromCells = cells;
  move.To = &grid;
}

void MoveSlabBand(const uint8_t* cells, LevelGrid& grid, int slab, int band) {
  BandFromFileOrder(cells, grid, band * BandHeight, slab * SlabDepth, (slab + 1) * SlabDepth);
}

void OfferMoveToHelper(SharedMove& move) { StartHelperJob(TakeParts, &move); }

void FinishMove(SharedMove& move) {
  move.Open.store(true, std::memory_order_release);
  TakeParts(&move);
  FinishHelperJob();
}

void MoveOnBothThreads(SharedMove& move) {
  OfferMoveToHelper(move);
  FinishMove(move);
}

}  // namespace terrafix
