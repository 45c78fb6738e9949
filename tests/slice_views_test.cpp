#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "display/slice_views.h"
#include "display/tile_colours.h"
#include "editor/main_loop.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"
#include "reference_views.h"

namespace terrafix {
namespace {

using testing::PixelAt;

constexpr uint32_t Black = 0xFF000000;
constexpr uint32_t Stone = 0xFF7F7F7F;
constexpr uint32_t DimStone = 0xFF3F3F3F;

struct Rect {
  int X1, Y1, X2, Y2;
};

// True when every pixel of r (clipped to the frame) is `colour`.
bool AllOf(const Rect& r, uint32_t colour) {
  for (int y = std::max(r.Y1, 0); y <= std::min(r.Y2, ScreenHeight - 1); ++y)
    for (int x = std::max(r.X1, 0); x <= std::min(r.X2, ScreenWidth - 1); ++x)
      if (PixelAt(x, y) != colour) return false;
  return true;
}

std::unique_ptr<Level> StoneEverywhere() {
  auto grid = std::make_unique<Level>();
  std::fill(grid->Cells.begin(), grid->Cells.end(), 1);
  return grid;
}

void Draw(const EditorState& s, const Level& g) {
  testing::FreshScreen();
  DrawViews(s, g);
}

TEST(SliceViews, FillAreasOfEveryZoomInLayouts1And3) {
  struct Case {
    int32_t ViewMode, Zoom;
    std::vector<Rect> Areas;
  };
  const Case cases[] = {
      {1, 1, {{10, 30, 265, 285}, {270, 30, 525, 93}, {270, 100, 525, 163}}},
      {1, 2, {{10, 30, 521, 541}, {530, 30, 1041, 157}, {530, 170, 1041, 297}}},
      {1, 3, {{10, 30, 777, 797}, {790, 30, 1557, 221}, {790, 240, 1557, 431}}},
      {3, 1, {{10, 30, 265, 93}, {10, 100, 265, 163}}},
      {3, 2, {{10, 30, 521, 157}, {10, 170, 521, 297}}},
      {3, 3, {{10, 30, 777, 221}, {10, 240, 777, 431}}},
      {2, 3, {{10, 30, 777, 797}}},
  };
  auto grid = StoneEverywhere();
  for (const Case& c : cases) {
    EditorState s;
    s.ViewMode = c.ViewMode;
    s.Zoom = c.Zoom;
    Draw(s, *grid);
    size_t painted = 0;
    for (const Rect& a : c.Areas) {
      EXPECT_TRUE(AllOf(a, Stone)) << "layout " << c.ViewMode << " zoom " << c.Zoom << " area from " << a.X1 << "," << a.Y1;
      painted += static_cast<size_t>(std::min(a.X2, ScreenWidth - 1) - a.X1 + 1) * static_cast<size_t>(a.Y2 - a.Y1 + 1);
    }
    // Nothing else is drawn.
    size_t stone = static_cast<size_t>(std::count(FramePixels(), FramePixels() + ScreenWidth * ScreenHeight, Stone));
    EXPECT_EQ(stone, painted) << "layout " << c.ViewMode << " zoom " << c.Zoom;
  }
}

TEST(SliceViews, GridIsALatticeOnEveryZoomthPixel) {
  auto grid = StoneEverywhere();
  EditorState s;
  s.GridVisible = 1;
  s.ViewMode = 2;
  s.Zoom = 1;
  Draw(s, *grid);
  EXPECT_TRUE(AllOf({10, 30, 266, 286}, GridColour));  // zoom 1: no cell colour remains
  EXPECT_EQ(PixelAt(267, 30), Black);
  EXPECT_EQ(PixelAt(10, 287), Black);

  s.Zoom = 3;
  Draw(s, *grid);
  for (int k = 0; k <= 256; ++k) {
    EXPECT_TRUE(AllOf({10 + 3 * k, 30, 10 + 3 * k, 798}, GridColour)) << "column line " << k;
    EXPECT_TRUE(AllOf({10, 30 + 3 * k, 778, 30 + 3 * k}, GridColour)) << "row line " << k;
  }
  EXPECT_TRUE(AllOf({11, 31, 12, 32}, Stone));
  EXPECT_TRUE(AllOf({776, 796, 777, 797}, Stone));
  EXPECT_EQ(PixelAt(779, 100), Black);
  EXPECT_EQ(PixelAt(100, 799), Black);

  // Layout 1, zoom 3: the side views' lattice is cut by the right edge; cell
  // 86 shows its outline column 1048 and one pixel of colour at 1049.
  s.ViewMode = 1;
  Draw(s, *grid);
  EXPECT_EQ(PixelAt(1048, 31), GridColour);
  EXPECT_EQ(PixelAt(1049, 31), Stone);
  EXPECT_TRUE(AllOf({790, 222, 1049, 222}, GridColour));  // below A's last row of cells
  EXPECT_TRUE(AllOf({790, 223, 1049, 239}, Black));       // the gap between A and B
}

TEST(SliceViews, AirShowsTheNeighbourPlaneDimmed) {
  struct Case {
    const char* What;
    int32_t ViewMode, SliceX, SliceY, Layer;
    int PixelX, PixelY;  // inside the probed cell at zoom 1
    uint32_t Expected;
  };
  // Air in planes x = 10 and y = 10 and z = 10 in front of stone elsewhere.
  auto grid = StoneEverywhere();
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      for (int z = 0; z < 64; ++z) {
        WriteCell(*grid, 10, a, z, 0);
        WriteCell(*grid, a, 10, z, 0);
      }
      WriteCell(*grid, a, b, 10, 0);
      WriteCell(*grid, a, b, 0, 0);
      WriteCell(*grid, a, b, 64, 0);
      WriteCell(*grid, a, b, 63, 7);  // tile 7: black, yet not air
    }
  }
  for (int z = 0; z < 64; ++z) WriteCell(*grid, 254, 5, z, 0);
  WriteCell(*grid, 21, 50, 63, 1);  // stone behind the tile 7 at (20, 50, 63)
  const Case cases[] = {
      {"side A, stone behind", 3, 10, 0, 0, 10 + 5, 30 + 63 - 20, DimStone},
      {"side B, stone behind", 3, 0, 10, 0, 10 + 5, 100 + 63 - 20, DimStone},
      {"side A at 255: no neighbour", 3, 255, 0, 0, 10 + 5, 30 + 63 - 10, Black},
      {"side A at 254, air", 3, 254, 0, 0, 10 + 5, 30 + 63 - 20, DimStone},
      {"top at layer 10: layer 9 below", 2, 0, 0, 10, 10 + 50, 30 + 50, DimStone},
      {"top at layer 0: nothing below", 2, 0, 0, 0, 10 + 50, 30 + 50, Black},
      {"top at layer 64 over tile 7", 2, 0, 0, 64, 10 + 50, 30 + 50, Black},
      {"tile 7 hides the neighbour", 3, 20, 0, 0, 10 + 50, 30 + 0, Black},
  };
  for (const Case& c : cases) {
    EditorState s;
    s.ViewMode = c.ViewMode;
    s.Zoom = 1;
    s.SliceX = c.SliceX;
    s.SliceY = c.SliceY;
    s.Layer = c.Layer;
    Draw(s, *grid);
    EXPECT_EQ(PixelAt(c.PixelX, c.PixelY), c.Expected) << c.What;
  }
}

