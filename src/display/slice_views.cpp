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

constexpr int Cells = ViewCellsAcross;  // the most cells across a view
constexpr int BehindTiles = 256;        // where the dimmed colours begin in the table
constexpr int MaxZoom = 3;

// The full colours of the tiles 0..255, then the same dimmed: one table, so
// that a cell's colour is one read.
struct ColourTable {
  std::array<uint32_t, 2 * BehindTiles> Shown{};
  ColourTable() {
    for (int t = 0; t < BehindTiles; ++t) {
      Shown[t] = TileColour(t, 1);
      Shown[BehindTiles + t] = TileColour(t, 2);
    }
  }
};

const ColourTable& Colours() {
  static const ColourTable table;
  return table;
}

// The plane a view shows, as steps through the level's cells: the cell of
// horizontal index h in cell row r lies at Origin + h * Across + r * Down,
// and its neighbour behind at the same place from Behind (the plane below or
// beside, which may lie in the other array of the level); Behind is Origin
// when no neighbour plane is drawn: an air cell then reads itself as its
// neighbour, and air dimmed is black, the colour of the cleared screen.
struct ViewPlane {
  const uint8_t* Origin;
  const uint8_t* Behind;
  ptrdiff_t Across;
  ptrdiff_t Down;
};

// Where a view lies on the screen.
struct ViewPlacement {
  int Left;        // pixel column of the view's first cell
  int Top;         // pixel row of the view's first cell
  int Rows;        // cell rows
  int Visible;     // cell columns that reach into the frame
  PixelRect Area;  // every pixel the view writes, within the frame
};

ViewPlacement Place(const EditorState& s, int cellColumn, int cellRow, int columns, int rows) {
  const int z = s.Zoom, extra = s.GridVisible == 1 ? 1 : 0;
  ViewPlacement p{s.ViewOriginX + z * cellColumn, s.ViewOriginY + z * cellRow, rows, 0, {}};
  p.Visible = std::clamp((ScreenWidth - p.Left + z - 1) / z, 0, columns);
  p.Area = {p.Left, p.Top, std::min(p.Left + columns * z - 1 + extra, ScreenWidth - 1),
            std::min(p.Top + rows * z - 1 + extra, ScreenHeight - 1)};
  return p;
}

ViewPlacement PlaceTopView(const EditorState& s, const ShownPart& part) {
  return Place(s, 0, 0, part.CountX, part.CountY);
}
ViewPlacement PlaceSideView(const EditorState& s, const ShownPart& part, SliceView view) {
  const int firstRow = view == SliceView::SideB ? SideViewBFirstRow(part) : 0;
  const int columns = view == SliceView::SideA ? part.CountY : part.CountX;
  return Place(s, SideViewShift(s, part), firstRow, columns, part.CountZ);
}

// The cell rows of a view are worked out a group at a time, along each row
// of cells: the rows of the top view and of side view B lie in the level's
// storage order, x fastest.
constexpr int GroupRows = 8;
using GroupColours = std::array<std::array<uint32_t, Cells>, GroupRows>;

