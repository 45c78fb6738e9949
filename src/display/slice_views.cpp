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

constexpr int Cells = LevelWidth;  // cells across every view
constexpr uint32_t OffTable = 256; // the table index of tiles outside 0..255: black

// Full and dimmed colours of the tiles 0..255, and black at index 256.
struct ColourTables {
  std::array<uint32_t, 257> Full{};
  std::array<uint32_t, 257> Dimmed{};
  ColourTables() {
    for (int t = 0; t < 257; ++t) {
      Full[t] = TileColour(t == 256 ? -1 : t, 1);
      Dimmed[t] = TileColour(t == 256 ? -1 : t, 2);
    }
  }
};

const ColourTables& Colours() {
  static const ColourTables tables;
  return tables;
}

inline uint32_t TableIndex(TileId tile) { return static_cast<uint32_t>(tile) < 256 ? static_cast<uint32_t>(tile) : OffTable; }

// What a cell shows: its own tile unless air, else the neighbour dimmed. With
// no neighbour plane an air cell keeps the black of the cleared screen, which
// is also the full colour of air. Tiles outside 0..255 have no colour of their
// own: opaque black, hiding the neighbour.
template <bool HasNeighbour>
inline uint32_t CellColour(const ColourTables& c, TileId own, TileId neighbour) {
  uint32_t colour = c.Full[TableIndex(own)];
  if constexpr (HasNeighbour) {
    // Chosen by mask rather than by a branch: the tiles of a level are too
    // mixed for a branch to be guessed well.
    const uint32_t ownMask = 0u - static_cast<uint32_t>(own != 0);
    colour = (colour & ownMask) | (c.Dimmed[TableIndex(neighbour)] & ~ownMask);
  }
  return colour;
}

