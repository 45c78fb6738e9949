// How much memory this machine has for a level.
#pragma once

#include <cstdint>
#include <string>

namespace terrafix {

// The memory a level may take: three quarters of the machine's physical
// memory (the undo history may hold the level before it meanwhile).
uint64_t MemoryForALevel();

// "256 MiB", "12 GiB": a number of bytes, rounded up, for a message.
std::string MemoryText(uint64_t bytes);

}  // namespace terrafix
