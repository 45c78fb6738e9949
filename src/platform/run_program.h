// Running an external program with one argument string and waiting for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace terrafix {

// Runs `program`, a path relative to the working directory (the search path is
// not consulted), with `arguments` split as the Windows C runtime splits a
// command line. It inherits the environment, the working directory and the
// terminal. Returns its exit status once it has ended, 128 + the signal if a
// signal ended it, or -1 when it cannot be started. Window events go on being
// gathered meanwhile, so keys typed during the run are queued.
int RunProgramAndWait(const std::string& program, std::string_view arguments);

// The argument string split into arguments: at blanks and tabs outside double
// quotes; a double quote toggles quoting and is dropped; two double quotes
// inside quotes give one; 2n backslashes before a double quote give n and the
// quote acts, 2n + 1 give n and a literal quote; other backslashes stay.
std::vector<std::string> SplitArguments(std::string_view arguments);

// The file to start for a program name: the name itself when it has a folder
// or a file of that name is in the working directory; for the compressor
// "gzip.exe" missing there, the system's gzip from the search path. Empty when
// there is nothing to start.
std::string ResolveProgram(const std::string& program);

}  // namespace terrafix
