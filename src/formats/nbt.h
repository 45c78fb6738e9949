// NBT, the tag grammar of ClassicWorld files and schematics: big-endian, a
// tag's type byte, its name after a 2-byte length, then its payload. What
// the readers of both formats share: skipping a payload of any type with
// every length, count and depth checked, and appending tags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "formats/bounded_reader.h"

namespace terrafix {

constexpr uint8_t TagEnd = 0, TagByte = 1, TagShort = 2, TagInt = 3, TagLong = 4, TagFloat = 5, TagDouble = 6,
                  TagByteArray = 7, TagString = 8, TagList = 9, TagCompound = 10, TagIntArray = 11,
                  TagLongArray = 12;

// How deep compounds and lists may nest in a file the editor reads.
constexpr int NbtMaxDepth = 64;

// A signed 32-bit count of elements of `size` bytes that the bytes left can
// hold (any count for size 0); 0 and Failed when not.
uint64_t NbtCount(BoundedReader& r, uint64_t size);

// Steps over the payload of a tag of `type` at nesting `depth`; Failed when
// it is not whole, nests past NbtMaxDepth or holds an unknown type.
void SkipNbtPayload(BoundedReader& r, uint8_t type, int depth);

// Appending big-endian NBT.
struct NbtWriter {
  std::vector<uint8_t>& Out;
  void Number(uint64_t value, size_t n) {
    for (size_t i = n; i-- > 0;) Out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  void Tag(uint8_t type, std::string_view name) {
    Out.push_back(type);
    Number(name.size(), 2);
    Out.insert(Out.end(), name.begin(), name.end());
  }
  void Byte(std::string_view name, uint8_t v) { Tag(TagByte, name), Number(v, 1); }
  void Short(std::string_view name, int32_t v) { Tag(TagShort, name), Number(static_cast<uint16_t>(v), 2); }
  void Long(std::string_view name, int64_t v) { Tag(TagLong, name), Number(static_cast<uint64_t>(v), 8); }
  void String(std::string_view name, std::string_view v) {
    Tag(TagString, name);
    Number(v.size(), 2);
    Out.insert(Out.end(), v.begin(), v.end());
  }
  // An empty list of elements of `element`.
  void EmptyList(std::string_view name, uint8_t element) {
    Tag(TagList, name);
    Out.push_back(element);
    Number(0, 4);
  }
};

}  // namespace terrafix
