// libFuzzer: the reader of ClassicWorld NBT on any bytes. It must never read
// past them, allocate from a length or count in them, recurse without bound
// or loop for ever; a world it finds lies within them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/classic_world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const terrafix::ClassicWorld world = terrafix::ReadClassicWorld({data, size});
  if (world.Found) {
    if (world.BlocksOffset > size) std::abort();
    if (world.BlocksWhole && world.BlockCount > size - world.BlocksOffset) std::abort();
    if (world.LastModifiedOffset != 0 && world.LastModifiedOffset + 8 > size) std::abort();
  }
  return 0;
}
