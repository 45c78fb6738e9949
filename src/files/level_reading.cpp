#include "files/level_reading.h"

#include <algorithm>

#include "files/classic_world.h"
#include "files/game_level.h"
#include "files/level_file.h"
#include "platform/machine/machine_memory.h"

namespace terrafix {

namespace {

// A level of the game's format or a world, as far as its reader walked it,
// in the editor's axes: x across, y the other way in plan, z up.
struct Found {
  bool Level = false;
  bool Whole = false;
  int32_t Width = 0, Length = 0, Height = 0;
  size_t CellsOffset = 0, CellCount = 0;
  size_t TimeOffset = 0;  // a world's LastModified
  LevelForm::Kind Kind = LevelForm::Kind::GameLevel;
};

// The game's level object names the x extent `width`, the y extent `height`
// and the vertical `depth`; a world's X is x, Z is y and Y is up.
Found FindLevel(std::span<const uint8_t> file, LevelForms forms) {
  if (forms != LevelForms::ClassicWorld) {
    const GameLevel game = ReadGameLevel(file);
    if (game.Found) {
      return {true, game.CellsWhole, game.Width, game.Height, game.Depth, game.CellsOffset, game.CellCount, 0,
              LevelForm::Kind::GameLevel};
    }
  }
  if (forms != LevelForms::GameFormat) {
    const ClassicWorld world = ReadClassicWorld(file);
    if (world.Found) {
      return {true,           world.BlocksWhole,  world.X, world.Z, world.Y, world.BlocksOffset, world.BlockCount,
              world.LastModifiedOffset, LevelForm::Kind::ClassicWorld};
    }
  }
  return {};
}

// The larger of the bytes before the cells and after them.
size_t LargerOwnPart(const Found& found, size_t fileSize) {
  const size_t after = fileSize - std::min(fileSize, found.CellsOffset + found.CellCount);
  return std::max(found.CellsOffset, after);
}

LevelReading Refused(LevelRefusal refusal, std::string why, const Found& found = {}) {
  LevelReading reading;
  reading.Refusal = refusal;
  reading.Why = std::move(why);
  reading.Width = found.Width, reading.Length = found.Length, reading.Height = found.Height;
  return reading;
}

LevelReading NotALevel(LevelForms forms) {
  return Refused(LevelRefusal::NotALevel, forms == LevelForms::ClassicWorld
                                              ? "not a ClassicWorld this editor can read"
                                              : "neither the layout of " + std::string(HeaderTemplateFile) +
                                                    " nor a level of the game");
}

LevelReading TooLarge(size_t ownBytes, bool atLeast) {
  LevelReading reading = Refused(LevelRefusal::OwnPartTooLarge, "more of the level's own data than the editor keeps");
  reading.OwnBytes = ownBytes;
  reading.AtLeast = atLeast;
  return reading;
}

// Refusals of a level found, before its cells are taken; None when it may load.
LevelReading Check(const Found& found, size_t fileSize, bool cutShort) {
  if (!IsLevelSize(found.Width, found.Length, found.Height)) {
    return Refused(LevelRefusal::NotALevel, "a level of a size no level has", found);
  }
  if (LevelMemory(found.Width, found.Length, found.Height) > MemoryForALevel()) {
    return Refused(LevelRefusal::TooLargeForMemory, "a level larger than this machine's memory holds", found);
  }
  const size_t own = LargerOwnPart(found, fileSize);
  if (found.CellsOffset > LargestOwnPart || (!cutShort && own > LargestOwnPart)) return TooLarge(own, cutShort);
  return {};
}

}  // namespace

LevelReading SizeFromStart(std::span<const uint8_t> start, LevelForms forms, const HeaderTemplate& header,
                           size_t& expectedBytes) {
  expectedBytes = 0;
  if (forms != LevelForms::ClassicWorld && HeaderMatches(start, header)) return {};
  const Found found = FindLevel(start, forms);
  if (!found.Level) return {};  // read as far as a level of the template's size goes
  const LevelReading checked = Check(found, start.size(), true);
  if (checked.Refusal == LevelRefusal::None) expectedBytes = found.CellsOffset + found.CellCount;
  return checked;
}

LevelReading ReadLevelBytes(std::vector<uint8_t>& file, LevelForms forms, const HeaderTemplate& header,
                            Level& level) {
  if (forms != LevelForms::ClassicWorld && HeaderMatches(file, header)) {
    ReadTemplateLevel(file, level);
    return {};
  }
  const Found found = FindLevel(file, forms);
  if (!found.Level || !found.Whole) return NotALevel(forms);
  LevelReading checked = Check(found, file.size(), false);
  if (checked.Refusal != LevelRefusal::None) return checked;
  TakeOwnLevel(file, found.CellsOffset, found.Width, found.Length, found.Height, found.Kind, level);
  level.Form.TimeOffset = found.TimeOffset;
  checked.Width = level.Width, checked.Length = level.Length, checked.Height = level.Height;
  return checked;
}

LevelReading TellTooLongLevel(std::span<const uint8_t> start, LevelForms forms) {
  const Found found = FindLevel(start, forms);
  if (!found.Level) return Refused(LevelRefusal::NotALevel, "more than a level holds");
  return TooLarge(LargerOwnPart(found, start.size()), true);
}

}  // namespace terrafix
