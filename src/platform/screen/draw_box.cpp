// Filled and outlined boxes with both corners included, clipped to the frame.
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/screen/screen_device.h"

namespace terrafix {

namespace {

// Half away from zero, held within a range that no pixel arithmetic overflows.
int RoundCoordinate(float v) {
  double d = std::clamp(static_cast<double>(v), -1e9, 1e9);
  return static_cast<int>(d >= 0 ? d + 0.5 : d - 0.5);
}

void FillSpan(uint32_t* pixels, int x1, int x2, int y1, int y2, uint32_t colour) {
  x1 = std::max(x1, 0);
  x2 = std::min(x2, ScreenWidth - 1);
  y1 = std::max(y1, 0);
  y2 = std::min(y2, ScreenHeight - 1);
  if (x1 > x2 || y1 > y2) return;
  for (int y = y1; y <= y2; ++y) {
    uint32_t* row = pixels + y * ScreenWidth;
    std::fill(row + x1, row + x2 + 1, colour);
  }
}

}  // namespace

void DrawBox(float fx1, float fy1, float fx2, float fy2, uint32_t colour, bool filled) {
  ScreenDevice& s = Screen();
  if (!s.Frame) return;
  int x1 = RoundCoordinate(fx1), y1 = RoundCoordinate(fy1);
  int x2 = RoundCoordinate(fx2), y2 = RoundCoordinate(fy2);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 < 0 || y2 < 0 || x1 > ScreenWidth - 1 || y1 > ScreenHeight - 1) return;
  uint32_t* pixels = s.Pixels.data();
  if (filled) {
    FillSpan(pixels, x1, x2, y1, y2, colour);
  } else {
    if (y1 >= 0) FillSpan(pixels, x1, x2, y1, y1, colour);
    if (y2 <= ScreenHeight - 1) FillSpan(pixels, x1, x2, y2, y2, colour);
    if (x1 >= 0) FillSpan(pixels, x1, x1, y1, y2, colour);
    if (x2 <= ScreenWidth - 1) FillSpan(pixels, x2, x2, y1, y2, colour);
  }
  FrameChanged({x1, y1, x2, y2});
}

}  // namespace terrafix
