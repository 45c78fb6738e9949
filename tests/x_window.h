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

// Another program's window, for as long as it lives: shown in the screen's
// top-left corner and given the input focus.
class OtherWindow {
 public:
  OtherWindow();
  ~OtherWindow();
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  bool Shown() const { return Window != 0; }

 private:
  void* Connection = nullptr;  // Xlib's Display
  unsigned long Window = 0;
};

}  // namespace terrafix::testing
