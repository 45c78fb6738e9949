#include "display/level_picture.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "display/picture_colours.h"

namespace terrafix {

namespace {

enum Face : uint8_t { TopFace = 1, LeftFace = 2, RightFace = 4 };

// The face of a cube that the pixel (i, j) of its 4s x 4s box shows, or 0.
// The box's top left is 2s left of the top face's back corner. In units of
// half a pixel, the centre is (2i + 1 - 4s, 2j + 1) from that corner.
uint8_t FaceOfPixel(int32_t s, int32_t i, int32_t j) {
  const int32_t x = 2 * i + 1 - 4 * s, y = 2 * j + 1;
  if (std::abs(x) + 2 * std::abs(y - 2 * s) < 4 * s) return TopFace;
  if (x > 0 && x < 4 * s && 2 * y > 8 * s - x && 2 * y < 16 * s - x) return RightFace;
  if (x < 0 && x > -4 * s && 2 * y > 8 * s + x && 2 * y < 16 * s + x) return LeftFace;
  return 0;
}

// The pixels of one face on one row of a cube's box: [From, To).
struct Span {
  uint8_t Face;
  int32_t Row, From, To;
};

// The spans of a cube at the scale, row by row.
std::vector<Span> CubeSpans(int32_t s) {
  std::vector<Span> spans;
  for (int32_t j = 0; j < 4 * s; ++j) {
    for (int32_t i = 0; i < 4 * s;) {
      const uint8_t face = FaceOfPixel(s, i, j);
      int32_t end = i + 1;
      while (end < 4 * s && FaceOfPixel(s, end, j) == face) ++end;
      if (face != 0) spans.push_back({face, j, i, end});
      i = end;
    }
  }
  return spans;
}

uint32_t Shaded(uint32_t colour, uint32_t shade) {
  uint32_t result = colour & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) result |= (((colour >> shift) & 0xFF) * shade / 256) << shift;
  return result;
}

// How the view walks the level's cells: the index of the view's cell
// (vx, vy, z) is Base + vx * StepX + vy * StepY + z * Plane.
struct ViewWalk {
  std::ptrdiff_t Base, StepX, StepY, Plane;
};

ViewWalk WalkOf(const Level& level, int32_t turn) {
  const std::ptrdiff_t w = level.Width, l = level.Length, plan = w * l;
  switch (turn) {
    case 1: return {(l - 1) * w, -w, 1, plan};
    case 2: return {(l - 1) * w + w - 1, -1, -w, plan};
    case 3: return {w - 1, w, -1, plan};
    default: return {0, 1, w, plan};
  }
}

// Draws one cube's faces of `faces` at the view's cell, within `clip`.
void DrawCube(LevelPicture& p, const std::vector<Span>& spans, int32_t vx, int32_t vy, int32_t z, uint8_t tile,
              uint8_t faces, const PictureArea& clip) {
  const int32_t left = ProjectedX(p, vx, vy) - 2 * p.Scale, top = ProjectedY(p, vx, vy, z + 1);
  const int32_t depth = vx + vy + z;
  const uint32_t colour = PictureColour(tile);
  const uint32_t colours[5] = {0, colour, Shaded(colour, LeftFaceShade), 0, Shaded(colour, RightFaceShade)};
  for (const Span& span : spans) {
    if (!(faces & span.Face)) continue;
    const int32_t y = top + span.Row;
    if (y < clip.Top || y >= clip.Bottom) continue;
    const int32_t from = std::max(left + span.From, clip.Left), to = std::min(left + span.To, clip.Right);
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(p.Width);
    for (int32_t x = from; x < to; ++x) {
      if (depth <= p.Depth[row + x]) continue;
      p.Depth[row + x] = depth;
      p.Pixels[row + x] = colours[span.Face];
    }
  }
}

// The faces of the view's cell (vx, vy, z), at index i, that show: none
// for air; the top where the cell above is air, the sides where the cell
// beside is air or outside the level; a liquid's top alone.
uint8_t ShownFaces(const LevelPicture& p, const Level& level, const ViewWalk& walk, std::ptrdiff_t i, int32_t vx,
                   int32_t vy, int32_t z) {
  const uint8_t tile = level.Cells[static_cast<size_t>(i)];
  if (tile == 0) return 0;
  uint8_t faces = 0;
  if (z + 1 == p.LevelHeight || level.Cells[static_cast<size_t>(i + walk.Plane)] == 0) faces |= TopFace;
  if (IsLiquid(tile)) return faces;
  if (vy + 1 == p.ViewLength || level.Cells[static_cast<size_t>(i + walk.StepY)] == 0) faces |= LeftFace;
  if (vx + 1 == p.ViewWidth || level.Cells[static_cast<size_t>(i + walk.StepX)] == 0) faces |= RightFace;
  return faces;
}

void DrawCell(LevelPicture& p, const Level& level, const ViewWalk& walk, const std::vector<Span>& spans, int32_t vx,
              int32_t vy, int32_t z, const PictureArea& clip) {
  const std::ptrdiff_t i = walk.Base + vx * walk.StepX + vy * walk.StepY + z * walk.Plane;
  const uint8_t faces = ShownFaces(p, level, walk, i, vx, vy, z);
  if (faces != 0) DrawCube(p, spans, vx, vy, z, level.Cells[static_cast<size_t>(i)], faces, clip);
}

// The view's coordinates of the level's cell (x, y).
void ViewCellOf(const LevelPicture& p, const Level& level, int32_t x, int32_t y, int32_t& vx, int32_t& vy) {
  switch (p.Turn) {
    case 1: vx = level.Length - 1 - y, vy = x; break;
    case 2: vx = level.Width - 1 - x, vy = level.Length - 1 - y; break;
    case 3: vx = y, vy = level.Width - 1 - x; break;
    default: vx = x, vy = y; break;
  }
}

// The next cell from `x` on that shows a face (flag 1), or the row's end.
// They are few, and the library's search for a byte finds them fast.
int32_t NextShown(const std::vector<uint8_t>& shown, int32_t x) {
  const void* at = std::memchr(shown.data() + x, 1, shown.size() - static_cast<size_t>(x));
  return at ? static_cast<int32_t>(static_cast<const uint8_t*>(at) - shown.data()) : static_cast<int32_t>(shown.size());
}

}  // namespace

