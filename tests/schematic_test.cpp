// Schematics (.schematic) against prismarine-nbt, a reader and writer of NBT
// that no one here wrote: schematics it writes load, Classic cell for cell
// and Alpha mapped to the classic blocks, and what the editor saves it reads,
// with every tag the editor does not own as it came.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "files/load_save_commands.h"
#include "formats/later_blocks.h"
#include "level_command_test.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

std::string Node(const std::string& arguments) {
  return testing::CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                                "/schematic.js' " + arguments);
}

// The tags but Blocks and Data, as the reader prints them.
std::string TagsOf(const std::string& read) { return read.substr(0, read.find("\nblocks=")); }

using Schematics = testing::LevelCommandTest;

// A Classic schematic of three different sides, its tags in either order:
// loaded cell for cell (x Width, y Length, up Height), a cell painted,
// saved; only Blocks is new.
TEST_F(Schematics, AClassicOneGoesBackWithEveryTagItCameWith) {
  for (const char* order : {"", "datafirst"}) {
    SCOPED_TRACE(order);
    Node(std::string("write build.schematic 5 7 11 ") + order);
    const size_t painted = (6 * 11 + 10) * 5 + 4;  // the far top corner: x 4, height 6, length 10
    const std::string before = Node("read build.schematic 3 " + std::to_string(painted));
    ASSERT_TRUE(Load("build.schematic")) << testing::TextAt(1, 40, 92);
    EXPECT_EQ(std::tie(Grid->Width, Grid->Length, Grid->Height), std::make_tuple(5, 11, 7));
    EXPECT_EQ(ReadCell(*Grid, 3, 0, 0), 3);
    EXPECT_EQ(ReadCell(*Grid, 4, 10, 6), int(painted % 47));
    EXPECT_EQ(ReadCell(*Grid, 1, 2, 3), int(((3 * 11 + 2) * 5 + 1) % 47));
    WriteCell(*Grid, 4, 10, 6, 49);
    ASSERT_TRUE(Save("build.schematic", "y\rk")) << testing::TextAt(1, 40, 92);
    const std::string after = Node("read build.schematic 3 " + std::to_string(painted));
    EXPECT_EQ(TagsOf(after), TagsOf(before)) << "every tag but Blocks as it came, in its order";
    EXPECT_NE(after.find("blocks=385 at=3,49\ndata=385 nonzero=360"), std::string::npos) << after;
  }
}

// An Alpha schematic: each block mapped to the closest classic one by the
// table, what was mapped said on row 1; saved, it is a Classic one with its
// Data zero and every other tag as it came.
TEST_F(Schematics, AnAlphaOneIsMappedAndSavedAsClassic) {
  Node("write later.schematic 5 7 11 alpha");
  ASSERT_TRUE(Load("later.schematic\rk")) << testing::TextAt(1, 40, 92);
  // The pattern of later blocks, i % 14, with Data i % 16 (schematic.js).
  constexpr int Later[] = {1, 35, 24, 159, 98, 9, 11, 89, 23, 200, 64, 5, 17, 2};
  size_t mapped = 0, stone = 0;
  for (int i = 0; i < 5 * 7 * 11; ++i) {
    const ClassicBlock classic = ClassicBlockFor(static_cast<uint8_t>(Later[i % 14]), static_cast<uint8_t>(i % 16));
    ASSERT_EQ(Grid->Cells[i], classic.Block) << "cell " << i;
    mapped += classic.Differs;
    stone += classic.Differs && !classic.Close;
  }
  // All but the stone, planks, log and grass that both games have, and the
  // two grey wools that are classic cloth 35 as they are; stone: the
  // dispenser and block 200.
  EXPECT_EQ(mapped, 273u);
  EXPECT_EQ(stone, 54u);
  EXPECT_EQ(testing::TextAt(1, 40, 92), "Mapped 273 cells of 10 kinds the game lacks; 54 became stone; saves as Classic" +
                                            std::string(14, ' '));
  ASSERT_TRUE(Save("later.schematic", "y\rk"));
  const std::string after = Node("read later.schematic 1");
  EXPECT_NE(after.find("[\"Materials\",{\"type\":\"string\",\"value\":\"Classic\"}]"), std::string::npos) << after;
  EXPECT_NE(after.find("\"WEOriginZ\",{\"type\":\"int\",\"value\":300}"), std::string::npos) << after;
  EXPECT_NE(after.find("blocks=385 at=22\ndata=385 nonzero=0"), std::string::npos) << "orange wool, Data zero: " << after;
}

// A level saved as a new schematic is written as the game's client writes
// one, tags in its order; loaded back, it is the same level.
TEST_F(Schematics, ALevelSavedAsANewOneAndBack) {
  Level level;
  level.Width = 3, level.Length = 4, level.Height = 2;
  level.Cells.assign(24, 0);
  level.TopPlane.assign(12, 0);
  for (size_t i = 0; i < level.Cells.size(); ++i) level.Cells[i] = static_cast<uint8_t>(i * 9);
  *Grid = level;
  ASSERT_TRUE(Save("new.schematic"));
  EXPECT_EQ(Node("read new.schematic 1 23"),
            "Schematic Materials,Width,Height,Length,Blocks,Data,Entities,TileEntities "
            "[[\"Materials\",{\"type\":\"string\",\"value\":\"Classic\"}],[\"Width\",{\"type\":\"short\",\"value\":3}],"
            "[\"Height\",{\"type\":\"short\",\"value\":2}],[\"Length\",{\"type\":\"short\",\"value\":4}],"
            "[\"Entities\",{\"type\":\"list\",\"value\":{\"type\":\"compound\",\"value\":[]}}],"
            "[\"TileEntities\",{\"type\":\"list\",\"value\":{\"type\":\"compound\",\"value\":[]}}]]\n"
            "blocks=24 at=9,207\ndata=24 nonzero=0\n");
  *Grid = Level{};
  ASSERT_TRUE(Load("new.schematic"));
  EXPECT_EQ(std::tie(Grid->Width, Grid->Length, Grid->Height), std::make_tuple(3, 4, 2));
  EXPECT_TRUE(Grid->Cells == level.Cells);
}

