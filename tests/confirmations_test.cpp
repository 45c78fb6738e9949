#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "editor/confirmations.h"
#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

using testing::TextAt;

TEST(ConfirmQuit, AskedAgainUntilYesOrNo) {
  MemorySurface& surface = testing::FreshScreen();
  testing::ScriptKeys(surface, "yes\r\rno\rN\r");
  ConfirmQuit();  // returns: the answer was n
  EXPECT_TRUE(surface.ScriptedKeys.empty());
  EXPECT_EQ(TextAt(1, 40, 49), std::string(QuitQuestion) + "N");  // asked again at the same place

  testing::ScriptKeys(surface, "Y\r");
  try {
    ConfirmQuit();
    ADD_FAILURE() << "the program did not end";
  } catch (const ProgramEnded& ended) {
    EXPECT_EQ(ended.Status, 0);
  }
}

TEST(ConfirmNew, YesLaysDownTerrainAndReadsTheTemplateAgain) {
  testing::WorkingFolder folder;
  testing::WriteWholeFile("headers.dat", std::string(394, 'H'));
  auto grid = std::make_unique<Level>();
  WriteCell(*grid, 5, 5, 40, 7);
  WriteCell(*grid, 5, 5, 64, 9);  // the extra plane survives New
  HeaderTemplate header;
  header.HeaderBytes.fill('L');  // as a load leaves it

  MemorySurface& surface = testing::FreshScreen();
  testing::ScriptKeys(surface, "n\r");
  ConfirmNew(*grid, header);
  EXPECT_EQ(ReadCell(*grid, 5, 5, 40), 7);
  EXPECT_EQ(header.HeaderBytes[0], 'L');

  testing::ScriptKeys(surface, "x\ry\r");
  ConfirmNew(*grid, header);
  EXPECT_EQ(header.HeaderBytes[0], 'H');
  const std::tuple<int, int, int, TileId> cells[] = {
      {0, 0, 25, 1}, {0, 0, 26, 3}, {255, 255, 30, 3}, {128, 200, 31, 2}, {0, 0, 32, 0},
      {5, 5, 40, 0}, {5, 5, 64, 9},
  };
  for (auto [x, y, z, tile] : cells) EXPECT_EQ(ReadCell(*grid, x, y, z), tile) << x << "," << y << "," << z;
}

}  // namespace
}  // namespace terrafix
