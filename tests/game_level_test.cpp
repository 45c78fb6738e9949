// The levels the editor saves are level files of the game: the JDK reads them
// into the game's level class.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <tuple>
#include <vector>

#include "files/load_save_commands.h"
#include "formats/game_level.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;

TEST(GameLevel, CommittedHeadersAreWhatTheToolWrites) {
  testing::WorkingFolder folder;
  ASSERT_EQ(std::system((std::string(TERRAFIX_MAKE_HEADERS) + " made.dat").c_str()), 0);
  std::string made = ReadWholeFile("made.dat");
  EXPECT_EQ(made.size(), 394u);
  EXPECT_EQ(made, ReadWholeFile(fs::path(TERRAFIX_DATA) / "headers.dat"));
}

TEST(GameLevel, JavaReadsASavedLevelAndTheEditorLoadsItBack) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  auto grid = std::make_unique<Level>();
  LayNewTerrain(*grid);
  for (int x = 0; x < 256; ++x) WriteCell(*grid, x, (x * 5) % 256, 40 + x % 20, x);

  MemorySurface& surface = testing::FreshScreen();
  testing::ScriptKeys(surface, "level\rk");
  SaveCommand(*grid, header);
  EXPECT_EQ(ReadKey(), "k");  // the key that ended the saved message
  ASSERT_TRUE(fs::exists("level.dat"));
  ASSERT_EQ(std::system("gzip -dc level.dat > level.raw"), 0);

  std::string java = std::string(TERRAFIX_JAVA_SOURCES);
  ASSERT_EQ(std::system(("javac -d classes " + java + "/Level.java " + java + "/ReadLevel.java").c_str()), 0);
  ASSERT_EQ(std::system("java -cp classes com.mojang.minecraft.level.ReadLevel level.raw blocks.bin > fields.txt"), 0);
  EXPECT_EQ(ReadWholeFile("fields.txt"),
            "magic=271bb788 version=2\n"
            "width=256 height=256 depth=64\n"
            "blocks=4194304\n"
            "creator=Terrafix name=A level entities=0\n"
            "spawn=128,32,128\n"
            "rest=0\n");
  std::string blocks = ReadWholeFile("blocks.bin");
  ASSERT_EQ(blocks.size(), 4'194'304u);
  size_t mismatches = 0;
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x)
        mismatches += static_cast<uint8_t>(blocks[(z * 256 + y) * 256 + x]) != ReadCell(*grid, x, y, z);
  EXPECT_EQ(mismatches, 0u);

  auto loaded = std::make_unique<Level>();
  testing::ScriptKeys(surface, "level\r");
  LoadCommand(*loaded, header);
  EXPECT_TRUE(loaded->Cells == grid->Cells);
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// Runs a shell command in the test's folder; its standard output.
std::string Output(const std::string& command) { return testing::CommandOutput(command); }

// Levels of several variants of the game's format and sizes, written by the
// JDK: the editor loads each one, a cell is painted and the level saved; the
// JDK reads the saved file into the same class with every field as it was
// and the painted cell in place.
TEST(GameLevel, VariantsWrittenByJavaLoadAndGoBackAsTheyCame) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  const std::string java = TERRAFIX_JAVA_SOURCES;
  struct Case {
    const char* Variant;
    int Width, Height, Depth;
  };
  const Case cases[] = {{"network", 256, 256, 64}, {"extra", 256, 256, 64}, {"plain", 512, 512, 64},
                        {"plain", 256, 128, 64}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Variant) + " " + std::to_string(c.Width) + "x" + std::to_string(c.Height));
    const std::string classes = std::string("classes-") + c.Variant;
    if (!fs::exists(classes)) {
      // The editor's own layout is the game's Level beside the tests; the others are variants of it.
      const std::string level = std::string(c.Variant) == "plain" ? java + "/Level.java"
                                                                    : java + "/variants/" + c.Variant + "/Level.java";
      ASSERT_EQ(std::system(("javac -d " + classes + " " + level + " " + java + "/LevelTool.java").c_str()), 0);
    }
    const std::string tool = "java -cp " + classes + " com.mojang.minecraft.level.LevelTool ";
    ASSERT_EQ(std::system((tool + "write level.raw " + std::to_string(c.Width) + " " + std::to_string(c.Height) +
                           " " + std::to_string(c.Depth)).c_str()),
              0);
    fs::remove("level.dat");
    ASSERT_EQ(std::system("gzip -c -n level.raw > level.dat"), 0);
    const std::string before = Output(tool + "read level.raw 10 20 30");
    ASSERT_NE(before.find("blocks="), std::string::npos) << before;

    auto grid = std::make_unique<Level>();
    MemorySurface& surface = testing::FreshScreen();
    testing::ScriptKeys(surface, "level\r");
    ASSERT_TRUE(LoadCommand(*grid, header)) << testing::TextAt(1, 40, 92);
    EXPECT_EQ(std::tie(grid->Width, grid->Length, grid->Height), std::tie(c.Width, c.Height, c.Depth));
    auto at = [&](int x, int y, int z) { return ((z * c.Height + y) * c.Width + x) % 47; };
    EXPECT_EQ(ReadCell(*grid, 10, 20, 30), at(10, 20, 30));
    EXPECT_EQ(ReadCell(*grid, c.Width - 1, c.Height - 1, c.Depth - 1), at(c.Width - 1, c.Height - 1, c.Depth - 1));
    WriteCell(*grid, 10, 20, 30, 77);
    testing::ScriptKeys(surface, "level\ry\rk");
    ASSERT_TRUE(SaveCommand(*grid, header)) << testing::TextAt(1, 40, 92);
    ASSERT_EQ(std::system("gzip -dc level.dat > saved.raw"), 0);
    std::string expected = before;
    const size_t cell = expected.find(" cell=") + 6;
    expected.replace(cell, expected.find(' ', cell) - cell, "77");
    EXPECT_EQ(Output(tool + "read saved.raw 10 20 30"), expected);
  }
}

