// The state behind screen.h, shared by the files of the screen layer.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/screen.h"
#include "platform/screen_backend.h"

namespace terrafix {

// First in, first out; 16 slots of which 15 hold keys.
struct KeyQueue {
  static constexpr int Slots = 16;
  std::array<int, Slots> Codes{};
  int Head = 0;   // oldest key
  int Count = 0;  // at most Slots - 1
};

struct ScreenDevice {
  std::unique_ptr<ScreenBackend> Backend;
  bool Frame = true;  // the backend shows a frame
  std::vector<uint32_t> Pixels = std::vector<uint32_t>(ScreenWidth * ScreenHeight, TextBackground);
  bool Locked = false;
  bool Changed = false;  // drawn into since the frame was last shown
  int Row = 1;
  int Column = 1;
  int LinePosition = 0;  // characters written since the last line end, modulo 131
  bool ScrollPending = false;
  KeyQueue Keys;
  bool KeyArrived = false;
  PointerState Pointer;
};

ScreenDevice& Screen();

// Text-cell writes that bypass the cursor (line input redraws its answer).
void PutCell(int row, int column, unsigned char code);
void ScrollScreenUp();
// Carries out a pending scroll before the next character.
void FlushPendingScroll();
// Marks the frame changed; it shows at the next service unless locked.
void FrameChanged();
// Takes the oldest key, or 0 when none waits; clears the key-arrived flag.
int TakeKey();
std::string KeyText(int code);

}  // namespace terrafix
