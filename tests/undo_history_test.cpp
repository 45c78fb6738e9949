// Undo and redo through the main loop: strokes painted with the pointer, the
// keys Ctrl+Z and Ctrl+Y, New and Load.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "editor/main_loop.h"
#include "editor/undo_history.h"
#include "memory_screen.h"
#include "platform/screen/key_codes.h"

namespace terrafix {
namespace {

// A cell of the top view at zoom 3, as a pixel.
constexpr int PixelX(int x) { return 10 + 3 * x + 1; }
constexpr int PixelY(int y) { return 30 + 3 * y + 1; }

struct Stroke {
  TileId Tile;
  int32_t Layer;
  std::vector<std::pair<int, int>> Cells;  // (x, y) of the top view, in the order the pointer passes
};

// Three strokes: b runs over a's cells, c paints the plane z = 64.
const std::map<char, Stroke> Strokes = {
    {'a', {2, 0, {{10, 20}, {11, 20}, {12, 20}, {13, 20}}}},
    {'b', {1, 0, {{12, 20}, {13, 20}, {14, 20}}}},
    {'c', {5, 64, {{40, 41}, {41, 41}}}},
};

class UndoAndRedo : public ::testing::Test {
 protected:
  void Pass(PointerState pointer, int key = 0) {
    Surface.Pointer = pointer;
    if (key) Surface.ScriptedKeys.push_back(key);
    for (int i = 0; i < 4 && !RunPass(State, *Grid, Header, History, Work); ++i) {
    }
  }
  static PointerState At(int x, int y, int32_t buttons) { return {x, y, buttons, 0, true, true}; }

  // A click on the menu square at pixel column x, with `typed` typed at its
  // questions. The pass of the click reads a key that does nothing first, so
  // the typed keys stay one ahead: a message's wait ends with the second key
  // typed after the answer.
  void ClickMenu(int x, const std::string& typed) {
    Surface.ScriptedKeys.push_back(FunctionKeyCode(1));
    testing::ScriptKeys(Surface, typed);
    Pass(At(x, 3, 1));
    Pass(At(1000, 700, 0));
  }

  void Paint(const Stroke& s) {
    State.CurrentTile = s.Tile;
    State.Layer = s.Layer;
    for (auto [x, y] : s.Cells) Pass(At(PixelX(x), PixelY(y), 1));
    Pass(At(1000, 700, 0));
    State.Layer = 0;
  }
  static void Apply(Level& grid, const Stroke& s) {
    for (auto [x, y] : s.Cells) WriteCell(grid, x, y, s.Layer, s.Tile);
  }

