#include <gtest/gtest.h>

#include <climits>

#include "memory_screen.h"
#include "platform/screen/screen.h"

namespace terrafix {
namespace {

using testing::FreshScreen;
using testing::TextAt;

// Finds the row and column where a '#' written after `write` lands.
std::pair<int, int> WhereNextTextGoes(int row, int column, void (*write)()) {
  FreshScreen();
  SetTextCursor(row, column);
  write();
  PrintText("#", PrintEnding::None);
  for (int r = 1; r <= TextRows; ++r) {
    for (int c = 1; c <= TextColumns; ++c) {
      if (TextAt(r, c, 1) == "#") return {r, c};
    }
  }
  return {0, 0};
}

TEST(PrintZones, AdvanceToTheNextZoneOrBreakTheLine) {
  struct Case {
    int Column;
    int ExpectedRow;
    int ExpectedColumn;
  };
  const Case cases[] = {
      {1, 5, 15},  {14, 5, 15}, {15, 5, 29}, {40, 5, 43}, {43, 5, 57},  {58, 5, 71},
      {70, 5, 71}, {99, 5, 113}, {103, 5, 113}, {112, 5, 113}, {113, 6, 1}, {117, 6, 1}, {131, 6, 1},
  };
  for (const Case& c : cases) {
    auto [row, column] = WhereNextTextGoes(5, c.Column, [] { PrintText("", PrintEnding::NextZone); });
    EXPECT_EQ(row, c.ExpectedRow) << "from column " << c.Column;
    EXPECT_EQ(column, c.ExpectedColumn) << "from column " << c.Column;
  }
}

TEST(PrintZones, WorkedExampleOfTheSliceReadout) {
  FreshScreen();
  SetTextCursor(2, 40);
  PrintText("", PrintEnding::NextZone);
  PrintText("x:", PrintEnding::None);
  PrintNumber(0, PrintEnding::NextZone);
  PrintText("y:", PrintEnding::None);
  EXPECT_EQ(TextAt(2, 40, 19), "   x: 0          y:");
  // The blanks paint their cells: whatever stood there is gone.
  EXPECT_EQ(TextAt(2, 45, 12), " 0          ");
}

TEST(PrintNumber, SignPositionInFrontAndNoBlankAfter) {
  const std::pair<int32_t, const char*> cases[] = {
      {0, " 0"}, {7, " 7"}, {255, " 255"}, {1049, " 1049"}, {-1, "-1"}, {INT_MIN, "-2147483648"}, {INT_MAX, " 2147483647"},
  };
  for (auto [value, text] : cases) {
    FreshScreen();
    SetTextCursor(4, 10);
    PrintNumber(value, PrintEnding::None);
    PrintText("|", PrintEnding::None);
    EXPECT_EQ(TextAt(4, 10, static_cast<int>(strlen(text)) + 1), std::string(text) + "|");
  }
}

TEST(TextWrapping, RunsOnIntoTheNextRowAfterColumn131) {
  FreshScreen();
  SetTextCursor(1, 40);
  std::string text(92, 'a');
  text += 'b';
  PrintText(text, PrintEnding::LineBreak);
  EXPECT_EQ(TextAt(1, 131, 1), "a");
  EXPECT_EQ(TextAt(2, 1, 2), "b ");
  PrintText("c", PrintEnding::None);
  EXPECT_EQ(TextAt(3, 1, 1), "c");

  // Ending exactly in column 131 leaves the cursor on the next row already,
  // so a line break after it leaves a blank row.
  FreshScreen();
  SetTextCursor(1, 40);
  PrintText(std::string(92, 'x'), PrintEnding::LineBreak);
  PrintText("d", PrintEnding::None);
  EXPECT_EQ(TextAt(2, 1, 1), " ");
  EXPECT_EQ(TextAt(3, 1, 1), "d");
}

TEST(TextScrolling, LineBreakOnTheLastRowScrollsOnlyWithTheNextCharacter) {
  FreshScreen();
  SetTextCursor(100, 1);
  PrintText("last", PrintEnding::LineBreak);
  EXPECT_EQ(TextAt(100, 1, 4), "last");  // only pending so far
  PrintText("new", PrintEnding::None);
  EXPECT_EQ(TextAt(99, 1, 4), "last");
  EXPECT_EQ(TextAt(100, 1, 4), "new ");

  // SetTextCursor cancels a pending scroll.
  FreshScreen();
  SetTextCursor(100, 1);
  PrintText("stay", PrintEnding::LineBreak);
  SetTextCursor(50, 1);
  PrintText("elsewhere", PrintEnding::None);
  EXPECT_EQ(TextAt(100, 1, 4), "stay");
  EXPECT_EQ(TextAt(50, 1, 9), "elsewhere");
}

TEST(TextScrolling, MovesThePixelsUpAndBlanksTheFreedRow) {
  FreshScreen();
  DrawBox(0, 792, 3, 799, 0xFF00FF00, true);  // on row 100
  SetTextCursor(100, 10);
  PrintText("x", PrintEnding::LineBreak);
  PrintText("", PrintEnding::None);  // an empty text writes no character: no scroll
  EXPECT_EQ(testing::PixelAt(0, 792), 0xFF00FF00u);
  PrintText(" ", PrintEnding::None);
  EXPECT_EQ(testing::PixelAt(0, 784), 0xFF00FF00u);
  EXPECT_EQ(testing::PixelAt(0, 792), TextBackground);
}

TEST(ControlCharacters, MoveTheCursorAndBeep) {
  MemorySurface& surface = FreshScreen();
  SetTextCursor(10, 5);
  PrintText("ab\bc", PrintEnding::None);  // backspace: c replaces b
  EXPECT_EQ(TextAt(10, 5, 3), "ac ");
  PrintText("\tT", PrintEnding::None);  // columns 5, 6 written; tab to 9
  EXPECT_EQ(TextAt(10, 9, 1), "T");
  PrintText("\rR", PrintEnding::None);
  EXPECT_EQ(TextAt(10, 1, 1), "R");
  PrintText("\nN", PrintEnding::None);
  EXPECT_EQ(TextAt(11, 1, 1), "N");
  SetTextCursor(12, 1);
  PrintText("\b", PrintEnding::None);  // no further left than column 1
  PrintText("\aB", PrintEnding::None);
  EXPECT_EQ(TextAt(12, 1, 1), "B");
  ASSERT_EQ(surface.Beeps.size(), 1u);
  EXPECT_EQ(surface.Beeps[0], std::make_pair(1000, 250));
}

TEST(TextCursor, PositionsOutsideTheGridAreIgnored) {
  FreshScreen();
  SetTextCursor(3, 3);
  SetTextCursor(0, 5);
  SetTextCursor(5, 132);
  SetTextCursor(101, 1);
  SetTextCursor(5, 0);
  PrintText("k", PrintEnding::None);
  EXPECT_EQ(TextAt(3, 3, 1), "k");
}

TEST(TextCells, CharacterPaintsItsWholeCellWhiteOnBlack) {
  FreshScreen();
  DrawBox(0, 0, 20, 20, 0xFF123456, true);
  SetTextCursor(1, 1);
  PrintText("\xDB ", PrintEnding::None);  // a full block, then a blank
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(testing::PixelAt(x, y), TextForeground);
      EXPECT_EQ(testing::PixelAt(8 + x, y), TextBackground);
    }
  }
  EXPECT_EQ(testing::PixelAt(16, 0), 0xFF123456u);
  ClearScreen();
  EXPECT_EQ(testing::PixelAt(16, 0), TextBackground);
  PrintText("h", PrintEnding::None);
  EXPECT_EQ(TextAt(1, 1, 1), "h");
}

}  // namespace
}  // namespace terrafix
