// The state behind screen.h, shared by the files of the screen layer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/screen/screen.h"
#include "platform/screen/screen_backend.h"

namespace terrafix {

// The beep of the bell character and of Delete at the end of a line input.
constexpr int BeepHertz = 1000;
constexpr int BeepMilliseconds = 250;

// First in, first out; 16 slots of which 15 hold keys.
struct KeyQueue {
  static constexpr int Slots = 16;
  std::array<int, Slots> Codes{};
  int Head = 0;   // oldest key
  int Count = 0;  // at most Slots - 1
};
static_assert(KeyQueue::Slots - 1 == KeyQueueCapacity);

// Per pixel row, the span of columns that may hold anything but the
// background. A clear writes only these spans, so pixels that are already
// background are not written again on every pass.
struct DrawnSpans {
  std::array<int16_t, ScreenHeight> Left;
  std::array<int16_t, ScreenHeight> Right;  // Left > Right: the row is all background
  DrawnSpans() { Forget(); }
  void Forget() {
    Left.fill(ScreenWidth);
    Right.fill(-1);
  }
  void Mark(const PixelRect& area);
};

struct ScreenDevice {
  std::unique_ptr<ScreenBackend> Backend;
  bool Frame = true;  // the backend shows a frame
  std::vector<uint32_t> Pixels = std::vector<uint32_t>(ScreenWidth * ScreenHeight, TextBackground);
  bool Locked = false;
  bool Changed = false;  // drawn into since the frame was last shown
  DrawnSpans Drawn;
  int Row = 1;
  int Column = 1;
  int LinePosition = 0;  // characters written since the last line end, modulo 131
  bool ScrollPending = false;
  KeyQueue Keys;
  bool KeyArrived = false;
  PointerState Pointer;
  std::function<void()> LastWishes;
};

ScreenDevice& Screen();

// Text-cell writes that bypass the cursor (line input redraws its answer).
void PutCell(int row, int column, unsigned char code);
void ScrollScreenUp();
// Carries out a pending scroll before the next character.
void FlushPendingScroll();
// Marks the frame changed where `area` (clipped to the frame) was drawn; it
// shows at the next service unless locked.
void FrameChanged(const PixelRect& area);
constexpr PixelRect WholeFrame{0, 0, ScreenWidth - 1, ScreenHeight - 1};
// Takes the oldest key, or 0 when none waits; clears the key-arrived flag.
int TakeKey();
std::string KeyText(int code);

}  // namespace terrafix
