#include <gtest/gtest.h>

#include <memory>

#include "editor/keys_and_clicks.h"
#include "editor/main_loop.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

using testing::TextAt;

struct Editor {
  EditorState State;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  HeaderTemplate Header;
  UndoHistory History;
  EditorWork Work;
  MemorySurface& Surface = testing::FreshScreen();

  // One pass with the pointer at (x, y) and `buttons` held.
  void Pass(int32_t x, int32_t y, int32_t buttons) {
    Surface.Pointer = {x, y, buttons, 0, true, true};
    RunPass(State, *Grid, Header, History, Work);
  }
};

constexpr int GridBoxX = 986, GridBoxY = 460;

TEST(MainLoop, FirstPassShowsTheStartState) {
  Editor e;
  e.Surface.Pointer = {500, 600, 0, 0, true, true};
  RunPass(e.State, *e.Grid, e.Header, e.History, e.Work);
  EXPECT_EQ(TextAt(3, 40, 22), "   mx: 0         my: 0");  // drawn before the first mouse read
  EXPECT_EQ(testing::PixelAt(100, 100), 0xFF000000u);     // all air
  EXPECT_EQ(e.State.MouseX, 500);
  EXPECT_EQ(e.Surface.Presents, 1);  // one frame shown per pass
  RunPass(e.State, *e.Grid, e.Header, e.History, e.Work);
  EXPECT_EQ(TextAt(3, 40, 24), "   mx: 500       my: 600");
}

TEST(MainLoop, ClickLatchTurnsAHeldButtonIntoOneClick) {
  struct Step {
    int32_t Buttons;
    int32_t ExpectedGrid;
    int32_t ExpectedLatch;
  };
  const std::vector<std::vector<Step>> sequences = {
      {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {0, 1, 0}, {1, 0, 1}},  // held: one toggle; a new press: another
      {{3, 0, 0}, {1, 1, 1}},                                    // left and right: nothing; right let go: a click
      {{1, 1, 1}, {-1, 1, 1}, {1, 1, 1}, {0, 1, 0}},             // pointer away keeps the latch
      {{2, 0, 0}, {4, 0, 0}, {0, 0, 0}},
  };
  for (const auto& sequence : sequences) {
    Editor e;
    for (size_t i = 0; i < sequence.size(); ++i) {
      const Step& step = sequence[i];
      if (step.Buttons == -1) {
        e.Surface.Pointer.Inside = false;
        RunPass(e.State, *e.Grid, e.Header, e.History, e.Work);
      } else {
        e.Pass(GridBoxX, GridBoxY, step.Buttons);
      }
      EXPECT_EQ(e.State.GridVisible, step.ExpectedGrid) << "step " << i;
      EXPECT_EQ(e.State.ClickLatch, step.ExpectedLatch) << "step " << i;
    }
  }
}

TEST(MainLoop, HeldButtonPaintsEveryPassAndOnlyLeftAlonePaints) {
  Editor e;
  e.Pass(803, 475, 1);  // the stone box
  e.Pass(0, 0, 0);
  EXPECT_EQ(e.State.CurrentTile, 1);
  e.Pass(10, 30, 1);   // top view cell (0, 0)
  e.Pass(13, 30, 1);   // dragged on: cell (1, 0)
  e.Pass(16, 30, 3);   // right button too: no paint
  e.Pass(19, 30, -1);  // any -1 reading: no paint
  EXPECT_EQ(ReadCell(*e.Grid, 0, 0, 0), 1);
  EXPECT_EQ(ReadCell(*e.Grid, 1, 0, 0), 1);
  EXPECT_EQ(ReadCell(*e.Grid, 2, 0, 0), 0);
  EXPECT_EQ(ReadCell(*e.Grid, 3, 0, 0), 0);
}

