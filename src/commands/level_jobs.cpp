#include "commands/level_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/screen/screen.h"
#include "platform/text/number_text.h"

namespace terrafix {

namespace {

// The most jobs at once that --jobs takes.
constexpr int LargestJobCount = 1024;

// What is known of one job: whether it has started and ended, and what it
// printed that is not shown yet.
struct JobReport {
  bool Started = false, Ended = false, Failed = false;
  std::string Text;
};

// A job under way: its process and the read end of its standard error.
struct JobProcess {
  size_t Index = 0;
  pid_t Pid = -1;
  int Output = -1;
};

// The job's own process: its standard error is the pipe `output`, and it
// ends with the runner (as the compressors it starts end with it).
[[noreturn]] void RunJob(const LevelJob& job, int output,
                         const std::function<bool(const LevelJob& job, std::string& why)>& work) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  dup2(output, STDERR_FILENO);
  close(output);
  std::string why;
  const bool done = work(job, why);
  EndIfSignalled();  // (its temporaries are gone by now)
  if (!done) std::fprintf(stderr, "terrafix: %s: %s\n", job.In.c_str(), why.c_str());
  std::fflush(nullptr);
  _exit(done ? 0 : 1);
}

// Starts the job in a process of its own; where none can be made, it has
// failed, with the cause in its report.
void StartJob(const LevelJob& job, size_t index, JobReport& report, std::vector<JobProcess>& running,
              const std::function<bool(const LevelJob& job, std::string& why)>& work) {
  int pipeFds[2];
  pid_t pid = -1;
  if (pipe2(pipeFds, O_CLOEXEC) == 0) {
    pid = fork();
    if (pid == 0) {
      close(pipeFds[0]);
      RunJob(job, pipeFds[1], work);
    }
    close(pipeFds[1]);
    if (pid < 0) close(pipeFds[0]);
    else fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);  // read as far as it has come
  }
  if (pid < 0) {
    report.Ended = report.Failed = true;
    report.Text = "terrafix: " + job.In + ": cannot start: " + std::strerror(errno) + "\n";
    return;
  }
  running.push_back({index, pid, pipeFds[0]});
}

// Reads what the job printed; once it is all read, the job has ended.
bool ReadJobOutput(const JobProcess& process, JobReport& report) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(process.Output, buffer, sizeof buffer);
    if (n > 0) {
      report.Text.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n == 0 || (n < 0 && errno != EAGAIN);
  }
}

void EndJob(const LevelJob& job, const JobProcess& process, JobReport& report) {
  close(process.Output);
  int status = 0;
  while (waitpid(process.Pid, &status, 0) < 0 && errno == EINTR) {
  }
  report.Ended = true;
  report.Failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
  if (WIFSIGNALED(status) && !EndSignalPending()) {
    report.Text += "terrafix: " + job.In + ": ended by signal " + std::to_string(WTERMSIG(status)) + "\n";
  }
}

}  // namespace

int DefaultJobCount() {
  const long cores = sysconf(_SC_NPROCESSORS_ONLN);
  return cores > 0 ? static_cast<int>(std::min<long>(cores, LargestJobCount)) : 1;
}

bool ReadJobCount(const std::vector<std::string>& arguments, size_t& i, int& count, std::string& why) {
  if (i + 1 == arguments.size()) {
    why = "--jobs needs the number of levels to work on at once";
    return false;
  }
  const std::string& text = arguments[++i];
  if (!ReadShortNumber(text, count) || count < 1 || count > LargestJobCount) {
    why = "--jobs takes 1 to " + std::to_string(LargestJobCount) + ", not '" + text + "'";
    return false;
  }
  return true;
}

int RunLevelJobs(const std::vector<LevelJob>& jobs, const JobTexts& texts, int parallel,
                 const std::function<bool(const LevelJob& job, std::string& why)>& work) {
  // An interrupt stops the compressors; the jobs remove their temporaries, then the run ends.
  CatchEndingSignals();
  const size_t count = jobs.size();
  std::vector<JobReport> reports(count);
  std::vector<JobProcess> running;
  std::set<std::string> written;  // the places of the outputs written
  size_t next = 0, shown = 0, failed = 0;
  bool shownStarted = false;  // the progress line of job `shown` is out
  bool signalPassed = false;

  // Prints what is known of the jobs in their order, as far as it goes.
  auto show = [&] {
    while (shown < count && reports[shown].Started) {
      JobReport& report = reports[shown];
      if (!shownStarted && count > 1) {
        std::fprintf(stderr, "terrafix: [%zu/%zu] %s -> %s\n", shown + 1, count, jobs[shown].In.c_str(),
                     jobs[shown].Out.c_str());
      }
      shownStarted = true;
      std::fputs(report.Text.c_str(), stderr);
      report.Text.clear();
      if (!report.Ended) return;
      failed += report.Failed ? 1 : 0;
      ++shown;
      shownStarted = false;
    }
  };
  auto waitsForOneBefore = [&](const LevelJob& job) {
    return std::any_of(running.begin(), running.end(), [&](const JobProcess& p) {
      const std::string& out = jobs[p.Index].Writes;
      return !out.empty() && (out == job.Reads || out == job.Writes);
    });
  };

  for (;;) {
    while (next < count && static_cast<int>(running.size()) < parallel && !EndSignalPending() &&
           !waitsForOneBefore(jobs[next])) {
      const LevelJob& job = jobs[next];
      JobReport& report = reports[next];
      report.Started = true;
      if (!job.Writes.empty() && written.count(job.Writes) != 0) {
        report.Ended = report.Failed = true;
        report.Text = "terrafix: " + job.In + ": " + job.Out + std::string(texts.WrittenBefore) + "\n";
      } else {
        StartJob(job, next, report, running, work);
      }
      ++next;
    }
    show();
    if (running.empty() && (next == count || EndSignalPending())) break;
    if (EndSignalPending() && !signalPassed) {
      for (const JobProcess& process : running) kill(process.Pid, SIGTERM);
      signalPassed = true;
    }
    std::vector<pollfd> waits;
    for (const JobProcess& process : running) waits.push_back({process.Output, POLLIN, 0});
    if (EndSignalFd() >= 0) waits.push_back({EndSignalFd(), POLLIN, 0});
    poll(waits.data(), waits.size(), -1);
    if (EndSignalFd() >= 0 && (waits.back().revents & POLLIN) != 0) {
      char drained[64];
      while (read(EndSignalFd(), drained, sizeof drained) > 0) {
      }
    }
    for (size_t i = 0; i < running.size();) {
      const JobProcess process = running[i];
      if ((waits[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0 || !ReadJobOutput(process, reports[process.Index])) {
        ++i;
        continue;
      }
      EndJob(jobs[process.Index], process, reports[process.Index]);
      if (!reports[process.Index].Failed && !jobs[process.Index].Writes.empty()) written.insert(jobs[process.Index].Writes);
      running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
      waits.erase(waits.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  EndIfSignalled();
  if (count > 1 && failed > 0) {
    std::fprintf(stderr, "terrafix: %zu of %zu %.*s\n", failed, count, static_cast<int>(texts.NotDone.size()),
                 texts.NotDone.data());
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace terrafix
