// Server maps (.lvl): maps of both header forms load the right way round,
// go back with every byte of their header and sections as they came, and a
// level from elsewhere becomes a complete map. A level is told by its
// content, whatever its name.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "files/load_save_commands.h"
#include "formats/server_map.h"
#include "level_command_test.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

std::string Little(uint16_t n) { return {static_cast<char>(n & 0xFF), static_cast<char>(n >> 8)}; }
std::string Big(uint32_t n) {
  return {static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n)};
}

// The sections a server writes after the cells: custom blocks for the first
// of the map's chunks, two physics entries and a zone.
std::string Sections(int width, int length, int height) {
  const int chunks = ((width + 15) / 16) * ((length + 15) / 16) * ((height + 15) / 16);
  std::string custom = "\xBD";
  for (int i = 0; i < chunks; ++i) {
    custom += i == 0 ? '\x01' : '\x00';
    if (i == 0) custom += std::string(4096, '\x05');
  }
  const std::string physics = std::string("\xFC") + Big(2) + std::string("\x00\x00\x00\x10\x01\x02\x03\x04", 8) +
                              std::string("\x00\x00\x00\x20\x05\x06\x07\x08", 8);
  std::string zones = std::string("\x51") + Big(1);
  for (uint16_t bound : {0, 0, 0, 3, 3, 3}) zones += Big(bound).substr(2);
  zones += Big(1) + std::string("\x00\x0Bowner=alice", 13);
  return custom + physics + zones;
}

// A map with cells that tell their place, some of them marked as custom blocks.
std::string MapFile(int width, int length, int height, bool old, const std::string& after) {
  std::string file = old ? "" : Little(1874);
  for (int n : {width, length, height, width / 3, length / 4, height - 1}) file += Little(static_cast<uint16_t>(n));
  file += old ? "\x40\x10" : std::string("\x40\x10\x01\x02", 4);  // heading, pitch, permissions
  for (int i = 0; i < width * length * height; ++i) file += static_cast<char>(i % 101 == 0 ? 163 : i % 66);
  return file + after;
}

// A Save answers y where it would replace a file.
class ServerMaps : public testing::LevelCommandTest {
 protected:
  bool Save(const std::string& typed) { return LevelCommandTest::Save(typed, "y\rk"); }
};

// Maps of both forms, with and without sections: every cell where it
// belongs; saved after one cell is painted, the file differs in that cell alone.
TEST_F(ServerMaps, AMapGoesBackWithItsHeaderAndSectionsAsTheyCame) {
  struct Case {
    int Width, Length, Height;
    bool Old, WithSections;
    size_t CellsOffset;
  };
  for (const Case& c : {Case{64, 48, 40, false, true, 18}, Case{20, 30, 17, true, true, 14},
                        Case{33, 7, 5, false, false, 18}, Case{16, 16, 16, true, false, 14}}) {
    SCOPED_TRACE(std::to_string(c.Width) + (c.Old ? " old" : " new"));
    const std::string original =
        MapFile(c.Width, c.Length, c.Height, c.Old, c.WithSections ? Sections(c.Width, c.Length, c.Height) : "");
    testing::WriteGzipped("castle.lvl", original);
    ASSERT_TRUE(Load("castle.LVL")) << testing::TextAt(1, 40, 92);
    EXPECT_EQ(std::tie(Grid->Width, Grid->Length, Grid->Height), std::tie(c.Width, c.Length, c.Height));
    EXPECT_EQ(Grid->Form.Of, LevelForm::Kind::ServerMap);
    // The map's cell (x, up, plan) at (up x length + plan) x width + x is the editor's (x, plan, up).
    const int x = c.Width - 2, plan = c.Length - 1, up = c.Height - 3;
    const size_t index = (size_t(up) * c.Length + plan) * c.Width + x;
    EXPECT_EQ(ReadCell(*Grid, x, plan, up), uint8_t(original[c.CellsOffset + index]));
    EXPECT_EQ(ReadCell(*Grid, 0, 0, 0), 163) << "a custom block keeps its mark";
    WriteCell(*Grid, x, plan, up, 42);
    ASSERT_TRUE(Save("castle.lvl")) << testing::TextAt(1, 40, 92);
    std::string expected = original;
    expected[c.CellsOffset + index] = 42;
    EXPECT_TRUE(testing::Gunzip("castle.lvl") == expected);
    fs::remove("castle.lvl");
  }
}

