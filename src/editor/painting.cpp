#include "editor/painting.h"

#include "display/view_geometry.h"

namespace terrafix {

void PaintAtPointer(const EditorState& s, Level& level, UndoHistory& history) {
  const ViewCell cell = ViewCellAt(s, level, s.MouseX, s.MouseY);
  if (cell.View == SliceView::None) return;
  const size_t index = CellIndexOf(s, level, cell);
  uint8_t& painted = CellAt(level, index);
  const uint8_t tile = static_cast<uint8_t>(s.CurrentTile);  // a cell holds the tile's low byte
  if (painted == tile) return;
  RecordPaint(history, index, painted);
  painted = tile;
}

}  // namespace terrafix
