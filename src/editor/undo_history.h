// Undo and redo. A step is one stroke (every cell that painting changed from
// a left press to its release), a fill, an operation on a box, or a New, a
// Load or a restore of kept work: the whole level as it was, size, cells,
// form and name. A step holds the other values: undoing swaps them into the
// level, which leaves there the values that redoing swaps back.
//
// A step over a box keeps no more than it needs: a fill, a clear or a paste
// a byte for each cell of its box; a replace or a flood fill, where every
// changed cell held one tile before and holds one other after, a bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "level/clipboard.h"
#include "level/level.h"

namespace terrafix {

constexpr size_t UndoMemoryLimit = size_t{32} << 20;

struct CellChange {
  size_t Index;   // CellIndex in the level
  uint8_t Value;  // the value to swap in
};

struct UndoStep {
  std::vector<CellChange> Cells;  // a stroke or a fill
  std::unique_ptr<Level> Whole;   // New, Load, a restore: the other level
  // An operation on a box: the box's cells (x fastest, then y, then z), the
  // other value of each (a fill, a clear, a paste) or a bit for each, set
  // where the cell changed (a replace, a flood fill: from BitsOther to BitsNow).
  CellBox Box;
  size_t BoxFirst = 0, BoxLast = 0;  // the index in the level of the box's first and last cell
  std::vector<uint8_t> BoxValues;
  std::vector<uint8_t> BoxBits;
  uint8_t BitsOther = 0, BitsNow = 0;
  size_t Bytes() const;
};

// A step over `box` of `level`, with no values or bits yet.
UndoStep BoxStep(const Level& level, const CellBox& box);

// The cells of a box step that its bits mark take BitsOther.
void PutBitsOther(const UndoStep& step, Level& level);

// The bit of a box step for the box's `index`th cell.
inline bool BoxBit(const std::vector<uint8_t>& bits, size_t index) { return (bits[index / 8] >> (index % 8)) & 1; }
inline void SetBoxBit(std::vector<uint8_t>& bits, size_t index) {
  bits[index / 8] = static_cast<uint8_t>(bits[index / 8] | (1u << (index % 8)));
}

// What changed in the level since it was last taken (TakeChanges): every
// change of its cells passes through the history, as a stroke, a step, an
// undo or a redo. The least and the greatest index of a changed cell, or
// the whole level.
struct LevelChanges {
  bool Whole = false;
  size_t First = SIZE_MAX, Last = 0;
  bool Any() const { return Whole || First <= Last; }
};

struct UndoHistory {
  std::deque<UndoStep> Steps;  // oldest first
  size_t Done = 0;             // Steps[0, Done) can be undone, the rest redone
  UndoStep Stroke;             // the cells of the stroke under way
  size_t Bytes = 0;            // what Steps hold
  // At most this much is kept, the oldest steps going first; the newest step
  // stays whatever it takes (the level before a Load of a large one).
  size_t Limit = UndoMemoryLimit;
  // The value of Done at which the level is what was last loaded, saved or
  // created (none when no undo or redo can bring that back).
  std::optional<size_t> SavedAt = 0;
  LevelChanges Changes;
};

// What changed since the last call; the record starts afresh.
LevelChanges TakeChanges(UndoHistory& history);

// Painting is about to change the cell at `index`, which holds `old`.
void RecordPaint(UndoHistory& history, size_t index, uint8_t old);
// The press has ended: its stroke becomes a step if it changed any cell.
void EndStroke(UndoHistory& history);

// A step that has just been done. Steps that could have been redone are
// dropped, and the oldest go while the history holds more than its limit.
void PushStep(UndoHistory& history, UndoStep step);

// `level` becomes `replacement` (New, Load, a restore), as a step that
// brings the level before back whole. The plane above the top stays where
// both have the same plan.
void ReplaceLevel(Level& level, Level&& replacement, UndoHistory& history);

// The level is what its file holds now (or a new level).
void MarkSaved(UndoHistory& history);
// Whether the level differs from what was last loaded, saved or created.
bool HasUnsavedChanges(const UndoHistory& history);

// False when there is nothing to undo or redo.
bool Undo(UndoHistory& history, Level& level);
bool Redo(UndoHistory& history, Level& level);

}  // namespace terrafix