  EditorState State;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  HeaderTemplate Header;
  UndoHistory History;
  EditorWork Work;
  MemorySurface& Surface = testing::FreshScreen();
};

TEST_F(UndoAndRedo, StrokesUndoneRedoneAndDroppedByANewStroke) {
  struct Case {
    std::string Inputs;    // a stroke by its letter, u for Ctrl+Z, r for Ctrl+Y
    std::string Expected;  // the strokes whose cells the grid then shows, in order
  };
  const Case cases[] = {
      {"a", "a"},          {"au", ""},       {"aur", "a"},      {"abu", "a"},      {"abuu", ""},
      {"abuur", "a"},      {"abuurr", "ab"}, {"abuub", "b"},    {"abuubr", "b"},   {"auu", ""},
      {"rr", ""},          {"aa", "a"},      {"aau", ""},       {"acu", "a"},      {"acuur", "a"},
      {"acuurr", "ac"},    {"abcuuu", ""},   {"abcuuurrr", "abc"},
  };
  for (const Case& c : cases) {
    *Grid = Level{};
    History = UndoHistory{};
    for (char input : c.Inputs) {
      if (input == 'u' || input == 'r') {
        Pass(At(1000, 700, 0), input == 'u' ? KeyCtrlZ : KeyCtrlY);
      } else {
        Paint(Strokes.at(input));
      }
    }
    auto expected = std::make_unique<Level>();
    for (char stroke : c.Expected) Apply(*expected, Strokes.at(stroke));
    EXPECT_TRUE(Grid->Cells == expected->Cells) << c.Inputs;
  }
}

TEST_F(UndoAndRedo, NewIsAStepAndTheQuestionAnsweredNoIsNot) {
  Paint(Strokes.at('a'));
  auto painted = std::make_unique<Level>(*Grid);
  ClickMenu(314, "n\r");  // New
  ClickMenu(314, "y\r");
  auto terrain = std::make_unique<Level>();
  LayNewTerrain(*terrain);
  EXPECT_TRUE(Grid->Cells == terrain->Cells);
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(Grid->Cells == painted->Cells) << "undoing New brings the painted level back";
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(Grid->Cells == Level{}.Cells) << "the answer n made no step: the stroke is next";
  Pass(At(1000, 700, 0), KeyCtrlY);
  Pass(At(1000, 700, 0), KeyCtrlY);
  EXPECT_TRUE(Grid->Cells == terrain->Cells);
}

TEST_F(UndoAndRedo, LoadIsAStepAndAFailedLoadIsNot) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  std::filesystem::copy_file(std::filesystem::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  ReadHeaderTemplate(Header);
  Paint(Strokes.at('a'));
  auto saved = std::make_unique<Level>(*Grid);
  ClickMenu(418, "world\rkk");  // Save
  ASSERT_TRUE(std::filesystem::exists("world.dat"));
  Paint(Strokes.at('b'));
  auto edited = std::make_unique<Level>(*Grid);
  WriteCell(*Grid, 3, 3, 63, 300);  // a value no byte holds
  edited = std::make_unique<Level>(*Grid);

  ClickMenu(363, "\r");  // Load, cancelled
  ClickMenu(363, "nowhere\rkk");  // Load, failed
  ClickMenu(363, "world\r");
  EXPECT_TRUE(Grid->Cells == saved->Cells);
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(Grid->Cells == edited->Cells) << "undoing the load brings back every cell, 300 included";
  Pass(At(1000, 700, 0), KeyCtrlY);
  EXPECT_TRUE(Grid->Cells == saved->Cells);
}

TEST(UndoHistory, OldestStepsGoWhenTheHistoryIsFull) {
  auto grid = std::make_unique<Level>();
  UndoHistory history;
  EXPECT_EQ(history.Bytes, 0u);
  UndoStep oneCell;
  oneCell.Cells = {{0, 0}};
  history.Limit = 10 * oneCell.Bytes();
  for (int i = 0; i < 30; ++i) {
    RecordPaint(history, CellIndex(*grid, i, 0, 0), 0);
    WriteCell(*grid, i, 0, 0, 7);
    EndStroke(history);
  }
  EXPECT_LE(history.Bytes, history.Limit);
  int undone = 0;
  while (Undo(history, *grid)) ++undone;
  EXPECT_EQ(undone, 10);
  EXPECT_EQ(ReadCell(*grid, 19, 0, 0), 7);  // beyond the history: stays
  EXPECT_EQ(ReadCell(*grid, 20, 0, 0), 0);
}

// The bound counts what the steps take in memory, their records included:
// many one-cell strokes do not hold several times the bound.
TEST(UndoHistory, ManySmallStrokesStayWithinTheBound) {
  auto grid = std::make_unique<Level>();
  UndoHistory history;
  for (int i = 0; i < 400'000; ++i) {
    RecordPaint(history, CellIndex(*grid, i % 256, (i / 256) % 256, 0), static_cast<uint8_t>(i % 2));
    EndStroke(history);
  }
  EXPECT_LE(history.Bytes, history.Limit);
  EXPECT_LE(history.Steps.size() * (sizeof(UndoStep) + sizeof(CellChange)), history.Limit);
}

// The history tells whether the level differs from what was last loaded,
// saved or created, through undo and redo and steps dropped for the bound.
TEST_F(UndoAndRedo, UnsavedChangesAreKnown) {
  EXPECT_FALSE(HasUnsavedChanges(History));
  Paint(Strokes.at('a'));
  EXPECT_TRUE(HasUnsavedChanges(History));
  MarkSaved(History);  // as a save does
  EXPECT_FALSE(HasUnsavedChanges(History));
  Paint(Strokes.at('b'));
  EXPECT_TRUE(HasUnsavedChanges(History));
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_FALSE(HasUnsavedChanges(History)) << "undone back to the saved level";
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(HasUnsavedChanges(History));
  Pass(At(1000, 700, 0), KeyCtrlY);
  Paint(Strokes.at('c'));  // drops the redo of b
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_FALSE(HasUnsavedChanges(History));
  ClickMenu(314, "y\r");  // New
  EXPECT_FALSE(HasUnsavedChanges(History));
  EXPECT_EQ(Grid->Name, "");
  // The step that leads back to the saved level dropped for the bound: it
  // cannot come back.
  History.Limit = 1;
  Paint(Strokes.at('a'));
  Paint(Strokes.at('b'));
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(HasUnsavedChanges(History));
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// Every change of the level is noted where it passes, for the picture window
// to take: the cells a stroke, an undo or a redo changed, or the whole level.
TEST_F(UndoAndRedo, ChangesAreNotedForThePictureToTake) {
  TakeChanges(History);
  Paint(Strokes.at('a'));
  LevelChanges changes = TakeChanges(History);
  EXPECT_FALSE(changes.Whole);
  EXPECT_EQ(changes.First, CellIndex(*Grid, 10, 20, 0));
  EXPECT_EQ(changes.Last, CellIndex(*Grid, 13, 20, 0));
  EXPECT_FALSE(TakeChanges(History).Any()) << "taken";
  Pass(At(1000, 700, 0), KeyCtrlZ);
  changes = TakeChanges(History);
  EXPECT_EQ(std::make_pair(changes.First, changes.Last),
            std::make_pair(CellIndex(*Grid, 10, 20, 0), CellIndex(*Grid, 13, 20, 0)));
  ClickMenu(314, "y\r");  // New
  EXPECT_TRUE(TakeChanges(History).Whole);
  Pass(At(1000, 700, 0), KeyCtrlZ);
  EXPECT_TRUE(TakeChanges(History).Whole) << "undoing New";
}

}  // namespace
}  // namespace terrafix
