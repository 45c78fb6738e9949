// The game's own level files of any variant: the magic number, the version,
// then a Java serialization stream of the level object, whose fields some
// servers and clients added to or changed over the years. The reader walks
// the object's description and values far enough to find the cells (the
// byte array `blocks`) and the level's size (`width`, `height`, `depth`),
// and keeps every other byte as it is.
//
// The file is untrusted: every length and count is checked against what is
// left before it is used, nothing is allocated from a length in the file,
// and every loop ends within the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/found_level.h"

namespace terrafix {

struct GameLevel {
  bool Found = false;                        // a level object, walked up to its cells
  int32_t Width = 0, Height = 0, Depth = 0;  // x and the other horizontal extent, and the vertical
  size_t CellsOffset = 0;                    // where `blocks` begins in the file
  size_t CellCount = 0;                      // Width x Height x Depth
  bool CellsWhole = false;                   // all of them are in the file (it may be cut short after its start)
  // Where the values of `width`, `height` and `depth` stand (four bytes each, big-endian).
  size_t WidthAt = 0, HeightAt = 0, DepthAt = 0;
};

// Reads the level object of an uncompressed level file, or of its start.
// Not found for anything that is not one or that the reader cannot walk
// safely.
GameLevel ReadGameLevel(std::span<const uint8_t> file);

// The same, as every format tells what it found.
FoundLevel FindGameLevel(std::span<const uint8_t> file);

}  // namespace terrafix
