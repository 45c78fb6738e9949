// The editor's window: a 1050 x 800 frame of 32-bit pixels with a grid of 8 x 8
// text cells over it, a box primitive, a mouse read, a key queue and the end of
// the program. Line input and the key wait are in line_input.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/screen/key_codes.h"
#include "platform/screen/screen_backend.h"

namespace terrafix {

constexpr int ScreenWidth = 1050;
constexpr int ScreenHeight = 800;
constexpr int TextColumns = 131;  // 1050 div 8
constexpr int TextRows = 100;     // 800 div 8
constexpr uint32_t TextForeground = 0xFFFFFFFF;
constexpr uint32_t TextBackground = 0xFF000000;

enum class PrintEnding { None, LineBreak, NextZone };

// A rectangle of pixels, both corners inside.
struct PixelRect {
  int Left, Top, Right, Bottom;
};

struct MouseReading {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Wheel = 0;
  int32_t Buttons = 0;
  int32_t Confined = 0;
  bool Valid = false;
  bool Select = false;  // Shift or Alt held as the buttons last changed
};

class ScreenBackend;
// Opens the backend a program shows itself in; null when it cannot. Sets
// `isWindow` when that is a window.
using BackendOpener = std::unique_ptr<ScreenBackend> (*)(int width, int height, bool& isWindow);

// 0 when a window opened. Non-zero for a bad size or depth, or when no window
// could be opened; in that last case the screen falls back to the terminal and
// every operation keeps working there. `open` chooses the backend.
int OpenScreen(int width, int height, int bitsPerPixel, BackendOpener open);

// What to do before the process is ended from outside: by SIGHUP, SIGTERM,
// SIGINT or SIGQUIT (acted on at the next read or wait of the screen, never
// inside the signal handler), or by a lost display. Runs at most once.
void SetLastWishes(std::function<void()> wishes);
// Whether such a signal has arrived and waits to be acted on: a long task
// (an external program) stops for it, so that the editor ends with nothing
// of the task left behind.
bool EndSignalPending();
// Notes those signals from now on, as an open screen does; for a program
// that runs without one.
void CatchEndingSignals();
// Ends the process as a signal that has arrived would (after the last wishes).
void EndIfSignalled();
// Ends the process after a failure nothing caught (an exception, as
// std::terminate's handler): the last wishes first, then as SIGABRT would.
[[noreturn]] void EndAfterFailure();
// The picture window of a desktop window (screen_backend.h): false where
// there is none (the terminal).
bool OpenPictureWindow(int width, int height);
void ShowPictureWindow(const uint32_t* pixels, int width, int height, int pitch);
void ClosePictureWindow();
// The picture window's title: its name and `note` after it.
void NotePictureWindow(std::string_view note);
PictureInput TakePictureInput();
void LockScreen();
void UnlockScreen();
void ClearScreen();
// ClearScreen for a caller that paints every pixel of `kept` itself right
// after: those rectangles are left as they are, the rest is cleared.
void ClearScreenExcept(const PixelRect* kept, int count);
void SetTextCursor(int32_t row, int32_t column);
void PrintText(std::string_view text, PrintEnding ending);
void PrintNumber(int32_t value, PrintEnding ending);
void DrawBox(float x1, float y1, float x2, float y2, uint32_t colour, bool filled);
MouseReading ReadMouse();
std::string ReadKey();
// Returns at once when a key waits; else waits until the window or the
// terminal reports anything (a key, the pointer, a button, the wheel, focus,
// an expose, a resize, the close request).
void WaitForInput();
[[noreturn]] void EndProgram(int status);
// Around an external program that shares the terminal: it gets the terminal
// as a terminal is normally, and the screen is shown whole again afterwards.
void LendTerminal();
void TakeTerminalBack();
// Gathers input and takes the oldest queued key equal to `code`, leaving the
// others queued; false when none is there.
bool TakeQueuedKey(int code);
std::string LowerCase(std::string_view text);

// The frame as it stands, row after row; null when the screen shows no frame
// (terminal mode). Writable anywhere.
uint32_t* FramePixels();
// The same frame for a caller that writes inside `area` only (the view
// renderer, which fills whole areas itself rather than box by box).
uint32_t* FramePixelsFor(const PixelRect& area);
// Whether drawing goes to a frame at all (false on a terminal).
bool ScreenHasFrame();

}  // namespace terrafix
