#include "files/gzip_in_memory.h"

#include <memory>
#include <new>

#include "platform/machine/machine_memory.h"

#ifdef TERRAFIX_LIBDEFLATE
#include <libdeflate.h>
#endif

namespace terrafix {

#ifndef TERRAFIX_LIBDEFLATE

bool CanInflateInMemory() { return false; }

bool InflateInMemory(std::span<const uint8_t>, size_t, std::vector<uint8_t>& bytes) {
  std::vector<uint8_t>().swap(bytes);
  return false;
}

#else

bool CanInflateInMemory() { return true; }

bool InflateInMemory(std::span<const uint8_t> compressed, size_t room, std::vector<uint8_t>& bytes) {
  const std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> inflater(
      libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  bool whole = inflater != nullptr;
  try {
    std::vector<uint8_t>().swap(bytes);
    bytes.reserve(room);
    AdviseLargePages(bytes.data(), room);
    bytes.resize(room);
  } catch (const std::bad_alloc&) {
    whole = false;
  }
  size_t read = 0, written = 0;
  whole = whole && libdeflate_gzip_decompress_ex(inflater.get(), compressed.data(), compressed.size(), bytes.data(),
                                                 room, &read, &written) == LIBDEFLATE_SUCCESS &&
          read == compressed.size();
  if (!whole) {
    std::vector<uint8_t>().swap(bytes);
    return false;
  }
  bytes.resize(written);
  return true;
}

#endif

}  // namespace terrafix
