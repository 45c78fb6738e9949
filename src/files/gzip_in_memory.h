// A gzip file read in the editor's own memory by libdeflate: several times
// faster than gzip, above all for a large level, whose cells it writes
// straight into the memory that becomes the level's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace terrafix {

// Whether this build reads gzip files itself (one for another architecture
// may be built without libdeflate).
bool CanInflateInMemory();

// True when `compressed` is exactly one gzip member of at most `room` bytes,
// which are then in `bytes`. False for anything else (no gzip, cut short,
// larger than `room`, bytes after its end, a second member, no memory), with
// `bytes` empty and its memory given back: gzip then decides what it is.
bool InflateInMemory(std::span<const uint8_t> compressed, size_t room, std::vector<uint8_t>& bytes);

}  // namespace terrafix
