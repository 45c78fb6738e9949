// terrafix --render, the real program: its PNG files, read back by
// ImageMagick, hold the reference renderer's pixels, trimmed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "memory_screen.h"
#include "reference_picture.h"

namespace terrafix {
namespace {

namespace fs = std::filesystem;
using testing::CommandOutput;

const std::string Binary = TERRAFIX_BINARY;

// The level as a server map, name.lvl: the simplest file a level can be.
void WriteMap(const std::string& name, const Level& level) {
  std::string file;
  for (int n : {1874, level.Width, level.Length, level.Height, 0, 0, 0}) {
    file += static_cast<char>(n & 0xFF), file += static_cast<char>(n >> 8);
  }
  file += std::string(4, '\0');
  file.append(level.Cells.begin(), level.Cells.end());
  testing::WriteGzipped(name + ".lvl", file);
}

// A PNG's pixels as 0xAARRGGBB, as ImageMagick reads them.
std::vector<uint32_t> PngPixels(const std::string& file, int32_t& width, int32_t& height) {
  const std::string size = CommandOutput("identify -format '%w %h' " + file);
  if (std::sscanf(size.c_str(), "%d %d", &width, &height) != 2) return {};
  const std::string bytes = CommandOutput("convert " + file + " -depth 8 rgba:-");
  std::vector<uint32_t> pixels(bytes.size() / 4);
  for (size_t i = 0; i < pixels.size(); ++i) {
    const auto byte = [&](size_t k) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[4 * i + k])); };
    pixels[i] = byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2);
  }
  return pixels;
}

TEST(Render, PicturesOfSeveralLevelsAreTheReferencesAndFailuresStandAlone) {
  testing::WorkingFolder folder;
  Level stair = testing::EmptyLevel(5, 3, 4);
  for (int32_t x = 0; x < 5; ++x)
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t z = 0; z <= x && z < 4; ++z) WriteCell(stair, x, y, z, z == x ? 2 : 3);
  WriteCell(stair, 0, 2, 1, 8);
  WriteCell(stair, 4, 0, 3, 200);  // no table knows it
  Level terrain;
  LayNewTerrain(terrain);
  for (int32_t z = 32; z < 40; ++z) WriteCell(terrain, 30, 40, z, 17);
  WriteMap("stair", stair);
  WriteMap("terrain", terrain);
  testing::WriteGzipped("broken.lvl", "not a level");
  const std::string run = Binary + " --render stair.lvl broken.lvl missing.lvl terrain.lvl --out pictures --scale 2 --turn 270 2>errors; echo $?";
  EXPECT_EQ(CommandOutput(run), "1\n");
  const std::string errors = testing::ReadWholeFile("errors");
  for (const char* line : {"terrafix: [1/4] stair.lvl -> pictures/stair.png\n", "terrafix: broken.lvl: not a level",
                           "terrafix: missing.lvl: there is no missing.lvl\n", "terrafix: 2 of 4 pictures not drawn\n"}) {
    EXPECT_NE(errors.find(line), std::string::npos) << line << " in\n" << errors;
  }
  EXPECT_FALSE(fs::exists("pictures/broken.png") || fs::exists("pictures/missing.png"));
  for (const auto& [name, level] : {std::pair<const char*, const Level*>{"stair", &stair}, {"terrain", &terrain}}) {
    SCOPED_TRACE(name);
    int32_t width = 0, height = 0, trimmedWidth = 0, trimmedHeight = 0, pngWidth = 0, pngHeight = 0;
    const std::vector<uint32_t> whole = testing::ReferencePicture(*level, 2, 3, width, height);
    const std::vector<uint32_t> expected = testing::Trimmed(whole, width, height, 8, trimmedWidth, trimmedHeight);
    const std::vector<uint32_t> png = PngPixels(std::string("pictures/") + name + ".png", pngWidth, pngHeight);
    EXPECT_EQ(pngWidth, trimmedWidth);
    EXPECT_EQ(pngHeight, trimmedHeight);
    EXPECT_TRUE(png == expected);
  }
  // One level, in the working folder, at the first turn and scale.
  EXPECT_EQ(CommandOutput(Binary + " --render stair.lvl 2>&1; echo $?"), "0\n");
  int32_t width = 0, height = 0;
  EXPECT_FALSE(PngPixels("stair.png", width, height).empty());
  EXPECT_EQ(CommandOutput(Binary + " --render stair.lvl --turn 45 2>/dev/null; echo $?"), "2\n");
  EXPECT_EQ(CommandOutput(Binary + " --render --scale 2 2>/dev/null; echo $?"), "2\n");
}

}  // namespace
}  // namespace terrafix
