// The cells of the level-file region moved between the grid, which keeps the
// heights of a column side by side, and a copy in the order of a level file
// (rows of 256 along x, then y, then z). The moves go in bands of 16 y and,
// into the grid, also in slabs of 8 heights; the caller and the helper thread
// share them out.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "level/level_grid.h"

namespace terrafix {

constexpr int BandHeight = 16;
constexpr int BandCount = LevelWidth / BandHeight;
constexpr int SlabDepth = 8;
constexpr int SlabCount = LevelHeight / SlabDepth;
constexpr size_t FileOrderLength = size_t{LevelWidth} * LevelWidth * LevelHeight;
constexpr size_t SlabLength = FileOrderLength / SlabCount;

// The one copy in file order, (z * 256 + y) * 256 + x; made on first use.
uint8_t* FileOrderCells();

// Work in numbered parts, [NextPart, PartCount), that the caller and the
// helper thread take in turn until none is left.
struct SharedMove {
  void (*MovePart)(SharedMove& move, int part) = nullptr;
  const LevelGrid* From = nullptr;  // into file order, at ToCells
  uint8_t* ToCells = nullptr;
  const uint8_t* FromCells = nullptr;  // from file order, into To
  LevelGrid* To = nullptr;
  int PartCount = 0;
  std::atomic<int> NextPart{0};
  std::atomic<bool> Open{false};  // parts may be taken
};

// Parts are bands: the grid's low bytes into file order.
void SetUpMoveToFileOrder(SharedMove& move, const LevelGrid& grid, uint8_t* cells);
// Parts are bands: every height of the file order into the grid.
void SetUpMoveFromFileOrder(SharedMove& move, const uint8_t* cells, LevelGrid& grid);
// Parts are the bands of every slab, slab after slab (part slab * BandCount +
// band), from part `firstPart` on.
void SetUpSlabsFromFileOrder(SharedMove& move, const uint8_t* cells, LevelGrid& grid, int firstPart);
// One band of one slab, for a caller that moves slabs on its own.
void MoveSlabBand(const uint8_t* cells, LevelGrid& grid, int slab, int band);

// Hands the move to the helper thread. It starts taking parts once the move
// is opened; until then it waits (so that a caller can wake it ahead).
void OfferMoveToHelper(SharedMove& move);
// Opens the move, takes parts until none is left, and returns once the
// helper is done with its part (or never started).
void FinishMove(SharedMove& move);
// The whole move on both threads.
void MoveOnBothThreads(SharedMove& move);

}  // namespace terrafix
