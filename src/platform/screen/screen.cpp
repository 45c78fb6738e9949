#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/screen/screen_device.h"

namespace terrafix {

namespace {

// The signals that end the editor from outside. Their handler only notes
// which one came; the next read or wait of the screen acts on it.
constexpr int EndingSignals[] = {SIGHUP, SIGINT, SIGTERM, SIGQUIT};
volatile sig_atomic_t PendingEndSignal = 0;
int EndSignalPipe[2] = {-1, -1};  // a byte is written to it for each such signal

void NoteEndSignal(int signal) {
  const int saved = errno;
  PendingEndSignal = signal;
  if (EndSignalPipe[1] >= 0) (void)!write(EndSignalPipe[1], "", 1);
  errno = saved;
}

}  // namespace

void CatchEndingSignals() {
  if (EndSignalPipe[0] < 0 && pipe2(EndSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) EndSignalPipe[0] = EndSignalPipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = NoteEndSignal;  // without SA_RESTART: a wait in progress ends
  sigemptyset(&action.sa_mask);
  for (int signal : EndingSignals) sigaction(signal, &action, nullptr);
  // A write to a connection that has gone (the display's, a closed pipe)
  // fails with EPIPE rather than ending the editor on the spot: the failure
  // is seen where it is written, and ends it with the unsaved work kept.
  signal(SIGPIPE, SIG_IGN);
}

namespace {

// The last wishes run once, whatever ends the editor.
void RunLastWishes() {
  std::function<void()> wishes = std::move(Screen().LastWishes);
  Screen().LastWishes = nullptr;
  if (wishes) wishes();
}

[[noreturn]] void EndBySignalNow(int signal) {
  RunLastWishes();
  std::fflush(nullptr);
  if (ScreenBackend* backend = Screen().Backend.get()) backend->EndBySignal(signal);
  ::signal(signal, SIG_DFL);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace

ScreenDevice& Screen() {
  static ScreenDevice device;
  return device;
}

void InstallScreenBackend(std::unique_ptr<ScreenBackend> backend) {
  ScreenDevice& s = Screen();
  s.Backend = std::move(backend);
  s.Frame = s.Backend->HasFrame();
  std::fill(s.Pixels.begin(), s.Pixels.end(), TextBackground);
  s.Drawn.Forget();
  s.Locked = false;
  s.Changed = true;
  s.Row = 1;
  s.Column = 1;
  s.LinePosition = 0;
  s.ScrollPending = false;
  s.Keys = KeyQueue{};
  s.KeyArrived = false;
  s.Pointer = PointerState{};
}

int OpenScreen(int width, int height, int bitsPerPixel, BackendOpener open) {
  static constexpr int Depths[] = {1, 2, 4, 8, 15, 16, 24, 32};
  if (width <= 0 || height <= 0 || std::find(std::begin(Depths), std::end(Depths), bitsPerPixel) == std::end(Depths)) {
    return 1;
  }
  bool isWindow = false;
  std::unique_ptr<ScreenBackend> backend = open(width, height, isWindow);
  if (!backend) {
    std::fprintf(stderr, "terrafix: no window and no terminal to show the editor in\n");
    std::exit(1);
  }
  InstallScreenBackend(std::move(backend));
  CatchEndingSignals();
  ServiceScreen();
  return isWindow ? 0 : 1;
}

void SetLastWishes(std::function<void()> wishes) { Screen().LastWishes = std::move(wishes); }

bool EndSignalPending() { return PendingEndSignal != 0; }

void EndIfSignalled() {
  if (PendingEndSignal != 0) EndBySignalNow(PendingEndSignal);
}

int EndSignalFd() { return EndSignalPipe[0]; }

void EndAfterFailure() {
  std::fprintf(stderr, "terrafix: ended by a failure nothing could take\n");
  EndBySignalNow(SIGABRT);
}

void EndForLostScreen() {
  // Nothing of the screen may be used any more: only the wishes, then the end.
  (void)Screen().Backend.release();  // its connection is gone: nothing of it is closed
  std::fprintf(stderr, "terrafix: the display is gone\n");
  RunLastWishes();
  std::fflush(nullptr);
  _exit(1);
}

namespace {

void Apply(PointerState& p, const PointerEvent& e) {
  if ((e.Buttons & ~p.Buttons) != 0) p.PressUnread = true;
  if (e.Buttons != p.Buttons) p.Select = e.Select;
  p.Buttons = e.Buttons;
  p.Inside = e.Inside;
  if (e.Inside) {
    p.X = e.X;
    p.Y = e.Y;
  }
}

void Arrive(PointerState& p, const PointerEvent& e) {
  p.LatestButtons = e.Buttons;
  if (!p.PressUnread) return Apply(p, e);
  const bool sameButtons = p.WaitingCount > 0 && p.Waiting[p.WaitingCount - 1].Buttons == e.Buttons;
  if (sameButtons) {  // a move after the last change of the buttons: only where it ended counts
    p.Waiting[p.WaitingCount - 1] = e;
    return;
  }
  if (p.WaitingCount == static_cast<int>(p.Waiting.size())) {
    // Far more changes than any click makes, with no read (a question is
    // open): the oldest is applied as it is.
    Apply(p, p.Waiting[0]);
    std::copy(p.Waiting.begin() + 1, p.Waiting.end(), p.Waiting.begin());
    --p.WaitingCount;
  }
  p.Waiting[p.WaitingCount++] = e;
}

}  // namespace

void PressButtons(PointerState& p, int32_t mask, int32_t x, int32_t y, bool inside, bool select) {
  Arrive(p, {p.LatestButtons | mask, x, y, inside, select});
}

void ReleaseButtons(PointerState& p, int32_t mask, int32_t x, int32_t y, bool inside, bool select) {
  Arrive(p, {p.LatestButtons & ~mask, x, y, inside, select});
}

void MovePointer(PointerState& p, int32_t x, int32_t y, bool inside) {
  Arrive(p, {p.LatestButtons, x, y, inside, p.Select});
}

void PointerRead(PointerState& p) {
  p.PressUnread = false;
  int taken = 0;
  while (taken < p.WaitingCount && !p.PressUnread) Apply(p, p.Waiting[taken++]);
  std::copy(p.Waiting.begin() + taken, p.Waiting.begin() + p.WaitingCount, p.Waiting.begin());
  p.WaitingCount -= taken;
}

void DrawnSpans::Mark(const PixelRect& area) {
  const int left = std::max(area.Left, 0), right = std::min(area.Right, ScreenWidth - 1);
  const int top = std::max(area.Top, 0), bottom = std::min(area.Bottom, ScreenHeight - 1);
  if (left > right) return;
  for (int y = top; y <= bottom; ++y) {
    Left[y] = static_cast<int16_t>(std::min<int>(Left[y], left));
    Right[y] = static_cast<int16_t>(std::max<int>(Right[y], right));
  }
}

void FrameChanged(const PixelRect& area) {
  ScreenDevice& s = Screen();
  s.Changed = true;
  s.Drawn.Mark(area);
}

void ServiceScreen() {
  ScreenDevice& s = Screen();
  if (!s.Backend) return;
  if (PendingEndSignal != 0) EndBySignalNow(PendingEndSignal);
  s.Backend->GatherEvents(s.Pointer);
  if (s.Frame && s.Changed && !s.Locked) {
    s.Changed = false;
    s.Backend->Present(s.Pixels.data());
  }
}

void LockScreen() { Screen().Locked = true; }

void UnlockScreen() {
  ScreenDevice& s = Screen();
  if (!s.Locked) return;
  s.Locked = false;
  s.Changed = false;
  if (s.Frame && s.Backend) s.Backend->Present(s.Pixels.data());
}

uint32_t* FramePixels() { return FramePixelsFor(WholeFrame); }

uint32_t* FramePixelsFor(const PixelRect& area) {
  if (!Screen().Frame) return nullptr;
  FrameChanged(area);
  return Screen().Pixels.data();
}

bool ScreenHasFrame() { return Screen().Frame; }

void QueueKey(int code) {
  KeyQueue& q = Screen().Keys;
  if (q.Count == KeyQueue::Slots - 1) {
    q.Head = (q.Head + 1) % KeyQueue::Slots;
    --q.Count;
  }
  q.Codes[(q.Head + q.Count) % KeyQueue::Slots] = code;
  ++q.Count;
  Screen().KeyArrived = true;
}

bool KeyQueueHasRoom() { return KeyQueueRoom() > 0; }

int KeyQueueRoom() { return KeyQueue::Slots - 1 - Screen().Keys.Count; }

int TakeKey() {
  ScreenDevice& s = Screen();
  s.KeyArrived = false;
  if (s.Keys.Count == 0) return 0;
  int code = s.Keys.Codes[s.Keys.Head];
  s.Keys.Head = (s.Keys.Head + 1) % KeyQueue::Slots;
  --s.Keys.Count;
  return code;
}

std::string KeyText(int code) {
  if (code == 0) return {};
  if (code >= ExtendedKey) return {ExtendedKeyPrefix, static_cast<char>(code - ExtendedKey)};
  return std::string(1, static_cast<char>(code));
}

std::string ReadKey() {
  ServiceScreen();
  return KeyText(TakeKey());
}

void WaitForInput() {
  ScreenDevice& s = Screen();
  if (!s.Backend || s.Keys.Count > 0) return;
  s.Backend->WaitForInput(UntilInput);
}

bool OpenPictureWindow(int width, int height) {
  ScreenBackend* backend = Screen().Backend.get();
  return backend && backend->OpenPicture(width, height);
}

void ShowPictureWindow(const uint32_t* pixels, int width, int height, int pitch) {
  if (ScreenBackend* backend = Screen().Backend.get()) backend->ShowPicture(pixels, width, height, pitch);
}

void ClosePictureWindow() {
  if (ScreenBackend* backend = Screen().Backend.get()) backend->ClosePicture();
}

void NotePictureWindow(std::string_view note) {
  if (ScreenBackend* backend = Screen().Backend.get()) backend->NotePicture(note);
}

PictureInput TakePictureInput() {
  ScreenBackend* backend = Screen().Backend.get();
  return backend ? backend->TakePictureInput() : PictureInput{};
}

void LendTerminal() {
  if (ScreenBackend* backend = Screen().Backend.get()) backend->BeforeProgram();
}

void TakeTerminalBack() {
  if (ScreenBackend* backend = Screen().Backend.get()) backend->AfterProgram();
}

bool TakeQueuedKey(int code) {
  ServiceScreen();
  KeyQueue& q = Screen().Keys;
  for (int i = 0; i < q.Count; ++i) {
    if (q.Codes[(q.Head + i) % KeyQueue::Slots] != code) continue;
    for (int j = i; j + 1 < q.Count; ++j) {
      q.Codes[(q.Head + j) % KeyQueue::Slots] = q.Codes[(q.Head + j + 1) % KeyQueue::Slots];
    }
    --q.Count;
    Screen().KeyArrived = q.Count > 0;  // a wait for a key still ends on the others
    return true;
  }
  return false;
}

MouseReading ReadMouse() {
  ServiceScreen();
  PointerState& p = Screen().Pointer;
  // A reading outside the drawing area is read all the same: a press there
  // is over once read, and what waited behind it (its release) comes next.
  const MouseReading reading = p.Active && p.Inside ? MouseReading{p.X, p.Y, p.Wheel, p.Buttons, 0, true, p.Select}
                                                    : MouseReading{-1, -1, -1, -1, -1, false, false};
  PointerRead(p);
  return reading;
}

void EndProgram(int status) {
  ScreenDevice& s = Screen();
  std::fflush(nullptr);
  if (s.Backend) s.Backend->EndProcess(status);
  std::exit(status);
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  // The scan code of a two-character key is not a letter: 255 + "K" (left) must
  // not become 255 + "k" (the close request).
  if (out.size() == 2 && out[0] == ExtendedKeyPrefix) return out;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace terrafix
