#include "editor/box_edits.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/machine/machine_memory.h"

namespace terrafix {

namespace {

uint8_t* RowOf(Level& level, const CellBox& box, int32_t y, int32_t z) {
  return &level.Cells[CellIndex(level, box.X0, y, z)];
}

// Room for `bytes` in `v`, on large pages where it is large (a box of the
// whole level is hundreds of megabytes: a few hundred page faults, not tens
// of thousands).
void MakeRoom(std::vector<uint8_t>& v, size_t bytes) {
  v.reserve(bytes);
  AdviseLargePages(v.data(), v.capacity());
}

// A step over `box` whose values are the box's cells as they are now.
UndoStep KeepingValues(Level& level, const CellBox& box) {
  UndoStep step = BoxStep(level, box);
  MakeRoom(step.BoxValues, BoxCells(box));
  const size_t width = static_cast<size_t>(BoxWidth(box));
  for (int32_t z = box.Z0; z <= box.Z1; ++z) {
    for (int32_t y = box.Y0; y <= box.Y1; ++y) {
      const uint8_t* row = RowOf(level, box, y, z);
      step.BoxValues.insert(step.BoxValues.end(), row, row + width);
    }
  }
  return step;
}

// A step over `box` whose bits are all clear, changing `from` to `to`.
UndoStep WithBits(const Level& level, const CellBox& box, uint8_t from, uint8_t to) {
  UndoStep step = BoxStep(level, box);
  MakeRoom(step.BoxBits, (BoxCells(box) + 7) / 8);
  step.BoxBits.assign((BoxCells(box) + 7) / 8, 0);
  step.BitsOther = from;
  step.BitsNow = to;
  return step;
}

// Eight marks at bit `at` of clear bits.
void PutEightBits(std::vector<uint8_t>& bits, size_t at, uint8_t marks) {
  const unsigned shift = at % 8;
  bits[at / 8] = static_cast<uint8_t>(bits[at / 8] | (marks << shift));
  if (shift != 0) bits[at / 8 + 1] = static_cast<uint8_t>(bits[at / 8 + 1] | (marks >> (8 - shift)));
}

// Bits [first, first + count) set.
void SetBits(std::vector<uint8_t>& bits, size_t first, size_t count) {
  size_t at = first;
  const size_t end = first + count;
  for (; at < end && at % 8 != 0; ++at) SetBoxBit(bits, at);
  if (end - at >= 8) {
    std::memset(&bits[at / 8], 0xFF, (end - at) / 8);
    at += (end - at) / 8 * 8;
  }
  for (; at < end; ++at) SetBoxBit(bits, at);
}

// Whether any of the eight bytes at `cells` is `tile`: the bytes XORed with
// the tile are zero where they hold it, and a zero byte is told by the
// borrow it takes from its top bit when one is subtracted from each.
bool AnyOfEight(const uint8_t* cells, uint8_t tile) {
  constexpr uint64_t Ones = 0x0101010101010101, Highs = 0x8080808080808080;
  uint64_t eight;
  std::memcpy(&eight, cells, sizeof eight);
  const uint64_t v = eight ^ (Ones * tile);
  return ((v - Ones) & ~v & Highs) != 0;
}

}  // namespace

UndoStep FillBox(Level& level, const CellBox& box, uint8_t tile) {
  UndoStep step = KeepingValues(level, box);
  const size_t width = static_cast<size_t>(BoxWidth(box));
  for (int32_t z = box.Z0; z <= box.Z1; ++z) {
    for (int32_t y = box.Y0; y <= box.Y1; ++y) std::memset(RowOf(level, box, y, z), tile, width);
  }
  return step;
}

UndoStep ReplaceInBox(Level& level, const CellBox& box, uint8_t from, uint8_t to, size_t& changed) {
  UndoStep step = WithBits(level, box, from, to);
  changed = 0;
  if (from == to) return step;
  const int32_t width = BoxWidth(box);
  size_t bit = 0;
  for (int32_t z = box.Z0; z <= box.Z1; ++z) {
    for (int32_t y = box.Y0; y <= box.Y1; ++y) {
      uint8_t* row = RowOf(level, box, y, z);
      int32_t x = 0;
      for (; x + 8 <= width; x += 8, bit += 8) {
        if (!AnyOfEight(row + x, from)) continue;  // most often: nothing to do
        uint8_t marks = 0;
        for (int k = 0; k < 8; ++k) {
          if (row[x + k] != from) continue;
          row[x + k] = to;
          marks = static_cast<uint8_t>(marks | (1u << k));
          ++changed;
        }
        PutEightBits(step.BoxBits, bit, marks);
      }
      for (; x < width; ++x, ++bit) {
        if (row[x] != from) continue;
        row[x] = to;
        SetBoxBit(step.BoxBits, bit);
        ++changed;
      }
    }
  }
  return step;
}

UndoStep FloodFill(Level& level, const CellBox& r, int32_t x, int32_t y, int32_t z, uint8_t tile, size_t& changed) {
  const uint8_t old = level.Cells[CellIndex(level, x, y, z)];
  UndoStep step = WithBits(level, r, old, tile);
  changed = 0;
  if (old == tile) return step;
  // A run of cells along x, filled already, whose rows beside are still to
  // be looked at.
  struct Span {
    int32_t Y, Z, First, Last;
  };
  const size_t regionWidth = static_cast<size_t>(BoxWidth(r)), regionLength = static_cast<size_t>(BoxLength(r));
  // Fills the run of the old tile through (at, y, z) as far as it goes in the region.
  auto fill = [&](int32_t at, int32_t y, int32_t z) {
    uint8_t* row = &level.Cells[CellIndex(level, 0, y, z)];
    int32_t first = at, last = at;
    while (first > r.X0 && row[first - 1] == old) --first;
    while (last < r.X1 && row[last + 1] == old) ++last;
    const size_t count = static_cast<size_t>(last - first + 1);
    std::memset(row + first, tile, count);
    const size_t bit = ((static_cast<size_t>(z - r.Z0) * regionLength + static_cast<size_t>(y - r.Y0)) * regionWidth) +
                       static_cast<size_t>(first - r.X0);
    SetBits(step.BoxBits, bit, count);
    changed += count;
    return Span{y, z, first, last};
  };
  std::vector<Span> waiting;
  try {
    waiting.push_back(fill(x, y, z));
    while (!waiting.empty()) {
      const Span s = waiting.back();
      waiting.pop_back();
      struct Row {
        int32_t Y, Z;
      };
      const Row beside[] = {{s.Y - 1, s.Z}, {s.Y + 1, s.Z}, {s.Y, s.Z - 1}, {s.Y, s.Z + 1}};
      for (const Row& n : beside) {
        if (n.Y < r.Y0 || n.Y > r.Y1 || n.Z < r.Z0 || n.Z > r.Z1) continue;
        const uint8_t* next = &level.Cells[CellIndex(level, 0, n.Y, n.Z)];
        // Most often the row beside holds the old tile nowhere along the
        // span (filled already, or solid): a plain loop with no branch,
        // which the compiler makes wide, says so.
        uint8_t any = 0;
        for (int32_t at = s.First; at <= s.Last; ++at) any |= static_cast<uint8_t>(next[at] == old);
        if (!any) continue;
        // Each run of the old tile there is filled now (so that no other
        // span finds it again) and waits to have its own rows looked at.
        for (int32_t at = s.First; at <= s.Last; ++at) {
          if (next[at] != old) continue;
          waiting.push_back(fill(at, n.Y, n.Z));
          at = waiting.back().Last;
        }
      }
    }
  } catch (const std::bad_alloc&) {
    // The list of spans ran out of memory: the cells filled so far go back.
    PutBitsOther(step, level);
    throw;
  }
  return step;
}

bool PastedPart(const Level& level, const Clipboard& clip, int32_t x, int32_t y, int32_t z, CellBox& part) {
  const CellBox whole{x, y, z, x + clip.Width - 1, y + clip.Length - 1, z + clip.Height - 1};
  return !ClipboardEmpty(clip) && IntersectBoxes(whole, WholeLevel(level), part);
}

UndoStep PasteClipboard(Level& level, const Clipboard& clip, int32_t x, int32_t y, int32_t z, bool keepUnderAir,
                        const CellBox& part) {
  UndoStep step = KeepingValues(level, part);
  const size_t width = static_cast<size_t>(BoxWidth(part));
  for (int32_t cz = part.Z0; cz <= part.Z1; ++cz) {
    for (int32_t cy = part.Y0; cy <= part.Y1; ++cy) {
      const size_t from = (static_cast<size_t>(cz - z) * static_cast<size_t>(clip.Length) + static_cast<size_t>(cy - y)) *
                              static_cast<size_t>(clip.Width) +
                          static_cast<size_t>(part.X0 - x);
      const uint8_t* source = clip.Cells.data() + from;
      uint8_t* row = RowOf(level, part, cy, cz);
      if (!keepUnderAir) {
        std::memcpy(row, source, width);
        continue;
      }
      for (size_t i = 0; i < width; ++i) row[i] = source[i] != 0 ? source[i] : row[i];
    }
  }
  return step;
}

}  // namespace terrafix
