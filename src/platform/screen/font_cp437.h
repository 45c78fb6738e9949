// The 8 x 8 bitmap font of the text grid: one byte a pixel row, top row first,
// the most significant bit the leftmost pixel.
#pragma once

namespace terrafix {

extern const unsigned char FontCp437[256][8];

}  // namespace terrafix
