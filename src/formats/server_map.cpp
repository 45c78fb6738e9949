#include "formats/server_map.h"

namespace terrafix {

namespace {

constexpr uint16_t Identifier = 1874;
constexpr size_t MapHeaderLength = 18, OldMapHeaderLength = 14;
// The first byte of each section after the cells.
constexpr uint8_t CustomBlocksSection = 0xBD, PhysicsSection = 0xFC, ZonesSection = 0x51;
constexpr size_t LargestServerMapExtra = 1024 * 1024;

uint16_t NumberAt(std::span<const uint8_t> file, size_t at) {
  return static_cast<uint16_t>(file[at] | file[at + 1] << 8);
}

void PutNumber(std::vector<uint8_t>& bytes, uint16_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

ServerMap ReadServerMap(std::span<const uint8_t> file) {
  if (file.size() < OldMapHeaderLength) return {};
  const bool old = NumberAt(file, 0) != Identifier;
  const size_t first = old ? 0 : 2;  // where the size begins
  if (!old && file.size() < MapHeaderLength) return {};
  ServerMap map;
  // The file tells width, length (the plan's other axis) and height (up).
  map.Width = NumberAt(file, first);
  map.Length = NumberAt(file, first + 2);
  map.Height = NumberAt(file, first + 4);
  if (!IsLevelSize(map.Width, map.Length, map.Height)) return {};
  map.CellsOffset = old ? OldMapHeaderLength : MapHeaderLength;
  map.CellCount = static_cast<size_t>(map.Width) * static_cast<size_t>(map.Length) * static_cast<size_t>(map.Height);
  map.CellsWhole = file.size() - map.CellsOffset >= map.CellCount;
  if (old) {
    // The spawn, x, then the plan's other axis, then up.
    const uint16_t spawnX = NumberAt(file, 6), spawnY = NumberAt(file, 8), spawnZ = NumberAt(file, 10);
    if (spawnX >= map.Width || spawnY >= map.Length || spawnZ > map.Height) return {};
    const size_t after = map.CellsOffset + map.CellCount;
    if (map.CellsWhole && after < file.size() && file[after] != CustomBlocksSection &&
        file[after] != PhysicsSection && file[after] != ZonesSection) {
      return {};
    }
  }
  map.Found = true;
  return map;
}

size_t LargestServerMapTrailer(size_t cellCount) { return 2 * cellCount + LargestServerMapExtra; }

std::vector<uint8_t> NewServerMapHeader(const Level& level) {
  std::vector<uint8_t> header;
  const int32_t middleX = level.Width / 2, middleY = level.Length / 2;
  for (int32_t number : {int32_t{Identifier}, level.Width, level.Length, level.Height, middleX, middleY,
                         FirstAirAbove(level, middleX, middleY)}) {
    PutNumber(header, static_cast<uint16_t>(number));
  }
  header.insert(header.end(), {0, 0, 0, 0});  // heading, pitch, visit and build permissions
  return header;
}

FoundLevel FindServerMap(std::span<const uint8_t> file) {
  const ServerMap map = ReadServerMap(file);
  if (!map.Found) return {};
  FoundLevel found;
  found.Level = true;
  found.Whole = map.CellsWhole;
  found.Width = map.Width, found.Length = map.Length, found.Height = map.Height;
  found.CellsOffset = map.CellsOffset;
  found.CellCount = map.CellCount;
  found.LargestTrailer = LargestServerMapTrailer(map.CellCount);
  return found;
}

FileParts NewServerMapParts(const Level& level, const NewFileFacts&) { return {NewServerMapHeader(level), {}}; }

}  // namespace terrafix
