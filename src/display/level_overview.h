// A level too large to picture whole at full size, made smaller: each block
// of Step x Step x Step cells becomes one cell (its topmost tile that is not
// air, as the block is seen from above), so that its picture is drawn as a
// map's overview is, each pixel standing for many cells.
#pragma once

#include <cstdint>

#include "level/level.h"

namespace terrafix {

// The pixels of the picture of a level of that size at `scale`.
uint64_t PicturePixels(int64_t width, int64_t length, int64_t height, int64_t scale);

// The least step (1, 2, 4, ...) at which the picture of a level of that
// size, made smaller by it and drawn at `scale`, takes at most `bound` bytes
// at `bytesPerPixel` a pixel; 0 when none does.
int32_t OverviewStep(int64_t width, int64_t length, int64_t height, int64_t scale, uint64_t bytesPerPixel,
                     uint64_t bound);

// `overview` made anew from the level, smaller by `step` (which is 2 or more).
void MakeOverview(const Level& level, int32_t step, Level& overview);

// The cells of `overview` whose blocks hold a cell of the level's box
// [x0, x1] x [y0, y1] x [z0, z1], made again from the level; the box of the
// overview's cells that changed with them is returned in the same arguments.
void UpdateOverview(const Level& level, int32_t step, int32_t& x0, int32_t& y0, int32_t& z0, int32_t& x1,
                    int32_t& y1, int32_t& z1, Level& overview);

}  // namespace terrafix
