#include "platform/machine/machine_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace terrafix {

uint64_t MemoryForALevel() {
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return UINT64_MAX;  // not told: the allocation will say
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 4 * 3;
}

void AdviseLargePages(void* data, size_t size) {
  // The whole large pages inside the range.
  constexpr uintptr_t LargePage = uintptr_t{2} << 20;
  const uintptr_t start = (reinterpret_cast<uintptr_t>(data) + LargePage - 1) & ~(LargePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(LargePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}

std::string MemoryText(uint64_t bytes) {
  constexpr uint64_t MiB = uint64_t{1} << 20, GiB = uint64_t{1} << 30;
  if (bytes >= 10 * GiB) return std::to_string((bytes + GiB - 1) / GiB) + " GiB";
  return std::to_string((bytes + MiB - 1) / MiB) + " MiB";
}

}  // namespace terrafix
