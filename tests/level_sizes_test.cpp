// Levels of every size in the editor's passes: every view at every zoom
// reaches the cells at its corners by panning with the keys; the views of a
// level no larger than 256 x 256 x 64 stand where its extents put them; and
// undo brings back a whole level, its size and form with it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "display/view_geometry.h"
#include "editor/main_loop.h"
#include "files/load_save_commands.h"
#include "memory_screen.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

struct Size {
  int32_t Width, Length, Height;
};
const Size Sizes[] = {{1, 1, 1}, {64, 64, 64}, {128, 64, 128}, {512, 512, 64}, {100, 300, 200}, {1024, 1024, 256}};

std::unique_ptr<Level> AirLevel(const Size& size) {
  auto level = std::make_unique<Level>();
  level->Width = size.Width, level->Length = size.Length, level->Height = size.Height;
  level->Cells.assign(size_t(size.Width) * size.Length * size.Height, 0);
  level->TopPlane.assign(PlanCells(*level), 0);
  return level;
}

struct Editor {
  EditorState State;
  std::unique_ptr<Level> Current;
  HeaderTemplate Header;
  UndoHistory History;
  EditorWork Work;
  MemorySurface& Surface = testing::FreshScreen();

  void Pass(int32_t x, int32_t y, int32_t buttons) {
    Surface.Pointer = {x, y, buttons, 0, true, true};
    RunPass(State, *Current, Header, History, Work);
  }
  // A key pressed `times` times, each read by a pass of its own.
  void Key(int code, int times) {
    for (int i = 0; i < times; ++i) {
      Surface.ScriptedKeys.push_back(code);
      Pass(1000, 700, 0);
    }
  }
  // A click of the left button at pixel (x, y): the press, the release.
  void Click(int32_t x, int32_t y) {
    Pass(x, y, 1);
    Pass(x, y, 0);
  }
};

// The pixels of the corners of a view as the layouts place it: the top view
// at the origin, the side views to its right in layout 1 (past the top
// view's width and a gap of 4 cells), side view B below A (past A's height
// and a gap of 6 cells); each at most 256 cells across and 64 up.
struct Corners {
  int32_t Left, Top, Right, Bottom;
};
Corners ViewCorners(SliceView view, const Size& size, int32_t zoom) {
  const int32_t across = std::min(size.Width, 256), down = std::min(size.Length, 256), up = std::min(size.Height, 64);
  const int32_t sides = across + 4;  // cell columns to the side views
  switch (view) {
    case SliceView::Top: return {10, 30, 10 + zoom * across - 1, 30 + zoom * down - 1};
    case SliceView::SideA: return {10 + zoom * sides, 30, 10 + zoom * (sides + down) - 1, 30 + zoom * up - 1};
    default:
      return {10 + zoom * sides, 30 + zoom * (up + 6), 10 + zoom * (sides + across) - 1, 30 + zoom * (2 * up + 6) - 1};
  }
}

// Every view, at every zoom, paints the four cells at the corners of its
// plane in the level: the near ones with the view panned to the level's
// start, the far ones once the keys have panned it to the end. The frame
// shows only what lies in it: corners past its right edge (the side views
// at zoom 3) are left out.
TEST(LevelSizes, EveryViewAtEveryZoomReachesTheCornersByPanning) {
  const int Left = ExtendedCode(ScanLeft), Right = ExtendedCode(ScanRight), Up = ExtendedCode(ScanUp),
            Down = ExtendedCode(ScanDown), PageUp = ExtendedCode(ScanPageUp), PageDown = ExtendedCode(ScanPageDown);
  for (const Size& size : Sizes) {
    for (int32_t zoom = 1; zoom <= 3; ++zoom) {
      SCOPED_TRACE(std::to_string(size.Width) + " x " + std::to_string(size.Length) + " x " +
                   std::to_string(size.Height) + " at zoom " + std::to_string(zoom));
      Editor e;
      e.Current = AirLevel(size);
      e.State.Zoom = zoom;
      e.State.CurrentTile = 5;
      e.State.SliceX = size.Width - 1;  // side view A's plane: the level's far x
      e.State.Layer = size.Height - 1;  // the top view's layer: its top
      std::vector<std::tuple<int, int, int>> painted;
      for (SliceView view : {SliceView::Top, SliceView::SideA, SliceView::SideB}) {
        const Corners c = ViewCorners(view, size, zoom);
        for (const bool farH : {false, true}) {
          for (const bool farV : {false, true}) {
            // Panned to the ends of the level that hold this corner: along
            // x, y and the height, whichever the view shows.
            const bool top = view == SliceView::Top, sideA = view == SliceView::SideA;
            const bool farX = !sideA && farH, farY = top ? farV : sideA && farH, farZ = !top && farV;
            e.Key(farX ? Right : Left, 40);
            e.Key(farY ? Down : Up, 40);
            e.Key(farZ ? PageUp : PageDown, 40);
            // Down the top view y grows; up the side views the height does.
            const int32_t x = farH ? c.Right : c.Left;
            const int32_t y = top ? (farV ? c.Bottom : c.Top) : (farV ? c.Top : c.Bottom);
            if (x >= ScreenWidth) continue;
            e.Click(x, y);
            const int lastX = size.Width - 1, lastY = size.Length - 1, lastZ = size.Height - 1;
            if (top) painted.emplace_back(farX ? lastX : 0, farY ? lastY : 0, lastZ);
            if (sideA) painted.emplace_back(lastX, farY ? lastY : 0, farZ ? lastZ : 0);
            if (view == SliceView::SideB) painted.emplace_back(farX ? lastX : 0, 0, farZ ? lastZ : 0);
          }
        }
      }
      ASSERT_FALSE(painted.empty());
      for (auto [x, y, z] : painted) EXPECT_EQ(ReadCell(*e.Current, x, y, z), 5) << x << ", " << y << ", " << z;
      size_t count = 0;
      for (uint8_t cell : e.Current->Cells) count += cell != 0;
      std::sort(painted.begin(), painted.end());
      painted.erase(std::unique(painted.begin(), painted.end()), painted.end());
      EXPECT_EQ(count, painted.size()) << "no other cell";
    }
  }
}

