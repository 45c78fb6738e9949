#include "editor/undo_history.h"

#include <algorithm>
#include <utility>

namespace terrafix {

void PutBitsOther(const UndoStep& step, Level& level) {
  const CellBox& b = step.Box;
  size_t bit = 0;
  for (int32_t z = b.Z0; z <= b.Z1; ++z) {
    for (int32_t y = b.Y0; y <= b.Y1; ++y) {
      uint8_t* row = &level.Cells[CellIndex(level, b.X0, y, z)];
      for (int32_t x = 0; x < BoxWidth(b); ++x, ++bit) {
        if (BoxBit(step.BoxBits, bit)) row[x] = step.BitsOther;
      }
    }
  }
}

namespace {

void NoteChanged(LevelChanges& changes, size_t index) {
  changes.First = std::min(changes.First, index);
  changes.Last = std::max(changes.Last, index);
}

bool HasBox(const UndoStep& step) { return !step.BoxValues.empty() || !step.BoxBits.empty(); }

// The step's cells or level have just gone into the level.
void NoteChanged(LevelChanges& changes, const UndoStep& step) {
  if (step.Whole) changes.Whole = true;
  for (const CellChange& change : step.Cells) NoteChanged(changes, change.Index);
  if (HasBox(step)) {
    NoteChanged(changes, step.BoxFirst);
    NoteChanged(changes, step.BoxLast);
  }
}

// Swaps the box's cells with the step's values, row by row.
void SwapBoxValues(UndoStep& step, Level& level) {
  const CellBox& b = step.Box;
  const auto width = static_cast<std::ptrdiff_t>(BoxWidth(b));
  auto values = step.BoxValues.begin();
  for (int32_t z = b.Z0; z <= b.Z1; ++z) {
    for (int32_t y = b.Y0; y <= b.Y1; ++y, values += width) {
      const auto row = level.Cells.begin() + static_cast<std::ptrdiff_t>(CellIndex(level, b.X0, y, z));
      std::swap_ranges(row, row + width, values);
    }
  }
}

// Puts the step's cells (or level) into the level and keeps the level's in the step.
void Swap(UndoStep& step, Level& level, LevelChanges& changes) {
  for (CellChange& change : step.Cells) std::swap(CellAt(level, change.Index), change.Value);
  if (!step.BoxValues.empty()) SwapBoxValues(step, level);
  if (!step.BoxBits.empty()) {
    PutBitsOther(step, level);
    std::swap(step.BitsOther, step.BitsNow);
  }
  if (step.Whole) std::swap(*step.Whole, level);
  NoteChanged(changes, step);
}

}  // namespace

// What a step takes in memory: its own record in the history, and each block
// its vectors hold with the allocator's bookkeeping for it; so that a great
// many small strokes count as what they cost.
size_t UndoStep::Bytes() const {
  constexpr size_t BlockBookkeeping = 16;
  auto block = [](size_t bytes) { return bytes == 0 ? 0 : bytes + BlockBookkeeping; };
  size_t bytes = sizeof(UndoStep) + block(Cells.capacity() * sizeof(CellChange)) + block(BoxValues.capacity()) +
                 block(BoxBits.capacity());
  if (Whole) {
    bytes += block(sizeof(Level)) + block(Whole->Cells.capacity()) + block(Whole->TopPlane.capacity()) +
             block(Whole->Form.Header.capacity()) + block(Whole->Form.Trailer.capacity());
  }
  return bytes;
}

UndoStep BoxStep(const Level& level, const CellBox& box) {
  UndoStep step;
  step.Box = box;
  step.BoxFirst = CellIndex(level, box.X0, box.Y0, box.Z0);
  step.BoxLast = CellIndex(level, box.X1, box.Y1, box.Z1);
  return step;
}

void RecordPaint(UndoHistory& history, size_t index, uint8_t old) {
  history.Stroke.Cells.push_back({index, old});
  NoteChanged(history.Changes, index);
}

void EndStroke(UndoHistory& history) {
  if (history.Stroke.Cells.empty()) return;
  UndoStep stroke = std::move(history.Stroke);
  history.Stroke = {};
  stroke.Cells.shrink_to_fit();  // what the stroke's growth left spare
  PushStep(history, std::move(stroke));
}

void PushStep(UndoHistory& history, UndoStep step) {
  EndStroke(history);  // a stroke under way is done before anything else
  while (history.Steps.size() > history.Done) {
    history.Bytes -= history.Steps.back().Bytes();
    history.Steps.pop_back();
  }
  if (history.SavedAt > history.Done) history.SavedAt.reset();  // it could only have been redone
  NoteChanged(history.Changes, step);
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

void ReplaceLevel(Level& level, Level&& replacement, UndoHistory& history) {
  if (replacement.Width == level.Width && replacement.Length == level.Length) {
    replacement.TopPlane = level.TopPlane;
  }
  UndoStep step;
  step.Whole = std::make_unique<Level>(std::move(level));
  level = std::move(replacement);
  PushStep(history, std::move(step));
}

void MarkSaved(UndoHistory& history) {
  EndStroke(history);
  history.SavedAt = history.Done;
}

LevelChanges TakeChanges(UndoHistory& history) {
  const LevelChanges changes = history.Changes;
  history.Changes = {};
  return changes;
}

bool HasUnsavedChanges(const UndoHistory& history) {
  return history.SavedAt != history.Done || !history.Stroke.Cells.empty();
}

bool Undo(UndoHistory& history, Level& level) {
  EndStroke(history);
  if (history.Done == 0) return false;
  UndoStep& step = history.Steps[--history.Done];
  history.Bytes -= step.Bytes();
  Swap(step, level, history.Changes);
  history.Bytes += step.Bytes();
  return true;
}

bool Redo(UndoHistory& history, Level& level) {
  EndStroke(history);
  if (history.Done == history.Steps.size()) return false;
  UndoStep& step = history.Steps[history.Done++];
  history.Bytes -= step.Bytes();
  Swap(step, level, history.Changes);
  history.Bytes += step.Bytes();
  return true;
}

}  // namespace terrafix
