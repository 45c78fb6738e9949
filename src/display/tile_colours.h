// The colour of every tile, full or dimmed, and the two fixed display colours.
#pragma once

#include <cstdint>

#include "level/level.h"

namespace terrafix {

constexpr uint32_t BoxRed = 0xFFC80000;
constexpr uint32_t GridColour = 0xFF323232;

// Shade 1 gives the full colour, 2 the dimmed colour of a neighbouring slice.
uint32_t TileColour(TileId tile, int32_t shade);
// Whether the tile has a colour of its own in the table above (all others
// are black).
bool HasTileColour(TileId tile);

}  // namespace terrafix
