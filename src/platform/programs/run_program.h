// Running an external program and waiting for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace terrafix {

// Results that are not an exit status.
constexpr int ProgramCannotStart = -1;
constexpr int ProgramStopped = -2;        // StopWanted asked for it
constexpr int ProgramOutputTooLong = -3;  // it wrote more than the caller takes

// Where the program's standard input comes from: a file descriptor, read
// from where it stands; else it is the editor's own. Where its standard
// output goes: to a file descriptor, or read into `Bytes` up to `Limit`
// bytes (growing within what the caller reserved in `Bytes` first, without
// a copy); else it is the editor's own.
struct ProgramStreams {
  int FromFile = -1;
  int ToFile = -1;
  std::vector<uint8_t>* Bytes = nullptr;
  size_t Limit = 0;
};

// What the caller does while the program runs, all on the calling thread.
struct ProgramWait {
  std::function<void()> Before;       // before it starts (hand the terminal over)
  std::function<void()> After;        // after it has ended (take the terminal back)
  std::function<bool()> StopWanted;   // about ten times a second: true stops it
};

// Runs the program file `file` (a path; the search path is not consulted)
// with `arguments`, each handed over as it is. The program inherits the
// environment, the working directory and the terminal. Returns its exit
// status once it has ended, 128 + the signal if a signal ended it, or one of
// the results above; a program that is stopped gets SIGTERM, then SIGKILL a
// second later, and has ended when this returns.
int RunProgramAndWait(const std::string& file, const std::vector<std::string>& arguments,
                      const ProgramStreams& streams = {}, const ProgramWait& wait = {});

// Whether `file` is a regular file that this user may run.
bool IsRunnableFile(const std::string& file);

// What a result means, for a line on standard error: "gzip exited 1".
std::string DescribeProgramResult(const std::string& file, int result);

}  // namespace terrafix
