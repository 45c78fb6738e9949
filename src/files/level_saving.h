// A level written under a name, in the form the name's ending asks for,
// through the compressor: the part of Save and of a conversion that shows
// nothing.
#pragma once

#include <string>

#include "files/level_names.h"
#include "formats/header_template.h"
#include "level/level.h"

namespace terrafix {

// Writes the level as name.dat (in its own form where it came as a level of
// the game's format, else the template's), name.cw (the world it came as, or
// a new one) or name.lvl (the map it came as, or a new one). Changes exactly
// one file, name's compressed file: the level is written and compressed into
// the editor's own temporaries beside it, which reach the disk and then take
// the name in one rename, so that at every instant the file is the whole
// earlier level or the whole new one. False, with why, when it was not saved.
bool WriteLevelAs(const LevelName& name, const Level& level, const HeaderTemplate& header, std::string& why);

// Why the name's format cannot hold the level, or empty when it can: the
// game's level files and ClassicWorld keep the count of cells in a signed
// 32-bit length, so at most 2,147,483,647 cells; a server map holds any level.
std::string FormatCannotHold(const LevelName& name, const Level& level);

}  // namespace terrafix
