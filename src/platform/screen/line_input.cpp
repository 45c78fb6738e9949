#include "platform/screen/line_input.h"

#include <algorithm>

#include "platform/screen/screen_device.h"

namespace terrafix {

namespace {

constexpr int RowStep = TextColumns;  // up and down move by one screen row of characters

// Where the answer's characters stand: the first after the prompt, running on
// over the right edge as text does.
struct AnswerPlace {
  int Row;
  int Column;

  // Row and column of the answer's character `index` (0-based); the row may
  // lie below the grid until MakeRoom scrolls it into view.
  void CellOf(size_t index, int& row, int& column) const {
    long linear = static_cast<long>(Column - 1) + static_cast<long>(index);
    row = Row + static_cast<int>(linear / TextColumns);
    column = static_cast<int>(linear % TextColumns) + 1;
  }

  // Scrolls the grid up until the cell of `index` lies on it.
  void MakeRoom(size_t index) {
    int row, column;
    CellOf(index, row, column);
    while (row > TextRows) {
      ScrollScreenUp();
      --Row;
      --row;
    }
  }

  void Draw(const std::string& answer, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      MakeRoom(i);
      int row, column;
      CellOf(i, row, column);
      PutCell(row, column, i < answer.size() ? static_cast<unsigned char>(answer[i]) : ' ');
    }
  }
};

void DrawInputCursor(const AnswerPlace& place, size_t index) {
  int row, column;
  place.CellOf(index, row, column);
  if (row < 1 || row > TextRows) return;
  ScreenDevice& s = Screen();
  if (s.Frame) {
    uint32_t* line = s.Pixels.data() + ((row - 1) * 8 + 7) * ScreenWidth + (column - 1) * 8;
    std::fill(line, line + 8, TextForeground);
    const int left = (column - 1) * 8, top = (row - 1) * 8 + 7;
    FrameChanged({left, top, left + 7, top});
  } else if (s.Backend) {
    s.Backend->ShowInputCursor(row, column);
  }
}

int WaitForLineKey() {
  for (;;) {
    ServiceScreen();
    if (Screen().Keys.Count > 0) return TakeKey();
    Screen().Backend->WaitForInput(UntilInput);
  }
}

}  // namespace

std::string TakeAnswerItem(std::string_view line) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos) return {};
  line.remove_prefix(start);
  std::string_view item;
  if (line.front() == '"') {
    line.remove_prefix(1);
    item = line.substr(0, line.find('"'));
  } else {
    item = line.substr(0, line.find(','));
  }
  return std::string(item.substr(0, MaxAnswerLength));
}

std::string InputLine(std::string_view prompt) {
  FlushPendingScroll();
  PrintText(prompt, PrintEnding::None);
  ScreenDevice& s = Screen();
  FlushPendingScroll();
  AnswerPlace place{s.Row, s.Column};
  std::string answer;
  size_t at = 0;  // insertion point, 0..answer.size()
  for (;;) {
    place.MakeRoom(at);
    DrawInputCursor(place, at);
    int key = WaitForLineKey();
    place.Draw(answer, at, at + 1);  // takes the input cursor away
    if (key == KeyEnter || key == KeyLineFeed) break;
    size_t oldSize = answer.size();
    if (key >= 32 && key <= 255) {
      answer.insert(answer.begin() + static_cast<long>(at), static_cast<char>(key));
      place.Draw(answer, at, answer.size());
      ++at;
    } else if (key == KeyBackspace) {
      if (at > 0) {
        answer.erase(--at, 1);
        place.Draw(answer, at, oldSize);
      }
    } else if (key == ExtendedCode(ScanDelete)) {
      if (at < answer.size()) {
        answer.erase(at, 1);
        place.Draw(answer, at, oldSize);
      } else if (s.Backend) {
        s.Backend->Beep(BeepHertz, BeepMilliseconds);
      }
    } else if (key == ExtendedCode(ScanLeft)) {
      if (at > 0) --at;
    } else if (key == ExtendedCode(ScanRight)) {
      if (at < answer.size()) ++at;
    } else if (key == ExtendedCode(ScanHome)) {
      at = 0;
    } else if (key == ExtendedCode(ScanEnd)) {
      at = answer.size();
    } else if (key == ExtendedCode(ScanUp)) {
      if (at >= RowStep) at -= RowStep;
    } else if (key == ExtendedCode(ScanDown)) {
      if (at + RowStep <= answer.size()) at += RowStep;
    } else if (key == KeyTab) {
      size_t blanks = 8 - at % 8;
      answer.insert(at, blanks, ' ');
      place.Draw(answer, at, answer.size());
      at += blanks;
    } else if (key == KeyEsc) {
      answer.clear();
      at = 0;
      place.Draw(answer, 0, oldSize);
    }
  }
  // The text cursor goes to the end of the answer, then a line break follows.
  int row, column;
  place.CellOf(answer.size(), row, column);
  if (row > TextRows) {
    s.Row = TextRows;
    s.Column = 1;
    s.LinePosition = 0;
    s.ScrollPending = true;
  } else {
    SetTextCursor(row, column);
  }
  PrintText("", PrintEnding::LineBreak);
  return TakeAnswerItem(answer);
}

void BlankRowFrom(int row, int column) {
  if (column < 1 || column > TextColumns) return;
  SetTextCursor(row, column);
  PrintText(std::string(static_cast<size_t>(TextColumns - column + 1), ' '), PrintEnding::None);
  SetTextCursor(row, column);
}

bool AskYesOrNo(std::string_view question, int row, int column) {
  for (;;) {
    BlankRowFrom(row, column);  // an earlier question, its answer, a message: gone
    const std::string answer = LowerCase(InputLine(question));
    if (answer == "y") return true;
    if (answer == "n") return false;
  }
}

void ShowMessage(std::string_view message) {
  SetTextCursor(QuestionRow, QuestionColumn);
  PrintText(message, PrintEnding::LineBreak);
  WaitForKey();
}

void WaitForKey() {
  ScreenDevice& s = Screen();
  for (;;) {
    ServiceScreen();
    if (s.KeyArrived) {
      s.KeyArrived = false;
      return;
    }
    s.Backend->WaitForInput(UntilInput);
  }
}

}  // namespace terrafix
