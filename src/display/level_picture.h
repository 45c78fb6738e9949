// The isometric picture of a whole level: a 2:1 projection in which a step
// along the view's x moves 2 pixels right and 1 down, a step along its y 2
// left and 1 down, and a step up 2 up (at scale 1; a scale multiplies).
// Every cell that is not air is a cube: its top face in the tile's colour,
// the faces toward the viewer along x and y darker by two fixed amounts;
// liquids show only their top. A face is drawn only where the neighbouring
// cell on that side is air (or outside the level).
//
// A pixel belongs to a face when its centre lies inside the face's outline;
// no centre lies on an outline, so the faces of neighbouring cubes meet
// exactly. A cube nearer the viewer (larger x + y + z in the view) covers
// one farther away: each pixel keeps the depth of what it shows, so that the
// cells can be drawn in any order and the result is the painter's.
//
// The view may turn the level by quarter turns: turn 1 shows it turned by 90
// degrees, the level's y axis running along the view's x, and so on.
#pragma once

#include <cstdint>
#include <vector>

#include "level/level.h"

namespace terrafix {

// The darker faces: the colour's channels times these, over 256.
constexpr uint32_t RightFaceShade = 204, LeftFaceShade = 153;

struct LevelPicture {
  int32_t Scale = 1;
  int32_t Turn = 0;                  // quarter turns, 0..3
  int32_t ViewWidth = 0, ViewLength = 0, LevelHeight = 0;  // the level's extents as the view has them
  int32_t Width = 0, Height = 0;     // pixels
  std::vector<uint32_t> Pixels;      // 0xAARRGGBB, row by row; transparent where nothing is drawn
  std::vector<int32_t> Depth;        // of what each pixel shows; -1 for nothing
};

// A rectangle of pixels, [Left, Right) x [Top, Bottom).
struct PictureArea {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Empty() const { return Left >= Right || Top >= Bottom; }
};

// The picture of the whole level, drawn anew at that scale and turn.
void DrawLevelPicture(const Level& level, int32_t scale, int32_t turn, LevelPicture& picture);

// Draws again what the change of the level's cells in the box [x0, x1] x
// [y0, y1] x [z0, z1] (level coordinates, inclusive) touches; returns the
// area of the picture drawn.
PictureArea RedrawCells(const Level& level, int32_t x0, int32_t y0, int32_t z0, int32_t x1, int32_t y1, int32_t z1,
                        LevelPicture& picture);

// Where the corner (vx, vy, z) of the view's cells projects to, in pixels.
inline int32_t ProjectedX(const LevelPicture& p, int32_t vx, int32_t vy) {
  return 2 * p.Scale * (vx - vy + p.ViewLength);
}
inline int32_t ProjectedY(const LevelPicture& p, int32_t vx, int32_t vy, int32_t z) {
  return p.Scale * (vx + vy) + 2 * p.Scale * (p.LevelHeight - z);
}

// The part of the picture that shows anything, with `margin` pixels around
// it (which may reach past the picture); empty for a level of air.
PictureArea ShownArea(const LevelPicture& picture, int32_t margin);

// The pixels of an area, row by row; what lies past the picture is transparent.
std::vector<uint32_t> PixelsOfArea(const LevelPicture& picture, const PictureArea& area);

}  // namespace terrafix
