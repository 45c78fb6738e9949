#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "memory_screen.h"
#include "platform/screen/screen.h"
#include "platform/screen/screen_device.h"
#include "platform/terminal/terminal_keys.h"

namespace terrafix {
namespace {

TEST(KeyQueue, HoldsFifteenKeysAndPushesOutTheOldest) {
  testing::FreshScreen();
  for (int i = 0; i < 20; ++i) QueueKey('a' + i);
  for (int i = 5; i < 20; ++i) EXPECT_EQ(ReadKey(), std::string(1, static_cast<char>('a' + i)));
  EXPECT_EQ(ReadKey(), "");
  EXPECT_EQ(ReadKey(), "");
}

TEST(KeyQueue, TwoCharacterKeysAndTheArrivedFlag) {
  testing::FreshScreen();
  EXPECT_FALSE(Screen().KeyArrived);
  QueueKey(ExtendedKey + ScanClose);
  QueueKey(13);
  EXPECT_TRUE(Screen().KeyArrived);
  EXPECT_EQ(ReadKey(), std::string("\xFFk"));
  EXPECT_FALSE(Screen().KeyArrived);  // cleared by every read
  EXPECT_EQ(ReadKey(), "\r");
}

TEST(LowerCase, OnlyLettersOfTextAndNeverAScanCode) {
  EXPECT_EQ(LowerCase("AbZ9 [@]"), "abz9 [@]");
  EXPECT_EQ(LowerCase(""), "");
  EXPECT_EQ(LowerCase("\xFFK"), "\xFFK");  // left arrow stays the left arrow
  EXPECT_EQ(LowerCase("\x8EJ"), "\x8Ej");
}

TEST(ReadMouse, AllMinusOneWhenInactiveOrOutside) {
  struct Case {
    bool Active, Inside;
    MouseReading Expected;
  };
  const Case cases[] = {
      {true, true, {12, 34, 3, 5, 0, true}},
      {false, true, {-1, -1, -1, -1, -1, false}},
      {true, false, {-1, -1, -1, -1, -1, false}},
  };
  for (const Case& c : cases) {
    MemorySurface& surface = testing::FreshScreen();
    surface.Pointer = {12, 34, 5, 3, c.Inside, c.Active};
    MouseReading m = ReadMouse();
    EXPECT_EQ(m.X, c.Expected.X);
    EXPECT_EQ(m.Y, c.Expected.Y);
    EXPECT_EQ(m.Wheel, c.Expected.Wheel);
    EXPECT_EQ(m.Buttons, c.Expected.Buttons);
    EXPECT_EQ(m.Confined, c.Expected.Confined);
    EXPECT_EQ(m.Valid, c.Expected.Valid);
  }
}


std::vector<std::string> KeysOf(std::string input, bool final, PointerState& pointer) {
  testing::FreshScreen();
  ParseTerminalInput(input, pointer, final);
  std::vector<std::string> keys;
  for (std::string k = ReadKey(); !k.empty(); k = ReadKey()) keys.push_back(k);
  if (!input.empty()) keys.push_back("left:" + input);
  return keys;
}

TEST(TerminalInput, SequencesBecomeTheKeysOfTheWindow) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"ab\r\x7F\t", V{"a", "b", "\r", "\b", "\t"}},
      {"\x1B[A\x1B[B\x1B[C\x1B[D", V{"\xFFH", "\xFFP", "\xFFM", "\xFFK"}},
      {"\x1BOA\x1B[1;5D", V{"\xFFH", "\xFFK"}},
      {"\x1B[H\x1B[F\x1B[1~\x1B[4~\x1B[2~\x1B[3~\x1B[5~\x1B[6~",
       V{"\xFFG", "\xFFO", "\xFFG", "\xFFO", "\xFFR", "\xFFS", "\xFFI", "\xFFQ"}},
      {"\x1BOP\x1BOS\x1B[15~\x1B[21~", V{"\xFF;", "\xFF>", "\xFF?", "\xFF" "D"}},
      {"\x1B", V{"\x1B"}},             // a lone Esc once nothing follows
      {"\x1Bx", V{"\x1B", "x"}},
      {"\xC3\xA9\xE2\x82\xAC!", V{"\x82", "!"}},  // e-acute; the euro sign has no code
      // Broken UTF-8: one replacement character (no code), the next byte kept.
      {"\x80" "a", V{"a"}},
      {"\xC3" "a", V{"a"}},
      {"\xE2\x82" "b", V{"b"}},
      {"\xC0\xAF" "c", V{"c"}},  // an overlong "/"
      {"\xFF" "d", V{"d"}},
  };
  for (const auto& [input, expected] : cases) {
    PointerState pointer;
    EXPECT_EQ(KeysOf(input, true, pointer), expected);
  }
  PointerState pointer;
  EXPECT_EQ(KeysOf("a\x1B[1", false, pointer), (V{"a", "left:\x1B[1"}));  // the rest may still come
}

