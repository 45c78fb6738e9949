#include <gtest/gtest.h>

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/helper_thread.h"

namespace terrafix {
namespace {

struct Probe {
  std::thread::id RanOn;
  bool SignalsBlocked = false;
  std::atomic<int> Runs{0};
  std::atomic<bool> Began{false};
  std::atomic<bool> Release{false};
  std::atomic<bool> Returned{false};
};

void Record(void* data) {
  auto& p = *static_cast<Probe*>(data);
  p.Began = true;
  p.RanOn = std::this_thread::get_id();
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  p.SignalsBlocked = sigismember(&mask, SIGINT) == 1 && sigismember(&mask, SIGTERM) == 1;
  ++p.Runs;
  while (!p.Release.load()) PauseWhileWaiting();
  p.Returned = true;
}

TEST(HelperThread, AJobBegunRunsOnAThreadOfItsOwnAndFinishWaitsForIt) {
  Probe probe;
  for (int job = 1; job <= 3; ++job) {
    probe.Began = false;
    probe.Release = false;
    probe.Returned = false;
    StartHelperJob(Record, &probe);
    while (!probe.Began) std::this_thread::yield();
    // The job is held until released: Finish must not return before it ends.
    std::thread release([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      probe.Release = true;
    });
    FinishHelperJob();
    EXPECT_TRUE(probe.Returned) << "job " << job;
    release.join();
    EXPECT_EQ(probe.Runs, job);
  }
  EXPECT_NE(probe.RanOn, std::this_thread::get_id());
  EXPECT_TRUE(probe.SignalsBlocked);
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  EXPECT_FALSE(sigismember(&mask, SIGINT)) << "the caller's signals stay as they were";
}

// Finishing at once either withdraws the job, which then never runs, or waits
// for the whole of it.
TEST(HelperThread, AJobFinishedAtOnceRunsWholeOrNotAtAll) {
  for (int i = 0; i < 50; ++i) {
    Probe probe;
    probe.Release = true;
    StartHelperJob(Record, &probe);
    FinishHelperJob();
    const int runs = probe.Runs;
    EXPECT_EQ(probe.Returned.load(), runs == 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(probe.Runs, runs) << "a withdrawn job ran later";
  }
}

}  // namespace
}  // namespace terrafix
