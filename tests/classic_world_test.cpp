// ClassicWorld levels (.cw) against prismarine-nbt, a reader and writer of
// NBT that no one here wrote: worlds it writes load, and what the editor
// saves it reads, with every tag the editor does not own as it came.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "files/load_save_commands.h"
#include "formats/classic_world.h"
#include "level_command_test.h"
#include "memory_screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;

std::string Node(const std::string& arguments) {
  return testing::CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                                "/classic_world.js' " + arguments);
}

using ClassicWorlds = testing::LevelCommandTest;

// A world of the editor's size, with tags of every kind in Metadata and one
// of its own: loaded so that it looks the same, a cell painted, saved; only
// BlockArray and LastModified are new.
TEST_F(ClassicWorlds, AWorldGoesBackWithEveryTagItCameWith) {
  Node("write world.cw 256 64 256");
  const size_t painted = (30 * 256 + 20) * 256 + 10;  // X 10, height 30, Z 20
  const std::string before = Node("read world.cw 5 " + std::to_string(painted));
  ASSERT_NE(before.find("blocks=4194304"), std::string::npos) << before;
  ASSERT_TRUE(Load("world.CW")) << testing::TextAt(1, 40, 92);
  EXPECT_EQ(ReadCell(*Grid, 5, 0, 0), 5);                     // X 5, Z 0, height 0
  EXPECT_EQ(ReadCell(*Grid, 10, 20, 30), int(painted % 47));  // x is X, y is Z, the height is Y
  WriteCell(*Grid, 10, 20, 30, 77);
  testing::ScriptKeys(testing::FreshScreen(), "world.cw\ry\rk");
  ASSERT_TRUE(SaveCommand(*Grid, Header)) << testing::TextAt(1, 40, 92);
  const std::string after = Node("read world.cw 5 " + std::to_string(painted));
  EXPECT_EQ(after.substr(0, after.find("blocks=")), before.substr(0, before.find("blocks=")))
      << "every tag but BlockArray and LastModified as it came";
  EXPECT_NE(after.find("blocks=4194304 at=5,77\n"), std::string::npos) << after;
  EXPECT_EQ(after.find("LastModified=[0,2000]"), std::string::npos) << "LastModified is new";
}

// A world of another size loads at its size and goes back the same way.
TEST_F(ClassicWorlds, AWorldOfAnotherSizeLoadsAndGoesBackAtItsSize) {
  Node("write big.cw 512 70 300");
  const size_t painted = (69 * 300 + 299) * 512 + 511;  // the far top corner: X 511, height 69, Z 299
  const std::string before = Node("read big.cw 5 " + std::to_string(painted));
  ASSERT_TRUE(Load("big.cw")) << testing::TextAt(1, 40, 92);
  EXPECT_EQ(std::tie(Grid->Width, Grid->Length, Grid->Height), std::make_tuple(512, 300, 70));
  EXPECT_EQ(ReadCell(*Grid, 511, 299, 69), int(painted % 47));
  WriteCell(*Grid, 511, 299, 69, 77);
  testing::ScriptKeys(testing::FreshScreen(), "big.cw\ry\rk");
  ASSERT_TRUE(SaveCommand(*Grid, Header)) << testing::TextAt(1, 40, 92);
  const std::string after = Node("read big.cw 5 " + std::to_string(painted));
  EXPECT_EQ(after.substr(0, after.find("blocks=")), before.substr(0, before.find("blocks=")));
  EXPECT_NE(after.find("blocks=10752000 at=5,77\n"), std::string::npos) << after;
}

// A world whose blocks are numbered past 255 (a BlockArray2 of their upper
// bytes, small enough to load whole or too large to) is refused as such,
// and the level in the editor stays as it was.
TEST_F(ClassicWorlds, AWorldOfBlocksPastTwoHundredFiftyFiveIsRefusedAsSuch) {
  for (const char* size : {"16 8 16", "256 64 256"}) {
    SCOPED_TRACE(size);
    Node(std::string("write wide.cw ") + size + " wide");
    WriteCell(*Grid, 1, 2, 3, 9);
    const auto before = std::make_unique<Level>(*Grid);
    EXPECT_FALSE(Load("wide.cw\rk"));
    EXPECT_EQ(testing::TextAt(1, 40, 92),
              "wide.cw holds blocks numbered past 255; the editor keeps one byte a cell" + std::string(20, ' '));
    EXPECT_TRUE(Grid->Cells == before->Cells);
  }
}

