// Writes the editor's icon, an SVG drawing of a side view of a new level in
// the editor's own tile colours: stone, dirt and grass under air, with a tree
// and a pool of water.
//   terrafix_make_icon PATH
#include <cstdio>
#include <fstream>
#include <string>

#include "display/tile_colours.h"

namespace {

constexpr int Cells = 8;     // cells across and down
constexpr int CellSize = 16;  // in the icon's units: 128 x 128 in all

// The tile of each cell, top row first: '.' air, 'S' stone, 'D' dirt,
// 'G' grass, 'W' water, 'T' tree wood, 'P' plant.
constexpr const char* Picture[Cells] = {
    "........",
    ".....PP.",
    "....PPPP",
    ".....TP.",
    "GG...T..",
    "DDGWWGGG",
    "DSDDDDDD",
    "SSSSSSSS",
};

int TileOf(char c) {
  switch (c) {
    case 'S': return 1;
    case 'G': return 2;
    case 'D': return 3;
    case 'W': return 8;
    case 'T': return 17;
    case 'P': return 18;
    default: return 0;
  }
}

std::string Rgb(uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", colour & 0xFFFFFFu);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: terrafix_make_icon PATH\n");
    return 2;
  }
  const int size = Cells * CellSize;
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(size) + "\" height=\"" +
                    std::to_string(size) + "\" viewBox=\"0 0 " + std::to_string(size) + " " + std::to_string(size) +
                    "\">\n";
  // Air is the colour of the dimmed plane behind: a dark sky.
  svg += "  <rect width=\"" + std::to_string(size) + "\" height=\"" + std::to_string(size) + "\" fill=\"" +
         Rgb(terrafix::TileColour(8, 2)) + "\"/>\n";
  for (int row = 0; row < Cells; ++row) {
    for (int column = 0; column < Cells; ++column) {
      const int tile = TileOf(Picture[row][column]);
      if (tile == 0) continue;
      svg += "  <rect x=\"" + std::to_string(column * CellSize) + "\" y=\"" + std::to_string(row * CellSize) +
             "\" width=\"" + std::to_string(CellSize) + "\" height=\"" + std::to_string(CellSize) + "\" fill=\"" +
             Rgb(terrafix::TileColour(tile, 1)) + "\" stroke=\"" + Rgb(terrafix::GridColour) + "\"/>\n";
    }
  }
  svg += "</svg>\n";
  std::ofstream out(argv[1], std::ios::binary);
  out << svg;
  return out ? 0 : 1;
}
