// The level a name stands for, read whole through the compressor: the part
// of Load, of a level opened at the start and of a conversion that shows
// nothing.
#pragma once

#include "files/level_names.h"
#include "formats/header_template.h"
#include "formats/level_reading.h"
#include "level/level.h"

namespace terrafix {

// Reads the level of `name` (name.dat, name.cw, name.lvl or a file opened
// under its own name; by its content, whatever the name) into `loaded`,
// which takes the name. Refused, `loaded` is as it was; the reading says why.
// Changes no file: the compressor writes the level into a pipe. A level
// that `wanted` refuses by the size its start tells is not read further.
LevelReading ReadLevelFile(const LevelName& name, const HeaderTemplate& header, Level& loaded,
                           const SizeWanted& wanted = {});

}  // namespace terrafix
