// What an interrupted command may leave in the working folder, cleared up
// before the next one starts.
#pragma once

namespace terrafix {

// Removes the editor's own abandoned temporaries, and puts back as name.dat a
// name.dat.terrafix-kept that an earlier version of the editor left when it
// was stopped in the middle of a save (only where name.dat is missing: else
// the kept file is left for the user). Nothing else is touched.
void CleanUpFolder();

}  // namespace terrafix
