#include "platform/programs/run_program.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/screen/screen_backend.h"

extern char** environ;

namespace terrafix {

namespace {

// How often the window's events are gathered while the program runs.
constexpr int EventPollMilliseconds = 100;

// The terminal is the program's from before it starts until it has ended.
struct ScreenHandedOver {
  ScreenBackend* Screen = CurrentScreenBackend();
  ScreenHandedOver() {
    if (Screen) Screen->BeforeProgram();
  }
  ~ScreenHandedOver() {
    if (Screen) Screen->AfterProgram();
  }
  ScreenHandedOver(const ScreenHandedOver&) = delete;
  ScreenHandedOver& operator=(const ScreenHandedOver&) = delete;
};

// Waits up to the poll interval for the program to end: on its pidfd where
// the system has them, else by sleeping.
void WaitAWhile(int pidfd) {
  if (pidfd >= 0) {
    pollfd p{pidfd, POLLIN, 0};
    poll(&p, 1, EventPollMilliseconds);
  } else {
    usleep(EventPollMilliseconds * 1000);
  }
}

}  // namespace

int RunProgramAndWait(const std::string& file, const std::vector<std::string>& arguments) {
  if (file.empty() || access(file.c_str(), X_OK) != 0) return -1;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(file.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ScreenHandedOver handover;
  pid_t pid = 0;
  if (posix_spawn(&pid, file.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      status = -1;
      break;
    }
    ServiceScreen();
    WaitAWhile(pidfd);
  }
  if (pidfd >= 0) close(pidfd);
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

}  // namespace terrafix
