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
#include <atomic>
#include <cstring>

#include <emmintrin.h>

#include "display/tile_colours.h"
#include "display/view_geometry.h"
#include "platform/helper_thread.h"
#include "platform/screen.h"

namespace terrafix {

namespace {

constexpr int Cells = LevelWidth;  // cells across every view
constexpr uint32_t OffTable = 256; // the table index of tiles outside 0..255: black

constexpr uint32_t Dimmed = 257;   // where the dimmed colours start in the table

// The full colours of the tiles 0..255 and black at index 256, then the same
// dimmed from index Dimmed on: one table, so that a cell's colour is one read.
struct ColourTable {
  std::array<uint32_t, 2 * 257> Shown{};
  ColourTable() {
    for (int t = 0; t < 257; ++t) {
      Shown[t] = TileColour(t == 256 ? -1 : t, 1);
      Shown[Dimmed + t] = TileColour(t == 256 ? -1 : t, 2);
    }
  }
};

const ColourTable& Colours() {
  static const ColourTable table;
  return table;
}

inline uint32_t TableIndex(TileId tile) { return static_cast<uint32_t>(tile) < 256 ? static_cast<uint32_t>(tile) : OffTable; }

// What a cell shows: its own tile unless air, else the neighbour dimmed. With
// no neighbour plane an air cell keeps the black of the cleared screen, which
// is also the full colour of air. Tiles outside 0..255 have no colour of their
// own: opaque black, hiding the neighbour.
template <bool HasNeighbour>
inline uint32_t CellColour(const ColourTable& c, TileId own, TileId neighbour) {
  if constexpr (HasNeighbour) {
    // Both indices worked out and one chosen without a branch: the tiles of a
    // level are too mixed for a branch to be guessed well.
    const uint32_t ownIndex = TableIndex(own), behindIndex = Dimmed + TableIndex(neighbour);
    return c.Shown[own != 0 ? ownIndex : behindIndex];
  } else {
    return c.Shown[TableIndex(own)];
  }
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
// the grid its left outline pixel and Zoom - 1 of colour, then the closing
// line. Four cells at a time, so it may read and build up to three cells past
// `cells`, never past the row's 256; `out` has room for them.
template <int Zoom, bool Grid>
void BuildRow(uint32_t* out, const uint32_t* colours, int cells) {
  const __m128i grid = _mm_set1_epi32(static_cast<int>(GridColour));
  // Per output vector, the lanes that hold a cell's first pixel.
  const __m128i first0 = Zoom == 2 ? _mm_setr_epi32(-1, 0, -1, 0) : _mm_setr_epi32(-1, 0, 0, -1);
  const __m128i first1 = _mm_setr_epi32(0, 0, -1, 0);
  const __m128i first2 = _mm_setr_epi32(0, -1, 0, 0);
  auto outline = [&](__m128i v, __m128i first) {
    return Grid ? _mm_or_si128(_mm_and_si128(first, grid), _mm_andnot_si128(first, v)) : v;
  };
  for (int c = 0; c < cells; c += 4, out += 4 * Zoom) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colours + c));
    if constexpr (Zoom == 1) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), Grid ? grid : v);
    } else if constexpr (Zoom == 2) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), outline(_mm_unpacklo_epi32(v, v), first0));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), outline(_mm_unpackhi_epi32(v, v), first0));
    } else {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), outline(_mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)), first0));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), outline(_mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)), first1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), outline(_mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)), first2));
    }
  }
}

