// Running an external program and waiting for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace terrafix {

// Results that are not an exit status.
constexpr int ProgramCannotStart = -1;
constexpr int ProgramStopped = -2;        // StopWanted asked for it
constexpr int ProgramOutputTooLong = -3;  // it wrote more than the caller takes

// What an output read into memory may grow to, and the room made for it at once.
struct OutputRoom {
  size_t Limit = 0;
  size_t Room = 0;
};

// Where the program's standard input comes from: a file descriptor, read
// from where it stands; else it is the editor's own. Where its standard
// output goes: to a file descriptor, or read into `Bytes` up to `Limit`
// bytes; else it is the editor's own. An output whose start tells how long
// it will be (a level's header) is shown to `OnStart` once `StartLength`
// bytes of it have come (or all of a shorter one), which gives the limit for
// the whole and the room to make at once for it (so that a large output is
// neither copied as it grows nor let past what it may be).
struct ProgramStreams {
  int FromFile = -1;
  int ToFile = -1;
  std::vector<uint8_t>* Bytes = nullptr;
  size_t Limit = 0;
  size_t StartLength = 0;
  std::function<OutputRoom(std::span<const uint8_t> start)> OnStart = nullptr;
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
