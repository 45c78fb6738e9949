// Keys of the window as the key queue holds them.
#include "platform/sdl_keys.h"

#include "platform/cp437.h"
#include "platform/screen.h"
#include "platform/screen_backend.h"

namespace terrafix {

namespace {

int ExtendedCode(char scan) { return ExtendedKey + static_cast<unsigned char>(scan); }

// Scan codes past F10 that the editor gives no meaning; they only need to
// differ from every character.
constexpr char ScanF11 = '\x85';
constexpr char ScanF12 = '\x86';

}  // namespace

int KeyQueueCode(const SDL_Keysym& key) {
  bool numLock = (key.mod & KMOD_NUM) != 0;
  switch (key.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 13;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_ESCAPE: return 27;
    case SDLK_UP: return ExtendedCode(ScanUp);
    case SDLK_DOWN: return ExtendedCode(ScanDown);
    case SDLK_LEFT: return ExtendedCode(ScanLeft);
    case SDLK_RIGHT: return ExtendedCode(ScanRight);
    case SDLK_HOME: return ExtendedCode(ScanHome);
    case SDLK_END: return ExtendedCode(ScanEnd);
    case SDLK_PAGEUP: return ExtendedCode(ScanPageUp);
    case SDLK_PAGEDOWN: return ExtendedCode(ScanPageDown);
    case SDLK_INSERT: return ExtendedCode(ScanInsert);
    case SDLK_DELETE: return ExtendedCode(ScanDelete);
    case SDLK_F11: return ExtendedCode(ScanF11);
    case SDLK_F12: return ExtendedCode(ScanF12);
    default: break;
  }
  if (key.sym >= SDLK_F1 && key.sym <= SDLK_F10) return ExtendedCode(static_cast<char>(ScanF1 + (key.sym - SDLK_F1)));
  if (!numLock) {  // the keypad's second meanings
    switch (key.sym) {
      case SDLK_KP_8: return ExtendedCode(ScanUp);
      case SDLK_KP_2: return ExtendedCode(ScanDown);
      case SDLK_KP_4: return ExtendedCode(ScanLeft);
      case SDLK_KP_6: return ExtendedCode(ScanRight);
      case SDLK_KP_7: return ExtendedCode(ScanHome);
      case SDLK_KP_1: return ExtendedCode(ScanEnd);
      case SDLK_KP_9: return ExtendedCode(ScanPageUp);
      case SDLK_KP_3: return ExtendedCode(ScanPageDown);
      case SDLK_KP_0: return ExtendedCode(ScanInsert);
      case SDLK_KP_PERIOD: return ExtendedCode(ScanDelete);
      default: break;
    }
  }
  if ((key.mod & KMOD_CTRL) && key.sym >= SDLK_a && key.sym <= SDLK_z) return static_cast<int>(key.sym - SDLK_a) + 1;
  return 0;
}

void QueueTypedText(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    char32_t point = *p;
    int extra = point < 0x80 ? 0 : point < 0xE0 ? 1 : point < 0xF0 ? 2 : 3;
    if (extra) point &= 0x3F >> extra;
    ++p;
    for (int i = 0; i < extra && (*p & 0xC0) == 0x80; ++i, ++p) point = (point << 6) | (*p & 0x3F);
    if (int code = UnicodeToCp437(point)) QueueKey(code);
  }
}

}  // namespace terrafix
