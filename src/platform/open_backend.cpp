// The editor's own choice of screen: a desktop window where one can be opened,
// else the terminal it was started from.
#include "platform/screen/screen_backend.h"
#include "platform/window/sdl_window.h"
#include "platform/terminal/terminal_screen.h"

namespace terrafix {

std::unique_ptr<ScreenBackend> OpenPlatformBackend(int width, int height, bool& isWindow) {
  isWindow = true;
  if (auto window = OpenSdlWindow(width, height, ProgramTitle())) return window;
  isWindow = false;
  return OpenTerminalScreen();
}

}  // namespace terrafix
