// The user's own folder of levels, where an editor started from the desktop
// menu works: ~/Terrafix, made on the first start, with the headers.dat that
// is installed with the program copied in when it has none.
#pragma once

#include <string>
#include <string_view>

namespace terrafix {

// Shown on start when the levels folder cannot be used, filling row 1 from column 40.
constexpr std::string_view NoLevelsFolderMessage =
    "Can't use the folder ~/Terrafix: levels go to the folder started in, press any key...       ";
static_assert(NoLevelsFolderMessage.size() == 92);

// Makes the levels folder the working folder. Returns an empty text, or what
// went wrong (the editor then works where it was started).
std::string EnterLevelsFolder();

// headers.dat as installed with the program.
std::string InstalledTemplateFile();

}  // namespace terrafix