TEST(MainLoop, KeyActsBeforeThePaintOfTheSamePass) {
  Editor e;
  e.State.CurrentTile = 2;
  QueueKey('B');  // capital B lifts the layer like b
  e.Pass(10, 30, 1);
  EXPECT_EQ(e.State.Layer, 1);
  EXPECT_EQ(ReadCell(*e.Grid, 0, 0, 1), 2);
  EXPECT_EQ(ReadCell(*e.Grid, 0, 0, 0), 0);
}

TEST(MainLoop, CloseRequestAndOtherKeysChangeNothing) {
  Editor e;
  QueueKey(ExtendedKey + ScanClose);
  QueueKey(ExtendedKey + ScanLeft);
  QueueKey('x');
  EditorState before = e.State;
  for (int i = 0; i < 3; ++i) e.Pass(0, 0, 0);
  EXPECT_EQ(std::tie(e.State.SliceX, e.State.SliceY, e.State.Layer), std::tie(before.SliceX, before.SliceY, before.Layer));
}

TEST(HandleKey, SixLettersMoveTheSlicesWithinTheirRanges) {
  struct Case {
    const char* Key;
    int32_t SliceX, SliceY, Layer;  // before
    int32_t ExpectedX, ExpectedY, ExpectedLayer;
  };
  const Case cases[] = {
      {"j", 0, 0, 0, 1, 0, 0},       {"j", 255, 0, 0, 255, 0, 0},   {"g", 5, 0, 0, 4, 0, 0},
      {"g", 0, 0, 0, 0, 0, 0},       {"n", 0, 254, 0, 0, 255, 0},   {"n", 0, 255, 0, 0, 255, 0},
      {"y", 0, 1, 0, 0, 0, 0},       {"y", 0, 0, 0, 0, 0, 0},       {"b", 0, 0, 63, 0, 0, 64},
      {"b", 0, 0, 64, 0, 0, 64},     {"u", 0, 0, 1, 0, 0, 0},       {"u", 0, 0, 0, 0, 0, 0},
      {"J", 3, 3, 3, 3, 3, 3},       {"", 3, 3, 3, 3, 3, 3},        {"jj", 3, 3, 3, 3, 3, 3},
      {"\xFFk", 3, 3, 3, 3, 3, 3},
  };
  for (const Case& c : cases) {
    EditorState s;
    s.SliceX = c.SliceX;
    s.SliceY = c.SliceY;
    s.Layer = c.Layer;
    HandleKey(s, Level{}, c.Key);
    EXPECT_EQ(std::tie(s.SliceX, s.SliceY, s.Layer), std::tie(c.ExpectedX, c.ExpectedY, c.ExpectedLayer))
        << "key '" << c.Key << "'";
  }
}

