// libFuzzer: the in-memory gzip reader on any bytes, with a small room. It
// must never write past the room; what it takes is one whole member that
// fits, and what it refuses leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "files/gzip_in_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t Room = 64 * 1024;
  std::vector<uint8_t> bytes = {1, 2, 3};
  const bool whole = terrafix::InflateInMemory({data, size}, Room, bytes);
  if (whole && bytes.size() > Room) std::abort();
  if (!whole && (!bytes.empty() || bytes.capacity() != 0)) std::abort();
  if (whole && (size < 18 || data[0] != 0x1F || data[1] != 0x8B)) std::abort();  // a gzip member's least
  return 0;
}
