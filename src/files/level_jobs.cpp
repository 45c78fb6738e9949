#include "files/level_jobs.h"

#include <cstdio>

#include "platform/screen/screen.h"

namespace terrafix {

int RunLevelJobs(const std::vector<LevelJob>& jobs, std::string_view notDone,
                 const std::function<bool(const LevelJob& job, std::string& why)>& work) {
  // An interrupt stops the compressor; the job removes its temporaries, then the run ends.
  CatchEndingSignals();
  const size_t count = jobs.size();
  size_t failed = 0;
  for (size_t i = 0; i < count; ++i) {
    const LevelJob& job = jobs[i];
    if (count > 1) std::fprintf(stderr, "terrafix: [%zu/%zu] %s -> %s\n", i + 1, count, job.In.c_str(), job.Out.c_str());
    std::string why;
    const bool done = work(job, why);
    EndIfSignalled();
    if (!done) {
      ++failed;
      std::fprintf(stderr, "terrafix: %s: %s\n", job.In.c_str(), why.c_str());
    }
  }
  if (count > 1 && failed > 0) {
    std::fprintf(stderr, "terrafix: %zu of %zu %.*s\n", failed, count, static_cast<int>(notDone.size()), notDone.data());
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace terrafix
