// Key codes as the key queue holds them: 1..255 a character of code page 437,
// ExtendedKey + a scan code a two-character key (the byte 255, then the scan
// code, as ReadKey gives it).
#pragma once

#include <string_view>

namespace terrafix {

constexpr int KeyBackspace = 8;
constexpr int KeyTab = 9;
constexpr int KeyLineFeed = 10;
constexpr int KeyEnter = 13;
constexpr int KeyEsc = 27;
constexpr int KeyCtrlA = 1;   // Ctrl with a letter: 1 for A up to 26 for Z
constexpr int KeyCtrlC = 3;
constexpr int KeyCtrlV = 22;
constexpr int KeyCtrlX = 24;
constexpr int KeyCtrlY = 25;
constexpr int KeyCtrlZ = 26;

constexpr char ExtendedKeyPrefix = '\xFF';
constexpr int ExtendedKey = 256;

// Scan codes of the two-character keys.
constexpr char ScanUp = 'H', ScanDown = 'P', ScanLeft = 'K', ScanRight = 'M';
constexpr char ScanHome = 'G', ScanEnd = 'O', ScanPageUp = 'I', ScanPageDown = 'Q';
constexpr char ScanInsert = 'R', ScanDelete = 'S';
constexpr char ScanF1 = ';';  // F1..F10 follow one after another
constexpr char ScanF11 = '\x85', ScanF12 = '\x86';
constexpr char ScanClose = 'k';  // the window's close request

constexpr int ExtendedCode(char scan) { return ExtendedKey + static_cast<unsigned char>(scan); }
// F1..F12 by number.
constexpr int FunctionKeyCode(int number) {
  return number <= 10 ? ExtendedCode(static_cast<char>(ScanF1 + number - 1)) : ExtendedCode(number == 11 ? ScanF11 : ScanF12);
}

// The code of a key as ReadKey gives it (one character, or a two-character
// key); 0 for anything else.
constexpr int KeyCodeOf(std::string_view key) {
  if (key.size() == 1) return static_cast<unsigned char>(key[0]);
  return key.size() == 2 && key[0] == ExtendedKeyPrefix ? ExtendedCode(key[1]) : 0;
}

}  // namespace terrafix
