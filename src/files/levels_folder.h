// The user's own folder of levels, where an editor started from the desktop
// menu works: ~/Terrafix, made on the first start, with the headers.dat that
// is installed with the program copied in when it has none.
#pragma once

#include <string>

namespace terrafix {

// Makes the levels folder the working folder. Returns an empty text, or what
// went wrong (the editor then works where it was started).
std::string EnterLevelsFolder();

}  // namespace terrafix
