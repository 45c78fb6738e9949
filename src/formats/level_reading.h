// What an uncompressed file is as a level, told in one place for every way a
// level comes in (Load, a level named on the command line, a conversion,
// kept work), by its content whatever its name: the template's layout or a
// level of one of the formats of the table (level_formats.h); and, when it
// is none the editor can open, why not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "formats/header_template.h"
#include "formats/level_formats.h"
#include "level/level.h"

namespace terrafix {

enum class LevelRefusal {
  None,               // read
  NoFile,             // there is no such file
  CompressorFailed,   // the compressor could not make a level of it
  NotALevel,          // a file of none of the formats the editor knows
  OwnPartTooLarge,    // a level whose bytes before or after its cells exceed the bound of its format
  CutShort,           // a level whose file ends before its cells do
  TooLargeForMemory,  // a level larger than this machine's memory holds
  WideBlocks,         // a world of blocks numbered past 255 (two bytes a cell)
  Flawed,             // a file of a format the editor knows that breaks its rules (Why says which)
};

struct LevelReading {
  LevelRefusal Refusal = LevelRefusal::None;
  int32_t Width = 0, Length = 0, Height = 0;  // the level's size, when its file tells
  size_t OwnBytes = 0;                        // OwnPartTooLarge: the larger part
  size_t OwnBound = 0;                        // and the most its format keeps there
  bool AtLeast = false;                       // OwnBytes is what a file cut short showed of it
  std::string Why;                            // for standard error, when refused
  const LevelFormat* Format = nullptr;        // the format found; null for the template's layout or none
  std::string Said;                           // read: what the user is to be told of the level, if anything
};

// Whether a level of that size is wanted: empty, or why not (a picture of
// it that would not fit, say), asked before its cells are read.
using SizeWanted = std::function<std::string(int32_t width, int32_t length, int32_t height)>;

// What the start of a file tells of the whole, before it is read.
struct LevelStart {
  size_t CellsEnd = 0;        // where the level's cells end in the file, at most; 0 when its start does not tell
  size_t LargestTrailer = 0;  // the most its format keeps after them
  size_t TrailerRoom = 0;     // the room to make for what follows them before it is read
};

// What the start of a file tells of the level in it, before it is read
// whole: Refusal None with `start` filled and the format found, or why it
// will not load.
LevelReading SizeFromStart(std::span<const uint8_t> bytes, const HeaderTemplate& header, LevelStart& start);

// Reads the level that `file` holds into `level`; the file's bytes are taken
// (a large level's cells are not copied). Refused, `level` is as it was.
// `known`: the format its start was found to be, which the whole is read as.
LevelReading ReadLevelBytes(std::vector<uint8_t>& file, const HeaderTemplate& header, Level& level,
                            const LevelFormat* known = nullptr);

// What the start of a file too long to read whole tells of its level:
// WideBlocks, OwnPartTooLarge, or NotALevel.
LevelReading TellTooLongLevel(std::span<const uint8_t> start);

}  // namespace terrafix
