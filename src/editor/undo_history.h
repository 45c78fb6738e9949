// Undo and redo. A step is one stroke (every cell that painting changed from
// a left press to its release) or a New or a Load (the whole level-file
// region as it was). A step holds the cells' other values: undoing swaps
// them into the grid, which leaves there the values that redoing swaps back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "level/level_grid.h"

namespace terrafix {

constexpr size_t UndoMemoryLimit = size_t{32} << 20;

struct CellChange {
  size_t Index;  // in the grid's storage
  TileId Value;  // the value to swap in
};

struct UndoStep {
  std::vector<CellChange> Cells;  // a stroke
  // New or Load: the level-file region in file order, a byte a cell, or a
  // TileId a cell when some cell held a value that a byte cannot.
  std::vector<uint8_t> Level;
  std::vector<TileId> WideLevel;
  size_t Bytes() const;
};

struct UndoHistory {
  std::deque<UndoStep> Steps;  // oldest first
  size_t Done = 0;             // Steps[0, Done) can be undone, the rest redone
  UndoStep Stroke;             // the cells of the stroke under way
  size_t Bytes = 0;            // what Steps hold
  size_t Limit = UndoMemoryLimit;
  // The value of Done at which the level is what was last loaded, saved or
  // created (none when no undo or redo can bring that back), and the name of
  // that level (empty for a new one).
  std::optional<size_t> SavedAt = 0;
  std::string SavedName;
};

// Painting is about to change the cell at `index`, which holds `old`.
void RecordPaint(UndoHistory& history, size_t index, TileId old);
// The press has ended: its stroke becomes a step if it changed any cell.
void EndStroke(UndoHistory& history);

// The level-file region of `grid` as it is now, as a step (before New or Load).
UndoStep LevelStep(const LevelGrid& grid);
// A step that has just been done. Steps that could have been redone are
// dropped, and the oldest go while the history holds more than its limit.
void PushStep(UndoHistory& history, UndoStep step);

// The level is what the file `name` holds now (empty: a new level).
void MarkSaved(UndoHistory& history, const std::string& name);
// Whether the level differs from what was last loaded, saved or created.
bool HasUnsavedChanges(const UndoHistory& history);

// False when there is nothing to undo or redo.
bool Undo(UndoHistory& history, LevelGrid& grid);
bool Redo(UndoHistory& history, LevelGrid& grid);

}  // namespace terrafix
