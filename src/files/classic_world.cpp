#include "files/classic_world.h"

#include <algorithm>
#include <random>
#include <string_view>

#include "files/bounded_reader.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

// NBT's tag types.
constexpr uint8_t TagEnd = 0, TagByte = 1, TagShort = 2, TagInt = 3, TagLong = 4, TagFloat = 5, TagDouble = 6,
                  TagByteArray = 7, TagString = 8, TagList = 9, TagCompound = 10, TagIntArray = 11, TagLongArray = 12;
constexpr int MaxDepth = 64;
constexpr std::string_view RootName = "ClassicWorld";
constexpr size_t MaxNameBytes = 64;

// A signed 32-bit count of elements of `size` bytes that the file can hold.
uint64_t Count(BoundedReader& r, uint64_t size) {
  const uint64_t n = r.Number(4);
  if (n > 0x7FFFFFFF || (size > 0 && !r.Has(n * size))) r.Failed = true;
  return r.Failed ? 0 : n;
}

size_t FixedSize(uint8_t type) {
  switch (type) {
    case TagByte: return 1;
    case TagShort: return 2;
    case TagInt: case TagFloat: return 4;
    case TagLong: case TagDouble: return 8;
    default: return 0;
  }
}

void SkipPayload(BoundedReader& r, uint8_t type, int depth) {
  if (depth > MaxDepth) {
    r.Failed = true;
    return;
  }
  if (size_t size = FixedSize(type)) return r.Skip(size);
  switch (type) {
    case TagByteArray: r.Skip(Count(r, 1)); return;
    case TagString: r.Skip(r.Number(2)); return;
    case TagIntArray: r.Skip(Count(r, 4) * 4); return;
    case TagLongArray: r.Skip(Count(r, 8) * 8); return;
    case TagList: {
      const uint8_t element = static_cast<uint8_t>(r.Number(1));
      // Each element takes a byte at least, but an End element none: a list of them must be empty.
      const uint64_t count = Count(r, element == TagEnd ? 0 : 1);
      if (element == TagEnd && count > 0) r.Failed = true;
      for (uint64_t i = 0; i < count && !r.Failed; ++i) SkipPayload(r, element, depth + 1);
      return;
    }
    case TagCompound:
      for (;;) {
        const uint8_t tag = static_cast<uint8_t>(r.Number(1));
        if (r.Failed || tag == TagEnd) return;
        r.ShortText();
        SkipPayload(r, tag, depth + 1);
      }
    default: r.Failed = true;
  }
}

// Appending big-endian NBT.
struct Writer {
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
};

// The first air above the ground of the column (x, y): one above its highest
// cell that is not air (the bottom on an empty column, the top on a full one).
}  // namespace

ClassicWorld ReadClassicWorld(std::span<const uint8_t> file) {
  BoundedReader r{file};
  if (r.Number(1) != TagCompound || r.ShortText() != RootName || r.Failed) return {};
  ClassicWorld world;
  bool sized[3] = {false, false, false};
  bool blocks = false;
  for (;;) {
    const uint8_t tag = static_cast<uint8_t>(r.Number(1));
    if (r.Failed) break;  // cut short: what was found so far counts
    if (tag == TagEnd) break;
    const std::string_view name = r.ShortText();
    if (tag == TagShort && (name == "X" || name == "Y" || name == "Z")) {
      const int32_t value = static_cast<int16_t>(r.Number(2));
      const int axis = name == "X" ? 0 : name == "Y" ? 1 : 2;
      (axis == 0 ? world.X : axis == 1 ? world.Y : world.Z) = value;
      sized[axis] = true;
      continue;
    }
    if (tag == TagLong && name == "LastModified" && r.Has(8)) world.LastModifiedOffset = r.At;
    if (tag == TagByteArray && name == "BlockArray2") world.WideBlocks = true;
    if (tag == TagByteArray && name == "BlockArray" && !blocks) {
      const uint64_t count = r.Number(4);
      if (r.Failed || count > 0x7FFFFFFF) return {};
      blocks = true;
      world.BlocksOffset = r.At;
      world.BlockCount = count;
      world.BlocksWhole = r.Has(count);
      if (!world.BlocksWhole) break;
      r.Skip(count);
      continue;
    }
    SkipPayload(r, tag, 1);
  }
  world.Found = blocks && sized[0] && sized[1] && sized[2] && world.X > 0 && world.Y > 0 && world.Z > 0 &&
                uint64_t(world.X) * uint64_t(world.Y) * uint64_t(world.Z) == world.BlockCount;
  if (!world.Found) return {};
  // A whole world ends where its compound does; one cut short is known by its start only.
  if (world.BlocksWhole && r.Failed) world.BlocksWhole = false;
  return world;
}

void NewClassicWorld(const Level& level, const std::string& name, int64_t now, std::vector<uint8_t>& before,
                     std::vector<uint8_t>& after, size_t& lastModifiedOffset) {
  before.clear();
  after.clear();
  Writer w{before};
  w.Tag(TagCompound, RootName);
  w.Byte("FormatVersion", 1);
  w.String("Name", CutAtCharacter(name, MaxNameBytes));
  w.Tag(TagByteArray, "UUID");
  w.Number(16, 4);
  std::random_device random;
  const size_t uuid = before.size();
  for (int i = 0; i < 16; ++i) before.push_back(static_cast<uint8_t>(random()));
  before[uuid + 6] = static_cast<uint8_t>((before[uuid + 6] & 0x0F) | 0x40);  // a random UUID: version 4,
  before[uuid + 8] = static_cast<uint8_t>((before[uuid + 8] & 0x3F) | 0x80);  // variant 1
  // X is the level's x, Y its height, Z its y.
  w.Short("X", level.Width);
  w.Short("Y", level.Height);
  w.Short("Z", level.Length);
  w.Tag(TagCompound, "CreatedBy");
  w.String("Service", "Terrafix");
  w.String("Username", "");
  before.push_back(TagEnd);
  w.Long("TimeCreated", now);
  w.Long("LastAccessed", now);
  w.Long("LastModified", now);
  lastModifiedOffset = before.size() - 8;
  // The spawn in the game's coordinates: x, then the height, then the editor's y.
  const int32_t middleX = level.Width / 2, middleY = level.Length / 2;
  w.Tag(TagCompound, "Spawn");
  w.Short("X", middleX);
  w.Short("Y", FirstAirAbove(level, middleX, middleY));
  w.Short("Z", middleY);
  w.Byte("H", 0);
  w.Byte("P", 0);
  before.push_back(TagEnd);
  w.Tag(TagByteArray, "BlockArray");
  w.Number(level.Cells.size(), 4);
  Writer a{after};
  a.Tag(TagCompound, "Metadata");
  after.push_back(TagEnd);
  after.push_back(TagEnd);  // the end of ClassicWorld
}

}  // namespace terrafix
