#include "display/picture_view.h"

#include <algorithm>
#include <cstdlib>

namespace terrafix {

namespace {

// A corner of the level's cells, (x, y) of 0..Width and 0..Length, in the
// view's corners as the picture's turn has them.
void ViewCornerOf(const LevelPicture& p, const Level& level, int32_t x, int32_t y, int32_t& vx, int32_t& vy) {
  switch (p.Turn) {
    case 1: vx = level.Length - y, vy = x; break;
    case 2: vx = level.Width - x, vy = level.Length - y; break;
    case 3: vx = y, vy = level.Width - x; break;
    default: vx = x, vy = y; break;
  }
}

struct Corner {
  int32_t X, Y;
};

Corner Projected(const LevelPicture& p, const Level& level, int32_t x, int32_t y, int32_t z) {
  int32_t vx = 0, vy = 0;
  ViewCornerOf(p, level, x, y, vx, vy);
  return {ProjectedX(p, vx, vy), ProjectedY(p, vx, vy, z)};
}

// A line from a to b, one pixel wide, where it lies in the view (whose top
// left is `origin` in the picture).
void DrawLine(PictureView& view, Corner origin, Corner a, Corner b, uint32_t colour) {
  const int32_t steps = std::max({std::abs(b.X - a.X), std::abs(b.Y - a.Y), 1});
  for (int32_t i = 0; i <= steps; ++i) {
    const int32_t x = a.X + (b.X - a.X) * i / steps - origin.X, y = a.Y + (b.Y - a.Y) * i / steps - origin.Y;
    if (x >= 0 && y >= 0 && x < view.Width && y < view.Height) view.Pixels[size_t(y) * view.Width + x] = colour;
  }
}

void DrawOutline(PictureView& view, Corner origin, const Corner (&corners)[4], uint32_t colour) {
  for (int i = 0; i < 4; ++i) DrawLine(view, origin, corners[i], corners[(i + 1) % 4], colour);
}

}  // namespace

void ComposePictureView(const LevelPicture& picture, const EditorState& state, const Level& level, PictureView& view) {
  const int32_t zoom = std::clamp(state.PictureZoom, 0, LargestPictureZoom);
  view.Width = std::max(picture.Width >> zoom, 1);
  view.Height = std::max(picture.Height >> zoom, 1);
  const Corner origin{(picture.Width - view.Width) / 2, (picture.Height - view.Height) / 2};
  view.Pixels.assign(size_t(view.Width) * view.Height, 0);
  for (int32_t y = 0; y < view.Height && y + origin.Y < picture.Height; ++y) {
    const auto from = picture.Pixels.begin() + static_cast<std::ptrdiff_t>(size_t(y + origin.Y) * picture.Width + origin.X);
    std::copy(from, from + view.Width, view.Pixels.begin() + static_cast<std::ptrdiff_t>(size_t(y) * view.Width));
  }
  const int32_t w = level.Width, l = level.Length, h = level.Height;
  const int32_t layer = std::min(state.Layer + 1, h), x = std::min(state.SliceX + 1, w), y = std::min(state.SliceY + 1, l);
  auto at = [&](int32_t cx, int32_t cy, int32_t cz) { return Projected(picture, level, cx, cy, cz); };
  DrawOutline(view, origin, {at(0, 0, layer), at(w, 0, layer), at(w, l, layer), at(0, l, layer)}, LayerOutline);
  DrawOutline(view, origin, {at(x, 0, 0), at(x, l, 0), at(x, l, h), at(x, 0, h)}, SideAOutline);
  DrawOutline(view, origin, {at(0, y, 0), at(w, y, 0), at(w, y, h), at(0, y, h)}, SideBOutline);
  if (!state.BoxShown) return;
  // The box as a wire frame: its bottom and top faces and the four edges up.
  const CellBox& b = state.Box;
  const int32_t x0 = b.X0, x1 = b.X1 + 1, y0 = b.Y0, y1 = b.Y1 + 1, z0 = b.Z0, z1 = b.Z1 + 1;
  for (int32_t z : {z0, z1}) DrawOutline(view, origin, {at(x0, y0, z), at(x1, y0, z), at(x1, y1, z), at(x0, y1, z)}, BoxFrame);
  for (const Corner& c : {Corner{x0, y0}, Corner{x1, y0}, Corner{x1, y1}, Corner{x0, y1}}) {
    DrawLine(view, origin, at(c.X, c.Y, z0), at(c.X, c.Y, z1), BoxFrame);
  }
}

}  // namespace terrafix
