// libFuzzer: what any bytes are as a level, as every load tells it. A level
// read must be whole and of a size a level may have, its cells and its own
// parts together the file (a schematic of the later game's numbering says
// "Classic" now, two letters more), and what the file's start told of its
// length and its format must agree; a refusal leaves the level it was given
// as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/level_reading.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace terrafix;
  // A template of 'H's: a start of 319 of them is the template's layout.
  static const HeaderTemplate header = [] {
    HeaderTemplate h;
    h.HeaderBytes.fill('H');
    return h;
  }();
  LevelStart told;
  const LevelReading start = SizeFromStart({data, size}, header, told);
  TellTooLongLevel({data, size});

  std::vector<uint8_t> file(data, data + size);
  static Level level;  // kept from run to run: a new level of 256 x 256 x 64 is 4 MiB to make
  level.Name = "before";
  const size_t cellsBefore = level.Cells.size();
  const LevelReading read = ReadLevelBytes(file, header, level);
  if (read.Refusal != LevelRefusal::None) {
    if (level.Name != "before" || level.Cells.size() != cellsBefore) std::abort();
    return 0;
  }
  // Read as the format its start was found to be, it is the same level.
  if (start.Format) {
    std::vector<uint8_t> again(data, data + size);
    Level known;
    const LevelReading readAgain = ReadLevelBytes(again, header, known, start.Format);
    if (readAgain.Refusal != LevelRefusal::None || known.Cells != level.Cells) std::abort();
  }
  if (!IsLevelSize(level.Width, level.Length, level.Height)) std::abort();
  if (level.Cells.size() != size_t(level.Width) * size_t(level.Length) * size_t(level.Height)) std::abort();
  if (level.TopPlane.size() != PlanCells(level)) std::abort();
  if (level.Form.Of == LevelForm::Kind::Template) return 0;
  const size_t renamed = read.Said.empty() ? 0 : 2;  // "Alpha" became "Classic"
  if (level.Form.Header.size() + level.Cells.size() + level.Form.Trailer.size() != size + renamed) std::abort();
  if (start.Format != read.Format) std::abort();
  // The start (here the whole file) told the length up to the trailer.
  const size_t cellsEnd = size - level.Form.Trailer.size() + (renamed && level.Form.Trailer.size() > 0 ? 0 : 0);
  if (start.Refusal != LevelRefusal::None || told.CellsEnd + renamed < cellsEnd) std::abort();
  if (level.Form.Trailer.size() > told.LargestTrailer) std::abort();
  return 0;
}
