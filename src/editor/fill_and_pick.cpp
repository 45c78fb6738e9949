#include "editor/fill_and_pick.h"

#include <algorithm>
#include <utility>

#include "display/view_geometry.h"
#include "platform/machine/machine_memory.h"

namespace terrafix {

namespace {

constexpr int32_t LeftButton = 1, RightButton = 2, MiddleButton = 4;
constexpr int32_t NoButton = 0, Unreadable = -1;

void FollowPointer(EditorState& s, const Level& level) {
  const ViewCell to = NearestCellOf(s, level, s.FillView, s.MouseX, s.MouseY);
  s.FillToH = to.H;
  s.FillToV = to.V;
}

}  // namespace

void FillRectangle(const EditorState& s, SliceView view, int32_t fromH, int32_t fromV, int32_t toH, int32_t toV,
                   TileId tile, Level& level, UndoHistory& history) {
  const int32_t firstH = std::min(fromH, toH), lastH = std::max(fromH, toH);
  const int32_t firstV = std::min(fromV, toV), lastV = std::max(fromV, toV);
  UndoStep step;
  step.Cells.reserve(static_cast<size_t>(lastH - firstH + 1) * static_cast<size_t>(lastV - firstV + 1));
  AdviseLargePages(step.Cells.data(), step.Cells.capacity() * sizeof(CellChange));  // a whole layer: megabytes
  for (int32_t h = firstH; h <= lastH; ++h) {
    for (int32_t v = firstV; v <= lastV; ++v) {
      const size_t index = CellIndexOf(s, level, {view, h, v});
      uint8_t& cell = CellAt(level, index);
      if (cell == static_cast<uint8_t>(tile)) continue;
      step.Cells.push_back({index, cell});
      cell = static_cast<uint8_t>(tile);
    }
  }
  if (!step.Cells.empty()) PushStep(history, std::move(step));
}

void HandleFillAndPick(EditorState& s, Level& level, UndoHistory& history, int32_t previousButtons) {
  const int32_t buttons = s.MouseButtons;
  if (buttons == Unreadable) return;  // the pointer is away: a drag goes on as it was
  if (s.FillView != SliceView::None) {
    if (buttons & LeftButton) {
      s.FillView = SliceView::None;  // cancelled: nothing is filled
    } else if (buttons == RightButton) {
      FollowPointer(s, level);
    } else if (buttons == NoButton) {
      FollowPointer(s, level);
      FillRectangle(s, s.FillView, s.FillFromH, s.FillFromV, s.FillToH, s.FillToV, s.CurrentTile, level, history);
      s.FillView = SliceView::None;
    }
    return;
  }
  if (previousButtons != NoButton) return;  // only a press from no button acts
  const ViewCell cell = ViewCellAt(s, level, s.MouseX, s.MouseY);
  if (cell.View == SliceView::None) return;
  if (buttons == MiddleButton) s.CurrentTile = CellAt(level, CellIndexOf(s, level, cell));
  if (buttons == RightButton) {
    s.FillView = cell.View;
    s.FillFromH = s.FillToH = cell.H;
    s.FillFromV = s.FillToV = cell.V;
  }
}

}  // namespace terrafix
