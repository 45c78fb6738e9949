#include "editor/painting.h"

#include "display/view_geometry.h"

namespace terrafix {

void PaintAtPointer(const EditorState& s, Level& level, UndoHistory& history) {
  const ViewCell cell = ViewCellAt(s, level, s.MouseX, s.MouseY);
  if (cell.View == SliceView::None) return;
  uint8_t& painted = CellAt(level, CellIndexOf(s, level, cell));
  const uint8_t tile = static_cast<uint8_t>(s.CurrentTile);
  if (painted == tile) return;
  RecordPaint(history, CellIndexOf(s, level, cell), painted);
  painted = tile;
}

}  // namespace terrafix
