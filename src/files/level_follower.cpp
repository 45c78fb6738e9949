#include "files/level_follower.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <span>
#include <vector>

#include "files/file_order.h"
#include "files/level_file.h"
#include "platform/byte_files.h"
#include "platform/growing_file.h"
#include "platform/helper_thread.h"

namespace terrafix {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t CellsEnd = CellsOffset + static_cast<int64_t>(FileOrderLength);
constexpr int PartCount = SlabCount * BandCount;  // bands of slabs, slab by slab
// Read in pieces, so that the end of the compressor is noticed soon.
constexpr size_t ReadPiece = 256 * 1024;
// A compressor that writes nothing for this long is waiting (for an answer
// on the terminal, say): from then on the follower looks only now and then.
constexpr auto BusyWaitLimit = std::chrono::milliseconds(50);
constexpr useconds_t SlowLookMicroseconds = 1000;

struct Follower {
  bool Active = false;  // started and not yet finished or abandoned (the caller's)
  std::string Name;
  LevelGrid* Grid = nullptr;
  const HeaderTemplate* Header = nullptr;
  std::atomic<bool> Stop{false};  // the compressor has ended: return at once

  // The helper's until the caller has stopped it.
  GrowingFile File;
  std::array<uint8_t, HeaderLength> Head{};  // the file's bytes before the cells
  int64_t Staged = 0;                        // bytes read from the start of the file
  int HeaderState = 0;                       // 0 not yet seen, 1 equal to HeaderBytes, -1 not
  bool Kept = false;                         // the region's cells are in KeptCells
  int PartsMoved = 0;                        // into the grid, in order
};

Follower& TheFollower() {
  static Follower follower;
  return follower;
}

// The level-file region's cells as bytes, column after column.
uint8_t* KeptCells() {
  static std::vector<uint8_t, LargePageAllocator<uint8_t>> kept(FileOrderLength);
  return kept.data();
}

uint8_t* KeptColumn(uint8_t* kept, int x, int y) {
  return kept + (static_cast<size_t>(x) * LevelWidth + y) * LevelHeight;
}

// False when a cell lies outside 0..255 and so cannot be kept as a byte.
bool KeepRegion(const LevelGrid& grid, uint8_t* kept) {
  uint32_t high = 0;
  for (int x = 0; x < LevelWidth; ++x) {
    for (int y = 0; y < LevelWidth; ++y) {
      const TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
      uint8_t* bytes = KeptColumn(kept, x, y);
      for (int z = 0; z < LevelHeight; ++z) {
        high |= static_cast<uint32_t>(column[z]) & 0xFFFFFF00u;
        bytes[z] = static_cast<uint8_t>(column[z]);
      }
    }
  }
  return high == 0;
}

void PutBackRegion(LevelGrid& grid, uint8_t* kept) {
  for (int x = 0; x < LevelWidth; ++x) {
    for (int y = 0; y < LevelWidth; ++y) {
      TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
      const uint8_t* bytes = KeptColumn(kept, x, y);
      for (int z = 0; z < LevelHeight; ++z) column[z] = bytes[z];
    }
  }
}

// Reads up to `length` more bytes of the file into Head and the file-order
// copy; false when none came.
bool Stage(Follower& f, size_t length) {
  size_t done = 0;
  if (f.Staged < CellsOffset) {
    size_t n = std::min(length, static_cast<size_t>(CellsOffset - f.Staged));
    done = ReadGrowingFile(f.File, f.Staged, std::span<uint8_t>(f.Head.data() + f.Staged, n));
    if (done == n && n < length) {
      done += ReadGrowingFile(f.File, CellsOffset, std::span<uint8_t>(FileOrderCells(), length - n));
    }
  } else {
    done = ReadGrowingFile(f.File, f.Staged, std::span<uint8_t>(FileOrderCells() + (f.Staged - CellsOffset), length));
  }
  f.Staged += static_cast<int64_t>(done);
  return done > 0;
}

bool SlabIsStaged(const Follower& f, int slab) {
  return f.Staged >= CellsOffset + static_cast<int64_t>((slab + 1) * SlabLength);
}

// One round of following; true when it got anywhere.
bool FollowOnce(Follower& f) {
  if (f.File.Fd < 0 && !OpenGrowingFile(f.File, f.Name)) return false;
  bool progress = false;
  // Only what has been written: a part skipped so far would read as zeros
  // now and may hold cells later.
  int64_t end = std::min(WrittenEnd(f.File, f.Staged), CellsEnd);
  if (end > f.Staged) progress = Stage(f, static_cast<size_t>(std::min<int64_t>(end - f.Staged, ReadPiece)));
  if (f.HeaderState == 0 && f.Staged >= CellsOffset) {
    f.HeaderState = std::equal(f.Head.begin(), f.Head.end(), f.Header->HeaderBytes.begin()) ? 1 : -1;
  }
  if (f.HeaderState == 1 && f.Kept) {
    while (f.PartsMoved < PartCount && SlabIsStaged(f, f.PartsMoved / BandCount) &&
           !f.Stop.load(std::memory_order_acquire)) {
      MoveSlabBand(FileOrderCells(), *f.Grid, f.PartsMoved / BandCount, f.PartsMoved % BandCount);
      ++f.PartsMoved;
      progress = true;
    }
  }
  return progress;
}

bool NothingLeft(const Follower& f) {
  return f.HeaderState == -1 || (f.Staged == CellsEnd && (!f.Kept || f.PartsMoved == PartCount));
}

// The helper's job. It waits busily while the compressor writes (a sleeping
// helper may take milliseconds to run again), and never for long without
// looking at Stop.
void Follow(void* data) {
  Follower& f = *static_cast<Follower*>(data);
  f.Kept = KeepRegion(*f.Grid, KeptCells());
  Clock::time_point lastProgress = Clock::now();
  while (!f.Stop.load(std::memory_order_acquire) && !NothingLeft(f)) {
    if (FollowOnce(f)) {
      lastProgress = Clock::now();
    } else if (Clock::now() - lastProgress < BusyWaitLimit) {
      sched_yield();
    } else {
      usleep(SlowLookMicroseconds);
    }
  }
}

// After this only the caller touches the follower.
void StopHelper(Follower& f) {
  f.Stop.store(true, std::memory_order_release);
  FinishHelperJob();
}

void EndFollow(Follower& f, bool putBack) {
  if (putBack && f.PartsMoved > 0) PutBackRegion(*f.Grid, KeptCells());
  CloseGrowingFile(f.File);
  f.Active = false;
}

// With the compressor ended, the rest of the file's cells; false if it ends
// before them.
bool StageTheRest(Follower& f) {
  if (GrowingFileSize(f.File) < CellsEnd) return false;
  while (f.Staged < CellsEnd) {
    if (!Stage(f, static_cast<size_t>(CellsEnd - f.Staged))) return false;
  }
  return true;
}

}  // namespace

