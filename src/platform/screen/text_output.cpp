// Text on the 131 x 100 grid of 8 x 8 cells: the cursor, wrapping at column
// 131, the pending scroll below row 100, the print zones and control characters.
#include <algorithm>
#include <cstring>

#include "platform/screen/font_cp437.h"
#include "platform/screen/screen_device.h"

namespace terrafix {

namespace {

constexpr int ZoneWidth = 14;
constexpr int LastZoneStart = TextColumns - ZoneWidth;  // 117

// Control characters that beep or move the cursor instead of showing a glyph
// (the others have the codes of their keys).
constexpr unsigned char Bell = 7;
constexpr unsigned char CarriageReturn = KeyEnter;

void NextRow() {
  ScreenDevice& s = Screen();
  s.Column = 1;
  s.LinePosition = 0;
  if (s.Row < TextRows) {
    ++s.Row;
  } else {
    FlushPendingScroll();
    s.ScrollPending = true;
  }
}

void WriteCharacter(unsigned char code) {
  ScreenDevice& s = Screen();
  FlushPendingScroll();
  PutCell(s.Row, s.Column, code);
  s.LinePosition = (s.LinePosition + 1) % TextColumns;
  if (++s.Column > TextColumns) NextRow();
}

void WriteControlOrCharacter(unsigned char code) {
  ScreenDevice& s = Screen();
  switch (code) {
    case Bell:
      if (s.Backend) s.Backend->Beep(BeepHertz, BeepMilliseconds);
      return;
    case KeyBackspace:
      if (s.Column > 1) --s.Column;
      s.LinePosition = s.Column - 1;
      return;
    case KeyTab:
      s.Column = std::min(TextColumns, (s.Column - 1) / 8 * 8 + 9);
      s.LinePosition = s.Column - 1;
      return;
    case KeyLineFeed:
      NextRow();
      return;
    case CarriageReturn:
      s.Column = 1;
      s.LinePosition = 0;
      return;
    default:
      WriteCharacter(code);
  }
}

void WriteEnding(PrintEnding ending) {
  ScreenDevice& s = Screen();
  if (ending == PrintEnding::LineBreak) {
    WriteControlOrCharacter(CarriageReturn);
    WriteControlOrCharacter(KeyLineFeed);
  } else if (ending == PrintEnding::NextZone) {
    int target = (s.LinePosition + ZoneWidth) / ZoneWidth * ZoneWidth + 1;
    if (target > LastZoneStart) {
      WriteEnding(PrintEnding::LineBreak);
      return;
    }
    for (int n = target - 1 - s.LinePosition; n > 0; --n) WriteCharacter(' ');
  }
}

}  // namespace

void PutCell(int row, int column, unsigned char code) {
  ScreenDevice& s = Screen();
  if (row < 1 || row > TextRows || column < 1 || column > TextColumns) return;
  if (!s.Frame) {
    if (s.Backend) s.Backend->PutCharacter(row, column, code);
    return;
  }
  uint32_t* cell = s.Pixels.data() + (row - 1) * 8 * ScreenWidth + (column - 1) * 8;
  for (int y = 0; y < 8; ++y, cell += ScreenWidth) {
    unsigned bits = FontCp437[code][y];
    for (int x = 0; x < 8; ++x) cell[x] = (bits & (0x80u >> x)) ? TextForeground : TextBackground;
  }
  const int left = (column - 1) * 8, top = (row - 1) * 8;
  FrameChanged({left, top, left + 7, top + 7});
}

void ScrollScreenUp() {
  ScreenDevice& s = Screen();
  if (!s.Frame) {
    if (s.Backend) s.Backend->ScrollUp();
    return;
  }
  constexpr size_t RowPixels = size_t{8} * ScreenWidth;
  std::memmove(s.Pixels.data(), s.Pixels.data() + RowPixels, (s.Pixels.size() - RowPixels) * sizeof(uint32_t));
  std::fill(s.Pixels.end() - RowPixels, s.Pixels.end(), TextBackground);
  FrameChanged(WholeFrame);
}

void FlushPendingScroll() {
  ScreenDevice& s = Screen();
  if (!s.ScrollPending) return;
  s.ScrollPending = false;
  ScrollScreenUp();
}

void ClearScreen() { ClearScreenExcept(nullptr, 0); }

void ClearScreenExcept(const PixelRect* kept, int count) {
  ScreenDevice& s = Screen();
  if (s.Frame) {
    DrawnSpans& drawn = s.Drawn;
    for (int y = 0; y < ScreenHeight; ++y) {
      const int end = drawn.Right[y] + 1;
      int x = drawn.Left[y];
      if (x >= end) continue;  // nothing but background on this row
      uint32_t* row = s.Pixels.data() + static_cast<size_t>(y) * ScreenWidth;
      // What stays drawn on this row: the kept spans within the drawn one.
      int keptLeft = ScreenWidth, keptRight = -1;
      // Clears up to each kept span on this row, left to right.
      for (;;) {
        int next = end, resume = end;
        for (int i = 0; i < count; ++i) {
          const PixelRect& r = kept[i];
          if (r.Left > r.Right || y < r.Top || y > r.Bottom || r.Right < x || r.Left >= next) continue;
          next = std::max(r.Left, x);
          resume = std::min(r.Right + 1, end);
        }
        std::fill(row + x, row + next, TextBackground);
        if (next >= end) break;
        keptLeft = std::min(keptLeft, next);
        keptRight = resume - 1;
        x = resume;
      }
      drawn.Left[y] = static_cast<int16_t>(keptLeft);
      drawn.Right[y] = static_cast<int16_t>(keptRight);
    }
    s.Changed = true;
  } else if (s.Backend) {
    s.Backend->ClearText();
  }
  s.Row = 1;
  s.Column = 1;
  s.LinePosition = 0;
  s.ScrollPending = false;
}

void SetTextCursor(int32_t row, int32_t column) {
  if (row < 1 || row > TextRows || column < 1 || column > TextColumns) return;
  ScreenDevice& s = Screen();
  s.Row = row;
  s.Column = column;
  s.LinePosition = column - 1;
  s.ScrollPending = false;
}

void PrintText(std::string_view text, PrintEnding ending) {
  for (char c : text) WriteControlOrCharacter(static_cast<unsigned char>(c));
  WriteEnding(ending);
}

void PrintNumber(int32_t value, PrintEnding ending) {
  int64_t v = value;
  char digits[16];
  int n = 0;
  for (int64_t m = v < 0 ? -v : v; n == 0 || m > 0; m /= 10) digits[n++] = static_cast<char>('0' + m % 10);
  WriteCharacter(v < 0 ? '-' : ' ');
  while (n > 0) WriteCharacter(static_cast<unsigned char>(digits[--n]));
  WriteEnding(ending);
}

}  // namespace terrafix
