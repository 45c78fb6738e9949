// A file moved out of the way while a command writes a new one under its
// name, so that it can be put back if the command fails.
#pragma once

#include <string>

namespace terrafix {

struct KeptAside {
  std::string Original;  // the name the command writes; empty until KeepAside has made way
  std::string Aside;     // where the file that had that name waits; empty when there was none
};

// Moves the file `name` (if there is one) to a name of its own beside it.
// False when it is there and cannot be moved.
bool KeepAside(const std::string& name, KeptAside& kept);

// The name as it was before KeepAside: whatever the command left there is
// removed and the file kept aside comes back. Nothing when KeepAside failed.
void PutBack(const KeptAside& kept);

// The command has succeeded: the file kept aside is not needed any more.
void DropKept(const KeptAside& kept);

}  // namespace terrafix
