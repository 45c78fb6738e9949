#include "formats/level_file.h"

#include <algorithm>
#include <cstring>

#include "formats/game_level.h"
#include "platform/files/byte_files.h"

namespace terrafix {

namespace {

void PutInt(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

}  // namespace

std::vector<uint8_t> TemplateHeaderFor(const Level& level, const HeaderTemplate& header) {
  std::vector<uint8_t> before(header.HeaderBytes.begin(), header.HeaderBytes.begin() + HeaderLength);
  if (level.Width == NewLevelWidth && level.Length == NewLevelLength && level.Height == NewLevelHeight) return before;
  // The game's level object names its x extent `width`, its y extent
  // `height` and its vertical extent `depth`.
  const GameLevel game = ReadGameLevel(before);
  if (!game.Found || game.CellsOffset != before.size()) return before;
  PutInt(before, game.WidthAt, static_cast<uint32_t>(level.Width));
  PutInt(before, game.HeightAt, static_cast<uint32_t>(level.Length));
  PutInt(before, game.DepthAt, static_cast<uint32_t>(level.Height));
  PutInt(before, game.CellsOffset - 4, static_cast<uint32_t>(level.Cells.size()));
  return before;
}

FileParts NewGameLevelParts(const Level& level, const NewFileFacts& facts) {
  return {TemplateHeaderFor(level, facts.Header),
          std::vector<uint8_t>(facts.Header.TrailerBytes.begin(), facts.Header.TrailerBytes.end())};
}

void WriteAround(int slot, std::span<const uint8_t> before, std::span<const uint8_t> cells,
                 std::span<const uint8_t> after) {
  const int64_t cellsPosition = static_cast<int64_t>(before.size()) + 1;
  WriteBytesAt(slot, 1, before);
  WriteBytesAt(slot, cellsPosition, cells);
  WriteBytesAt(slot, cellsPosition + static_cast<int64_t>(cells.size()), after);
}

void WriteLevelFile(int slot, const Level& level, const HeaderTemplate& header) {
  if (level.Form.Of != LevelForm::Kind::Template) {
    return WriteAround(slot, level.Form.Header, level.Cells, level.Form.Trailer);
  }
  WriteAround(slot, TemplateHeaderFor(level, header), level.Cells, header.TrailerBytes);
}

bool HeaderMatches(std::span<const uint8_t> file, const HeaderTemplate& header) {
  for (size_t i = 0; i < HeaderLength; ++i) {
    if ((i < file.size() ? file[i] : 0) != header.HeaderBytes[i]) return false;
  }
  return true;
}

void ReadTemplateLevel(std::span<const uint8_t> file, Level& level) {
  level = Level{};
  const size_t available = file.size() > CellsOffset ? std::min(file.size() - CellsOffset, level.Cells.size()) : 0;
  if (available > 0) std::memcpy(level.Cells.data(), file.data() + CellsOffset, available);
}

void TakeOwnLevel(std::vector<uint8_t>& file, size_t cellsOffset, int32_t width, int32_t length, int32_t height,
                  Level& level) {
  const size_t cells = static_cast<size_t>(width) * static_cast<size_t>(length) * static_cast<size_t>(height);
  level.Width = width, level.Length = length, level.Height = height;
  level.Form.TimeOffset = 0;
  level.Form.Header.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cellsOffset));
  level.Form.Trailer.assign(file.begin() + static_cast<std::ptrdiff_t>(cellsOffset + cells), file.end());
  // The cells move to the front of the file's own memory: no second copy of
  // a large level is made.
  std::memmove(file.data(), file.data() + cellsOffset, cells);
  file.resize(cells);
  level.Cells = std::move(file);
  file = {};
  level.TopPlane.assign(PlanCells(level), 0);
  level.Name.clear();
}

}  // namespace terrafix