// A long name in a message about a level's size is shortened so that the
// message stays on row 1; a new world's Name is cut to 64 bytes at a
// character's boundary.
TEST_F(ClassicWorlds, LongNamesInASizeMessageAndInANewWorld) {
  const std::string longName(200, 'n');
  const std::string message = TooLargeMessage(longName, 32767, 32767, 256);
  EXPECT_EQ(message, longName.substr(0, 9) + "... is a level of 32767 x 32767 x 256: it needs 257 GiB, more than this machine has");
  EXPECT_EQ(message.size(), 92u);

  const std::string name = std::string(63, 'a') + "\x82";  // 'e' with an acute accent: two bytes in UTF-8
  ASSERT_TRUE(Save(name + ".cw"));
  const std::string world = Node("read '" + std::string(63, 'a') + "\xC3\xA9.cw' 0");
  EXPECT_NE(world.find("\"Name\":{\"type\":\"string\",\"value\":\"" + std::string(63, 'a') + "\"}"), std::string::npos)
      << world;
}

// A level that did not come from a world is saved as a complete new one,
// which prismarine-nbt reads; .dat to .cw and back keeps every cell.
TEST_F(ClassicWorlds, ALevelSavedAsANewWorldAndBack) {
  LayNewTerrain(*Grid);
  for (int x = 0; x < 256; ++x) WriteCell(*Grid, x, (x * 7) % 256, 40 + x % 20, x);
  ASSERT_TRUE(Save("level"));
  ASSERT_TRUE(Save("level.cw"));
  const std::string world = Node("read level.cw 0 " + std::to_string((31 * 256 + 128) * 256 + 128));
  EXPECT_EQ(world.rfind("ClassicWorld ", 0), 0u) << world;
  for (const char* tag : {"\"FormatVersion\":{\"type\":\"byte\",\"value\":1}", "\"Name\":{\"type\":\"string\",\"value\":\"level\"}",
                          "\"X\":{\"type\":\"short\",\"value\":256}", "\"Y\":{\"type\":\"short\",\"value\":64}",
                          "\"Z\":{\"type\":\"short\",\"value\":256}", "\"UUID\":{\"type\":\"byteArray\"",
                          "\"Service\":{\"type\":\"string\",\"value\":\"Terrafix\"}", "\"TimeCreated\"", "\"LastAccessed\"",
                          "\"Metadata\"", "\"H\":{\"type\":\"byte\",\"value\":0}"}) {
    EXPECT_NE(world.find(tag), std::string::npos) << tag << " in " << world;
  }
  // The spawn: the middle of the level, on the first air above what is
  // highest there (the cell painted at height 48 on the column (128, 128)).
  EXPECT_NE(world.find("\"Spawn\":{\"type\":\"compound\",\"value\":{\"X\":{\"type\":\"short\",\"value\":128},"
                       "\"Y\":{\"type\":\"short\",\"value\":49},\"Z\":{\"type\":\"short\",\"value\":128}"),
            std::string::npos)
      << world;
  EXPECT_NE(world.find("blocks=4194304 at=1,2\n"), std::string::npos) << world;  // stone at the bottom, grass at 31
  EXPECT_NE(world.find("LastModified=["), std::string::npos);

  auto saved = std::make_unique<Level>(*Grid);
  *Grid = Level{};
  ASSERT_TRUE(Load("level.cw"));
  EXPECT_TRUE(Grid->Cells == saved->Cells);
  ASSERT_TRUE(Save("again"));
  EXPECT_TRUE(testing::Gunzip("again.dat") == testing::Gunzip("level.dat")) << "the .dat from the .cw is the first .dat";
}

}  // namespace
}  // namespace terrafix