// Lays down cell rows first..last - 1 of a view, each with the lattice line
// above it, and the closing lattice line below the view when last is its last
// row. rowColours(row) gives the 256 cell colours of a row. Each cell row is
// built once in its first pixel row and copied to the others.
template <int Zoom, bool Grid, typename RowColours>
void LayDownRows(uint32_t* frame, const ViewPlacement& p, int first, int last, RowColours rowColours) {
  const PixelRect& a = p.Area;
  if (a.Right < a.Left || a.Bottom < a.Top) return;
  const size_t span = static_cast<size_t>(a.Right - a.Left + 1);
  alignas(16) std::array<uint32_t, Cells * Zoom + 4> line;
  // Lattice lines are copied rather than filled: a copy this long writes
  // whole cache lines without reading the frame in first.
  static const std::array<uint32_t, ScreenWidth> lattice = [] {
    std::array<uint32_t, ScreenWidth> l;
    l.fill(GridColour);
    return l;
  }();
  for (int row = first; row <= last; ++row) {
    const int y0 = p.Top + row * Zoom;
    if (y0 > a.Bottom) return;
    uint32_t* out = frame + static_cast<size_t>(y0) * ScreenWidth + p.Left;
    int k = 0;
    if (Grid && (row < last || last == p.Rows)) {  // the lattice line above the cell row
      std::memcpy(out, lattice.data(), span * sizeof(uint32_t));
      out += ScreenWidth;
      k = 1;
    }
    if (row == last) return;
    BuildRow<Zoom, Grid>(line.data(), rowColours(row), p.Visible);
    if (Grid) line[static_cast<size_t>(p.Visible) * Zoom] = GridColour;
    for (; k < Zoom && y0 + k <= a.Bottom; ++k, out += ScreenWidth) std::memcpy(out, line.data(), span * sizeof(uint32_t));
  }
}

template <typename RowColours>
void LayDown(int32_t zoom, bool grid, uint32_t* frame, const ViewPlacement& p, int first, int last, RowColours rowColours) {
  switch (zoom * 2 + (grid ? 1 : 0)) {
    case 2: LayDownRows<1, false>(frame, p, first, last, rowColours); break;
    case 3: LayDownRows<1, true>(frame, p, first, last, rowColours); break;
    case 4: LayDownRows<2, false>(frame, p, first, last, rowColours); break;
    case 5: LayDownRows<2, true>(frame, p, first, last, rowColours); break;
    case 6: LayDownRows<3, false>(frame, p, first, last, rowColours); break;
    case 7: LayDownRows<3, true>(frame, p, first, last, rowColours); break;
    default: break;
  }
}

// The top view is drawn a group of rows at a time by two threads at once, the
// helper and the editor's own, each taking the next group nobody has taken,
// working out its colours and laying it down. A layer's cells lie a column of
// heights apart, each on a cache line of its own: the reads wait on memory,
// and two threads keep twice as many of them in flight.
constexpr int TopRowsAtATime = 4;
constexpr int TopRowGroups = Cells / TopRowsAtATime;

struct TopViewWork {
  const LevelGrid* Grid = nullptr;
  int Layer = 0;
  int32_t Zoom = 1;
  bool GridVisible = false;
  ViewPlacement Place{};
  uint32_t* Frame = nullptr;
  std::atomic<int> NextGroup{0};  // the first group nobody has taken
};

// The colours of row y (plane z = Layer, the layer below behind it).
template <bool HasNeighbour>
void TopRowColours(const TopViewWork& w, int y, uint32_t* out) {
  const ColourTable& c = Colours();
  constexpr size_t XStep = CellIndex(1, 0, 0);
  const TileId* cell = w.Grid->Cells.data() + CellIndex(0, y, w.Layer);
  for (int x = 0; x < Cells; ++x, cell += XStep) out[x] = CellColour<HasNeighbour>(c, cell[0], HasNeighbour ? cell[-1] : 0);
}

// Takes the next group and draws it; false when none is left. The group
// with the last row also draws the closing lattice line.
bool DrawTopGroup(TopViewWork& w) {
  const int group = w.NextGroup.fetch_add(1, std::memory_order_relaxed);
  if (group >= TopRowGroups) return false;
  alignas(16) std::array<uint32_t, Cells> colours;
  const int first = group * TopRowsAtATime;
  LayDown(w.Zoom, w.GridVisible, w.Frame, w.Place, first, first + TopRowsAtATime, [&](int row) {
    if (w.Layer >= 1) {
      TopRowColours<true>(w, row, colours.data());
    } else {
      TopRowColours<false>(w, row, colours.data());
    }
    return colours.data();
  });
  return true;
}

void DrawTopGroups(void* work) {
  auto& w = *static_cast<TopViewWork*>(work);
  while (DrawTopGroup(w)) {
  }
}

