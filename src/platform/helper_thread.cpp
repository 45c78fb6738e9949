#include "platform/helper_thread.h"

#include <pthread.h>
#include <sched.h>
#include <signal.h>

#include <atomic>
#include <cstdint>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace terrafix {

namespace {

struct Helper {
  std::atomic<uint32_t> Started{0};   // jobs handed over so far
  std::atomic<uint32_t> Taken{0};     // the last job begun by the helper or withdrawn
  std::atomic<uint32_t> Finished{0};  // the last job the helper ran to its end
  HelperJob Job = nullptr;
  void* Data = nullptr;
};

// Whoever moves Taken on to the job first has it: the helper to run it, the
// caller to withdraw it.
bool Take(Helper& h, uint32_t job) {
  uint32_t before = job - 1;
  return h.Taken.compare_exchange_strong(before, job, std::memory_order_acq_rel);
}

void RunJobs(Helper* h) {
  uint32_t seen = 0;
  for (;;) {
    h->Started.wait(seen, std::memory_order_acquire);
    seen = h->Started.load(std::memory_order_acquire);
    if (!Take(*h, seen)) continue;  // withdrawn before the helper woke
    h->Job(h->Data);
    h->Finished.store(seen, std::memory_order_release);
    h->Finished.notify_one();
  }
}

Helper& TheHelper() {
  // Never destroyed: the thread waits for work until the process ends. It
  // starts with every signal blocked, so that signals (Ctrl+C, a closed
  // terminal) reach the editor's own thread.
  static Helper* helper = [] {
    auto* h = new Helper;
    sigset_t all, before;
    sigfillset(&all);
    pthread_sigmask(SIG_BLOCK, &all, &before);
    std::thread(RunJobs, h).detach();
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    return h;
  }();
  return *helper;
}

}  // namespace

void StartHelperJob(HelperJob job, void* data) {
  Helper& h = TheHelper();
  h.Job = job;
  h.Data = data;
  h.Started.fetch_add(1, std::memory_order_release);
  h.Started.notify_one();
}

void FinishHelperJob() {
  Helper& h = TheHelper();
  const uint32_t job = h.Started.load(std::memory_order_relaxed);
  if (Take(h, job)) return;
  for (uint32_t finished = h.Finished.load(std::memory_order_acquire); finished != job;
       finished = h.Finished.load(std::memory_order_acquire)) {
    h.Finished.wait(finished, std::memory_order_acquire);
  }
}

bool HelperHasAProcessorOfItsOwn() {
  cpu_set_t usable;
  if (sched_getaffinity(0, sizeof usable, &usable) != 0) return false;
  return CPU_COUNT(&usable) >= 2;
}

void PauseWhileWaiting() {
#if defined(__SSE2__)
  _mm_pause();
#else
  std::this_thread::yield();
#endif
}

}  // namespace terrafix
