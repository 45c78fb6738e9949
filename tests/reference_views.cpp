#include "reference_views.h"

#include "display/tile_colours.h"
#include "display/toolbar.h"
#include "platform/screen/screen.h"

namespace terrafix::testing {

namespace {

struct CellBox {
  int X1, Y1;  // top-left pixel
};

void Fill(const CellBox& b, int zoom, uint32_t colour) {
  DrawBox(static_cast<float>(b.X1), static_cast<float>(b.Y1), static_cast<float>(b.X1 + zoom - 1),
          static_cast<float>(b.Y1 + zoom - 1), colour, true);
}

// Step 1: the neighbour dimmed, if its plane is drawn.
void Step1(const CellBox& b, int zoom, bool neighbourDrawn, TileId neighbour) {
  if (neighbourDrawn) Fill(b, zoom, TileColour(neighbour, 2));
}
// Step 2: the cell's own tile unless air.
void Step2(const CellBox& b, int zoom, TileId own) {
  if (own != 0) Fill(b, zoom, TileColour(own, 1));
}
// Step 3: the outline, one pixel further right and down.
void Step3(const CellBox& b, int zoom, bool grid) {
  if (grid) {
    DrawBox(static_cast<float>(b.X1), static_cast<float>(b.Y1), static_cast<float>(b.X1 + zoom),
            static_cast<float>(b.Y1 + zoom), GridColour, false);
  }
}

}  // namespace

void DrawViewsByBoxes(const EditorState& s, const Level& g) {
  const int Z = s.Zoom, OX = s.ViewOriginX, OY = s.ViewOriginY;
  const bool sides = s.ViewMode == 1 || s.ViewMode == 3;
  const bool top = s.ViewMode != 3;
  const int S = s.ViewMode == 1 ? 260 : 0;
  const bool grid = s.GridVisible == 1;
  for (int h = 0; h <= 255; ++h) {
    if (sides) {
      for (int z = 0; z <= 63; ++z) {
        CellBox a{OX + Z * (S + h), OY + Z * (63 - z)};
        CellBox b{OX + Z * (S + h), OY + Z * (133 - z)};
        bool aNeighbour = s.SliceX <= 254, bNeighbour = s.SliceY <= 254;
        Step1(a, Z, aNeighbour, aNeighbour ? ReadCell(g, s.SliceX + 1, h, z) : 0);
        Step1(b, Z, bNeighbour, bNeighbour ? ReadCell(g, h, s.SliceY + 1, z) : 0);
        Step2(a, Z, ReadCell(g, s.SliceX, h, z));
        Step2(b, Z, ReadCell(g, h, s.SliceY, z));
        Step3(a, Z, grid);
        Step3(b, Z, grid);
      }
    }
    if (top) {
      for (int y = 0; y <= 255; ++y) {
        CellBox t{OX + Z * h, OY + Z * y};
        bool below = s.Layer >= 1;
        Step1(t, Z, below, below ? ReadCell(g, h, y, s.Layer - 1) : 0);
        Step2(t, Z, ReadCell(g, h, y, s.Layer));
        Step3(t, Z, grid);
      }
    }
  }
}

void DrawPassByBoxes(const EditorState& state, const Level& grid) {
  LockScreen();
  ClearScreen();
  PrintTitle();
  DrawViewsByBoxes(state, grid);
  DrawToolbar(state);
  PrintReadouts(state);
  UnlockScreen();
}

}  // namespace terrafix::testing
