#include "platform/programs/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <cerrno>
#include <chrono>
#include <cstdint>

#include "platform/machine/machine_memory.h"

extern char** environ;

namespace terrafix {

namespace {

// How often the caller is asked whether to stop while the program runs.
constexpr int PollMilliseconds = 100;
// How long a program asked to stop gets before it is killed.
constexpr auto GraceBeforeKill = std::chrono::seconds(1);
constexpr int PipeSize = 1024 * 1024;
// What an output read into memory grows by at least.
constexpr size_t OutputStep = 1024 * 1024;

// The program ended: its result from its wait status.
int ResultOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return ProgramCannotStart;
}

// Reads what the pipe holds into `bytes` after the `used` bytes already
// there, up to `stopAt` of them, making room as it comes: the `expected`
// size at once, then half as much again each time, at most `limit` + 1
// (within the room reserved already, without a copy); false once more than
// `limit` came.
bool TakeOutput(int pipeFd, std::vector<uint8_t>& bytes, size_t& used, size_t limit, size_t expected, size_t stopAt,
                bool& open) {
  while (used < stopAt) {
    if (used == bytes.size()) {
      if (used > limit) return false;
      const size_t room = used < expected ? expected : used + std::max(used / 2, OutputStep);
      bytes.resize(std::min(room, limit + 1));
    }
    const size_t wanted = std::min(bytes.size(), std::max(stopAt, used + 1)) - used;
    const ssize_t n = read(pipeFd, bytes.data() + used, wanted);
    if (n == 0) open = false;
    if (n <= 0) return true;  // the end, or nothing more for now
    used += static_cast<size_t>(n);
    if (used > limit) return false;
  }
  return true;
}

// SIGTERM, then SIGKILL once the grace is over, to the program and whatever
// it started (its process group); returns the wait status. What it started
// and left behind is killed once it has ended: it may hold the file the
// program was writing. `pidfd` (when there is one) wakes the wait as soon as
// the program has ended.
int StopProgram(pid_t pid, int pidfd) {
  kill(-pid, SIGTERM);
  const auto killAt = std::chrono::steady_clock::now() + GraceBeforeKill;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() >= killAt) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      break;
    }
    pollfd ended{pidfd, POLLIN, 0};
    if (pidfd < 0 || poll(&ended, 1, 10) < 0) usleep(10'000);
  }
  kill(-pid, SIGKILL);
  return status;
}

// The child's part, system calls only. It ends with the editor (a compressor
// left running would keep writing a level nobody waits for), and has a
// process group of its own, so that stopping it stops whatever it started.
[[noreturn]] void RunInChild(const char* file, char* const* argv, int input, int output, pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  setpgid(0, 0);
  signal(SIGPIPE, SIG_DFL);  // the editor ignores it; a compressor is stopped by it, as from a shell
  if (input >= 0) dup2(input, STDIN_FILENO);
  if (output >= 0) dup2(output, STDOUT_FILENO);
  execve(file, argv, environ);
  _exit(127);
}

// vfork: the child borrows our memory until it runs the program, so no page
// of the editor's is copied, nor made copy-on-write for the editor's next
// writes (for a 17 MB grid, thousands of page faults a command).
pid_t StartChild(const char* file, char* const* argv, int input, int output) {
  const pid_t parent = getpid();
  const pid_t pid = vfork();
  if (pid == 0) RunInChild(file, argv, input, output, parent);
  return pid;
}

}  // namespace

bool IsRunnableFile(const std::string& file) {
  struct stat info;
  return !file.empty() && stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(file.c_str(), X_OK) == 0;
}