// A side view's colours: the plane through `first` (the cell of horizontal
// index 0 at height 0), `step` cells apart along the horizontal index, with
// the plane `behind` cells further behind it; height 63 in the top row.
template <bool HasNeighbour>
void SideViewColours(const TileId* first, size_t step, size_t behind, int visible, uint32_t* colours) {
  const ColourTable& c = Colours();
  // A block of neighbouring columns at a time, so that each height fills a
  // run of the colour rows rather than one entry a row apart.
  constexpr int Block = 16;
  for (int h0 = 0; h0 < visible; h0 += Block) {
    const int width = std::min(Block, visible - h0);
    const TileId* columns = first + h0 * step;
    for (int z = 0; z < LevelHeight; ++z) {
      uint32_t* out = colours + static_cast<size_t>(LevelHeight - 1 - z) * Cells + h0;
      const TileId* cell = columns + z;
      for (int k = 0; k < width; ++k, cell += step) {
        out[k] = CellColour<HasNeighbour>(c, cell[0], HasNeighbour ? cell[behind] : 0);
      }
    }
  }
}

// One side view, with a colour buffer of its own: the two side views are
// drawn by different threads.
struct SideViewWork {
  const TileId* First = nullptr;  // the plane's cell of horizontal index 0 at height 0
  size_t Step = 0;                // cells apart along the horizontal index
  size_t Behind = 0;              // cells to the plane behind; 0 for none
  int32_t Zoom = 1;
  bool GridVisible = false;
  ViewPlacement Place{};
  uint32_t* Frame = nullptr;
  uint32_t* Colours = nullptr;
};

void DrawSideView(const SideViewWork& v) {
  if (v.Behind) {
    SideViewColours<true>(v.First, v.Step, v.Behind, v.Place.Visible, v.Colours);
  } else {
    SideViewColours<false>(v.First, v.Step, 0, v.Place.Visible, v.Colours);
  }
  LayDown(v.Zoom, v.GridVisible, v.Frame, v.Place, 0, v.Place.Rows,
          [&](int row) { return v.Colours + static_cast<size_t>(row) * Cells; });
}

// The views of a pass as shared between the two threads. The editor's thread
// draws side view A; side view B goes to whichever thread comes for it first
// (the helper may be slow to wake); then both take groups of the top view's
// rows until none is left.
struct ViewsWork {
  bool SideB = false;
  SideViewWork B;
  std::atomic<bool> SideBTaken{false};
  bool Top = false;
  TopViewWork TopView;
};

void DrawSharedViews(ViewsWork& w) {
  if (w.SideB && !w.SideBTaken.exchange(true, std::memory_order_relaxed)) DrawSideView(w.B);
  if (w.Top) DrawTopGroups(&w.TopView);
}

void DrawHelpersViews(void* work) { DrawSharedViews(*static_cast<ViewsWork*>(work)); }

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
  // Everything here is set, and every view's pixels marked, before the helper
  // starts; from then on the two threads write disjoint pixels.
  static ViewsWork work;
  static std::array<uint32_t, Cells * LevelHeight> coloursA, coloursB;
  SideViewWork a;
  work.SideB = ShowsSideViews(s.ViewMode);
  if (work.SideB) {
    const TileId* cells = grid.Cells.data();
    const size_t xStep = CellIndex(1, 0, 0), yStep = CellIndex(0, 1, 0);
    a = {cells + CellIndex(s.SliceX, 0, 0), yStep, s.SliceX <= 254 ? xStep : 0, s.Zoom, s.GridVisible == 1,
         PlaceSideView(s, 0), nullptr, coloursA.data()};
    work.B = {cells + CellIndex(0, s.SliceY, 0), xStep, s.SliceY <= 254 ? yStep : 0, s.Zoom, s.GridVisible == 1,
              PlaceSideView(s, SideViewBFirstRow), nullptr, coloursB.data()};
    a.Frame = FramePixelsFor(a.Place.Area);
    work.B.Frame = FramePixelsFor(work.B.Place.Area);
  }
  work.Top = ShowsTopView(s.ViewMode);
  if (work.Top) {
    TopViewWork& t = work.TopView;
    t.Grid = &grid;
    t.Layer = s.Layer;
    t.Zoom = s.Zoom;
    t.GridVisible = s.GridVisible == 1;
    t.Place = PlaceTopView(s);
    t.Frame = FramePixelsFor(t.Place.Area);
    t.NextGroup.store(0, std::memory_order_relaxed);
  }
  work.SideBTaken.store(false, std::memory_order_relaxed);
  // The side views alone are drawn sooner than the helper would be woken.
  if (work.Top) StartHelperJob(DrawHelpersViews, &work);
  if (work.SideB) DrawSideView(a);
  DrawSharedViews(work);
  if (work.Top) FinishHelperJob();
}

}  // namespace terrafix
