// The terminal in raw mode on its alternate screen, with mouse reports on.
// The text grid is kept here; what changed is written out each time input is
// gathered, so a pass that redraws everything sends only its differences.
// The terminal is put back as it was on every way out: the end of the
// program, the signals that end it from outside, and a stop from the shell
// (Ctrl+Z there, SIGTSTP), after which SIGCONT takes it again and redraws.
#include "platform/terminal/terminal_screen.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/screen/screen.h"
#include "platform/terminal/terminal_keys.h"
#include "platform/text/cp437.h"
#include "platform/text/utf8.h"

namespace terrafix {

namespace {

// Alternate screen, cursor hidden, mouse reports of every move in SGR form.
constexpr const char* EnterSequence = "\x1B[?1049h\x1B[H\x1B[2J\x1B[?25l\x1B[?1003h\x1B[?1006h";
constexpr const char* LeaveSequence = "\x1B[?1006l\x1B[?1003l\x1B[?25h\x1B[?1049l";
constexpr const char* ClearSequence = "\x1B[H\x1B[2J";
constexpr int LoneEscMilliseconds = 30;
// Bytes taken from the terminal ahead of the key queue: enough for any key's
// or mouse report's sequence; the rest of a long paste waits in the terminal.
constexpr size_t ReadAhead = 64;

termios SavedTerminal;
bool TerminalChanged = false;
// Set by a resize and by a continue after a stop: everything is drawn again.
volatile sig_atomic_t TerminalResized = 0;

void NoteResize(int) { TerminalResized = 1; }

void WriteAll(const char* data, size_t length) {
  while (length > 0) {
    ssize_t n = write(STDOUT_FILENO, data, length);
    if (n <= 0) return;
    data += n;
    length -= static_cast<size_t>(n);
  }
}

// Safe in a signal handler: only write and tcsetattr.
void RestoreTerminal() {
  if (!TerminalChanged) return;
  TerminalChanged = false;
  WriteAll(LeaveSequence, std::strlen(LeaveSequence));
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &SavedTerminal);
}


// `lineEnds`: output keeps the terminal's line-end handling, for a program's messages.
void RawMode(bool lineEnds) {
  termios raw = SavedTerminal;
  raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
  if (!lineEnds) raw.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  raw.c_cflag |= CS8;
  // Ctrl+C still ends the program; everything else arrives as keys.
  raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN);
  raw.c_cc[VSUSP] = _POSIX_VDISABLE;
  raw.c_cc[VMIN] = 0;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSADRAIN, &raw);  // keys typed meanwhile stay to be read
}

void TakeTerminal() {
  TerminalChanged = true;
  RawMode(false);
  WriteAll(EnterSequence, std::strlen(EnterSequence));
}

// Only calls that are safe in a signal handler: write, tcsetattr, signal, raise.
void StopForTheShell(int) {
  const int saved = errno;
  RestoreTerminal();
  signal(SIGTSTP, SIG_DFL);
  raise(SIGTSTP);  // stops here until SIGCONT
  errno = saved;
}

void ContinueFromTheShell(int) {
  const int saved = errno;
  struct sigaction stop {};
  stop.sa_handler = StopForTheShell;
  sigemptyset(&stop.sa_mask);
  sigaction(SIGTSTP, &stop, nullptr);
  if (!TerminalChanged) TakeTerminal();
  TerminalResized = 1;
  errno = saved;
}

class TerminalScreen : public ScreenBackend {
 public:
  TerminalScreen() {
    Wanted.fill(' ');
    Shown.fill(' ');
  }
  ~TerminalScreen() override { RestoreTerminal(); }

  bool HasFrame() const override { return false; }
  void Present(const uint32_t*) override {}

  void PutCharacter(int row, int column, unsigned char code) override {
    Wanted[Index(row, column)] = code;
    InputCursor = false;
  }
  void ScrollUp() override {
    std::memmove(Wanted.data(), Wanted.data() + TextColumns, (Wanted.size() - TextColumns));
    std::fill(Wanted.end() - TextColumns, Wanted.end(), ' ');
  }
  void ClearText() override { Wanted.fill(' '); }
  void ShowInputCursor(int row, int column) override {
    InputCursor = true;
    CursorRow = row;
    CursorColumn = column;
  }

