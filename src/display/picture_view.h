// What the picture window shows of the level's picture: the part its zoom
// takes, about the middle, with the current slices outlined on it (the
// layer in yellow, side view A's plane in red, side view B's in blue) and
// the box, when there is one, as a wire frame in cyan.
#pragma once

#include <cstdint>
#include <vector>

#include "display/level_picture.h"
#include "level/editor_state.h"
#include "level/level.h"

namespace terrafix {

constexpr int32_t LargestPictureZoom = 4;
constexpr uint32_t LayerOutline = 0xFFFFFF00, SideAOutline = 0xFFFF4040, SideBOutline = 0xFF40C0FF;
constexpr uint32_t BoxFrame = 0xFF00FFFF;

struct PictureView {
  std::vector<uint32_t> Pixels;
  int32_t Width = 0, Height = 0;
};

void ComposePictureView(const LevelPicture& picture, const EditorState& state, const Level& level, PictureView& view);

}  // namespace terrafix
