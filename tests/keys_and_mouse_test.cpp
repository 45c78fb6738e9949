#include <gtest/gtest.h>

#include "memory_screen.h"
#include "platform/screen.h"
#include "platform/screen_device.h"
#include "platform/sdl_keys.h"

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

TEST(WindowKeys, KeysWithoutCharactersBecomeTheirCodes) {
  auto key = [](SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
    SDL_Keysym k{};
    k.sym = sym;
    k.mod = mod;
    return KeyQueueCode(k);
  };
  auto ext = [](char scan) { return ExtendedKey + static_cast<unsigned char>(scan); };
  EXPECT_EQ(key(SDLK_RETURN), 13);
  EXPECT_EQ(key(SDLK_KP_ENTER), 13);
  EXPECT_EQ(key(SDLK_BACKSPACE), 8);
  EXPECT_EQ(key(SDLK_TAB), 9);
  EXPECT_EQ(key(SDLK_ESCAPE), 27);
  EXPECT_EQ(key(SDLK_a, KMOD_LCTRL), 1);
  EXPECT_EQ(key(SDLK_z, KMOD_RCTRL), 26);
  EXPECT_EQ(key(SDLK_UP), ext('H'));
  EXPECT_EQ(key(SDLK_DOWN), ext('P'));
  EXPECT_EQ(key(SDLK_LEFT), ext('K'));
  EXPECT_EQ(key(SDLK_RIGHT), ext('M'));
  EXPECT_EQ(key(SDLK_HOME), ext('G'));
  EXPECT_EQ(key(SDLK_END), ext('O'));
  EXPECT_EQ(key(SDLK_PAGEUP), ext('I'));
  EXPECT_EQ(key(SDLK_PAGEDOWN), ext('Q'));
  EXPECT_EQ(key(SDLK_INSERT), ext('R'));
  EXPECT_EQ(key(SDLK_DELETE), ext('S'));
  EXPECT_EQ(key(SDLK_F1), ext(';'));
  EXPECT_EQ(key(SDLK_F10), ext('D'));
  EXPECT_EQ(key(SDLK_KP_8), ext('H'));      // keypad without Num Lock
  EXPECT_EQ(key(SDLK_KP_8, KMOD_NUM), 0);   // with it, a typed digit
  EXPECT_EQ(key(SDLK_a), 0);                // arrives as typed text
  EXPECT_EQ(key(SDLK_LSHIFT), 0);
}

TEST(WindowKeys, TypedTextIsQueuedInCodePage437) {
  testing::FreshScreen();
  QueueTypedText("aZ\xC3\xA9\xE2\x96\x88\xE2\x82\xAC!");  // a Z e-acute full-block euro !
  EXPECT_EQ(ReadKey(), "a");
  EXPECT_EQ(ReadKey(), "Z");
  EXPECT_EQ(ReadKey(), "\x82");
  EXPECT_EQ(ReadKey(), "\xDB");
  EXPECT_EQ(ReadKey(), "!");  // the euro sign has no code: dropped
  EXPECT_EQ(ReadKey(), "");
}

}  // namespace
}  // namespace terrafix
