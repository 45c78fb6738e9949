#include "display/picture_colours.h"

#include <array>

#include "display/tile_colours.h"

namespace terrafix {

namespace {

// The game's tiles that the slice views have no colour for: the average of
// each one's texture, near enough to tell them apart.
struct GameColour {
  uint8_t Tile;
  uint32_t Colour;
};
constexpr GameColour GameColours[] = {
    {6, 0xFF4E8A2E},  {7, 0xFF3C3C3C},  // sapling, bedrock
    {20, 0xFFC8E6EB},                   // glass
    // The cloth colours.
    {21, 0xFFDF3B3B}, {22, 0xFFDF8E3B}, {23, 0xFFDFDF3B}, {24, 0xFF8EDF3B}, {25, 0xFF3BDF3B}, {26, 0xFF3BDF8E},
    {27, 0xFF3BDFDF}, {28, 0xFF68A3DF}, {29, 0xFF7878DF}, {30, 0xFF8E3BDF}, {31, 0xFFA854DF}, {32, 0xFFDF3BDF},
    {33, 0xFFDF3B8E}, {34, 0xFF4E4E4E}, {35, 0xFF9C9C9C}, {36, 0xFFDFDFDF},
    {37, 0xFFE8D23A}, {38, 0xFFC8302C},  // dandelion, rose
    {39, 0xFF8B6B4E}, {40, 0xFFC43C3C},  // brown and red mushroom
    {41, 0xFFF5D54A}, {42, 0xFFDCDCDC},  // gold and iron block
    {43, 0xFFA8A8A8}, {44, 0xFFA8A8A8},  // double slab, slab
    {45, 0xFF96503C}, {46, 0xFFC8462D},  // bricks, TNT
    {47, 0xFF6E5A3C}, {48, 0xFF5A7355},  // bookshelf, mossy cobblestone
    {49, 0xFF14121E},                    // obsidian
    // The extension blocks.
    {50, 0xFF6E6E6E}, {51, 0xFF967850}, {52, 0xFFD8CC96}, {53, 0xFFF0FAFA}, {54, 0xFFE6782D},
    {55, 0xFFF0AAC3}, {56, 0xFF285A28}, {57, 0xFF6E4628}, {58, 0xFF283CA0}, {59, 0xFF3CB4B4},
    {60, 0xFFA0C3F5}, {61, 0xFFC8C3B9}, {62, 0xFF8C2D14}, {63, 0xFFE6E1D2}, {64, 0xFF9B7346},
    {65, 0xFF828282},
};

std::array<uint32_t, 256> MakeTable() {
  std::array<uint32_t, 256> table;
  table.fill(UnknownTileColour);
  for (const GameColour& c : GameColours) table[c.Tile] = c.Colour;
  for (int tile = 0; tile < 256; ++tile) {
    if (HasTileColour(tile)) table[tile] = TileColour(tile, 1);
  }
  return table;
}

}  // namespace

uint32_t PictureColour(uint8_t tile) {
  static const std::array<uint32_t, 256> Table = MakeTable();
  return Table[tile];
}

}  // namespace terrafix
