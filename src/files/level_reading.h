// What an uncompressed file is as a level, told in one place for every way a
// level comes in (Load, a level named on the command line, kept work): the
// template's layout, a level of any variant of the game's format, or a
// ClassicWorld; and, when it is none the editor can open, why not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "files/header_template.h"
#include "level/level.h"

namespace terrafix {

// The forms a file may be taken in: those a name's ending allows.
enum class LevelForms { GameFormat, ClassicWorld, Any };

enum class LevelRefusal {
  None,             // read
  NotALevel,        // none of the forms taken
  OwnPartTooLarge,  // a level whose bytes before or after its cells exceed LargestOwnPart
  TooLargeForMemory,  // a level larger than this machine's memory holds
};

struct LevelReading {
  LevelRefusal Refusal = LevelRefusal::None;
  int32_t Width = 0, Length = 0, Height = 0;  // the level's size, when its file tells
  size_t OwnBytes = 0;                        // OwnPartTooLarge: the larger part
  bool AtLeast = false;                       // OwnBytes is what a file cut short showed of it
  std::string Why;                            // for standard error, when refused
};

// What the start of a file tells of the level in it, before it is read
// whole: Refusal None with the number of bytes the whole file should have
// (0 when the start does not tell), or why it will not load.
LevelReading SizeFromStart(std::span<const uint8_t> start, LevelForms forms, const HeaderTemplate& header,
                           size_t& expectedBytes);

// Reads the level that `file` holds into `level`; the file's bytes are taken
// (a large level's cells are not copied). Refused, `level` is as it was.
LevelReading ReadLevelBytes(std::vector<uint8_t>& file, LevelForms forms, const HeaderTemplate& header,
                            Level& level);

// What the start of a file too long to read whole tells of its level:
// OwnPartTooLarge, or NotALevel.
LevelReading TellTooLongLevel(std::span<const uint8_t> start, LevelForms forms);

}  // namespace terrafix