// A level a server of the game saved loads with its own terrain, and saved
// unchanged it is the same file.
TEST(GameLevel, TheServersLevelGoesBackAsItCame) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  fs::copy_file(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat", "classic.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  auto grid = std::make_unique<Level>();
  testing::ScriptKeys(testing::FreshScreen(), "classic\r");
  ASSERT_TRUE(LoadCommand(*grid, header)) << testing::TextAt(1, 40, 92);
  const std::string original = testing::Gunzip("classic.dat");
  EXPECT_EQ(ReadCell(*grid, 0, 0, 0), static_cast<uint8_t>(original[334]));
  EXPECT_EQ(ReadCell(*grid, 68, 96, 40), static_cast<uint8_t>(original[334 + (40 * 256 + 96) * 256 + 68]));
  testing::ScriptKeys(testing::FreshScreen(), "again\rk");
  ASSERT_TRUE(SaveCommand(*grid, header));
  EXPECT_TRUE(testing::Gunzip("again.dat") == original);
  // New goes back to the template's layout.
  LayNewTerrain(*grid);
  testing::ScriptKeys(testing::FreshScreen(), "fresh\rk");
  ASSERT_TRUE(SaveCommand(*grid, header));
  EXPECT_EQ(testing::Gunzip("fresh.dat").size(), 4'194'698u);
}

