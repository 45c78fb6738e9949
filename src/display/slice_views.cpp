// The views are drawn as if cell by cell with boxes (the neighbour dimmed,
// then the cell's own tile, then its outline, in the order of the horizontal
// index), but the pixels are written straight into the frame, each once: the
// final colour of every cell is worked out first, then the view is laid down
// one pixel row at a time. With the grid on, the outlines of neighbouring cells
// always end up as one lattice of lines on every Zoom-th pixel row and column,
// from a view's first pixel to one past its last cell, and the cell colours
// fill what lies between.
#include "display/slice_views.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "display/tile_colours.h"
#include "display/view_geometry.h"
#include "platform/screen.h"

namespace terrafix {

namespace {

constexpr uint32_t Black = 0xFF000000;
constexpr int Cells = LevelWidth;  // cells across every view

struct ColourTables {
  std::array<uint32_t, 256> Full{};
  std::array<uint32_t, 256> Dimmed{};
  ColourTables() {
    for (int t = 0; t < 256; ++t) {
      Full[t] = TileColour(t, 1);
      Dimmed[t] = TileColour(t, 2);
    }
  }
};

const ColourTables& Colours() {
  static const ColourTables tables;
  return tables;
}

// What a cell shows: its own tile unless air, else the neighbour dimmed where
// a neighbour plane is drawn, else the black of the cleared screen. Tiles
// outside 0..255 have no colour of their own: black.
inline uint32_t CellColour(const ColourTables& c, TileId own, const TileId* neighbour) {
  if (own != 0) return static_cast<uint32_t>(own) < 256 ? c.Full[own] : Black;
  if (!neighbour) return Black;
  return static_cast<uint32_t>(*neighbour) < 256 ? c.Dimmed[*neighbour] : Black;
}

struct ViewPlacement {
  int Left;     // pixel column of the view's first cell
  int Top;      // pixel row of the view's first cell
  int Rows;     // cell rows
  int Visible;  // cell columns that reach into the window
};

ViewPlacement Place(const EditorState& s, int cellColumn, int cellRow, int rows) {
  ViewPlacement p{s.ViewOriginX + s.Zoom * cellColumn, s.ViewOriginY + s.Zoom * cellRow, rows, 0};
  p.Visible = std::clamp((ScreenWidth - p.Left + s.Zoom - 1) / s.Zoom, 0, Cells);
  return p;
}

// Lays down a view whose cell colours are colours[row * 256 + column].
void LayDownView(uint32_t* frame, const ViewPlacement& p, int zoom, bool grid, const uint32_t* colours) {
  const int right = std::min(p.Left + Cells * zoom - (grid ? 0 : 1), ScreenWidth - 1);
  const int bottom = std::min(p.Top + p.Rows * zoom - (grid ? 0 : 1), ScreenHeight - 1);
  if (right < p.Left) return;
  const size_t span = static_cast<size_t>(right - p.Left + 1);
  std::array<uint32_t, ScreenWidth> line;
  int lineRow = -1;
  for (int y = p.Top; y <= bottom; ++y) {
    uint32_t* out = frame + static_cast<size_t>(y) * ScreenWidth + p.Left;
    const int cellRow = (y - p.Top) / zoom;
    if (grid && (y - p.Top) % zoom == 0) {
      std::fill(out, out + span, GridColour);
      continue;
    }
    if (cellRow != lineRow) {  // build the pixel row of this cell row once
      lineRow = cellRow;
      const uint32_t* row = colours + static_cast<size_t>(cellRow) * Cells;
      uint32_t* px = line.data();
      for (int c = 0; c < p.Visible; ++c) {
        int k = 0;
        if (grid) px[k++] = GridColour;
        for (; k < zoom; ++k) px[k] = row[c];
        px += zoom;
      }
      if (grid) *px = GridColour;
    }
    std::memcpy(out, line.data(), span * sizeof(uint32_t));
  }
}

void DrawTopView(uint32_t* frame, const EditorState& s, const LevelGrid& grid) {
  static std::array<uint32_t, Cells * Cells> colours;
  const ColourTables& c = Colours();
  const bool below = s.Layer >= 1;
  for (int x = 0; x < Cells; ++x) {
    const TileId* column = grid.Cells.data() + CellIndex(x, 0, s.Layer);
    for (int y = 0; y < Cells; ++y, column += GridExtentZ) {
      colours[static_cast<size_t>(y) * Cells + x] = CellColour(c, column[0], below ? column - 1 : nullptr);
    }
  }
  LayDownView(frame, Place(s, 0, 0, Cells), s.Zoom, s.GridVisible == 1, colours.data());
}

// One side view: the plane through `first` (the cell of horizontal index 0 at
// height 0), `step` cells apart along the horizontal index, `behind` cells to
// the neighbour plane, or no neighbour when `behind` is 0.
void DrawSideView(uint32_t* frame, const EditorState& s, const TileId* first, size_t step, size_t behind,
                  int firstRow) {
  static std::array<uint32_t, Cells * LevelHeight> colours;
  const ColourTables& c = Colours();
  const ViewPlacement p = Place(s, SideViewShift(s.ViewMode), firstRow, LevelHeight);
  for (int h = 0; h < p.Visible; ++h) {
    const TileId* column = first + h * step;
    for (int z = 0; z < LevelHeight; ++z) {
      colours[static_cast<size_t>(LevelHeight - 1 - z) * Cells + h] =
          CellColour(c, column[z], behind ? column + behind + z : nullptr);
    }
  }
  LayDownView(frame, p, s.Zoom, s.GridVisible == 1, colours.data());
}

}  // namespace

void DrawViews(const EditorState& s, const LevelGrid& grid) {
  uint32_t* frame = FramePixels();
  if (!frame) return;
  if (ShowsSideViews(s.ViewMode)) {
    const TileId* cells = grid.Cells.data();
    const size_t xStep = CellIndex(1, 0, 0), yStep = CellIndex(0, 1, 0);
    DrawSideView(frame, s, cells + CellIndex(s.SliceX, 0, 0), yStep, s.SliceX <= 254 ? xStep : 0, 0);
    DrawSideView(frame, s, cells + CellIndex(0, s.SliceY, 0), xStep, s.SliceY <= 254 ? yStep : 0, SideViewBFirstRow);
  }
  if (ShowsTopView(s.ViewMode)) DrawTopView(frame, s, grid);
}

}  // namespace terrafix
