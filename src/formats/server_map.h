// Server maps (.lvl): a gzip stream of a little-endian header (the
// identifier 1874, the width, length and height, the spawn, its heading and
// pitch and the visit and build permissions: 18 bytes; or an older 16-byte
// form without the identifier and the permissions), then the cells in the
// editor's own order (x fastest, then the plan's other axis, then up), then
// optional sections of the server's own (custom blocks, physics, zones).
//
// The reader checks the header against what follows before it takes a map;
// the sections are kept as they are, byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "formats/found_level.h"
#include "formats/level_formats.h"
#include "level/level.h"

namespace terrafix {

struct ServerMap {
  bool Found = false;  // a map's header, with a size a level can have
  int32_t Width = 0, Length = 0, Height = 0;  // the editor's x, y (plan) and z (up)
  size_t CellsOffset = 0;                     // 18, or 14 for the older form
  size_t CellCount = 0;
  bool CellsWhole = false;  // all of them are in the file (it may be cut short after its start)
};

// Reads the header of an uncompressed map, or of its start. An older map
// (whose header has nothing to tell it by) is taken only where its spawn
// lies in it and, when the file is whole, what follows its cells is empty
// or begins with a section.
ServerMap ReadServerMap(std::span<const uint8_t> file);

// The same, as every format tells what it found.
FoundLevel FindServerMap(std::span<const uint8_t> file);

// The most a map may hold after its cells: its custom blocks take up to a
// byte per cell and one per chunk, and its physics and zones are bounded by
// as much again and LargestServerMapExtra more.
size_t LargestServerMapTrailer(size_t cellCount);

// The 18-byte header of a new map of the level's size: its spawn at the
// middle of the level on the first air above the ground, heading, pitch and
// permissions 0.
std::vector<uint8_t> NewServerMapHeader(const Level& level);
// That header, and nothing after the cells.
FileParts NewServerMapParts(const Level& level, const NewFileFacts& facts);

}  // namespace terrafix
