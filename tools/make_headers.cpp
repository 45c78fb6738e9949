// Writes headers.dat: the 319 bytes that stand in front of the cells of a level
// file of the game and the 75 that stand behind them, for a level of 256 x 256
// cells in plan and 64 high.
//
// A level file of the game holds, uncompressed: a 4-byte magic number and a
// version byte, then one Java serialization stream with a single object of the
// class com.mojang.minecraft.level.Level. Its class description lists 14 fields
// in Java's order (primitives by name, then objects by name); then come the
// primitive values, the block array (whose 4,194,304 bytes are the cells), and
// after it the creator string, an empty java.util.ArrayList of entities and
// the level's name.
//
//   terrafix_make_headers PATH
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The values that the header carries.
constexpr int32_t Width = 256;   // x, horizontal
constexpr int32_t Height = 256;  // the other horizontal axis
constexpr int32_t Depth = 64;    // vertical
constexpr int64_t CreateTime = 1765324800000;  // 2025-12-10 00:00 UTC, in milliseconds
constexpr float RotSpawn = 0.0f;
constexpr int32_t TickCount = 0;
constexpr int32_t Unprocessed = 0;
// The middle of the plan, standing on the grass (height 31) of a new level.
constexpr int32_t XSpawn = 128, YSpawn = 32, ZSpawn = 128;
constexpr const char* Creator = "Terrafix";
constexpr const char* LevelName = "A level";
constexpr int32_t BlockCount = Width * Height * Depth;

// Java serialization stream codes.
constexpr uint8_t TcNull = 0x70, TcReference = 0x71, TcClassDesc = 0x72, TcObject = 0x73, TcString = 0x74,
                  TcArray = 0x75, TcBlockData = 0x77, TcEndBlockData = 0x78;
constexpr uint8_t ScSerializable = 0x02, ScWriteMethod = 0x01;
constexpr uint32_t BaseHandle = 0x7E0000;
constexpr uint32_t StringTypeHandle = BaseHandle + 2;  // "Ljava/lang/String;", the third object in the stream

class Stream {
 public:
  std::vector<uint8_t> Bytes;
  void U8(uint8_t v) { Bytes.push_back(v); }
  void U16(uint16_t v) { U8(v >> 8), U8(v & 0xFF); }
  void U32(uint32_t v) { U16(v >> 16), U16(v & 0xFFFF); }
  void U64(uint64_t v) { U32(static_cast<uint32_t>(v >> 32)), U32(static_cast<uint32_t>(v)); }
  void F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
  }
  void Utf(const std::string& s) {
    U16(static_cast<uint16_t>(s.size()));
    Bytes.insert(Bytes.end(), s.begin(), s.end());
  }
  void String(const std::string& s) { U8(TcString), Utf(s); }
  void PrimitiveField(char type, const std::string& name) { U8(static_cast<uint8_t>(type)), Utf(name); }
  void ObjectField(char type, const std::string& name, const std::string& className) {
    U8(static_cast<uint8_t>(type)), Utf(name), String(className);
  }
};

std::vector<uint8_t> Header() {
  Stream s;
  for (uint8_t b : {0x27, 0x1B, 0xB7, 0x88}) s.U8(b);  // the game's level file magic
  s.U8(0x02);                                          // and its version
  s.U16(0xACED), s.U16(0x0005);                        // serialization stream, version 5
  s.U8(TcObject);
  s.U8(TcClassDesc);
  s.Utf("com.mojang.minecraft.level.Level");
  s.U64(0);  // serialVersionUID
  s.U8(ScSerializable);
  s.U16(14);
  s.PrimitiveField('J', "createTime");
  s.PrimitiveField('I', "depth");
  s.PrimitiveField('I', "height");
  s.PrimitiveField('F', "rotSpawn");
  s.PrimitiveField('I', "tickCount");
  s.PrimitiveField('I', "unprocessed");
  s.PrimitiveField('I', "width");
  s.PrimitiveField('I', "xSpawn");
  s.PrimitiveField('I', "ySpawn");
  s.PrimitiveField('I', "zSpawn");
  s.ObjectField('[', "blocks", "[B");
  s.ObjectField('L', "creator", "Ljava/lang/String;");
  s.ObjectField('L', "entities", "Ljava/util/ArrayList;");
  s.PrimitiveField('L', "name");
  s.U8(TcReference), s.U32(StringTypeHandle);
  s.U8(TcEndBlockData), s.U8(TcNull);
  s.U64(static_cast<uint64_t>(CreateTime));
  s.U32(Depth), s.U32(Height);
  s.F32(RotSpawn);
  s.U32(TickCount), s.U32(Unprocessed), s.U32(Width);
  s.U32(XSpawn), s.U32(YSpawn), s.U32(ZSpawn);
  s.U8(TcArray);
  s.U8(TcClassDesc);
  s.Utf("[B");
  s.U64(0xACF317F8060854E0);  // serialVersionUID of byte[]
  s.U8(ScSerializable);
  s.U16(0);
  s.U8(TcEndBlockData), s.U8(TcNull);
  s.U32(BlockCount);
  return s.Bytes;
}

std::vector<uint8_t> Trailer() {
  Stream s;
  s.String(Creator);
  s.U8(TcObject);  // an empty java.util.ArrayList
  s.U8(TcClassDesc);
  s.Utf("java.util.ArrayList");
  s.U64(0x7881D21D99C7619D);  // its serialVersionUID
  s.U8(ScSerializable | ScWriteMethod);
  s.U16(1);
  s.PrimitiveField('I', "size");
  s.U8(TcEndBlockData), s.U8(TcNull);
  s.U32(0);                       // size
  s.U8(TcBlockData), s.U8(4);     // what its writeObject adds: the capacity
  s.U32(0);
  s.U8(TcEndBlockData);
  s.String(LevelName);
  return s.Bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s PATH\n", argv[0]);
    return 2;
  }
  std::vector<uint8_t> header = Header(), trailer = Trailer();
  if (header.size() != 319 || trailer.size() != 75) {
    std::fprintf(stderr, "header of %zu bytes and trailer of %zu: the layout wants 319 and 75\n", header.size(),
                 trailer.size());
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  out.write(reinterpret_cast<const char*>(trailer.data()), static_cast<std::streamsize>(trailer.size()));
  return out.good() ? 0 : 1;
}
