// The isometric picture against a slow renderer written for the tests
// (reference_picture.h).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "display/level_overview.h"
#include "display/level_picture.h"
#include "display/picture_colours.h"
#include "reference_picture.h"

namespace terrafix {
namespace {

using testing::EmptyLevel;
using testing::ReferencePicture;

// Small levels that show each rule: one cube, a stair, an overhang, a hole,
// water over sand, tiles of every table and none.
struct SmallLevel {
  const char* Name;
  Level Cells;
};

std::vector<SmallLevel> SmallLevels() {
  std::vector<SmallLevel> levels;
  Level one = EmptyLevel(3, 2, 2);
  WriteCell(one, 1, 0, 0, 1);
  levels.push_back({"a single cell", one});
  Level stair = EmptyLevel(4, 3, 4);
  for (int32_t step = 0; step < 4; ++step)
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t z = 0; z <= step; ++z) WriteCell(stair, step, y, z, 4);
  levels.push_back({"a stair", stair});
  Level overhang = EmptyLevel(4, 4, 4);
  for (int32_t z = 0; z < 4; ++z) WriteCell(overhang, 0, 0, z, 1);
  for (int32_t x = 0; x < 4; ++x) WriteCell(overhang, x, 0, 3, 5), WriteCell(overhang, x, 1, 3, 17);
  levels.push_back({"an overhang", overhang});
  Level hole = EmptyLevel(5, 5, 3);
  for (int32_t z = 0; z < 3; ++z)
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < 5; ++x)
        if (!(x >= 1 && x <= 3 && y >= 2 && y <= 3 && z >= 1)) WriteCell(hole, x, y, z, z == 2 ? 2 : 3);
  levels.push_back({"a hole", hole});
  Level water = EmptyLevel(4, 3, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 4; ++x) WriteCell(water, x, y, 0, 12), WriteCell(water, x, y, 1, x < 3 ? 8 : 12);
  WriteCell(water, 3, 2, 2, 11);
  levels.push_back({"water over sand", water});
  Level tiles = EmptyLevel(16, 16, 2);
  for (int32_t i = 0; i < 256; ++i) WriteCell(tiles, i % 16, i / 16, (i * 7) % 2, i);
  levels.push_back({"every tile", tiles});
  return levels;
}

TEST(LevelPicture, SmallLevelsAtEveryTurnAreTheReferencesPixels) {
  for (const SmallLevel& small : SmallLevels()) {
    for (int32_t turn = 0; turn < 4; ++turn) {
      for (int32_t scale : {1, 3}) {
        SCOPED_TRACE(std::string(small.Name) + " turn " + std::to_string(turn) + " scale " + std::to_string(scale));
        int32_t width = 0, height = 0;
        const std::vector<uint32_t> expected = ReferencePicture(small.Cells, scale, turn, width, height);
        LevelPicture picture;
        DrawLevelPicture(small.Cells, scale, turn, picture);
        ASSERT_EQ(picture.Width, width);
        ASSERT_EQ(picture.Height, height);
        EXPECT_TRUE(picture.Pixels == expected);
      }
    }
  }
}

TEST(LevelPicture, TheColoursOfEveryTable) {
  EXPECT_EQ(PictureColour(2), 0xFF00C800u) << "the slice views' own";
  EXPECT_EQ(PictureColour(19), 0xFFFFFFFFu);
  EXPECT_NE(PictureColour(49), UnknownTileColour) << "the game's last classic block";
  EXPECT_NE(PictureColour(65), UnknownTileColour) << "the last extension block";
  EXPECT_EQ(PictureColour(66), UnknownTileColour);
  EXPECT_EQ(PictureColour(163), UnknownTileColour);
}

uint64_t Hash(const std::vector<uint32_t>& pixels) {
  uint64_t hash = 14695981039346656037ull;
  for (uint32_t p : pixels) hash = (hash ^ p) * 1099511628211ull;
  return hash;
}

// The new-level terrain with a tower, a lake and a pit, at full size.
TEST(LevelPicture, ANewLevelOfFullSizeIsTheReferencesPicture) {
  Level level;
  LayNewTerrain(level);
  for (int32_t z = 32; z < 50; ++z) WriteCell(level, 100, 120, z, 45);
  for (int32_t x = 20; x < 60; ++x)
    for (int32_t y = 200; y < 230; ++y) WriteCell(level, x, y, 31, 8);
  for (int32_t z = 10; z < 32; ++z) WriteCell(level, 255, 255, z, 0);
  for (int32_t turn : {0, 3}) {
    int32_t width = 0, height = 0;
    const std::vector<uint32_t> expected = ReferencePicture(level, 1, turn, width, height);
    LevelPicture picture;
    DrawLevelPicture(level, 1, turn, picture);
    EXPECT_EQ(Hash(picture.Pixels), Hash(expected)) << "turn " << turn;
  }
}

