// The window's keys as the key queue holds them.
#include <gtest/gtest.h>

#include "memory_screen.h"
#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"
#include "platform/window/sdl_keys.h"

namespace terrafix {
namespace {

TEST(WindowKeys, KeysWithoutCharactersBecomeTheirCodes) {
  struct Case {
    SDL_Keycode Sym;
    Uint16 Mod;
    int Expected;
  };
  const Case cases[] = {
      {SDLK_RETURN, KMOD_NONE, 13},
      {SDLK_KP_ENTER, KMOD_NONE, 13},
      {SDLK_BACKSPACE, KMOD_NONE, 8},
      {SDLK_TAB, KMOD_NONE, 9},
      {SDLK_ESCAPE, KMOD_NONE, 27},
      {SDLK_a, KMOD_LCTRL, 1},
      {SDLK_y, KMOD_LCTRL, 25},
      {SDLK_z, KMOD_RCTRL, 26},
      {SDLK_UP, KMOD_NONE, 256 + 'H'},
      {SDLK_DOWN, KMOD_NONE, 256 + 'P'},
      {SDLK_LEFT, KMOD_NONE, 256 + 'K'},
      {SDLK_RIGHT, KMOD_NONE, 256 + 'M'},
      {SDLK_HOME, KMOD_NONE, 256 + 'G'},
      {SDLK_END, KMOD_NONE, 256 + 'O'},
      {SDLK_PAGEUP, KMOD_NONE, 256 + 'I'},
      {SDLK_PAGEDOWN, KMOD_NONE, 256 + 'Q'},
      {SDLK_INSERT, KMOD_NONE, 256 + 'R'},
      {SDLK_DELETE, KMOD_NONE, 256 + 'S'},
      {SDLK_F1, KMOD_NONE, 256 + ';'},
      {SDLK_F10, KMOD_NONE, 256 + 'D'},
      {SDLK_KP_8, KMOD_NONE, 256 + 'H'},  // the keypad without Num Lock
      {SDLK_KP_PERIOD, KMOD_NONE, 256 + 'S'},
      {SDLK_KP_8, KMOD_NUM, 0},  // with it, a typed digit
      {SDLK_a, KMOD_NONE, 0},    // arrives as typed text
      {SDLK_LSHIFT, KMOD_NONE, 0},
  };
  for (const Case& c : cases) {
    SDL_Keysym key{};
    key.sym = c.Sym;
    key.mod = c.Mod;
    EXPECT_EQ(KeyQueueCode(key), c.Expected) << SDL_GetKeyName(c.Sym) << " with modifiers " << c.Mod;
  }
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