// A level from elsewhere saved as a map gets a whole header of its own and
// no sections; loaded back it is the same level.
TEST_F(ServerMaps, ALevelFromElsewhereBecomesACompleteMap) {
  LayNewTerrain(*Grid);
  WriteCell(*Grid, 3, 4, 5, 66);
  ASSERT_TRUE(Save("fresh.lvl")) << testing::TextAt(1, 40, 92);
  const std::string file = testing::Gunzip("fresh.lvl");
  std::string header = Little(1874) + Little(256) + Little(256) + Little(64);
  header += Little(128) + Little(128) + Little(32) + std::string(4, '\0');  // the middle, on the grass
  EXPECT_EQ(file.substr(0, 18), header);
  EXPECT_EQ(file.size(), 18u + 256 * 256 * 64);
  auto saved = std::move(Grid);
  Grid = std::make_unique<Level>();
  ASSERT_TRUE(Load("fresh.lvl")) << testing::TextAt(1, 40, 92);
  EXPECT_TRUE(Grid->Cells == saved->Cells);

  // A map of another size, saved as the game's level and as a world, comes back as it was.
  testing::WriteGzipped("small.lvl", MapFile(40, 20, 10, false, Sections(40, 20, 10)));
  ASSERT_TRUE(Load("small.lvl"));
  const std::vector<uint8_t> cells = Grid->Cells;
  for (const char* name : {"small.dat", "small.cw"}) {
    ASSERT_TRUE(Save(name)) << testing::TextAt(1, 40, 92);
    Grid = std::make_unique<Level>();
    ASSERT_TRUE(Load(name)) << name << testing::TextAt(1, 40, 92);
    EXPECT_EQ(std::tie(Grid->Width, Grid->Length, Grid->Height), std::make_tuple(40, 20, 10));
    EXPECT_TRUE(Grid->Cells == cells) << name;
  }
}

// What is not a map is refused with a message naming the cause, and the
// level the editor had stays.
TEST_F(ServerMaps, WhatIsNoMapIsRefusedAndTheLevelStays) {
  const std::string map = MapFile(20, 30, 17, true, "");
  std::string spawnOutside = map;
  spawnOutside[6] = 30;  // x 30 on a map 20 wide
  struct Case {
    const char* Label;
    std::string File;
    std::string Says = NotAnyLevelMessage();
  };
  const Case cases[] = {
      {"cut short", map.substr(0, map.size() - 1), CutShortMessage("bad.lvl", 20, 30, 17)},
      {"older form, spawn outside", spawnOutside},
      {"older form, no section after the cells", map + "xyz"},
      {"a size no level has", Little(1874) + Little(0) + Little(4) + Little(4) + std::string(100, '\0')},
      {"text", std::string(5000, 'a')},
  };
  LayNewTerrain(*Grid);
  const std::vector<uint8_t> cells = Grid->Cells;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Label);
    testing::WriteGzipped("bad.lvl", c.File);
    EXPECT_FALSE(Load("bad.lvl\rk"));
    EXPECT_EQ(testing::TextAt(1, 40, 92), c.Says);
    EXPECT_TRUE(Grid->Cells == cells);
  }
}

// A level is told by its content: a map named .dat, a map renamed with no
// known ending and opened from the command line, all load.
TEST_F(ServerMaps, ALevelIsToldByItsContentWhateverItsName) {
  const std::string map = MapFile(20, 30, 17, false, Sections(20, 30, 17));
  testing::WriteGzipped("map.dat", map);
  ASSERT_TRUE(Load("map")) << testing::TextAt(1, 40, 92);
  EXPECT_EQ(Grid->Form.Of, LevelForm::Kind::ServerMap);
  testing::WriteGzipped("castle.backup", map);
  const LevelName renamed = NameOfLevelFile("castle.backup");
  EXPECT_EQ(renamed.Compressed(), "castle.backup");
  Grid = std::make_unique<Level>();
  testing::FreshScreen();
  ASSERT_TRUE(LoadLevel(renamed, *Grid, Header)) << testing::TextAt(1, 40, 92);
  EXPECT_EQ(Grid->Width, 20);
  // A plain file named so is not taken for a level: the name still means castle.dat.
  testing::WriteWholeFile("notes", "not compressed");
  EXPECT_EQ(NameOfLevelFile("notes").Compressed(), "notes.dat");
}

}  // namespace
}  // namespace terrafix
