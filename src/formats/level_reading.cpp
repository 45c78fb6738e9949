#include "formats/level_reading.h"

#include <algorithm>

#include "formats/level_file.h"
#include "platform/machine/machine_memory.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

// A level of one of the formats, as far as its reader walked it.
struct Identified {
  const LevelFormat* Format = nullptr;  // null: none of them
  FoundLevel Found;
};

// The first format whose reader finds a level in the bytes, or tells that
// they are a file of it that breaks its rules; with `known`, that format's.
Identified Identify(std::span<const uint8_t> file, const LevelFormat* known) {
  for (const LevelFormat& format : LevelFormats()) {
    if (known && known != &format) continue;
    FoundLevel found = format.Find(file);
    if (found.Level || !found.Flaw.empty()) return {&format, std::move(found)};
  }
  return {};
}

size_t TrailerBytes(const FoundLevel& found, size_t fileSize) {
  return fileSize - std::min(fileSize, found.CellsOffset + found.CellCount);
}

LevelReading Refused(LevelRefusal refusal, std::string why, const FoundLevel& found = {}) {
  LevelReading reading;
  reading.Refusal = refusal;
  reading.Why = std::move(why);
  reading.Width = found.Width, reading.Length = found.Length, reading.Height = found.Height;
  return reading;
}

LevelReading NotALevel() {
  return Refused(LevelRefusal::NotALevel, "not a level of any format the editor knows (the layout of " +
                                              std::string(HeaderTemplateFile) + ", " + ListOfFormatNames() + ")");
}

// A world's BlockArray2 holds the upper byte of each block: the editor would
// lose it, and a save would pair the cells changed with upper bytes stale.
LevelReading WideBlocks(const Identified& level) {
  return Refused(LevelRefusal::WideBlocks,
                 level.Format->Kind == LevelForm::Kind::ClassicWorld
                     ? "the world holds blocks numbered past 255 (BlockArray2); the editor keeps one byte a cell"
                     : "the " + std::string(level.Format->Name) +
                           " holds blocks numbered past 255 (AddBlocks); the editor keeps one byte a cell",
                 level.Found);
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

// Refusals of a level found, before its cells are taken; None when it may
// load. A start that ends before the cells tells no header's length yet.
LevelReading Check(const Identified& level, size_t fileSize, bool cutShort) {
  const FoundLevel& found = level.Found;
  if (!found.Flaw.empty()) return Refused(LevelRefusal::Flawed, found.Flaw, found);
  if (found.WideBlocks) return WideBlocks(level);
  if (!IsLevelSize(found.Width, found.Length, found.Height)) {
    return Refused(LevelRefusal::NotALevel, "a level of a size no level has", found);
  }
  if (const uint64_t needs = LevelMemory(found.Width, found.Length, found.Height); needs > MemoryForALevel()) {
    return Refused(LevelRefusal::TooLargeForMemory,
                   "a level of " + std::to_string(found.Width) + " x " + std::to_string(found.Length) + " x " +
                       std::to_string(found.Height) + ": it needs " + MemoryText(needs) + ", more than this machine has",
                   found);
  }
  if (found.CellsOffset > found.LargestHeader) return TooLarge(found.CellsOffset, found.LargestHeader, cutShort);
  const size_t trailer = found.CellsOffset == 0 ? 0 : TrailerBytes(found, fileSize);
  if (!cutShort && trailer > found.LargestTrailer) return TooLarge(trailer, found.LargestTrailer, false);
  return {};
}

}  // namespace

LevelReading SizeFromStart(std::span<const uint8_t> bytes, const HeaderTemplate& header, LevelStart& start) {
  start = {};
  if (HeaderMatches(bytes, header)) return {};
  const Identified level = Identify(bytes, nullptr);
  if (!level.Format) return {};  // read as far as a level of the template's size goes
  LevelReading checked = Check(level, bytes.size(), true);
  const FoundLevel& found = level.Found;
  if (checked.Refusal == LevelRefusal::None && found.Level) {
    // Where the cells are not reached yet, they end at most their format's
    // largest header in.
    const size_t cellsAt = found.CellsOffset != 0 ? found.CellsOffset : found.LargestHeader;
    start = {cellsAt + found.CellCount, found.LargestTrailer, std::min(found.LargestTrailer, found.TrailerRoom)};
  }
  checked.Format = level.Format;
  checked.Width = found.Width, checked.Length = found.Length, checked.Height = found.Height;
  return checked;
}

LevelReading ReadLevelBytes(std::vector<uint8_t>& file, const HeaderTemplate& header, Level& level,
                            const LevelFormat* known) {
  if (!known && HeaderMatches(file, header)) {
    ReadTemplateLevel(file, level);
    return {};
  }
  const Identified found = Identify(file, known);
  if (!found.Format) return NotALevel();
  if (found.Found.Flaw.empty() && (!found.Found.Whole || found.Found.CellsOffset == 0)) {
    return Refused(LevelRefusal::CutShort, "cut short: the file ends before the cells of its level do", found.Found);
  }
  LevelReading checked = Check(found, file.size(), false);
  checked.Format = found.Format;
  if (checked.Refusal != LevelRefusal::None) return checked;
  const LevelFormat& format = *found.Format;
  checked.Said = format.Take ? format.Take(file, found.Found, level) : TakeAsItIs(file, found.Found, level);
  level.Form.Of = format.Kind;
  checked.Width = level.Width, checked.Length = level.Length, checked.Height = level.Height;
  return checked;
}

LevelReading TellTooLongLevel(std::span<const uint8_t> start) {
  const Identified level = Identify(start, nullptr);
  if (!level.Format || !level.Found.Level) return Refused(LevelRefusal::NotALevel, "more than a level holds");
  const FoundLevel& found = level.Found;
  LevelReading told = !found.Flaw.empty() ? Refused(LevelRefusal::Flawed, found.Flaw, found)
                      : found.WideBlocks  ? WideBlocks(level)
                      : found.CellsOffset > found.LargestHeader || found.CellsOffset == 0
                          ? TooLarge(std::max(found.CellsOffset, start.size()), found.LargestHeader, true)
                          : TooLarge(TrailerBytes(found, start.size()), found.LargestTrailer, true);
  told.Format = level.Format;
  return told;
}

}  // namespace terrafix