// Of a larger level, each view shows at most 256 cells along x and y and 64
// up; the side views show the x and y that the top view shows; the slice
// keys bring the part shown to their slice.
TEST(LevelSizes, ViewsShowAPartAndTheSliceKeysFollow) {
  Editor e;
  e.Current = AirLevel({1024, 1024, 256});
  e.Pass(1000, 700, 0);
  const ShownPart start = PartShown(e.State, *e.Current);
  EXPECT_EQ(std::tie(start.CountX, start.CountY, start.CountZ), std::make_tuple(256, 256, 64));
  e.Key(ExtendedCode(ScanRight), 1);
  e.Key(ExtendedCode(ScanDown), 2);
  e.Key(ExtendedCode(ScanPageUp), 3);
  const ShownPart panned = PartShown(e.State, *e.Current);
  EXPECT_EQ(std::tie(panned.FirstX, panned.FirstY, panned.FirstZ), std::make_tuple(64, 128, 48));
  EXPECT_EQ(e.State.SliceX, 0) << "panning moves no slice";
  e.Key('j', 1);  // x 1 lies left of the part shown: it comes back to it
  EXPECT_EQ(PartShown(e.State, *e.Current).FirstX, 1);
  e.Key(ExtendedCode(ScanRight), 1);
  e.Key('n', 1);  // y 1 lies above the part shown: the part comes back along y alone
  EXPECT_EQ(std::tie(e.State.PanX, e.State.PanY), std::make_tuple(65, 1));
  e.Key('b', 256);  // up to the plane above the top
  EXPECT_EQ(e.State.Layer, 256);
  EXPECT_EQ(PartShown(e.State, *e.Current).FirstZ, 192);
  // A level no larger than the views: nothing pans.
  e.Current = AirLevel({64, 64, 64});
  e.Key(ExtendedCode(ScanRight), 3);
  EXPECT_EQ(e.State.PanX, 0);
  EXPECT_EQ(e.State.SliceX, 1);
  EXPECT_EQ(e.State.Layer, 64) << "slices held within the level";
}

// New and Load replace the whole level and their undo brings the earlier one
// back whole: a server's level loaded, then New, undone and saved, keeps its
// own header; a world loaded, its Load undone and the level before saved as
// a world, gets a UUID of its own, not the other world's.
TEST(LevelSizes, UndoOfNewAndLoadBringsBackTheWholeLevel) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  std::filesystem::copy_file(std::filesystem::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  std::filesystem::copy_file(std::filesystem::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "server.dat");
  const std::string server = testing::Gunzip("server.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  Level level;
  UndoHistory history;
  // As the menu's commands do: a Load or a New replaces the level as a step.
  auto replace = [&](const std::string& typed, bool load) {
    Level made;
    testing::ScriptKeys(testing::FreshScreen(), typed);
    ASSERT_TRUE(load ? LoadCommand(made, header) : (LayNewTerrain(made), true)) << testing::TextAt(1, 40, 92);
    ReplaceLevel(level, std::move(made), history);
  };
  auto save = [&](const std::string& typed) {
    testing::ScriptKeys(testing::FreshScreen(), typed + "\rk");
    ASSERT_TRUE(SaveCommand(level, header)) << testing::TextAt(1, 40, 92);
  };
  replace("server\r", true);
  ASSERT_EQ(level.Form.Header.size(), 334u);
  replace("", false);  // New
  EXPECT_TRUE(level.Form.Header.empty());
  ASSERT_TRUE(Undo(history, level));
  save("again");
  EXPECT_TRUE(testing::Gunzip("again.dat") == server) << "the server's level as it came, its own header with it";

  // A world of another size, loaded over the server's level, then undone.
  Level world = *AirLevel({64, 32, 16});
  testing::ScriptKeys(testing::FreshScreen(), "world.cw\rk");
  ASSERT_TRUE(SaveCommand(world, header));
  replace("world.cw\r", true);
  ASSERT_EQ(level.Width, 64);
  const std::string saved = testing::Gunzip("world.cw");
  const std::string uuidOfTheWorld = saved.substr(saved.find("UUID") + 8, 16);
  ASSERT_TRUE(Undo(history, level));
  EXPECT_EQ(std::tie(level.Width, level.Length, level.Height), std::make_tuple(256, 256, 64));
  save("back.cw");
  const std::string back = testing::Gunzip("back.cw");
  EXPECT_NE(back.substr(back.find("UUID") + 8, 16), uuidOfTheWorld);
  ASSERT_TRUE(Redo(history, level));
  EXPECT_EQ(level.Width, 64) << "redone: the world again";
}

}  // namespace
}  // namespace terrafix
