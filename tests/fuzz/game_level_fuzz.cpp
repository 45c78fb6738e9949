// libFuzzer: the reader of the game's level files on any bytes. It must
// never read past them, allocate from a length in them or loop for ever; a
// level it finds lies within them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/game_level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const terrafix::GameLevel level = terrafix::ReadGameLevel({data, size});
  if (level.Found) {
    if (level.CellsOffset > size) std::abort();
    if (level.CellsWhole && level.CellCount > size - level.CellsOffset) std::abort();
    if (uint64_t(level.Width) * uint64_t(level.Height) * uint64_t(level.Depth) != level.CellCount) std::abort();
  }
  return 0;
}
