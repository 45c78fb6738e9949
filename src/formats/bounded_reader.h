// A cursor over the bytes of a file from elsewhere that never reads past
// them: a read past the end sets Failed and gives nothing, and every read
// after it fails too. Numbers are big-endian, as the game's formats have them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace terrafix {

struct BoundedReader {
  std::span<const uint8_t> Bytes;
  size_t At = 0;
  bool Failed = false;
  bool Broken = false;  // failed on what the bytes say (a tag of no known type), not on their end

  // Whether n more bytes are there.
  bool Has(uint64_t n) const { return !Failed && n <= Bytes.size() - At; }
  uint64_t Number(size_t n) {
    if (!Has(n)) {
      Failed = true;
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < n; ++i) value = value << 8 | Bytes[At++];
    return value;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Number(1)); }
  std::string_view Text(uint64_t n) {
    if (!Has(n)) {
      Failed = true;
      return {};
    }
    std::string_view text(reinterpret_cast<const char*>(Bytes.data() + At), n);
    At += n;
    return text;
  }
  void Skip(uint64_t n) { Text(n); }
  // A text after its 2-byte length.
  std::string_view ShortText() { return Text(Number(2)); }
};

}  // namespace terrafix