// The parts of a server's level around its cells as far as they go: one
// whose last field is its cells (nothing after them) saves and loads back;
// one with more of its own data than the editor keeps is refused with a
// message that names the bound and the size.
TEST(GameLevel, OwnPartsFromNothingToMoreThanTheBound) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  const std::string original = testing::Gunzip(fs::path(TERRAFIX_FIXTURES) / "classic-level-334.dat");
  const std::string cellsLast = original.substr(0, original.size() - 74);  // the trailer gone
  testing::WriteGzipped("last.dat", cellsLast);
  testing::WriteGzipped("large.dat", original + std::string(70'000, 'x'));
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  auto grid = std::make_unique<Level>();
  testing::ScriptKeys(testing::FreshScreen(), "last\r");
  ASSERT_TRUE(LoadCommand(*grid, header)) << testing::TextAt(1, 40, 92);
  EXPECT_TRUE(grid->Form.Trailer.empty());
  testing::ScriptKeys(testing::FreshScreen(), "saved\rk");
  ASSERT_TRUE(SaveCommand(*grid, header));
  EXPECT_TRUE(testing::Gunzip("saved.dat") == cellsLast);

  testing::ScriptKeys(testing::FreshScreen(), "large\rk");
  EXPECT_FALSE(LoadCommand(*grid, header));
  EXPECT_EQ(testing::TextAt(1, 40, 92), OwnPartMessage(70'074, LargestOwnPart, false));
  EXPECT_EQ(testing::TextAt(1, 40, 82),
            "The editor keeps at most 64 KiB of a level's own data; this one has 70,074 bytes  ");
  EXPECT_TRUE(grid->Form.Trailer.empty()) << "the level it had, as it was";
}

}  // namespace
}  // namespace terrafix

namespace terrafix {
namespace {

// A level of later versions of the game, written by the JDK: objects that
// hold objects before the cells (a list of entities of two classes, a player
// with an inventory and referenced from three places, a class with its own
// write method, an enum). It loads, is painted and saved, and the JDK reads
// it back into the same classes with every field and every sharing as it was.
TEST(GameLevel, ALevelHoldingAGraphOfObjectsGoesBackAsItCame) {
  testing::WorkingFolder folder;
  ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  HeaderTemplate header;
  ReadHeaderTemplate(header);
  const std::string java = TERRAFIX_JAVA_SOURCES, graph = java + "/variants/graph";
  ASSERT_EQ(std::system(("javac -d classes " + graph + "/Level.java " + graph + "/GraphTool.java " + java +
                         "/LevelTool.java").c_str()),
            0);
  const std::string tool = "java -cp classes com.mojang.minecraft.level.GraphTool ";
  ASSERT_EQ(std::system((tool + "write level.raw 96 80 40").c_str()), 0);
  ASSERT_EQ(std::system("gzip -c -n level.raw > level.dat"), 0);
  const std::string before = Output(tool + "read level.raw 10 20 30");
  ASSERT_NE(before.find("one player: true, one sheep: true, one item: true"), std::string::npos) << before;

  auto grid = std::make_unique<Level>();
  MemorySurface& surface = testing::FreshScreen();
  testing::ScriptKeys(surface, "level\r");
  ASSERT_TRUE(LoadCommand(*grid, header)) << testing::TextAt(1, 40, 92);
  EXPECT_EQ(std::tie(grid->Width, grid->Length, grid->Height), std::make_tuple(96, 80, 40));
  EXPECT_EQ(grid->Form.Of, LevelForm::Kind::GameLevel);
  EXPECT_EQ(ReadCell(*grid, 95, 79, 39), ((39 * 80 + 79) * 96 + 95) % 47);
  WriteCell(*grid, 10, 20, 30, 77);
  testing::ScriptKeys(surface, "saved\rk");
  ASSERT_TRUE(SaveCommand(*grid, header)) << testing::TextAt(1, 40, 92);
  ASSERT_EQ(std::system("gzip -dc saved.dat > saved.raw"), 0);
  std::string expected = before;
  const size_t cell = expected.find(" cell=") + 6;
  expected.replace(cell, expected.find(' ', cell) - cell, "77");
  EXPECT_EQ(Output(tool + "read saved.raw 10 20 30"), expected);
}

// Java serialization written here, byte by byte: a level object of 4 x 3 x
// 2 cells with a field `nest` before its cells that holds arrays nested
// `depth` deep.
std::vector<uint8_t> NestedLevel(int depth) {
  std::vector<uint8_t> b = {0x27, 0x1B, 0xB7, 0x88, 2, 0xAC, 0xED, 0, 5, 0x73, 0x72};
  auto text = [&](std::string_view t) {
    b.push_back(0), b.push_back(static_cast<uint8_t>(t.size()));
    b.insert(b.end(), t.begin(), t.end());
  };
  auto number = [&](uint32_t n) {
    for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(n >> (8 * i)));
  };
  // A class with no fields and no superclass, after its name.
  const std::vector<uint8_t> plainClass = {0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0, 0, 0x78, 0x70};
  text("Level");  // handle 0
  b.insert(b.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0x02, 0, 5});
  for (const char* name : {"depth", "height", "width"}) b.push_back('I'), text(name);
  b.push_back('['), text("nest"), b.push_back(0x74), text("[Ljava/lang/Object;");  // handle 1
  b.push_back('['), text("blocks"), b.push_back(0x74), text("[B");                 // handle 2
  b.insert(b.end(), {0x78, 0x70});
  number(2), number(3), number(4);  // depth, height, width; the level is handle 3
  for (int level = 0; level < depth; ++level) {
    b.push_back(0x75);
    if (level == 0) {
      b.push_back(0x72), text("[Ljava.lang.Object;");  // handle 4
      b.insert(b.end(), plainClass.begin(), plainClass.end());
    } else {
      b.push_back(0x71), number(0x7E0004);
    }
    number(level + 1 < depth ? 1 : 0);  // one element: the next array
  }
  b.push_back(0x75), b.push_back(0x72), text("[B");
  b.insert(b.end(), plainClass.begin(), plainClass.end());
  number(24);
  for (int i = 0; i < 24; ++i) b.push_back(static_cast<uint8_t>(i));
  return b;
}

// The walk is bounded: arrays nested within the bound load, deeper ones, a
// reference to a handle not yet given and a stream cut short are refused.
TEST(GameLevel, TheWalkOfTheObjectsIsBounded) {
  const auto found = [](const std::vector<uint8_t>& file) { return ReadGameLevel(file).Found; };
  const std::vector<uint8_t> nested = NestedLevel(150);
  EXPECT_TRUE(found(nested));
  const GameLevel level = ReadGameLevel(nested);
  EXPECT_EQ(std::tie(level.Width, level.Height, level.Depth), std::make_tuple(4, 3, 2));
  EXPECT_EQ(level.CellsOffset, nested.size() - 24);
  EXPECT_TRUE(level.CellsWhole);
  EXPECT_FALSE(found(NestedLevel(1000)));
  std::vector<uint8_t> forward = NestedLevel(3);
  // The last array's class reference: before the cells (24), their count, the
  // class "[B" and its codes (19), the last array's count (4) and the reference.
  const size_t reference = forward.size() - 24 - 4 - 19 - 4 - 5;
  ASSERT_EQ(forward[reference], 0x71);
  forward[reference + 4] = 0x09;  // handle 0x7E0009: not yet given
  EXPECT_FALSE(found(forward));
  for (size_t cut : {nested.size() - 30, nested.size() / 2, size_t{12}}) {
    EXPECT_FALSE(found(std::vector<uint8_t>(nested.begin(), nested.begin() + cut))) << cut;
  }
}

}  // namespace
}  // namespace terrafix
