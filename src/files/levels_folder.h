// The folder an editor works in when it was not started from a shell there:
// the user's own folder of levels, where an editor started from the desktop
// menu works (~/Terrafix, made on the first start), or the folder of a level
// file it was given; each with the headers.dat that is installed with the
// program copied in when it has none.
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

// Makes the folder of the level file `path` the working folder, and gives it
// the installed headers.dat when it has none; `levelFile` becomes the file's
// name in it. Returns an empty text, or what went wrong (the editor then
// works with the installed headers.dat).
std::string EnterFolderOfLevel(const std::string& path, std::string& levelFile);

// headers.dat as installed with the program.
std::string InstalledTemplateFile();

}  // namespace terrafix
