#include "x_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace terrafix::testing {

WindowFacts ReadWindowFacts(unsigned long window) {
  WindowFacts facts;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return facts;
  XWindowAttributes attributes;
  if (XGetWindowAttributes(d, window, &attributes)) {
    facts.Found = true;
    facts.Width = attributes.width;
    facts.Height = attributes.height;
  }
  char* name = nullptr;
  if (XFetchName(d, window, &name) && name) {
    facts.Title = name;
    XFree(name);
  }
  XSizeHints hints{};
  long supplied = 0;
  if (XGetWMNormalHints(d, window, &hints, &supplied)) {
    facts.FixedSize = (hints.flags & PMinSize) && (hints.flags & PMaxSize) && hints.min_width == facts.Width &&
                      hints.max_width == facts.Width && hints.min_height == facts.Height &&
                      hints.max_height == facts.Height;
  }
  XCloseDisplay(d);
  return facts;
}

bool SendCloseRequest(unsigned long window) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return false;
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = window;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  Status sent = XSendEvent(d, window, False, NoEventMask, &e);
  XFlush(d);
  XCloseDisplay(d);
  return sent != 0;
}

OtherWindow::OtherWindow() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return;
  Connection = d;
  const ::Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 60, 60, 0, 0, 0);
  XSelectInput(d, window, StructureNotifyMask);
  XMapWindow(d, window);
  for (XEvent e; XNextEvent(d, &e) == 0 && e.type != MapNotify;) {
  }
  XSetInputFocus(d, window, RevertToParent, CurrentTime);
  XSync(d, False);
  Window = window;
}

OtherWindow::~OtherWindow() {
  if (!Connection) return;
  Display* d = static_cast<Display*>(Connection);
  if (Window) XDestroyWindow(d, Window);
  XCloseDisplay(d);
}

}  // namespace terrafix::testing
