#include "display/tile_colours.h"

#include "level/floor_divide.h"

namespace terrafix {

namespace {

struct BaseColour {
  TileId Tile;
  int32_t Red, Green, Blue;
};

// Every tile not listed, air included, is black.
constexpr BaseColour BaseColours[] = {
    {1, 127, 127, 127}, {2, 0, 200, 0},     {3, 160, 100, 0},   {4, 90, 90, 90},    {5, 200, 150, 0},
    {8, 0, 0, 255},     {9, 0, 0, 255},     {10, 255, 0, 0},    {11, 255, 0, 0},    {12, 255, 255, 127},
    {13, 200, 200, 200}, {14, 127, 127, 127}, {15, 127, 127, 127}, {16, 127, 127, 127}, {17, 100, 60, 0},
    {18, 0, 255, 0},    {19, 255, 255, 255},
};

}  // namespace

bool HasTileColour(TileId tile) {
  for (const BaseColour& c : BaseColours) {
    if (c.Tile == tile) return true;
  }
  return false;
}

uint32_t TileColour(TileId tile, int32_t shade) {
  int32_t red = 0, green = 0, blue = 0;
  for (const BaseColour& c : BaseColours) {
    if (c.Tile == tile) {
      red = c.Red;
      green = c.Green;
      blue = c.Blue;
    }
  }
  if (shade != 0) {
    red = FloorDivide(red, shade);
    green = FloorDivide(green, shade);
    blue = FloorDivide(blue, shade);
  }
  return 0xFF000000u | (static_cast<uint32_t>(red & 0xFF) << 16) | (static_cast<uint32_t>(green & 0xFF) << 8) |
         static_cast<uint32_t>(blue & 0xFF);
}

}  // namespace terrafix
