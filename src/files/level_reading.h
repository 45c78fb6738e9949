// What an uncompressed file is as a level, told in one place for every way a
// level comes in (Load, a level named on the command line, kept work): the
// template's layout, a level of another variant of the game's format, or a
// ClassicWorld; and, when it is none the editor can edit, why not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// The forms a file may be taken in: those a name's ending allows.
enum class LevelForms { GameFormat, ClassicWorld, Any };

enum class LevelRefusal {
  None,              // read: the grid and the template hold it now
  NotALevel,         // none of the forms taken
  OtherSize,         // a level, but not of the editor's size
  OwnPartTooLarge,   // a level whose bytes before or after its cells exceed LargestOwnPart
};

struct LevelReading {
  LevelRefusal Refusal = LevelRefusal::None;
  int32_t Width = 0, Height = 0, Depth = 0;  // OtherSize: as the game's level files name them
  size_t OwnBytes = 0;                       // OwnPartTooLarge: the larger part
  bool AtLeast = false;                      // OwnBytes is what a file cut short showed of it
  std::string Why;                           // for standard error, when refused
};

// Reads the level that `file` holds into the grid, with its own header and
// trailer (or the template's header) into `header`. Refused, the grid and
// the template are as they were.
LevelReading ReadLevelBytes(std::span<const uint8_t> file, LevelForms forms, LevelGrid& grid, HeaderTemplate& header);

// What the start of a file too long to read whole tells of its level:
// OtherSize, OwnPartTooLarge, or NotALevel.
LevelReading TellTooLongLevel(std::span<const uint8_t> start, LevelForms forms);

}  // namespace terrafix
