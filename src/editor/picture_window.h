// The picture window beside the slices: the isometric picture of the level,
// opened and closed by the key i (or its close control), redrawn after each
// change of the level in the pass that made it (only the part the change
// touches), with the slices outlined. Its wheel zooms and a drag turns it.
// It costs nothing while nothing changes. Where there is no desktop window
// (the terminal), there is none.
#pragma once

#include "display/level_picture.h"
#include "display/picture_view.h"
#include "editor/undo_history.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// The size the window opens at.
constexpr int PictureWindowWidth = 640, PictureWindowHeight = 480;

struct PictureWindow {
  bool Open = false;
  LevelPicture Picture;  // of the whole level, at the view's turn
  PictureView Shown;     // what the window shows; the window shows it again when uncovered
  EditorState ShownFor;  // the slices, turn and zoom it shows
};

// After a pass: opens or closes the window as the state asks, takes its
// input, and redraws what changed since the pass before.
void UpdatePictureWindow(EditorState& state, const Level& level, UndoHistory& history, PictureWindow& window);

}  // namespace terrafix
