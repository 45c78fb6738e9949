// Levels go from format to format and back with every cell kept: the game's
// level (written and read by the JDK) to a schematic and a ClassicWorld
// (read by prismarine-nbt) to a server map, a schematic again and back to
// the game's level, through `terrafix --convert` and through Load and Save
// in the real program.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "console_editor.h"
#include "files/load_save_commands.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using testing::CommandOutput;
using testing::ConsoleEditor;
using testing::ConsoleStart;
using testing::Gunzip;

const std::string Binary = TERRAFIX_BINARY;
const std::string Java = TERRAFIX_JAVA_SOURCES;

struct Size {
  int Width, Length, Height;  // the game's width, height and depth
  std::string Text() const {
    return std::to_string(Width) + " " + std::to_string(Length) + " " + std::to_string(Height);
  }
};
const Size Sizes[] = {{64, 64, 64}, {256, 256, 64}, {512, 128, 512}};

// The JDK's level of that size as name.dat (its cells i % 47); the cells as
// the JDK reads them back are in name.cells.
void WriteJavaLevel(const std::string& name, const Size& size) {
  if (!fs::exists("classes")) {
    ASSERT_EQ(std::system(("javac -d classes " + Java + "/Level.java " + Java + "/LevelTool.java " + Java +
                           "/ReadLevel.java").c_str()),
              0);
  }
  ASSERT_EQ(std::system(("java -cp classes com.mojang.minecraft.level.LevelTool write " + name + ".raw " +
                         size.Text() + " && gzip -n " + name + ".raw && mv " + name + ".raw.gz " + name + ".dat")
                            .c_str()),
            0);
}

// What the JDK reads of a .dat: its cells, whatever the rest is.
std::string JavaCells(const std::string& name) {
  const std::string command = "gzip -dc " + name + ".dat > " + name + ".check && java -cp classes " +
                              "com.mojang.minecraft.level.ReadLevel " + name + ".check " + name + ".cells >/dev/null";
  if (std::system(command.c_str()) != 0) return "the JDK could not read " + name + ".dat";
  return testing::ReadWholeFile(name + ".cells");
}

// What prismarine-nbt reads of a world: its size and the cells at a few places.
std::string NodeWorld(const std::string& file, size_t cells) {
  return CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                       "/classic_world.js' read " + file + " 0 1 " + std::to_string(cells / 3) + " " +
                       std::to_string(cells - 1) + " | sed -n 2p");
}

// The same of a schematic, with its Data.
std::string NodeSchematic(const std::string& file, size_t cells) {
  return CommandOutput("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                       "/schematic.js' read " + file + " 0 1 " + std::to_string(cells / 3) + " " +
                       std::to_string(cells - 1) + " | sed -n 2,3p");
}

std::string ExpectedWorld(size_t cells) {
  std::string text = "blocks=" + std::to_string(cells) + " at=";
  for (size_t i : {size_t{0}, size_t{1}, cells / 3, cells - 1}) text += std::to_string(i % 47) + (i + 1 < cells ? "," : "");
  return text + "\n";
}

// The map's header: the identifier and the size, little-endian.
std::string MapSize(const std::string& file) {
  const std::string map = Gunzip(file);
  std::string size;
  for (int i = 0; i < 4; ++i) size += std::to_string(uint8_t(map[2 * i]) | uint8_t(map[2 * i + 1]) << 8) + " ";
  return size + std::to_string(map.size());
}

std::string ExpectedMapSize(const Size& s) {
  const size_t cells = size_t(s.Width) * s.Length * s.Height;
  return "1874 " + s.Text() + " " + std::to_string(18 + cells);
}

TEST(Conversion, EveryFormatToTheNextAndBackKeepsEveryCell) {
  testing::WorkingFolder folder;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  for (const Size& size : Sizes) {
    SCOPED_TRACE(size.Text());
    const size_t cells = size_t(size.Width) * size.Length * size.Height;
    WriteJavaLevel("level", size);
    const std::string original = JavaCells("level");
    ASSERT_EQ(original.size(), cells);
    ASSERT_EQ(std::system((Binary + " --convert level.dat build.schematic build.schematic world.cw world.cw map.lvl "
                                    "map.lvl again.schematic")
                               .c_str()),
              0);
    const std::string schematic = ExpectedWorld(cells) + "data=" + std::to_string(cells) + " nonzero=0\n";
    EXPECT_EQ(NodeSchematic("build.schematic", cells), schematic);
    EXPECT_EQ(NodeWorld("world.cw", cells), ExpectedWorld(cells));
    EXPECT_EQ(MapSize("map.lvl"), ExpectedMapSize(size));
    EXPECT_EQ(NodeSchematic("again.schematic", cells), schematic);
    ASSERT_EQ(std::system((Binary + " --convert again.schematic back.dat").c_str()), 0);
    EXPECT_TRUE(JavaCells("back") == original);
    for (const char* file : {"level.dat", "build.schematic", "world.cw", "map.lvl", "again.schematic", "back.dat"}) {
      fs::remove(file);
    }
  }
}

