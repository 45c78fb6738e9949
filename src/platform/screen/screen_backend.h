// What a screen backend provides under the operations of screen.h: showing the
// frame, gathering input events, waiting, beeping and ending the process. The
// SDL window, the in-memory test surface and the terminal are backends.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/screen/key_codes.h"

namespace terrafix {

constexpr int UntilInput = -1;
constexpr int KeyQueueCapacity = 15;  // keys that can wait; one more pushes out the oldest

// The pointer after one mouse event.
struct PointerEvent {
  int32_t Buttons = 0;
  int32_t X = 0;
  int32_t Y = 0;
  bool Inside = false;
  bool Select = false;  // Shift or Alt held
};

struct PointerState {
  int32_t X = 0;        // last position seen inside the drawing area
  int32_t Y = 0;
  int32_t Buttons = 0;  // 1 left, 2 right, 4 middle, 8 and 16 the extra buttons
  int32_t Wheel = 0;    // +1 a step away from the user, -1 a step towards
  bool Inside = false;  // the pointer is inside the drawing area now
  bool Active = false;  // the window is the active one
  bool Select = false;  // Shift or Alt held as the buttons last changed
  // A press is read where it happened, and what follows it (its release in
  // a quick click, moves) waits until the editor has read it: so a press and
  // a release that arrive together are a press at one read and a release at
  // a later one.
  bool PressUnread = false;
  std::array<PointerEvent, 16> Waiting{};
  int WaitingCount = 0;
  int32_t LatestButtons = 0;  // after the last event, applied or waiting
};

// A mouse event as a backend sees it: buttons going down or up, or a move,
// at (x, y), inside the drawing area or not; with Shift or Alt held or not.
void PressButtons(PointerState& pointer, int32_t mask, int32_t x, int32_t y, bool inside, bool select = false);
void ReleaseButtons(PointerState& pointer, int32_t mask, int32_t x, int32_t y, bool inside, bool select = false);
void MovePointer(PointerState& pointer, int32_t x, int32_t y, bool inside);

// The editor has read the pointer: what waited behind the press is applied,
// up to the next press.
void PointerRead(PointerState& pointer);

// What happened on the picture window since it was last asked.
struct PictureInput {
  int32_t Wheel = 0;   // steps away from the user, less those towards
  int32_t Turns = 0;   // drags with the left button: +1 for each to the right, -1 to the left
  bool Closed = false; // its close control was used
};

class ScreenBackend {
 public:
  virtual ~ScreenBackend() = default;
  // False for a backend that shows text only: boxes, lock and unlock do nothing.
  virtual bool HasFrame() const = 0;
  // Shows the whole frame (1050 x 800, row after row).
  virtual void Present(const uint32_t* pixels) = 0;
  // Moves arrived input into the key queue (through QueueKey) and the pointer.
  virtual void GatherEvents(PointerState& pointer) = 0;
  // Waits up to `milliseconds` (UntilInput: with no limit) for input to
  // arrive; may return early.
  virtual void WaitForInput(int milliseconds) = 0;
  virtual void Beep(int hertz, int milliseconds) = 0;
  [[noreturn]] virtual void EndProcess(int status) = 0;
  // Ends the process as `signal` would, once the screen is put away (a
  // terminal as it was found).
  [[noreturn]] virtual void EndBySignal(int signal) = 0;
  // Text-only backends draw characters here; frame backends ignore these.
  virtual void PutCharacter(int row, int column, unsigned char code) { (void)row, (void)column, (void)code; }
  virtual void ScrollUp() {}
  virtual void ClearText() {}
  virtual void ShowInputCursor(int row, int column) { (void)row, (void)column; }
  // Around an external program that shares the terminal: it gets the terminal
  // as a terminal is normally, and the screen is shown whole again afterwards.
  virtual void BeforeProgram() {}
  virtual void AfterProgram() {}
  // A second window, resizable, that shows a picture scaled to fit; only a
  // desktop window has one. The pixels (0xAARRGGBB, `pitch` of them from
  // row to row) stay the caller's, unchanged until the next ShowPicture or
  // ClosePicture: the window shows them again when it is uncovered or resized.
  virtual bool OpenPicture(int width, int height) { return (void)width, (void)height, false; }
  virtual void ShowPicture(const uint32_t* pixels, int width, int height, int pitch) {
    (void)pixels, (void)width, (void)height, (void)pitch;
  }
  virtual void ClosePicture() {}
  // The picture window's title: its name, then `note`.
  virtual void NotePicture(std::string_view note) { (void)note; }
  virtual PictureInput TakePictureInput() { return {}; }
};

// Makes `backend` the screen's and resets the screen to its opened state:
// black frame, cursor at row 1 column 1, empty key queue, pointer all zero.
void InstallScreenBackend(std::unique_ptr<ScreenBackend> backend);

// A key arrives: into the queue (the oldest pushed out when 15 wait) and the
// key-arrived flag set.
void QueueKey(int code);
// Whether a key can be queued without pushing out the oldest; how many can.
bool KeyQueueHasRoom();
int KeyQueueRoom();

// The descriptor that becomes readable when a signal that ends the editor
// arrives (EndSignalPending, screen.h), for a backend that waits on
// descriptors: its wait returns for it.
int EndSignalFd();

// The screen is gone (the display's connection lost): the editor's last
// wishes, then the end of the process with status 1. Never returns.
[[noreturn]] void EndForLostScreen();

// Gathers events and shows the frame if it changed while unlocked. Every read
// and every wait of the screen layer calls this.
void ServiceScreen();

}  // namespace terrafix
