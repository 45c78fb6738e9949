// Load runs the compressor and then reads the file that it wrote. To spare
// the user most of that reading, the helper thread follows the file while the
// compressor is still writing it: it reads the bytes as they arrive and, once
// the header has been seen to match, writes each slab of 8 heights into the
// grid as soon as the slab's rows are in. Before it writes anything it keeps
// the cells of the level-file region, so that the grid can be put back.
//
// Whether the followed file is the one that Load then reads is decided only
// when the compressor has ended: it must be the very file open in Load's slot,
// and hold all of the cells. Otherwise the grid is put back as it was, and
// Load reads the file as usual.
#pragma once

#include <string>

#include "files/header_template.h"
#include "level/level_grid.h"

namespace terrafix {

// Starts following the file `name` (not yet there, as a rule). Until the
// follow is finished or abandoned, only the helper touches the grid and the
// caller must not change HeaderBytes.
void StartFollowingLevelFile(const std::string& name, LevelGrid& grid, const HeaderTemplate& header);

// After the compressor has ended, for the file open in `slot` whose first 320
// bytes are in CompareBuffer and have passed the header check: true when the
// grid now holds the file's cells and HeaderBytes and RowBuffer are read as
// ReadLevelCells leaves them; false when the grid is as it was and the file
// must be read as usual.
bool FinishFollowedLevelFile(int slot, LevelGrid& grid, HeaderTemplate& header);

// Ends a follow that is not used: the grid is as it was before it started.
void AbandonFollowedLevelFile();

}  // namespace terrafix