TEST(HandleClick, OptionAndPaletteBoxesAndTheGapsBetween) {
  struct Case {
    int32_t X, Y;
    int32_t ViewMode, Zoom, GridVisible, CurrentTile;
  };
  // From the start state (layout 1, zoom 3, no grid, air).
  const Case cases[] = {
      {800, 440, 2, 3, 0, 0},  {807, 446, 2, 3, 0, 0},  {808, 440, 1, 3, 0, 0}, {800, 447, 1, 3, 0, 0},
      {850, 443, 1, 3, 0, 0},  {983, 446, 3, 3, 0, 0},  {800, 448, 1, 1, 0, 0}, {887, 454, 1, 2, 0, 0},
      {960, 448, 1, 3, 0, 0},  {984, 456, 1, 3, 1, 0},  {991, 462, 1, 3, 1, 0}, {992, 462, 1, 3, 0, 0},
      {800, 464, 1, 3, 0, 0},  {807, 478, 1, 3, 0, 1},  {800, 480, 1, 3, 0, 2}, {800, 488, 1, 3, 0, 3},
      {800, 496, 1, 3, 0, 4},  {800, 504, 1, 3, 0, 5},  {800, 512, 1, 3, 0, 8}, {800, 520, 1, 3, 0, 10},
      {800, 528, 1, 3, 0, 12}, {800, 536, 1, 3, 0, 13}, {800, 544, 1, 3, 0, 17}, {807, 558, 1, 3, 0, 18},
      {800, 559, 1, 3, 0, 0},  {912, 568, 1, 3, 0, 0},  {319, 3, 1, 3, 0, 0},   {423, 3, 1, 3, 0, 0},
      {312, 7, 1, 3, 0, 0},
  };
  auto grid = std::make_unique<Level>();
  HeaderTemplate header;
  UndoHistory history;
  for (const Case& c : cases) {
    EditorState s;
    KeptWork none;
    HandleClick(s, *grid, header, history, none, c.X, c.Y);
    EXPECT_EQ(std::tie(s.ViewMode, s.Zoom, s.GridVisible, s.CurrentTile),
              std::tie(c.ViewMode, c.Zoom, c.GridVisible, c.CurrentTile))
        << "click at " << c.X << "," << c.Y;
  }
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// One input the window reports: where the pointer is, and a key typed.
struct Input {
  PointerState Pointer;
  int Key = 0;
};

PointerState At(int32_t x, int32_t y, int32_t buttons = 0, int32_t wheel = 0) { return {x, y, buttons, wheel, true, true}; }

// The frame left on the screen after each input, and the grid at the end:
// with waiting, once a pass has settled (where the loop would wait); without,
// after as many passes as a busy loop would run meanwhile.
struct InputRun {
  std::vector<std::vector<uint32_t>> Frames;
  std::unique_ptr<Level> Grid = std::make_unique<Level>();
  EditorState State;
  int Passes = 0;
};

InputRun RunInputs(const std::vector<Input>& inputs, bool waiting) {
  InputRun run;
  HeaderTemplate header;
  UndoHistory history;
  EditorWork work;
  MemorySurface& surface = testing::FreshScreen();
  for (const Input& input : inputs) {
    surface.Pointer = input.Pointer;
    if (input.Key) surface.ScriptedKeys.push_back(input.Key);
    for (int pass = 0; pass < 8; ++pass) {
      ++run.Passes;
      if (RunPass(run.State, *run.Grid, header, history, work) && waiting) break;
    }
    run.Frames.emplace_back(FramePixels(), FramePixels() + ScreenWidth * ScreenHeight);
  }
  return run;
}

TEST(MainLoop, WaitingOnceSettledShowsTheSameFrames) {
  PointerState outside = At(-1, -1);
  outside.Inside = false;
  const std::vector<Input> inputs = {
      {At(1000, 700)},
      {At(1000, 700), 'b'},
      {At(803, 482)}, {At(803, 482, 1)}, {At(803, 482)},  // the grass box
      {At(100, 100)}, {At(100, 100, 1)}, {At(130, 160, 1)},
      {At(130, 160, 1), 'b'},  // a key while the button is held paints the new layer
      {At(160, 190, 1)}, {outside}, {At(190, 220, 1)}, {At(190, 220)},
      {At(190, 220, 0, 1)},  // the wheel
      {At(986, 460, 1)}, {At(986, 460)},  // the grid box
      {At(1000, 700), 'J'}, {At(1000, 700), 'j'},
  };
  InputRun waiting = RunInputs(inputs, true);
  InputRun busy = RunInputs(inputs, false);
  ASSERT_EQ(waiting.Frames.size(), busy.Frames.size());
  for (size_t i = 0; i < inputs.size(); ++i) EXPECT_TRUE(waiting.Frames[i] == busy.Frames[i]) << "after input " << i;
  EXPECT_TRUE(waiting.Grid->Cells == busy.Grid->Cells);
  EXPECT_EQ(ReadCell(*waiting.Grid, 40, 43, 2), 2);  // painted on layer 2 after the second "b"
  EXPECT_EQ(waiting.State.GridVisible, 1);
  EXPECT_EQ(waiting.State.SliceX, 2);
  EXPECT_LT(waiting.Passes, 3 * static_cast<int>(inputs.size()));  // settled within a pass or two of each input
}

}  // namespace
}  // namespace terrafix
