#include "platform/files/file_failures.h"

#include <cerrno>

namespace terrafix {

namespace {

constexpr int CallKinds = static_cast<int>(FileCall::MakeFolder) + 1;

struct Failure {
  int Error = 0;   // 0: none
  int Passes = 0;  // calls still to go through first
  int Count = -1;  // calls still to fail; -1: all
};

// The one switchboard of the process, set only by tests.
Failure Failures[CallKinds];

}  // namespace

void FailFileCalls(FileCall call, int error, int after, int count) {
  Failures[static_cast<int>(call)] = {error, after, count};
}

void StopFileFailures() {
  for (Failure& failure : Failures) failure = {};
}

bool FileCallFails(FileCall call) {
  Failure& failure = Failures[static_cast<int>(call)];
  if (failure.Error == 0) return false;
  if (failure.Passes > 0) {
    --failure.Passes;
    return false;
  }
  if (failure.Count == 0) return false;
  if (failure.Count > 0) --failure.Count;
  errno = failure.Error;
  return true;
}

}  // namespace terrafix
