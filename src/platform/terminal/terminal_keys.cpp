#include "platform/terminal/terminal_keys.h"

#include <string_view>

#include "platform/screen/key_codes.h"
#include "platform/screen/screen.h"
#include "platform/text/cp437.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

constexpr char Esc = '\x1B';
constexpr unsigned char TerminalBackspace = 127;  // what most terminals send for Backspace
constexpr int CellPixels = 8;
constexpr int PixelInCell = 3;  // a cell of the terminal reads as this pixel of it, across and down
constexpr int NotANumber = -1;
constexpr int MaxDigits = 5;
constexpr int TooLarge = 100000;  // no terminal has that many rows or columns
constexpr int MaxButtonCode = 255;
constexpr int ShiftBit = 4, AltBit = 8;  // held with a button, as a mouse report's code tells

// A decimal parameter of an escape sequence: NotANumber for anything but
// digits, TooLarge for more digits than any row, column or button needs
// (told before any arithmetic, so nothing overflows).
int Parameter(std::string_view digits) {
  if (digits.empty()) return NotANumber;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return NotANumber;
  }
  if (digits.size() > MaxDigits) return TooLarge;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The two-character key of an escape sequence's final part, or 0.
int KeyOfSequence(std::string_view body, char final) {
  if (final == '~') {
    switch (Parameter(body.substr(0, body.find(';')))) {
      case 1: case 7: return ExtendedCode(ScanHome);
      case 2: return ExtendedCode(ScanInsert);
      case 3: return ExtendedCode(ScanDelete);
      case 4: case 8: return ExtendedCode(ScanEnd);
      case 5: return ExtendedCode(ScanPageUp);
      case 6: return ExtendedCode(ScanPageDown);
      case 11: return FunctionKeyCode(1);
      case 12: return FunctionKeyCode(2);
      case 13: return FunctionKeyCode(3);
      case 14: return FunctionKeyCode(4);
      case 15: return FunctionKeyCode(5);
      case 17: return FunctionKeyCode(6);
      case 18: return FunctionKeyCode(7);
      case 19: return FunctionKeyCode(8);
      case 20: return FunctionKeyCode(9);
      case 21: return FunctionKeyCode(10);
      case 23: return FunctionKeyCode(11);
      case 24: return FunctionKeyCode(12);
      default: return 0;
    }
  }
  switch (final) {
    case 'A': return ExtendedCode(ScanUp);
    case 'B': return ExtendedCode(ScanDown);
    case 'C': return ExtendedCode(ScanRight);
    case 'D': return ExtendedCode(ScanLeft);
    case 'H': return ExtendedCode(ScanHome);
    case 'F': return ExtendedCode(ScanEnd);
    case 'P': return FunctionKeyCode(1);
    case 'Q': return FunctionKeyCode(2);
    case 'R': return FunctionKeyCode(3);
    case 'S': return FunctionKeyCode(4);
    default: return 0;
  }
}

// An SGR mouse report: "<" button ";" column ";" row, then "M" (press or
// motion) or "m" (release). The cell reads as a pixel inside it; a cell
// outside the frame is a pointer outside the drawing area.
void MouseReport(std::string_view body, char final, PointerState& pointer) {
  int values[3];
  body.remove_prefix(1);  // "<"
  for (int& value : values) {
    const size_t semicolon = body.find(';');
    value = Parameter(body.substr(0, semicolon));
    if (value == NotANumber) return;  // not a report this editor knows
    body.remove_prefix(semicolon == std::string_view::npos ? body.size() : semicolon + 1);
  }
  const int code = values[0], column = values[1], row = values[2];
  const bool inside = column >= 1 && row >= 1 && CellPixels * (column - 1) + PixelInCell < ScreenWidth &&
                      CellPixels * (row - 1) + PixelInCell < ScreenHeight;
  const int32_t x = inside ? CellPixels * (column - 1) + PixelInCell : 0;
  const int32_t y = inside ? CellPixels * (row - 1) + PixelInCell : 0;
  static constexpr int32_t Masks[3] = {1, 4, 2};  // left, middle, right
  const int button = code & 3;
  if (code > MaxButtonCode || (code & 32) || button == 3) return MovePointer(pointer, x, y, inside);  // a move
  if (code & 64) {  // the wheel: 64 away from the user, 65 towards
    pointer.Wheel += (code & 1) ? -1 : 1;
    return MovePointer(pointer, x, y, inside);
  }
  const bool select = (code & (ShiftBit | AltBit)) != 0;
  if (final == 'M') PressButtons(pointer, Masks[button], x, y, inside, select);
  else ReleaseButtons(pointer, Masks[button], x, y, inside, select);
}

}  // namespace

void ParseTerminalInput(std::string& input, PointerState& pointer, bool final) {
  size_t i = 0;
  // Keys are taken only while the key queue has room: the rest waits here, in
  // order, for the next time.
  while (i < input.size() && KeyQueueHasRoom()) {
    const unsigned char c = static_cast<unsigned char>(input[i]);
    if (c == Esc) {
      if (i + 1 >= input.size()) {
        if (!final) break;  // perhaps the start of a sequence
        QueueKey(KeyEsc);
        ++i;
        continue;
      }
      const char kind = input[i + 1];
      if (kind != '[' && kind != 'O') {  // Esc, then an ordinary key
        QueueKey(KeyEsc);
        ++i;
        continue;
      }
      size_t end = i + 2;
      while (end < input.size() && !(input[end] >= 0x40 && input[end] <= 0x7E)) ++end;
      if (end >= input.size()) {
        if (!final) break;
        i = input.size();  // an unfinished sequence at the end: dropped
        continue;
      }
      std::string_view body(input.data() + i + 2, end - i - 2);
      const char last = input[end];
      if (kind == '[' && !body.empty() && body[0] == '<' && (last == 'M' || last == 'm')) {
        MouseReport(body, last, pointer);
      } else if (int key = KeyOfSequence(body, last)) {
        QueueKey(key);
      }
      i = end + 1;
      continue;
    }
    if (c == TerminalBackspace) {
      QueueKey(KeyBackspace);
      ++i;
      continue;
    }
    if (!final && Utf8Unfinished(input, i)) break;  // the rest of the character is still coming
    const char32_t point = DecodeUtf8(input, i);
    if (point == 0) continue;
    if (int code = point < 0x80 ? static_cast<int>(point) : UnicodeToCp437(point)) QueueKey(code);
  }
  input.erase(0, i);
}

}  // namespace terrafix