// What each cell of rows first..first + rows - 1 shows: its own tile unless
// air, else the neighbour dimmed.
void WorkOutColours(const ViewPlane& plane, int first, int rows, int visible, GroupColours& out) {
  const std::array<uint32_t, 2 * BehindTiles>& shown = Colours().Shown;
  for (int r = 0; r < rows; ++r) {
    const ptrdiff_t row = (first + r) * plane.Down;
    for (int h = 0; h < visible; ++h) {
      const ptrdiff_t at = row + h * plane.Across;
      const uint8_t own = plane.Origin[at];
      out[r][h] = shown[own != 0 ? own : BehindTiles + plane.Behind[at]];
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

int ViewAreas(const EditorState& s, const Level& level, PixelRect areas[3]) {
  const ShownPart part = PartShown(s, level);
  int n = 0;
  if (ShowsSideViews(s.ViewMode)) {
    areas[n++] = PlaceSideView(s, part, SliceView::SideA).Area;
    areas[n++] = PlaceSideView(s, part, SliceView::SideB).Area;
  }
  if (ShowsTopView(s.ViewMode)) areas[n++] = PlaceTopView(s, part).Area;
  return n;
}

void DrawViews(const EditorState& s, const Level& level) {
  if (!ScreenHasFrame()) return;
  const ShownPart p = PartShown(s, level);
  // The cell at (x, y, z): in Cells, or in TopPlane for the plane above the top.
  auto at = [&](int32_t x, int32_t y, int32_t z) {
    const size_t index = CellIndex(level, x, y, z);
    return z < level.Height ? level.Cells.data() + index : level.TopPlane.data() + (index - level.Cells.size());
  };
  const ptrdiff_t xStep = 1, yStep = level.Width, zStep = static_cast<ptrdiff_t>(PlanCells(level));
  if (ShowsSideViews(s.ViewMode)) {
    const int32_t topZ = p.FirstZ + p.CountZ - 1;  // the side views' first row
    const uint8_t* a = at(s.SliceX, p.FirstY, topZ);
    const uint8_t* b = at(p.FirstX, s.SliceY, topZ);
    const ViewPlane sideA{a, s.SliceX < level.Width - 1 ? a + xStep : a, yStep, -zStep};
    const ViewPlane sideB{b, s.SliceY < level.Length - 1 ? b + yStep : b, xStep, -zStep};
    DrawView(s, sideA, PlaceSideView(s, p, SliceView::SideA));
    DrawView(s, sideB, PlaceSideView(s, p, SliceView::SideB));
  }
  if (ShowsTopView(s.ViewMode)) {
    const uint8_t* own = at(p.FirstX, p.FirstY, s.Layer);
    const ViewPlane top{own, s.Layer >= 1 ? at(p.FirstX, p.FirstY, s.Layer - 1) : own, xStep, yStep};
    DrawView(s, top, PlaceTopView(s, p));
  }
}

namespace {

// The outline, one pixel wide, around the cells of a view from `from` to
// `to` as far as the view shows them.
void OutlineCells(const EditorState& s, const Level& level, const ViewCell& from, const ViewCell& to,
                  uint32_t colour) {
  const PixelRect a = PixelsOfCell(s, level, ShownCellNearest(s, level, from));
  const PixelRect b = PixelsOfCell(s, level, ShownCellNearest(s, level, to));
  DrawBox(static_cast<float>(std::min(a.Left, b.Left)), static_cast<float>(std::min(a.Top, b.Top)),
          static_cast<float>(std::max(a.Right, b.Right)), static_cast<float>(std::max(a.Bottom, b.Bottom)), colour,
          false);
}

}  // namespace

void DrawFillOutline(const EditorState& s, const Level& level) {
  if (s.FillView == SliceView::None) return;
  // A rectangle larger than the part shown (the view panned meanwhile) is
  // outlined as far as the view goes.
  OutlineCells(s, level, {s.FillView, s.FillFromH, s.FillFromV}, {s.FillView, s.FillToH, s.FillToV},
               FillOutlineColour);
}

void DrawBoxOutline(const EditorState& s, const Level& level) {
  if (!s.BoxShown) return;
  const CellBox& b = s.Box;
  const ShownPart p = PartShown(s, level);
  auto meets = [](int32_t first, int32_t last, int32_t shownFirst, int32_t shownCount) {
    return first < shownFirst + shownCount && last >= shownFirst;
  };
  const bool zShown = meets(b.Z0, b.Z1, p.FirstZ, p.CountZ);
  const bool xShown = meets(b.X0, b.X1, p.FirstX, p.CountX), yShown = meets(b.Y0, b.Y1, p.FirstY, p.CountY);
  if (ShowsTopView(s.ViewMode) && b.Z0 <= s.Layer && s.Layer <= b.Z1 && xShown && yShown) {
    OutlineCells(s, level, {SliceView::Top, b.X0, b.Y0}, {SliceView::Top, b.X1, b.Y1}, BoxOutlineColour);
  }
  if (!ShowsSideViews(s.ViewMode) || !zShown) return;
  if (b.X0 <= s.SliceX && s.SliceX <= b.X1 && yShown) {
    OutlineCells(s, level, {SliceView::SideA, b.Y0, b.Z0}, {SliceView::SideA, b.Y1, b.Z1}, BoxOutlineColour);
  }
  if (b.Y0 <= s.SliceY && s.SliceY <= b.Y1 && xShown) {
    OutlineCells(s, level, {SliceView::SideB, b.X0, b.Z0}, {SliceView::SideB, b.X1, b.Z1}, BoxOutlineColour);
  }
}

}  // namespace terrafix
