#include "formats/later_blocks.h"

#include <array>
#include <initializer_list>

namespace terrafix {

namespace {

constexpr uint8_t Air = 0, Stone = 1, Cobblestone = 4, Planks = 5, Water = 8, Lava = 10, Log = 17, Leaves = 18,
                  Glass = 20, Red = 21, Yellow = 23, White = 36, Gold = 41, DoubleSlab = 43, Slab = 44,
                  Bricks = 45;
// The classic game's extension blocks.
constexpr uint8_t Sandstone = 52, Snow = 53, Ice = 60, StoneBrick = 65, Brown = 57;
constexpr uint8_t Wool = 35, StainedClay = 159;

// Wool's 16 colours, by `data`, as the classic cloth closest to each.
constexpr uint8_t ClothOfColour[16] = {White, 22, 32, 27, Yellow, 24, 33, 35, 35, 27, 29, 28, Brown, 25, Red, 34};

struct Row {
  std::initializer_list<uint8_t> Later;
  uint8_t Classic;
};

// Every block of the later game that a row names, and the classic one it becomes.
constexpr Row Rows[] = {
    {{24}, Sandstone},
    {{22}, 28},                                           // lapis block: blue cloth
    {{21, 56, 129, 73, 74}, Stone},                       // lapis, diamond, emerald and redstone ores
    {{98}, StoneBrick},
    {{80}, Snow},
    {{79, 174}, Ice},
    {{171}, Air},                                         // carpet
    {{155}, White},                                       // quartz
    {{112}, Bricks},                                      // nether brick
    {{87}, Red},                                          // netherrack
    {{89}, Gold},                                         // glowstone
    {{169}, Glass},                                       // sea lantern
    {{5}, Planks},
    {{17, 162}, Log},
    {{18, 161}, Leaves},
    {{44, 126, 182}, Slab},
    {{43, 125, 181}, DoubleSlab},
    {{67, 108, 109, 114, 128, 156, 180}, Cobblestone},    // stairs of stone kinds
    {{53, 134, 135, 136, 163, 164}, Planks},              // stairs of wood
    {{102, 160}, Glass},                                  // glass panes
    {{85, 107, 183, 184, 185, 186, 187, 188, 189, 190, 191, 192}, Planks},  // wooden fences and gates
    {{113, 139}, Cobblestone},                            // nether brick fence, cobblestone wall
    {{64, 71, 96, 167, 193, 194, 195, 196, 197}, Air},    // doors and trapdoors
    {{50}, Air},                                          // torch
    {{63, 68}, Air},                                      // signs
    {{27, 28, 66, 157}, Air},                             // rails
    {{55, 69, 70, 72, 75, 76, 77, 93, 94, 131, 132, 143, 147, 148, 149, 150, 151, 178}, Air},  // redstone parts
    {{31, 32, 59, 81, 83, 104, 105, 106, 111, 115, 141, 142, 175}, Air},  // plants
    {{8, 9}, Water},
    {{10, 11}, Lava},
};

struct Mapping {
  std::array<uint8_t, 256> Classic{};
  std::array<bool, 256> Named{};
};

constexpr Mapping MakeMapping() {
  Mapping m;
  for (int b = 0; b < 256; ++b) {
    // 0-20 and 37-49 are the same blocks in both; the rest is stone unless a row names it.
    const bool same = b <= 20 || (b >= 37 && b <= 49);
    m.Classic[b] = same ? static_cast<uint8_t>(b) : Stone;
    m.Named[b] = same;
  }
  for (const Row& row : Rows) {
    for (uint8_t later : row.Later) m.Classic[later] = row.Classic, m.Named[later] = true;
  }
  m.Named[Wool] = m.Named[StainedClay] = true;
  return m;
}

constexpr Mapping TheMapping = MakeMapping();

}  // namespace

ClassicBlock ClassicBlockFor(uint8_t block, uint8_t data) {
  const uint8_t classic = block == Wool || block == StainedClay ? ClothOfColour[data & 15] : TheMapping.Classic[block];
  return {classic, classic != block, TheMapping.Named[block]};
}

}  // namespace terrafix
