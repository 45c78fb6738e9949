#include "reference_picture.h"

#include <algorithm>

#include "display/level_picture.h"
#include "display/picture_colours.h"

namespace terrafix::testing {

Level EmptyLevel(int32_t width, int32_t length, int32_t height) {
  Level level;
  level.Width = width, level.Length = length, level.Height = height;
  level.Cells.assign(size_t(width) * length * height, 0);
  level.TopPlane.assign(size_t(width) * length, 0);
  return level;
}

namespace {

// The level turned a quarter `turns` times, as the picture's turn shows it.
Level Turned(const Level& level, int32_t turns) {
  Level turned = level;
  for (int32_t t = 0; t < turns; ++t) {
    const Level from = turned;
    turned = EmptyLevel(from.Length, from.Width, from.Height);
    // The view's cell (vx, vy) of one turn is the level's (vy, Length - 1 - vx).
    for (int32_t z = 0; z < from.Height; ++z)
      for (int32_t vy = 0; vy < turned.Length; ++vy)
        for (int32_t vx = 0; vx < turned.Width; ++vx)
          WriteCell(turned, vx, vy, z, ReadCell(from, vy, from.Length - 1 - vx, z));
  }
  return turned;
}

struct Point {
  double X, Y;
};

bool Inside(const std::vector<Point>& polygon, double x, double y) {
  // Convex, its corners in order either way round: the point is on one side of every edge.
  int sign = 0;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
    const double cross = (b.X - a.X) * (y - a.Y) - (b.Y - a.Y) * (x - a.X);
    const int side = cross > 0 ? 1 : cross < 0 ? -1 : 0;
    if (side == 0) return false;
    if (sign != 0 && side != sign) return false;
    sign = side;
  }
  return true;
}

uint32_t Darker(uint32_t colour, uint32_t shade) {
  uint32_t r = (colour >> 16 & 0xFF) * shade / 256, g = (colour >> 8 & 0xFF) * shade / 256,
           b = (colour & 0xFF) * shade / 256;
  return 0xFF000000u | r << 16 | g << 8 | b;
}

}  // namespace

std::vector<uint32_t> ReferencePicture(const Level& original, int32_t scale, int32_t turn, int32_t& width,
                                       int32_t& height) {
  const Level level = Turned(original, turn);
  const int32_t s = scale, w = level.Width, l = level.Length, h = level.Height;
  width = 2 * s * (w + l);
  height = s * (w + l) + 2 * s * h;
  std::vector<uint32_t> pixels(size_t(width) * height, 0);
  // A corner of the cells in pixels.
  auto at = [&](int32_t x, int32_t y, int32_t z) {
    return Point{2.0 * s * (x - y + l), double(s) * (x + y) + 2.0 * s * (h - z)};
  };
  auto air = [&](int32_t x, int32_t y, int32_t z) {
    return x >= w || y >= l || z >= h || ReadCell(level, x, y, z) == 0;
  };
  auto fill = [&](const std::vector<Point>& face, uint32_t colour) {
    double left = width, top = height, right = 0, bottom = 0;  // the face's bounds
    for (const Point& p : face) left = std::min(left, p.X), right = std::max(right, p.X), top = std::min(top, p.Y), bottom = std::max(bottom, p.Y);
    for (int32_t py = int32_t(top); py < int32_t(bottom); ++py)
      for (int32_t px = int32_t(left); px < int32_t(right); ++px)
        if (Inside(face, px + 0.5, py + 0.5)) pixels[size_t(py) * width + px] = colour;
  };
  // Back to front: a cube with a larger x + y + z is nearer.
  for (int32_t depth = 0; depth <= w + l + h - 3; ++depth) {
    for (int32_t x = 0; x < w; ++x) {
      for (int32_t y = 0; y < l; ++y) {
        const int32_t z = depth - x - y;
        if (z < 0 || z >= h || air(x, y, z)) continue;
        const uint8_t tile = static_cast<uint8_t>(ReadCell(level, x, y, z));
        const uint32_t colour = PictureColour(tile);
        if (air(x, y, z + 1)) fill({at(x, y, z + 1), at(x + 1, y, z + 1), at(x + 1, y + 1, z + 1), at(x, y + 1, z + 1)}, colour);
        if (IsLiquid(tile)) continue;
        if (air(x + 1, y, z)) {
          fill({at(x + 1, y, z + 1), at(x + 1, y + 1, z + 1), at(x + 1, y + 1, z), at(x + 1, y, z)},
               Darker(colour, RightFaceShade));
        }
        if (air(x, y + 1, z)) {
          fill({at(x, y + 1, z + 1), at(x + 1, y + 1, z + 1), at(x + 1, y + 1, z), at(x, y + 1, z)},
               Darker(colour, LeftFaceShade));
        }
      }
    }
  }
  return pixels;
}

std::vector<uint32_t> Trimmed(const std::vector<uint32_t>& pixels, int32_t width, int32_t height, int32_t margin,
                              int32_t& trimmedWidth, int32_t& trimmedHeight) {
  int32_t left = width, right = -1, top = height, bottom = -1;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      if (pixels[size_t(y) * width + x] != 0) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = y;
  trimmedWidth = right - left + 1 + 2 * margin;
  trimmedHeight = bottom - top + 1 + 2 * margin;
  std::vector<uint32_t> trimmed(size_t(trimmedWidth) * trimmedHeight, 0);
  for (int32_t y = top; y <= bottom; ++y)
    for (int32_t x = left; x <= right; ++x)
      trimmed[size_t(y - top + margin) * trimmedWidth + (x - left + margin)] = pixels[size_t(y) * width + x];
  return trimmed;
}

}  // namespace terrafix::testing
