// Keys of the window as the key queue holds them.
#include "platform/window/sdl_keys.h"

#include "platform/screen/key_codes.h"
#include "platform/screen/screen_backend.h"
#include "platform/text/cp437.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

struct KeyCode {
  SDL_Keycode Sym;
  int Code;
};

constexpr KeyCode PlainKeys[] = {
    {SDLK_RETURN, KeyEnter},
    {SDLK_KP_ENTER, KeyEnter},
    {SDLK_BACKSPACE, KeyBackspace},
    {SDLK_TAB, KeyTab},
    {SDLK_ESCAPE, KeyEsc},
    {SDLK_UP, ExtendedCode(ScanUp)},
    {SDLK_DOWN, ExtendedCode(ScanDown)},
    {SDLK_LEFT, ExtendedCode(ScanLeft)},
    {SDLK_RIGHT, ExtendedCode(ScanRight)},
    {SDLK_HOME, ExtendedCode(ScanHome)},
    {SDLK_END, ExtendedCode(ScanEnd)},
    {SDLK_PAGEUP, ExtendedCode(ScanPageUp)},
    {SDLK_PAGEDOWN, ExtendedCode(ScanPageDown)},
    {SDLK_INSERT, ExtendedCode(ScanInsert)},
    {SDLK_DELETE, ExtendedCode(ScanDelete)},
    {SDLK_F11, ExtendedCode(ScanF11)},
    {SDLK_F12, ExtendedCode(ScanF12)},
};

// The keypad's second meanings, with Num Lock off.
constexpr KeyCode KeypadKeys[] = {
    {SDLK_KP_8, ExtendedCode(ScanUp)},       {SDLK_KP_2, ExtendedCode(ScanDown)},
    {SDLK_KP_4, ExtendedCode(ScanLeft)},     {SDLK_KP_6, ExtendedCode(ScanRight)},
    {SDLK_KP_7, ExtendedCode(ScanHome)},     {SDLK_KP_1, ExtendedCode(ScanEnd)},
    {SDLK_KP_9, ExtendedCode(ScanPageUp)},   {SDLK_KP_3, ExtendedCode(ScanPageDown)},
    {SDLK_KP_0, ExtendedCode(ScanInsert)},   {SDLK_KP_PERIOD, ExtendedCode(ScanDelete)},
};

int Find(const auto& table, SDL_Keycode sym) {
  for (const KeyCode& k : table) {
    if (k.Sym == sym) return k.Code;
  }
  return 0;
}

}  // namespace

int KeyQueueCode(const SDL_Keysym& key) {
  if (int code = Find(PlainKeys, key.sym)) return code;
  if (key.sym >= SDLK_F1 && key.sym <= SDLK_F10) return FunctionKeyCode(static_cast<int>(key.sym - SDLK_F1) + 1);
  if (!(key.mod & KMOD_NUM)) {
    if (int code = Find(KeypadKeys, key.sym)) return code;
  }
  if ((key.mod & KMOD_CTRL) && key.sym >= SDLK_a && key.sym <= SDLK_z) return KeyCtrlA + static_cast<int>(key.sym - SDLK_a);
  return 0;
}

void QueueTypedText(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    if (int code = UnicodeToCp437(DecodeUtf8(text, at))) QueueKey(code);
  }
}

}  // namespace terrafix
