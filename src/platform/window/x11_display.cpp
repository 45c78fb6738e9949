#include "platform/window/x11_display.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include "platform/screen/screen_backend.h"

namespace terrafix {

namespace {

int EndStatus = -1;

int OnDisplayLost(Display*) {
  if (EndStatus >= 0) _exit(EndStatus);
  EndForLostScreen();
}

int OnXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

void CatchXErrors() {
  XSetIOErrorHandler(OnDisplayLost);
  XSetErrorHandler(OnXError);
}

void EndOnLostDisplayWith(int status) { EndStatus = status; }

void* X11DisplayOf(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
  return info.info.x11.display;
}

bool XEventsWaiting(void* display) { return XPending(static_cast<Display*>(display)) > 0; }

int XConnectionFd(void* display) { return ConnectionNumber(static_cast<Display*>(display)); }

}  // namespace terrafix
