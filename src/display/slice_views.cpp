// The views are drawn as if cell by cell with boxes (the neighbour dimmed,
// then the cell's own tile, then its outline, in the order of the horizontal
// index), but the pixels are written straight into the frame, each once: the
// final colours of a row of cells are worked out first, then laid down one
// pixel row at a time. With the grid on, the outlines of neighbouring cells
// always end up as one lattice of lines on every Zoom-th pixel row and column,
// from a view's first pixel to one past its last cell, and the cell colours
// fill what lies between.
#include "display/slice_views.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "display/tile_colours.h"
#include "display/view_geometry.h"

namespace terrafix {

namespace {

constexpr int Cells = LevelWidth;    // cells across every view
constexpr int TableTiles = 257;      // tiles 0..255, and black for every other tile
constexpr int OffTable = 256;
constexpr int MaxZoom = 3;

// The full colours of the tiles, then the same dimmed: one table, so that a
// cell's colour is one read.
struct ColourTable {
  std::array<uint32_t, 2 * TableTiles> Shown{};
  ColourTable() {
    for (int t = 0; t < TableTiles; ++t) {
      const TileId tile = t == OffTable ? -1 : t;
      Shown[t] = TileColour(tile, 1);
      Shown[TableTiles + t] = TileColour(tile, 2);
    }
  }
};

const ColourTable& Colours() {
  static const ColourTable table;
  return table;
}

int TableIndex(TileId tile) { return static_cast<uint32_t>(tile) < OffTable ? tile : OffTable; }

// The plane a view shows, as steps through the grid's storage: the cell of
// horizontal index h in cell row r lies at Origin + h * Across + r * Down.
struct ViewPlane {
  const TileId* Origin;
  ptrdiff_t Across;
  ptrdiff_t Down;
  // From a cell to its neighbour behind, 0 when no neighbour plane is drawn.
  // Then an air cell reads itself as its neighbour: air dimmed is black, the
  // colour of the cleared screen.
  ptrdiff_t Behind;
};

// Where a view lies on the screen.
struct ViewPlacement {
  int Left;        // pixel column of the view's first cell
  int Top;         // pixel row of the view's first cell
  int Rows;        // cell rows
  int Visible;     // cell columns that reach into the frame
  PixelRect Area;  // every pixel the view writes, within the frame
};

ViewPlacement Place(const EditorState& s, int cellColumn, int cellRow, int rows) {
  const int z = s.Zoom, extra = s.GridVisible == 1 ? 1 : 0;
  ViewPlacement p{s.ViewOriginX + z * cellColumn, s.ViewOriginY + z * cellRow, rows, 0, {}};
  p.Visible = std::clamp((ScreenWidth - p.Left + z - 1) / z, 0, Cells);
  p.Area = {p.Left, p.Top, std::min(p.Left + Cells * z - 1 + extra, ScreenWidth - 1),
            std::min(p.Top + rows * z - 1 + extra, ScreenHeight - 1)};
  return p;
}

ViewPlacement PlaceTopView(const EditorState& s) { return Place(s, 0, 0, Cells); }
ViewPlacement PlaceSideView(const EditorState& s, int firstRow) {
  return Place(s, SideViewShift(s.ViewMode), firstRow, LevelHeight);
}

// The cell rows of a view are worked out a group at a time, along each
// column of cells first: in the grid, the cells of a column of the top view
// lie a column of heights apart and those of a side view side by side, so
// each group is read nearly in storage order.
constexpr int GroupRows = 8;
using GroupColours = std::array<std::array<uint32_t, Cells>, GroupRows>;

// What each cell of rows first..first + rows - 1 shows: its own tile unless
// air, else the neighbour dimmed. A tile outside 0..255 is not air: opaque
// black, hiding the neighbour.
void WorkOutColours(const ViewPlane& plane, int first, int rows, int visible, GroupColours& out) {
  const std::array<uint32_t, 2 * TableTiles>& shown = Colours().Shown;
  for (int h = 0; h < visible; ++h) {
    const TileId* cell = plane.Origin + h * plane.Across + first * plane.Down;
    for (int r = 0; r < rows; ++r, cell += plane.Down) {
      const TileId own = cell[0];
      const int dimmed = TableTiles + TableIndex(cell[plane.Behind]);
      out[r][h] = shown[own != 0 ? TableIndex(own) : dimmed];
    }
  }
}

// The pixel row of one cell row: each cell Zoom pixels of its colour, or with
// the grid its left outline pixel and Zoom - 1 of colour, then the closing
// line. Writes `span` pixels: the view's width, or what of it the frame holds.
template <int Zoom, bool Grid>
void BuildRow(const uint32_t* colours, int cells, size_t span, uint32_t* out) {
  // Straight into the frame when the whole row fits; a row cut off by the
  // frame's edge is built aside and copied as far as the edge.
  std::array<uint32_t, Cells * MaxZoom + 1> line;
  const size_t length = static_cast<size_t>(cells * Zoom + (Grid ? 1 : 0));
  uint32_t* target = span >= length ? out : line.data();
  for (int c = 0; c < cells; ++c) {
    for (int k = 0; k < Zoom; ++k) target[c * Zoom + k] = (Grid && k == 0) ? GridColour : colours[c];
  }
  if (Grid) target[cells * Zoom] = GridColour;
  if (target != out) std::copy_n(line.data(), span, out);
}

// Lays down every cell row of a view, each cell row built once in its first
// pixel row and copied to the others; with the grid, a lattice line above
// each cell row and one below the last.
template <int Zoom, bool Grid>
void LayDownView(const ViewPlane& plane, const ViewPlacement& p, uint32_t* frame) {
  const PixelRect& a = p.Area;
  if (a.Right < a.Left || a.Bottom < a.Top) return;
  const size_t span = static_cast<size_t>(a.Right - a.Left + 1);
  GroupColours colours;
  for (int row = 0; row <= p.Rows; ++row) {
    const int y0 = p.Top + row * Zoom;
    if (y0 > a.Bottom) return;
    uint32_t* out = frame + static_cast<size_t>(y0) * ScreenWidth + p.Left;
    int k = 0;
    if (Grid) {  // the lattice line above the cell row, or below the last
      std::fill_n(out, span, GridColour);
      out += ScreenWidth;
      k = 1;
    }
    if (row == p.Rows || y0 + k > a.Bottom) return;
    if (row % GroupRows == 0) WorkOutColours(plane, row, std::min(GroupRows, p.Rows - row), p.Visible, colours);
    BuildRow<Zoom, Grid>(colours[row % GroupRows].data(), p.Visible, span, out);
    for (const uint32_t* built = out; ++k < Zoom && y0 + k <= a.Bottom;) {
      out += ScreenWidth;
      std::copy_n(built, span, out);
    }
  }
}

void DrawView(const EditorState& s, const ViewPlane& plane, const ViewPlacement& p) {
  uint32_t* frame = FramePixelsFor(p.Area);
  const bool grid = s.GridVisible == 1;
  switch (s.Zoom) {
    case 1: grid ? LayDownView<1, true>(plane, p, frame) : LayDownView<1, false>(plane, p, frame); break;
    case 2: grid ? LayDownView<2, true>(plane, p, frame) : LayDownView<2, false>(plane, p, frame); break;
    case 3: grid ? LayDownView<3, true>(plane, p, frame) : LayDownView<3, false>(plane, p, frame); break;
    default: break;
  }
}

}  // namespace

int ViewAreas(const EditorState& s, PixelRect areas[3]) {
  int n = 0;
  if (ShowsSideViews(s.ViewMode)) {
    areas[n++] = PlaceSideView(s, 0).Area;
    areas[n++] = PlaceSideView(s, SideViewBFirstRow).Area;
  }
  if (ShowsTopView(s.ViewMode)) areas[n++] = PlaceTopView(s).Area;
  return n;
}

void DrawViews(const EditorState& s, const LevelGrid& grid) {
  if (!ScreenHasFrame()) return;
  const TileId* cells = grid.Cells.data();
  constexpr ptrdiff_t XStep = CellIndex(1, 0, 0), YStep = CellIndex(0, 1, 0), ZStep = 1;
  constexpr int TopHeight = LevelHeight - 1;  // the side views' first row
  if (ShowsSideViews(s.ViewMode)) {
    const ViewPlane a{cells + CellIndex(s.SliceX, 0, TopHeight), YStep, -ZStep, s.SliceX < LevelWidth - 1 ? XStep : 0};
    const ViewPlane b{cells + CellIndex(0, s.SliceY, TopHeight), XStep, -ZStep, s.SliceY < LevelWidth - 1 ? YStep : 0};
    DrawView(s, a, PlaceSideView(s, 0));
    DrawView(s, b, PlaceSideView(s, SideViewBFirstRow));
  }
  if (ShowsTopView(s.ViewMode)) {
    const ViewPlane top{cells + CellIndex(0, 0, s.Layer), XStep, YStep, s.Layer >= 1 ? -ZStep : 0};
    DrawView(s, top, PlaceTopView(s));
  }
}

void DrawFillOutline(const EditorState& s) {
  if (s.FillView == SliceView::None) return;
  const PixelRect from = PixelsOfCell(s, {s.FillView, s.FillFromH, s.FillFromV});
  const PixelRect to = PixelsOfCell(s, {s.FillView, s.FillToH, s.FillToV});
  DrawBox(static_cast<float>(std::min(from.Left, to.Left)), static_cast<float>(std::min(from.Top, to.Top)),
          static_cast<float>(std::max(from.Right, to.Right)), static_cast<float>(std::max(from.Bottom, to.Bottom)),
          FillOutlineColour, false);
}

}  // namespace terrafix
