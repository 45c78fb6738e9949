#include "files/level_decompression.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

#include "formats/found_level.h"
#include "formats/game_level.h"
#include "platform/programs/run_program.h"

namespace terrafix {

namespace {

// The least a load reads past the cells of a level that tells its size:
// enough to say how long a trailer of more than the bound is.
constexpr size_t TrailerRoom = LargestLevelFile - LevelFileLength;

}  // namespace

LevelReading DecompressLevel(const Decompressor& decompress, const HeaderTemplate& header, std::vector<uint8_t>& file,
                             const SizeWanted& wanted) {
  // A level of each format tells its size within LargestOwnPart of the
  // file's start, before its cells.
  LevelReading start;
  const OutputStart told{LargestOwnPart + 1024, [&](std::span<const uint8_t> bytes) -> OutputRoom {
                           LevelStart level;
                           start = SizeFromStart(bytes, header, level);
                           if (start.Refusal == LevelRefusal::None && wanted && start.Width > 0) {
                             if (std::string why = wanted(start.Width, start.Length, start.Height); !why.empty()) {
                               start.Refusal = LevelRefusal::TooLargeForMemory;
                               start.Why = std::move(why);
                             }
                           }
                           if (start.Refusal != LevelRefusal::None) return {0, 0};  // refused by its start: stop
                           // A level that tells its size, with room for a trailer longer than its
                           // format keeps (to say how long); else what a level of the template's size takes.
                           if (level.CellsEnd == 0) return {LargestLevelFile, LevelFileLength + 1};
                           const size_t trailerRoom = std::max(level.LargestTrailer + 1, TrailerRoom);
                           return {level.CellsEnd + trailerRoom, level.CellsEnd + level.TrailerRoom + 1};
                         }};
  int result = 0;
  try {
    result = decompress(file, LargestLevelFile, told);
  } catch (const std::bad_alloc&) {
    start.Refusal = LevelRefusal::TooLargeForMemory;
    start.Why = "no memory for the level";
    return start;
  }
  if (start.Refusal != LevelRefusal::None) return start;
  if (result == 0) {
    LevelReading read;
    read.Format = start.Format;  // what its start was found to be, for the whole to be read as
    return read;
  }
  LevelReading reading = result == ProgramOutputTooLong ? TellTooLongLevel(file) : LevelReading{};
  if (reading.Refusal == LevelRefusal::None || reading.Refusal == LevelRefusal::NotALevel) {
    reading.Refusal = LevelRefusal::CompressorFailed;
    reading.Why = DescribeProgramResult(CompressorProgram(), result);
  }
  return reading;
}

}  // namespace terrafix
