#include "files/level_reading.h"

#include <algorithm>

#include "files/classic_world.h"
#include "files/game_level.h"
#include "files/level_file.h"

namespace terrafix {

namespace {

// A level of the game's format or a world, as far as its reader walked it.
struct Found {
  bool Level = false;
  bool Editors = false;
  bool Whole = false;
  int32_t Width = 0, Height = 0, Depth = 0;
  size_t CellsOffset = 0, CellCount = 0;
  size_t TimeOffset = 0;  // a world's LastModified
};

Found FindGameLevel(std::span<const uint8_t> file) {
  const GameLevel game = ReadGameLevel(file);
  return {game.Found, game.OfTheEditorsSize(), game.CellsWhole, game.Width, game.Height, game.Depth,
          game.CellsOffset, game.CellCount};
}

// A world's X is the width, Z the other horizontal extent, Y the height.
Found FindWorld(std::span<const uint8_t> file) {
  const ClassicWorld world = ReadClassicWorld(file);
  return {world.Found, world.OfTheEditorsSize(), world.BlocksWhole, world.X, world.Z, world.Y,
          world.BlocksOffset, world.BlockCount, world.LastModifiedOffset};
}

// The larger of the bytes before the cells and after them.
size_t LargerOwnPart(const Found& found, size_t fileSize) {
  const size_t after = fileSize - std::min(fileSize, found.CellsOffset + found.CellCount);
  return std::max(found.CellsOffset, after);
}

LevelReading Refused(LevelRefusal refusal, std::string why) {
  LevelReading reading;
  reading.Refusal = refusal;
  reading.Why = std::move(why);
  return reading;
}

LevelReading OtherSize(const Found& found) {
  LevelReading reading = Refused(LevelRefusal::OtherSize, "a level of another size");
  reading.Width = found.Width, reading.Height = found.Height, reading.Depth = found.Depth;
  return reading;
}

LevelReading TooLarge(size_t ownBytes) {
  LevelReading reading = Refused(LevelRefusal::OwnPartTooLarge, "more of the level's own data than the editor keeps");
  reading.OwnBytes = ownBytes;
  return reading;
}

}  // namespace

LevelReading ReadLevelBytes(std::span<const uint8_t> file, LevelForms forms, LevelGrid& grid, HeaderTemplate& header) {
  if (forms != LevelForms::ClassicWorld && HeaderMatches(file, header)) {
    ReadLevelCells(file, grid, header);
    return {};
  }
  const Found game = forms != LevelForms::ClassicWorld ? FindGameLevel(file) : Found{};
  const Found world = !game.Level && forms != LevelForms::GameFormat ? FindWorld(file) : Found{};
  const Found& found = game.Level ? game : world;
  if (!found.Level || !found.Whole) {
    return Refused(LevelRefusal::NotALevel, forms == LevelForms::ClassicWorld
                                                ? "not a ClassicWorld this editor can read"
                                                : "neither the layout of " + std::string(HeaderTemplateFile) +
                                                      " nor a level of the game");
  }
  if (!found.Editors) return OtherSize(found);
  const size_t own = LargerOwnPart(found, file.size());
  if (own > LargestOwnPart) return TooLarge(own);
  const auto format = game.Level ? HeaderTemplate::Format::GameLevel : HeaderTemplate::Format::ClassicWorld;
  ReadOwnLevel(file, found.CellsOffset, format, grid, header);
  header.OwnTimeOffset = found.TimeOffset;
  return {};
}

LevelReading TellTooLongLevel(std::span<const uint8_t> start, LevelForms forms) {
  const Found game = forms != LevelForms::ClassicWorld ? FindGameLevel(start) : Found{};
  const Found world = !game.Level && forms != LevelForms::GameFormat ? FindWorld(start) : Found{};
  const Found& found = game.Level ? game : world;
  if (!found.Level) return Refused(LevelRefusal::NotALevel, "more than a level holds");
  if (!found.Editors) return OtherSize(found);
  LevelReading reading = TooLarge(LargerOwnPart(found, start.size()));
  reading.AtLeast = true;
  return reading;
}

}  // namespace terrafix
