// A screen backend that keeps everything in memory: tests and benchmarks run
// the editor on it with no display. Keys and pointer readings are injected;
// the frame is read back through FramePixels().
#pragma once

#include <deque>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/screen/screen_backend.h"

namespace terrafix {

// Thrown where the real program would end its process.
struct ProgramEnded {
  int Status;
};

// Thrown when the editor waits for a key that no script will ever give.
struct InputExhausted : std::runtime_error {
  InputExhausted() : std::runtime_error("the editor waits for input that the test never gives") {}
};

class MemorySurface : public ScreenBackend {
 public:
  // Keys that arrive one at a time, each when the editor next gathers events.
  std::deque<int> ScriptedKeys;
  // The pointer as the next gathering of events sees it.
  PointerState Pointer{0, 0, 0, 0, true, true};
  int Presents = 0;
  std::vector<std::pair<int, int>> Beeps;  // hertz, milliseconds
  // Set on every gathering of events; lets a test act in the middle of a command.
  std::function<void()> OnGather;

  bool HasFrame() const override { return true; }
  void Present(const uint32_t*) override { ++Presents; }
  void GatherEvents(PointerState& pointer) override;
  void WaitForInput(int milliseconds) override;
  void Beep(int hertz, int milliseconds) override { Beeps.emplace_back(hertz, milliseconds); }
  [[noreturn]] void EndProcess(int status) override { throw ProgramEnded{status}; }
  [[noreturn]] void EndBySignal(int signal) override { throw ProgramEnded{128 + signal}; }

 private:
  int IdleWaits = 0;
};

// Opens the screen on a fresh memory surface and returns it (owned by the screen).
MemorySurface& OpenMemoryScreen();

}  // namespace terrafix
