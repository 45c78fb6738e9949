// ClassicWorld levels (.cw): a gzip stream of one big-endian NBT compound
// named "ClassicWorld". `X` is the width, `Y` the height (vertical), `Z` the
// length, and `BlockArray` holds X x Y x Z bytes at (y x Z + z) x X + x: for
// a world of 256 x 64 x 256, the very order of a level file's cells (the
// editor's x is X, its y is Z, its height is Y).
//
// The reader walks every tag, with every length, count and depth checked
// before it is used; a world read is written back with only BlockArray and
// LastModified new, every other tag as it came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "formats/found_level.h"
#include "formats/level_formats.h"
#include "level/level.h"

namespace terrafix {

struct ClassicWorld {
  bool Found = false;  // a ClassicWorld compound with X, Y, Z and a BlockArray of X x Y x Z
  int32_t X = 0, Y = 0, Z = 0;
  size_t BlocksOffset = 0;       // where BlockArray's bytes begin in the file
  size_t BlockCount = 0;
  bool BlocksWhole = false;      // all of them are in the file (it may be cut short after its start)
  size_t LastModifiedOffset = 0; // where LastModified's eight bytes are; 0 when it has none
  bool WideBlocks = false;       // a BlockArray2 was met: blocks numbered past 255, in two bytes a cell
};

ClassicWorld ReadClassicWorld(std::span<const uint8_t> file);

// The same, as every format tells what it found.
FoundLevel FindClassicWorld(std::span<const uint8_t> file);

// A new world around the level's cells: what comes before BlockArray's
// bytes and what comes after them; every required tag, a fresh UUID, `name`
// (cut to 64 bytes at a character's end), the level's size, a spawn at the
// middle of the level on the first air above the ground, and the three times
// `now` (Unix seconds). `lastModifiedOffset` is where the time the world was
// last saved lies.
void NewClassicWorld(const Level& level, const std::string& name, int64_t now, std::vector<uint8_t>& before,
                     std::vector<uint8_t>& after, size_t& lastModifiedOffset);
// The same, named after the file.
FileParts NewClassicWorldParts(const Level& level, const NewFileFacts& facts);

}  // namespace terrafix