  void GatherEvents(PointerState& pointer) override {
    if (TerminalResized) {  // what the terminal shows may be cut or moved: all of it again
      TerminalResized = 0;
      WriteAll(ClearSequence, std::strlen(ClearSequence));
      Shown.fill(' ');
    }
    Flush();
    pointer.Active = true;  // the terminal has no other window to lose its keys to
    ReadAheadOfTheKeys();
    ParseTerminalInput(Pending, pointer, false);
    // With room left in the key queue, what remains is an Esc on its own or
    // the start of a sequence or character still coming.
    if (!Pending.empty() && KeyQueueHasRoom()) {
      pollfd p{STDIN_FILENO, POLLIN, 0};
      if (poll(&p, 1, LoneEscMilliseconds) > 0) {
        ReadAheadOfTheKeys();
        ParseTerminalInput(Pending, pointer, false);
      }
      if (KeyQueueHasRoom()) ParseTerminalInput(Pending, pointer, true);
    }
  }

  // Waits on the terminal's input; a resize of the terminal ends the wait too.
  void WaitForInput(int milliseconds) override {
    pollfd p{STDIN_FILENO, POLLIN, 0};
    poll(&p, 1, milliseconds);
  }

  void Beep(int, int) override { WriteAll("\a", 1); }

  [[noreturn]] void EndProcess(int status) override {
    RestoreTerminal();
    std::exit(status);
  }

  [[noreturn]] void EndBySignal(int signal) override {
    RestoreTerminal();
    ::signal(signal, SIG_DFL);
    raise(signal);
    _exit(128 + signal);
  }

  // The program may write messages below the editor's text: lines end as on
  // a terminal in its usual mode. The keyboard stays the editor's, so keys
  // typed meanwhile (Esc among them) are read as usual.
  void BeforeProgram() override {
    Flush();
    int rows, columns;
    VisibleGrid(rows, columns);
    std::string at = "\x1B[" + std::to_string(rows) + ";1H\r\n";
    WriteAll(at.data(), at.size());
    RawMode(true);
  }
  void AfterProgram() override {
    RawMode(false);
    WriteAll(ClearSequence, std::strlen(ClearSequence));
    Shown.fill(' ');
    Flush();
  }

 private:
  void ReadAheadOfTheKeys() {
    char buffer[ReadAhead];
    while (Pending.size() < ReadAhead) {
      const ssize_t n = read(STDIN_FILENO, buffer, ReadAhead - Pending.size());
      if (n <= 0) break;
      Pending.append(buffer, static_cast<size_t>(n));
    }
  }

  static size_t Index(int row, int column) { return static_cast<size_t>(row - 1) * TextColumns + (column - 1); }

  // The part of the text grid that the terminal has room for.
  static void VisibleGrid(int& rows, int& columns) {
    winsize size{};
    rows = 24;
    columns = 80;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0) {
      rows = size.ws_row;
      columns = size.ws_col;
    }
    rows = std::min(rows, TextRows);
    columns = std::min(columns, TextColumns);
  }

  // Writes the cells that differ from what the terminal shows, within its size.
  void Flush() {
    int rows, columns;
    VisibleGrid(rows, columns);
    std::string out;
    for (int r = 1; r <= rows; ++r) {
      int next = 0;  // the column the terminal's cursor stands on after our last write on this row
      for (int c = 1; c <= columns; ++c) {
        const size_t i = Index(r, c);
        if (Wanted[i] == Shown[i]) continue;
        if (c != next) out += "\x1B[" + std::to_string(r) + ";" + std::to_string(c) + "H";
        AppendUtf8(out, Cp437ToUnicode(Wanted[i]));
        Shown[i] = Wanted[i];
        next = c + 1;
      }
    }
    if (InputCursor && CursorRow <= rows && CursorColumn <= columns) {
      out += "\x1B[" + std::to_string(CursorRow) + ";" + std::to_string(CursorColumn) + "H\x1B[?25h";
      CursorOn = true;
    } else if (CursorOn && !InputCursor) {
      out += "\x1B[?25l";
      CursorOn = false;
    }
    if (!out.empty()) WriteAll(out.data(), out.size());
  }

  std::array<unsigned char, TextColumns * TextRows> Wanted{};
  std::array<unsigned char, TextColumns * TextRows> Shown{};
  std::string Pending;
  bool InputCursor = false;
  bool CursorOn = false;
  int CursorRow = 1, CursorColumn = 1;
};

}  // namespace

std::unique_ptr<ScreenBackend> OpenTerminalScreen() {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return nullptr;
  if (tcgetattr(STDIN_FILENO, &SavedTerminal) != 0) return nullptr;
  // Without SA_RESTART: a wait on input ends, and the screen is drawn again.
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = NoteResize;
  sigaction(SIGWINCH, &action, nullptr);
  action.sa_handler = StopForTheShell;
  sigaction(SIGTSTP, &action, nullptr);
  action.sa_handler = ContinueFromTheShell;
  sigaction(SIGCONT, &action, nullptr);
  TakeTerminal();
  return std::make_unique<TerminalScreen>();
}

}  // namespace terrafix
