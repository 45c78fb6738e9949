// The levels the editor saves are level files of the game: the JDK reads them
// into the game's level class.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "files/load_save_commands.h"
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
  auto grid = std::make_unique<LevelGrid>();
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

  auto loaded = std::make_unique<LevelGrid>();
  testing::ScriptKeys(surface, "level\r");
  LoadCommand(*loaded, header);
  EXPECT_TRUE(loaded->Cells == grid->Cells);
}

}  // namespace
}  // namespace terrafix
