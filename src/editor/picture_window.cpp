#include "editor/picture_window.h"

#include <algorithm>

#include "platform/screen/screen.h"

namespace terrafix {

namespace {

// The box of cells that the changes cover, from the least and greatest
// index changed: exact along the height, the plan's rows and, within one
// row, across. A box of more than a quarter of a layer is drawn whole again: the
// whole picture is drawn faster than its cells one by one.
void RedrawChanged(const Level& level, const LevelChanges& changes, LevelPicture& picture) {
  const size_t plan = PlanCells(level), width = static_cast<size_t>(level.Width);
  const size_t last = std::min(changes.Last, level.Cells.size() - 1);  // the plane above the top is not drawn
  if (changes.First > last) return;
  const int32_t z0 = static_cast<int32_t>(changes.First / plan), z1 = static_cast<int32_t>(last / plan);
  int32_t y0 = 0, y1 = level.Length - 1, x0 = 0, x1 = level.Width - 1;
  if (z0 == z1) {
    y0 = static_cast<int32_t>(changes.First % plan / width), y1 = static_cast<int32_t>(last % plan / width);
    if (y0 == y1) x0 = static_cast<int32_t>(changes.First % width), x1 = static_cast<int32_t>(last % width);
  }
  const size_t cells = size_t(x1 - x0 + 1) * size_t(y1 - y0 + 1) * size_t(z1 - z0 + 1);
  if (cells * 4 > plan) return DrawLevelPicture(level, picture.Scale, picture.Turn, picture);
  RedrawCells(level, x0, y0, z0, x1, y1, z1, picture);
}

bool SameView(const EditorState& a, const EditorState& b) {
  return a.SliceX == b.SliceX && a.SliceY == b.SliceY && a.Layer == b.Layer && a.PictureTurn == b.PictureTurn &&
         a.PictureZoom == b.PictureZoom && a.BoxShown == b.BoxShown && a.Box == b.Box;
}

}  // namespace

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
    DrawLevelPicture(level, 1, state.PictureTurn, window.Picture);
    redrawn = true;
  } else if (changes.Whole || window.Picture.Turn != state.PictureTurn) {
    DrawLevelPicture(level, 1, state.PictureTurn, window.Picture);
    redrawn = true;
  } else if (changes.Any()) {
    RedrawChanged(level, changes, window.Picture);
    redrawn = true;
  }
  if (!redrawn && SameView(state, window.ShownFor)) return;  // nothing to do: the editor stays idle
  ComposePictureView(window.Picture, state, level, window.Shown);
  window.ShownFor = state;
  ShowPictureWindow(window.Shown.Pixels.data(), window.Shown.Width, window.Shown.Height, window.Shown.Width);
}

}  // namespace terrafix
