#include "formats/game_level.h"

#include <string_view>
#include <vector>

#include "formats/bounded_reader.h"

namespace terrafix {

namespace {

constexpr uint8_t Magic[] = {0x27, 0x1B, 0xB7, 0x88};
constexpr uint8_t Version = 2;
constexpr uint8_t StreamStart[] = {0xAC, 0xED, 0x00, 0x05};

// Java serialization's type codes.
constexpr uint8_t TcNull = 0x70, TcReference = 0x71, TcClassDesc = 0x72, TcObject = 0x73, TcString = 0x74,
                  TcArray = 0x75, TcClass = 0x76, TcBlockData = 0x77, TcEndBlockData = 0x78, TcReset = 0x79,
                  TcBlockDataLong = 0x7A, TcLongString = 0x7C, TcProxyClassDesc = 0x7D, TcEnum = 0x7E;
// The flags of a class description.
constexpr uint8_t ScWriteMethod = 0x01, ScSerializable = 0x02, ScExternalizable = 0x04, ScBlockData = 0x08;
// The first handle; every object, class description, array, string and enum
// constant takes the next one as it is first written.
constexpr uint64_t BaseHandle = 0x7E0000;
// How deep objects may hold objects, and superclasses be chained: far more
// than any level needs, and a bound on the walk's own stack.
constexpr int MaxNesting = 200;

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

struct ClassDescription {
  std::string_view Name;
  uint8_t Flags = 0;
  std::vector<Field> Fields;
  int Super = -1;  // its superclass in Walk::Classes, or -1 for none
};

constexpr int NoClass = -1;

// The walk over a serialization stream: what each handle stands for (a class
// description's place in Classes, or NoClass for any other object), and what
// was found of the level object.
struct Walk {
  BoundedReader R;
  std::vector<ClassDescription> Classes;
  std::vector<int> Handles;
  GameLevel Level;

