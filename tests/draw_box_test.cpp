#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

constexpr uint32_t Ink = 0xFFABCDEF;

// The pixels that a box sets, as (x, y) pairs.
std::set<std::pair<int, int>> Painted(float x1, float y1, float x2, float y2, bool filled) {
  testing::FreshScreen();
  DrawBox(x1, y1, x2, y2, Ink, filled);
  std::set<std::pair<int, int>> out;
  const uint32_t* frame = FramePixels();
  for (int y = 0; y < ScreenHeight; ++y) {
    for (int x = 0; x < ScreenWidth; ++x) {
      if (frame[y * ScreenWidth + x] == Ink) out.insert({x, y});
    }
  }
  return out;
}

std::set<std::pair<int, int>> Rect(int x1, int y1, int x2, int y2) {
  std::set<std::pair<int, int>> out;
  for (int y = y1; y <= y2; ++y)
    for (int x = x1; x <= x2; ++x) out.insert({x, y});
  return out;
}

std::set<std::pair<int, int>> Union(std::initializer_list<std::set<std::pair<int, int>>> parts) {
  std::set<std::pair<int, int>> out;
  for (const auto& p : parts) out.insert(p.begin(), p.end());
  return out;
}

TEST(DrawBox, FilledBoxesIncludeBothCornersAndAreClipped) {
  struct Case {
    float X1, Y1, X2, Y2;
    std::set<std::pair<int, int>> Expected;
  };
  const Case cases[] = {
      {10, 30, 12, 32, Rect(10, 30, 12, 32)},
      {12, 32, 10, 30, Rect(10, 30, 12, 32)},            // corners put in order
      {800, 440, 807, 446, Rect(800, 440, 807, 446)},    // 8 x 7 = 56 pixels
      {1000, 100, 1100, 101, Rect(1000, 100, 1049, 101)},
      {-5, -5, 2, 1, Rect(0, 0, 2, 1)},
      {10.4f, 20.5f, 11.5f, 20.49f, Rect(10, 20, 12, 21)},  // half away from zero
      {-0.5f, 5, -0.4f, 5, Rect(0, 5, 0, 5)},               // -0.5 is -1, -0.4 is 0
      {1050, 0, 1060, 10, {}},                              // wholly outside
      {0, 800, 10, 900, {}},
      {-10, 0, -1, 10, {}},
      {5, 5, 5, 5, Rect(5, 5, 5, 5)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Painted(c.X1, c.Y1, c.X2, c.Y2, true), c.Expected) << c.X1 << "," << c.Y1 << " " << c.X2 << "," << c.Y2;
  }
  EXPECT_EQ(Painted(800, 440, 807, 446, true).size(), 56u);  // 8 x 7
}

TEST(DrawBox, OutlinesLeaveOutEdgesBeyondTheFrame) {
  struct Case {
    float X1, Y1, X2, Y2;
    std::set<std::pair<int, int>> Expected;
  };
  const Case cases[] = {
      {800, 440, 807, 446,
       Union({Rect(800, 440, 807, 440), Rect(800, 446, 807, 446), Rect(800, 440, 800, 446), Rect(807, 440, 807, 446)})},
      // The right edge lies past the frame: not drawn, not moved to the border.
      {1000, 100, 1100, 101, Union({Rect(1000, 100, 1049, 100), Rect(1000, 101, 1049, 101)})},
      {1000, 100, 1100, 110,
       Union({Rect(1000, 100, 1049, 100), Rect(1000, 110, 1049, 110), Rect(1000, 100, 1000, 110)})},
      {-3, -3, 4, 4, Union({Rect(0, 4, 4, 4), Rect(4, 0, 4, 4)})},
      {5, 9, 5, 20, Rect(5, 9, 5, 20)},  // corners share x: one line
      {775, 795, 778, 798,
       Union({Rect(775, 795, 778, 795), Rect(775, 798, 778, 798), Rect(775, 795, 775, 798), Rect(778, 795, 778, 798)})},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Painted(c.X1, c.Y1, c.X2, c.Y2, false), c.Expected) << c.X1 << "," << c.Y1 << " " << c.X2 << "," << c.Y2;
  }
  auto outline = Painted(800, 440, 807, 446, false);
  EXPECT_EQ(outline.size(), 8u + 8u + 5u + 5u);
}

TEST(DrawBox, ColourIsStoredUnchangedAlphaIncluded) {
  testing::FreshScreen();
  DrawBox(1, 1, 1, 1, 0x12345678, true);
  EXPECT_EQ(testing::PixelAt(1, 1), 0x12345678u);
}

}  // namespace
}  // namespace terrafix