// The fast drawing of a pass must give exactly the pixels of the plain one:
// the whole screen cleared, then every view cell by cell with boxes. Each
// fast pass follows a pass of another state on the same screen, so anything
// the clear leaves of the earlier frame shows up as a difference.
TEST(SliceViews, WholePassSameAsTheBoxByBoxDrawingOverManyStates) {
  std::mt19937 random(20261210);
  auto grid = std::make_unique<Level>();
  for (auto* cells : {&grid->Cells, &grid->TopPlane}) {
    for (uint8_t& cell : *cells) cell = random() % 100 < 40 ? 0 : static_cast<uint8_t>(random() % 256);
  }
  const int32_t slices[] = {0, 1, 128, 254, 255};
  const int32_t layers[] = {0, 1, 33, 63, 64};
  std::vector<EditorState> states;
  for (int32_t mode = 1; mode <= 3; ++mode) {
    for (int32_t zoom = 1; zoom <= 3; ++zoom) {
      for (int32_t gridOn = 0; gridOn <= 1; ++gridOn) {
        for (int k = 0; k < 2; ++k) {
          EditorState s;
          s.ViewMode = mode;
          s.Zoom = zoom;
          s.GridVisible = gridOn;
          s.SliceX = slices[random() % 5];
          s.SliceY = slices[random() % 5];
          s.Layer = layers[random() % 5];
          s.CurrentTile = static_cast<TileId>(random() % 20);
          states.push_back(s);
        }
      }
    }
  }
  std::shuffle(states.begin(), states.end(), random);
  const size_t pixels = static_cast<size_t>(ScreenWidth) * ScreenHeight;
  std::vector<uint32_t> fast(pixels);
  for (size_t i = 0; i < states.size(); ++i) {
    const EditorState& s = states[i];
    const EditorState& before = states[(i + states.size() - 1) % states.size()];
    testing::FreshScreen();
    std::fill(FramePixels(), FramePixels() + pixels, 0xFF123456);  // a frame of something else
    DrawPass(before, *grid);
    DrawPass(s, *grid);
    std::copy(FramePixels(), FramePixels() + pixels, fast.begin());
    testing::FreshScreen();
    std::fill(FramePixels(), FramePixels() + pixels, 0xFF123456);
    testing::DrawPassByBoxes(s, *grid);
    const uint32_t* reference = FramePixels();
    auto diff = std::mismatch(fast.begin(), fast.end(), reference);
    ASSERT_TRUE(diff.first == fast.end())
        << "layout " << s.ViewMode << " zoom " << s.Zoom << " grid " << s.GridVisible << " x " << s.SliceX << " y "
        << s.SliceY << " z " << s.Layer << " after layout " << before.ViewMode << " zoom " << before.Zoom
        << ": pixel " << (diff.first - fast.begin()) % ScreenWidth << "," << (diff.first - fast.begin()) / ScreenWidth;
  }
}

}  // namespace
}  // namespace terrafix
