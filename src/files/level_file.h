// An uncompressed level file: the 319 header bytes, then the cells of x, y
// 0..255 and z 0..63 in rows of 256 (x fastest, then y, then z), then the 75
// trailer bytes; 4,194,698 bytes in all.
#pragma once

#include <cstdint>
#include <span>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// Writes the whole file into an open slot: HeaderBytes, the cells (each its
// low byte) and TrailerBytes; or, for a level with a header and trailer of
// its own, those around the cells.
void WriteLevelFile(int slot, const LevelGrid& grid, HeaderTemplate& header);

// Whether the first 319 bytes of an uncompressed file are the template's
// header; they are copied into CompareBuffer (zeros past the file's end).
bool HeaderMatches(std::span<const uint8_t> file, HeaderTemplate& header);

// Replaces HeaderBytes and the level-file region of the grid from the bytes
// of an uncompressed file whose header has passed the check. What the file
// lacks reads as zeros; bytes past the trailer are not looked at.
void ReadLevelCells(std::span<const uint8_t> file, LevelGrid& grid, HeaderTemplate& header);

// The cells of a file of another layout, which begin at `cellsOffset` and
// are all there, into the grid; the bytes before and after them become the
// level's own header and trailer, of `format`.
void ReadOwnLevel(std::span<const uint8_t> file, size_t cellsOffset, HeaderTemplate::Format format, LevelGrid& grid,
                  HeaderTemplate& header);

// A file of the cells in file order with `before` and `after` around them.
void WriteAround(int slot, std::span<const uint8_t> before, std::span<const uint8_t> cells,
                 std::span<const uint8_t> after);

}  // namespace terrafix
