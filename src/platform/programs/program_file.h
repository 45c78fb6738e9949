// The file of the running program.
#pragma once

#include <string>

namespace terrafix {

// Its full path; empty when the system does not tell.
std::string ProgramFile();

}  // namespace terrafix
