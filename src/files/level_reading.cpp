#include "files/level_reading.h"

#include <algorithm>

#include "files/classic_world.h"
#include "files/game_level.h"
#include "files/level_file.h"
#include "files/server_map.h"
#include "platform/machine/machine_memory.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

// A level of the game's format, a world or a map, as far as its reader
// walked it, in the editor's axes: x across, y the other way in plan, z up.
struct Found {
  bool Level = false;
  bool Whole = false;
  int32_t Width = 0, Length = 0, Height = 0;
  size_t CellsOffset = 0, CellCount = 0;
  size_t TimeOffset = 0;  // a world's LastModified
  LevelForm::Kind Kind = LevelForm::Kind::GameLevel;
  size_t LargestTrailer = LargestOwnPart;
  bool WideBlocks = false;  // a world's blocks numbered past 255
};

// The game's level object names the x extent `width`, the y extent `height`
// and the vertical `depth`; a world's X is x, Z is y and Y is up; a map's
// header has them in the editor's order.
Found FindLevel(std::span<const uint8_t> file) {
  using Kind = LevelForm::Kind;
  if (const GameLevel game = ReadGameLevel(file); game.Found) {
    return {true, game.CellsWhole, game.Width, game.Height, game.Depth, game.CellsOffset, game.CellCount, 0,
            Kind::GameLevel};
  }
  if (const ClassicWorld world = ReadClassicWorld(file); world.Found) {
    return {true,          world.BlocksWhole, world.X, world.Z, world.Y, world.BlocksOffset, world.BlockCount,
            world.LastModifiedOffset, Kind::ClassicWorld, LargestOwnPart, world.WideBlocks};
  }
  if (const ServerMap map = ReadServerMap(file); map.Found) {
    return {true,          map.CellsWhole,   map.Width, map.Length, map.Height, map.CellsOffset, map.CellCount, 0,
            Kind::ServerMap, LargestServerMapTrailer(map.CellCount)};
  }
  return {};
}

size_t TrailerBytes(const Found& found, size_t fileSize) {
  return fileSize - std::min(fileSize, found.CellsOffset + found.CellCount);
}

LevelReading Refused(LevelRefusal refusal, std::string why, const Found& found = {}) {
  LevelReading reading;
  reading.Refusal = refusal;
  reading.Why = std::move(why);
  reading.Width = found.Width, reading.Length = found.Length, reading.Height = found.Height;
  return reading;
}

LevelReading NotALevel() {
  return Refused(LevelRefusal::NotALevel,
                 "not a level of any format the editor knows (the layout of " + std::string(HeaderTemplateFile) +
                     ", the game's level, ClassicWorld or server map)");
}

// A world's BlockArray2 holds the upper byte of each block: the editor would
// lose it, and a save would pair the cells changed with upper bytes stale.
LevelReading WideBlocks(const Found& found) {
  return Refused(LevelRefusal::WideBlocks,
                 "the world holds blocks numbered past 255 (BlockArray2); the editor keeps one byte a cell", found);
}

LevelReading TooLarge(size_t ownBytes, size_t bound, bool atLeast) {
  LevelReading reading = Refused(LevelRefusal::OwnPartTooLarge, std::string(atLeast ? "more than " : "") +
                                                                     WithThousands(ownBytes) +
                                                                     " bytes of the level's own data, more than the " +
                                                                     WithThousands(bound) + " the editor keeps");
  reading.OwnBytes = ownBytes;
  reading.OwnBound = bound;
  reading.AtLeast = atLeast;
  return reading;
}

// Refusals of a level found, before its cells are taken; None when it may load.
LevelReading Check(const Found& found, size_t fileSize, bool cutShort) {
  if (found.WideBlocks) return WideBlocks(found);
  if (!IsLevelSize(found.Width, found.Length, found.Height)) {
    return Refused(LevelRefusal::NotALevel, "a level of a size no level has", found);
  }
  if (const uint64_t needs = LevelMemory(found.Width, found.Length, found.Height); needs > MemoryForALevel()) {
    return Refused(LevelRefusal::TooLargeForMemory,
                   "a level of " + std::to_string(found.Width) + " x " + std::to_string(found.Length) + " x " +
                       std::to_string(found.Height) + ": it needs " + MemoryText(needs) + ", more than this machine has",
                   found);
  }
  if (found.CellsOffset > LargestOwnPart) return TooLarge(found.CellsOffset, LargestOwnPart, cutShort);
  const size_t trailer = TrailerBytes(found, fileSize);
  if (!cutShort && trailer > found.LargestTrailer) return TooLarge(trailer, found.LargestTrailer, false);
  return {};
}

}  // namespace

LevelReading SizeFromStart(std::span<const uint8_t> bytes, const HeaderTemplate& header, LevelStart& start) {
  start = {};
  if (HeaderMatches(bytes, header)) return {};
  const Found found = FindLevel(bytes);
  if (!found.Level) return {};  // read as far as a level of the template's size goes
  LevelReading checked = Check(found, bytes.size(), true);
  if (checked.Refusal == LevelRefusal::None) start = {found.CellsOffset + found.CellCount, found.LargestTrailer};
  checked.Width = found.Width, checked.Length = found.Length, checked.Height = found.Height;
  return checked;
}

LevelReading ReadLevelBytes(std::vector<uint8_t>& file, const HeaderTemplate& header, Level& level) {
  if (HeaderMatches(file, header)) {
    ReadTemplateLevel(file, level);
    return {};
  }
  const Found found = FindLevel(file);
  if (!found.Level) return NotALevel();
  if (!found.Whole) {
    return Refused(LevelRefusal::CutShort, "cut short: the file ends before the cells of its level do", found);
  }
  LevelReading checked = Check(found, file.size(), false);
  if (checked.Refusal != LevelRefusal::None) return checked;
  TakeOwnLevel(file, found.CellsOffset, found.Width, found.Length, found.Height, found.Kind, level);
  level.Form.TimeOffset = found.TimeOffset;
  checked.Width = level.Width, checked.Length = level.Length, checked.Height = level.Height;
  return checked;
}

LevelReading TellTooLongLevel(std::span<const uint8_t> start) {
  const Found found = FindLevel(start);
  if (!found.Level) return Refused(LevelRefusal::NotALevel, "more than a level holds");
  if (found.WideBlocks) return WideBlocks(found);
  if (found.CellsOffset > LargestOwnPart) return TooLarge(found.CellsOffset, LargestOwnPart, true);
  return TooLarge(TrailerBytes(found, start.size()), found.LargestTrailer, true);
}

}  // namespace terrafix