void DrawLevelPicture(const Level& level, int32_t scale, int32_t turn, LevelPicture& p) {
  p.Scale = std::max(scale, 1);
  p.Turn = turn & 3;
  const bool across = p.Turn % 2 == 1;
  p.ViewWidth = across ? level.Length : level.Width;
  p.ViewLength = across ? level.Width : level.Length;
  p.LevelHeight = level.Height;
  p.Width = 2 * p.Scale * (p.ViewWidth + p.ViewLength);
  p.Height = p.Scale * (p.ViewWidth + p.ViewLength) + 2 * p.Scale * p.LevelHeight;
  const size_t pixels = static_cast<size_t>(p.Width) * static_cast<size_t>(p.Height);
  p.Pixels.assign(pixels, 0);
  p.Depth.assign(pixels, -1);
  const ViewWalk walk = WalkOf(level, p.Turn);
  const std::vector<Span> spans = CubeSpans(p.Scale);
  const PictureArea whole{0, 0, p.Width, p.Height};
  // The level is read in the order it is stored, a row of x at a time; the
  // view's neighbours along its x and y are the level's along x and y, one
  // way or the other as the turn has them.
  const int32_t w = level.Width, l = level.Length;
  const int32_t stepX = p.Turn == 0 || p.Turn == 1 ? 1 : -1;  // the view's neighbour along the level's x
  const int32_t stepY = p.Turn == 0 || p.Turn == 3 ? 1 : -1;  // and along its y
  const std::vector<uint8_t> airRow(static_cast<size_t>(w), 0);
  std::vector<uint8_t> shown(static_cast<size_t>(w));
  for (int32_t z = 0; z < level.Height; ++z) {
    for (int32_t y = 0; y < l; ++y) {
      const uint8_t* row = &level.Cells[CellIndex(level, 0, y, z)];
      const uint8_t* above = z + 1 < level.Height ? row + PlanCells(level) : airRow.data();
      const bool besideInside = y + stepY >= 0 && y + stepY < l;
      const uint8_t* beside = besideInside ? row + stepY * static_cast<std::ptrdiff_t>(w) : airRow.data();
      // Whether each cell shows a face: not air, and air above or beside it
      // (a plain loop the compiler turns into vector instructions).
      const int32_t from = stepX > 0 ? 0 : 1, to = stepX > 0 ? w - 1 : w;
      uint8_t any = 0;
      for (int32_t x = from; x < to; ++x) {
        shown[x] = (row[x] != 0) & ((above[x] == 0) | (beside[x] == 0) | (row[x + stepX] == 0));
        any |= shown[x];
      }
      const int32_t edge = stepX > 0 ? w - 1 : 0;  // its neighbour along x is outside
      shown[edge] = row[edge] != 0;
      any |= shown[edge];
      if (!any) continue;
      for (int32_t x = NextShown(shown, 0); x < w; x = NextShown(shown, x + 1)) {
        int32_t vx = 0, vy = 0;
        ViewCellOf(p, level, x, y, vx, vy);
        DrawCell(p, level, walk, spans, vx, vy, z, whole);
      }
    }
  }
}