// A schematic of the later game's numbering converts with its blocks mapped,
// and says so on standard error as Load says it on row 1.
TEST(Conversion, AnAlphaSchematicConvertsMappedAndSaysSo) {
  testing::WorkingFolder folder;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  ASSERT_EQ(std::system("NODE_PATH='" TERRAFIX_NODE_MODULES "' node '" TERRAFIX_NODE_SOURCES
                        "/schematic.js' write later.schematic 5 7 11 alpha"),
            0);
  EXPECT_EQ(CommandOutput(Binary + " --convert later.schematic later.lvl 2>&1; echo $?"),
            "terrafix: later.schematic: Mapped 273 cells of 10 kinds the game lacks; 54 became stone; saves as "
            "Classic\n0\n");
  const std::string map = Gunzip("later.lvl");
  ASSERT_EQ(map.size(), 18u + 385u);
  EXPECT_EQ(int(uint8_t(map[18 + 1])), 22) << "orange wool as orange cloth";
}

// Several levels at once with --to: a progress line for each, one line for
// each that fails, the others converted, and the status says not all were;
// an existing output is kept unless --force.
TEST(Conversion, ManyLevelsWithFailuresProgressAndForce) {
  testing::WorkingFolder folder;
  fs::copy_file(fs::path(TERRAFIX_DATA) / "headers.dat", "headers.dat");
  WriteJavaLevel("one", Sizes[0]);
  ASSERT_EQ(std::system((Binary + " --convert one.dat two.lvl").c_str()), 0);
  testing::WriteGzipped("notes.dat", "a text, not a level");
  testing::WriteWholeFile("kept.cw", "the user's own file");
  const std::string run = Binary + " --convert one.dat notes.dat missing.lvl two.lvl --to cw 2>errors; echo $?";
  EXPECT_EQ(CommandOutput(run), "1\n");
  const std::string errors = testing::ReadWholeFile("errors");
  for (const char* line : {"terrafix: [1/4] one.dat -> one.cw\n", "terrafix: [4/4] two.lvl -> two.cw\n",
                           "terrafix: notes.dat: not a level of any format the editor knows",
                           "terrafix: missing.lvl: there is no missing.lvl\n", "terrafix: 2 of 4 levels not converted\n"}) {
    EXPECT_NE(errors.find(line), std::string::npos) << line << " in\n" << errors;
  }
  EXPECT_TRUE(fs::exists("one.cw") && fs::exists("two.cw"));
  EXPECT_FALSE(fs::exists("notes.cw") || fs::exists("missing.cw"));

  EXPECT_EQ(CommandOutput(Binary + " --convert one.dat kept.cw 2>errors; echo $?"), "1\n");
  EXPECT_EQ(testing::ReadWholeFile("errors"), "terrafix: one.dat: kept.cw exists (--force replaces it)\n");
  EXPECT_EQ(testing::ReadWholeFile("kept.cw"), "the user's own file");
  EXPECT_EQ(CommandOutput(Binary + " --convert --force one.dat kept.cw 2>errors; echo $?"), "0\n");
  EXPECT_EQ(NodeWorld("kept.cw", 64 * 64 * 64), ExpectedWorld(64 * 64 * 64));
  EXPECT_EQ(CommandOutput(Binary + " --convert one.dat 2>/dev/null; echo $?"), "2\n");
  EXPECT_EQ(CommandOutput(Binary + " --convert one.dat out.png 2>&1; echo $?"),
            "terrafix: one.dat: the name to write out.png has no ending of a level (.dat, .cw, .lvl or .schematic)\n1\n");
  for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
    EXPECT_FALSE(entry.path().filename().string().starts_with(".terrafix-temporary-")) << "left behind";
  }
}

// The same round trip through Load and Save in the real program.
TEST(Conversion, LoadAndSaveInTheProgramKeepEveryCell) {
  testing::WorkingFolder folder;
  for (const Size& size : Sizes) {
    SCOPED_TRACE(size.Text());
    const size_t cells = size_t(size.Width) * size.Length * size.Height;
    WriteJavaLevel("level", size);
    const std::string original = JavaCells("level");
    ConsoleEditor editor(folder.Path(), ConsoleStart{});
    ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
    ASSERT_TRUE(editor.Load("level", testing::MenuLine));
    const auto save = [&](const std::string& name) {
      ASSERT_TRUE(editor.Save(name, "File saved as '" + name.substr(0, name.find('.')) + "'"));
      editor.Type("k");
      ASSERT_TRUE(editor.Shows(1, 40, testing::MenuLine));
    };
    save("world.cw");
    ASSERT_TRUE(editor.Load("world.cw", testing::MenuLine));
    save("map.lvl");
    ASSERT_TRUE(editor.Load("map.lvl", testing::MenuLine));
    save("back");
    EXPECT_EQ(NodeWorld("world.cw", cells), ExpectedWorld(cells));
    EXPECT_EQ(MapSize("map.lvl"), ExpectedMapSize(size));
    EXPECT_TRUE(JavaCells("back") == original);
    editor.Key("q");
    for (const char* file : {"level.dat", "world.cw", "map.lvl", "back.dat"}) fs::remove(file);
  }
}

}  // namespace
}  // namespace terrafix
