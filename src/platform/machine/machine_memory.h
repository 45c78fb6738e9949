// How much memory this machine has for a level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace terrafix {

// The memory a level may take: three quarters of the machine's physical
// memory (the undo history may hold the level before it meanwhile).
uint64_t MemoryForALevel();

// Asks for large pages over the memory of [data, data + size) before it is
// first touched: a level of hundreds of megabytes then costs hundreds of page
// faults where it would cost tens of thousands. Only a hint.
void AdviseLargePages(void* data, size_t size);

// "256 MiB", "12 GiB": a number of bytes, rounded up, for a message.
std::string MemoryText(uint64_t bytes);

}  // namespace terrafix
