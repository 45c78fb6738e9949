// The level formats the editor reads and writes, one row each. Everything
// that names a format is fed from here: how a file is told by its content
// and read, the parts a save writes around the cells, the endings a name
// may have, and the lists of formats that refusals, --to and --help show.
// A new format is a file of its own and one row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/found_level.h"
#include "formats/header_template.h"
#include "level/level.h"

namespace terrafix {

// The ending of the game's own level files, which a typed name without one
// stands for.
constexpr std::string_view LevelFileEnding = ".dat";

// What a new file of a format is made from, besides the level.
struct NewFileFacts {
  const HeaderTemplate& Header;  // the template of the game's level files
  std::string Name;              // the file's name without its folder and ending
  int64_t Now = 0;               // Unix seconds
};

// The bytes a file holds before and after the level's cells.
struct FileParts {
  std::vector<uint8_t> Before, After;
  size_t TimeOffset = 0;  // where the time it was saved stands from the file's start; 0: none
};

struct LevelFormat {
  LevelForm::Kind Kind;
  std::string_view Name;    // as a list of formats names it: "ClassicWorld"
  std::string_view Ending;  // of its files' names, in lower case: ".cw"
  // What the bytes of an uncompressed file, or of its start, are as a level of this format.
  FoundLevel (*Find)(std::span<const uint8_t> file);
  // The parts of a new file of this format around the level's cells.
  FileParts (*NewParts)(const Level& level, const NewFileFacts& facts);
  // Takes the found level out of the file's bytes into `level`, its cells
  // and its own parts; returns what the user is to be told of it (empty:
  // nothing). Null: taken as it is.
  std::string (*Take)(std::vector<uint8_t>& file, const FoundLevel& found, Level& level) = nullptr;
  uint64_t MostCells = UINT64_MAX;  // the most cells a file of it holds
};

std::span<const LevelFormat> LevelFormats();

// The row of an ending as LevelFormat::Ending spells it, or of a kind; null for none.
const LevelFormat* FormatOfEnding(std::string_view ending);
const LevelFormat* FormatOfKind(LevelForm::Kind kind);

// The formats' endings as a list: ".dat, .cw, .lvl or .schematic" with
// `last` " or ", and without the dots where `dots` is false.
std::string ListOfEndings(std::string_view last, bool dots = true);
// Their names: "the game's level, ClassicWorld, server map or schematic".
std::string ListOfFormatNames();

// A level's cells taken out of the file's bytes, with what stands before
// and after them as its own parts: what Take does for most formats.
std::string TakeAsItIs(std::vector<uint8_t>& file, const FoundLevel& found, Level& level);

}  // namespace terrafix