// Schematics that break the format's rules are refused with why, on row 1
// and on standard error; the level in the editor stays, no file is written.
TEST_F(Schematics, BrokenOnesAreRefusedWithWhy) {
  struct Case {
    const char* Flaw;
    std::string Says;
  };
  const Case cases[] = {
      {"shortblocks", "bad.schematic: a schematic of 5 x 7 x 11 whose Blocks holds 384 bytes"},
      {"negative", "bad.schematic: a schematic of a side of -5: no level has one"},
      {"noblocks", "bad.schematic: a schematic without Blocks"},
      {"shortdata", "bad.schematic: a schematic whose Data holds 384 bytes, not one a block (385)"},
      {"materials", "bad.schematic: a schematic of Materials 'Pocket', neither Classic nor Alpha"},
      {"deep", "bad.schematic: a schematic whose tags nest deeper than 64, or are of no known type"},
      {"add", "bad.schematic holds blocks numbered past 255; the editor keeps one byte a cell"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Flaw);
    Node(std::string("write bad.schematic 5 7 11 ") + c.Flaw);
    WriteCell(*Grid, 1, 2, 3, 9);
    const auto before = std::make_unique<Level>(*Grid);
    EXPECT_FALSE(Load("bad.schematic\rk"));
    std::string says = c.Says;
    says.resize(92, ' ');
    EXPECT_EQ(testing::TextAt(1, 40, 92), says);
    EXPECT_TRUE(Grid->Cells == before->Cells);
  }
  size_t files = 0;
  for (const auto& entry : fs::directory_iterator(".")) files += entry.is_regular_file();
  EXPECT_EQ(files, 2u) << "headers.dat and bad.schematic alone";
}

// The mapping of the later game's blocks, as a table of the builders'
// mapping: the same numbers, the named rows, the colours, and stone for
// the rest.
TEST(LaterBlocks, EachBecomesTheClassicBlockClosestToIt) {
  struct Row {
    int Block, Data, Classic;
    bool Differs, Close;
  };
  const Row rows[] = {
      {0, 0, 0, false, true},     {1, 5, 1, false, true},     {20, 0, 20, false, true},   {37, 0, 37, false, true},
      {49, 0, 49, false, true},   {8, 0, 8, false, true},     {9, 0, 8, true, true},      {11, 0, 10, true, true},
      {5, 3, 5, false, true},     {17, 2, 17, false, true},   {162, 1, 17, true, true},   {161, 0, 18, true, true},
      {24, 0, 52, true, true},    {22, 0, 28, true, true},    {21, 0, 1, true, true},     {98, 0, 65, true, true},
      {80, 0, 53, true, true},    {79, 0, 60, true, true},    {174, 0, 60, true, true},   {171, 4, 0, true, true},
      {155, 0, 36, true, true},   {112, 0, 45, true, true},   {87, 0, 21, true, true},    {89, 0, 41, true, true},
      {169, 0, 20, true, true},   {126, 0, 44, true, true},   {125, 0, 43, true, true},   {67, 0, 4, true, true},
      {53, 0, 5, true, true},     {102, 0, 20, true, true},   {160, 9, 20, true, true},   {85, 0, 5, true, true},
      {139, 0, 4, true, true},    {64, 0, 0, true, true},     {50, 0, 0, true, true},     {63, 0, 0, true, true},
      {66, 0, 0, true, true},     {55, 0, 0, true, true},     {31, 1, 0, true, true},     {56, 0, 1, true, true},
      {129, 0, 1, true, true},    {73, 0, 1, true, true},     {10, 0, 10, false, true},   {23, 0, 1, true, false},
      {54, 0, 1, true, false},    {200, 0, 1, true, false},   {255, 0, 1, true, false},
  };
  for (const Row& row : rows) {
    const ClassicBlock classic = ClassicBlockFor(static_cast<uint8_t>(row.Block), static_cast<uint8_t>(row.Data));
    EXPECT_EQ(std::make_tuple(int(classic.Block), classic.Differs, classic.Close),
              std::make_tuple(row.Classic, row.Differs, row.Close))
        << "block " << row.Block << ":" << row.Data;
  }
  // Wool and stained clay by their colour.
  constexpr int Cloth[16] = {36, 22, 32, 27, 23, 24, 33, 35, 35, 27, 29, 28, 57, 25, 21, 34};
  for (int data = 0; data < 16; ++data) {
    EXPECT_EQ(ClassicBlockFor(35, static_cast<uint8_t>(data)).Block, Cloth[data]) << "wool " << data;
    EXPECT_EQ(ClassicBlockFor(159, static_cast<uint8_t>(data)).Block, Cloth[data]) << "clay " << data;
  }
}

}  // namespace
}  // namespace terrafix
