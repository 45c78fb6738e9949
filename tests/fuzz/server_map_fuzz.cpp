// libFuzzer: the reader of server maps on any bytes. It must never read past
// them; a map it finds has a size a level may have and its cells begin
// within them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/server_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const terrafix::ServerMap map = terrafix::ReadServerMap({data, size});
  if (map.Found) {
    if (!terrafix::IsLevelSize(map.Width, map.Length, map.Height)) std::abort();
    if (map.CellsOffset > size) std::abort();
    if (map.CellsWhole != (size - map.CellsOffset >= map.CellCount)) std::abort();
    if (size_t(map.Width) * size_t(map.Length) * size_t(map.Height) != map.CellCount) std::abort();
  }
  return 0;
}
