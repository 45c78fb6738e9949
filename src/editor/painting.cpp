#include "editor/painting.h"

#include "display/view_geometry.h"

namespace terrafix {

void PaintAtPointer(const EditorState& s, LevelGrid& grid, UndoHistory& history) {
  const ViewCell cell = ViewCellAt(s, s.MouseX, s.MouseY);
  if (cell.View == SliceView::None) return;
  const size_t index = GridIndexOf(s, cell);
  if (grid.Cells[index] == s.CurrentTile) return;
  RecordPaint(history, index, grid.Cells[index]);
  grid.Cells[index] = s.CurrentTile;
}

}  // namespace terrafix
