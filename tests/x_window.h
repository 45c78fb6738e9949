// What the window tests ask of the X server directly (kept apart: Xlib's
// macros clash with ordinary names).
#pragma once

#include <string>

namespace terrafix::testing {

struct WindowFacts {
  bool Found = false;
  int Width = 0, Height = 0;
  std::string Title;
  bool FixedSize = false;  // minimum and maximum size both equal the size
};

WindowFacts ReadWindowFacts(unsigned long window);

// Sends WM_DELETE_WINDOW, as a window manager does for the title bar's close control.
bool SendCloseRequest(unsigned long window);

}  // namespace terrafix::testing