int RunProgramAndWait(const std::string& file, const std::vector<std::string>& arguments,
                      const ProgramStreams& streams, const ProgramWait& wait) {
  if (!IsRunnableFile(file)) return ProgramCannotStart;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(file.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int pipeFds[2] = {-1, -1};
  if (streams.Bytes && pipe2(pipeFds, O_CLOEXEC) != 0) return ProgramCannotStart;
  const int childOut = streams.Bytes ? pipeFds[1] : streams.ToFile;
  if (wait.Before) wait.Before();
  const pid_t pid = StartChild(file.c_str(), argv.data(), streams.FromFile, childOut);
  const bool started = pid > 0;
  if (pipeFds[1] >= 0) close(pipeFds[1]);
  if (!started) {
    if (pipeFds[0] >= 0) close(pipeFds[0]);
    if (wait.After) wait.After();
    return ProgramCannotStart;
  }
  if (pipeFds[0] >= 0) {
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    fcntl(pipeFds[0], F_SETPIPE_SZ, PipeSize);  // fewer turns between the program and us
  }
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));

  int result = 0;
  bool pipeOpen = pipeFds[0] >= 0;
  size_t used = 0, limit = streams.Limit, expected = 0;
  bool told = !streams.OnStart;  // the start shown to OnStart
  if (streams.Bytes) streams.Bytes->clear();
  for (;;) {
    int status = 0;
    const size_t stopAt = told ? SIZE_MAX : streams.StartLength;
    if (pipeOpen && !TakeOutput(pipeFds[0], *streams.Bytes, used, limit, expected, stopAt, pipeOpen)) {
      StopProgram(pid, pidfd);
      result = ProgramOutputTooLong;
      break;
    }
    if (!told && (used >= streams.StartLength || !pipeOpen)) {
      told = true;
      const OutputRoom room = streams.OnStart({streams.Bytes->data(), used});
      limit = room.Limit;
      if (used > limit) {
        StopProgram(pid, pidfd);
        result = ProgramOutputTooLong;
        break;
      }
      // All the output may take is reserved at once (address space: only
      // what arrives takes memory), so that it never grows by a copy, even
      // when a file says it is smaller than it is. Where even the reserve
      // cannot be had, the room expected is the most that is read.
      expected = room.Room;
      if (limit + 1 > streams.Bytes->capacity()) {
        streams.Bytes->resize(used);  // (a copy of the start alone)
        try {
          streams.Bytes->reserve(limit + 1);
        } catch (const std::bad_alloc&) {
          streams.Bytes->reserve(room.Room);
          limit = std::min(limit, room.Room - 1);
        }
        AdviseLargePages(streams.Bytes->data(), streams.Bytes->capacity());
      }
      continue;  // the rest may be there already
    }
    // The program has ended once it is reaped and its output is all read.
    const pid_t done = pipeOpen ? 0 : waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      result = ResultOf(status);
      break;
    }
    if (done < 0 && errno != EINTR) {
      result = ProgramCannotStart;
      break;
    }
    if (wait.StopWanted && wait.StopWanted()) {
      StopProgram(pid, pidfd);
      result = ProgramStopped;
      break;
    }
    pollfd waits[2];
    nfds_t count = 0;
    if (pipeOpen) waits[count++] = {pipeFds[0], POLLIN, 0};
    else if (pidfd >= 0) waits[count++] = {pidfd, POLLIN, 0};
    if (count > 0) {
      poll(waits, count, PollMilliseconds);
    } else {
      usleep(PollMilliseconds * 1000);
    }
  }
  if (pidfd >= 0) close(pidfd);
  if (pipeFds[0] >= 0) close(pipeFds[0]);
  if (streams.Bytes) streams.Bytes->resize(used);
  if (wait.After) wait.After();
  return result;
}

std::string DescribeProgramResult(const std::string& file, int result) {
  const std::string name = file.substr(file.find_last_of('/') + 1);
  switch (result) {
    case ProgramCannotStart: return "cannot run " + (file.empty() ? std::string("the compressor") : file);
    case ProgramStopped: return name + " stopped at the user's request";
    case ProgramOutputTooLong: return name + " wrote more than a level holds";
    default: break;
  }
  if (result > 128) return name + " ended by signal " + std::to_string(result - 128);
  return name + " exited " + std::to_string(result);
}

}  // namespace terrafix
