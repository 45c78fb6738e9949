#include "formats/level_formats.h"

#include "formats/classic_world.h"
#include "formats/game_level.h"
#include "formats/level_file.h"
#include "formats/schematic.h"
#include "formats/server_map.h"

namespace terrafix {

namespace {

// The game's level files and ClassicWorld keep the count of cells in a
// signed 32-bit length, and so do schematics; a server map holds any level.
constexpr uint64_t SignedLengthCells = INT32_MAX;

// In the order a file is told by: the most particular start first. A
// server map's older form has little to tell it by.
constexpr LevelFormat Formats[] = {
    {LevelForm::Kind::GameLevel, "the game's level", LevelFileEnding, FindGameLevel, NewGameLevelParts, nullptr,
     SignedLengthCells},
    {LevelForm::Kind::ClassicWorld, "ClassicWorld", ".cw", FindClassicWorld, NewClassicWorldParts, nullptr,
     SignedLengthCells},
    {LevelForm::Kind::ServerMap, "server map", ".lvl", FindServerMap, NewServerMapParts},
    {LevelForm::Kind::Schematic, "schematic", ".schematic", FindSchematic, NewSchematicParts, TakeSchematic,
     SignedLengthCells},
};

// "a, b, c" and `last` before the final one.
std::string ListOf(std::string_view (*item)(const LevelFormat&), std::string_view last) {
  std::string list;
  for (size_t i = 0; i < std::size(Formats); ++i) {
    if (i > 0) list += i + 1 == std::size(Formats) ? last : std::string_view(", ");
    list += item(Formats[i]);
  }
  return list;
}

}  // namespace

std::span<const LevelFormat> LevelFormats() { return Formats; }

const LevelFormat* FormatOfEnding(std::string_view ending) {
  for (const LevelFormat& format : Formats) {
    if (format.Ending == ending) return &format;
  }
  return nullptr;
}

const LevelFormat* FormatOfKind(LevelForm::Kind kind) {
  for (const LevelFormat& format : Formats) {
    if (format.Kind == kind) return &format;
  }
  return nullptr;
}

std::string ListOfEndings(std::string_view last, bool dots) {
  return dots ? ListOf([](const LevelFormat& f) { return f.Ending; }, last)
              : ListOf([](const LevelFormat& f) { return f.Ending.substr(1); }, last);
}

std::string ListOfFormatNames() { return ListOf([](const LevelFormat& f) { return f.Name; }, " or "); }

std::string TakeAsItIs(std::vector<uint8_t>& file, const FoundLevel& found, Level& level) {
  TakeOwnLevel(file, found.CellsOffset, found.Width, found.Length, found.Height, level);
  level.Form.TimeOffset = found.TimeOffset;
  return {};
}

}  // namespace terrafix