  void Fail() { R.Failed = true; }
  bool Failed() const { return R.Failed; }
  void NewHandle(int classIndex = NoClass) { Handles.push_back(classIndex); }
  // The handle of a reference, checked against those handed out so far.
  int Referenced() {
    const uint64_t handle = R.Number(4);
    if (handle < BaseHandle || handle - BaseHandle >= Handles.size()) {
      Fail();
      return NoClass;
    }
    return Handles[handle - BaseHandle];
  }
};

void ReadContent(Walk& w, int depth);

// Contents up to the end of a block: a class's annotation, or what a class's
// own write method added after its fields.
void ReadToEndOfBlock(Walk& w, int depth) {
  while (!w.Failed()) {
    if (w.R.Has(1) && w.R.Bytes[w.R.At] == TcEndBlockData) {
      w.R.Skip(1);
      return;
    }
    ReadContent(w, depth);
  }
}

// A string object: new (taking a handle), long, or a reference to one.
void ReadStringObject(Walk& w) {
  const uint8_t code = w.R.Byte();
  if (code == TcString) {
    w.NewHandle();
    w.R.ShortText();
  } else if (code == TcLongString) {
    w.NewHandle();
    w.R.Skip(w.R.Number(8));
  } else if (code == TcReference) {
    w.Referenced();
  } else {
    w.Fail();
  }
}

// A class description; its place in Classes, or NoClass for null.
int ReadClassDescription(Walk& w, int depth) {
  if (depth > MaxNesting) {
    w.Fail();
    return NoClass;
  }
  const uint8_t code = w.R.Byte();
  if (code == TcNull) return NoClass;
  if (code == TcReference) {
    const int index = w.Referenced();
    if (index == NoClass) w.Fail();  // a reference to something that is not a class description
    return index;
  }
  ClassDescription description;
  if (code == TcClassDesc) {
    description.Name = w.R.ShortText();
    w.R.Skip(8);  // serialVersionUID
  } else if (code != TcProxyClassDesc) {
    w.Fail();
    return NoClass;
  }
  const int index = static_cast<int>(w.Classes.size());
  w.NewHandle(index);
  if (code == TcProxyClassDesc) {
    description.Flags = ScSerializable;
    const uint64_t interfaces = w.R.Number(4);
    for (uint64_t i = 0; i < interfaces && !w.Failed(); ++i) w.R.ShortText();
  } else {
    description.Flags = w.R.Byte();
    const uint64_t fieldCount = w.R.Number(2);
    for (uint64_t i = 0; i < fieldCount && !w.Failed(); ++i) {
      Field field{static_cast<char>(w.R.Byte()), w.R.ShortText()};
      if (field.Type == '[' || field.Type == 'L') {
        ReadStringObject(w);  // the field's type
      } else if (PrimitiveSize(field.Type) == 0) {
        w.Fail();
      }
      description.Fields.push_back(field);
    }
  }
  // Kept in place before the annotation and the superclass are read: they
  // may refer to this description by its handle.
  w.Classes.push_back(description);
  ReadToEndOfBlock(w, depth + 1);
  const int super = ReadClassDescription(w, depth + 1);
  if (!w.Failed()) w.Classes[index].Super = super;
  return index;
}

// The classes of an object's hierarchy, the topmost superclass first.
std::vector<int> Hierarchy(Walk& w, int index) {
  std::vector<int> classes;
  for (; index != NoClass && !w.Failed(); index = w.Classes[index].Super) {
    if (classes.size() > MaxNesting) w.Fail();  // a chain that loops
    classes.insert(classes.begin(), index);
  }
  return classes;
}

// The cells: the value of the level object's field `blocks`, a byte array
// whose length is the level's size.
void ReadCells(Walk& w, int depth) {
  GameLevel& level = w.Level;
  if (level.Width <= 0 || level.Height <= 0 || level.Depth <= 0 || w.R.Byte() != TcArray) return w.Fail();
  const int type = ReadClassDescription(w, depth + 1);
  if (w.Failed() || type == NoClass || w.Classes[type].Name != "[B") return w.Fail();
  w.NewHandle();
  const uint64_t count = w.R.Number(4);
  const uint64_t expected = uint64_t(level.Width) * uint64_t(level.Height) * uint64_t(level.Depth);
  if (w.Failed() || count != expected) return w.Fail();
  level.Found = true;
  level.CellsOffset = w.R.At;
  level.CellCount = count;
  level.CellsWhole = w.R.Has(count);
}

// The values of an object of the class `index`, for each class of its
// hierarchy. For the level object, its size is noted and the walk ends at
// its cells.
void ReadObjectValues(Walk& w, int index, int depth, bool isLevel) {
  for (int c : Hierarchy(w, index)) {
    const ClassDescription& description = w.Classes[c];
    const uint8_t flags = description.Flags;
    if (flags & ScExternalizable) {
      // Only the form whose contents are block data can be walked past.
      if (!(flags & ScBlockData)) return w.Fail();
      ReadToEndOfBlock(w, depth + 1);
      continue;
    }
    if (!(flags & ScSerializable)) continue;
    // Copied: reading the values may add classes and move the descriptions.
    const std::vector<Field> fields = description.Fields;
    for (const Field& field : fields) {  // the primitive values, in the order described
      const size_t size = PrimitiveSize(field.Type);
      if (size == 0) continue;
      const size_t at = w.R.At;
      const int32_t value = static_cast<int32_t>(w.R.Number(size));
      if (!isLevel || field.Type != 'I') continue;
      GameLevel& level = w.Level;
      if (field.Name == "width") level.Width = value, level.WidthAt = at;
      if (field.Name == "height") level.Height = value, level.HeightAt = at;
      if (field.Name == "depth") level.Depth = value, level.DepthAt = at;
    }
    for (const Field& field : fields) {  // then the objects
      if (w.Failed()) return;
      if (PrimitiveSize(field.Type) != 0) continue;
      if (isLevel && field.Type == '[' && field.Name == "blocks") return ReadCells(w, depth);
      ReadContent(w, depth + 1);
    }
    if (flags & ScWriteMethod) ReadToEndOfBlock(w, depth + 1);
  }
}

// An array's elements, after its class description.
void ReadArrayValues(Walk& w, std::string_view type, int depth) {
  const uint64_t count = w.R.Number(4);
  if (w.Failed() || type.size() < 2 || type[0] != '[') return w.Fail();
  const size_t size = PrimitiveSize(type[1]);
  if (count > w.R.Bytes.size()) return w.Fail();  // longer than the file: no product below can overflow
  if (size != 0) return w.R.Skip(count * size);
  if (type[1] != '[' && type[1] != 'L') return w.Fail();
  for (uint64_t i = 0; i < count && !w.Failed(); ++i) ReadContent(w, depth + 1);
}

// One element of the stream: an object of any kind, null, a reference, or
// block data.
void ReadContent(Walk& w, int depth) {
  if (depth > MaxNesting) return w.Fail();
  const uint8_t code = w.R.Byte();
  switch (code) {
    case TcNull: return;
    case TcReference: w.Referenced(); return;
    case TcReset: w.Handles.clear(); return;
    case TcBlockData: return w.R.Skip(w.R.Byte());
    case TcBlockDataLong: return w.R.Skip(w.R.Number(4));
    case TcString: case TcLongString: --w.R.At; return ReadStringObject(w);
    case TcClassDesc: case TcProxyClassDesc: --w.R.At; ReadClassDescription(w, depth); return;
    case TcClass: ReadClassDescription(w, depth); w.NewHandle(); return;
    case TcEnum: {
      if (ReadClassDescription(w, depth) == NoClass) return w.Fail();
      w.NewHandle();
      return ReadStringObject(w);  // the constant's name
    }
    case TcArray: {
      const int type = ReadClassDescription(w, depth);
      if (type == NoClass) return w.Fail();
      w.NewHandle();
      return ReadArrayValues(w, w.Classes[type].Name, depth);
    }
    case TcObject: {
      const int type = ReadClassDescription(w, depth);
      if (type == NoClass) return w.Fail();
      w.NewHandle();
      return ReadObjectValues(w, type, depth, false);
    }
    default: return w.Fail();  // an exception written into the stream, or no code of the grammar
  }
}

}  // namespace

GameLevel ReadGameLevel(std::span<const uint8_t> file) {
  Walk w{BoundedReader{file}, {}, {}, {}};
  if (!Expect(w.R, Magic) || w.R.Byte() != Version || !Expect(w.R, StreamStart)) return {};
  if (w.R.Byte() != TcObject) return {};
  const int type = ReadClassDescription(w, 0);
  if (w.Failed() || type == NoClass) return {};
  w.NewHandle();
  ReadObjectValues(w, type, 0, true);
  if (w.Failed() || !w.Level.Found) return {};
  return w.Level;
}

// The game's level object names the x extent `width`, the y extent `height`
// and the vertical `depth`.
FoundLevel FindGameLevel(std::span<const uint8_t> file) {
  const GameLevel game = ReadGameLevel(file);
  if (!game.Found) return {};
  FoundLevel found;
  found.Level = true;
  found.Whole = game.CellsWhole;
  found.Width = game.Width, found.Length = game.Height, found.Height = game.Depth;
  found.CellsOffset = game.CellsOffset;
  found.CellCount = game.CellCount;
  return found;
}

}  // namespace terrafix
