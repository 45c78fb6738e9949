#include "editor/picture_window.h"

#include <algorithm>

#include "platform/screen/screen.h"

namespace terrafix {

namespace {

// The level as the picture shows it: itself, or its overview.
const Level& Pictured(const Level& level, const PictureWindow& window) {
  return window.Step > 1 ? *window.Overview : level;
}

// The whole picture drawn anew, of the level at full size where it fits the
// bound, else of its overview; the title says which.
void DrawWhole(const Level& level, int32_t turn, PictureWindow& window) {
  constexpr uint64_t ColourAndDepth = 8;  // the bytes of a pixel of the picture
  const int32_t step = std::max(OverviewStep(level.Width, level.Length, level.Height, 1, ColourAndDepth,
                                             PictureMemoryBound), 1);
  if (step != window.Step) NotePictureWindow(PictureNote(step));
  window.Step = step;
  if (step > 1) {
    if (!window.Overview) window.Overview = std::make_unique<Level>();
    MakeOverview(level, step, *window.Overview);
  } else {
    window.Overview.reset();  // its memory back
  }
  DrawLevelPicture(Pictured(level, window), 1, turn, window.Picture);
}

// The slices and the box as they fall on the overview.
EditorState OnTheOverview(EditorState state, int32_t step) {
  state.SliceX /= step, state.SliceY /= step, state.Layer /= step;
  CellBox& b = state.Box;
  b = {b.X0 / step, b.Y0 / step, b.Z0 / step, b.X1 / step, b.Y1 / step, b.Z1 / step};
  return state;
}

// The box of cells that the changes cover, from the least and greatest
// index changed: exact along the height, the plan's rows and, within one
// row, across. A box of more than a quarter of a layer is drawn whole again: the
// whole picture is drawn faster than its cells one by one.
void RedrawChanged(const Level& level, const LevelChanges& changes, PictureWindow& window) {
  LevelPicture& picture = window.Picture;
  const size_t plan = PlanCells(level), width = static_cast<size_t>(level.Width);
  const size_t last = std::min(changes.Last, level.Cells.size() - 1);  // the plane above the top is not drawn
  if (changes.First > last) return;
  int32_t z0 = static_cast<int32_t>(changes.First / plan), z1 = static_cast<int32_t>(last / plan);
  int32_t y0 = 0, y1 = level.Length - 1, x0 = 0, x1 = level.Width - 1;
  if (z0 == z1) {
    y0 = static_cast<int32_t>(changes.First % plan / width), y1 = static_cast<int32_t>(last % plan / width);
    if (y0 == y1) x0 = static_cast<int32_t>(changes.First % width), x1 = static_cast<int32_t>(last % width);
  }
  if (window.Step > 1) UpdateOverview(level, window.Step, x0, y0, z0, x1, y1, z1, *window.Overview);
  const Level& pictured = Pictured(level, window);
  const size_t cells = size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1) * size_t(z1 - z0 + 1);
  if (cells * 4 > PlanCells(pictured)) return DrawLevelPicture(pictured, picture.Scale, picture.Turn, picture);
  RedrawCells(pictured, x0, y0, z0, x1, y1, z1, picture);
}

bool SameView(const EditorState& a, const EditorState& b) {
  return a.SliceX == b.SliceX && a.SliceY == b.SliceY && a.Layer == b.Layer && a.PictureTurn == b.PictureTurn &&
         a.PictureZoom == b.PictureZoom && a.BoxShown == b.BoxShown && a.Box == b.Box;
}

}  // namespace

std::string PictureNote(int32_t step) {
  return step <= 1 ? std::string() : " (1/" + std::to_string(step) + " scale)";
}

void UpdatePictureWindow(EditorState& state, const Level& level, UndoHistory& history, PictureWindow& window) {
  const LevelChanges changes = TakeChanges(history);
  if (window.Open) {
    const PictureInput input = TakePictureInput();
    if (input.Closed) state.PictureShown = 0;
    state.PictureZoom = std::clamp(state.PictureZoom + input.Wheel, 0, LargestPictureZoom);
    state.PictureTurn = (state.PictureTurn + input.Turns + 4) % 4;
  }
  if (!state.PictureShown) {
    if (window.Open) {
      ClosePictureWindow();
      window = {};  // its memory back
    }
    return;
  }
  bool redrawn = false;
  if (!window.Open) {
    if (!OpenPictureWindow(PictureWindowWidth, PictureWindowHeight)) {
      state.PictureShown = 0;  // no window to show it in
      return;
    }
    window.Open = true;
    window.Step = 1;  // (the title it opened with)
    DrawWhole(level, state.PictureTurn, window);
    redrawn = true;
  } else if (changes.Whole || window.Picture.Turn != state.PictureTurn) {
    DrawWhole(level, state.PictureTurn, window);
    redrawn = true;
  } else if (changes.Any()) {
    RedrawChanged(level, changes, window);
    redrawn = true;
  }
  if (!redrawn && SameView(state, window.ShownFor)) return;  // nothing to do: the editor stays idle
  ComposePictureView(window.Picture, OnTheOverview(state, window.Step), Pictured(level, window), window.Shown);
  window.ShownFor = state;
  ShowPictureWindow(window.Shown.Pixels.data(), window.Shown.Width, window.Shown.Height, window.Shown.Width);
}

}  // namespace terrafix