// After any change of cells, the cells redrawn give the whole picture drawn anew.
TEST(LevelPicture, ARedrawAfterAChangeIsTheWholePictureDrawnAnew) {
  std::mt19937 random(5);
  Level level = EmptyLevel(12, 9, 7);
  for (uint8_t& cell : level.Cells) cell = random() % 3 == 0 ? static_cast<uint8_t>(random() % 70) : 0;
  for (int32_t turn = 0; turn < 4; ++turn) {
    for (int32_t scale : {1, 2}) {
      LevelPicture picture;
      DrawLevelPicture(level, scale, turn, picture);
      for (int i = 0; i < 40; ++i) {
        const int32_t x = random() % 12, y = random() % 9, z = random() % 7;
        const int32_t x1 = std::min(11, x + int32_t(random() % 3)), y1 = std::min(8, y + int32_t(random() % 3));
        const uint8_t tile = random() % 2 == 0 ? 0 : static_cast<uint8_t>(random() % 70);
        for (int32_t cy = y; cy <= y1; ++cy)
          for (int32_t cx = x; cx <= x1; ++cx) WriteCell(level, cx, cy, z, tile);
        RedrawCells(level, x, y, z, x1, y1, z, picture);
        LevelPicture whole;
        DrawLevelPicture(level, scale, turn, whole);
        ASSERT_TRUE(picture.Pixels == whole.Pixels) << "turn " << turn << " scale " << scale << " change " << i;
      }
    }
  }
}

TEST(LevelPicture, TheShownAreaIsWhatIsDrawnAndAMargin) {
  Level one = EmptyLevel(3, 2, 2);
  WriteCell(one, 1, 0, 0, 1);
  LevelPicture picture;
  DrawLevelPicture(one, 2, 0, picture);
  const PictureArea shown = ShownArea(picture, 3);
  EXPECT_EQ(shown.Right - shown.Left, 4 * 2 + 2 * 3) << "a cube is 4 x scale wide";
  EXPECT_EQ(shown.Bottom - shown.Top, 4 * 2 + 2 * 3) << "and as high";
  const std::vector<uint32_t> pixels = PixelsOfArea(picture, shown);
  EXPECT_EQ(pixels.size(), size_t(shown.Right - shown.Left) * (shown.Bottom - shown.Top));
  EXPECT_EQ(pixels[0], 0u) << "transparent margin";
  EXPECT_TRUE(ShownArea(LevelPicture{}, 3).Empty());
}

// The overview of a level: each block of step x step x step cells is the
// topmost tile in it that is not air, blocks at the far edges partly
// outside; a change is made again in the blocks it touches alone; the step
// chosen is the least whose picture fits the bound.
TEST(LevelOverview, BlocksShowTheirTopmostTileAndTheStepFitsTheBound) {
  Level level;
  level.Width = 5, level.Length = 3, level.Height = 3;
  level.Cells.assign(45, 0);
  level.TopPlane.assign(15, 0);
  WriteCell(level, 0, 0, 0, 1);  // block (0, 0, 0): stone under sand
  WriteCell(level, 1, 1, 1, 12);
  WriteCell(level, 4, 2, 2, 8);  // the far corner's block, one cell of it inside the level
  Level overview;
  MakeOverview(level, 2, overview);
  ASSERT_EQ(std::tie(overview.Width, overview.Length, overview.Height), std::make_tuple(3, 2, 2));
  EXPECT_EQ(ReadCell(overview, 0, 0, 0), 12);
  EXPECT_EQ(ReadCell(overview, 2, 1, 1), 8);
  EXPECT_EQ(std::count(overview.Cells.begin(), overview.Cells.end(), 0), 10);
  WriteCell(level, 1, 1, 1, 0);
  WriteCell(level, 3, 0, 0, 5);
  int32_t x0 = 1, y0 = 0, z0 = 0, x1 = 3, y1 = 1, z1 = 1;
  UpdateOverview(level, 2, x0, y0, z0, x1, y1, z1, overview);
  EXPECT_EQ(std::make_tuple(x0, y0, z0, x1, y1, z1), std::make_tuple(0, 0, 0, 1, 0, 0));
  EXPECT_EQ(ReadCell(overview, 0, 0, 0), 1);
  EXPECT_EQ(ReadCell(overview, 1, 0, 0), 5);

  constexpr uint64_t Bound = uint64_t{128} << 20;
  struct Case {
    int64_t Width, Length, Height;
    int32_t Step;
  };
  for (const Case& c : {Case{256, 256, 64, 1}, Case{1024, 1024, 256, 1}, Case{2048, 2048, 64, 2},
                        Case{4096, 4096, 256, 4}, Case{32767, 32767, 1, 32}}) {
    EXPECT_EQ(OverviewStep(c.Width, c.Length, c.Height, 1, 8, Bound), c.Step) << c.Width << " x " << c.Height;
  }
}

}  // namespace
}  // namespace terrafix
