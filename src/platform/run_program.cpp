#include "platform/run_program.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/screen_backend.h"

extern char** environ;

namespace terrafix {

namespace {

constexpr const char* CompressorName = "gzip.exe";
constexpr const char* SystemCompressor = "gzip";
constexpr int EventPollMilliseconds = 10;

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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string SearchPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view rest = path ? path : "/usr/bin:/bin";
  for (;;) {
    size_t colon = rest.find(':');
    std::string folder(rest.substr(0, colon));
    std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view s) {
  std::vector<std::string> out;
  size_t i = 0;
  for (;;) {
    while (i < s.size() && IsBlank(s[i])) ++i;
    if (i >= s.size()) return out;
    std::string arg;
    bool quoted = false;
    while (i < s.size()) {
      size_t slashes = 0;
      while (i < s.size() && s[i] == '\\') ++slashes, ++i;
      if (i < s.size() && s[i] == '"') {
        arg.append(slashes / 2, '\\');
        if (slashes % 2 == 1) {
          arg += '"';
        } else if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
          arg += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
        continue;
      }
      arg.append(slashes, '\\');
      if (i >= s.size() || (!quoted && IsBlank(s[i]))) break;
      arg += s[i++];
    }
    out.push_back(std::move(arg));
  }
}

std::string ResolveProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return program;
  std::string local = "./" + program;
  if (access(local.c_str(), F_OK) == 0) return local;
  if (program == CompressorName) return SearchPath(SystemCompressor);
  return {};
}

int RunProgramAndWait(const std::string& program, std::string_view arguments) {
  std::string file = ResolveProgram(program);
  if (file.empty()) return -1;
  std::vector<std::string> args = SplitArguments(arguments);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  ScreenHandedOver handover;
  pid_t pid = 0;
  if (posix_spawn(&pid, file.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  int status = 0;
  for (;;) {
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) {
      status = -1;
      break;
    }
    ServiceScreen();
    if (pidfd >= 0) {
      pollfd p{pidfd, POLLIN, 0};
      poll(&p, 1, EventPollMilliseconds);
    } else {
      usleep(EventPollMilliseconds * 1000);
    }
  }
  if (pidfd >= 0) close(pidfd);
  if (status == -1) return -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

}  // namespace terrafix