TEST(TerminalInput, MouseReportsReadAsAPixelInsideTheCell) {
  PointerState p;
  KeysOf("\x1B[<0;101;60M", true, p);
  EXPECT_TRUE(p.Inside);
  EXPECT_EQ(std::make_tuple(p.X, p.Y, p.Buttons), std::make_tuple(803, 475, 1));
  PointerRead(p);
  KeysOf("\x1B[<2;1;1M\x1B[<35;3;2M", true, p);  // right pressed, then a move
  PointerRead(p);
  EXPECT_EQ(std::make_tuple(p.X, p.Y, p.Buttons), std::make_tuple(19, 11, 3));
  PointerRead(p);
  KeysOf("\x1B[<0;3;2m\x1B[<1;3;2M\x1B[<64;3;2M\x1B[<64;3;2M\x1B[<65;3;2M", true, p);
  EXPECT_EQ(p.Buttons, 2 | 4);
  EXPECT_EQ(p.Wheel, 1);
  // A press and its release, and a move, before any read: the press is read
  // where it happened, then the release and the move.
  PointerRead(p);
  KeysOf("\x1B[<0;9;9M\x1B[<0;9;9m\x1B[<35;20;20M", true, p);
  EXPECT_EQ(std::make_tuple(p.X, p.Y, p.Buttons), std::make_tuple(67, 67, 1 | 2 | 4));
  PointerRead(p);
  EXPECT_EQ(std::make_tuple(p.X, p.Y, p.Buttons), std::make_tuple(155, 155, 2 | 4));
}

// A cell that the window has no pixel for, or a number no terminal sends, is
// a pointer outside the drawing area; nothing overflows.
TEST(TerminalInput, ReportsOutsideTheFrameOrOutOfRange) {
  const std::pair<std::string, bool> cases[] = {
      {"\x1B[<0;131;100M", true},   // pixel (1043, 795): the last cell
      {"\x1B[<0;132;10M", false},   // pixel 1051: past the frame's 1050 columns
      {"\x1B[<0;10;101M", false},
      {"\x1B[<0;0;5M", false},
      {"\x1B[<0;2147483647;1M", false},
      {"\x1B[<0;99999999999999999999;1M", false},
  };
  for (const auto& [report, inside] : cases) {
    PointerState p;
    p.Inside = true;
    EXPECT_TRUE(KeysOf(report, true, p).empty()) << report;
    EXPECT_EQ(p.Inside, inside) << report;
    if (inside) {
      EXPECT_EQ(std::make_tuple(p.X, p.Y), std::make_tuple(1043, 795));
    }
  }
}

// Keys are taken only as the queue has room: a paste longer than the queue
// arrives whole and in order, none pushed out.
TEST(TerminalInput, APasteWaitsForRoomInTheQueue) {
  testing::FreshScreen();
  PointerState pointer;
  std::string input = "my_castle_level_v2_final";
  std::string taken;
  for (int gathering = 0; gathering < 10 && !input.empty(); ++gathering) {
    ParseTerminalInput(input, pointer, false);
    for (std::string k = ReadKey(); !k.empty(); k = ReadKey()) taken += k;
  }
  EXPECT_EQ(taken, "my_castle_level_v2_final");
  EXPECT_TRUE(input.empty());
}

}  // namespace
}  // namespace terrafix
