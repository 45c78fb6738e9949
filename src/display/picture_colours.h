// The colours of the isometric picture: the slice views' own colour for the
// tiles that have one, colours close to the game's textures for the rest of
// its tiles (its classic blocks up to 49 and the extension blocks 50..65),
// magenta for a tile no table knows.
#pragma once

#include <cstdint>

namespace terrafix {

constexpr uint32_t UnknownTileColour = 0xFFFF00FF;  // magenta

// 0xFFRRGGBB.
uint32_t PictureColour(uint8_t tile);

// Water, still water, lava and still lava: drawn by their top surface alone.
inline bool IsLiquid(uint8_t tile) { return tile >= 8 && tile <= 11; }

}  // namespace terrafix
