// A compressed level read into memory in one run of the compressor, as
// large as its own start says it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "files/compressor.h"
#include "formats/header_template.h"
#include "formats/level_reading.h"

namespace terrafix {

// Runs the compressor over a compressed level into `bytes`, at most `limit`
// of them or what the output's start tells (compressor.h); the compressor's
// result (run_program.h).
using Decompressor = std::function<int(std::vector<uint8_t>& bytes, size_t limit, const OutputStart& start)>;

// The compressed level into `file`, whole, in one run of the compressor: the
// level's start tells how large the whole is, so that room is made once and
// a level too large for this machine is refused before it is read, as is
// one that `wanted` (when given) refuses by its size, with why.
LevelReading DecompressLevel(const Decompressor& decompress, const HeaderTemplate& header, std::vector<uint8_t>& file,
                             const SizeWanted& wanted = {});

}  // namespace terrafix
