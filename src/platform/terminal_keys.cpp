#include "platform/terminal_keys.h"

#include <cstdlib>
#include <string_view>

#include "platform/cp437.h"
#include "platform/screen.h"

namespace terrafix {

namespace {

constexpr char Esc = '\x1B';

int Extended(char scan) { return ExtendedKey + static_cast<unsigned char>(scan); }

// The two-character key of an escape sequence's final part, or 0.
int KeyOfSequence(std::string_view body, char final) {
  if (final == '~') {
    int number = std::atoi(std::string(body.substr(0, body.find(';'))).c_str());
    switch (number) {
      case 1: case 7: return Extended(ScanHome);
      case 2: return Extended(ScanInsert);
      case 3: return Extended(ScanDelete);
      case 4: case 8: return Extended(ScanEnd);
      case 5: return Extended(ScanPageUp);
      case 6: return Extended(ScanPageDown);
      case 11: case 12: case 13: case 14: return Extended(static_cast<char>(ScanF1 + number - 11));
      case 15: return Extended(static_cast<char>(ScanF1 + 4));
      case 17: case 18: case 19: case 20: case 21: return Extended(static_cast<char>(ScanF1 + 5 + number - 17));
      case 23: return Extended('\x85');
      case 24: return Extended('\x86');
      default: return 0;
    }
  }
  switch (final) {
    case 'A': return Extended(ScanUp);
    case 'B': return Extended(ScanDown);
    case 'C': return Extended(ScanRight);
    case 'D': return Extended(ScanLeft);
    case 'H': return Extended(ScanHome);
    case 'F': return Extended(ScanEnd);
    case 'P': case 'Q': case 'R': case 'S': return Extended(static_cast<char>(ScanF1 + (final - 'P')));
    default: return 0;
  }
}

// An SGR mouse report: "<" button ";" column ";" row, then "M" (press or
// motion) or "m" (release). The cell reads as a pixel inside it.
void MouseReport(std::string_view body, char final, PointerState& pointer) {
  int values[3] = {0, 0, 0};
  size_t at = 1;  // past "<"
  for (int i = 0; i < 3 && at <= body.size(); ++i) {
    size_t semicolon = body.find(';', at);
    values[i] = std::atoi(std::string(body.substr(at, semicolon - at)).c_str());
    at = semicolon == std::string_view::npos ? body.size() + 1 : semicolon + 1;
  }
  const int code = values[0], column = values[1], row = values[2];
  pointer.Inside = true;
  pointer.X = 8 * (column - 1) + 3;
  pointer.Y = 8 * (row - 1) + 3;
  if (code & 64) {  // the wheel: 64 away from the user, 65 towards
    pointer.Wheel += (code & 1) ? -1 : 1;
    return;
  }
  if (code & 32) return;  // motion
  static constexpr int32_t Masks[3] = {1, 4, 2};  // left, middle, right
  const int button = code & 3;
  if (button == 3) return;
  if (final == 'M') pointer.Buttons |= Masks[button];
  else pointer.Buttons &= ~Masks[button];
}

// Length of the UTF-8 character that starts with `lead`.
size_t Utf8Length(unsigned char lead) { return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

}  // namespace

void ParseTerminalInput(std::string& input, PointerState& pointer, bool final) {
  size_t i = 0;
  while (i < input.size()) {
    const unsigned char c = static_cast<unsigned char>(input[i]);
    if (c == Esc) {
      if (i + 1 >= input.size()) {
        if (!final) break;  // perhaps the start of a sequence
        QueueKey(27);
        ++i;
        continue;
      }
      const char kind = input[i + 1];
      if (kind != '[' && kind != 'O') {  // Esc, then an ordinary key
        QueueKey(27);
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
    if (c == 127) {
      QueueKey(8);  // the Backspace key of most terminals
      ++i;
      continue;
    }
    if (c < 0x80) {
      if (c != 0) QueueKey(c);
      ++i;
      continue;
    }
    size_t length = Utf8Length(c);
    if (i + length > input.size()) {
      if (!final) break;
      i = input.size();
      continue;
    }
    char32_t point = c & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(input[i + k]) & 0x3F);
    if (int code = UnicodeToCp437(point)) QueueKey(code);
    i += length;
  }
  input.erase(0, i);
}

}  // namespace terrafix
