#include "formats/schematic.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "formats/bounded_reader.h"
#include "formats/later_blocks.h"
#include "formats/nbt.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

constexpr std::string_view RootName = "Schematic";
constexpr std::string_view ClassicMaterials = "Classic", LaterMaterials = "Alpha";
constexpr uint64_t LongestArray = 0x7FFFFFFF;  // NBT's lengths are signed 32-bit

FoundLevel Flawed(std::string why) {
  FoundLevel found;
  found.Flaw = "a schematic " + std::move(why);
  return found;
}

// A text from the file as a message may show it: printable ASCII, at most 20 characters.
std::string Shown(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, 20)) shown += c >= ' ' && c <= '~' ? c : '?';
  return text.size() > 20 ? shown + "..." : shown;
}

}  // namespace

FoundLevel FindSchematic(std::span<const uint8_t> file) {
  BoundedReader r{file};
  if (r.Number(1) != TagCompound || r.ShortText() != RootName || r.Failed) return {};
  FoundLevel found;
  int32_t width = 0, height = 0, length = 0;
  bool sized[3] = {false, false, false};
  bool blocks = false, data = false, materials = false;
  uint64_t dataCount = 0;
  std::string_view numbering;
  for (;;) {
    const uint8_t tag = r.Byte();
    if (r.Failed || tag == TagEnd) break;  // cut short: what was found so far counts
    const std::string_view name = r.ShortText();
    if (tag == TagShort && (name == "Width" || name == "Height" || name == "Length")) {
      const int32_t value = static_cast<int16_t>(r.Number(2));
      const int axis = name == "Width" ? 0 : name == "Height" ? 1 : 2;
      (axis == 0 ? width : axis == 1 ? height : length) = value;
      sized[axis] = !r.Failed;
      if (sized[axis] && value <= 0) return Flawed("of a side of " + std::to_string(value) + ": no level has one");
      continue;
    }
    if (tag == TagString && name == "Materials" && !materials) {
      found.MaterialsOffset = r.At;
      numbering = r.ShortText();
      materials = !r.Failed;
      if (materials && numbering != ClassicMaterials && numbering != LaterMaterials) {
        return Flawed("of Materials '" + Shown(numbering) + "', neither Classic nor Alpha");
      }
      continue;
    }
    const bool isBlocks = tag == TagByteArray && name == "Blocks" && !blocks;
    const bool isData = tag == TagByteArray && name == "Data" && !data;
    if (isBlocks || isData) {
      const uint64_t count = r.Number(4);
      if (r.Failed) break;
      if (count > LongestArray) return Flawed("whose " + std::string(name) + " has a negative length");
      if (isBlocks) {
        blocks = true;
        found.CellsOffset = r.At;
        found.CellCount = count;
        found.Whole = r.Has(count);
      } else {
        data = true;
        found.VariantsOffset = r.At;
        dataCount = count;
      }
      if (!r.Has(count)) break;
      r.Skip(count);
      continue;
    }
    if (tag == TagByteArray && name == "AddBlocks") found.WideBlocks = true;
    SkipNbtPayload(r, tag, 1);
  }
  if (r.Broken) return Flawed("whose tags nest deeper than " + std::to_string(NbtMaxDepth) + ", or are of no known type");
  const bool whole = !r.Failed;  // the compound's end was read
  if (!(sized[0] && sized[1] && sized[2])) return whole ? Flawed("without Width, Height and Length") : FoundLevel{};
  const uint64_t cells = uint64_t(width) * uint64_t(height) * uint64_t(length);
  if (!blocks) {
    if (whole) return Flawed("without Blocks");
    found.CellsOffset = 0;  // its start only: the cells are further on
    found.CellCount = cells;
  } else if (found.CellCount != cells) {
    return Flawed("of " + std::to_string(width) + " x " + std::to_string(height) + " x " + std::to_string(length) +
                  " whose Blocks holds " + WithThousands(found.CellCount) + " bytes");
  }
  if (data && dataCount != cells) {
    return Flawed("whose Data holds " + WithThousands(dataCount) + " bytes, not one a block (" + WithThousands(cells) +
                  ")");
  }
  found.Level = true;
  // A whole schematic ends where its compound does.
  if (found.Whole && !whole) found.Whole = false;
  found.Width = width, found.Length = length, found.Height = height;
  found.LaterNumbering = materials && numbering == LaterMaterials;
  if (!materials) found.MaterialsOffset = 0;
  // Data, a byte a block, stands before or after the cells, with the rest.
  found.LargestHeader = found.LargestTrailer = cells + LargestOwnPart;
  if (!data || found.VariantsOffset > found.CellsOffset) found.TrailerRoom = cells + LargestOwnPart;
  if (!data) found.VariantsOffset = 0;
  return found;
}

FileParts NewSchematicParts(const Level& level, const NewFileFacts&) {
  FileParts parts;
  NbtWriter before{parts.Before};
  before.Tag(TagCompound, RootName);
  before.String("Materials", ClassicMaterials);
  before.Short("Width", level.Width);
  before.Short("Height", level.Height);
  before.Short("Length", level.Length);
  before.Tag(TagByteArray, "Blocks");
  before.Number(level.Cells.size(), 4);
  NbtWriter after{parts.After};
  after.Tag(TagByteArray, "Data");
  after.Number(level.Cells.size(), 4);
  parts.After.resize(parts.After.size() + level.Cells.size(), 0);
  after.EmptyList("Entities", TagCompound);
  after.EmptyList("TileEntities", TagCompound);
  parts.After.push_back(TagEnd);
  return parts;
}

std::string TakeSchematic(std::vector<uint8_t>& file, const FoundLevel& found, Level& level) {
  if (!found.LaterNumbering) return TakeAsItIs(file, found, level);
  // Each block as the classic one closest to it, while its variant stands
  // where the file has it; the variants of the blocks that were are zero.
  uint8_t* cells = file.data() + found.CellsOffset;
  uint8_t* variants = found.VariantsOffset != 0 ? file.data() + found.VariantsOffset : nullptr;
  size_t mapped = 0, stone = 0;
  std::array<bool, 256> kinds{};
  for (size_t i = 0; i < found.CellCount; ++i) {
    const ClassicBlock classic = ClassicBlockFor(cells[i], variants ? variants[i] : 0);
    if (classic.Differs) {
      ++mapped;
      kinds[cells[i]] = true;
      stone += !classic.Close;
    }
    cells[i] = classic.Block;
  }
  if (variants) std::memset(variants, 0, found.CellCount);
  TakeAsItIs(file, found, level);
  // Materials says "Classic" now, in the part that holds it.
  const bool inHeader = found.MaterialsOffset < found.CellsOffset;
  std::vector<uint8_t>& part = inHeader ? level.Form.Header : level.Form.Trailer;
  const size_t at = inHeader ? found.MaterialsOffset : found.MaterialsOffset - found.CellsOffset - found.CellCount;
  std::vector<uint8_t> classic{0, static_cast<uint8_t>(ClassicMaterials.size())};
  classic.insert(classic.end(), ClassicMaterials.begin(), ClassicMaterials.end());
  const auto where = part.begin() + static_cast<std::ptrdiff_t>(at);
  part.erase(where, where + 2 + static_cast<std::ptrdiff_t>(LaterMaterials.size()));
  part.insert(part.begin() + static_cast<std::ptrdiff_t>(at), classic.begin(), classic.end());
  return "Mapped " + WithThousands(mapped) + " cells of " + std::to_string(std::ranges::count(kinds, true)) +
         " kinds the game lacks; " + WithThousands(stone) + " became stone; saves as Classic";
}

}  // namespace terrafix
