// The later game's block numbers (a schematic's "Alpha" materials) as the
// classic game's: each block the classic game lacks becomes the classic
// block closest to it, by a builder's mapping as map converters use; wool
// and stained clay by their colour.
#pragma once

#include <cstdint>

namespace terrafix {

struct ClassicBlock {
  uint8_t Block = 0;
  bool Differs = false;  // the later game's number means something else, or nothing, in the classic game
  bool Close = true;     // a row names it; false: none does, and it became stone
};

// The classic block for the later game's `block` with its variant `data`
// (the colour of wool and stained clay; ignored for the rest).
ClassicBlock ClassicBlockFor(uint8_t block, uint8_t data);

}  // namespace terrafix
