#include <gtest/gtest.h>

#include <vector>

#include "memory_screen.h"
#include "platform/screen/line_input.h"
#include "platform/screen/screen.h"
#include "platform/screen/screen_backend.h"

namespace terrafix {
namespace {

using testing::TextAt;

constexpr int Enter = 13, Backspace = 8, Tab = 9, Esc = 27;
constexpr int Left = ExtendedKey + 'K', Right = ExtendedKey + 'M', Home = ExtendedKey + 'G', End = ExtendedKey + 'O';
constexpr int Up = ExtendedKey + 'H', Down = ExtendedKey + 'P', Delete = ExtendedKey + 'S';
constexpr int Close = ExtendedKey + 'k';

std::vector<int> Typed(const std::string& text) {
  std::vector<int> keys;
  for (unsigned char c : text) keys.push_back(c);
  return keys;
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string Answer(MemorySurface& surface, const std::vector<int>& keys) {
  surface.ScriptedKeys.assign(keys.begin(), keys.end());
  SetTextCursor(1, 40);
  return InputLine("? ");
}

TEST(AnswerItem, TakenAsOneItem) {
  const std::pair<std::string, std::string> cases[] = {
      {"  my level, 2", "my level"},
      {"\"a,b\"", "a,b"},
      {"", ""},
      {"   ", ""},
      {"\t x", "x"},
      {"trailing  ", "trailing  "},
      {"ab\"c", "ab\"c"},
      {"  \"quoted\" rest", "quoted"},
      {"\"unclosed, still", "unclosed, still"},
      {",first", ""},
      {std::string(5000, 'w'), std::string(4096, 'w')},
  };
  for (const auto& [line, item] : cases) EXPECT_EQ(TakeAnswerItem(line), item) << "line '" << line << "'";
}

TEST(InputLine, EditingKeys) {
  const std::vector<int> longLine = Typed(std::string(140, 'a'));
  const std::pair<std::vector<int>, std::string> cases[] = {
      {Typed("abc") + std::vector<int>{Left, Left} + Typed("X") + std::vector<int>{Enter}, "aXbc"},
      {Typed("abc") + std::vector<int>{Backspace, Enter}, "ab"},
      {std::vector<int>{Backspace} + Typed("abc") + std::vector<int>{Home, Backspace, Delete, Enter}, "bc"},
      {Typed("abc") + std::vector<int>{Home, Right, Right, Right, Right, Delete} + Typed("d") + std::vector<int>{Enter}, "abcd"},
      {Typed("ab") + std::vector<int>{Esc} + Typed("c") + std::vector<int>{Enter}, "c"},
      {Typed("abc") + std::vector<int>{Tab} + Typed("d") + std::vector<int>{Enter}, "abc     d"},
      {Typed("x") + std::vector<int>{Tab} + Typed("y") + std::vector<int>{10}, "x       y"},
      {Typed("ab") + std::vector<int>{Home, End} + Typed("c") + std::vector<int>{Enter}, "abc"},
      {Typed("ab") + std::vector<int>{Close, 1, Up, Down, ExtendedKey + ';'} + Typed("c") + std::vector<int>{Enter}, "abc"},
      {longLine + std::vector<int>{Home, Down} + Typed("Z") + std::vector<int>{Up} + Typed("Y") + std::vector<int>{Enter},
       "aY" + std::string(130, 'a') + "Z" + std::string(9, 'a')},
      {Typed("ab") + std::vector<int>{Down, Left} + Typed("Q") + std::vector<int>{Enter}, "aQb"},
      {Typed("\xFF\x82") + std::vector<int>{Enter}, "\xFF\x82"},
  };
  for (const auto& [keys, expected] : cases) {
    MemorySurface& surface = testing::FreshScreen();
    EXPECT_EQ(Answer(surface, keys), expected);
  }
}

TEST(InputLine, DeleteAtTheEndBeeps) {
  MemorySurface& surface = testing::FreshScreen();
  EXPECT_EQ(Answer(surface, Typed("ab") + std::vector<int>{Delete, Enter}), "ab");
  ASSERT_EQ(surface.Beeps.size(), 1u);
  EXPECT_EQ(surface.Beeps[0], std::make_pair(1000, 250));
}

TEST(InputLine, EchoesAfterThePromptAndEndsWithALineBreak) {
  MemorySurface& surface = testing::FreshScreen();
  SetTextCursor(1, 40);
  PrintText(std::string(60, '='), PrintEnding::None);
  surface.ScriptedKeys.assign({'a', 'b', 'c', Home, Delete, Enter});
  SetTextCursor(1, 40);
  EXPECT_EQ(InputLine("Name: "), "bc");
  // The freed cell is blanked, and so is the cell where the input cursor stood
  // at the end of the answer; the rest stays.
  EXPECT_EQ(TextAt(1, 40, 11), "Name: bc  =");
  PrintText("#", PrintEnding::None);
  EXPECT_EQ(TextAt(2, 1, 1), "#");
}

TEST(InputLine, LongAnswerRunsOnToTheNextRow) {
  MemorySurface& surface = testing::FreshScreen();
  std::string prompt(74, 'p');
  std::vector<int> keys = Typed(std::string(30, 'z')) + std::vector<int>{Enter};
  surface.ScriptedKeys.assign(keys.begin(), keys.end());
  SetTextCursor(1, 40);
  EXPECT_EQ(InputLine(prompt), std::string(30, 'z'));
  EXPECT_EQ(TextAt(1, 114, 18), std::string(18, 'z'));
  EXPECT_EQ(TextAt(2, 1, 13), std::string(12, 'z') + " ");
  PrintText("#", PrintEnding::None);
  EXPECT_EQ(TextAt(3, 1, 1), "#");
}

TEST(InputLine, CursorIsALineOnTheBottomRowOfTheInsertionCell) {
  MemorySurface& surface = testing::FreshScreen();
  std::vector<uint32_t> bottom;
  surface.OnGather = [&] {
    // Column 42 is right after the prompt "? " written from column 40.
    for (int x = 0; x < 8; ++x) bottom.push_back(testing::PixelAt(41 * 8 + x, 7));
    surface.ScriptedKeys.assign({Enter});
    surface.OnGather = nullptr;
  };
  SetTextCursor(1, 40);
  EXPECT_EQ(InputLine("? "), "");
  EXPECT_EQ(bottom, std::vector<uint32_t>(8, TextForeground));
  EXPECT_EQ(testing::PixelAt(41 * 8, 7), TextBackground);  // taken away again
}

TEST(WaitForKey, LeavesTheKeyQueued) {
  MemorySurface& surface = testing::FreshScreen();
  surface.ScriptedKeys.assign({'q'});
  WaitForKey();
  EXPECT_EQ(ReadKey(), "q");

  // A key that arrived after the last read ends the wait at once.
  QueueKey('z');
  WaitForKey();
  EXPECT_EQ(ReadKey(), "z");
  EXPECT_THROW(WaitForKey(), InputExhausted);  // the read cleared the flag: it would wait
}

}  // namespace
}  // namespace terrafix