struct ViewPlacement {
  int Left;     // pixel column of the view's first cell
  int Top;      // pixel row of the view's first cell
  int Rows;     // cell rows
  int Visible;  // cell columns that reach into the window
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

// The pixel row of one cell row: each cell Zoom pixels of its colour, or with
// the grid its left outline pixel and Zoom - 1 of colour, then the closing line.
template <int Zoom, bool Grid>
void BuildRow(uint32_t* out, const uint32_t* colours, int cells) {
  for (int c = 0; c < cells; ++c, out += Zoom) {
    const uint32_t colour = colours[c];
    for (int k = 0; k < Zoom; ++k) out[k] = (Grid && k == 0) ? GridColour : colour;
  }
  if (Grid) *out = GridColour;
}

// Lays down a view whose cell colours are colours[row * 256 + column]. Each
// cell row is built once in its first pixel row and copied to the others.
template <int Zoom, bool Grid>
void LayDownView(uint32_t* frame, const ViewPlacement& p, const uint32_t* colours) {
  const PixelRect& a = p.Area;
  if (a.Right < a.Left || a.Bottom < a.Top) return;
  const size_t span = static_cast<size_t>(a.Right - a.Left + 1);
  std::array<uint32_t, ScreenWidth + Zoom> line;
  for (int row = 0; row * Zoom + p.Top <= a.Bottom; ++row) {
    const int y0 = p.Top + row * Zoom;
    uint32_t* out = frame + static_cast<size_t>(y0) * ScreenWidth + p.Left;
    int k = 0;
    if (Grid) {  // the lattice line above the cell row
      std::fill(out, out + span, GridColour);
      out += ScreenWidth;
      k = 1;
    }
    if (row == p.Rows) break;  // the closing lattice line below the last row
    BuildRow<Zoom, Grid>(line.data(), colours + static_cast<size_t>(row) * Cells, p.Visible);
    for (; k < Zoom && y0 + k <= a.Bottom; ++k, out += ScreenWidth) std::memcpy(out, line.data(), span * sizeof(uint32_t));
  }
}

void LayDown(uint32_t* frame, const EditorState& s, const ViewPlacement& p, const uint32_t* colours) {
  const bool grid = s.GridVisible == 1;
  switch (s.Zoom * 2 + (grid ? 1 : 0)) {
    case 2: LayDownView<1, false>(frame, p, colours); break;
    case 3: LayDownView<1, true>(frame, p, colours); break;
    case 4: LayDownView<2, false>(frame, p, colours); break;
    case 5: LayDownView<2, true>(frame, p, colours); break;
    case 6: LayDownView<3, false>(frame, p, colours); break;
    case 7: LayDownView<3, true>(frame, p, colours); break;
    default: break;
  }
}

constexpr int TopViewPrefetchDistance = 24;  // cells
constexpr int TopViewColumnsAtATime = 8;    // independent runs of reads in flight

// The top view's colours, plane z = Layer with the layer below behind it.
template <bool HasNeighbour>
void TopViewColours(const LevelGrid& grid, int layer, uint32_t* colours) {
  const ColourTables& c = Colours();
  constexpr size_t YStep = GridExtentZ;
  for (int x = 0; x < Cells; x += TopViewColumnsAtATime) {
    const TileId* columns[TopViewColumnsAtATime];
    for (int k = 0; k < TopViewColumnsAtATime; ++k) columns[k] = grid.Cells.data() + CellIndex(x + k, 0, layer);
    for (int y = 0; y < Cells; ++y) {
      uint32_t* out = colours + static_cast<size_t>(y) * Cells + x;
      for (int k = 0; k < TopViewColumnsAtATime; ++k) {
        // The cells of a layer lie a column of heights apart, too far apart
        // for the processor to fetch them ahead by itself.
        const TileId* cell = columns[k] + y * YStep;
        __builtin_prefetch(cell + TopViewPrefetchDistance * YStep);
        out[k] = CellColour<HasNeighbour>(c, cell[0], HasNeighbour ? cell[-1] : 0);
      }
    }
  }
}

// A side view's colours: the plane through `first` (the cell of horizontal
// index 0 at height 0), `step` cells apart along the horizontal index, with
// the plane `behind` cells further behind it; height 63 in the top row.
template <bool HasNeighbour>
void SideViewColours(const TileId* first, size_t step, size_t behind, int visible, uint32_t* colours) {
  const ColourTables& c = Colours();
  for (int h = 0; h < visible; ++h) {
    const TileId* column = first + h * step;
    for (int z = 0; z < LevelHeight; ++z) {
      colours[static_cast<size_t>(LevelHeight - 1 - z) * Cells + h] =
          CellColour<HasNeighbour>(c, column[z], HasNeighbour ? column[behind + z] : 0);
    }
  }
}

void DrawSideView(uint32_t* frame, const EditorState& s, const TileId* first, size_t step, size_t behind, int firstRow) {
  static std::array<uint32_t, Cells * LevelHeight> colours;
  const ViewPlacement p = PlaceSideView(s, firstRow);
  if (behind) {
    SideViewColours<true>(first, step, behind, p.Visible, colours.data());
  } else {
    SideViewColours<false>(first, step, 0, p.Visible, colours.data());
  }
  LayDown(frame, s, p, colours.data());
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
  uint32_t* frame = FramePixels();
  if (!frame) return;
  if (ShowsSideViews(s.ViewMode)) {
    const TileId* cells = grid.Cells.data();
    const size_t xStep = CellIndex(1, 0, 0), yStep = CellIndex(0, 1, 0);
    DrawSideView(frame, s, cells + CellIndex(s.SliceX, 0, 0), yStep, s.SliceX <= 254 ? xStep : 0, 0);
    DrawSideView(frame, s, cells + CellIndex(0, s.SliceY, 0), xStep, s.SliceY <= 254 ? yStep : 0, SideViewBFirstRow);
  }
  if (ShowsTopView(s.ViewMode)) {
    static std::array<uint32_t, Cells * Cells> colours;
    if (s.Layer >= 1) {
      TopViewColours<true>(grid, s.Layer, colours.data());
    } else {
      TopViewColours<false>(grid, s.Layer, colours.data());
    }
    LayDown(frame, s, PlaceTopView(s), colours.data());
  }
}

}  // namespace terrafix
