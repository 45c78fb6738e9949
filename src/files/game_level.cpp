#include "files/game_level.h"

#include <string_view>

#include "files/bounded_reader.h"

namespace terrafix {

namespace {

constexpr uint8_t Magic[] = {0x27, 0x1B, 0xB7, 0x88};
constexpr uint8_t Version = 2;
constexpr uint8_t StreamStart[] = {0xAC, 0xED, 0x00, 0x05};
// Java serialization's type codes.
constexpr uint8_t TcNull = 0x70, TcReference = 0x71, TcClassDesc = 0x72, TcObject = 0x73, TcString = 0x74,
                  TcArray = 0x75, TcEndBlockData = 0x78;
constexpr int MaxFields = 256;

bool Expect(BoundedReader& r, std::span<const uint8_t> expected) {
  for (uint8_t b : expected) {
    if (r.Byte() != b) r.Failed = true;
  }
  return !r.Failed;
}

size_t PrimitiveSize(char type) {
  switch (type) {
    case 'B': case 'Z': return 1;
    case 'C': case 'S': return 2;
    case 'I': case 'F': return 4;
    case 'D': case 'J': return 8;
    default: return 0;
  }
}

struct Field {
  char Type;
  std::string_view Name;
};

// A class name or a field's type as a string: TC_STRING, or a reference to
// one written before (whose text does not matter here).
void SkipTypeString(BoundedReader& r) {
  const uint8_t code = r.Byte();
  if (code == TcString) {
    r.ShortText();
  } else if (code == TcReference) {
    r.Skip(4);
  } else {
    r.Failed = true;
  }
}

// The class description of a byte array: "[B" with no fields, or a reference.
void SkipByteArrayClass(BoundedReader& r) {
  const uint8_t code = r.Byte();
  if (code == TcReference) return r.Skip(4);
  if (code != TcClassDesc || r.ShortText() != "[B") {
    r.Failed = true;
    return;
  }
  r.Skip(8 + 1);  // serialVersionUID, flags
  if (r.Number(2) != 0 || r.Byte() != TcEndBlockData || r.Byte() != TcNull) r.Failed = true;
}

// An object field's value before `blocks`: null, a string, a reference, or
// an array of a primitive type. Anything else is more than this reader walks.
void SkipObjectValue(BoundedReader& r) {
  const uint8_t code = r.Byte();
  if (code == TcNull) return;
  if (code == TcString) return r.Skip(r.Number(2));
  if (code == TcReference) return r.Skip(4);
  if (code != TcArray || r.Byte() != TcClassDesc) {
    r.Failed = true;
    return;
  }
  const std::string_view type = r.ShortText();
  r.Skip(8 + 1);
  if (type.size() != 2 || type[0] != '[' || PrimitiveSize(type[1]) == 0 || r.Number(2) != 0 ||
      r.Byte() != TcEndBlockData || r.Byte() != TcNull) {
    r.Failed = true;
    return;
  }
  const uint64_t count = r.Number(4);
  if (count > r.Bytes.size()) r.Failed = true;  // longer than the file: no multiplication can overflow
  r.Skip(count * PrimitiveSize(type[1]));
}

}  // namespace

GameLevel ReadGameLevel(std::span<const uint8_t> file) {
  BoundedReader r{file};
  if (!Expect(r, Magic) || r.Byte() != Version || !Expect(r, StreamStart)) return {};
  if (r.Byte() != TcObject || r.Byte() != TcClassDesc) return {};
  r.ShortText();  // the class name
  r.Skip(8 + 1);        // serialVersionUID, flags
  const uint64_t fieldCount = r.Number(2);
  if (r.Failed || fieldCount > MaxFields) return {};
  Field fields[MaxFields];
  for (uint64_t i = 0; i < fieldCount && !r.Failed; ++i) {
    fields[i].Type = static_cast<char>(r.Byte());
    fields[i].Name = r.ShortText();
    if (fields[i].Type == '[' || fields[i].Type == 'L') {
      SkipTypeString(r);
    } else if (PrimitiveSize(fields[i].Type) == 0) {
      return {};
    }
  }
  // No class annotation and no superclass: the level objects of every
  // variant seen are plain classes.
  if (r.Byte() != TcEndBlockData || r.Byte() != TcNull || r.Failed) return {};

  GameLevel level;
  bool sized[3] = {false, false, false};
  for (uint64_t i = 0; i < fieldCount; ++i) {  // the primitive values, in the order described
    const size_t size = PrimitiveSize(fields[i].Type);
    if (size == 0) continue;
    const size_t at = r.At;
    const int32_t value = static_cast<int32_t>(r.Number(size));
    if (fields[i].Type != 'I') continue;
    if (fields[i].Name == "width") level.Width = value, level.WidthAt = at, sized[0] = true;
    if (fields[i].Name == "height") level.Height = value, level.HeightAt = at, sized[1] = true;
    if (fields[i].Name == "depth") level.Depth = value, level.DepthAt = at, sized[2] = true;
  }
  if (r.Failed || !sized[0] || !sized[1] || !sized[2] || level.Width <= 0 || level.Height <= 0 || level.Depth <= 0) {
    return {};
  }
  for (uint64_t i = 0; i < fieldCount && !r.Failed; ++i) {  // the object values, up to `blocks`
    if (PrimitiveSize(fields[i].Type) != 0) continue;
    if (fields[i].Name != "blocks" || fields[i].Type != '[') {
      SkipObjectValue(r);
      continue;
    }
    if (r.Byte() != TcArray) return {};
    SkipByteArrayClass(r);
    const uint64_t count = r.Number(4);
    const uint64_t expected = uint64_t(level.Width) * uint64_t(level.Height) * uint64_t(level.Depth);
    if (r.Failed || count != expected) return {};
    level.Found = true;
    level.CellsOffset = r.At;
    level.CellCount = count;
    level.CellsWhole = r.Has(count);
    return level;
  }
  return {};
}

}  // namespace terrafix