void StartFollowingLevelFile(const std::string& name, LevelGrid& grid, const HeaderTemplate& header) {
  AbandonFollowedLevelFile();
  // With one processor the follower would only take turns with the compressor.
  if (!HelperHasAProcessorOfItsOwn()) return;
  DropLevelFileLayout();  // the file-order copy is the follower's now
  Follower& f = TheFollower();
  f.Name = name;
  f.Grid = &grid;
  f.Header = &header;
  f.Stop.store(false, std::memory_order_relaxed);
  f.Head.fill(0);
  f.Staged = 0;
  f.HeaderState = 0;
  f.Kept = false;
  f.PartsMoved = 0;
  f.Active = true;
  StartHelperJob(Follow, &f);
}

bool FinishFollowedLevelFile(int slot, LevelGrid& grid, HeaderTemplate& header) {
  Follower& f = TheFollower();
  if (!f.Active) return false;
  StopHelper(f);
  const FileIdentity loaded = IdentityOfSlot(slot);
  bool usable = f.Grid == &grid && f.File.Fd >= 0 && f.HeaderState != -1 && loaded != FileIdentity{} &&
                IdentityOf(f.File) == loaded && StageTheRest(f) &&
                std::equal(f.Head.begin(), f.Head.end(), header.CompareBuffer.begin());
  if (!usable) {
    EndFollow(f, true);
    return false;
  }
  if (f.PartsMoved < PartCount) {
    SharedMove move;
    if (f.PartsMoved == 0) {
      SetUpMoveFromFileOrder(move, FileOrderCells(), grid);
    } else {
      SetUpSlabsFromFileOrder(move, FileOrderCells(), grid, f.PartsMoved);
    }
    MoveOnBothThreads(move);
  }
  ReadLevelFileEnds(slot, header);
  EndFollow(f, false);
  return true;
}

void AbandonFollowedLevelFile() {
  Follower& f = TheFollower();
  if (!f.Active) return;
  StopHelper(f);
  EndFollow(f, true);
}

}  // namespace terrafix
