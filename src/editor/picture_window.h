// The picture window beside the slices: the isometric picture of the level,
// opened and closed by the key i (or its close control), redrawn after each
// change of the level in the pass that made it (only the part the change
// touches), with the slices outlined. Its wheel zooms and a drag turns it.
// It costs nothing while nothing changes. Where there is no desktop window
// (the terminal), there is none.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "display/level_overview.h"
#include "display/level_picture.h"
#include "display/picture_view.h"
#include "editor/undo_history.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

// The size the window opens at.
constexpr int PictureWindowWidth = 640, PictureWindowHeight = 480;
// The most the picture may take while it is drawn: a level whose picture at
// full size would take more is drawn smaller (an overview, each pixel
// standing for a block of cells), and the window's title says by how much.
constexpr uint64_t PictureMemoryBound = uint64_t{128} << 20;

struct PictureWindow {
  bool Open = false;
  int32_t Step = 1;      // 1: the level at full size; else its overview, smaller by that
  std::unique_ptr<Level> Overview;  // the level made smaller, where Step is more than 1
  LevelPicture Picture;  // of the whole level (or its overview), at the view's turn
  PictureView Shown;     // what the window shows; the window shows it again when uncovered
  EditorState ShownFor;  // the slices, turn and zoom it shows
};

// What the window's title adds to its name: nothing at full size, " (1/4
// scale)" for an overview smaller by 4.
std::string PictureNote(int32_t step);

// After a pass: opens or closes the window as the state asks, takes its
// input, and redraws what changed since the pass before.
void UpdatePictureWindow(EditorState& state, const Level& level, UndoHistory& history, PictureWindow& window);

}  // namespace terrafix
