// An uncompressed level file: the 319 header bytes, then the cells of x, y
// 0..255 and z 0..63 in rows of 256 (x fastest, then y, then z), then the 75
// trailer bytes; 4,194,698 bytes in all.
#pragma once

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// Writes the whole file into an open slot: HeaderBytes, the cells (each its
// low byte) and TrailerBytes.
void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header);

// Replaces HeaderBytes and the level-file region of the grid from an open slot
// whose header has passed the check.
void ReadLevelCells(int slot, LevelGrid& grid, HeaderTemplate& header);
// What ReadLevelCells does besides the cells, for a file whose cells are
// already in the grid: HeaderBytes and RowBuffer read as it leaves them.
void ReadLevelFileEnds(int slot, HeaderTemplate& header);

// Begins laying the cells of `grid` out for a WriteLevelFile of the same grid,
// on the helper thread: Save starts it when it asks for the name, so that the
// work is done while the name is typed. The grid must not change until that
// WriteLevelFile or DropLevelFileLayout.
void LayOutLevelFileAhead(const LevelGrid& grid);
// Stops a layout begun ahead (nothing if none was).
void DropLevelFileLayout();

}  // namespace terrafix
