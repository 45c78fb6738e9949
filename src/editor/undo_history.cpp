#include "editor/undo_history.h"

#include <algorithm>
#include <utility>

#include "files/file_order.h"

namespace terrafix {

namespace {

bool FitsInAByte(TileId tile) { return tile >= 0 && tile <= 255; }

bool RegionFitsInBytes(const LevelGrid& grid) {
  for (int x = 0; x < LevelWidth; ++x) {
    for (int y = 0; y < LevelWidth; ++y) {
      const TileId* column = grid.Cells.data() + CellIndex(x, y, 0);
      if (!std::all_of(column, column + LevelHeight, FitsInAByte)) return false;
    }
  }
  return true;
}

void ForEachRegionCell(auto action) {
  for (int z = 0; z < LevelHeight; ++z) {
    for (int y = 0; y < LevelWidth; ++y) {
      for (int x = 0; x < LevelWidth; ++x) action(FileOrderIndex(x, y, z), CellIndex(x, y, z));
    }
  }
}

// Puts the step's cells into the grid and keeps the grid's in the step.
void Swap(UndoStep& step, LevelGrid& grid) {
  for (CellChange& change : step.Cells) std::swap(grid.Cells[change.Index], change.Value);
  if (step.Level.empty() && step.WideLevel.empty()) return;
  UndoStep now = LevelStep(grid);
  if (!step.Level.empty()) {
    FileOrderToGrid(step.Level, grid);
  } else {
    ForEachRegionCell([&](size_t file, size_t cell) { grid.Cells[cell] = step.WideLevel[file]; });
  }
  step.Level = std::move(now.Level);
  step.WideLevel = std::move(now.WideLevel);
}

}  // namespace

// What a step takes in memory: its own record in the history, and each block
// its vectors hold with the allocator's bookkeeping for it; so that a great
// many small strokes count as what they cost.
size_t UndoStep::Bytes() const {
  constexpr size_t BlockBookkeeping = 16;
  auto block = [](size_t bytes) { return bytes == 0 ? 0 : bytes + BlockBookkeeping; };
  return sizeof(UndoStep) + block(Cells.capacity() * sizeof(CellChange)) + block(Level.capacity()) +
         block(WideLevel.capacity() * sizeof(TileId));
}

void RecordPaint(UndoHistory& history, size_t index, TileId old) { history.Stroke.Cells.push_back({index, old}); }

void EndStroke(UndoHistory& history) {
  if (history.Stroke.Cells.empty()) return;
  UndoStep stroke = std::move(history.Stroke);
  history.Stroke = {};
  stroke.Cells.shrink_to_fit();  // what the stroke's growth left spare
  PushStep(history, std::move(stroke));
}

UndoStep LevelStep(const LevelGrid& grid) {
  UndoStep step;
  if (RegionFitsInBytes(grid)) {
    step.Level.resize(FileOrderLength);
    GridToFileOrder(grid, step.Level);
  } else {
    step.WideLevel.resize(FileOrderLength);
    ForEachRegionCell([&](size_t file, size_t cell) { step.WideLevel[file] = grid.Cells[cell]; });
  }
  return step;
}

void PushStep(UndoHistory& history, UndoStep step) {
  EndStroke(history);  // a stroke under way is done before anything else
  while (history.Steps.size() > history.Done) {
    history.Bytes -= history.Steps.back().Bytes();
    history.Steps.pop_back();
  }
  if (history.SavedAt > history.Done) history.SavedAt.reset();  // it could only have been redone
  history.Bytes += step.Bytes();
  history.Steps.push_back(std::move(step));
  history.Done = history.Steps.size();
  while (history.Bytes > history.Limit && history.Steps.size() > 1) {
    history.Bytes -= history.Steps.front().Bytes();
    history.Steps.pop_front();
    --history.Done;
    if (history.SavedAt == size_t{0}) {
      history.SavedAt.reset();  // it could only have been undone to
    } else if (history.SavedAt) {
      --*history.SavedAt;
    }
  }
}

void MarkSaved(UndoHistory& history, const std::string& name) {
  EndStroke(history);
  history.SavedAt = history.Done;
  history.SavedName = name;
}

bool HasUnsavedChanges(const UndoHistory& history) {
  return history.SavedAt != history.Done || !history.Stroke.Cells.empty();
}

bool Undo(UndoHistory& history, LevelGrid& grid) {
  EndStroke(history);
  if (history.Done == 0) return false;
  UndoStep& step = history.Steps[--history.Done];
  history.Bytes -= step.Bytes();
  Swap(step, grid);
  history.Bytes += step.Bytes();
  return true;
}

bool Redo(UndoHistory& history, LevelGrid& grid) {
  EndStroke(history);
  if (history.Done == history.Steps.size()) return false;
  UndoStep& step = history.Steps[history.Done++];
  history.Bytes -= step.Bytes();
  Swap(step, grid);
  history.Bytes += step.Bytes();
  return true;
}

}  // namespace terrafix
