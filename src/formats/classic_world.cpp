#include "formats/classic_world.h"

#include <algorithm>
#include <random>
#include <string_view>

#include "formats/bounded_reader.h"
#include "formats/nbt.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

constexpr std::string_view RootName = "ClassicWorld";
constexpr size_t MaxNameBytes = 64;

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
    SkipNbtPayload(r, tag, 1);
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
  NbtWriter w{before};
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
  NbtWriter a{after};
  a.Tag(TagCompound, "Metadata");
  after.push_back(TagEnd);
  after.push_back(TagEnd);  // the end of ClassicWorld
}

// A world's X is x, Z is y and Y is up.
FoundLevel FindClassicWorld(std::span<const uint8_t> file) {
  const ClassicWorld world = ReadClassicWorld(file);
  if (!world.Found) return {};
  FoundLevel found;
  found.Level = true;
  found.Whole = world.BlocksWhole;
  found.Width = world.X, found.Length = world.Z, found.Height = world.Y;
  found.CellsOffset = world.BlocksOffset;
  found.CellCount = world.BlockCount;
  found.TimeOffset = world.LastModifiedOffset;
  found.WideBlocks = world.WideBlocks;
  return found;
}

FileParts NewClassicWorldParts(const Level& level, const NewFileFacts& facts) {
  FileParts parts;
  NewClassicWorld(level, facts.Name, facts.Now, parts.Before, parts.After, parts.TimeOffset);
  return parts;
}

}  // namespace terrafix
