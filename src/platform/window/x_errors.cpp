#include "platform/window/x_errors.h"

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

}  // namespace terrafix
