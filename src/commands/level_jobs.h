// Levels worked on from the command line (--convert, --render): each from
// its file into another, with no window and no terminal, several at once,
// each in a process of its own.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace terrafix {

// Reads and Writes: the files In and Out as places on the disk, however they
// are spelled; empty: not compared.
struct LevelJob {
  std::string In, Out;
  std::string Reads, Writes;
};

// What the runner says of the jobs: how it counts those not done ("levels
// not converted"), and why a job is not done whose output a job before it
// wrote (after its Out: " is written by a level before it in this run").
struct JobTexts {
  std::string_view NotDone;
  std::string_view WrittenBefore;
};

// How many jobs run at once unless --jobs says: one a core of the machine.
int DefaultJobCount();

// Reads the value of --jobs, which stands at arguments[i + 1], and moves `i`
// onto it; false, with why, when it is missing or not a count of 1 or more.
bool ReadJobCount(const std::vector<std::string>& arguments, size_t& i, int& count, std::string& why);

// Runs `work` on each job, `parallel` of them at once, each in a process of
// its own (`work` runs there and may print). Standard error gets what each
// job printed, in the order of the jobs as though they ran one after
// another: a progress line for each of several jobs ("[3/40] IN -> OUT"),
// then one line for each that fails, naming its input and the cause (the
// others still run), and at the end how many were not done. A job does not
// start while one before it runs that writes what it reads or writes, and
// is not done if one before it wrote its output. A signal that ends the
// program is passed to every job under way; the run ends once each has
// cleaned up after itself.
// Returns the exit status: 0 when every job was done, else 1.
int RunLevelJobs(const std::vector<LevelJob>& jobs, const JobTexts& texts, int parallel,
                 const std::function<bool(const LevelJob& job, std::string& why)>& work);

}  // namespace terrafix
