// Running an external program and waiting for it.
#pragma once

#include <string>
#include <vector>

namespace terrafix {

// Runs the program file `file` (a path; the search path is not consulted)
// with `arguments`, each handed over as it is. The program inherits the
// environment, the working directory and the terminal. Returns its exit
// status once it has ended, 128 + the signal if a signal ended it, or -1
// when it cannot be started. Window events go on being gathered meanwhile, so
// keys typed during the run are queued.
int RunProgramAndWait(const std::string& file, const std::vector<std::string>& arguments);

}  // namespace terrafix
