#include "memory_surface.h"

#include <memory>

namespace terrafix {

void MemorySurface::GatherEvents(PointerState& pointer) {
  if (OnGather) OnGather();
  pointer = Pointer;
  if (!ScriptedKeys.empty()) {
    QueueKey(ScriptedKeys.front());
    ScriptedKeys.pop_front();
    IdleWaits = 0;
  }
}

void MemorySurface::WaitForInput(int) {
  // A hook may still deliver keys; give it a bounded number of chances.
  constexpr int MaxIdleWaitsWithHook = 1000;
  if (ScriptedKeys.empty() && (!OnGather || ++IdleWaits > MaxIdleWaitsWithHook)) throw InputExhausted();
}

MemorySurface& OpenMemoryScreen() {
  auto surface = std::make_unique<MemorySurface>();
  MemorySurface& ref = *surface;
  InstallScreenBackend(std::move(surface));
  return ref;
}

}  // namespace terrafix
