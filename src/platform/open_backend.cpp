// The editor's own choice of screen: a desktop window where one can be opened.
#include "platform/screen_backend.h"
#include "platform/sdl_window.h"

namespace terrafix {

std::unique_ptr<ScreenBackend> OpenPlatformBackend(int width, int height, bool& isWindow) {
  isWindow = true;
  return OpenSdlWindow(width, height, ProgramTitle());
}

}  // namespace terrafix