PictureArea RedrawCells(const Level& level, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1,
                        LevelPicture& p) {
  // The cells changed and those behind them, whose faces they may now show
  // or hide: the box one larger on every side.
  x0 = std::max(x0 - 1, 0), y0 = std::max(y0 - 1, 0), z0 = std::max(z0 - 1, 0);
  x1 = std::min(x1 + 1, level.Width - 1), y1 = std::min(y1 + 1, level.Length - 1);
  z1 = std::min(z1 + 1, level.Height - 1);
  // The pixels of their cubes: those of the box's corners' cubes span them.
  PictureArea area{p.Width, p.Height, 0, 0};
  const int32_t s = p.Scale;
  for (int32_t x : {x0, x1}) {
    for (int32_t y : {y0, y1}) {
      int32_t vx = 0, vy = 0;
      ViewCellOf(p, level, x, y, vx, vy);
      area.Left = std::min(area.Left, ProjectedX(p, vx, vy) - 2 * s);
      area.Right = std::max(area.Right, ProjectedX(p, vx, vy) + 2 * s);
      area.Top = std::min(area.Top, ProjectedY(p, vx, vy, z1 + 1));
      area.Bottom = std::max(area.Bottom, ProjectedY(p, vx, vy, z0 + 1) + 4 * s);
    }
  }
  for (int32_t y = area.Top; y < area.Bottom; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(p.Width);
    std::fill(p.Pixels.begin() + row + area.Left, p.Pixels.begin() + row + area.Right, 0);
    std::fill(p.Depth.begin() + row + area.Left, p.Depth.begin() + row + area.Right, -1);
  }
  // Every cube whose box meets the area, drawn within it. With u = vx - vy
  // and v = vx + vy, a cube's box spans 2s(u + ViewLength) - 2s .. + 4s
  // across and s v + 2s (LevelHeight - z - 1) .. + 4s down.
  const ViewWalk walk = WalkOf(level, p.Turn);
  const std::vector<Span> spans = CubeSpans(s);
  const int32_t uFrom = area.Left / (2 * s) - p.ViewLength - 1, uTo = area.Right / (2 * s) - p.ViewLength + 1;
  for (int32_t z = 0; z < p.LevelHeight; ++z) {
    const int32_t lift = 2 * (p.LevelHeight - z - 1);
    const int32_t vFrom = area.Top / s - lift - 4, vTo = area.Bottom / s - lift + 1;
    // For each vx, the vy whose u and v lie in those ranges.
    for (int32_t vx = 0; vx < p.ViewWidth; ++vx) {
      const int32_t first = std::max({0, vx - uTo, vFrom - vx}), last = std::min({p.ViewLength - 1, vx - uFrom, vTo - vx});
      for (int32_t vy = first; vy <= last; ++vy) DrawCell(p, level, walk, spans, vx, vy, z, area);
    }
  }
  return area;
}

PictureArea ShownArea(const LevelPicture& p, int32_t margin) {
  // Only what shows: the margin may reach past the picture.
  PictureArea shown{p.Width, p.Height, 0, 0};
  for (int32_t y = 0; y < p.Height; ++y) {
    const uint32_t* row = p.Pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.Width);
    int32_t first = 0;
    while (first < p.Width && row[first] == 0) ++first;
    if (first == p.Width) continue;
    int32_t last = p.Width - 1;
    while (row[last] == 0) --last;
    shown.Left = std::min(shown.Left, first), shown.Right = std::max(shown.Right, last + 1);
    shown.Top = std::min(shown.Top, y), shown.Bottom = y + 1;
  }
  if (shown.Empty()) return {};
  return {shown.Left - margin, shown.Top - margin, shown.Right + margin, shown.Bottom + margin};
}

std::vector<uint32_t> PixelsOfArea(const LevelPicture& p, const PictureArea& area) {
  const int32_t width = area.Right - area.Left;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(area.Bottom - area.Top), 0);
  for (int32_t y = std::max(area.Top, 0); y < std::min(area.Bottom, p.Height); ++y) {
    const int32_t from = std::max(area.Left, 0), to = std::min(area.Right, p.Width);
    if (from >= to) break;
    std::copy(p.Pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * p.Width + from),
              p.Pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * p.Width + to),
              pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y - area.Top) * width + (from - area.Left)));
  }
  return pixels;
}

}  // namespace terrafix
