#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "formats/header_template.h"
#include "formats/level_file.h"
#include "memory_screen.h"
#include "platform/files/byte_files.h"

namespace terrafix {
namespace {

using testing::ReadWholeFile;
using testing::WriteWholeFile;

std::string Template394() {
  std::string t(394, '\0');
  for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<char>(i % 251 + 1);
  return t;
}

void Save(const char* name, const Level& grid, HeaderTemplate& header) {
  ASSERT_TRUE(OpenByteFile(name, 2));
  WriteLevelFile(2, grid, header);
  ASSERT_TRUE(CloseFile(2));
}

void Load(const char* name, Level& grid) {
  const std::string bytes = ReadWholeFile(name);
  ReadTemplateLevel(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), grid);
}

TEST(HeaderTemplate, HeaderAndTrailerShareByte319) {
  testing::WorkingFolder folder;
  WriteWholeFile("headers.dat", Template394() + "ignored beyond 394");
  HeaderTemplate h;
  ReadHeaderTemplate(h);
  EXPECT_EQ(std::string(h.HeaderBytes.begin(), h.HeaderBytes.end()), Template394().substr(0, 320));
  EXPECT_EQ(std::string(h.TrailerBytes.begin(), h.TrailerBytes.end()), Template394().substr(319, 75));
  EXPECT_EQ(h.HeaderBytes[319], h.TrailerBytes[0]);
}

// A missing template is the installed one, else the one built into the
// program (the game's, never zeros), and no file is made; one that is there
// is used as it is, what a short one lacks reading as zeros.
TEST(HeaderTemplate, MissingFileReadsTheGamesTemplateAndShortOneReadsAsZeros) {
  testing::WorkingFolder folder;
  const std::string shipped = ReadWholeFile(std::string(TERRAFIX_DATA) + "/headers.dat");
  HeaderTemplate h;
  h.HeaderBytes.fill(9);
  ReadHeaderTemplate(h);
  EXPECT_EQ(std::string(h.HeaderBytes.begin(), h.HeaderBytes.begin() + 319), shipped.substr(0, 319));
  EXPECT_EQ(std::string(h.TrailerBytes.begin(), h.TrailerBytes.end()), shipped.substr(319, 75));
  EXPECT_FALSE(std::filesystem::exists("headers.dat"));
  WriteWholeFile("installed.dat", Template394());
  h.InstalledFile = "installed.dat";
  ReadHeaderTemplate(h);
  EXPECT_EQ(std::string(h.HeaderBytes.begin(), h.HeaderBytes.end()), Template394().substr(0, 320));

  WriteWholeFile("headers.dat", "");
  ReadHeaderTemplate(h);
  EXPECT_EQ(h.HeaderBytes, decltype(h.HeaderBytes){});
  EXPECT_EQ(h.TrailerBytes, decltype(h.TrailerBytes){});
  WriteWholeFile("headers.dat", std::string(330, 'h'));
  ReadHeaderTemplate(h);
  EXPECT_EQ(h.HeaderBytes[319], 'h');
  EXPECT_EQ(h.TrailerBytes[10], 'h');
  EXPECT_EQ(h.TrailerBytes[11], 0);
}

TEST(LevelFile, AllAirFileIsHeaderZerosTrailer) {
  testing::WorkingFolder folder;
  WriteWholeFile("headers.dat", Template394());
  HeaderTemplate h;
  ReadHeaderTemplate(h);
  auto grid = std::make_unique<Level>();
  Save("air", *grid, h);
  std::string f = ReadWholeFile("air");
  ASSERT_EQ(f.size(), 4'194'698u);
  EXPECT_EQ(f.substr(0, 319), Template394().substr(0, 319));
  EXPECT_EQ(f.substr(319, 4'194'304), std::string(4'194'304, '\0'));
  EXPECT_EQ(f.substr(4'194'623), Template394().substr(319));
}

TEST(LevelFile, CellOffsetsAndEveryByteValue) {
  testing::WorkingFolder folder;
  HeaderTemplate h;
  auto grid = std::make_unique<Level>();
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) WriteCell(*grid, x, y, z, (x * 7 + y * 3 + z) % 256);
  WriteCell(*grid, 1, 0, 0, 256);
  WriteCell(*grid, 0, 1, 0, -1);
  WriteCell(*grid, 0, 0, 1, 200);
  WriteCell(*grid, 255, 255, 63, 77);
  Save("cells", *grid, h);
  std::string f = ReadWholeFile("cells");
  ASSERT_EQ(f.size(), 4'194'698u);
  EXPECT_EQ(static_cast<uint8_t>(f[320]), 0);      // (1, 0, 0) held 256
  EXPECT_EQ(static_cast<uint8_t>(f[575]), 255);    // (0, 1, 0) held -1
  EXPECT_EQ(static_cast<uint8_t>(f[65'855]), 200); // (0, 0, 1)
  EXPECT_EQ(static_cast<uint8_t>(f[4'194'622]), 77);

  auto loaded = std::make_unique<Level>();
  Load("cells", *loaded);
  WriteCell(*grid, 1, 0, 0, 0);
  WriteCell(*grid, 0, 1, 0, 255);
  for (int z = 0; z < 64; ++z)
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) ASSERT_EQ(ReadCell(*loaded, x, y, z), ReadCell(*grid, x, y, z)) << x << "," << y << "," << z;
}

TEST(LevelFile, ShortFileReadsAsZerosAndTrailerComesFromTheTemplate) {
  testing::WorkingFolder folder;
  WriteWholeFile("short", std::string(319, '\0') + std::string(1000, '\x05'));
  HeaderTemplate h;
  h.TrailerBytes.fill('T');
  auto grid = std::make_unique<Level>();
  std::fill(grid->Cells.begin(), grid->Cells.end(), 9);
  Load("short", *grid);
  EXPECT_EQ(ReadCell(*grid, 255, 2, 0), 5);  // offset 319 + 999
  EXPECT_EQ(ReadCell(*grid, 0, 4, 0), 0);    // past the end
  EXPECT_EQ(ReadCell(*grid, 255, 255, 63), 0);
  Save("again", *grid, h);
  EXPECT_EQ(ReadWholeFile("again").substr(4'194'623), std::string(75, 'T'));
}

}  // namespace
}  // namespace terrafix
