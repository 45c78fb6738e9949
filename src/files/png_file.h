// Pictures as PNG files, written by libpng.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace terrafix {

// Writes the picture (width x height pixels 0xAARRGGBB, row by row) as the
// PNG file `name`, with its transparency, as Save writes a level: into a
// hidden temporary beside it, flushed, then renamed over it. False, with
// why, when it was not written.
bool WritePngFile(const std::string& name, int32_t width, int32_t height, std::span<const uint32_t> pixels,
                  std::string& why);

}  // namespace terrafix
