// A level as the reader of its format found it in the bytes of an
// uncompressed file, or of its start: what every format tells in the same
// terms, in the editor's axes (x across, y the other way in plan, z up).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace terrafix {

// The most a level's own header or trailer may hold, where its format has
// no larger bound.
constexpr size_t LargestOwnPart = 64 * 1024;

struct FoundLevel {
  bool Level = false;  // a level of the format, with its size
  bool Whole = false;  // its cells are all in the bytes (a file may be cut short after its start)
  int32_t Width = 0, Length = 0, Height = 0;
  size_t CellsOffset = 0;  // where its cells begin; 0 where the bytes end before they do
  size_t CellCount = 0;
  size_t TimeOffset = 0;                   // where the eight bytes of the time it was saved stand; 0: none
  size_t LargestHeader = LargestOwnPart;   // the most its format keeps before the cells
  size_t LargestTrailer = LargestOwnPart;  // and after them
  size_t TrailerRoom = LargestOwnPart;     // the room a load makes at first for what follows them
  bool WideBlocks = false;                 // blocks numbered past 255, in more than a byte a cell
  std::string Flaw;                        // of the format, but not a level the editor reads: why
  // A schematic's: its Data (a byte per cell, the variant of each block) and
  // whether its blocks are numbered as the later game numbers them, with
  // where the text of Materials stands.
  size_t VariantsOffset = 0;
  bool LaterNumbering = false;
  size_t MaterialsOffset = 0;
};

}  // namespace terrafix
