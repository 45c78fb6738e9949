#include "platform/programs/program_file.h"

#include <unistd.h>

#include <climits>

namespace terrafix {

std::string ProgramFile() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

}  // namespace terrafix
