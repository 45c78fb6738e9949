// A slow renderer of the isometric picture that is obviously correct: each
// face of each cube a polygon of its projected corners, filled where pixel
// centres fall inside it, the cubes painted back to front; the level turned
// by copying it turned.
#pragma once

#include <cstdint>
#include <vector>

#include "level/level.h"

namespace terrafix::testing {

Level EmptyLevel(int32_t width, int32_t length, int32_t height);

// The whole picture, untrimmed, of the level turned `turn` quarter turns.
std::vector<uint32_t> ReferencePicture(const Level& level, int32_t scale, int32_t turn, int32_t& width,
                                       int32_t& height);

// The part of a picture that shows anything with `margin` transparent pixels
// around it, as --render writes it.
std::vector<uint32_t> Trimmed(const std::vector<uint32_t>& pixels, int32_t width, int32_t height, int32_t margin,
                              int32_t& trimmedWidth, int32_t& trimmedHeight);

}  // namespace terrafix::testing
